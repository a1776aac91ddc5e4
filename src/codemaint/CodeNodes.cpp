#include "codemaint/CodeNodes.h"

#include "services/MaintTree.h"
#include "services/NodeInfo.h"
#include "services/TreeImages.h"
#include "services/clsGenericMaint.h"

#include <QStringBuilder>

namespace {
const QString kTagLevel = QStringLiteral("2");
const QString kTagLeaf = QStringLiteral("4");
} // namespace

TreeNode* CodeNodes::MultiCategoryLevel(clsGenericMaint& gm, MaintTree& trvMaint, const QString& root,
                                        const QString& Account, const QString& MultiCategory,
                                        const QString& Level, bool NewRecord) {
    NodeInfo info;
    info.kind = NodeKind::MultiCategoryLevel;
    info.root = root;
    info.account = Account;
    info.multiCategory = MultiCategory;
    info.level = Level;
    return gm.AddNode(trvMaint, clsGenericMaint::BuildKey(root, Account, MultiCategory, {}, {}, {}),
                      clsGenericMaint::BuildKey(root, Account, MultiCategory, Level, {}, {}), Level,
                      TreeImages::Level, kTagLevel, false, NewRecord, std::move(info),
                      QStringLiteral("frmCodeMaintenance:AddNode_MultiCategoryLevel"));
}

TreeNode* CodeNodes::MultiCategoryCode(clsGenericMaint& gm, MaintTree& trvMaint, const QString& root,
                                       const QString& Account, const QString& MultiCategory,
                                       const QString& Level, const QString& Code, const QString& CodeDesc,
                                       bool NewRecord) {
    NodeInfo info;
    info.kind = NodeKind::MultiCategoryCode;
    info.root = root;
    info.account = Account;
    info.multiCategory = MultiCategory;
    info.level = Level;
    info.code = Code;
    info.description = CodeDesc;
    return gm.AddNode(trvMaint, clsGenericMaint::BuildKey(root, Account, MultiCategory, Level, {}, {}),
                      clsGenericMaint::BuildKey(root, Account, MultiCategory, Level, Code, {}),
                      Code % QLatin1Char(':') % CodeDesc, TreeImages::ChildCode, kTagLeaf, false, NewRecord,
                      std::move(info), QStringLiteral("frmCodeMaintenance:AddNode_MultiCategoryCode"));
}

TreeNode* CodeNodes::ChildLevelCode(clsGenericMaint& gm, MaintTree& trvMaint, const QString& root,
                                    const QString& Account, const QString& ParentLevel,
                                    const QString& ParentCode, const QString& ChildLevel,
                                    const QString& ChildCode, const QString& ChildDesc, bool NewRecord) {
    NodeInfo info;
    info.kind = NodeKind::ChildLevelCode;
    info.root = root;
    info.account = Account;
    info.level = ParentLevel;
    info.code = ParentCode;
    info.childLevel = ChildLevel;
    info.childCode = ChildCode;
    info.description = ChildDesc;
    return gm.AddNode(trvMaint,
                      clsGenericMaint::BuildLevelKey(root, Account, ParentLevel, ParentCode, {}, {}),
                      clsGenericMaint::BuildLevelKey(root, Account, ParentLevel, ParentCode, ChildCode, {}),
                      ChildLevel % QLatin1String(" - ") % ChildCode % QLatin1Char(':') % ChildDesc,
                      TreeImages::ChildCode, kTagLeaf, false, NewRecord, std::move(info),
                      QStringLiteral("frmCodeMaintenance:AddNode_ChildLevelCode"));
}
