#pragma once

#include "codemaint/CodeEditorAccess.h"

#include <QString>
#include <memory>

// A Code Maintenance editor without a window: plain values an engine reads and writes. It has no tree
// until one is asked for (EnsureRoot, AddPath); without one the engines leave the nodes alone. The node
// selection reads the node's own data, as the editor's does.
class CodeEditorState : public CodeEditorAccess {
public:
    // `type` is the maintenance type 1-5; the area code and the caption follow from it.
    explicit CodeEditorState(qint16 type);
    ~CodeEditorState() override;
    CodeEditorState(const CodeEditorState&) = delete;
    CodeEditorState& operator=(const CodeEditorState&) = delete;

    qint16 MaintenanceType() const override { return m_type; }
    QString LevelType() const override;
    QString MaintenanceDescription() const override;
    QString FilterText() const override { return filter; }
    qint32 NodeType() const override { return nodeType; }
    void SetNodeType(qint32 type) override;
    bool IsNewRecord() const override { return NewRecord; }
    void SetNewRecord(bool pending) override { NewRecord = pending; }
    bool IsDelRecord() const override { return DelRecord; }
    void SetDelRecord(bool pending) override { DelRecord = pending; }
    CodeKeyParts StoredKeyParts() const override { return keys; }
    CodeEntryValues EntryValues() const override { return entry; }
    QString CurrentRoot() const override { return strcurRoot; }
    MaintTree* Tree() override { return m_tree.get(); }
    clsGenericMaint* GenMaint() override;
    bool trvMaintenance_NodeClick(TreeNode* node) override;
    void EnableNew(bool enable) override { newEnabled = enable; }
    void EnableDelete(bool enable) override { deleteEnabled = enable; }

    // Gives the state its tree with the root node (named after the type) when it has none.
    TreeNode* EnsureRoot();
    // Shows an entry in the tree: adds whichever nodes of its path are missing, down to the deepest key
    // part given, and answers that node. The path runs chart, multiplier or category, level, code for
    // types 1 and 2, and chart, parent level, parent code, child (level and code) for types 3 to 5; its
    // values are those stored, and the nodes show them as the editor's load does.
    TreeNode* AddPath(const CodeKeyParts& path);

    // The values an editor would hold; set them freely.
    QString filter;
    qint32 nodeType = 0;
    bool NewRecord = false;
    bool DelRecord = false;
    bool newEnabled = true;
    bool deleteEnabled = false;
    // The selection's key as stored: a node selection takes its node's.
    CodeKeyParts keys;
    CodeEntryValues entry;
    QString strcurRoot;

private:
    qint16 m_type;
    std::unique_ptr<MaintTree> m_tree;
    std::unique_ptr<clsGenericMaint> m_genMaint;
};
