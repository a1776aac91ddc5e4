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
    if (path.COA.isEmpty())
        return deepest;
    // The path's entries from the chart down, by node type; a parent code of an empty level (written by
    // other programs) hangs right below the chart, as in the editor's tree.
    std::vector<std::pair<qint32, CodeKeyParts>> entries{{1, {path.COA}}};
    if (m_type <= 2) {
        if (!path.MultiCategory.isEmpty())
            entries.push_back({3, {path.COA, path.MultiCategory}});
        if (!path.MultiCategory.isEmpty() && !path.level.isEmpty())
            entries.push_back({2, {path.COA, path.MultiCategory, path.level}});
        if (!path.MultiCategory.isEmpty() && !path.level.isEmpty() && !path.Code.isEmpty())
            entries.push_back({4, path});
    } else {
        if (!path.level.isEmpty())
            entries.push_back({2, {path.COA, {}, path.level}});
        if (!path.Code.isEmpty())
            entries.push_back({3, {path.COA, {}, path.level, path.Code}});
        if (!path.Code.isEmpty() && !path.ChildCode.isEmpty())
            entries.push_back({4, path});
    }
    for (const auto& [type, parts] : entries) {
        TreeNode* found = m_tree->Node(CodeNodes::EntryKey(strcurRoot, m_type, type, parts));
        deepest = found ? found
                        : CodeNodes::Entry(*m_genMaint, *m_tree, strcurRoot, m_type, type, parts, {}, false);
    }
    return deepest;
}

bool CodeEditorState::trvMaintenance_NodeClick(TreeNode* node) {
    if (!node || !m_tree || m_tree->IndexOf(node) < 0)
        return false;
    m_tree->SetSelectedItem(node);
    bool isNumber = false;
    const int tag = node->Tag().toInt(&isNumber);
    SetNodeType(isNumber ? tag : 0);
    keys = CodeNodes::StoredParts(*node, m_type);
    return true;
}
