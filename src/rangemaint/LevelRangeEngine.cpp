#include "rangemaint/LevelRangeEngine.h"

#include "frame/ModMaintenance.h"
#include "frame/modMain.h"
#include "rangemaint/LevelHierarchyWalk.h"
#include "rangemaint/RangeEditorAccess.h"
#include "services/MaintTree.h"
#include "services/TreeNode.h"
#include "services/clsGenericMaint.h"

bool LevelRangeEngine::RangeAdded(const QString& area, const RangeKeyParts& r) {
    return CopiedUpRangeOfAccountHier(area, r.COA, r.level, r.Code, r.FR_ACCT, r.TO_ACCT) &&
           CopiedUpRangeOfAccountMultiHier(area, r.COA, r.level, r.Code, r.FR_ACCT, r.TO_ACCT) &&
           CopiedUpRangeOfAccountCategoryHier(area, r.COA, r.level, r.Code, r.FR_ACCT, r.TO_ACCT);
}

bool LevelRangeEngine::RangeRemoved(const QString& area, const RangeKeyParts& r) {
    return DeletedUpRangeOfAccountHier(area, r.COA, r.level, r.Code, r.FR_ACCT, r.TO_ACCT) &&
           DeletedUpRangeOfAccountMultiHier(area, r.COA, r.level, r.Code, r.FR_ACCT, r.TO_ACCT) &&
           DeletedUpRangeOfAccountCategoryHier(area, r.COA, r.level, r.Code, r.FR_ACCT, r.TO_ACCT);
}

// ---------------------------------------------------------------------------------------------------------
// Propagation

bool LevelRangeEngine::CopiedUpRangeOfAccountHier(const QString& LvlType, const QString& COA,
                                                  const QString& Level, const QString& Code,
                                                  const QString& AccountFr, const QString& AccountTo) {
    return CarryUp(CopyMode, LvlType, COA, Level, Code, AccountFr, AccountTo);
}

bool LevelRangeEngine::DeletedUpRangeOfAccountHier(const QString& LvlType, const QString& COA,
                                                   const QString& Level, const QString& Code,
                                                   const QString& AccountFr, const QString& AccountTo) {
    return CarryUp(DeleteMode, LvlType, COA, Level, Code, AccountFr, AccountTo);
}

bool LevelRangeEngine::CarryUp(int mode, const QString& LvlType, const QString& COA, const QString& Level,
                               const QString& Code, const QString& AccountFr, const QString& AccountTo) {
    // Blank bounds are a placeholder, never a range.
    if (AccountFr.trimmed().isEmpty() || AccountTo.trimmed().isEmpty())
        return true;
    LevelHierarchyWalk walk(LvlType, COA);
    std::vector<LevelHierarchyWalk::Code> ancestors;
    if (!walk.Ancestors({Level, Code}, ancestors))
        return Fail(mode == CopyMode ? QStringLiteral("CopiedUpRangeOfAccountHier")
                                     : QStringLiteral("DeletedUpRangeOfAccountHier"));
    // A removal runs from the bottom up, so each ancestor sees what its children kept.
    if (mode == DeleteMode)
        ancestors = walk.BottomUp();
    for (const LevelHierarchyWalk::Code& a : ancestors)
        if (!CopyDelRangeOfAccountHier(LvlType, COA, a.level, a.code, AccountFr, AccountTo, mode))
            return false;
    return true;
}

bool LevelRangeEngine::CopyDelRangeOfAccountHier(const QString& LvlType, const QString& COA,
                                                 const QString& Level, const QString& Code,
                                                 const QString& AccountFr, const QString& AccountTo,
                                                 int mode) {
    const QString procedure = QStringLiteral("CopyDelRangeOfAccountHier");
    if (mode != CopyMode && mode != DeleteMode)
        return true;
    const QStringList keys{COA, Level, Code};
    const Existence present = EntryTable().RecordExists(keys, AccountFr, AccountTo);
    if (present == Existence::Failed)
        return Fail(procedure);
    MaintTree* tree = m_owner ? m_owner->Tree() : nullptr;
    clsGenericMaint* gm = m_owner ? m_owner->GenMaint() : nullptr;
    const QString root = m_owner ? m_owner->CurrentRoot() : QString();
    if (mode == CopyMode) {
        // An ancestor already holding the range passes nothing on to its holders.
        if (present == Existence::Present)
            return true;
        const std::optional<QString> statement = EntryTable().AddRangeOfAccount(keys, AccountFr, AccountTo);
        if (!statement || !ExecuteSQL(*statement))
            return Fail(procedure);
        // An ancestor the tree does not show (a filtered tree) gets its row and no node.
        if (tree && gm &&
            tree->Node(clsGenericMaint::BuildLevelKey(root, COA, Level, Code, QString(), QString())))
            gm->AddNode_RangeAccount(*tree, root, COA, Level, Code, AccountFr, AccountTo, false);
        return CopiedUpRangeOfAccountMultiHier(LvlType, COA, Level, Code, AccountFr, AccountTo) &&
               CopiedUpRangeOfAccountCategoryHier(LvlType, COA, Level, Code, AccountFr, AccountTo);
    }
    if (present == Existence::Absent)
        return true;
    // The code keeps the range while one of its children still holds it.
    std::vector<LevelHierarchyWalk::Code> children;
    if (!LevelHierarchyWalk(LvlType, COA).Children({Level, Code}, children))
        return Fail(procedure);
    for (const LevelHierarchyWalk::Code& child : children) {
        const Existence fed = EntryTable().RecordExists({COA, child.level, child.code}, AccountFr, AccountTo);
        if (fed == Existence::Failed)
            return Fail(procedure);
        if (fed == Existence::Present)
            return true;
    }
    if (!EntryTable().DeleteEntry(keys, AccountFr, AccountTo))
        return Fail(procedure);
    if (tree)
        if (TreeNode* node =
                tree->Node(clsGenericMaint::BuildLevelKey(root, COA, Level, Code, AccountFr, AccountTo)))
            tree->Remove(node);
    return DeletedUpRangeOfAccountMultiHier(LvlType, COA, Level, Code, AccountFr, AccountTo) &&
           DeletedUpRangeOfAccountCategoryHier(LvlType, COA, Level, Code, AccountFr, AccountTo);
}
