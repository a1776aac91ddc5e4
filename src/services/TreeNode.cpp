#include "services/TreeNode.h"

#include "services/MaintTreeModel.h"

TreeNode* TreeNode::Parent() const {
    // The invisible top node has no parent itself; it is nobody's Parent().
    return (m_parent && m_parent->m_parent) ? m_parent : nullptr;
}

TreeNode* TreeNode::GrandParent() const {
    const TreeNode* parent = Parent();
    return parent ? parent->Parent() : nullptr;
}

const TreeNode* TreeNode::Root() const {
    const TreeNode* node = this;
    while (const TreeNode* parent = node->Parent())
        node = parent;
    return node;
}

TreeNode* TreeNode::Child(int row) const {
    if (row < 0 || row >= ChildCount())
        return nullptr;
    return m_children[static_cast<size_t>(row)].get();
}

TreeNode* TreeNode::NextSibling() const {
    return m_parent ? m_parent->Child(m_row + 1) : nullptr;
}

TreeNode* TreeNode::PreviousSibling() const {
    return m_parent ? m_parent->Child(m_row - 1) : nullptr;
}

bool TreeNode::Contains(const TreeNode* other) const {
    for (const TreeNode* node = other; node; node = node->m_parent)
        if (node == this)
            return true;
    return false;
}

MaintTree* TreeNode::Tree() const {
    return m_model ? m_model->tree() : nullptr;
}
