#pragma once

#include "services/EditorAccess.h"

#include <QString>

class QTreeWidget;
class TreeNode;

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
class RangeEditorAccess : public EditorAccess {
public:
    // The account list the engines fill; its columns belong to the editor.
    virtual QTreeWidget* AccountList() = 0;
    virtual bool TreeEnabled() const = 0;
    virtual void SetTreeEnabled(bool enabled) = 0;
    // The selected node's key parts, trimmed.
    virtual RangeKeyParts KeyParts() const = 0;
    // The same key as the warehouse stores it, blanks included: what addresses the selected entry's rows.
    virtual RangeKeyParts StoredKeyParts() const = 0;
    // The entry values, trimmed, and the description shown beside the code.
    virtual RangeKeyParts EntryValues() const = 0;
    virtual QString CodeDescription() const = 0;
    // Makes the node the selection and takes over its node type and key parts.
    virtual void trvMaintenance_NodeClick(TreeNode* node) = 0;
};
