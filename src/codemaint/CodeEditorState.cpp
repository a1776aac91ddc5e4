#include "codemaint/CodeEditorState.h"

#include "codemaint/CodeNodes.h"
#include "frame/MaintenanceTypes.h"
#include "frame/ModMaintenance.h"
#include "services/MaintTree.h"
#include "services/TreeNode.h"
#include "services/clsGenericMaint.h"

CodeEditorState::CodeEditorState(qint16 type)
    : strcurRoot(MaintenanceTypes::TypeName(type)), m_type(type),
      m_genMaint(std::make_unique<clsGenericMaint>()) {}

CodeEditorState::~CodeEditorState() = default;

QString CodeEditorState::LevelType() const {
    return MaintenanceTypes::AreaCode(m_type, MaintenanceTypes::Code);
}

QString CodeEditorState::MaintenanceDescription() const {
    return MaintenanceTypes::Description(m_type, MaintenanceTypes::Code);
}

clsGenericMaint* CodeEditorState::GenMaint() {
    return m_genMaint.get();
}

void CodeEditorState::SetNodeType(qint32 type) {
    nodeType = type;
    gNodeType = type;
}

TreeNode* CodeEditorState::EnsureRoot() {
    if (!m_tree)
        m_tree = std::make_unique<MaintTree>();
    if (TreeNode* node = m_tree->Node(clsGenericMaint::BuildKey(strcurRoot, {}, {}, {}, {}, {})))
        return node;
    return m_genMaint->AddNode_Root(*m_tree, strcurRoot);
}

TreeNode* CodeEditorState::AddPath(const CodeKeyParts& path) {
    TreeNode* deepest = EnsureRoot();
    MaintTree& tree = *m_tree;
    clsGenericMaint& gm = *m_genMaint;
    const QString& root = strcurRoot;
    // Each node of the path: found by its key, else added.
    const auto step = [&](const QString& key, auto add) {
        TreeNode* found = tree.Node(key);
        deepest = found ? found : add();
    };
    if (path.COA.isEmpty())
        return deepest;
    step(clsGenericMaint::BuildKey(root, path.COA, {}, {}, {}, {}),
         [&] { return gm.AddNode_ChartOfAccount(tree, root, path.COA, {}, false); });
    if (m_type <= 2) {
        if (!path.MultiCategory.isEmpty())
            step(clsGenericMaint::BuildKey(root, path.COA, path.MultiCategory, {}, {}, {}), [&] {
                return gm.AddNode_CodCat(tree, root, path.COA, {}, path.MultiCategory, {}, false, m_type);
            });
        if (!path.MultiCategory.isEmpty() && !path.level.isEmpty())
            step(clsGenericMaint::BuildKey(root, path.COA, path.MultiCategory, path.level, {}, {}), [&] {
                return CodeNodes::MultiCategoryLevel(gm, tree, root, path.COA, path.MultiCategory, path.level,
                                                     false);
            });
        if (!path.MultiCategory.isEmpty() && !path.level.isEmpty() && !path.Code.isEmpty())
            step(clsGenericMaint::BuildKey(root, path.COA, path.MultiCategory, path.level, path.Code, {}),
                 [&] {
                     return CodeNodes::MultiCategoryCode(gm, tree, root, path.COA, path.MultiCategory,
                                                         path.level, path.Code, {}, false);
                 });
        return deepest;
    }
    // A parent code of an empty level (written by other programs) hangs right below the chart, as in the
    // editor's tree.
    if (!path.level.isEmpty())
        step(clsGenericMaint::BuildKey(root, path.COA, path.level, {}, {}, {}),
             [&] { return gm.AddNode_Level(tree, root, path.COA, path.level, false); });
    if (!path.Code.isEmpty())
        step(clsGenericMaint::BuildLevelKey(root, path.COA, path.level, path.Code, {}, {}), [&] {
            return gm.AddNode_CodCat(tree, root, path.COA, path.level, path.Code, {}, false, m_type);
        });
    if (!path.Code.isEmpty() && !path.ChildCode.isEmpty())
        step(clsGenericMaint::BuildLevelKey(root, path.COA, path.level, path.Code, path.ChildCode, {}), [&] {
            return CodeNodes::ChildLevelCode(gm, tree, root, path.COA, path.level, path.Code, path.ChildLevel,
                                             path.ChildCode, {}, false);
        });
    return deepest;
}

bool CodeEditorState::trvMaintenance_NodeClick(TreeNode* node) {
    if (!node || !m_tree || m_tree->IndexOf(node) < 0)
        return false;
    m_tree->SetSelectedItem(node);
    bool isNumber = false;
    const int tag = node->Tag().toInt(&isNumber);
    SetNodeType(isNumber ? tag : 0);
    const NodeInfo& info = node->Info();
    keys = {};
    keys.COA = info.account.trimmed();
    // The multiplier or category node keeps its code where the other nodes keep their code.
    if (m_type <= 2 && tag == 3)
        keys.MultiCategory = info.code.trimmed();
    else
        keys.MultiCategory = info.multiCategory.trimmed();
    keys.level = info.level.trimmed();
    keys.Code = info.code.trimmed();
    if (m_type <= 2 && tag == 3)
        keys.Code.clear();
    keys.ChildLevel = info.childLevel.trimmed();
    keys.ChildCode = info.childCode.trimmed();
    return true;
}
