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
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
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
    : QWidget(parent), m_kind(kind) {
    setMinimumSize(480, 360);
}

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
    auto* vsMain = new QSplitter(Qt::Horizontal, this);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(vsMain);
    vsMain->addWidget(BuildTreePane(selectionCaption));
    vsMain->addWidget(buildEntryPanel());
    // The entry panel keeps its designed width; the tree takes all the width the window has beyond it.
    vsMain->setStretchFactor(0, 1);
    vsMain->setStretchFactor(1, 0);
    vsMain->setCollapsible(0, false);
    vsMain->setHandleWidth(Twips(90));
    // A handle the user can see and grab, whatever the style draws.
    QSplitterHandle* handle = vsMain->handle(1);
    handle->setBackgroundRole(QPalette::Mid);
    handle->setAutoFillBackground(true);
}

QWidget* MaintenanceWindow::BuildTreePane(const QString& selectionCaption) {
    auto* vsLeft = new QWidget;
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
    treePane->addWidget(trvMaintenance, 1);
    auto* expandLine = new QHBoxLayout;
    CmdExpandAll = new QPushButton(QStringLiteral("Expand Current"));
    CmdCollapseAll = new QPushButton(QStringLiteral("Collapse Current"));
    expandLine->addWidget(CmdExpandAll);
    expandLine->addWidget(CmdCollapseAll);
    treePane->addLayout(expandLine);
    left->addWidget(vsTreeView, 1);
    // Room for a range under its code at first sight; wider texts scroll sideways.
    vsLeft->setMinimumWidth(Twips(4200));

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

QString MaintenanceWindow::TrimRight(const QString& text) {
    qsizetype n = text.size();
    while (n > 0 && text.at(n - 1) == QLatin1Char(' '))
        --n;
    return n == text.size() ? text : text.left(n);
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
