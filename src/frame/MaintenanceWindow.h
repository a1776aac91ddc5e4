#pragma once

#include "frame/MaintenanceEditor.h"
#include "frame/MaintenanceTypes.h"
#include "platform/Recordset.h"

#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

class EntryBox;
class MaintTree;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QSplitter;
class QVBoxLayout;
class clsGenericMaint;

// What the two editor windows share: the maintenance type they are opened for, the caption and area code
// that follow from it, the command states they leave behind when they close, and their tree with its
// load, its filter (Apply) and its Expand Current and Collapse Current buttons.
class MaintenanceWindow : public QWidget, public MaintenanceEditor {
    Q_OBJECT
public:
    ~MaintenanceWindow() override;

    void setMaintenanceType(qint32 type) override;
    qint16 MaintenanceType() const override;
    QString MaintenanceDescription() const override;
    QString LevelType() const override;

    // New opens a pending insert and enables Save; Save closes it; Delete asks first. The editors add
    // their own entry fields and engine work on top.
    void Insert() override;
    void Save() override;
    void Delete() override;
    // The tree, or while it is switched off (filling the account list) the pane it takes the focus back from
    // when switched on.
    void TakeFocus() override;

    // Apply: the tree is built again with the filter and the entry panel laid out afresh (a pending insert
    // is dropped); it ends like the first load, with nothing selected and New, Save and Delete off.
    // Nothing happens while a load runs.
    void cmdapply_Click();
    // The Delete key in the tree deletes the selection while the toolbar's Delete is on.
    void trvMaintenance_KeyDown(int KeyCode, Qt::KeyboardModifiers Shift);
    void CmdExpandAll_Click();
    // The root (or the lone notice node) stays as it is and everything else collapses; any other node
    // collapses with everything below it. Nothing happens without a selected node.
    void CmdCollapseAll_Click();
    // A tree load is under way; it yields to the message loop now and then.
    bool Loading() const { return m_loading; }

    // Twips of the layout numbers in pixels of this screen.
    int Twips(int twips) const;
    // Room for the tree's longer lines beside the entry panel.
    QSize sizeHint() const override;

    // The panes: the window scrolls when it is narrower or shorter than the two panes need side by side,
    // and the entry panel scrolls within its pane.
    QSplitter* Panes() const { return m_panes; }
    QWidget* TreePane() const { return m_treePane; }
    QScrollArea* EntryScroller() const { return m_entryScroller; }

    qint16 m_intMaintenanceType = 0;
    bool NewRecord = false;
    bool DelRecord = false;

    // The tree pane and the selection pane; each editor builds its own.
    MaintTree* trvMaintenance = nullptr;
    EntryBox* TxtFilterAccount = nullptr;
    QLabel* lblselection = nullptr;
    QPushButton* cmdapply = nullptr;
    QPushButton* CmdExpandAll = nullptr;
    QPushButton* CmdCollapseAll = nullptr;
    // Text of the root node, the first field of every node key; empty while the tree has no root.
    QString strcurRoot;
    std::unique_ptr<clsGenericMaint> m_clsGenMaint;

protected:
    MaintenanceWindow(MaintenanceTypes::Editor kind, QWidget* parent);
    // Sets the caption and registers the window as loaded; New, Save and Delete stay off until a node
    // is chosen.
    void LoadCommon();
    // The window's two panes side by side: the tree pane under its selection caption and the entry panel
    // that `buildEntryPanel` makes, with a visible handle between them. The panel's read-only boxes look
    // read-only.
    void BuildPanes(const QString& selectionCaption, const std::function<QWidget*()>& buildEntryPanel);
    // Tab goes through the tree pane, then through the entry panel's controls in the order given.
    void SetEntryTabOrder(const std::vector<QWidget*>& order);
    // A control that is hidden keeps its room in its layout, so the controls around it stay in place.
    static void KeepPlaceWhenHidden(QWidget* widget);
    // The parts of the entry panels, alike in both editors: the panel's column of frames (the first level
    // with the top of the tree), a frame's grid whose column `growing` takes the width the frame gains
    // with the window, a key box, its lookup button, and a description that wraps rather than lose its end.
    QVBoxLayout* EntryPanelLayout(QWidget* panel) const;
    QGridLayout* FrameGrid(QGroupBox* frame, int growing) const;
    // The rows of a frame come and go with the kind of node. A hidden row keeps its height and its caption
    // its width, so the boxes and the controls under the frame stay in place; the rest of its width is
    // given to the rows shown.
    void KeepRowsInPlace(QGridLayout* grid) const;
    EntryBox* KeyBox() const;
    QPushButton* LookupButton() const;
    static QLabel* DescriptionLabel();
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    virtual void Form_Unload();

private:
    // The left pane of both editors: the selection pane (caption, filter box and Apply) above the tree
    // pane (the tree, Expand Current and Collapse Current), with their buttons connected.
    QWidget* BuildTreePane(const QString& selectionCaption);
    // A box that takes no typing shows so, with the background of a read-only box rather than that of a
    // box to type in.
    static void ShowReadOnlyLook(QLineEdit* box);

protected:
    // The editor's own part of Apply: its entry panel reset, and its tree query run and walked.
    virtual void InitializeFields() = 0;
    // Runs the engine's tree statement into `m_rsMain` and walks it through `PopulateMainTree`; without
    // an open warehouse nothing is shown and nothing is said.
    virtual void LoadMaintenanceTree();
    Recordset GetMainRecordset();
    // The engine's tree statement; empty without an engine.
    virtual QString TreeStatement() const = 0;
    // Builds the tree from `m_rsMain` (through `PopulateTree`).
    virtual void PopulateMainTree() = 0;

    // Builds the tree from the rows of `rs` under the hourglass, with the window kept open and Apply
    // refused until it ends. Without rows the tree holds the root alone, or, when a filter is set, only
    // the node "There is no item at this range". Otherwise the progress bar runs, the root is added and
    // `walk` adds the rest, stepping the bar once per row. Nothing is selected afterwards. Failures of the
    // notice node are reported under `location`.
    void PopulateTree(Recordset& rs, const std::function<void()>& walk, const QString& location);

    // Trailing blanks make no difference to a key value: CHAR columns pad, and typed values may carry
    // them.
    static QString TrimRight(const QString& text);

    Recordset m_rsMain;

private:
    MaintenanceTypes::Editor m_kind;
    bool m_loading = false;
    QSplitter* m_panes = nullptr;
    QWidget* m_treePane = nullptr;
    QScrollArea* m_entryScroller = nullptr;
};
