#include "rangemaint/HolderRangeEngine.h"

#include "frame/ErrorHandler.h"
#include "frame/ModMaintenance.h"
#include "frame/clsDBConnection.h"
#include "frame/modMain.h"
#include "platform/CurrentError.h"
#include "platform/TransactionGuard.h"
#include "platform/UserDialogs.h"
#include "rangemaint/RangeEditorAccess.h"
#include "services/MaintTree.h"
#include "services/TreeNode.h"
#include "services/clsGenericMaint.h"

bool HolderRangeEngine::Fail(const QString& procedure) {
    KeepDatabaseError();
    m_failure = Err().Description();
    return ErrorHandler::Fail(Words().engine + QLatin1Char(':') + procedure);
}

bool HolderRangeEngine::Save() {
    RangeEditorAccess* owner = m_owner;
    if (!owner)
        return false;
    // The tree holds charts (1), holders (3) and ranges (4): only the root, a chart and a holder take a
    // child.
    const int t = owner->NodeType();
    if ((t != 0 && t != 1 && t != 3) || !owner->IsNewRecord()) {
        if (Words().saveNothingAnswers)
            owner->SetNewRecord(false);
        return Words().saveNothingAnswers;
    }
    // The parents are the selected node's; the new entry's own value is the one typed.
    const RangeKeyParts selected = owner->KeyParts();
    const RangeKeyParts entry = owner->EntryValues();
    const QStringList keys = t == 0   ? QStringList{entry.COA}
                             : t == 1 ? QStringList{selected.COA, entry.Code}
                                      : QStringList{selected.COA, selected.Code};
    const QString from = t == 3 ? entry.FR_ACCT : QString();
    const QString to = t == 3 ? entry.TO_ACCT : QString();

    const QString procedure = QStringLiteral("Save");
    const auto failed = [&] {
        owner->SetNewRecord(false);
        MsgBox(m_failure, vbCritical);
        return false;
    };
    TransactionGuard transaction(gDBConnection->adoConnection());
    if (!transaction.active())
        return Fail(procedure) || failed();
    const Existence duplicate = Table().RecordExists(keys, from, to);
    if (duplicate == Existence::Failed)
        return Fail(procedure) || failed();
    if (duplicate == Existence::Present) {
        if (t == 0)
            MsgBox(QStringLiteral("Chart of Account already exists"), vbExclamation,
                   QStringLiteral("Duplicate Account"));
        else if (t == 1)
            MsgBox(Words().holderExists, vbExclamation, Words().holderTitle);
        else
            MsgBox(Words().rangeExists, vbExclamation, QStringLiteral("Duplicate Range of Account"));
        return false;
    }
    const std::optional<QString> statement =
        t == 3 ? Table().AddRangeOfAccount(keys, from, to) : Table().AddEntry(keys);
    if (!statement || !ExecuteSQL(*statement))
        return Fail(procedure) || failed();

    MaintTree* tree = owner->Tree();
    clsGenericMaint* gm = owner->GenMaint();
    if (tree && gm) {
        const QString root = owner->CurrentRoot();
        TreeNode* node = nullptr;
        if (t == 0)
            node = gm->AddNode_ChartOfAccount(*tree, root, keys[0], QString(), true);
        else if (t == 1)
            node = gm->AddNode_CodCat(*tree, root, keys[0], QString(), keys[1], owner->CodeDescription(),
                                      true, owner->MaintenanceType());
        else
            node = gm->AddNode_RangeAccount(*tree, root, keys[0], QString(), keys[1], from, to, true);
        if (!node) {
            Err().Raise(CurrentError::UnspecifiedError,
                        QStringLiteral("The new entry cannot be shown in the tree"), Words().engine);
            return Fail(procedure) || failed();
        }
    }
    if (!transaction.Commit())
        return Fail(procedure) || failed();
    owner->SetNodeType(t == 0 ? 1 : t == 1 ? 3 : 4);
    owner->EnableNew(false);
    owner->SetNewRecord(false);
    return true;
}

bool HolderRangeEngine::Delete() {
    RangeEditorAccess* owner = m_owner;
    if (!owner)
        return false;
    const int t = owner->NodeType();
    MaintTree* tree = owner->Tree();
    if (t == 1 || t == 3 || t == 4) {
        const QString procedure = QStringLiteral("Delete");
        const RangeKeyParts k = owner->KeyParts();
        const QStringList keys = t == 1 ? QStringList{k.COA} : QStringList{k.COA, k.Code};
        const QString from = t == 4 ? k.FR_ACCT : QString();
        const QString to = t == 4 ? k.TO_ACCT : QString();
        TransactionGuard transaction(gDBConnection->adoConnection());
        if (!transaction.active())
            return Fail(procedure);
        const Existence present = Table().RecordExists(keys, from, to);
        if (present == Existence::Failed)
            return Fail(procedure);
        // An entry no longer in the table has nothing to delete.
        if (present == Existence::Absent)
            return false;
        if (!Table().DeleteEntry(keys, from, to))
            return Fail(procedure);
        if (tree)
            if (TreeNode* node = tree->Node(clsGenericMaint::BuildKey(
                    owner->CurrentRoot(), k.COA, t >= 3 ? k.Code : QString(), from, to, QString())))
                tree->Remove(node);
        if (!transaction.Commit())
            return Fail(procedure);
        owner->EnableDelete(t != 1);
    }
    if (tree)
        owner->trvMaintenance_NodeClick(tree->SelectedItem());
    owner->SetDelRecord(false);
    return true;
}

bool HolderRangeEngine::CopyDraggedRangOfAccount(TreeNode* nodeSource, TreeNode* nodeDestin) {
    if (!nodeSource || !nodeDestin || nodeSource->Kind() != NodeKind::RangeAccount ||
        nodeDestin->Kind() != NodeKind::CodCat)
        return false;
    // Chart, holder and bounds come from what the nodes were built of, never from their texts.
    const NodeInfo& target = nodeDestin->Info();
    const QStringList keys{target.account.trimmed(), target.code.trimmed()};
    const QString from = nodeSource->Info().fromAccount.trimmed();
    const QString to = nodeSource->Info().toAccount.trimmed();
    const QString procedure = QStringLiteral("CopyDraggedRangOfAccount");
    const auto refused = [this] {
        MsgBox(Words().rangeNotAdded, vbExclamation);
        return false;
    };
    TransactionGuard transaction(gDBConnection->adoConnection());
    if (!transaction.active())
        return Fail(procedure) || refused();
    const Existence present = Table().RecordExists(keys, from, to);
    if (present == Existence::Failed)
        return Fail(procedure) || refused();
    if (present == Existence::Present) {
        MsgBox(Words().rangeExists, vbExclamation, QStringLiteral("Duplicate Range of Account"));
        return false;
    }
    const std::optional<QString> statement = Table().AddRangeOfAccount(keys, from, to);
    if (!statement || !ExecuteSQL(*statement))
        return Fail(procedure) || refused();
    MaintTree* tree = nodeDestin->Tree();
    if (m_owner && tree && m_owner->GenMaint()) {
        m_owner->GenMaint()->AddNode_RangeAccount(*tree, target.root, keys[0], QString(), keys[1], from, to,
                                                  false);
        tree->SetSelectedItem(nodeDestin);
        tree->SetExpanded(nodeDestin, true);
    }
    if (!transaction.Commit())
        return Fail(procedure) || refused();
    return true;
}
