#include "support/SampleTree.h"

#include "services/MaintTree.h"
#include "services/TreeNode.h"
#include "services/clsGenericMaint.h"

void BuildSampleTree(MaintTree& tree, clsGenericMaint& gm) {
    const QString& r = kSampleRoot;
    gm.AddNode_Root(tree, r);
    gm.AddNode_ChartOfAccount(tree, r, "100", "", false);
    gm.AddNode_Level(tree, r, "100", "L1", false);
    gm.AddNode_CodCat(tree, r, "100", "L1", "C1", "First", false, 3);
    for (const char* from : {"1000", "2000", "3000"})
        gm.AddNode_RangeAccount(tree, r, "100", "L1", "C1", from, QString(from).replace("000", "999"), false);
    gm.AddNode_CodCat(tree, r, "100", "L1", "C2", "Second", false, 3);
    gm.AddNode_RangeAccount(tree, r, "100", "L1", "C2", "5000", "5999", false);
    gm.AddNode_Level(tree, r, "100", "L2", false);
    gm.AddNode_ChartOfAccount(tree, r, "200", "", false);
}

QString SampleKey(const QString& account, const QString& level, const QString& code, const QString& from,
                  const QString& to) {
    return clsGenericMaint::BuildKey(kSampleRoot, account, level, code, from, to);
}

QStringList NodesKeepingNeedlessStoredKeys(const MaintTree& tree) {
    QStringList needless;
    for (const TreeNode* n : tree.Nodes()) {
        const NodeInfo& i = n->Info();
        const NodeRowKey shown{i.account,   i.level,         i.code,       i.fromAccount,
                               i.toAccount, i.multiCategory, i.childLevel, i.childCode};
        if (i.HasOwnStoredKey() && i.StoredKey() == shown)
            needless << n->Text();
    }
    return needless;
}
