#include "rangemaint/RangeTableEngine.h"

#include "frame/ErrorHandler.h"
#include "frame/ModMaintenance.h"
#include "frame/clsDBConnection.h"
#include "frame/modMain.h"
#include "platform/CurrentError.h"
#include "platform/TransactionGuard.h"
#include "platform/UserDialogs.h"
#include "services/MaintTree.h"
#include "services/TreeNode.h"
#include "services/clsGenericMaint.h"

namespace {
constexpr int kChartNode = 1;
constexpr int kLevelNode = 2;
constexpr int kCodeNode = 3;
constexpr int kRangeNode = 4;
} // namespace

bool RangeTableEngine::BoundSizes(int& from, int& to) const {
    const std::optional<QList<int>> sizes = EntryTable().DeclaredSizes();
    if (!sizes || sizes->size() < 2)
        return false;
    from = sizes->at(sizes->size() - 2);
    to = sizes->last();
    return true;
}

QString RangeTableEngine::NodeKeyOf(const QString& root, const RangeKeyParts& stored) {
    const auto shown = clsGenericMaint::ShownValue;
    return clsGenericMaint::BuildLevelKey(root, shown(stored.COA), shown(stored.level), shown(stored.Code),
                                          shown(stored.FR_ACCT), shown(stored.TO_ACCT));
}

TreeNode* RangeTableEngine::AddRangeNode(const QString& root, const RangeKeyParts& stored,
                                         bool select) const {
    MaintTree* tree = m_owner ? m_owner->Tree() : nullptr;
    clsGenericMaint* gm = m_owner ? m_owner->GenMaint() : nullptr;
    if (!tree || !gm)
        return nullptr;
    // Rows that differ only in trailing blanks are one node, as a load shows them: a range written beside one
    // padded so finds its node there.
    if (TreeNode* shown = tree->Node(NodeKeyOf(root, stored))) {
        if (select) {
            tree->SetSelectedItem(shown);
            tree->EnsureVisible(shown);
        }
        return shown;
    }
    const auto shown = clsGenericMaint::ShownValue;
    return gm->AddNode_RangeAccount(
        *tree, root, shown(stored.COA), shown(stored.level), shown(stored.Code), shown(stored.FR_ACCT),
        shown(stored.TO_ACCT), select,
        NodeRowKey{stored.COA, stored.level, stored.Code, stored.FR_ACCT, stored.TO_ACCT});
}

bool RangeTableEngine::Fail(const QString& procedure) {
    KeepDatabaseError();
    m_failure = Err().Description();
    return ErrorHandler::Fail(QString::fromLatin1(Words().engine) + QLatin1Char(':') + procedure);
}

QStringList RangeTableEngine::KeysOf(const RangeKeyParts& parts) const {
    if (EntryTable().KeyCount() == 3)
        return {parts.COA, parts.level, parts.Code};
    return {parts.COA, parts.Code};
}

RangeKeyParts RangeTableEngine::PartsOf(const QStringList& keys, const QString& from,
                                        const QString& to) const {
    if (EntryTable().KeyCount() == 3)
        return {keys.value(0), keys.value(1), keys.value(2), from, to};
    return {keys.value(0), {}, keys.value(1), from, to};
}

bool RangeTableEngine::Shows(int nodeType) const {
    return nodeType >= 0 && nodeType <= kRangeNode &&
           (nodeType != kLevelNode || EntryTable().KeyCount() == 3);
}

int RangeTableEngine::Depth(int nodeType) const {
    return nodeType >= kCodeNode ? int(EntryTable().KeyCount()) : nodeType;
}

bool RangeTableEngine::Duplicate(int nodeType) const {
    MsgBox(QString::fromLatin1(Words().duplicates[nodeType].text), vbExclamation,
           QString::fromLatin1(Words().duplicates[nodeType].title));
    return false;
}

Existence RangeTableEngine::AddUnlessPresent(const TransactionGuard& transaction, const QStringList& keys,
                                             const RangeKeyParts& entry, bool range) const {
    if (!transaction.active())
        return Existence::Failed;
    const Existence present = EntryTable().RecordExists(keys, entry.FR_ACCT, entry.TO_ACCT);
    if (present != Existence::Absent)
        return present;
    const std::optional<QString> statement =
        range ? EntryTable().AddRangeOfAccount(keys, entry.FR_ACCT, entry.TO_ACCT)
              : EntryTable().AddEntry(keys);
    return statement && ExecuteSQLChangingRows(*statement) ? Existence::Absent : Existence::Failed;
}

bool RangeTableEngine::Save() {
    RangeEditorAccess* owner = m_owner;
    if (!owner)
        return false;
    const int t = owner->NodeType();
    if (t == kRangeNode || !Shows(t) || !owner->IsNewRecord()) {
        if (Words().nothingSavedAnswers)
            owner->SetNewRecord(false);
        return Words().nothingSavedAnswers;
    }
    // The node the new entry gets: the next type the tree shows.
    const int child = t == kCodeNode ? kRangeNode : Shows(t + 1) ? t + 1 : t + 2;
    // The parents are the selected node's, as stored; the new entry's own value is the one typed.
    const RangeKeyParts entry = owner->EntryValues();
    QStringList keys = KeysOf(owner->StoredKeyParts()).mid(0, Depth(child));
    if (child != kRangeNode)
        keys.last() = KeysOf(entry).at(keys.size() - 1);
    const RangeKeyParts added = child == kRangeNode ? PartsOf(keys, entry.FR_ACCT, entry.TO_ACCT)
                                                    : PartsOf(keys, QString(), QString());

    const QString procedure = QStringLiteral("Save");
    // Every message comes after the rollback: no lock waits on the user, and the tree behind the
    // message already shows what the tables hold.
    TransactionGuard transaction(gDBConnection->adoConnection());
    const auto failed = [&] {
        // Shown once the action is undone, in place of a failed look-up's own message.
        ErrorHandler::Tell(m_failure, vbCritical);
        transaction.Rollback();
        owner->SetNewRecord(false);
        return false;
    };
    const Existence before = AddUnlessPresent(transaction, keys, added, child == kRangeNode);
    if (before == Existence::Failed)
        return Fail(procedure) || failed();
    if (before == Existence::Present) {
        transaction.Rollback();
        return Duplicate(t);
    }

    MaintTree* tree = owner->Tree();
    clsGenericMaint* gm = owner->GenMaint();
    TreeNode* node = nullptr;
    if (tree && gm) {
        // Under the parent's node, which shows its stored values without trailing blanks.
        const QString root = owner->CurrentRoot();
        const auto shown = clsGenericMaint::ShownValue;
        const NodeRowKey stored{added.COA, added.level, added.Code};
        if (child == kChartNode)
            node = gm->AddNode_ChartOfAccount(*tree, root, added.COA, TopDescription(), true);
        else if (child == kLevelNode)
            node = gm->AddNode_Level(*tree, root, shown(added.COA), added.level, true, stored);
        else if (child == kCodeNode)
            node = gm->AddNode_CodCat(*tree, root, shown(added.COA), shown(added.level), added.Code,
                                      owner->CodeDescription(), true, owner->MaintenanceType(), stored);
        else
            node = AddRangeNode(root, added, true);
        if (!node) {
            Err().Raise(CurrentError::UnspecifiedError,
                        QStringLiteral("The new entry cannot be shown in the tree"),
                        QString::fromLatin1(Words().engine));
            return Fail(procedure) || failed();
        }
    }
    if (child == kRangeNode && !RangeAdded(owner->LevelType(), added))
        return failed();
    if (!transaction.Commit())
        return Fail(procedure) || failed();
    owner->SetNewRecord(false);
    // The owner follows the new, selected node, so its key parts name just that entry and its selection
    // offers Delete for it; New stays off until the user selects a node.
    if (node)
        owner->trvMaintenance_NodeClick(node);
    owner->SetNodeType(child);
    owner->EnableNew(false);
    return true;
}

bool RangeTableEngine::Delete() {
    RangeEditorAccess* owner = m_owner;
    if (!owner)
        return false;
    const int t = owner->NodeType();
    MaintTree* tree = owner->Tree();
    if (t >= kChartNode && Shows(t)) {
        // The rows as stored, blanks included, so the Delete removes what the node stands for.
        const RangeKeyParts k = owner->StoredKeyParts();
        const QStringList keys = KeysOf(k).mid(0, Depth(t));
        const RangeKeyParts removed =
            t == kRangeNode ? PartsOf(keys, k.FR_ACCT, k.TO_ACCT) : PartsOf(keys, QString(), QString());
        // A range without both bounds would name every range of the code; one with a single empty bound
        // (another program's) is named by its pair, as any other.
        if (t == kRangeNode && removed.FR_ACCT.isEmpty() && removed.TO_ACCT.isEmpty()) {
            ErrorHandler::Tell(QStringLiteral("The range has neither a From nor a To value, so its delete "
                                              "would take every range of the code."),
                               vbExclamation);
            return false;
        }
        const QString procedure = QStringLiteral("Delete");
        m_failure.clear();
        TransactionGuard transaction(gDBConnection->adoConnection());
        // Why, once the action is undone; the editor then says the Delete was cancelled.
        const auto failed = [&] {
            ErrorHandler::Tell(m_failure, vbCritical);
            transaction.Rollback();
            return false;
        };
        // An entry no longer in the table fails: its delete changes no row.
        if (!transaction.active() || !EntryTable().DeleteEntry(keys, removed.FR_ACCT, removed.TO_ACCT))
            return Fail(procedure) || failed();
        if (tree)
            if (TreeNode* node = tree->Node(NodeKeyOf(owner->CurrentRoot(), removed)))
                tree->Remove(node);
        if (t == kRangeNode && !RangeRemoved(owner->LevelType(), removed))
            return failed();
        if (!transaction.Commit())
            return Fail(procedure) || failed();
        // Delete stays offered after a level, code or range went, not after a whole chart; the selection
        // that follows sets it for its own node.
        owner->EnableDelete(t != kChartNode);
    }
    if (tree)
        owner->trvMaintenance_NodeClick(tree->SelectedItem());
    owner->SetDelRecord(false);
    return true;
}

bool RangeTableEngine::CopyDraggedRangOfAccount(TreeNode* nodeSource, TreeNode* nodeDestin) {
    if (!nodeSource || !nodeDestin || nodeSource->Kind() != NodeKind::RangeAccount ||
        nodeDestin->Kind() != NodeKind::CodCat)
        return false;
    // Chart, level, code and bounds come from the rows the nodes stand for, as stored, never from their
    // texts.
    const NodeInfo& target = nodeDestin->Info();
    const NodeRowKey code = target.StoredKey(), range = nodeSource->Info().StoredKey();
    const QStringList keys = KeysOf({code.account, code.level, code.code});
    const RangeKeyParts added = PartsOf(keys, range.fromAccount, range.toAccount);
    const QString procedure = QStringLiteral("CopyDraggedRangOfAccount");
    m_failure.clear();
    TransactionGuard transaction(gDBConnection->adoConnection());
    const auto refused = [&] {
        // Why first, once the action is undone, as a refused Save tells it; then what was refused.
        if (!m_failure.isEmpty())
            ErrorHandler::Tell(m_failure, vbCritical);
        transaction.Rollback();
        ErrorHandler::Tell(QString::fromLatin1(Words().copyRefused), vbExclamation);
        return false;
    };
    const Existence before = AddUnlessPresent(transaction, keys, added, true);
    if (before == Existence::Failed)
        return Fail(procedure) || refused();
    if (before == Existence::Present) {
        transaction.Rollback();
        return Duplicate(kCodeNode);
    }
    MaintTree* tree = nodeDestin->Tree();
    if (m_owner && tree && m_owner->Tree() == tree) {
        AddRangeNode(target.root, added, false);
        tree->SetSelectedItem(nodeDestin);
        tree->SetExpanded(nodeDestin, true);
    }
    if (!RangeAdded(m_owner ? m_owner->LevelType() : AreaWithoutOwner(), added))
        return refused();
    if (!transaction.Commit())
        return Fail(procedure) || refused();
    // The selection moved to the target code: node type and key parts follow it, so a Delete after the
    // drop acts on what is shown selected rather than on the dragged range.
    if (m_owner && m_owner->Tree() == tree)
        m_owner->trvMaintenance_NodeClick(nodeDestin);
    return true;
}
