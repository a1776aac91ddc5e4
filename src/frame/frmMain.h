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
class frmNewConnection;

// The main window: a multiple-document window with the menus, the toolbar, the progress bar and the
// command states that the editors and connection dialogs switch.
class frmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);

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
    void mnuClose_Click();

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

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void MDIForm_Load();
    QAction* addCommand(QMenu* menu, const QString& name, const QString& caption);
    void buildMenus();
    void buildToolbar();

    QHash<QString, QAction*> m_commands;
    QHash<QString, QAction*> m_buttons;
    QHash<int, QMenu*> m_maintenanceMenus;
    QPointer<frmNewConnection> m_newConnection;
    bool m_unloading = false;
};
