#include "rangemaint/RangeEditorState.h"

#include "frame/MaintenanceTypes.h"
#include "frame/ModMaintenance.h"
#include "services/MaintTree.h"
#include "services/TreeNode.h"
#include "services/clsGenericMaint.h"

#include <QTreeWidget>

RangeEditorState::RangeEditorState(qint16 type)
    : root(MaintenanceTypes::TypeName(type)), m_type(type), m_tree(std::make_unique<MaintTree>()),
      m_genMaint(std::make_unique<clsGenericMaint>()), m_list(std::make_unique<QTreeWidget>()) {}

RangeEditorState::~RangeEditorState() = default;

QString RangeEditorState::LevelType() const {
    return MaintenanceTypes::AreaCode(m_type, MaintenanceTypes::Range);
}

QTreeWidget* RangeEditorState::AccountList() {
    return m_list.get();
}

MaintTree* RangeEditorState::Tree() {
    return m_tree.get();
}

clsGenericMaint* RangeEditorState::GenMaint() {
    return m_genMaint.get();
}

void RangeEditorState::SetNodeType(qint32 type) {
    nodeType = type;
    gNodeType = type;
}

RangeKeyParts RangeEditorState::EntryValues() const {
    return {entry.COA.trimmed(), entry.level.trimmed(), entry.Code.trimmed(), entry.FR_ACCT.trimmed(),
            entry.TO_ACCT.trimmed()};
}

TreeNode* RangeEditorState::EnsureRoot() {
    if (TreeNode* node = m_tree->Node(clsGenericMaint::BuildKey(root, {}, {}, {}, {}, {})))
        return node;
    return m_genMaint->AddNode_Root(*m_tree, root);
}

TreeNode* RangeEditorState::AddPath(const RangeKeyParts& path) {
    MaintTree& tree = *m_tree;
    clsGenericMaint& gm = *m_genMaint;
    const auto node = [&](const QString& key, auto add) {
        TreeNode* found = tree.Node(key);
        return found ? found : add();
    };
    TreeNode* deepest = EnsureRoot();
    if (path.COA.isEmpty())
        return deepest;
    deepest = node(clsGenericMaint::BuildKey(root, path.COA, {}, {}, {}, {}),
                   [&] { return gm.AddNode_ChartOfAccount(tree, root, path.COA, {}, false); });
    if (!path.level.isEmpty())
        deepest = node(clsGenericMaint::BuildKey(root, path.COA, path.level, {}, {}, {}),
                       [&] { return gm.AddNode_Level(tree, root, path.COA, path.level, false); });
    if (path.Code.isEmpty())
        return deepest;
    deepest = node(clsGenericMaint::BuildLevelKey(root, path.COA, path.level, path.Code, {}, {}), [&] {
        return gm.AddNode_CodCat(tree, root, path.COA, path.level, path.Code, QString(), false, m_type);
    });
    if (path.FR_ACCT.isEmpty() && path.TO_ACCT.isEmpty())
        return deepest;
    return node(
        clsGenericMaint::BuildLevelKey(root, path.COA, path.level, path.Code, path.FR_ACCT, path.TO_ACCT),
        [&] {
            return gm.AddNode_RangeAccount(tree, root, path.COA, path.level, path.Code, path.FR_ACCT,
                                           path.TO_ACCT, false);
        });
}

void RangeEditorState::trvMaintenance_NodeClick(TreeNode* node) {
    if (!node || m_tree->IndexOf(node) < 0)
        return;
    m_tree->SetSelectedItem(node);
    bool isNumber = false;
    const int tag = node->Tag().toInt(&isNumber);
    SetNodeType(isNumber ? tag : 0);
    const NodeInfo& info = node->Info();
    if (tag >= 1)
        keys.COA = info.account.trimmed();
    if (tag >= 2 && !info.level.isEmpty())
        keys.level = info.level.trimmed();
    if (tag >= 3)
        keys.Code = info.code.trimmed();
    if (tag == 4) {
        keys.FR_ACCT = info.fromAccount.trimmed();
        keys.TO_ACCT = info.toAccount.trimmed();
    }
    if (tag >= 1) {
        const NodeRowKey row = info.StoredKey();
        stored = {row.account, row.level, row.code, row.fromAccount, row.toAccount};
    }
}
