#pragma once

#include "codemaint/CodeEditorAccess.h"
#include "services/NodeInfo.h"

#include <QString>
#include <optional>

class MaintTree;
class TreeNode;
class clsGenericMaint;

// The nodes of the code trees beyond the built-in kinds: a level under a multiplier or category, a code
// under such a level, and a child (level and code) under a parent code. The editor's load, the editor
// without a window and the engines all add them here.
//
// A node shows its values without their trailing blanks (clsGenericMaint::ShownValue) and is keyed by
// them, and keeps the key of its row as the warehouse stores it, which addresses that row.
class CodeNodes {
public:
    static TreeNode* MultiCategoryLevel(clsGenericMaint& gm, MaintTree& trvMaint, const QString& root,
                                        const QString& Account, const QString& MultiCategory,
                                        const QString& Level, bool NewRecord,
                                        std::optional<NodeRowKey> stored = std::nullopt);
    static TreeNode* MultiCategoryCode(clsGenericMaint& gm, MaintTree& trvMaint, const QString& root,
                                       const QString& Account, const QString& MultiCategory,
                                       const QString& Level, const QString& Code, const QString& CodeDesc,
                                       bool NewRecord, std::optional<NodeRowKey> stored = std::nullopt);
    // An empty parent level drops out of the child's keys. A child code occurs once under its parent
    // code, so its key leaves the child level out.
    static TreeNode* ChildLevelCode(clsGenericMaint& gm, MaintTree& trvMaint, const QString& root,
                                    const QString& Account, const QString& ParentLevel,
                                    const QString& ParentCode, const QString& ChildLevel,
                                    const QString& ChildCode, const QString& ChildDesc, bool NewRecord,
                                    std::optional<NodeRowKey> stored = std::nullopt);

    // The node of the entry of these key parts, as stored, of node type `nodeType` in a tree of maintenance
    // type `type` (types 1 and 2: 1 chart, 3 multiplier or category, 2 level, 4 code; types 3 to 5: 1 chart,
    // 2 parent level, 3 parent code, 4 child). Its parent node must be there.
    static TreeNode* Entry(clsGenericMaint& gm, MaintTree& tree, const QString& root, qint16 type,
                           qint32 nodeType, const CodeKeyParts& stored, const QString& description,
                           bool select);
    // The key of that node.
    static QString EntryKey(const QString& root, qint16 type, qint32 nodeType, const CodeKeyParts& stored);
    // The key parts of the entry a node of a tree of maintenance type `type` stands for, as stored.
    static CodeKeyParts StoredParts(const TreeNode& node, qint16 type);
};
