#include "rangemaint/LevelRangeEngine.h"

#include "frame/ErrorHandler.h"
#include "frame/ModMaintenance.h"
#include "frame/clsDBConnection.h"
#include "frame/modMain.h"
#include "platform/CurrentError.h"
#include "platform/TransactionGuard.h"
#include "platform/UserDialogs.h"
#include "rangemaint/LevelHierarchyWalk.h"
#include "rangemaint/RangeEditorAccess.h"
#include "services/MaintTree.h"
#include "services/TreeNode.h"
#include "services/clsGenericMaint.h"

bool LevelRangeEngine::Fail(const QString& procedure) {
    KeepDatabaseError();
    m_failure = Err().Description();
    return ErrorHandler::Fail(ClassName() + QStringLiteral(":") + procedure);
}

bool LevelRangeEngine::Save() {
    RangeEditorAccess* owner = m_owner;
    if (!owner)
        return false;
    const int t = owner->NodeType();
    if (t < 0 || t > 3 || !owner->IsNewRecord()) {
        owner->SetNewRecord(false);
        return true;
    }
    // The parents are the selected node's; the new entry's own value is the one typed.
    const RangeKeyParts selected = owner->KeyParts();
    const RangeKeyParts entry = owner->EntryValues();
    QStringList keys;
    if (t == 0)
        keys = {entry.COA};
    else if (t == 1)
        keys = {selected.COA, entry.level};
    else if (t == 2)
        keys = {selected.COA, selected.level, entry.Code};
    else
        keys = {selected.COA, selected.level, selected.Code};
    const QString from = t == 3 ? entry.FR_ACCT : QString();
    const QString to = t == 3 ? entry.TO_ACCT : QString();

    const auto failed = [&] {
        owner->SetNewRecord(false);
        MsgBox(m_failure, vbCritical);
        return false;
    };
    TransactionGuard transaction(gDBConnection->adoConnection());
    if (!transaction.active())
        return Fail(QStringLiteral("Save")) || failed();
    const Existence duplicate = LevelTable().RecordExists(keys, from, to);
    if (duplicate == Existence::Failed)
        return Fail(QStringLiteral("Save")) || failed();
    if (duplicate == Existence::Present) {
        MsgBox(QString::fromLatin1(Texts().duplicates[t].text), vbExclamation,
               QString::fromLatin1(Texts().duplicates[t].title));
        return false;
    }
    const std::optional<QString> statement =
        t == 3 ? LevelTable().AddRangeOfAccount(keys, from, to) : LevelTable().AddEntry(keys);
    if (!statement || !ExecuteSQL(*statement))
        return Fail(QStringLiteral("Save")) || failed();

    MaintTree* tree = owner->Tree();
    clsGenericMaint* gm = owner->GenMaint();
    TreeNode* node = nullptr;
    if (tree && gm) {
        const QString root = owner->CurrentRoot();
        if (t == 0)
            node = gm->AddNode_ChartOfAccount(*tree, root, keys[0], TopDescription(), true);
        else if (t == 1)
            node = gm->AddNode_Level(*tree, root, keys[0], keys[1], true);
        else if (t == 2)
            node = gm->AddNode_CodCat(*tree, root, keys[0], keys[1], keys[2], owner->CodeDescription(), true,
                                      owner->MaintenanceType());
        else
            node = gm->AddNode_RangeAccount(*tree, root, keys[0], keys[1], keys[2], from, to, true);
        if (!node) {
            Err().Raise(CurrentError::UnspecifiedError,
                        QStringLiteral("The new entry cannot be shown in the tree"), ClassName());
            return Fail(QStringLiteral("Save")) || failed();
        }
    }
    if (t == 3) {
        const QString area = owner->LevelType();
        if (!CopiedUpRangeOfAccountHier(area, keys[0], keys[1], keys[2], from, to) ||
            !CopiedUpRangeOfAccountMultiHier(area, keys[0], keys[1], keys[2], from, to) ||
            !CopiedUpRangeOfAccountCategoryHier(area, keys[0], keys[1], keys[2], from, to))
            return failed();
    }
    if (!transaction.Commit())
        return Fail(QStringLiteral("Save")) || failed();
    owner->SetNewRecord(false);
    // The owner follows the new, selected node, so a Delete right after removes just that entry.
    if (node)
        owner->trvMaintenance_NodeClick(node);
    owner->SetNodeType(t + 1);
    owner->EnableNew(false);
    return true;
}

bool LevelRangeEngine::Delete() {
    RangeEditorAccess* owner = m_owner;
    if (!owner)
        return false;
    const int t = owner->NodeType();
    MaintTree* tree = owner->Tree();
    if (t >= 1 && t <= 4) {
        const RangeKeyParts k = owner->KeyParts();
        const QStringList keys = QStringList{k.COA, k.level, k.Code}.mid(0, std::min(t, 3));
        const QString from = t == 4 ? k.FR_ACCT : QString();
        const QString to = t == 4 ? k.TO_ACCT : QString();
        // A range without its bounds would name the whole code.
        if (t == 4 && (from.isEmpty() || to.isEmpty()))
            return false;
        TransactionGuard transaction(gDBConnection->adoConnection());
        if (!transaction.active())
            return Fail(QStringLiteral("Delete"));
        const Existence present = LevelTable().RecordExists(keys, from, to);
        if (present == Existence::Failed)
            return Fail(QStringLiteral("Delete"));
        // An entry no longer in the table has nothing to delete.
        if (present == Existence::Absent)
            return false;
        if (!LevelTable().DeleteEntry(keys, from, to))
            return Fail(QStringLiteral("Delete"));
        if (tree) {
            const QString key =
                clsGenericMaint::BuildLevelKey(owner->CurrentRoot(), k.COA, t >= 2 ? k.level : QString(),
                                               t >= 3 ? k.Code : QString(), from, to);
            if (TreeNode* node = tree->Node(key))
                tree->Remove(node);
        }
        if (t == 4) {
            const QString area = owner->LevelType();
            if (!DeletedUpRangeOfAccountHier(area, k.COA, k.level, k.Code, from, to) ||
                !DeletedUpRangeOfAccountMultiHier(area, k.COA, k.level, k.Code, from, to) ||
                !DeletedUpRangeOfAccountCategoryHier(area, k.COA, k.level, k.Code, from, to))
                return false;
        }
        if (!transaction.Commit())
            return Fail(QStringLiteral("Delete"));
    }
    if (tree)
        owner->trvMaintenance_NodeClick(tree->SelectedItem());
    owner->SetDelRecord(false);
    return true;
}

bool LevelRangeEngine::CopyDraggedRangOfAccount(TreeNode* nodeSource, TreeNode* nodeDestin) {
    if (!nodeSource || !nodeDestin || nodeSource->Kind() != NodeKind::RangeAccount ||
        nodeDestin->Kind() != NodeKind::CodCat)
        return false;
    const NodeInfo& target = nodeDestin->Info();
    const QStringList keys{target.account.trimmed(), target.level.trimmed(), target.code.trimmed()};
    const QString from = nodeSource->Info().fromAccount.trimmed();
    const QString to = nodeSource->Info().toAccount.trimmed();
    const auto refused = [this] {
        MsgBox(QString::fromLatin1(Texts().copyRefused), vbExclamation);
        return false;
    };
    TransactionGuard transaction(gDBConnection->adoConnection());
    if (!transaction.active())
        return Fail(QStringLiteral("CopyDraggedRangOfAccount")) || refused();
    const Existence present = LevelTable().RecordExists(keys, from, to);
    if (present == Existence::Failed)
        return Fail(QStringLiteral("CopyDraggedRangOfAccount")) || refused();
    if (present == Existence::Present) {
        MsgBox(QString::fromLatin1(Texts().duplicates[3].text), vbExclamation,
               QString::fromLatin1(Texts().duplicates[3].title));
        return false;
    }
    const std::optional<QString> statement = LevelTable().AddRangeOfAccount(keys, from, to);
    if (!statement || !ExecuteSQL(*statement))
        return Fail(QStringLiteral("CopyDraggedRangOfAccount")) || refused();
    MaintTree* tree = nodeDestin->Tree();
    if (m_owner && tree && m_owner->GenMaint()) {
        m_owner->GenMaint()->AddNode_RangeAccount(*tree, target.root, keys[0], keys[1], keys[2], from, to,
                                                  m_owner->IsNewRecord());
        tree->SetSelectedItem(nodeDestin);
        tree->SetExpanded(nodeDestin, true);
    }
    const QString area = m_owner ? m_owner->LevelType() : AreaWithoutOwner();
    if (!CopiedUpRangeOfAccountHier(area, keys[0], keys[1], keys[2], from, to) ||
        !CopiedUpRangeOfAccountMultiHier(area, keys[0], keys[1], keys[2], from, to) ||
        !CopiedUpRangeOfAccountCategoryHier(area, keys[0], keys[1], keys[2], from, to))
        return refused();
    if (!transaction.Commit())
        return Fail(QStringLiteral("CopyDraggedRangOfAccount")) || refused();
    // The selection moved to the target code: node type and key parts follow it, so a Delete after the
    // drop acts on what is shown selected rather than on the dragged range.
    if (m_owner && m_owner->Tree() == nodeDestin->Tree())
        m_owner->trvMaintenance_NodeClick(nodeDestin);
    return true;
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
    const Existence present = LevelTable().RecordExists(keys, AccountFr, AccountTo);
    if (present == Existence::Failed)
        return Fail(procedure);
    MaintTree* tree = m_owner ? m_owner->Tree() : nullptr;
    clsGenericMaint* gm = m_owner ? m_owner->GenMaint() : nullptr;
    const QString root = m_owner ? m_owner->CurrentRoot() : QString();
    if (mode == CopyMode) {
        // An ancestor already holding the range passes nothing on to its holders.
        if (present == Existence::Present)
            return true;
        const std::optional<QString> statement = LevelTable().AddRangeOfAccount(keys, AccountFr, AccountTo);
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
        const Existence fed = LevelTable().RecordExists({COA, child.level, child.code}, AccountFr, AccountTo);
        if (fed == Existence::Failed)
            return Fail(procedure);
        if (fed == Existence::Present)
            return true;
    }
    if (!LevelTable().DeleteEntry(keys, AccountFr, AccountTo))
        return Fail(procedure);
    if (tree)
        if (TreeNode* node =
                tree->Node(clsGenericMaint::BuildLevelKey(root, COA, Level, Code, AccountFr, AccountTo)))
            tree->Remove(node);
    return DeletedUpRangeOfAccountMultiHier(LvlType, COA, Level, Code, AccountFr, AccountTo) &&
           DeletedUpRangeOfAccountCategoryHier(LvlType, COA, Level, Code, AccountFr, AccountTo);
}
