#include "codemaint/CodeNodes.h"

#include "services/MaintTree.h"
#include "services/NodeInfo.h"
#include "services/TreeImages.h"
#include "services/TreeNode.h"
#include "services/clsGenericMaint.h"

#include <QStringBuilder>

namespace {
const QString kTagLevel = QStringLiteral("2");
const QString kTagLeaf = QStringLiteral("4");
} // namespace

TreeNode* CodeNodes::MultiCategoryLevel(clsGenericMaint& gm, MaintTree& trvMaint, const QString& root,
                                        const QString& Account, const QString& MultiCategory,
                                        const QString& Level, bool NewRecord,
                                        std::optional<NodeRowKey> stored) {
    NodeInfo info;
    info.kind = NodeKind::MultiCategoryLevel;
    info.root = root;
    info.account = Account;
    info.multiCategory = MultiCategory;
    info.level = Level;
    info.SetStored(stored);
    return gm.AddNode(trvMaint, clsGenericMaint::BuildKey(root, Account, MultiCategory, {}, {}, {}),
                      clsGenericMaint::BuildKey(root, Account, MultiCategory, Level, {}, {}), Level,
                      TreeImages::Level, kTagLevel, false, NewRecord, std::move(info),
                      QStringLiteral("frmCodeMaintenance:AddNode_MultiCategoryLevel"));
}

TreeNode* CodeNodes::MultiCategoryCode(clsGenericMaint& gm, MaintTree& trvMaint, const QString& root,
                                       const QString& Account, const QString& MultiCategory,
                                       const QString& Level, const QString& Code, const QString& CodeDesc,
                                       bool NewRecord, std::optional<NodeRowKey> stored) {
    NodeInfo info;
    info.kind = NodeKind::MultiCategoryCode;
    info.root = root;
    info.account = Account;
    info.multiCategory = MultiCategory;
    info.level = Level;
    info.code = Code;
    info.description = CodeDesc;
    info.SetStored(stored);
    return gm.AddNode(trvMaint, clsGenericMaint::BuildKey(root, Account, MultiCategory, Level, {}, {}),
                      clsGenericMaint::BuildKey(root, Account, MultiCategory, Level, Code, {}),
                      Code % QLatin1Char(':') % CodeDesc, TreeImages::ChildCode, kTagLeaf, false, NewRecord,
                      std::move(info), QStringLiteral("frmCodeMaintenance:AddNode_MultiCategoryCode"));
}

TreeNode* CodeNodes::ChildLevelCode(clsGenericMaint& gm, MaintTree& trvMaint, const QString& root,
                                    const QString& Account, const QString& ParentLevel,
                                    const QString& ParentCode, const QString& ChildLevel,
                                    const QString& ChildCode, const QString& ChildDesc, bool NewRecord,
                                    std::optional<NodeRowKey> stored) {
    NodeInfo info;
    info.kind = NodeKind::ChildLevelCode;
    info.root = root;
    info.account = Account;
    info.level = ParentLevel;
    info.code = ParentCode;
    info.childLevel = ChildLevel;
    info.childCode = ChildCode;
    info.description = ChildDesc;
    info.SetStored(stored);
    return gm.AddNode(trvMaint,
                      clsGenericMaint::BuildLevelKey(root, Account, ParentLevel, ParentCode, {}, {}),
                      clsGenericMaint::BuildLevelKey(root, Account, ParentLevel, ParentCode, ChildCode, {}),
                      ChildLevel % QLatin1String(" - ") % ChildCode % QLatin1Char(':') % ChildDesc,
                      TreeImages::ChildCode, kTagLeaf, false, NewRecord, std::move(info),
                      QStringLiteral("frmCodeMaintenance:AddNode_ChildLevelCode"));
}

TreeNode* CodeNodes::Entry(clsGenericMaint& gm, MaintTree& tree, const QString& root, qint16 type,
                           qint32 nodeType, const CodeKeyParts& stored, const QString& description,
                           bool select) {
    const auto shown = clsGenericMaint::ShownValue;
    const CodeKeyParts& s = stored;
    const QString chart = shown(s.COA);
    if (nodeType == 1)
        return gm.AddNode_ChartOfAccount(tree, root, chart, description, select, NodeRowKey{s.COA});
    if (type <= 2) {
        switch (nodeType) {
        case 3:
            return gm.AddNode_CodCat(tree, root, chart, {}, shown(s.MultiCategory), description, select, type,
                                     NodeRowKey{.account = s.COA, .code = s.MultiCategory});
        case 2:
            return MultiCategoryLevel(
                gm, tree, root, chart, shown(s.MultiCategory), shown(s.level), select,
                NodeRowKey{.account = s.COA, .level = s.level, .multiCategory = s.MultiCategory});
        default:
            return MultiCategoryCode(
                gm, tree, root, chart, shown(s.MultiCategory), shown(s.level), shown(s.Code), description,
                select,
                NodeRowKey{
                    .account = s.COA, .level = s.level, .code = s.Code, .multiCategory = s.MultiCategory});
        }
    }
    switch (nodeType) {
    case 2:
        return gm.AddNode_Level(tree, root, chart, shown(s.level), select,
                                NodeRowKey{.account = s.COA, .level = s.level});
    case 3:
        return gm.AddNode_CodCat(tree, root, chart, shown(s.level), shown(s.Code), description, select, type,
                                 NodeRowKey{.account = s.COA, .level = s.level, .code = s.Code});
    default:
        return ChildLevelCode(gm, tree, root, chart, shown(s.level), shown(s.Code), shown(s.ChildLevel),
                              shown(s.ChildCode), description, select,
                              NodeRowKey{.account = s.COA,
                                         .level = s.level,
                                         .code = s.Code,
                                         .childLevel = s.ChildLevel,
                                         .childCode = s.ChildCode});
    }
}

QString CodeNodes::EntryKey(const QString& root, qint16 type, qint32 nodeType, const CodeKeyParts& stored) {
    const auto shown = clsGenericMaint::ShownValue;
    const QString chart = shown(stored.COA);
    if (nodeType == 1)
        return clsGenericMaint::BuildKey(root, chart, {}, {}, {}, {});
    if (type <= 2) {
        const QString holder = shown(stored.MultiCategory);
        return nodeType == 3   ? clsGenericMaint::BuildKey(root, chart, holder, {}, {}, {})
               : nodeType == 2 ? clsGenericMaint::BuildKey(root, chart, holder, shown(stored.level), {}, {})
                               : clsGenericMaint::BuildKey(root, chart, holder, shown(stored.level),
                                                           shown(stored.Code), {});
    }
    if (nodeType == 2)
        return clsGenericMaint::BuildKey(root, chart, shown(stored.level), {}, {}, {});
    return clsGenericMaint::BuildLevelKey(root, chart, shown(stored.level), shown(stored.Code),
                                          nodeType == 3 ? QString() : shown(stored.ChildCode), {});
}

CodeKeyParts CodeNodes::StoredParts(const TreeNode& node, qint16 type) {
    const NodeRowKey row = node.Info().StoredKey();
    // The multiplier or category node keeps its code where the other nodes keep their code.
    if (type <= 2 && node.Kind() == NodeKind::CodCat)
        return {row.account, row.code};
    return {row.account, row.multiCategory, row.level, row.code, row.childLevel, row.childCode};
}
