#pragma once

#include <QString>

class MaintTree;
class TreeNode;
class clsGenericMaint;

// The entries of a hierarchy row, as the editor holds them: chart of account (or business level),
// multiplier or category, level (the parent level in the level hierarchies), code (the parent code), and
// the child level and child code of the level hierarchies.
struct CodeKeyParts {
    QString COA{};
    QString MultiCategory{};
    QString level{};
    QString Code{};
    QString ChildLevel{};
    QString ChildCode{};
};

// The entry boxes: the key values and the descriptions shown beside the codes.
struct CodeEntryValues {
    CodeKeyParts values{};
    QString multiDescription{};
    QString codeDescription{};
    QString childDescription{};
};

// What a code engine reads and writes of the editor that owns it. The engines see their editor only
// through this, so they run without a window; the Code Maintenance editor is the real one and
// CodeEditorState the one without a window.
class CodeEditorAccess {
public:
    virtual ~CodeEditorAccess() = default;

    virtual qint16 MaintenanceType() const = 0;
    virtual QString LevelType() const = 0;
    virtual QString MaintenanceDescription() const = 0;
    // The text of the filter box, as typed.
    virtual QString FilterText() const = 0;

    // The node type of this editor's selection (0 root to 4 leaf); setting it also sets the program-wide
    // one.
    virtual qint32 NodeType() const = 0;
    virtual void SetNodeType(qint32 type) = 0;
    // An insert is pending; a delete is under way.
    virtual bool IsNewRecord() const = 0;
    virtual void SetNewRecord(bool pending) = 0;
    virtual bool IsDelRecord() const = 0;
    virtual void SetDelRecord(bool pending) = 0;
    // The key parts of the selected node, as stored on its selection.
    virtual CodeKeyParts KeyParts() const = 0;
    // The entry boxes as they stand.
    virtual CodeEntryValues EntryValues() const = 0;
    // The text of the tree's root node.
    virtual QString CurrentRoot() const = 0;
    // The tree and the services object that builds its nodes; nullptr where there is none, and then the
    // engines leave the nodes alone.
    virtual MaintTree* Tree() = 0;
    virtual clsGenericMaint* GenMaint() = 0;
    // Makes the node the selection and takes over its node type and key parts.
    virtual bool trvMaintenance_NodeClick(TreeNode* node) = 0;
    // The New and Delete commands of the main window.
    virtual void EnableNew(bool enable) = 0;
    virtual void EnableDelete(bool enable) = 0;
};
