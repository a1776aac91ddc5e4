#pragma once

#include <QString>

class MaintTree;
class QTreeWidget;
class TreeNode;
class clsGenericMaint;

// The key values of a range entry: chart of account (or business level), level, code, From and To; parts
// left out of an initializer are empty.
struct RangeKeyParts {
    QString COA{};
    QString level{};
    QString Code{};
    QString FR_ACCT{};
    QString TO_ACCT{};
};

// What a range engine reads and writes of the editor that owns it. The engines see their editor only
// through this, so they can run without a window; the Range Maintenance editor is the real one.
class RangeEditorAccess {
public:
    virtual ~RangeEditorAccess() = default;

    virtual qint16 MaintenanceType() const = 0;
    virtual QString LevelType() const = 0;
    // The text of the filter box, as typed.
    virtual QString FilterText() const = 0;
    // The account list the engines fill; its columns belong to the editor.
    virtual QTreeWidget* AccountList() = 0;
    virtual bool TreeEnabled() const = 0;
    virtual void SetTreeEnabled(bool enabled) = 0;

    // The node type of this editor's selection (0 root to 4 range); setting it also sets the program-wide
    // one.
    virtual qint32 NodeType() const = 0;
    virtual void SetNodeType(qint32 type) = 0;
    // An insert is pending.
    virtual bool IsNewRecord() const = 0;
    virtual void SetNewRecord(bool pending) = 0;
    virtual bool IsDelRecord() const = 0;
    virtual void SetDelRecord(bool pending) = 0;
    // The selected node's key parts, trimmed.
    virtual RangeKeyParts KeyParts() const = 0;
    // The entry values, trimmed, and the description shown beside the code.
    virtual RangeKeyParts EntryValues() const = 0;
    virtual QString CodeDescription() const = 0;
    // The text of the tree's root node.
    virtual QString CurrentRoot() const = 0;
    // The tree and the services object that builds its nodes; nullptr where there is none.
    virtual MaintTree* Tree() = 0;
    virtual clsGenericMaint* GenMaint() = 0;
    // Makes the node the selection and takes over its node type and key parts.
    virtual void trvMaintenance_NodeClick(TreeNode* node) = 0;
    // The New and Delete commands of the main window.
    virtual void EnableNew(bool enable) = 0;
    virtual void EnableDelete(bool enable) = 0;
};
