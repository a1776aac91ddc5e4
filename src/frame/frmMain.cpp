#include "frame/frmMain.h"

#include "codemaint/frmCodeMaintenance.h"
#include "frame/MaintenanceEditor.h"
#include "frame/ModMaintenance.h"
#include "frame/clsDBConnection.h"
#include "frame/frmAbout.h"
#include "frame/frmImportLocations.h"
#include "frame/frmNewConnection.h"
#include "frame/modMain.h"
#include "platform/App.h"
#include "platform/LoadedWindows.h"
#include "rangemaint/frmRangeMaintenance.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>

// The resources live in the program's library, which the linker would otherwise leave out.
static void initialiseFrameResources() {
    Q_INIT_RESOURCE(frame);
}

namespace {

struct EditorItem {
    int index;
    const char* item;
    bool range;
    int type;
};

const EditorItem kEditorItems[] = {
    {10, "mnuMultiplierRangeMaint", true, 1}, {20, "mnuMultiplierCodeMaint", false, 1},
    {30, "mnuCategoriesRangeMaint", true, 2}, {40, "mnuCategoriesCodeMaint", false, 2},
    {50, "mnuLevelRangeMaint", true, 3},      {60, "mnuLevelCodeMaint", false, 3},
    {70, "mnuBURangeMaint", true, 4},         {80, "mnuBUCodeMaint", false, 4},
    {90, "mnuBARangeMaint", true, 5},         {100, "mnuBACodeMaint", false, 5},
};

} // namespace

frmMain::frmMain(QWidget* parent) : QMainWindow(parent) {
    initialiseFrameResources();
    setObjectName("frmMain");
    LoadedWindows::instance().Register(this);
    MdiArea = new QMdiArea(this);
    MdiArea->setObjectName("MdiArea");
    // An editor that reaches past the area, in a small window or after Cascade, is scrolled to.
    MdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    MdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // Every window carries the program's own icon, the editors' child windows included.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/frame/images/about.svg")));
    setWindowIcon(QApplication::windowIcon());
    setCentralWidget(MdiArea);
    connect(MdiArea, &QMdiArea::subWindowActivated, this, &frmMain::currentEditorChanged);
    // The presses into the editors, seen before the control pressed acts on them.
    qApp->installEventFilter(this);
    buildMenus();
    buildToolbar();
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName("ProgressBar1");
    ProgressBar1->setVisible(false);
    statusBar()->addPermanentWidget(ProgressBar1, 1);
    // Most of the screen, so an editor shows its tree beside its entry panel without scrolling.
    const QSize screenRoom = screen()->availableGeometry().size();
    resize(QSize(1000, 700).expandedTo(screenRoom * 0.9));
    MDIForm_Load();
}

frmMain::~frmMain() {
    // The sub-windows go after this object is half destroyed; their goodbyes must not reach it.
    disconnect(MdiArea, nullptr, this, nullptr);
    qApp->removeEventFilter(this);
    for (QWidget* editor : m_snapshots.keys())
        disconnect(editor, nullptr, this, nullptr);
    m_unloading = true;
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
        for (const char* item : {s.rangeItem, s.codeItem}) {
            const QString name = QString::fromLatin1(item);
            QAction* action =
                addCommand(sub, name, item == s.rangeItem ? "Range Maintenance" : "Code Maintenance");
            for (const EditorItem& e : kEditorItems)
                if (name == QLatin1String(e.item))
                    connect(action, &QAction::triggered, this,
                            [this, index = e.index] { OpenMaintenanceEditor(index); });
        }
        // The business submenus are hidden by design; their items exist all the same.
        if (s.index > 3)
            sub->menuAction()->setVisible(false);
        m_maintenanceMenus.insert(s.index, sub);
    }

    QMenu* tools = menuBar()->addMenu(tr("&Tools"));
    tools->setObjectName("mnuTools");
    connect(addCommand(tools, "mnuImportLocations", "Import Warehouse Locations"), &QAction::triggered, this,
            &frmMain::mnuImportLocations_Click);

    m_windowMenu = menuBar()->addMenu(tr("&Window"));
    m_windowMenu->setObjectName("mnuWindow");
    connect(addCommand(m_windowMenu, "mnuWindowCascade", "Cascade"), &QAction::triggered, this,
            &frmMain::mnuWindowCascade_Click);
    connect(addCommand(m_windowMenu, "mnuWindowTileHorizontal", "Tile &Horizontal"), &QAction::triggered,
            this, &frmMain::mnuWindowTileHorizontal_Click);
    connect(addCommand(m_windowMenu, "mnuWindowTileVertical", "Tile &Vertical"), &QAction::triggered, this,
            &frmMain::mnuWindowTileVertical_Click);
    connect(addCommand(m_windowMenu, "mnuWindowArrangeIcons", "&Arrange Icons"), &QAction::triggered, this,
            &frmMain::mnuWindowArrangeIcons_Click);
    connect(m_windowMenu, &QMenu::aboutToShow, this, &frmMain::fillWindowList);

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->setObjectName("mnuHelp");
    connect(addCommand(help, "mnuAbout", "About..."), &QAction::triggered, this, &frmMain::mnuAbout_Click);
}

void frmMain::buildToolbar() {
    for (const char* key : {"insert", "open", "save", "help", "delete"})
        ImageList1.insert(QString::fromLatin1(key), QIcon(QString(":/frame/images/%1.svg").arg(key)));

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
    rememberCommandStates();
}

void frmMain::ActiveSave(bool enable) {
    Command("mnuSave")->setEnabled(enable);
    rememberCommandStates();
}

void frmMain::ActiveDelete(bool enable) {
    Command("mnuDelete")->setEnabled(enable);
    rememberCommandStates();
}

void frmMain::ActiveOpenMart(bool enable) {
    Command("mnuOPenMart")->setEnabled(enable);
}

void frmMain::ActiveCloseMart(bool enable) {
    Command("mnuCloseMart")->setEnabled(enable);
}

void frmMain::ActiveSync(bool visible) {
    Command("mnuSubSync")->setVisible(visible);
    rememberCommandStates();
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

template <class Window> void frmMain::showSingle(QPointer<Window>& slot) {
    // Asked for again, the open window comes forward instead of a second copy.
    if (!slot) {
        slot = new Window(this);
        slot->setAttribute(Qt::WA_DeleteOnClose);
    }
    slot->show();
    slot->raise();
    slot->activateWindow();
}

void frmMain::mnuNewMart_Click() {
    showSingle(m_newConnection);
}

void frmMain::mnuImportLocations_Click() {
    showSingle(m_import);
}

void frmMain::mnuAbout_Click() {
    showSingle(m_about);
}

void frmMain::OpenMaintenanceEditor(int index) {
    const EditorItem* item = nullptr;
    for (const EditorItem& e : kEditorItems)
        if (e.index == index)
            item = &e;
    if (!item)
        return;
    QWidget* window = item->range ? static_cast<QWidget*>(new frmRangeMaintenance)
                                  : static_cast<QWidget*>(new frmCodeMaintenance);
    auto* editor = dynamic_cast<MaintenanceEditor*>(window);
    editor->setMaintenanceType(item->type);
    const QString description = editor->MaintenanceDescription();
    if (FindFormCaption(LoadedWindows::Name(window), description)) {
        // The open twin is left as it is, not even brought forward.
        delete window;
        return;
    }
    QMdiSubWindow* sub = MdiArea->addSubWindow(window);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowIcon(windowIcon());
    sub->show();
    // Current before it loads, so the command states it sets while loading are its own.
    MdiArea->setActiveSubWindow(sub);
    currentEditorChanged(sub);
    editor->Form_Load();
}

void frmMain::mnuMultiplierRangeMaint_Click(int index) {
    if (index == 10)
        OpenMaintenanceEditor(index);
}

void frmMain::mnuMultiplierCodeMaint_Click(int index) {
    if (index == 20)
        OpenMaintenanceEditor(index);
}

void frmMain::mnuCategoriesRangeMaint_Click(int index) {
    if (index == 30)
        OpenMaintenanceEditor(index);
}

void frmMain::mnuCategoriesCodeMaint_Click(int index) {
    if (index == 40)
        OpenMaintenanceEditor(index);
}

void frmMain::mnuLevelRangeMaint_Click(int index) {
    if (index == 50)
        OpenMaintenanceEditor(index);
}

void frmMain::mnuLevelCodeMaint_Click(int index) {
    if (index == 60)
        OpenMaintenanceEditor(index);
}

void frmMain::mnuBURangeMaint_Click(int index) {
    if (index == 70)
        OpenMaintenanceEditor(index);
}

void frmMain::mnuBUCodeMaint_Click(int index) {
    if (index == 80)
        OpenMaintenanceEditor(index);
}

void frmMain::mnuBARangeMaint_Click(int index) {
    if (index == 90)
        OpenMaintenanceEditor(index);
}

void frmMain::mnuBACodeMaint_Click(int index) {
    if (index == 100)
        OpenMaintenanceEditor(index);
}

QList<QMdiSubWindow*> frmMain::ChildWindows() const {
    QList<QMdiSubWindow*> list;
    for (QMdiSubWindow* sub : MdiArea->subWindowList(QMdiArea::CreationOrder))
        if (sub->isVisible() || sub->isMinimized())
            list << sub;
    return list;
}

void frmMain::rememberCommandStates() {
    if (m_restoring || !m_currentEditor)
        return;
    CommandSnapshot& s = m_snapshots[m_currentEditor.data()];
    s.insert = Command("mnuNew")->isEnabled();
    s.save = Command("mnuSave")->isEnabled();
    s.remove = Command("mnuDelete")->isEnabled();
    s.sync = Command("mnuSubSync")->isVisible();
}

void frmMain::currentEditorChanged(QMdiSubWindow* window) {
    QWidget* incoming = window ? window->widget() : nullptr;
    if (incoming == m_currentEditor.data() || m_unloading)
        return;
    // Node type and command states belong to each editor: the one that goes keeps its own, the one that
    // comes gets its own back. An editor that closed left New, Save and Delete off.
    if (m_currentEditor && m_snapshots.contains(m_currentEditor.data()))
        m_snapshots[m_currentEditor.data()].nodeType = gNodeType;
    m_currentEditor = incoming;
    if (!incoming)
        return;
    if (!m_snapshots.contains(incoming)) {
        CommandSnapshot fresh;
        fresh.insert = Command("mnuNew")->isEnabled();
        fresh.save = Command("mnuSave")->isEnabled();
        fresh.remove = Command("mnuDelete")->isEnabled();
        fresh.sync = Command("mnuSubSync")->isVisible();
        m_snapshots.insert(incoming, fresh);
        connect(incoming, &QObject::destroyed, this, [this, incoming] { m_snapshots.remove(incoming); });
    }
    const CommandSnapshot s = m_snapshots.value(incoming);
    m_restoring = true;
    ActiveInsert(s.insert);
    ActiveSave(s.save);
    ActiveDelete(s.remove);
    ActiveSync(s.sync);
    m_restoring = false;
    gNodeType = s.nodeType;
}

void frmMain::mnuWindowCascade_Click() {
    MdiArea->cascadeSubWindows();
}

QList<QMdiSubWindow*> frmMain::WindowsToTile() const {
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* sub : ChildWindows())
        if (!sub->isMinimized())
            windows << sub;
    // A maximised window takes its place among the others as a normal one.
    for (QMdiSubWindow* sub : windows)
        if (sub->isMaximized())
            sub->showNormal();
    return windows;
}

void frmMain::mnuWindowTileHorizontal_Click() {
    // One above the other, each the full width.
    const QList<QMdiSubWindow*> windows = WindowsToTile();
    if (windows.isEmpty())
        return;
    const QRect area = MdiArea->viewport()->rect();
    const int height = area.height() / int(windows.size());
    for (int i = 0; i < windows.size(); ++i)
        windows[i]->setGeometry(0, i * height, area.width(), height);
}

void frmMain::mnuWindowTileVertical_Click() {
    // Side by side, each the full height.
    const QList<QMdiSubWindow*> windows = WindowsToTile();
    if (windows.isEmpty())
        return;
    const QRect area = MdiArea->viewport()->rect();
    const int width = area.width() / int(windows.size());
    for (int i = 0; i < windows.size(); ++i)
        windows[i]->setGeometry(i * width, 0, width, area.height());
}

void frmMain::mnuWindowArrangeIcons_Click() {
    // The minimised windows lined up along the bottom, left to right.
    const QRect area = MdiArea->viewport()->rect();
    int x = 0;
    int y = area.height();
    for (QMdiSubWindow* sub : ChildWindows()) {
        if (!sub->isMinimized())
            continue;
        const QSize size = sub->size();
        if (x > 0 && x + size.width() > area.width()) {
            x = 0;
            y -= size.height();
        }
        sub->move(x, y - size.height());
        x += size.width();
    }
}

void frmMain::fillWindowList() {
    for (QAction* a : m_windowListActions) {
        m_windowMenu->removeAction(a);
        a->deleteLater();
    }
    m_windowListActions.clear();
    const QList<QMdiSubWindow*> windows = ChildWindows();
    if (windows.isEmpty())
        return;
    m_windowListActions << m_windowMenu->addSeparator();
    int n = 0;
    for (QMdiSubWindow* sub : windows) {
        ++n;
        QAction* a = m_windowMenu->addAction(QString("&%1 %2").arg(n).arg(sub->widget()->windowTitle()));
        a->setCheckable(true);
        a->setChecked(sub == MdiArea->currentSubWindow());
        connect(a, &QAction::triggered, this, [this, window = QPointer<QMdiSubWindow>(sub)] {
            if (window) {
                if (window->isMinimized())
                    window->showNormal();
                MdiArea->setActiveSubWindow(window);
                currentEditorChanged(window);
            }
        });
        m_windowListActions << a;
    }
}

void frmMain::mnuOPenMart_Click() {
    OpenWarehouseConnection();
}

void frmMain::mnuCloseMart_Click() {
    CloseWarehouse();
}

void frmMain::CloseWarehouse(QWidget* keep) {
    CloseDBConnection(keep);
    ActiveOpenMart(true);
    ActiveCloseMart(false);
    InitialiseZentilMenuOptions(false);
    Command("mnuImportLocations")->setEnabled(true);
}

void frmMain::ShowWarehouseOpen() {
    InitialiseZentilMenuOptions(true);
    ActiveOpenMart(false);
    ActiveCloseMart(true);
}

void frmMain::mnuClose_Click() {
    if (QMdiSubWindow* sub = MdiArea->currentSubWindow())
        LoadedWindows::instance().Unload(sub->widget());
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    // A press into an editor brings it to the front, as the window system's activation of the main window
    // does through the focus; without a window manager that activation never comes, and the toolbar, the
    // commands and the keys would stay with the editor the user left. Before the control acts on the press:
    // a click that selects a node may refill the account list, and an activation arriving meanwhile gives
    // the keyboard to the editor in front.
    if (event->type() == QEvent::MouseButtonPress && !m_unloading)
        if (auto* widget = qobject_cast<QWidget*>(watched); widget && widget->window() == this)
            BringForward(widget);
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::BringForward(QWidget* widget) {
    QMdiSubWindow* sub = nullptr;
    // The control a click gives the keyboard to: the one pressed or the nearest holder that takes it so.
    QWidget* clicked = nullptr;
    for (QWidget* w = widget; w && w != MdiArea && !sub; w = w->parentWidget()) {
        sub = qobject_cast<QMdiSubWindow*>(w);
        if (sub && sub->mdiArea() != MdiArea)
            sub = nullptr;
        if (!sub && !clicked && w->isEnabled() && (w->focusPolicy() & Qt::ClickFocus) == Qt::ClickFocus)
            clicked = w;
    }
    if (!sub || sub == MdiArea->currentSubWindow())
        return;
    MdiArea->setActiveSubWindow(sub);
    currentEditorChanged(sub);
    // The area hands the keyboard to the control the editor last had it in.
    if (clicked)
        clicked->setFocus(Qt::MouseFocusReason);
}

bool frmMain::event(QEvent* event) {
    // Activated with no control to give the focus back to, the window would give it to the next control it
    // finds, which may be in another editor than the one in front: that editor would come to the front and
    // take the user's next Delete. No control holds the focus when the one that held it was switched off
    // meanwhile; a hidden one still holds it when it was hidden while the window was inactive (the boxes of
    // an entry deleted behind a message box). The editor in front keeps the keyboard.
    if (event->type() == QEvent::WindowActivate)
        if (const QWidget* focus = focusWidget(); !focus || !focus->isVisible() || !focus->isEnabled())
            if (MaintenanceEditor* editor = ActiveEditor())
                editor->TakeFocus();
    return QMainWindow::event(event);
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
