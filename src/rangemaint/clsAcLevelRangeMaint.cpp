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
#include "rangemaint/HolderRangeFeed.h"
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

const LevelRangeEngine::Texts& clsAcLevelRangeMaint::Words() const {
    static const Texts texts{
        "clsAcLevelRangeMaint",
        {{"Chart of Account already exists", "Duplicate Account"},
         {"Level already exists within current Account", "Duplicate Level"},
         {"Code already exists within current Level", "Duplicate Code"},
         {"Account Range already exists within current Code", "Duplicate Range of Account"}},
        "Range of Account cannot be added within selected Code"};
    return texts;
}

// ---------------------------------------------------------------------------------------------------------
// Propagation into the multipliers and categories holding a code

bool clsAcLevelRangeMaint::CopiedUpRangeOfAccountMultiHier(const QString& LvlType, const QString& COA,
                                                           const QString& Level, const QString& Code,
                                                           const QString& AccountFr,
                                                           const QString& AccountTo) {
    return PropagateToHolders(true, LvlType, COA, Level, Code, AccountFr, AccountTo,
                              QStringLiteral("CopiedUpRangeOfAccountMultiHier"));
}

bool clsAcLevelRangeMaint::CopiedUpRangeOfAccountCategoryHier(const QString& LvlType, const QString& COA,
                                                              const QString& Level, const QString& Code,
                                                              const QString& AccountFr,
                                                              const QString& AccountTo) {
    return PropagateToHolders(false, LvlType, COA, Level, Code, AccountFr, AccountTo,
                              QStringLiteral("CopiedUpRangeOfAccountCategoryHier"));
}

bool clsAcLevelRangeMaint::PropagateToHolders(bool multipliers, const QString& LvlType, const QString& COA,
                                              const QString& Level, const QString& Code,
                                              const QString& AccountFr, const QString& AccountTo,
                                              const QString& procedure) {
    if (AccountFr.trimmed().isEmpty() || AccountTo.trimmed().isEmpty())
        return true;
    // Every holder of the code in one read and one insert, whatever their number.
    const QString holds = HolderRangeFeed::Holds(QStringLiteral("X"), Level, Code);
    if (!HolderRangeFeed(LvlType, COA, multipliers)
             .Feed({}, holds, holds, SqlText(AccountFr), SqlText(AccountTo)))
        return Fail(procedure);
    return true;
}
