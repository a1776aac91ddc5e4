#include "services/MaintTree.h"

#include "frame/clsDBConnection.h"
#include "frame/modMain.h"
#include "platform/CurrentError.h"
#include "platform/DbConnection.h"
#include "services/TreeNode.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QStyleOptionViewItem>
#include <utility>

namespace {

// Holds a counter up for a scope.
class CountUp {
public:
    explicit CountUp(int& counter) : m_counter(counter) { ++m_counter; }
    ~CountUp() { --m_counter; }
    CountUp(const CountUp&) = delete;
    CountUp& operator=(const CountUp&) = delete;

private:
    int& m_counter;
};

void raiseNotFound() {
    Err().Raise(MaintTree::ElementNotFound, QStringLiteral("Element not found"), QStringLiteral("MaintTree"));
}

} // namespace

MaintTree::MaintTree(QWidget* parent) : QTreeView(parent), m_model(new MaintTreeModel(this)) {
    setModel(m_model);
    setHeaderHidden(true);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setIconSize(QSize(16, 16));
    // Whole texts, as the platform's tree showed them: the one column is as wide as its widest shown
    // text, and a text wider than the pane scrolls sideways instead of being cut with "...".
    setTextElideMode(Qt::ElideNone);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        if (TreeNode* node = m_model->nodeFromIndex(index))
            emit NodeClick(node);
    });
    connect(this, &QTreeView::expanded, this,
            [this](const QModelIndex& index) { userExpanded(index, true); });
    connect(this, &QTreeView::collapsed, this,
            [this](const QModelIndex& index) { userExpanded(index, false); });
}

MaintTree::~MaintTree() {
    // Nodes kept for an undo that can no longer come die with the journal.
    m_journal.clear();
}

TreeNode* MaintTree::Node(QStringView key) const {
    return m_model->find(key);
}

TreeNode* MaintTree::HitTest(const QPoint& point) const {
    // Over the node's image or text only: the indentation and the expand button belong to no node.
    const QModelIndex index = indexAt(point);
    if (!index.isValid() || !visualRect(index).contains(point))
        return nullptr;
    return m_model->nodeFromIndex(index);
}

TreeNode* MaintTree::Add(TreeNode* parent, QString key, QString text, const QString& tag,
                         const QString& image, NodeInfo info, bool expanded) {
    if (parent && parent->Tree() != this) {
        raiseNotFound();
        return nullptr;
    }
    TreeNode* node =
        m_model->append(parent, std::move(key), std::move(text), tag, image, std::move(info), expanded);
    if (!node) {
        Err().Raise(KeyNotUnique, QStringLiteral("Key is not unique in collection"),
                    QStringLiteral("MaintTree"));
        return nullptr;
    }
    if (recording()) {
        Change change;
        change.type = Change::Added;
        change.node = node;
        record(std::move(change));
    }
    if (expanded)
        showExpanded(node, true);
    return node;
}

bool MaintTree::Remove(QStringView key) {
    TreeNode* node = m_model->find(key);
    if (!node) {
        raiseNotFound();
        return false;
    }
    return Remove(node);
}

bool MaintTree::Remove(TreeNode* node) {
    if (!node || node->Tree() != this) {
        raiseNotFound();
        return false;
    }
    CountUp quiet(m_quiet);
    TreeNode* selected = SelectedItem();
    if (selected && node->Contains(selected)) {
        TreeNode* next = node->NextSibling();
        if (!next)
            next = node->PreviousSibling();
        if (!next)
            next = node->Parent();
        // Moved before the removal, so the view has no selection of its own to move.
        SetSelectedItem(next);
    }
    MaintTreeModel::Detached detached = m_model->detach(node);
    if (recording()) {
        Change change;
        change.type = Change::Removed;
        change.removed = std::move(detached);
        record(std::move(change));
    }
    return true;
}

void MaintTree::Clear() {
    CountUp quiet(m_quiet);
    if (!recording()) {
        m_model->clear();
        return;
    }
    // One removal per top-level node, last first, so an undo puts each back at its own row.
    for (int row = m_model->topLevelCount() - 1; row >= 0; --row)
        Remove(m_model->topLevelNode(row));
}

void MaintTree::SetText(TreeNode* node, const QString& text) {
    if (!node || node->Tree() != this || node->Text() == text)
        return;
    if (recording()) {
        Change change;
        change.type = Change::Text;
        change.node = node;
        change.text = node->Text();
        record(std::move(change));
    }
    m_model->setText(node, text);
}

void MaintTree::SetExpanded(TreeNode* node, bool expanded) {
    if (!node || node->Tree() != this)
        return;
    if (node->Expanded() != expanded) {
        if (recording()) {
            Change change;
            change.type = Change::Expanded;
            change.node = node;
            change.expanded = node->Expanded();
            record(std::move(change));
        }
        m_model->setExpandedFlag(node, expanded);
    }
    showExpanded(node, expanded);
}

void MaintTree::EnsureVisible(TreeNode* node) {
    if (!node || node->Tree() != this)
        return;
    for (TreeNode* parent = node->Parent(); parent; parent = parent->Parent())
        SetExpanded(parent, true);
    m_model->announce();
    scrollTo(m_model->indexFromNode(node));
}

TreeNode* MaintTree::SelectedItem() const {
    const QModelIndex current = currentIndex();
    if (!current.isValid() || !selectionModel()->isSelected(current))
        return nullptr;
    return m_model->nodeFromIndex(current);
}

void MaintTree::SetSelectedItem(TreeNode* node) {
    if (node && node->Tree() != this)
        return;
    TreeNode* before = SelectedItem();
    if (before == node)
        return;
    if (recording()) {
        Change change;
        change.type = Change::Selected;
        change.node = before;
        record(std::move(change));
    }
    CountUp quiet(m_quiet);
    m_model->announce();
    // Selecting is not showing: the view would otherwise expand the ancestors to scroll to the node.
    const bool scrolls = hasAutoScroll();
    setAutoScroll(false);
    if (node) {
        selectionModel()->setCurrentIndex(m_model->indexFromNode(node), QItemSelectionModel::ClearAndSelect);
    } else {
        selectionModel()->clearSelection();
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    }
    setAutoScroll(scrolls);
}

void MaintTree::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTreeView::currentChanged(current, previous);
    if (m_quiet > 0 || m_mousePress > 0)
        return;
    // Keyboard moves select what they make current; focus alone makes a node current without selecting it.
    TreeNode* node = m_model->nodeFromIndex(current);
    if (node && selectionModel()->isSelected(current))
        emit NodeClick(node);
}

void MaintTree::rowsInserted(const QModelIndex& parent, int start, int end) {
    // A row added under a collapsed node that had children already changes nothing on screen. The view
    // would find that out through its own record of expanded nodes, at a cost that dominates a large
    // load; the node's expanded state (kept equal to the view's) says it at once.
    const TreeNode* node = m_model->nodeFromIndex(parent);
    if (node && !node->Expanded() && m_model->rowCount(parent) > end - start + 1) {
        QAbstractItemView::rowsInserted(parent, start, end);
        return;
    }
    QTreeView::rowsInserted(parent, start, end);
}

void MaintTree::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        CountUp pressing(m_mousePress);
        QTreeView::mousePressEvent(event);
    } else {
        setFocus(Qt::MouseFocusReason);
        event->accept();
    }
    emit MouseDown(event->button(), event->modifiers(), event->position().toPoint());
}

void MaintTree::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (m_dragging && event->button() == Qt::LeftButton) {
        // The press ended as a drag, not as a click on the node it began on.
        event->accept();
        setState(NoState);
        const bool over = viewport()->rect().contains(point);
        endDrag(over ? &point : nullptr);
    } else if (event->button() == Qt::LeftButton) {
        QTreeView::mouseReleaseEvent(event);
    } else {
        event->accept();
    }
    emit MouseUp(event->button(), event->modifiers(), point);
}

void MaintTree::mouseMoveEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    emit MouseMove(event->buttons(), event->modifiers(), point);
    if (!m_dragging) {
        QTreeView::mouseMoveEvent(event);
        return;
    }
    event->accept();
    m_dragPoint = point;
    const bool inside = viewport()->rect().contains(point);
    if (inside)
        emit DragOver(point, m_dragInside ? DragOverTree : DragEnter);
    else if (m_dragInside)
        emit DragOver(point, DragLeave);
    m_dragInside = inside;
}

void MaintTree::keyPressEvent(QKeyEvent* event) {
    if (m_dragging && event->key() == Qt::Key_Escape) {
        event->accept();
        CancelDrag();
        return;
    }
    emit KeyDown(event->key(), event->modifiers());
    QTreeView::keyPressEvent(event);
    // The view passes Enter on to its window, where a default button would take it.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        event->accept();
}

void MaintTree::focusOutEvent(QFocusEvent* event) {
    // The button may come up where the tree never hears of it.
    CancelDrag();
    QTreeView::focusOutEvent(event);
}

bool MaintTree::focusNextPrevChild(bool next) {
    // Asked while being switched off with the focus: no other control takes it meanwhile (the next one,
    // Expand Current, would take the user's next Enter or Delete); the tree takes it back when switched on.
    // A window activated meanwhile gives it to the tree's pane instead of its first control (TakeFocus).
    if (!isEnabled()) {
        m_focusBack = true;
        return false;
    }
    return QTreeView::focusNextPrevChild(next);
}

bool MaintTree::TakeFocus(Qt::FocusReason reason) {
    if (isEnabled()) {
        setFocus(reason);
        return true;
    }
    m_focusBack = true;
    QWidget* pane = parentWidget();
    if (!pane || !pane->isEnabled())
        return false;
    pane->setFocus(reason);
    return true;
}

void MaintTree::changeEvent(QEvent* event) {
    QTreeView::changeEvent(event);
    if (event->type() != QEvent::EnabledChange || !isEnabled() || !std::exchange(m_focusBack, false))
        return;
    // Unless something else took the focus meanwhile.
    QWidget* focus = window()->focusWidget();
    if (!focus || focus == parentWidget())
        setFocus(Qt::OtherFocusReason);
}

void MaintTree::BeginDrag() {
    if (m_dragging)
        return;
    // The view's own selection by dragging ends here: from now on the pointer carries the node.
    stopAutoScroll();
    setState(NoState);
    m_dragging = true;
    m_dragInside = false;
    viewport()->setCursor(m_dragIcon);
}

void MaintTree::SetDragIcon(const QCursor& icon) {
    m_dragIcon = icon;
    if (m_dragging)
        viewport()->setCursor(icon);
}

void MaintTree::CancelDrag() {
    endDrag(nullptr);
}

void MaintTree::endDrag(const QPoint* dropPoint) {
    if (!m_dragging)
        return;
    m_dragging = false;
    viewport()->unsetCursor();
    if (dropPoint)
        emit DragDrop(*dropPoint);
    else if (m_dragInside)
        emit DragOver(m_dragPoint, DragLeave);
    m_dragInside = false;
    emit DragEnd();
}

TreeNode* MaintTree::DropHighlight() const {
    return m_dropHighlight.isValid() ? m_model->nodeFromIndex(m_dropHighlight) : nullptr;
}

void MaintTree::SetDropHighlight(TreeNode* node) {
    if (node && node->Tree() != this)
        node = nullptr;
    m_model->announce();
    const QModelIndex index = node ? m_model->indexFromNode(node) : QModelIndex();
    if (QModelIndex(m_dropHighlight) == index)
        return;
    m_dropHighlight = QPersistentModelIndex(index);
    viewport()->update();
}

void MaintTree::drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const {
    if (!m_dropHighlight.isValid() || index.siblingAtColumn(0) != QModelIndex(m_dropHighlight)) {
        QTreeView::drawRow(painter, option, index);
        return;
    }
    QStyleOptionViewItem target(option);
    target.state |= QStyle::State_Selected;
    QTreeView::drawRow(painter, target, index);
}

DbConnection* MaintTree::followedConnection() {
    if (gDBConnection.IsNothing())
        return nullptr;
    return &gDBConnection->adoConnection();
}

bool MaintTree::recording() {
    if (m_undoing > 0)
        return false;
    DbConnection* connection = followedConnection();
    if (!connection || !connection->InTransaction()) {
        // A transaction whose end never came (its connection went away) leaves its changes standing.
        if (m_journalRegistered)
            transactionEnded(true);
        return false;
    }
    if (!m_journalRegistered) {
        m_journalRegistered = true;
        QPointer<MaintTree> self(this);
        connection->WhenTransactionEnds([self](bool committed) {
            if (self)
                self->transactionEnded(committed);
        });
    }
    return true;
}

void MaintTree::record(Change change) {
    m_journal.push_back(std::move(change));
}

void MaintTree::transactionEnded(bool committed) {
    m_journalRegistered = false;
    std::vector<Change> journal;
    journal.swap(m_journal);
    if (committed)
        return;
    CountUp undoing(m_undoing);
    CountUp quiet(m_quiet);
    for (auto it = journal.rbegin(); it != journal.rend(); ++it)
        undo(*it);
}

void MaintTree::undo(Change& change) {
    switch (change.type) {
    case Change::Added:
        if (change.node && change.node->Tree() == this)
            m_model->detach(change.node);
        break;
    case Change::Removed: {
        TreeNode* node = change.removed.node.get();
        m_model->reattach(std::move(change.removed));
        if (node && node->Tree() == this)
            showExpandedSubtree(node);
        break;
    }
    case Change::Selected:
        SetSelectedItem(change.node);
        break;
    case Change::Expanded:
        SetExpanded(change.node, change.expanded);
        break;
    case Change::Text:
        SetText(change.node, change.text);
        break;
    }
}

void MaintTree::showExpanded(TreeNode* node, bool expanded) {
    // Expanding waits for the end of a build; collapsing never needs to.
    if (expanded && m_building > 0)
        return;
    m_model->announce();
    const QModelIndex index = m_model->indexFromNode(node);
    if (!index.isValid() || isExpanded(index) == expanded)
        return;
    CountUp quiet(m_quiet);
    // Only recorded now, laid out once when the view next needs it, so expanding a large subtree costs
    // one layout rather than one per node.
    scheduleDelayedItemsLayout();
    setExpanded(index, expanded);
}

void MaintTree::showExpandedSubtree(TreeNode* node) {
    if (node->Expanded())
        showExpanded(node, true);
    for (int row = 0; row < node->ChildCount(); ++row)
        showExpandedSubtree(node->Child(row));
}

void MaintTree::BeginBuild(int expectedNodes) {
    m_model->reserve(expectedNodes);
    if (m_building++ == 0)
        m_model->setBatching(true);
}

void MaintTree::EndBuild() {
    if (m_building <= 0 || --m_building > 0)
        return;
    m_model->setBatching(false);
    for (int row = 0; row < m_model->topLevelCount(); ++row)
        showExpandedSubtree(m_model->topLevelNode(row));
}

void MaintTree::userExpanded(const QModelIndex& index, bool expanded) {
    if (m_quiet > 0)
        return;
    TreeNode* node = m_model->nodeFromIndex(index);
    if (!node || node->Expanded() == expanded)
        return;
    if (recording()) {
        Change change;
        change.type = Change::Expanded;
        change.node = node;
        change.expanded = node->Expanded();
        record(std::move(change));
    }
    m_model->setExpandedFlag(node, expanded);
    TreeNode* selected = SelectedItem();
    if (expanded || !selected || selected == node || !node->Contains(selected))
        return;
    // The selection hidden by the collapse moves to the collapsed node, and the editor with it.
    SetSelectedItem(node);
    emit NodeClick(node);
    // An editor that keeps its selection (a pending insert the user goes on with) keeps it in sight.
    if (TreeNode* kept = SelectedItem(); kept && kept != node && node->Contains(kept))
        EnsureVisible(kept);
}
