#pragma once

#include "services/EditorAccess.h"

#include <QString>

class TreeNode;

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
class CodeEditorAccess : public EditorAccess {
public:
    virtual QString MaintenanceDescription() const = 0;
    // The key parts of the selected node as the warehouse stores them, blanks included: what addresses the
    // selected entry's rows.
    virtual CodeKeyParts StoredKeyParts() const = 0;
    // The entry boxes as they stand.
    virtual CodeEntryValues EntryValues() const = 0;
    // Makes the node the selection and takes over its node type and key parts.
    virtual bool trvMaintenance_NodeClick(TreeNode* node) = 0;
};
