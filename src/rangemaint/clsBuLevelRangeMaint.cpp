#include "rangemaint/clsBuLevelRangeMaint.h"

#include "frame/ErrorHandler.h"
#include "frame/MaintenanceTypes.h"
#include "frame/modMain.h"
#include "platform/CurrentError.h"
#include "platform/MousePointer.h"
#include "platform/Recordset.h"
#include "rangemaint/RangeEditorAccess.h"

#include <QTreeWidget>

namespace {
// The level columns of BUSINESS_UNIT run from 1 to 10, those of BUSINESS_AREA from 1 to 5.
constexpr int kLastUnitLevel = 10;
constexpr int kLastAreaLevel = 5;
} // namespace

RangeTreeColumns clsBuLevelRangeMaint::TreeColumns() const {
    return {QStringLiteral("SO_AREA"), QStringLiteral("SO_LEVELS"), QStringLiteral("SO_CODE"),
            QStringLiteral("SODESC"),  QStringLiteral("SO_FR_CD"),  QStringLiteral("SO_TO_CD")};
}

const RangeTable& clsBuLevelRangeMaint::Table() {
    static const RangeTable table(
        QStringLiteral("CS_BA_BU_LEVELS"),
        {QStringLiteral("SO_AREA"), QStringLiteral("SO_LEVELS"), QStringLiteral("SO_CODE")},
        QStringLiteral("SO_FR_CD"), QStringLiteral("SO_TO_CD"));
    return table;
}

const LevelRangeEngine::Texts& clsBuLevelRangeMaint::Words() const {
    static const Texts texts{"clsBuLevelRangeMaint",
                             {{"Business Level already exists", "Duplicate Business Level"},
                              {"This Level already exists within current Business Level", "Duplicate Level"},
                              {"Code already exists within current Level", "Duplicate Code"},
                              {"Business Level Range already exists within current Code", "Duplicate Range"}},
                             "Business Level Range cannot be added within selected Code"};
    return texts;
}

QString clsBuLevelRangeMaint::TopDescription() const {
    if (!m_owner)
        return {};
    return MaintenanceTypes::Description(m_owner->MaintenanceType(), MaintenanceTypes::Range)
        .remove(QStringLiteral(" Level Range Maintenance"));
}

void clsBuLevelRangeMaint::FillAccountList(const QString& /*coa*/, const QString& level,
                                           const QString& /*code*/, qint16 /*blocked*/) {
    if (m_owner && m_owner->LevelType() == QLatin1String("BA"))
        PopulateBusinessAreaList(level);
    else
        PopulateBusinessUnitList(level);
}

QString clsBuLevelRangeMaint::GetSQL_BU_Level() const {
    const QString area = m_owner ? m_owner->LevelType() : QString();
    return QStringLiteral("Select distinct B.SO_AREA, B.SO_LEVELS,B.SO_CODE, S.SODESC,") +
           QStringLiteral("B.SO_FR_CD, B.SO_TO_CD ") + QStringLiteral("From CS_BA_BU_LEVELS B ") +
           QStringLiteral("left outer jOIN CS_SOURCE  S on B.SO_CODE = S.SOCODE ") +
           QStringLiteral("and B.SO_AREA = S.SOAREA and B.SO_LEVELS =S.SOLEVEL ") +
           QStringLiteral("where B.SO_AREA = ") + SqlText(area) +
           FilterCondition(QStringLiteral(" and "), QStringLiteral("B.SO_FR_CD"),
                           QStringLiteral("B.SO_TO_CD")) +
           QStringLiteral(" Order by B.SO_AREA, B.SO_LEVELS, B.SO_CODE, B.SO_FR_CD, B.SO_TO_CD");
}

void clsBuLevelRangeMaint::PopulateBusinessUnitList(const QString& level) {
    int n = 0;
    LevelNumber(level, n);
    const QString cd = QStringLiteral("BUS_UNIT_LVL%1_CD").arg(n);
    const QString nm = QStringLiteral("BUS_UNIT_LVL%1_NM").arg(n);
    PopulateList(level, kLastUnitLevel,
                 QStringLiteral("Select distinct BUSINESS_UNIT_CD, ") + cd + QStringLiteral(", ") + nm +
                     QStringLiteral(" from BUSINESS_UNIT") + QStringLiteral(" Order by BUSINESS_UNIT_CD, ") +
                     cd,
                 cd, nm, QStringLiteral("BUSINESS_UNIT_CD"),
                 QStringLiteral("clsBuLevelRangeMaint:PopulateBusinessUnitList"), true);
}

void clsBuLevelRangeMaint::PopulateBusinessAreaList(const QString& level) {
    int n = 0;
    LevelNumber(level, n);
    const QString cd = QStringLiteral("BA_LEVEL_%1_CD").arg(n);
    const QString nm = QStringLiteral("BA_LEVEL_%1_NM").arg(n);
    PopulateList(level, kLastAreaLevel,
                 QStringLiteral("Select distinct BUSINESS_AREA_CD, ") + cd + QStringLiteral(", ") + nm +
                     QStringLiteral(" from BUSINESS_AREA") + QStringLiteral(" Order by BUSINESS_AREA_CD, ") +
                     cd,
                 cd, nm, QStringLiteral("BUSINESS_AREA_CD"),
                 QStringLiteral("clsBuLevelRangeMaint:PopulateBusinessAreaList"), false);
}

void clsBuLevelRangeMaint::PopulateList(const QString& level, int lastLevel, const QString& sql,
                                        const QString& codeColumn, const QString& nameColumn,
                                        const QString& keyColumn, const QString& location,
                                        bool skipBlankKeys) {
    MousePointer hourglass;
    QTreeWidget* list = BeginListFill();
    int n = 0;
    if (!LevelNumber(level, n)) {
        Err().Raise(13, QStringLiteral("Type mismatch"), location);
        ErrorHandler::Fail(location);
    }
    if (list && n >= 1 && n <= lastLevel) {
        Recordset rs = GetRecordset(sql);
        if (rs.IsNothing()) {
            ErrorHandler::Fail(location);
        } else {
            const QStringList columns{keyColumn, codeColumn, nameColumn};
            // Units without a code (the unknown member) stay out of the list. They are left out here and not
            // by a "<> ''" condition, which Oracle, holding '' as NULL, would answer with no row at all.
            for (; !rs.IsEOF(); rs.MoveNext())
                if (!skipBlankKeys || !rs.Fields(keyColumn).Text().trimmed().isEmpty())
                    AddListRow(list, rs, columns);
            rs.Close();
        }
    }
    EndListFill();
}
