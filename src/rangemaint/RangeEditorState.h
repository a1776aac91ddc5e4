#pragma once

#include "rangemaint/RangeEditorAccess.h"

#include <QString>
#include <memory>

class QTreeWidget;

// An editor without a window: plain values, a tree that is never shown and an account list that is never
// shown. An engine owned by it runs its Save, Delete and drag copy from plain code, on whatever warehouse
// the shared connection holds. The node selection reads the node's own data, as the editor's does.
class RangeEditorState : public RangeEditorAccess {
public:
    // `type` is the maintenance type 1-5; the area code follows from it.
    explicit RangeEditorState(qint16 type);
    ~RangeEditorState() override;
    RangeEditorState(const RangeEditorState&) = delete;
    RangeEditorState& operator=(const RangeEditorState&) = delete;

    qint16 MaintenanceType() const override { return m_type; }
    QString LevelType() const override;
    QString FilterText() const override { return filter; }
    QTreeWidget* AccountList() override;
    bool TreeEnabled() const override { return treeEnabled; }
    void SetTreeEnabled(bool enabled) override { treeEnabled = enabled; }
    qint32 NodeType() const override { return nodeType; }
    void SetNodeType(qint32 type) override;
    bool IsNewRecord() const override { return newRecord; }
    void SetNewRecord(bool pending) override { newRecord = pending; }
    bool IsDelRecord() const override { return delRecord; }
    void SetDelRecord(bool pending) override { delRecord = pending; }
    RangeKeyParts KeyParts() const override { return keys; }
    RangeKeyParts StoredKeyParts() const override { return stored; }
    RangeKeyParts EntryValues() const override;
    QString CodeDescription() const override { return description.trimmed(); }
    QString CurrentRoot() const override { return root; }
    MaintTree* Tree() override;
    clsGenericMaint* GenMaint() override;
    void trvMaintenance_NodeClick(TreeNode* node) override;
    void EnableNew(bool enable) override { newEnabled = enable; }
    void EnableDelete(bool enable) override { deleteEnabled = enable; }

    // Adds the root node (named after the type) when the tree has none.
    TreeNode* EnsureRoot();
    // Shows an entry in the tree: adds whichever of its chart of account, level (when not empty), code
    // and range nodes are missing, down to the deepest part given, and answers that node.
    TreeNode* AddPath(const RangeKeyParts& path);

    // The values an editor would hold; set them freely.
    QString filter;
    bool treeEnabled = true;
    qint32 nodeType = 0;
    bool newRecord = false;
    bool delRecord = false;
    bool newEnabled = true;
    bool deleteEnabled = true;
    RangeKeyParts keys;
    RangeKeyParts stored;
    RangeKeyParts entry;
    QString description;
    QString root;

private:
    qint16 m_type;
    std::unique_ptr<MaintTree> m_tree;
    std::unique_ptr<clsGenericMaint> m_genMaint;
    std::unique_ptr<QTreeWidget> m_list;
};
