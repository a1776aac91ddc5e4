#include "services/MaintTreeModel.h"

#include "services/MaintTree.h"
#include "services/TreeImages.h"

#include <algorithm>

MaintTreeModel::MaintTreeModel(MaintTree* tree)
    : QAbstractItemModel(tree), m_tree(tree), m_top(new TreeNode) {
    m_top->m_model = this;
}

MaintTreeModel::~MaintTreeModel() = default;

const TreeNode* MaintTreeModel::parentOf(const QModelIndex& index) const {
    if (!index.isValid())
        return m_top.get();
    return index.column() == 0 ? nodeFromIndex(index) : nullptr;
}

QModelIndex MaintTreeModel::index(int row, int column, const QModelIndex& parent) const {
    const TreeNode* parentNode = parentOf(parent);
    if (column != 0 || !parentNode || row < 0 || row >= parentNode->m_announced)
        return {};
    return createIndex(row, 0, parentNode->Child(row));
}

QModelIndex MaintTreeModel::parent(const QModelIndex& child) const {
    const TreeNode* node = nodeFromIndex(child);
    TreeNode* parentNode = node ? node->Parent() : nullptr;
    return parentNode ? createIndex(parentNode->m_row, 0, parentNode) : QModelIndex();
}

int MaintTreeModel::rowCount(const QModelIndex& parent) const {
    const TreeNode* parentNode = parentOf(parent);
    return parentNode ? parentNode->m_announced : 0;
}

int MaintTreeModel::columnCount(const QModelIndex& /*parent*/) const {
    return 1;
}

QVariant MaintTreeModel::data(const QModelIndex& index, int role) const {
    const TreeNode* node = nodeFromIndex(index);
    if (!node)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return node->m_text;
    case Qt::DecorationRole:
        return TreeImages::Icon(node->m_image);
    case KeyRole:
        return node->m_key;
    case TagRole:
        return node->m_tag;
    case KindRole:
        return static_cast<int>(node->m_info.kind);
    default:
        return {};
    }
}

Qt::ItemFlags MaintTreeModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    // Dragging is the editors' choice: the view only starts a drag when they switch it on.
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
}

TreeNode* MaintTreeModel::nodeFromIndex(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != this)
        return nullptr;
    return static_cast<TreeNode*>(index.internalPointer());
}

QModelIndex MaintTreeModel::indexFromNode(const TreeNode* node) const {
    if (!node || node == m_top.get() || node->m_model != this)
        return {};
    return createIndex(node->m_row, 0, const_cast<TreeNode*>(node));
}

TreeNode* MaintTreeModel::find(QStringView key) const {
    if (key.isEmpty())
        return nullptr;
    if (m_lastFound && QStringView(m_lastFound->m_key) == key)
        return m_lastFound;
    TreeNode* node = m_index.Find(key);
    if (node)
        m_lastFound = node;
    return node;
}

int MaintTreeModel::collectionIndex(const TreeNode* node) const {
    if (!node || node->m_model != this || node == m_top.get())
        return -1;
    // The collection is sorted by serial: nodes are appended in creation order and put back in it.
    const auto it = std::lower_bound(m_collection.begin(), m_collection.end(), node->m_serial,
                                     [](const TreeNode* n, quint64 serial) { return n->m_serial < serial; });
    return (it != m_collection.end() && *it == node) ? static_cast<int>(it - m_collection.begin()) : -1;
}

TreeNode* MaintTreeModel::append(TreeNode* parent, QString key, QString text, const QString& tag,
                                 const QString& image, NodeInfo info, bool expanded) {
    TreeNode* parentNode = parent ? parent : m_top.get();
    size_t hash = 0;
    if (!key.isEmpty()) {
        hash = KeyIndex::Hash(key);
        // In a large tree the index slot is seldom in the cache; it is fetched while the node is made.
        m_index.Prefetch(hash);
    }
    std::unique_ptr<TreeNode> owned(new TreeNode);
    TreeNode* node = owned.get();
    node->m_key = std::move(key);
    node->m_text = std::move(text);
    node->m_tag = tag;
    node->m_image = image;
    node->m_info = std::move(info);
    node->m_expanded = expanded;
    node->m_model = this;
    node->m_parent = parentNode;
    if (!node->m_key.isEmpty()) {
        size_t place = 0;
        if (m_index.FindPlace(node->m_key, hash, place))
            return nullptr;
        m_index.InsertAt(place, node, hash);
    }
    node->m_serial = m_nextSerial++;
    const int row = parentNode->ChildCount();
    node->m_row = row;

    if (m_batching) {
        if (m_unannounced != parentNode)
            announce();
        parentNode->m_children.push_back(std::move(owned));
        m_collection.push_back(node);
        m_unannounced = parentNode;
        return node;
    }
    announce();
    beginInsertRows(indexFromNode(parentNode), row, row);
    parentNode->m_children.push_back(std::move(owned));
    parentNode->m_announced = parentNode->ChildCount();
    m_collection.push_back(node);
    endInsertRows();
    return node;
}

void MaintTreeModel::reserve(int moreNodes) {
    if (moreNodes <= 0)
        return;
    m_index.Reserve(m_index.Size() + static_cast<size_t>(moreNodes));
    m_collection.reserve(m_collection.size() + static_cast<size_t>(moreNodes));
}

void MaintTreeModel::setBatching(bool batching) {
    if (!batching)
        announce();
    m_batching = batching;
}

void MaintTreeModel::announce() {
    TreeNode* parentNode = m_unannounced;
    m_unannounced = nullptr;
    if (!parentNode || parentNode->m_announced >= parentNode->ChildCount())
        return;
    beginInsertRows(indexFromNode(parentNode), parentNode->m_announced, parentNode->ChildCount() - 1);
    parentNode->m_announced = parentNode->ChildCount();
    endInsertRows();
}

MaintTreeModel::Detached MaintTreeModel::detach(TreeNode* node) {
    Detached out;
    if (!node || node->m_model != this || node == m_top.get())
        return out;
    announce();
    m_lastFound = nullptr;
    TreeNode* parentNode = node->m_parent;
    const int row = node->m_row;
    beginRemoveRows(indexFromNode(parentNode), row, row);
    out.parent = parentNode;
    out.row = row;
    out.node = std::move(parentNode->m_children[static_cast<size_t>(row)]);
    parentNode->m_children.erase(parentNode->m_children.begin() + row);
    parentNode->m_announced = parentNode->ChildCount();
    renumberFrom(parentNode, row);
    disown(node, true);
    std::erase_if(m_collection, [](const TreeNode* n) { return n->m_model == nullptr; });
    node->m_parent = nullptr;
    endRemoveRows();
    return out;
}

void MaintTreeModel::reattach(Detached detached) {
    TreeNode* parentNode = detached.parent;
    // A parent that has left the model itself takes nothing back.
    if (!detached.node || !parentNode || parentNode->m_model != this)
        return;
    announce();
    const int row = std::clamp(detached.row, 0, parentNode->ChildCount());
    TreeNode* node = detached.node.get();
    beginInsertRows(indexFromNode(parentNode), row, row);
    node->m_parent = parentNode;
    parentNode->m_children.insert(parentNode->m_children.begin() + row, std::move(detached.node));
    parentNode->m_announced = parentNode->ChildCount();
    renumberFrom(parentNode, row);
    std::vector<TreeNode*> nodes;
    adopt(node, nodes);
    std::sort(nodes.begin(), nodes.end(),
              [](const TreeNode* a, const TreeNode* b) { return a->m_serial < b->m_serial; });
    const auto middle = m_collection.insert(m_collection.end(), nodes.begin(), nodes.end());
    std::inplace_merge(m_collection.begin(), middle, m_collection.end(),
                       [](const TreeNode* a, const TreeNode* b) { return a->m_serial < b->m_serial; });
    endInsertRows();
}

void MaintTreeModel::clear() {
    beginResetModel();
    for (auto& child : m_top->m_children)
        disown(child.get(), false);
    m_top->m_children.clear();
    m_top->m_announced = 0;
    m_unannounced = nullptr;
    m_lastFound = nullptr;
    m_index.Clear();
    m_collection.clear();
    endResetModel();
}

void MaintTreeModel::setText(TreeNode* node, const QString& text) {
    if (!node || node->m_model != this || node->m_text == text)
        return;
    announce();
    node->m_text = text;
    const QModelIndex index = indexFromNode(node);
    emit dataChanged(index, index, {Qt::DisplayRole});
}

void MaintTreeModel::adopt(TreeNode* node, std::vector<TreeNode*>& nodes) {
    node->m_model = this;
    nodes.push_back(node);
    // A key taken in the meantime stays with its holder; the returning node is then found only by walking.
    if (!node->m_key.isEmpty() && !m_index.Find(node->m_key))
        m_index.Insert(node, KeyIndex::Hash(node->m_key));
    for (auto& child : node->m_children)
        adopt(child.get(), nodes);
}

void MaintTreeModel::disown(TreeNode* node, bool unindex) {
    node->m_model = nullptr;
    if (unindex && !node->m_key.isEmpty())
        m_index.Erase(node);
    for (auto& child : node->m_children)
        disown(child.get(), unindex);
}

void MaintTreeModel::renumberFrom(TreeNode* parent, int row) {
    for (int i = row; i < parent->ChildCount(); ++i)
        parent->m_children[static_cast<size_t>(i)]->m_row = i;
}
