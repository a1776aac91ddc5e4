#pragma once

#include <QString>

class MaintTree;
class TreeNode;
class clsGenericMaint;

// The nodes of the code trees beyond the built-in kinds: a level under a multiplier or category, a code
// under such a level, and a child (level and code) under a parent code. The editor's load, the editor
// without a window and the engines all add them here.
class CodeNodes {
public:
    static TreeNode* MultiCategoryLevel(clsGenericMaint& gm, MaintTree& trvMaint, const QString& root,
                                        const QString& Account, const QString& MultiCategory,
                                        const QString& Level, bool NewRecord);
    static TreeNode* MultiCategoryCode(clsGenericMaint& gm, MaintTree& trvMaint, const QString& root,
                                       const QString& Account, const QString& MultiCategory,
                                       const QString& Level, const QString& Code, const QString& CodeDesc,
                                       bool NewRecord);
    // An empty parent level drops out of the child's keys. A child code occurs once under its parent
    // code, so its key leaves the child level out.
    static TreeNode* ChildLevelCode(clsGenericMaint& gm, MaintTree& trvMaint, const QString& root,
                                    const QString& Account, const QString& ParentLevel,
                                    const QString& ParentCode, const QString& ChildLevel,
                                    const QString& ChildCode, const QString& ChildDesc, bool NewRecord);
};
