#include "rangemaint/clsAcCategoriesRangeMaint.h"

#include "frame/ErrorHandler.h"
#include "frame/modMain.h"
#include "platform/MousePointer.h"
#include "platform/Recordset.h"

#include <QTreeWidget>

const RangeTable& clsAcCategoriesRangeMaint::Table() const {
    static const RangeTable table(QStringLiteral("CS_CAT_TYPE"),
                                  {QStringLiteral("CAT_COA"), QStringLiteral("CAT_TYP_CD")},
                                  QStringLiteral("CAT_FR_ACCT"), QStringLiteral("CAT_TO_ACCT"));
    return table;
}

const HolderRangeEngine::Texts& clsAcCategoriesRangeMaint::Words() const {
    // A Save with nothing to add leaves the pending insert and answers false.
    static const Texts texts{
        "clsAcCategoriesRangeMaint",
        {{"Chart of Account already exists", "Duplicate Account"},
         {"Category already exists within current Account", "Duplicate Category"},
         {},
         {"Account Range already exists within current category", "Duplicate Range of Account"}},
        "Range of Account cannot be added within selected category",
        false};
    return texts;
}

RangeTreeColumns clsAcCategoriesRangeMaint::TreeColumns() const {
    return {QStringLiteral("CAT_COA"),     QString(),
            QStringLiteral("CAT_TYP_CD"),  QStringLiteral("CAT_DESC"),
            QStringLiteral("CAT_FR_ACCT"), QStringLiteral("CAT_TO_ACCT")};
}

QString clsAcCategoriesRangeMaint::GetSQL_Categories() const {
    return QStringLiteral("Select distinct * From CS_CAT_TYPE ") +
           QStringLiteral("left outer join CS_CAT_DESC on CS_CAT_TYPE.CAT_TYP_CD = CS_CAT_DESC.CAT_CODE") +
           FilterCondition(QStringLiteral(" Where "), QStringLiteral("CAT_FR_ACCT"),
                           QStringLiteral("CAT_TO_ACCT")) +
           QStringLiteral(" Order by CAT_COA, CAT_TYP_CD, CAT_FR_ACCT, CAT_TO_ACCT");
}

void clsAcCategoriesRangeMaint::PopulateAccountList(const QString& m_COA, const QString& /*m_level*/,
                                                    const QString& /*m_Code*/, qint16 m_BLOCKED_FLG) {
    MousePointer hourglass;
    QTreeWidget* list = BeginListFill();
    if (list) {
        QString sql = QStringLiteral(
                          "Select distinct ACCOUNT_NO, ACCOUNT_NM, ACCOUNT_CAT_TYP_CD, ACCOUNT_CAT_TYP_NM ") +
                      QStringLiteral(" from CHART_OF_ACCOUNT") +
                      QStringLiteral(" where BUSINESS_UNIT_ID = ") + SqlText(m_COA);
        if (m_BLOCKED_FLG != 1)
            sql += QStringLiteral("and BLOCKED_FLG = ") + SqlText(QString::number(m_BLOCKED_FLG));
        sql += QStringLiteral(" Order by ACCOUNT_NO, ACCOUNT_CAT_TYP_CD");
        Recordset rs = GetRecordset(sql);
        if (rs.IsNothing()) {
            ErrorHandler::Fail(QStringLiteral("clsAcCategoriesRangeMaint:PopulateAccountList"));
        } else {
            const QStringList columns{QStringLiteral("ACCOUNT_NO"), QStringLiteral("ACCOUNT_NM"),
                                      QStringLiteral("ACCOUNT_CAT_TYP_CD"),
                                      QStringLiteral("ACCOUNT_CAT_TYP_NM")};
            for (; !rs.IsEOF(); rs.MoveNext())
                AddListRow(list, rs, columns);
            rs.Close();
        }
    }
    EndListFill();
}
