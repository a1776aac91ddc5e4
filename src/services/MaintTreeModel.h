#pragma once

#include "services/KeyIndex.h"
#include "services/NodeInfo.h"
#include "services/TreeNode.h"

#include <QAbstractItemModel>
#include <memory>
#include <vector>

class MaintTree;

// The nodes of one maintenance tree as an item model: one column, the node text with its image. Nodes
// are found by key through a hash, never by a walk, and the node collection keeps the order in which
// nodes were added. Only MaintTree changes the nodes; it adds the selection, the expanded states and the
// transaction journal on top.
//
// While batching, nodes appended one after another under the same parent are announced to the views
// together, when a node goes under another parent or at announce(); until then the nodes are in the
// tree (look-up, navigation, collection) but not yet rows of the model. A large load sends one insertion
// per run of siblings instead of one per node.
class MaintTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    enum Role { KeyRole = Qt::UserRole + 1, TagRole, KindRole };

    // A subtree taken out of the model, with the place it came from, so it can be put back.
    struct Detached {
        TreeNode* parent = nullptr;
        int row = 0;
        std::unique_ptr<TreeNode> node;
    };

    explicit MaintTreeModel(MaintTree* tree);
    ~MaintTreeModel() override;

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    MaintTree* tree() const { return m_tree; }
    TreeNode* nodeFromIndex(const QModelIndex& index) const;
    QModelIndex indexFromNode(const TreeNode* node) const;
    TreeNode* find(QStringView key) const;
    // Every node, in the order it was added.
    const std::vector<TreeNode*>& collection() const { return m_collection; }
    // Position of the node in the collection, -1 when it is not in this model.
    int collectionIndex(const TreeNode* node) const;
    int topLevelCount() const { return m_top->ChildCount(); }
    TreeNode* topLevelNode(int row) const { return m_top->Child(row); }

    // Adds a node as the last child of `parent` (nullptr: at the top level). Answers nullptr, adding
    // nothing, when a node already holds the key; an empty key leaves the node out of the key index.
    TreeNode* append(TreeNode* parent, QString key, QString text, const QString& tag, const QString& image,
                     NodeInfo info, bool expanded);
    // Takes the node and its subtree out of the model; the nodes stay alive in the answer.
    Detached detach(TreeNode* node);
    // Puts a detached subtree back where it came from.
    void reattach(Detached detached);
    void clear();
    void setText(TreeNode* node, const QString& text);
    void setBatching(bool batching);
    // Makes room for that many more nodes at once rather than growing the key index step by step.
    void reserve(int moreNodes);
    // Announces the nodes appended and not yet announced.
    void announce();
    void setExpandedFlag(TreeNode* node, bool expanded) { node->m_expanded = expanded; }

private:
    void adopt(TreeNode* node, std::vector<TreeNode*>& nodes);
    // Marks the subtree as out of the model; `unindex` also takes its keys out of the index.
    void disown(TreeNode* node, bool unindex);
    void renumberFrom(TreeNode* parent, int row);
    const TreeNode* parentOf(const QModelIndex& index) const;

    MaintTree* m_tree;
    std::unique_ptr<TreeNode> m_top;
    KeyIndex m_index;
    // The node last found by key. Loads add the children of one node one after another, each looking
    // that node up by its key, so this answers most look-ups without going to the index.
    mutable TreeNode* m_lastFound = nullptr;
    std::vector<TreeNode*> m_collection;
    quint64 m_nextSerial = 1;
    bool m_batching = false;
    // The parent whose last children are appended but not announced yet.
    TreeNode* m_unannounced = nullptr;
};
