#include "rangemaint/clsAcLevelRangeMaint.h"

#include "frame/ErrorHandler.h"
#include "frame/modMain.h"
#include "platform/CurrentError.h"
#include "platform/MousePointer.h"
#include "platform/Recordset.h"

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

Existence clsAcLevelRangeMaint::RecordExists(const QString& m_CO_COA, const QString& m_CO_LEVEL,
                                             const QString& m_CO_CODE, const QString& m_CO_FR_ACCT,
                                             const QString& m_CO_TO_ACCT) {
    QString sql = QStringLiteral("Select * from CS_COA_ACCT_RANGE where CO_COA = ") + SqlText(m_CO_COA);
    if (!m_CO_LEVEL.isEmpty())
        sql += QStringLiteral(" and CO_LEVEL = ") + SqlText(m_CO_LEVEL);
    if (!m_CO_CODE.isEmpty())
        sql += QStringLiteral(" and CO_CODE = ") + SqlText(m_CO_CODE);
    if (!m_CO_FR_ACCT.isEmpty() && !m_CO_TO_ACCT.isEmpty())
        sql += QStringLiteral(" and CO_FR_ACCT = ") + SqlText(m_CO_FR_ACCT) + QStringLiteral(" and") +
               QStringLiteral(" CO_TO_ACCT = ") + SqlText(m_CO_TO_ACCT);
    return RowExists(sql);
}

std::optional<QString> clsAcLevelRangeMaint::AddRangeOfAccount(const QString& m_CO_COA,
                                                               const QString& m_CO_LEVEL,
                                                               const QString& m_CO_CODE,
                                                               const QString& m_CO_FR_ACCT,
                                                               const QString& m_CO_TO_ACCT) {
    const QString codeRow = QStringLiteral(" CO_COA =") + SqlText(m_CO_COA) + QStringLiteral(" and ") +
                            QStringLiteral(" CO_LEVEL = ") + SqlText(m_CO_LEVEL) + QStringLiteral(" and ") +
                            QStringLiteral(" CO_CODE = ") + SqlText(m_CO_CODE) + QStringLiteral(" and ");
    const Existence placeholder =
        RowExists(QStringLiteral("Select * from CS_COA_ACCT_RANGE where ") + codeRow +
                  QStringLiteral(" CO_FR_ACCT = ' '  and CO_TO_ACCT= ' '"));
    if (placeholder == Existence::Failed)
        return std::nullopt;
    if (placeholder == Existence::Absent)
        return QStringLiteral("Insert into CS_COA_ACCT_RANGE(CO_COA, CO_LEVEL, CO_CODE, CO_FR_ACCT, "
                              "CO_TO_ACCT)") +
               QStringLiteral(" values (") + SqlText(m_CO_COA) + QStringLiteral(",") + SqlText(m_CO_LEVEL) +
               QStringLiteral(",") + SqlText(m_CO_CODE) + QStringLiteral(",") + SqlText(m_CO_FR_ACCT) +
               QStringLiteral(",") + SqlText(m_CO_TO_ACCT) + QStringLiteral(")");
    return QStringLiteral("Update CS_COA_ACCT_RANGE Set") + QStringLiteral(" CO_FR_ACCT =") +
           SqlText(m_CO_FR_ACCT) + QStringLiteral(", ") + QStringLiteral(" CO_TO_ACCT =") +
           SqlText(m_CO_TO_ACCT) + QStringLiteral(" where ") + codeRow +
           QStringLiteral(" CO_FR_ACCT = ' '  and CO_TO_ACCT = ' '");
}

QString clsAcLevelRangeMaint::DeleteRangeOfAccount(const QString& m_CO_COA, const QString& m_CO_LEVEL,
                                                   const QString& m_CO_CODE, const QString& m_CO_FR_ACCT,
                                                   const QString& m_CO_TO_ACCT) const {
    // "Delete From": the form every engine accepts.
    return QStringLiteral("Delete From CS_COA_ACCT_RANGE where ") + QStringLiteral(" CO_COA = ") +
           SqlText(m_CO_COA) + QStringLiteral(" and") + QStringLiteral(" CO_LEVEL = ") + SqlText(m_CO_LEVEL) +
           QStringLiteral(" and ") + QStringLiteral(" CO_CODE = ") + SqlText(m_CO_CODE) +
           QStringLiteral(" and") + QStringLiteral(" CO_FR_ACCT = ") + SqlText(m_CO_FR_ACCT) +
           QStringLiteral(" and ") + QStringLiteral(" CO_TO_ACCT = ") + SqlText(m_CO_TO_ACCT);
}
