#include "frame/frmMain.h"

#include "frame/MaintenanceEditor.h"
#include "frame/clsDBConnection.h"
#include "frame/frmNewConnection.h"
#include "frame/modMain.h"
#include "platform/App.h"
#include "platform/LoadedWindows.h"

#include <QAction>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QProgressBar>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

frmMain::frmMain(QWidget* parent) : QMainWindow(parent) {
    setObjectName("frmMain");
    LoadedWindows::instance().Register(this);
    MdiArea = new QMdiArea(this);
    MdiArea->setObjectName("MdiArea");
    setCentralWidget(MdiArea);
    buildMenus();
    buildToolbar();
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName("ProgressBar1");
    ProgressBar1->setVisible(false);
    statusBar()->addPermanentWidget(ProgressBar1, 1);
    resize(1000, 700);
    MDIForm_Load();
}

QAction* frmMain::addCommand(QMenu* menu, const QString& name, const QString& caption) {
    auto* action = new QAction(caption, this);
    action->setObjectName(name);
    m_commands.insert(name, action);
    if (menu)
        menu->addAction(action);
    return action;
}

void frmMain::buildMenus() {
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->setObjectName("mnuFile");
    connect(addCommand(file, "mnuNewMart", "&New Warehouse Connection"), &QAction::triggered, this,
            &frmMain::mnuNewMart_Click);
    connect(addCommand(file, "mnuOPenMart", "&Open Warehouse Connection"), &QAction::triggered, this,
            &frmMain::mnuOPenMart_Click);
    connect(addCommand(file, "mnuCloseMart", "&Close Warehouse Connection"), &QAction::triggered, this,
            &frmMain::mnuCloseMart_Click);
    file->addSeparator();
    addCommand(file, "mnuSaveMart", "&Save Warehouse Connection")->setEnabled(false);
    file->addSeparator();
    connect(addCommand(file, "mnuExit", "&Exit"), &QAction::triggered, this, &frmMain::mnuExit_Click);

    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    edit->setObjectName("mnuEdit");
    connect(addCommand(edit, "mnuNew", "&New"), &QAction::triggered, this, &frmMain::mnuNew_Click);
    connect(addCommand(edit, "mnuSave", "&Save"), &QAction::triggered, this, &frmMain::mnuSave_Click);
    connect(addCommand(edit, "mnuDelete", "&Delete"), &QAction::triggered, this, &frmMain::mnuDelete_Click);
    edit->addSeparator();
    connect(addCommand(edit, "mnuClose", "Close"), &QAction::triggered, this, &frmMain::mnuClose_Click);

    // The right-click menu of the editors' trees: never on the menu bar, it shares the Edit commands.
    mnuRightSubMenu = new QMenu("RightSubMenu", this);
    mnuRightSubMenu->setObjectName("mnuRightSubMenu");
    mnuRightSubMenu->addAction(Command("mnuNew"));
    mnuRightSubMenu->addAction(Command("mnuSave"));
    mnuRightSubMenu->addAction(Command("mnuDelete"));
    connect(addCommand(mnuRightSubMenu, "mnuSubSync", "&Synchronize"), &QAction::triggered, this,
            &frmMain::mnuSubSync_Click);

    QMenu* maintenance = menuBar()->addMenu(tr("&Maintenance"));
    maintenance->setObjectName("mnuPanotekMaintenance");
    const struct {
        int index;
        const char* caption;
        const char* rangeItem;
        const char* codeItem;
    } submenus[] = {
        {1, "Account Multiplier", "mnuMultiplierRangeMaint", "mnuMultiplierCodeMaint"},
        {2, "Account Categories", "mnuCategoriesRangeMaint", "mnuCategoriesCodeMaint"},
        {3, "Account Level", "mnuLevelRangeMaint", "mnuLevelCodeMaint"},
        {4, "Business Unit Level ", "mnuBURangeMaint", "mnuBUCodeMaint"},
        {5, "Business Area Level ", "mnuBARangeMaint", "mnuBACodeMaint"},
    };
    for (const auto& s : submenus) {
        if (s.index == 4)
            maintenance->addSeparator();
        QMenu* sub = maintenance->addMenu(QString::fromLatin1(s.caption));
        sub->setObjectName(s.index <= 3 ? QString("mnuAccountMaintenance(%1)").arg(s.index)
                                        : QString("mnuBusinessMaintenance(%1)").arg(s.index));
        addCommand(sub, QString::fromLatin1(s.rangeItem), "Range Maintenance");
        addCommand(sub, QString::fromLatin1(s.codeItem), "Code Maintenance");
        // The business submenus are hidden by design; their items exist all the same.
        if (s.index > 3)
            sub->menuAction()->setVisible(false);
        m_maintenanceMenus.insert(s.index, sub);
    }

    QMenu* tools = menuBar()->addMenu(tr("&Tools"));
    tools->setObjectName("mnuTools");
    addCommand(tools, "mnuImportLocations", "Import Warehouse Locations");

    QMenu* window = menuBar()->addMenu(tr("&Window"));
    window->setObjectName("mnuWindow");
    connect(addCommand(window, "mnuWindowCascade", "Cascade"), &QAction::triggered, MdiArea,
            &QMdiArea::cascadeSubWindows);
    connect(addCommand(window, "mnuWindowTileHorizontal", "Tile &Horizontal"), &QAction::triggered, MdiArea,
            &QMdiArea::tileSubWindows);
    connect(addCommand(window, "mnuWindowTileVertical", "Tile &Vertical"), &QAction::triggered, MdiArea,
            &QMdiArea::tileSubWindows);
    addCommand(window, "mnuWindowArrangeIcons", "&Arrange Icons");

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->setObjectName("mnuHelp");
    addCommand(help, "mnuAbout", "About...");
}

void frmMain::buildToolbar() {
    ImageList1.insert("insert", style()->standardIcon(QStyle::SP_FileIcon));
    ImageList1.insert("open", style()->standardIcon(QStyle::SP_DialogOpenButton));
    ImageList1.insert("save", style()->standardIcon(QStyle::SP_DialogSaveButton));
    ImageList1.insert("help", style()->standardIcon(QStyle::SP_DialogHelpButton));
    ImageList1.insert("delete", style()->standardIcon(QStyle::SP_TrashIcon));

    Toolbar1 = addToolBar("Toolbar1");
    Toolbar1->setObjectName("Toolbar1");
    Toolbar1->setMovable(false);
    // The Help button has no action of its own; the other four share the menu commands.
    auto* helpButton = new QAction(ImageList1.value("help"), "Help", this);
    helpButton->setObjectName("Help");
    const struct {
        const char* key;
        QAction* action;
        const char* tip;
        const char* image;
    } buttons[] = {
        {"Help", helpButton, "Help", "help"},
        {"open", Command("mnuOPenMart"), "Open", "open"},
        {"insert", Command("mnuNew"), "New", "insert"},
        {"save", Command("mnuSave"), "Save", "save"},
        {"delete", Command("mnuDelete"), "Delete", "delete"},
    };
    for (const auto& b : buttons) {
        b.action->setIcon(ImageList1.value(QString::fromLatin1(b.image)));
        b.action->setToolTip(QString::fromLatin1(b.tip));
        Toolbar1->addAction(b.action);
        m_buttons.insert(QString::fromLatin1(b.key), b.action);
    }
    // Menus show text only; the images belong to the toolbar.
    for (QAction* a : m_commands)
        a->setIconVisibleInMenu(false);
}

void frmMain::MDIForm_Load() {
    setWindowTitle(App::Title() + " - Account Maintenance");
    InitialiseZentilMenuOptions(false);
    ActiveInsert(true);
    ActiveSave(false);
    ActiveDelete(false);
}

QAction* frmMain::Command(const QString& name) const {
    return m_commands.value(name);
}

QAction* frmMain::ToolbarButton(const QString& key) const {
    return m_buttons.value(key);
}

QMenu* frmMain::MaintenanceMenu(int index) const {
    return m_maintenanceMenus.value(index);
}

void frmMain::ActiveInsert(bool enable) {
    Command("mnuNew")->setEnabled(enable);
}

void frmMain::ActiveSave(bool enable) {
    Command("mnuSave")->setEnabled(enable);
}

void frmMain::ActiveDelete(bool enable) {
    Command("mnuDelete")->setEnabled(enable);
}

void frmMain::ActiveOpenMart(bool enable) {
    Command("mnuOPenMart")->setEnabled(enable);
}

void frmMain::ActiveCloseMart(bool enable) {
    Command("mnuCloseMart")->setEnabled(enable);
}

void frmMain::ActiveSync(bool visible) {
    Command("mnuSubSync")->setVisible(visible);
}

void frmMain::InitialiseZentilMenuOptions(bool enable) {
    for (QMenu* menu : m_maintenanceMenus)
        menu->setEnabled(enable);
}

MaintenanceEditor* frmMain::ActiveEditor() const {
    // The current sub-window, not only the active one: commands must reach the editor also while the
    // application itself has no focus.
    QMdiSubWindow* sub = MdiArea->currentSubWindow();
    return sub ? dynamic_cast<MaintenanceEditor*>(sub->widget()) : nullptr;
}

void frmMain::mnuExit_Click() {
    close();
}

void frmMain::mnuNew_Click() {
    if (MaintenanceEditor* editor = ActiveEditor())
        editor->Insert();
    else
        mnuNewMart_Click();
}

void frmMain::mnuSave_Click() {
    if (MaintenanceEditor* editor = ActiveEditor())
        editor->Save();
}

void frmMain::mnuDelete_Click() {
    if (MaintenanceEditor* editor = ActiveEditor())
        editor->Delete();
}

void frmMain::mnuSubSync_Click() {
    if (MaintenanceEditor* editor = ActiveEditor())
        editor->Synchronize();
}

void frmMain::mnuNewMart_Click() {
    if (m_newConnection) {
        m_newConnection->raise();
        m_newConnection->activateWindow();
        return;
    }
    m_newConnection = new frmNewConnection(this);
    m_newConnection->setAttribute(Qt::WA_DeleteOnClose);
    m_newConnection->show();
}

void frmMain::mnuOPenMart_Click() {
    OpenWarehouseConnection();
}

void frmMain::mnuCloseMart_Click() {
    CloseDBConnection();
    ActiveOpenMart(true);
    ActiveCloseMart(false);
    InitialiseZentilMenuOptions(false);
    Command("mnuImportLocations")->setEnabled(true);
}

void frmMain::mnuClose_Click() {
    if (QMdiSubWindow* sub = MdiArea->currentSubWindow())
        LoadedWindows::instance().Unload(sub->widget());
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (m_unloading) {
        event->accept();
        return;
    }
    m_unloading = true;
    if (gDBConnection.State() == DbConnection::adStateOpen)
        gDBConnection->CloseDB();
    gDBConnection.SetNothing();
    // Every other window goes first, the last loaded first.
    LoadedWindows& windows = LoadedWindows::instance();
    const QList<QWidget*> forms = windows.Forms();
    for (qsizetype i = forms.size() - 1; i >= 0; --i)
        if (forms[i] != this)
            windows.Unload(forms[i]);
    event->accept();
}
