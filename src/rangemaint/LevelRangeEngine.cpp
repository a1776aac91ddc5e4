#include "rangemaint/LevelRangeEngine.h"

#include "frame/ModMaintenance.h"
#include "frame/modMain.h"
#include "rangemaint/LevelHierarchyWalk.h"
#include "rangemaint/LevelRangeRemoval.h"
#include "rangemaint/LevelRangeSynchronization.h"
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
    return DeletedUpRangeOfAccountHier(area, r.COA, r.level, r.Code, r.FR_ACCT, r.TO_ACCT);
}

// ---------------------------------------------------------------------------------------------------------
// Propagation

bool LevelRangeEngine::CopiedUpRangeOfAccountHier(const QString& LvlType, const QString& COA,
                                                  const QString& Level, const QString& Code,
                                                  const QString& AccountFr, const QString& AccountTo) {
    // Blank bounds are a placeholder, never a range.
    if (AccountFr.trimmed().isEmpty() || AccountTo.trimmed().isEmpty())
        return true;
    LevelHierarchyWalk walk(LvlType, COA);
    std::vector<LevelHierarchyWalk::Code> ancestors;
    if (!walk.Ancestors({Level, Code}, ancestors))
        return Fail(QStringLiteral("CopiedUpRangeOfAccountHier"));
    for (const LevelHierarchyWalk::Code& a : ancestors)
        if (!CopyDelRangeOfAccountHier(LvlType, COA, a.level, a.code, AccountFr, AccountTo, CopyMode))
            return false;
    return true;
}

bool LevelRangeEngine::CopiedUpRangesOfCodes(const QString& LvlType, const QString& COA, const QString& Level,
                                             const QString& Code) {
    LevelRangeSynchronization synchronization(LvlType, COA, EntryTable(), FeedsHolders());
    if (!synchronization.Carry(Level, Code))
        return FailIn(synchronization.FailedStep(), QStringLiteral("CopiedUp"));
    MaintTree* tree = m_owner ? m_owner->Tree() : nullptr;
    if (!tree)
        return true;
    // An ancestor the tree does not show (a filtered tree) got its rows and no nodes.
    const QString root = m_owner->CurrentRoot();
    for (const LevelRangeSynchronization::Added& a : synchronization.AddedRanges())
        if (tree->Node(NodeKeyOf(root, {COA, a.ancestor.level, a.ancestor.code})))
            AddRangeNode(root, {a.key.value(0), a.key.value(1), a.key.value(2), a.range.from, a.range.to},
                         false);
    return true;
}

bool LevelRangeEngine::DeletedUpRangeOfAccountHier(const QString& LvlType, const QString& COA,
                                                   const QString& Level, const QString& Code,
                                                   const QString& AccountFr, const QString& AccountTo) {
    LevelRangeRemoval removal(LvlType, COA, EntryTable(), FeedsHolders());
    return Removed(removal, removal.Lost({Level, Code}, {AccountFr, AccountTo}), COA);
}

bool LevelRangeEngine::FailIn(LevelRangeRemoval::Step step, const QString& carried) {
    switch (step) {
    case LevelRangeRemoval::Step::Walk:
        return Fail(carried + QStringLiteral("RangeOfAccountHier"));
    case LevelRangeRemoval::Step::Multipliers:
        return Fail(carried + QStringLiteral("RangeOfAccountMultiHier"));
    case LevelRangeRemoval::Step::Categories:
        return Fail(carried + QStringLiteral("RangeOfAccountCategoryHier"));
    default:
        return Fail(QStringLiteral("CopyDelRangeOfAccountHier"));
    }
}

bool LevelRangeEngine::Removed(const LevelRangeRemoval& removal, bool done, const QString& COA) {
    if (!done)
        return FailIn(removal.FailedStep(), QStringLiteral("DeletedUp"));
    MaintTree* tree = m_owner ? m_owner->Tree() : nullptr;
    if (!tree)
        return true;
    const QString root = m_owner->CurrentRoot();
    for (const LevelRangeRemoval::Removed& r : removal.RemovedRanges())
        if (TreeNode* node =
                tree->Node(NodeKeyOf(root, {COA, r.code.level, r.code.code, r.range.from, r.range.to})))
            tree->Remove(node);
    return true;
}

bool LevelRangeEngine::CopyDelRangeOfAccountHier(const QString& LvlType, const QString& COA,
                                                 const QString& Level, const QString& Code,
                                                 const QString& AccountFr, const QString& AccountTo,
                                                 int mode) {
    const QString procedure = QStringLiteral("CopyDelRangeOfAccountHier");
    if (mode == DeleteMode) {
        LevelRangeRemoval removal(LvlType, COA, EntryTable(), FeedsHolders());
        return Removed(removal, removal.Settle({Level, Code}, {AccountFr, AccountTo}), COA);
    }
    if (mode != CopyMode)
        return true;
    // An ancestor the hierarchy holds padded: its rows are those the range table holds, padded or not.
    QStringList keys;
    if (!EntryTable().StoredKey({COA, Level, Code}, keys))
        return Fail(procedure);
    const Existence present = EntryTable().RecordExists(keys, AccountFr, AccountTo);
    if (present == Existence::Failed)
        return Fail(procedure);
    MaintTree* tree = m_owner ? m_owner->Tree() : nullptr;
    clsGenericMaint* gm = m_owner ? m_owner->GenMaint() : nullptr;
    const QString root = m_owner ? m_owner->CurrentRoot() : QString();
    // An ancestor already holding the range passes nothing on to its holders.
    if (present == Existence::Present)
        return true;
    const std::optional<QString> statement = EntryTable().AddRangeOfAccount(keys, AccountFr, AccountTo);
    if (!statement || !ExecuteSQLChangingRows(*statement))
        return Fail(procedure);
    // An ancestor the tree does not show (a filtered tree) gets its row and no node.
    if (tree && gm && tree->Node(NodeKeyOf(root, {COA, Level, Code})))
        AddRangeNode(root, {keys[0], keys[1], keys[2], AccountFr, AccountTo}, false);
    return CopiedUpRangeOfAccountMultiHier(LvlType, COA, Level, Code, AccountFr, AccountTo) &&
           CopiedUpRangeOfAccountCategoryHier(LvlType, COA, Level, Code, AccountFr, AccountTo);
}
