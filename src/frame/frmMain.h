#pragma once

#include <QHash>
#include <QIcon>
#include <QMainWindow>
#include <QPointer>

class QAction;
class QMdiArea;
class QMenu;
class QProgressBar;
class QToolBar;
class MaintenanceEditor;
class QMdiSubWindow;
class frmAbout;
class frmImportLocations;
class frmNewConnection;
class QWidget;

// The main window: a multiple-document window with the menus, the toolbar, the progress bar and the
// command states that the editors and connection dialogs switch.
class frmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // Command states; each sets its command wherever it appears (menu, toolbar, right-click menu).
    void ActiveInsert(bool enable);
    void ActiveSave(bool enable);
    void ActiveDelete(bool enable);
    void ActiveOpenMart(bool enable);
    void ActiveCloseMart(bool enable);
    void ActiveSync(bool visible);
    void InitialiseZentilMenuOptions(bool enable);

    void mnuExit_Click();
    void mnuNew_Click();
    void mnuSave_Click();
    void mnuDelete_Click();
    void mnuSubSync_Click();
    void mnuNewMart_Click();
    void mnuOPenMart_Click();
    void mnuCloseMart_Click();
    // Close Warehouse Connection: the connection closed, every window but this one (and `keep`)
    // unloaded, the menus back in their closed state.
    void CloseWarehouse(QWidget* keep = nullptr);
    // The menus of an open connection.
    void ShowWarehouseOpen();
    void mnuClose_Click();
    void mnuImportLocations_Click();
    void mnuAbout_Click();
    void mnuWindowCascade_Click();
    void mnuWindowTileHorizontal_Click();
    void mnuWindowTileVertical_Click();
    void mnuWindowArrangeIcons_Click();

    // The ten editor items of the Maintenance menu; each acts only on its own index.
    void mnuMultiplierRangeMaint_Click(int index);
    void mnuMultiplierCodeMaint_Click(int index);
    void mnuCategoriesRangeMaint_Click(int index);
    void mnuCategoriesCodeMaint_Click(int index);
    void mnuLevelRangeMaint_Click(int index);
    void mnuLevelCodeMaint_Click(int index);
    void mnuBURangeMaint_Click(int index);
    void mnuBUCodeMaint_Click(int index);
    void mnuBARangeMaint_Click(int index);
    void mnuBACodeMaint_Click(int index);

    // A menu item or command by its name ("mnuNew", "mnuOPenMart").
    QAction* Command(const QString& name) const;
    // A toolbar button by its key ("insert", "open", "save", "delete", "Help").
    QAction* ToolbarButton(const QString& key) const;
    // A maintenance submenu: 1-3 the account submenus, 4 and 5 the business ones.
    QMenu* MaintenanceMenu(int index) const;

    QToolBar* Toolbar1 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QMenu* mnuRightSubMenu = nullptr;
    QMdiArea* MdiArea = nullptr;
    QHash<QString, QIcon> ImageList1;

    // The editor in the current child window, or nullptr.
    MaintenanceEditor* ActiveEditor() const;
    // Opens the editor of a Maintenance menu index (10-100) unless its twin is open.
    void OpenMaintenanceEditor(int index);
    // The open child windows, in the order the Window menu lists them.
    QList<QMdiSubWindow*> ChildWindows() const;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The command states an editor left behind, given back when it is current again.
    struct CommandSnapshot {
        bool insert = false;
        bool save = false;
        bool remove = false;
        bool sync = true;
        qint32 nodeType = 0;
    };

    void MDIForm_Load();
    void currentEditorChanged(QMdiSubWindow* window);
    // Makes the editor that holds `widget` the current one.
    void BringForward(QWidget* widget);
    void rememberCommandStates();
    void fillWindowList();
    // The child windows that Tile arranges: all but the minimised ones, none of them left maximised.
    QList<QMdiSubWindow*> WindowsToTile() const;
    template <class Window> void showSingle(QPointer<Window>& slot);
    QAction* addCommand(QMenu* menu, const QString& name, const QString& caption);
    void buildMenus();
    void buildToolbar();

    QHash<QString, QAction*> m_commands;
    QHash<QString, QAction*> m_buttons;
    QHash<int, QMenu*> m_maintenanceMenus;
    QPointer<frmNewConnection> m_newConnection;
    QPointer<frmAbout> m_about;
    QPointer<frmImportLocations> m_import;
    QHash<QWidget*, CommandSnapshot> m_snapshots;
    QPointer<QWidget> m_currentEditor;
    bool m_restoring = false;
    bool m_unloading = false;
    QMenu* m_windowMenu = nullptr;
    QList<QAction*> m_windowListActions;
};
