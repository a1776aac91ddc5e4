#pragma once

#include "services/NodeInfo.h"

#include <QString>
#include <memory>
#include <vector>

class MaintTree;
class MaintTreeModel;

// One node of a maintenance tree. Nodes are created, moved and destroyed only by their tree (MaintTree),
// so every change is seen by the view and by the transaction journal; this class offers reading and
// navigation only.
class TreeNode {
public:
    TreeNode(const TreeNode&) = delete;
    TreeNode& operator=(const TreeNode&) = delete;

    // Empty for a keyless node, which no key look-up ever finds.
    const QString& Key() const { return m_key; }
    const QString& Text() const { return m_text; }
    // The node type as text, "0" to "4"; empty for a node that has none.
    const QString& Tag() const { return m_tag; }
    // The image key; the same image serves as expanded and as selected image.
    const QString& Image() const { return m_image; }
    NodeKind Kind() const { return m_info.kind; }
    const NodeInfo& Info() const { return m_info; }
    bool Expanded() const { return m_expanded; }

    // Nullptr for a top-level node.
    TreeNode* Parent() const;
    TreeNode* GrandParent() const;
    // The top-level node this node hangs under (itself when it is one).
    const TreeNode* Root() const;
    QString RootText() const { return Root()->Text(); }
    int ChildCount() const { return static_cast<int>(m_children.size()); }
    TreeNode* Child(int row) const;
    TreeNode* FirstChild() const { return Child(0); }
    TreeNode* NextSibling() const;
    TreeNode* PreviousSibling() const;
    // Position among its siblings.
    int Row() const { return m_row; }
    // Whether `other` is this node or lies below it.
    bool Contains(const TreeNode* other) const;
    // The tree holding the node; nullptr once the node was removed.
    MaintTree* Tree() const;

private:
    friend class MaintTreeModel;
    TreeNode() = default;

    QString m_key;
    QString m_text;
    QString m_tag;
    QString m_image;
    NodeInfo m_info;
    bool m_expanded = false;
    // Kept while the node is in a tree, cleared when it leaves one.
    MaintTreeModel* m_model = nullptr;
    // The model's invisible top node for a top-level node.
    TreeNode* m_parent = nullptr;
    int m_row = 0;
    // How many of the children the model's views have been told of (see MaintTreeModel::SetBatching).
    int m_announced = 0;
    // Order of creation: the tree's node collection is sorted by it.
    quint64 m_serial = 0;
    std::vector<std::unique_ptr<TreeNode>> m_children;
};
