#pragma once

#include "services/MaintTreeModel.h"
#include "services/NodeInfo.h"

#include <QCursor>
#include <QPersistentModelIndex>
#include <QTreeView>
#include <vector>

class DbConnection;
class TreeNode;

// The tree control of both maintenance editors: a view over its own MaintTreeModel with the operations
// the editors and engines use on nodes (look-up by key, add, remove with its subtree, selection,
// expanded states, hit test, the node collection).
//
// Selection: selecting a node from code (SetSelectedItem, a removal, an undo) never raises NodeClick;
// only the user does, by a left click on a node or by moving the selection with the keyboard. A right or
// middle press selects nothing: the editors decide in their MouseDown handling whether it should.
//
// Expanded states: each node keeps its own and the view follows it; change them through SetExpanded (the
// user's own expanding and collapsing is followed too), not through the view's expandAll and kin. When the
// user collapses a node above the selected one, the selection moves to the collapsed node as by a click
// (NodeClick), so nothing hidden stays selected.
//
// Keyboard: switched off while it has the focus (as during a fill of the editor's account list), the tree
// gives the focus to no other control and takes it back when it is switched on again; meanwhile the focus
// waits in the pane that holds the tree, so its window keeps it within the tree's editor even when the
// window is activated meanwhile. Enter stays in the tree and never reaches a button.
//
// Dragging: the editors drag nodes within the tree only. A drag begun from the mouse handling (BeginDrag)
// follows the pointer while the left button stays down: DragOver as it moves over the tree and once as it
// leaves it, DragDrop when the button is released over the tree, and DragEnd whenever the drag ends
// (the drop, a release elsewhere, Escape, the tree losing the focus). Points are viewport coordinates.
//
// Transactions: while the shared warehouse connection is inside a transaction, every node change is
// journaled. The changes stand when the transaction commits and are undone, last first, when it rolls
// back, so a failed action leaves the tree as it found it.
class MaintTree : public QTreeView {
    Q_OBJECT
public:
    // The tree's failures, raised on the current error for the caller's handler.
    static constexpr qint32 ElementNotFound = 35601;
    static constexpr qint32 KeyNotUnique = 35602;

    explicit MaintTree(QWidget* parent = nullptr);
    ~MaintTree() override;

    MaintTreeModel* Model() const { return m_model; }

    // Nullptr when no node holds the key.
    TreeNode* Node(QStringView key) const;
    int Count() const { return static_cast<int>(m_model->collection().size()); }
    // Every node in the order it was added (the node collection); removed nodes leave it, nodes put back
    // by an undo return to their old place.
    const std::vector<TreeNode*>& Nodes() const { return m_model->collection(); }
    // Position in Nodes(), -1 for a node that is not in this tree.
    int IndexOf(const TreeNode* node) const { return m_model->collectionIndex(node); }
    // The node whose image or text lies at a point of the viewport, or nullptr (its indentation and expand
    // button belong to no node).
    TreeNode* HitTest(const QPoint& point) const;

    // Adds a node as the last child of `parent` (nullptr: at the top level). Answers nullptr with the
    // error raised when the key is already held or the parent is not in this tree. An empty key makes a
    // node that no look-up finds.
    TreeNode* Add(TreeNode* parent, QString key, QString text, const QString& tag, const QString& image,
                  NodeInfo info, bool expanded);
    // Removes the node and everything below it. When the selection goes with it, the selection moves to
    // the removed node's next sibling, else its previous sibling, else its parent (none for a lone
    // top-level node). Answers false with the error raised when no such node is in this tree.
    bool Remove(QStringView key);
    bool Remove(TreeNode* node);
    // Removes every node.
    void Clear();

    void SetText(TreeNode* node, const QString& text);
    void SetExpanded(TreeNode* node, bool expanded);
    // Expands the node's ancestors and scrolls it into view.
    void EnsureVisible(TreeNode* node);

    // The selected node, or nullptr.
    TreeNode* SelectedItem() const;
    // Selects the node (nullptr: none) without raising NodeClick and without scrolling.
    void SetSelectedItem(TreeNode* node);

    // A build: between BeginBuild and the matching EndBuild the view shows every new node collapsed, so a
    // large load costs no layout and no repaint of its rows at each yield; the expanded states given
    // meanwhile are kept by the nodes and shown when the build ends. New siblings reach the view in runs
    // rather than one by one (MaintTreeModel batching). Builds nest.
    // `expectedNodes`, when known (the rows of the load), lets the tree make room for them at once.
    void BeginBuild(int expectedNodes = 0);
    void EndBuild();
    bool Building() const { return m_building > 0; }
    // A build for the life of the scope, so every way out of a load ends it.
    class BuildScope {
    public:
        explicit BuildScope(MaintTree& tree, int expectedNodes = 0) : m_tree(tree) {
            m_tree.BeginBuild(expectedNodes);
        }
        ~BuildScope() { m_tree.EndBuild(); }
        BuildScope(const BuildScope&) = delete;
        BuildScope& operator=(const BuildScope&) = delete;

    private:
        MaintTree& m_tree;
    };

    // The state of a DragOver: the pointer came over the tree, left it, or moved over it.
    enum DragState { DragEnter = 0, DragLeave = 1, DragOverTree = 2 };
    // The drag of a node; see the class comment. The drag icon is the pointer shown while it lasts.
    void BeginDrag();
    bool Dragging() const { return m_dragging; }
    void SetDragIcon(const QCursor& icon);
    QCursor DragIcon() const { return m_dragIcon; }
    // Ends a running drag without a drop.
    void CancelDrag();
    // The node shown as the drop target, or nullptr.
    TreeNode* DropHighlight() const;
    void SetDropHighlight(TreeNode* node);

    // Gives the tree the keyboard, or while it is switched off its pane, from which the tree takes it back
    // when switched on. False when neither can take it (the pane is switched off too).
    bool TakeFocus(Qt::FocusReason reason);

    // Whether node changes are being journaled for a running transaction.
    bool Journaling() const { return m_journalRegistered; }

signals:
    // The user clicked a node or moved the selection to it with the keyboard.
    void NodeClick(TreeNode* node);
    // Raw mouse and key events, with positions in viewport coordinates.
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint& point);
    void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint& point);
    void MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, const QPoint& point);
    void KeyDown(int key, Qt::KeyboardModifiers modifiers);
    void DragOver(const QPoint& point, int state);
    void DragDrop(const QPoint& point);
    void DragEnd();

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void rowsInserted(const QModelIndex& parent, int start, int end) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void changeEvent(QEvent* event) override;
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                 const QModelIndex& index) const override;

private:
    struct Change {
        enum Type { Added, Removed, Selected, Expanded, Text };
        Type type = Added;
        // The node added, expanded or renamed; for Selected, the node selected before.
        TreeNode* node = nullptr;
        MaintTreeModel::Detached removed;
        bool expanded = false;
        QString text;
    };

    bool recording();
    void record(Change change);
    void transactionEnded(bool committed);
    void undo(Change& change);
    void showExpanded(TreeNode* node, bool expanded);
    void showExpandedSubtree(TreeNode* node);
    void userExpanded(const QModelIndex& index, bool expanded);
    static DbConnection* followedConnection();
    void endDrag(const QPoint* dropPoint);

    MaintTreeModel* m_model;
    std::vector<Change> m_journal;
    bool m_journalRegistered = false;
    // Above zero while the tree itself changes the selection or the view: no NodeClick, no journal of the
    // view's own echoes.
    int m_quiet = 0;
    int m_undoing = 0;
    int m_mousePress = 0;
    int m_building = 0;
    bool m_dragging = false;
    // The tree lost the focus by being switched off.
    bool m_focusBack = false;
    // The pointer was over the tree at the last move of the drag.
    bool m_dragInside = false;
    QPoint m_dragPoint;
    QCursor m_dragIcon;
    QPersistentModelIndex m_dropHighlight;
};
