#include "rangemaint/clsAcLevelRangeMaint.h"

#include "frame/ErrorHandler.h"
#include "frame/ModMaintenance.h"
#include "frame/clsDBConnection.h"
#include "frame/modMain.h"
#include "platform/CurrentError.h"
#include "platform/MousePointer.h"
#include "platform/Recordset.h"
#include "platform/TransactionGuard.h"
#include "platform/UserDialogs.h"
#include "rangemaint/LevelHierarchyWalk.h"
#include "rangemaint/RangeEditorAccess.h"
#include "rangemaint/clsAcCategoriesRangeMaint.h"
#include "rangemaint/clsAcMultiplierRangeMaint.h"
#include "services/MaintTree.h"
#include "services/TreeNode.h"
#include "services/clsGenericMaint.h"

#include <QTreeWidget>

namespace {
// The level columns of CHART_OF_ACCOUNT run from 1 to 7.
constexpr int kLastAccountLevel = 7;
} // namespace

RangeTreeColumns clsAcLevelRangeMaint::TreeColumns() const {
    return {QStringLiteral("CO_COA"), QStringLiteral("CO_LEVEL"),   QStringLiteral("CO_CODE"),
            QStringLiteral("SODESC"), QStringLiteral("CO_FR_ACCT"), QStringLiteral("CO_TO_ACCT")};
}

QString clsAcLevelRangeMaint::GetSQL_Level() const {
    return QStringLiteral("Select distinct CO_COA, CO_LEVEL, CO_CODE, SODESC, CO_FR_ACCT, CO_TO_ACCT"
                          " From CS_COA_ACCT_RANGE "
                          " left outer join CS_SOURCE on CS_COA_ACCT_RANGE.CO_LEVEL = CS_SOURCE.SOLEVEL"
                          " and CS_COA_ACCT_RANGE.CO_CODE = CS_SOURCE.SOCODE"
                          " and CS_SOURCE.SOAREA = 'AC'") +
           FilterCondition(QStringLiteral(" Where "), QStringLiteral("CO_FR_ACCT"),
                           QStringLiteral("CO_TO_ACCT")) +
           QStringLiteral(" Order by CO_COA, CO_LEVEL, CO_CODE, CO_FR_ACCT, CO_TO_ACCT");
}

void clsAcLevelRangeMaint::PopulateAccountList(const QString& m_COA, const QString& m_level,
                                               const QString& /*m_Code*/, qint16 m_BLOCKED_FLG) {
    const QString location = QStringLiteral("clsAcLevelRangeMaint:PopulateAccountList");
    MousePointer hourglass;
    QTreeWidget* list = BeginListFill();
    int n = 0;
    if (!LevelNumber(m_level, n)) {
        Err().Raise(13, QStringLiteral("Type mismatch"), location);
        ErrorHandler::Fail(location);
    }
    if (list && n >= 1 && n <= kLastAccountLevel) {
        const QString no = QStringLiteral("ACCOUNT_LVL_%1_NO").arg(n);
        const QString nm = QStringLiteral("ACCOUNT_LVL_%1_NM").arg(n);
        QString sql = QStringLiteral("Select distinct ACCOUNT_NO, ACCOUNT_NM, ") + no + QStringLiteral(", ") +
                      nm + QStringLiteral(" from CHART_OF_ACCOUNT") +
                      QStringLiteral(" where BUSINESS_UNIT_ID = ") + SqlText(m_COA);
        if (m_BLOCKED_FLG != 1)
            sql += QStringLiteral("and BLOCKED_FLG = ") + SqlText(QString::number(m_BLOCKED_FLG));
        sql += QStringLiteral(" Order by ACCOUNT_NO, ") + no;
        Recordset rs = GetRecordset(sql);
        if (rs.IsNothing()) {
            ErrorHandler::Fail(location);
        } else {
            const QStringList columns{QStringLiteral("ACCOUNT_NO"), QStringLiteral("ACCOUNT_NM"), no, nm};
            for (; !rs.IsEOF(); rs.MoveNext())
                AddListRow(list, rs, columns);
            rs.Close();
        }
    }
    EndListFill();
}

const RangeTable& clsAcLevelRangeMaint::Table() {
    static const RangeTable table(
        QStringLiteral("CS_COA_ACCT_RANGE"),
        {QStringLiteral("CO_COA"), QStringLiteral("CO_LEVEL"), QStringLiteral("CO_CODE")},
        QStringLiteral("CO_FR_ACCT"), QStringLiteral("CO_TO_ACCT"));
    return table;
}

Existence clsAcLevelRangeMaint::RecordExists(const QString& m_CO_COA, const QString& m_CO_LEVEL,
                                             const QString& m_CO_CODE, const QString& m_CO_FR_ACCT,
                                             const QString& m_CO_TO_ACCT) {
    return Table().RecordExists({m_CO_COA, m_CO_LEVEL, m_CO_CODE}, m_CO_FR_ACCT, m_CO_TO_ACCT);
}

std::optional<QString> clsAcLevelRangeMaint::AddRangeOfAccount(const QString& m_CO_COA,
                                                               const QString& m_CO_LEVEL,
                                                               const QString& m_CO_CODE,
                                                               const QString& m_CO_FR_ACCT,
                                                               const QString& m_CO_TO_ACCT) {
    return Table().AddRangeOfAccount({m_CO_COA, m_CO_LEVEL, m_CO_CODE}, m_CO_FR_ACCT, m_CO_TO_ACCT);
}

QString clsAcLevelRangeMaint::DeleteRangeOfAccount(const QString& m_CO_COA, const QString& m_CO_LEVEL,
                                                   const QString& m_CO_CODE, const QString& m_CO_FR_ACCT,
                                                   const QString& m_CO_TO_ACCT) const {
    return Table().DeleteRangeOfAccount({m_CO_COA, m_CO_LEVEL, m_CO_CODE}, m_CO_FR_ACCT, m_CO_TO_ACCT);
}

bool clsAcLevelRangeMaint::Fail(const QString& procedure) {
    KeepDatabaseError();
    m_failure = Err().Description();
    return ErrorHandler::Fail(QStringLiteral("clsAcLevelRangeMaint:") + procedure);
}

// ---------------------------------------------------------------------------------------------------------
// Save, Delete and the drag copy

namespace {

struct Duplicate {
    const char* text;
    const char* title;
};

const Duplicate kDuplicates[] = {
    {"Chart of Account already exists", "Duplicate Account"},
    {"Level already exists within current Account", "Duplicate Level"},
    {"Code already exists within current Level", "Duplicate Code"},
    {"Account Range already exists within current Code", "Duplicate Range of Account"},
};

} // namespace

bool clsAcLevelRangeMaint::Save() {
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
    const Existence duplicate = Table().RecordExists(keys, from, to);
    if (duplicate == Existence::Failed)
        return Fail(QStringLiteral("Save")) || failed();
    if (duplicate == Existence::Present) {
        MsgBox(QString::fromLatin1(kDuplicates[t].text), vbExclamation,
               QString::fromLatin1(kDuplicates[t].title));
        return false;
    }
    const std::optional<QString> statement =
        t == 3 ? Table().AddRangeOfAccount(keys, from, to) : Table().AddEntry(keys);
    if (!statement || !ExecuteSQL(*statement))
        return Fail(QStringLiteral("Save")) || failed();

    MaintTree* tree = owner->Tree();
    clsGenericMaint* gm = owner->GenMaint();
    TreeNode* node = nullptr;
    if (tree && gm) {
        const QString root = owner->CurrentRoot();
        if (t == 0)
            node = gm->AddNode_ChartOfAccount(*tree, root, keys[0], QString(), true);
        else if (t == 1)
            node = gm->AddNode_Level(*tree, root, keys[0], keys[1], true);
        else if (t == 2)
            node =
                gm->AddNode_CodCat(*tree, root, keys[0], keys[1], keys[2], owner->CodeDescription(), true, 3);
        else
            node = gm->AddNode_RangeAccount(*tree, root, keys[0], keys[1], keys[2], from, to, true);
        if (!node) {
            Err().Raise(CurrentError::UnspecifiedError,
                        QStringLiteral("The new entry cannot be shown in the tree"),
                        QStringLiteral("clsAcLevelRangeMaint"));
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

bool clsAcLevelRangeMaint::Delete() {
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
        const Existence present = Table().RecordExists(keys, from, to);
        if (present == Existence::Failed)
            return Fail(QStringLiteral("Delete"));
        // An entry no longer in the table has nothing to delete.
        if (present == Existence::Absent)
            return false;
        if (!Table().DeleteEntry(keys, from, to))
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

bool clsAcLevelRangeMaint::CopyDraggedRangOfAccount(TreeNode* nodeSource, TreeNode* nodeDestin) {
    if (!nodeSource || !nodeDestin || nodeSource->Kind() != NodeKind::RangeAccount ||
        nodeDestin->Kind() != NodeKind::CodCat)
        return false;
    const NodeInfo& target = nodeDestin->Info();
    const QStringList keys{target.account.trimmed(), target.level.trimmed(), target.code.trimmed()};
    const QString from = nodeSource->Info().fromAccount.trimmed();
    const QString to = nodeSource->Info().toAccount.trimmed();
    const auto refused = [] {
        MsgBox(QStringLiteral("Range of Account cannot be added within selected Code"), vbExclamation);
        return false;
    };
    TransactionGuard transaction(gDBConnection->adoConnection());
    if (!transaction.active())
        return Fail(QStringLiteral("CopyDraggedRangOfAccount")) || refused();
    const Existence present = Table().RecordExists(keys, from, to);
    if (present == Existence::Failed)
        return Fail(QStringLiteral("CopyDraggedRangOfAccount")) || refused();
    if (present == Existence::Present) {
        MsgBox(QString::fromLatin1(kDuplicates[3].text), vbExclamation,
               QString::fromLatin1(kDuplicates[3].title));
        return false;
    }
    const std::optional<QString> statement = Table().AddRangeOfAccount(keys, from, to);
    if (!statement || !ExecuteSQL(*statement))
        return Fail(QStringLiteral("CopyDraggedRangOfAccount")) || refused();
    MaintTree* tree = nodeDestin->Tree();
    if (m_owner && tree && m_owner->GenMaint()) {
        m_owner->GenMaint()->AddNode_RangeAccount(*tree, target.root, keys[0], keys[1], keys[2], from, to,
                                                  m_owner->IsNewRecord());
        tree->SetSelectedItem(nodeDestin);
        tree->SetExpanded(nodeDestin, true);
    }
    const QString area = m_owner ? m_owner->LevelType() : QStringLiteral("AC");
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

bool clsAcLevelRangeMaint::CopiedUpRangeOfAccountHier(const QString& LvlType, const QString& COA,
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

bool clsAcLevelRangeMaint::DeletedUpRangeOfAccountHier(const QString& LvlType, const QString& COA,
                                                       const QString& Level, const QString& Code,
                                                       const QString& AccountFr, const QString& AccountTo) {
    if (AccountFr.trimmed().isEmpty() || AccountTo.trimmed().isEmpty())
        return true;
    LevelHierarchyWalk walk(LvlType, COA);
    std::vector<LevelHierarchyWalk::Code> ancestors;
    if (!walk.Ancestors({Level, Code}, ancestors))
        return Fail(QStringLiteral("DeletedUpRangeOfAccountHier"));
    // From the bottom up, so each ancestor sees what its children kept.
    for (const LevelHierarchyWalk::Code& a : walk.BottomUp())
        if (!CopyDelRangeOfAccountHier(LvlType, COA, a.level, a.code, AccountFr, AccountTo, DeleteMode))
            return false;
    return true;
}

bool clsAcLevelRangeMaint::CopyDelRangeOfAccountHier(const QString& LvlType, const QString& COA,
                                                     const QString& Level, const QString& Code,
                                                     const QString& AccountFr, const QString& AccountTo,
                                                     int mode) {
    const QString procedure = QStringLiteral("CopyDelRangeOfAccountHier");
    if (mode != CopyMode && mode != DeleteMode)
        return true;
    const QStringList keys{COA, Level, Code};
    const Existence present = Table().RecordExists(keys, AccountFr, AccountTo);
    if (present == Existence::Failed)
        return Fail(procedure);
    MaintTree* tree = m_owner ? m_owner->Tree() : nullptr;
    clsGenericMaint* gm = m_owner ? m_owner->GenMaint() : nullptr;
    const QString root = m_owner ? m_owner->CurrentRoot() : QString();
    if (mode == CopyMode) {
        // An ancestor already holding the range passes nothing on to its holders.
        if (present == Existence::Present)
            return true;
        const std::optional<QString> statement = Table().AddRangeOfAccount(keys, AccountFr, AccountTo);
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
        const Existence fed = Table().RecordExists({COA, child.level, child.code}, AccountFr, AccountTo);
        if (fed == Existence::Failed)
            return Fail(procedure);
        if (fed == Existence::Present)
            return true;
    }
    if (!Table().DeleteEntry(keys, AccountFr, AccountTo))
        return Fail(procedure);
    if (tree)
        if (TreeNode* node =
                tree->Node(clsGenericMaint::BuildLevelKey(root, COA, Level, Code, AccountFr, AccountTo)))
            tree->Remove(node);
    return DeletedUpRangeOfAccountMultiHier(LvlType, COA, Level, Code, AccountFr, AccountTo) &&
           DeletedUpRangeOfAccountCategoryHier(LvlType, COA, Level, Code, AccountFr, AccountTo);
}

bool clsAcLevelRangeMaint::CopiedUpRangeOfAccountMultiHier(const QString& LvlType, const QString& COA,
                                                           const QString& Level, const QString& Code,
                                                           const QString& AccountFr,
                                                           const QString& AccountTo) {
    return PropagateToHolders(true, true, LvlType, COA, Level, Code, AccountFr, AccountTo,
                              QStringLiteral("CopiedUpRangeOfAccountMultiHier"));
}

bool clsAcLevelRangeMaint::DeletedUpRangeOfAccountMultiHier(const QString& LvlType, const QString& COA,
                                                            const QString& Level, const QString& Code,
                                                            const QString& AccountFr,
                                                            const QString& AccountTo) {
    return PropagateToHolders(false, true, LvlType, COA, Level, Code, AccountFr, AccountTo,
                              QStringLiteral("DeletedUpRangeOfAccountMultiHier"));
}

bool clsAcLevelRangeMaint::CopiedUpRangeOfAccountCategoryHier(const QString& LvlType, const QString& COA,
                                                              const QString& Level, const QString& Code,
                                                              const QString& AccountFr,
                                                              const QString& AccountTo) {
    return PropagateToHolders(true, false, LvlType, COA, Level, Code, AccountFr, AccountTo,
                              QStringLiteral("CopiedUpRangeOfAccountCategoryHier"));
}

bool clsAcLevelRangeMaint::DeletedUpRangeOfAccountCategoryHier(const QString& LvlType, const QString& COA,
                                                               const QString& Level, const QString& Code,
                                                               const QString& AccountFr,
                                                               const QString& AccountTo) {
    return PropagateToHolders(false, false, LvlType, COA, Level, Code, AccountFr, AccountTo,
                              QStringLiteral("DeletedUpRangeOfAccountCategoryHier"));
}

bool clsAcLevelRangeMaint::PropagateToHolders(bool copy, bool multipliers, const QString& LvlType,
                                              const QString& COA, const QString& Level, const QString& Code,
                                              const QString& AccountFr, const QString& AccountTo,
                                              const QString& procedure) {
    if (AccountFr.trimmed().isEmpty() || AccountTo.trimmed().isEmpty())
        return true;
    const QString hierarchy =
        multipliers ? QStringLiteral("CS_MULTIPLIERHIER") : QStringLiteral("CS_CATEGORYHIER");
    const QString holderColumn =
        multipliers ? QStringLiteral("CS_MULTIPLIER") : QStringLiteral("CS_CATEGORY");
    clsAcMultiplierRangeMaint multiplierEngine;
    clsAcCategoriesRangeMaint categoryEngine;
    const RangeTable& target = multipliers ? multiplierEngine.Table() : categoryEngine.Table();
    const QString scope = QStringLiteral(" where CS_AREA = ") + SqlText(LvlType) +
                          QStringLiteral(" and CS_COA = ") + SqlText(COA);
    Recordset rs = GetRecordset(
        QStringLiteral("Select distinct CS_AREA, CS_COA, ") + holderColumn +
        QStringLiteral(", CS_LEVEL, CS_CODE from ") + hierarchy + scope + QStringLiteral(" and CS_LEVEL = ") +
        SqlText(Level) + QStringLiteral(" and CS_CODE = ") + SqlText(Code) +
        QStringLiteral(" Order by CS_AREA, CS_COA, ") + holderColumn + QStringLiteral(", CS_LEVEL, CS_CODE"));
    if (!gQueryOK || rs.IsNothing())
        return Fail(procedure);
    const Field holderField = rs.Fields(holderColumn);
    QStringList holders;
    for (; !rs.IsEOF(); rs.MoveNext())
        if (!holderField.Text().trimmed().isEmpty())
            holders << holderField.Text().trimmed();
    rs.Close();
    for (const QString& holder : holders) {
        const Existence present = target.RecordExists({COA, holder}, AccountFr, AccountTo);
        if (present == Existence::Failed)
            return Fail(procedure);
        if (copy) {
            if (present == Existence::Present)
                continue;
            const std::optional<QString> statement =
                target.AddRangeOfAccount({COA, holder}, AccountFr, AccountTo);
            if (!statement || !ExecuteSQL(*statement))
                return Fail(procedure);
            continue;
        }
        if (present == Existence::Absent)
            continue;
        // The holder keeps the range while another code attached to it still holds it.
        Recordset fed = GetRecordset(
            QStringLiteral("Select R.CO_CODE from ") + hierarchy + QStringLiteral(" H, CS_COA_ACCT_RANGE R") +
            QStringLiteral(" where H.CS_AREA = ") + SqlText(LvlType) + QStringLiteral(" and H.CS_COA = ") +
            SqlText(COA) + QStringLiteral(" and H.") + holderColumn + QStringLiteral(" = ") +
            SqlText(holder) +
            QStringLiteral(" and R.CO_COA = H.CS_COA and R.CO_LEVEL = H.CS_LEVEL and R.CO_CODE = H.CS_CODE") +
            QStringLiteral(" and R.CO_FR_ACCT = ") + SqlText(AccountFr) +
            QStringLiteral(" and R.CO_TO_ACCT = ") + SqlText(AccountTo));
        if (!gQueryOK || fed.IsNothing())
            return Fail(procedure);
        const bool stillFed = fed.RecordCount() >= 1;
        fed.Close();
        if (!stillFed && !target.DeleteEntry({COA, holder}, AccountFr, AccountTo))
            return Fail(procedure);
    }
    return true;
}
