#include "rangemaint/EntryNames.h"

#include "frame/modMain.h"
#include "platform/Recordset.h"
#include "rangemaint/LevelHierarchyWalk.h"
#include "services/clsGenericMaint.h"

EntryNames::EntryNames(QString area, QString chart) : m_area(std::move(area)), m_chart(std::move(chart)) {}

bool EntryNames::Same(const QString& a, const QString& b) {
    return clsGenericMaint::ShownValue(a) == clsGenericMaint::ShownValue(b);
}

bool EntryNames::Read(bool holders) {
    struct Columns {
        const char* table;
        QStringList columns;
    };
    QList<Columns> tables{
        {"CS_LEVELHIER", {"CS_PARENTLEVEL", "CS_PARENTCODE", "CS_CHILDLEVEL", "CS_CHILDCODE"}}};
    if (holders)
        tables << Columns{"CS_MULTIPLIERHIER", {"CS_MULTIPLIER", "CS_LEVEL", "CS_CODE"}}
               << Columns{"CS_CATEGORYHIER", {"CS_CATEGORY", "CS_LEVEL", "CS_CODE"}};
    // The chart's rows are found in each hierarchy's index; a fixed-width column holds no value that differs
    // from itself without trailing blanks, as it compares them.
    QStringList selects;
    for (const Columns& t : tables)
        for (const QString& c : t.columns)
            selects << QStringLiteral("Select ") + c + QStringLiteral(" V from ") + QLatin1String(t.table) +
                           QStringLiteral(" where CS_AREA = ") + SqlText(m_area) + QStringLiteral(" and ") +
                           LevelHierarchyWalk::Matches(QStringLiteral("CS_COA"), m_chart) +
                           QStringLiteral(" and ") + c + QStringLiteral(" <> RTRIM(") + c +
                           QStringLiteral(")");
    Recordset rs = GetRecordset(selects.join(QStringLiteral(" union ")));
    if (!gQueryOK || rs.IsNothing())
        return false;
    m_spellings.clear();
    for (const Field v = rs.Fields(0); !rs.IsEOF(); rs.MoveNext())
        m_spellings << v.Text();
    rs.Close();
    return true;
}

bool EntryNames::ReadRangeKeys(const QString& table, const QStringList& keyColumns, bool fixedWidth) {
    m_rangeKeys.clear();
    if (fixedWidth || keyColumns.size() < 3)
        return true;
    const QString& level = keyColumns[1];
    const QString& code = keyColumns[2];
    Recordset rs = GetRecordset(
        QStringLiteral("Select distinct ") + level + QStringLiteral(", ") + code + QStringLiteral(" from ") +
        table + QStringLiteral(" where ") + LevelHierarchyWalk::Matches(keyColumns[0], m_chart) +
        QStringLiteral(" and (") + level + QStringLiteral(" <> RTRIM(") + level + QStringLiteral(") or ") +
        code + QStringLiteral(" <> RTRIM(") + code + QStringLiteral("))"));
    if (!gQueryOK || rs.IsNothing())
        return false;
    for (const Field l = rs.Fields(0), c = rs.Fields(1); !rs.IsEOF(); rs.MoveNext())
        if (!l.Text().trimmed().isEmpty() && !c.Text().trimmed().isEmpty())
            m_rangeKeys << QStringList{l.Text(), c.Text()};
    rs.Close();
    return true;
}

QString EntryNames::Names(const QString& column, const QString& value) const {
    const QString shown = clsGenericMaint::ShownValue(value);
    if (shown.isEmpty())
        return SqlEquals(column, value);
    QStringList spellings{value};
    if (shown != value)
        spellings << shown;
    for (const QString& s : m_spellings)
        if (!spellings.contains(s) && clsGenericMaint::ShownValue(s) == shown)
            spellings << s;
    if (spellings.size() == 1)
        return SqlEquals(column, value);
    for (QString& s : spellings)
        s = SqlText(s);
    return column + QStringLiteral(" in (") + spellings.join(QStringLiteral(", ")) + QStringLiteral(")");
}
