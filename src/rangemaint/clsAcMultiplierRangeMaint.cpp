#include "rangemaint/clsAcMultiplierRangeMaint.h"

#include "frame/ErrorHandler.h"
#include "frame/modMain.h"
#include "platform/MousePointer.h"
#include "platform/Recordset.h"

#include <QRegularExpression>
#include <QTreeWidget>

namespace {

// The cross-reference names a column that is then composed into a statement: it must be a plain name
// and one of the chart of account's own columns.
bool IsAccountColumn(const QString& name) {
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    if (!plain.match(name).hasMatch())
        return false;
    Recordset columns = GetRecordset(QStringLiteral("Select * from CHART_OF_ACCOUNT where 1 = 0"));
    if (columns.IsNothing())
        return ErrorHandler::Fail(QStringLiteral("clsAcMultiplierRangeMaint:PopulateAccountList"));
    const bool known = columns.HasField(name);
    columns.Close();
    return known;
}

} // namespace

const RangeTable& clsAcMultiplierRangeMaint::Table() const {
    static const RangeTable table(QStringLiteral("CS_MULTIPLIER_RANGE"),
                                  {QStringLiteral("MUL_COA"), QStringLiteral("MUL_CODE")},
                                  QStringLiteral("MUL_FR_ACCT"), QStringLiteral("MUL_TO_ACCT"));
    return table;
}

const HolderRangeEngine::Texts& clsAcMultiplierRangeMaint::Words() const {
    static const Texts texts{
        "clsAcMultiplierRangeMaint",
        {{"Chart of Account already exists", "Duplicate Account"},
         {"Multiplier already exists within current Account", "Duplicate Multiplier"},
         {},
         {"Account Range already exists within current Multiplier", "Duplicate Range of Account"}},
        "Range of Account cannot be added within selected Multiplier"};
    return texts;
}

RangeTreeColumns clsAcMultiplierRangeMaint::TreeColumns() const {
    return {QStringLiteral("MUL_COA"),     QString(),
            QStringLiteral("MUL_CODE"),    QStringLiteral("MULDESC"),
            QStringLiteral("MUL_FR_ACCT"), QStringLiteral("MUL_TO_ACCT")};
}

QString clsAcMultiplierRangeMaint::GetSQL_Multiplier() const {
    return QStringLiteral("Select * From CS_MULTIPLIER_RANGE ") +
           QStringLiteral(
               "left outer join CS_MULTIPLIER on CS_MULTIPLIER_RANGE.MUL_CODE = CS_MULTIPLIER.MULPT ") +
           QStringLiteral("Where CS_MULTIPLIER_RANGE.MUL_CODE not like 'D%'") +
           FilterCondition(QStringLiteral(" and "), QStringLiteral("MUL_FR_ACCT"),
                           QStringLiteral("MUL_TO_ACCT")) +
           QStringLiteral(" Order by MUL_COA, MUL_CODE, MUL_FR_ACCT, MUL_TO_ACCT");
}

void clsAcMultiplierRangeMaint::PopulateAccountList(const QString& m_COA, const QString& /*m_level*/,
                                                    const QString& m_Code, qint16 m_BLOCKED_FLG) {
    const QString location = QStringLiteral("clsAcMultiplierRangeMaint:PopulateAccountList");
    MousePointer hourglass;
    QTreeWidget* list = BeginListFill();
    if (list) {
        Recordset xref = GetRecordset(QStringLiteral("Select * from CS_MULTIPLIERXREF ") +
                                      QStringLiteral("where CS_MULPT =") + SqlText(m_Code));
        if (xref.IsNothing()) {
            ErrorHandler::Fail(location);
        } else {
            const QString field =
                xref.IsEOF() ? QString() : xref.Fields(QStringLiteral("CS_MULFIELD")).Text().trimmed();
            xref.Close();
            if (!field.isEmpty() && IsAccountColumn(field)) {
                QString sql = QStringLiteral("Select distinct ACCOUNT_NO, ACCOUNT_NM, ") + field +
                              QStringLiteral(" from CHART_OF_ACCOUNT") +
                              QStringLiteral(" where BUSINESS_UNIT_ID = ") + SqlText(m_COA);
                if (m_BLOCKED_FLG != 1)
                    sql += QStringLiteral("and BLOCKED_FLG = ") + SqlText(QString::number(m_BLOCKED_FLG));
                sql += QStringLiteral(" Order by ACCOUNT_NO");
                Recordset rs = GetRecordset(sql);
                if (rs.IsNothing()) {
                    ErrorHandler::Fail(location);
                } else {
                    const QStringList columns{QStringLiteral("ACCOUNT_NO"), QStringLiteral("ACCOUNT_NM"),
                                              field};
                    for (; !rs.IsEOF(); rs.MoveNext())
                        AddListRow(list, rs, columns);
                    rs.Close();
                }
            }
        }
    }
    EndListFill();
}
