#include "frame/MaintenanceWindow.h"

#include "frame/ErrorHandler.h"
#include "frame/clsDBConnection.h"
#include "frame/frmMain.h"
#include "frame/modMain.h"
#include "platform/CurrentError.h"
#include "platform/EntryBox.h"
#include "platform/LoadedWindows.h"
#include "platform/MousePointer.h"
#include "platform/Recordset.h"
#include "platform/UserDialogs.h"
#include "services/MaintTree.h"
#include "services/ProgressPacer.h"
#include "services/TreeImages.h"
#include "services/TreeNode.h"
#include "services/clsGenericMaint.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QVBoxLayout>
#include <limits>

namespace {

// Clears a flag on every way out of the scope that set it.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : m_flag(flag) { m_flag = true; }
    ~FlagScope() { m_flag = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& m_flag;
};

} // namespace

MaintenanceWindow::MaintenanceWindow(MaintenanceTypes::Editor kind, QWidget* parent)
    : QWidget(parent), m_kind(kind) {}

MaintenanceWindow::~MaintenanceWindow() = default;

int MaintenanceWindow::Twips(int twips) const {
    const int dpi = logicalDpiY() > 0 ? logicalDpiY() : 96;
    return (twips * dpi + 720) / 1440;
}

QSize MaintenanceWindow::sizeHint() const {
    return QSize(Twips(16800), Twips(9000)).expandedTo(minimumSizeHint());
}

void MaintenanceWindow::BuildPanes(const QString& selectionCaption,
                                   const std::function<QWidget*()>& buildEntryPanel) {
    m_panes = new QSplitter(Qt::Horizontal);
    m_panes->setObjectName(QStringLiteral("vsMain"));
    // A pane is never squeezed below what it needs; the window scrolls instead (below).
    m_panes->setChildrenCollapsible(false);
    m_treePane = BuildTreePane(selectionCaption);
    m_panes->addWidget(m_treePane);

    // The entry panel fills its pane, so its frames grow with the window, and scrolls both ways when the
    // pane is smaller than the panel.
    QWidget* entryPanel = buildEntryPanel();
    m_entryScroller = new QScrollArea;
    m_entryScroller->setObjectName(QStringLiteral("vsRight"));
    m_entryScroller->setFrameShape(QFrame::NoFrame);
    m_entryScroller->setWidgetResizable(true);
    // A frame around the controls, not a control: Tab passes it by.
    m_entryScroller->setFocusPolicy(Qt::NoFocus);
    m_entryScroller->setWidget(entryPanel);
    m_entryScroller->setMinimumSize(Twips(3000), Twips(1500));
    m_panes->addWidget(m_entryScroller);
    // At first sight the tree has room for a code with its description; the panes then share any change
    // of the window's width in proportion.
    m_panes->setSizes({Twips(5400), Twips(11400)});
    m_panes->setHandleWidth(Twips(90));
    // A handle the user can see and grab, whatever the style draws.
    QSplitterHandle* handle = m_panes->handle(1);
    handle->setBackgroundRole(QPalette::Mid);
    handle->setAutoFillBackground(true);

    // Tiled or in a small main window the window may be narrower or shorter than both panes need: it
    // scrolls then, rather than lay one pane over the other or cut them.
    auto* windowScroller = new QScrollArea;
    windowScroller->setObjectName(QStringLiteral("vsWindow"));
    windowScroller->setFrameShape(QFrame::NoFrame);
    windowScroller->setWidgetResizable(true);
    windowScroller->setFocusPolicy(Qt::NoFocus);
    windowScroller->setWidget(m_panes);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(windowScroller);

    // Enter belongs to the control that has the focus: no button of the editor takes it as a default.
    for (QPushButton* button : findChildren<QPushButton*>()) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    // A control that takes the focus comes wholly into sight, not only its text cursor. One the user clicks
    // stays where it is: a panel moving under the pointer would put another row of the list there.
    connect(qApp, &QApplication::focusChanged, this, [this, entryPanel](QWidget*, QWidget* now) {
        if (!now || !entryPanel->isAncestorOf(now) || QGuiApplication::mouseButtons() != Qt::NoButton)
            return;
        const QRect r(now->mapTo(entryPanel, QPoint(0, 0)), now->size());
        m_entryScroller->ensureVisible(r.center().x(), r.center().y(), r.width() / 2 + Twips(120),
                                       r.height() / 2 + Twips(120));
    });
    for (QLineEdit* box : entryPanel->findChildren<QLineEdit*>()) {
        box->installEventFilter(this);
        ShowReadOnlyLook(box);
    }
}

void MaintenanceWindow::KeepPlaceWhenHidden(QWidget* widget) {
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
}

void MaintenanceWindow::SetEntryTabOrder(const std::vector<QWidget*>& entryPanelOrder) {
    std::vector<QWidget*> order{TxtFilterAccount, cmdapply, trvMaintenance, CmdExpandAll, CmdCollapseAll};
    order.insert(order.end(), entryPanelOrder.begin(), entryPanelOrder.end());
    for (std::size_t n = 1; n < order.size(); ++n)
        setTabOrder(order[n - 1], order[n]);
}

QVBoxLayout* MaintenanceWindow::EntryPanelLayout(QWidget* panel) const {
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(Twips(120), Twips(460), Twips(120), Twips(120));
    return layout;
}

QGridLayout* MaintenanceWindow::FrameGrid(QGroupBox* frame, int growing) const {
    auto* grid = new QGridLayout(frame);
    grid->setHorizontalSpacing(Twips(60));
    // The gap between rows is part of each row's height (see KeepRowsInPlace).
    grid->setVerticalSpacing(0);
    grid->setColumnStretch(growing, 1);
    return grid;
}

void MaintenanceWindow::KeepRowsInPlace(QGridLayout* grid) const {
    for (int row = 0; row < grid->rowCount(); ++row) {
        int height = 0;
        for (int column = 0; column < grid->columnCount(); ++column)
            if (QLayoutItem* item = grid->itemAtPosition(row, column); item && item->widget()) {
                height = std::max(height, item->widget()->sizeHint().height());
                if (column == 0)
                    KeepPlaceWhenHidden(item->widget());
            }
        grid->setRowMinimumHeight(row, height + Twips(90));
    }
}

EntryBox* MaintenanceWindow::KeyBox() const {
    auto* box = new EntryBox;
    box->setMinimumWidth(Twips(1800));
    box->setMaximumWidth(Twips(2400));
    return box;
}

QPushButton* MaintenanceWindow::LookupButton() const {
    auto* button = new QPushButton(QStringLiteral("..."));
    button->setFixedWidth(Twips(375));
    return button;
}

QLabel* MaintenanceWindow::DescriptionLabel() {
    auto* label = new QLabel;
    label->setWordWrap(true);
    return label;
}

bool MaintenanceWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ReadOnlyChange)
        if (auto* box = qobject_cast<QLineEdit*>(watched))
            ShowReadOnlyLook(box);
    return QWidget::eventFilter(watched, event);
}

void MaintenanceWindow::ShowReadOnlyLook(QLineEdit* box) {
    QPalette palette = QApplication::palette(box);
    if (box->isReadOnly())
        for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
            palette.setBrush(group, QPalette::Base, palette.brush(group, QPalette::Window));
    box->setPalette(palette);
}

QWidget* MaintenanceWindow::BuildTreePane(const QString& selectionCaption) {
    auto* vsLeft = new QWidget;
    vsLeft->setObjectName(QStringLiteral("vsLeft"));
    auto* left = new QVBoxLayout(vsLeft);
    auto* vsSelection = new QWidget;
    auto* selection = new QVBoxLayout(vsSelection);
    selection->setContentsMargins(0, 0, 0, 0);
    lblselection = new QLabel(selectionCaption);
    TxtFilterAccount = new EntryBox;
    cmdapply = new QPushButton(QStringLiteral("Apply"));
    auto* filterLine = new QHBoxLayout;
    filterLine->addWidget(TxtFilterAccount, 1);
    filterLine->addWidget(cmdapply);
    selection->addWidget(lblselection);
    selection->addLayout(filterLine);
    left->addWidget(vsSelection);
    auto* vsTreeView = new QWidget;
    auto* treePane = new QVBoxLayout(vsTreeView);
    treePane->setContentsMargins(0, 0, 0, 0);
    trvMaintenance = new MaintTree;
    // The tree gives up height before its buttons do: they stay in the window, under the tree.
    trvMaintenance->setMinimumHeight(Twips(900));
    treePane->addWidget(trvMaintenance, 1);
    auto* expandLine = new QHBoxLayout;
    CmdExpandAll = new QPushButton(QStringLiteral("Expand Current"));
    CmdCollapseAll = new QPushButton(QStringLiteral("Collapse Current"));
    expandLine->addWidget(CmdExpandAll);
    expandLine->addWidget(CmdCollapseAll);
    treePane->addLayout(expandLine);
    left->addWidget(vsTreeView, 1);
    // Room for a chart of account's levels and codes, and for the buttons under them; wider texts scroll
    // sideways.
    trvMaintenance->setMinimumWidth(Twips(2700));

    connect(cmdapply, &QPushButton::clicked, this, [this] { cmdapply_Click(); });
    connect(TxtFilterAccount, &QLineEdit::returnPressed, this, [this] { cmdapply_Click(); });
    connect(CmdExpandAll, &QPushButton::clicked, this, [this] { CmdExpandAll_Click(); });
    connect(CmdCollapseAll, &QPushButton::clicked, this, [this] { CmdCollapseAll_Click(); });
    connect(trvMaintenance, &MaintTree::KeyDown, this, &MaintenanceWindow::trvMaintenance_KeyDown);
    return vsLeft;
}

void MaintenanceWindow::setMaintenanceType(qint32 type) {
    if (type < std::numeric_limits<qint16>::min() || type > std::numeric_limits<qint16>::max()) {
        const QString name = LoadedWindows::Name(this);
        Err().Raise(6, "Overflow", name);
        ErrorHandler::Fail(name + ":LetMaintenanceType");
        return;
    }
    m_intMaintenanceType = static_cast<qint16>(type);
}

qint16 MaintenanceWindow::MaintenanceType() const {
    return m_intMaintenanceType;
}

QString MaintenanceWindow::MaintenanceDescription() const {
    return MaintenanceTypes::Description(m_intMaintenanceType, m_kind);
}

QString MaintenanceWindow::LevelType() const {
    return MaintenanceTypes::AreaCode(m_intMaintenanceType, m_kind);
}

void MaintenanceWindow::LoadCommon() {
    LoadedWindows::instance().Register(this);
    setWindowTitle(MaintenanceDescription());
    if (gMainForm) {
        gMainForm->ActiveInsert(false);
        gMainForm->ActiveSave(false);
        gMainForm->ActiveDelete(false);
    }
}

void MaintenanceWindow::Form_Unload() {
    if (gMainForm) {
        gMainForm->ActiveInsert(false);
        gMainForm->ActiveSave(false);
        gMainForm->ActiveDelete(false);
    }
}

void MaintenanceWindow::closeEvent(QCloseEvent* event) {
    // The load yields to the message loop now and then; the window must outlive it.
    if (m_loading) {
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

void MaintenanceWindow::Insert() {
    NewRecord = true;
    if (gMainForm)
        gMainForm->ActiveSave(true);
}

void MaintenanceWindow::Save() {
    if (!NewRecord)
        return;
    MousePointer hourglass;
    NewRecord = false;
    if (gMainForm)
        gMainForm->ActiveSave(false);
}

void MaintenanceWindow::Delete() {
    DelRecord = true;
    gMsgResponse =
        QString::number(MsgBox("Do you want to delete selected item?", vbYesNo + vbQuestion, "Delete"));
    DelRecord = false;
}

void MaintenanceWindow::TakeFocus() {
    trvMaintenance->TakeFocus(Qt::ActiveWindowFocusReason);
}

QString MaintenanceWindow::TrimRight(const QString& text) {
    return clsGenericMaint::ShownValue(text);
}

void MaintenanceWindow::PopulateTree(Recordset& rs, const std::function<void()>& walk,
                                     const QString& location) {
    MousePointer hourglass;
    FlagScope loading(m_loading);
    strcurRoot.clear();
    MaintTree& tree = *trvMaintenance;
    clsGenericMaint& gm = *m_clsGenMaint;
    if (rs.RecordCount() < 1) {
        if (TxtFilterAccount->text().trimmed().isEmpty()) {
            strcurRoot = MaintenanceTypes::TypeName(MaintenanceType());
            gm.AddNode_Root(tree, strcurRoot);
        } else {
            NodeInfo info;
            info.kind = NodeKind::Notice;
            gm.AddNode(tree, QStringView(), QString(), QStringLiteral("There is no item at this range"),
                       TreeImages::ChartOfAccount, QString(), true, false, info, location);
        }
        tree.SetSelectedItem(nullptr);
        return;
    }
    {
        ProgressPacer load(rs.RecordCount());
        MaintTree::BuildScope build(tree, rs.RecordCount());
        strcurRoot = MaintenanceTypes::TypeName(MaintenanceType());
        gm.AddNode_Root(tree, strcurRoot);
        walk();
    }
    tree.SetSelectedItem(nullptr);
}

void MaintenanceWindow::LoadMaintenanceTree() {
    m_rsMain = Recordset();
    // An editor opened without a warehouse has nothing to show and nothing to complain about.
    if (gDBConnection.State() != 1)
        return;
    // The tree's statement may take seconds on a large chart before a row comes back.
    MousePointer hourglass;
    m_rsMain = GetMainRecordset();
    if (m_rsMain.IsNothing())
        return;
    PopulateMainTree();
    m_rsMain.Close();
}

Recordset MaintenanceWindow::GetMainRecordset() {
    const QString sql = TreeStatement();
    if (sql.trimmed().isEmpty())
        return Recordset();
    Recordset rs = GetRecordset(sql);
    if (rs.IsNothing())
        ErrorHandler::Fail(LoadedWindows::Name(this) + QStringLiteral(":GetMainRecordset"));
    return rs;
}

void MaintenanceWindow::cmdapply_Click() {
    if (m_loading || !m_clsGenMaint)
        return;
    m_clsGenMaint->InitializeTree(*trvMaintenance);
    InitializeFields();
    LoadMaintenanceTree();
    // As after the first load: nothing selected, nothing to save or delete until the next click.
    trvMaintenance->SetSelectedItem(nullptr);
    if (gMainForm) {
        gMainForm->ActiveInsert(false);
        gMainForm->ActiveSave(false);
        gMainForm->ActiveDelete(false);
    }
}

void MaintenanceWindow::trvMaintenance_KeyDown(int KeyCode, Qt::KeyboardModifiers) {
    if (KeyCode != Qt::Key_Delete || !gMainForm)
        return;
    if (QAction* button = gMainForm->ToolbarButton(QStringLiteral("delete")); button && button->isEnabled())
        Delete();
}

void MaintenanceWindow::CmdExpandAll_Click() {
    if (m_clsGenMaint)
        m_clsGenMaint->ExpandCurrent(true, *trvMaintenance);
}

void MaintenanceWindow::CmdCollapseAll_Click() {
    TreeNode* node = trvMaintenance->SelectedItem();
    if (!node || !m_clsGenMaint)
        return;
    if (!node->Parent()) {
        const auto& nodes = trvMaintenance->Nodes();
        for (std::size_t n = 1; n < nodes.size(); ++n)
            trvMaintenance->SetExpanded(nodes[n], false);
        return;
    }
    m_clsGenMaint->ExpandCurrent(false, *trvMaintenance);
}
