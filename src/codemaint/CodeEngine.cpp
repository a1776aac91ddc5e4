#include "codemaint/CodeEngine.h"

#include "codemaint/CodeEditorAccess.h"
#include "codemaint/CodeNodes.h"
#include "codemaint/HierarchyTable.h"
#include "frame/ErrorHandler.h"
#include "frame/ModMaintenance.h"
#include "frame/clsDBConnection.h"
#include "frame/modMain.h"
#include "platform/CurrentError.h"
#include "platform/TransactionGuard.h"
#include "platform/UserDialogs.h"
#include "services/MaintTree.h"
#include "services/TreeNode.h"

namespace {
// The leaves of both trees: a code under a multiplier's or category's level, a child under a parent code.
constexpr qint32 kLeaf = 4;
// The procedures a failure is reported under besides Save and Delete: the existence check and the copy or
// removal of ranges.
const QString kRecordExists = QStringLiteral("RecordExists");
const QString kRangeCopy = QStringLiteral("MaintRangeOfAccountHier");
} // namespace

QString CodeEngine::FilterCondition(const QString& lead) const {
    const QString filter = m_frmOwner ? m_frmOwner->FilterText().trimmed() : QString();
    if (filter.isEmpty())
        return {};
    return lead + SqlText(filter);
}

bool CodeEngine::Fail(const QString& procedure) const {
    // Why, in the database's words (a read-only table, a constraint, a lock held too long), as the range
    // engines tell it; the editor's own message follows.
    return RangeEngine::FailTelling(ClassName() + QLatin1Char(':') + procedure);
}

TreeNode* CodeEngine::AddNode(const NewEntry& entry) const {
    return CodeNodes::Entry(*m_frmOwner->GenMaint(), *m_frmOwner->Tree(), m_frmOwner->CurrentRoot(),
                            m_frmOwner->MaintenanceType(), entry.nodeType, KeyPartsOf(entry.values),
                            entry.description, true);
}

QString CodeEngine::NodeKey(const Entry& entry) const {
    return CodeNodes::EntryKey(m_frmOwner->CurrentRoot(), m_frmOwner->MaintenanceType(), entry.nodeType,
                               KeyPartsOf(entry.values));
}

bool CodeEngine::Save() {
    CodeEditorAccess* owner = m_frmOwner;
    const HierarchyTable* table = Hierarchy();
    if (!owner || !table)
        return false;
    NewEntry entry;
    if (!owner->IsNewRecord() || !EntryToAdd(owner->NodeType(), entry)) {
        owner->SetNewRecord(false);
        return true;
    }
    // The insert stays pending, so a corrected Save writes it.
    const auto failed = [&](const QString& procedure = QStringLiteral("Save")) {
        owner->SetNewRecord(true);
        return Fail(procedure);
    };
    TransactionGuard transaction(gDBConnection->adoConnection());
    if (!transaction.active())
        return failed();
    const Existence duplicate = table->Exists(entry.values, entry.ignored);
    if (duplicate == Existence::Failed)
        return failed(kRecordExists);
    // A refusal is told after the rollback, so no lock waits on the user's answer.
    if (duplicate == Existence::Present) {
        transaction.Rollback();
        MsgBox(entry.message, vbExclamation, entry.title);
        return false;
    }
    const Existence conflict = Conflict(entry);
    if (conflict == Existence::Failed)
        return failed();
    if (conflict == Existence::Present) {
        transaction.Rollback();
        MsgBox(QStringLiteral("Child Code is an ancestor of the current Parent Code and cannot be its child"),
               vbExclamation, QStringLiteral("Circular Hierarchy"));
        return false;
    }
    // An engine driven without its editor may be handed a value no lookup would offer: one longer than its
    // column is refused in words, as the range tables refuse it, before anything is written.
    if (!table->Fits(entry.values))
        return failed();
    const std::optional<QString> statement = table->AddEntry(entry.values, entry.parentDepth);
    if (!statement || !ExecuteSQLChangingRows(*statement))
        return failed();
    TreeNode* node = nullptr;
    if (owner->Tree() && owner->GenMaint()) {
        node = AddNode(entry);
        if (!node) {
            Err().Raise(CurrentError::UnspecifiedError,
                        QStringLiteral("The new entry cannot be shown in the tree"), ClassName());
            return failed();
        }
    }
    if (entry.nodeType == kLeaf && !MaintRangeOfAccountHier(entry.values, true))
        return failed(kRangeCopy);
    if (!transaction.Commit())
        return failed();
    owner->SetNewRecord(false);
    // The owner follows the new, selected node, so a Delete right after removes just that entry.
    if (node)
        owner->trvMaintenance_NodeClick(node);
    owner->SetNodeType(entry.nodeType);
    owner->EnableNew(false);
    return true;
}

bool CodeEngine::Delete() {
    CodeEditorAccess* owner = m_frmOwner;
    const HierarchyTable* table = Hierarchy();
    if (!owner || !table)
        return false;
    MaintTree* tree = owner->Tree();
    Entry entry;
    if (EntryToDelete(owner->NodeType(), entry)) {
        const auto failed = [&](const QString& procedure = QStringLiteral("Delete")) {
            owner->SetDelRecord(true);
            return Fail(procedure);
        };
        TransactionGuard transaction(gDBConnection->adoConnection());
        if (!transaction.active())
            return failed();
        const Existence present = table->Exists(entry.values, entry.ignored);
        if (present == Existence::Failed)
            return failed(kRecordExists);
        // The entry was in the tree the user chose it from: another user has removed it meanwhile.
        if (present == Existence::Absent)
            return FailWarehouseChanged() || failed();
        if (entry.nodeType == kLeaf && !Detaching(entry))
            return failed(kRangeCopy);
        if (!table->DeleteEntry(entry.values, entry.parentDepth, entry.ignored))
            return failed();
        if (entry.nodeType == kLeaf && !MaintRangeOfAccountHier(entry.values, false))
            return failed(kRangeCopy);
        if (tree)
            if (TreeNode* node = tree->Node(NodeKey(entry)))
                tree->Remove(node);
        if (!transaction.Commit())
            return failed();
        owner->EnableDelete(DeleteStaysOn(entry.nodeType));
    }
    if (tree && tree->SelectedItem())
        owner->trvMaintenance_NodeClick(tree->SelectedItem());
    owner->SetDelRecord(false);
    return true;
}
