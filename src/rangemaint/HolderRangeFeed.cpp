#include "rangemaint/HolderRangeFeed.h"

#include "frame/ModMaintenance.h"
#include "frame/clsDBConnection.h"
#include "frame/modMain.h"
#include "platform/DbConnection.h"
#include "platform/Recordset.h"
#include "rangemaint/LevelHierarchyWalk.h"
#include "services/clsGenericMaint.h"

#include <QStringBuilder>

namespace {

// The column of the range table, of its row aliased `q`.
QString Of(const QString& q, const QString& column) {
    return q % QLatin1Char('.') % column;
}

} // namespace

HolderRangeFeed::HolderRangeFeed(QString area, QString top, bool multipliers)
    : m_area(std::move(area)), m_top(std::move(top)), m_chart(clsGenericMaint::ShownValue(m_top)),
      m_holders(LevelRangeRemoval::HoldersOf(multipliers)) {}

QString HolderRangeFeed::Holds(const QString& x, const QString& level, const QString& code) {
    return LevelHierarchyWalk::Matches(Of(x, QStringLiteral("CS_LEVEL")), level) % QStringLiteral(" and ") %
           LevelHierarchyWalk::Matches(Of(x, QStringLiteral("CS_CODE")), code);
}

QString HolderRangeFeed::InsertSelect(const QString& insert, const QString& with, const QString& select) {
    const bool leading =
        !with.isEmpty() && !gDBConnection.IsNothing() && gDBConnection->adoConnection().IsSqlServer();
    return leading ? QString(with % insert % select) : QString(insert % with % select);
}

QString HolderRangeFeed::Key() const {
    const RangeTable& t = m_holders.table;
    const QString holder = Of(QStringLiteral("X"), m_holders.column);
    const QString code = Of(QStringLiteral("W"), t.KeyColumns()[1]);
    const auto held = [&](const QString& name) -> QString {
        return QStringLiteral("(Select min(") % code % QStringLiteral(") From ") % t.Table() %
               QStringLiteral(" W where ") % SqlEquals(Of(QStringLiteral("W"), t.KeyColumns()[0]), m_chart) %
               QStringLiteral(" and ") % code % QStringLiteral(" = ") % name % QStringLiteral(")");
    };
    const QString trimmed = QStringLiteral("RTRIM(") % holder % QStringLiteral(")");
    // The name as the range table holds it, as the database compares it with the hierarchy's (a fixed-width
    // column's padding ignored); the trimmed name is sought only for a name with trailing blanks of its own,
    // where the comparison would otherwise take the range table's column in another type.
    return QStringLiteral("coalesce(") % held(holder) % QStringLiteral(", (case when ") % holder %
           QStringLiteral(" <> ") % trimmed % QStringLiteral(" then ") % held(trimmed) %
           QStringLiteral(" end), ") % holder % QStringLiteral(")");
}

QString HolderRangeFeed::Held(const QString& from, const QString& to) const {
    const RangeTable& t = m_holders.table;
    const QString holder = Of(QStringLiteral("X"), m_holders.column);
    const auto count = [&](const QString& name) -> QString {
        return QStringLiteral("(Select count(*) From ") % t.Table() % QStringLiteral(" W where ") %
               SqlEquals(Of(QStringLiteral("W"), t.KeyColumns()[0]), m_chart) % QStringLiteral(" and ") %
               Of(QStringLiteral("W"), t.KeyColumns()[1]) % QStringLiteral(" = ") % name %
               QStringLiteral(" and ") % Of(QStringLiteral("W"), t.FromColumn()) % QStringLiteral(" = ") %
               from % QStringLiteral(" and ") % Of(QStringLiteral("W"), t.ToColumn()) %
               QStringLiteral(" = ") % to % QStringLiteral(")");
    };
    const QString trimmed = QStringLiteral("RTRIM(") % holder % QStringLiteral(")");
    return QStringLiteral("(") % count(holder) % QStringLiteral(" + (case when ") % holder %
           QStringLiteral(" <> ") % trimmed % QStringLiteral(" then ") % count(trimmed) %
           QStringLiteral(" else 0 end))");
}

bool HolderRangeFeed::Feed(const QString& tables, const QString& condition, const QString& holding,
                           const QString& from, const QString& to, const QString& with) const {
    const RangeTable& t = m_holders.table;
    const QString holder = Of(QStringLiteral("X"), m_holders.column);
    const QString scope = QStringLiteral("X.CS_AREA = ") % SqlText(m_area) % QStringLiteral(" and ") %
                          LevelHierarchyWalk::Matches(QStringLiteral("X.CS_COA"), m_top) %
                          QStringLiteral(" and (case when ") % RangeTable::BlankCondition(holder) %
                          QStringLiteral(" then 0 else 1 end) = 1");
    const QString rows = QStringLiteral(" From ") %
                         (tables.isEmpty() ? QString() : tables % QStringLiteral(", ")) %
                         m_holders.hierarchy % QStringLiteral(" X where ") % scope % QStringLiteral(" and ") %
                         condition % QStringLiteral(" and 0 = ") % Held(from, to);
    const QString key = Key();
    const auto blank = [&](const QString& q) -> QString {
        return Of(q, t.FromColumn()) % QStringLiteral(" = ' ' and ") % Of(q, t.ToColumn()) %
               QStringLiteral(" = ' '");
    };
    const QString chart = SqlEquals(t.KeyColumns()[0], m_chart);
    // Only what will be written comes across: the longest of each value stands for them all, so a value
    // longer than its column is refused before anything is written; and whether the holder has its
    // placeholder row, which its first range takes the place of.
    Recordset rs = GetRecordset(
        with % QStringLiteral("Select distinct ") % key % QStringLiteral(", ") % from % QStringLiteral(", ") %
        to % QStringLiteral(", (case when exists (Select 1 From ") % t.Table() % QStringLiteral(" W where ") %
        SqlEquals(Of(QStringLiteral("W"), t.KeyColumns()[0]), m_chart) % QStringLiteral(" and ") %
        Of(QStringLiteral("W"), t.KeyColumns()[1]) % QStringLiteral(" = ") % key % QStringLiteral(" and ") %
        blank(QStringLiteral("W")) % QStringLiteral(") then 1 else 0 end)") % rows);
    if (!gQueryOK || rs.IsNothing())
        return false;
    QStringList placeholders;
    bool others = false;
    QString name, first, last;
    for (const Field k = rs.Fields(0), f = rs.Fields(1), l = rs.Fields(2), p = rs.Fields(3); !rs.IsEOF();
         rs.MoveNext()) {
        if (p.Value().toInt() == 1) {
            if (!placeholders.contains(k.Text()))
                placeholders << k.Text();
        } else {
            others = true;
        }
        for (auto [value, longest] : {std::pair{k.Text(), &name}, {f.Text(), &first}, {l.Text(), &last}})
            if (RangeTable::Characters(value) > RangeTable::Characters(*longest))
                *longest = value;
    }
    rs.Close();
    if (placeholders.isEmpty() && !others)
        return true;
    if (!t.Fits({m_chart, name}, first, last))
        return false;
    // The placeholders found must all be there still: one another writer filled meanwhile ends the action.
    const auto changing = [&](const QString& sql) {
        DbConnection& connection = gDBConnection->adoConnection();
        qint64 changed = 0;
        if (!connection.Execute(sql, &changed))
            return false;
        return changed < 0 || changed >= placeholders.size() || FailWarehouseChanged();
    };
    const QStringList columns = t.KeyColumns() + QStringList{t.FromColumn(), t.ToColumn()};
    const QString insert =
        InsertSelect(QStringLiteral("Insert into ") % t.Table() % QStringLiteral(" (") %
                         columns.join(QStringLiteral(", ")) % QStringLiteral(") "),
                     with,
                     QStringLiteral("Select distinct ") % SqlText(m_chart) % QStringLiteral(", ") % key %
                         QStringLiteral(", ") % from % QStringLiteral(", ") % to % rows);
    if (tables.isEmpty()) {
        // One range: it fills the placeholders of the holders lacking it, as a range saved in a range editor
        // does, and goes in beside the ranges of the others.
        if (!placeholders.isEmpty() &&
            !changing(QStringLiteral("Update ") % t.Table() % QStringLiteral(" Set ") % t.FromColumn() %
                      QStringLiteral(" = ") % from % QStringLiteral(", ") % t.ToColumn() %
                      QStringLiteral(" = ") % to % QStringLiteral(" where ") % chart %
                      QStringLiteral(" and ") % blank(t.Table()) % QStringLiteral(" and ") %
                      t.KeyColumns()[1] % QStringLiteral(" in (") % with % QStringLiteral("Select ") % key %
                      rows % QStringLiteral(")")))
            return false;
        return !others || ExecuteSQL(insert);
    }
    if (!ExecuteSQL(insert))
        return false;
    if (placeholders.isEmpty())
        return true;
    // A holder's first ranges take the place of its placeholder row: the placeholder of a holder that now
    // holds a range goes.
    const QString named = QStringLiteral(" From ") % m_holders.hierarchy % QStringLiteral(" X where ") %
                          scope % QStringLiteral(" and ") % holding % QStringLiteral(")");
    return changing(QStringLiteral("Delete From ") % t.Table() % QStringLiteral(" where ") % chart %
                    QStringLiteral(" and ") % blank(t.Table()) % QStringLiteral(" and (") %
                    t.KeyColumns()[1] % QStringLiteral(" in (Select ") % holder % named %
                    QStringLiteral(" or ") % t.KeyColumns()[1] % QStringLiteral(" in (Select RTRIM(") %
                    holder % QStringLiteral(")") % named % QStringLiteral(") and exists (Select 1 From ") %
                    t.Table() % QStringLiteral(" W where W.") % t.KeyColumns()[0] % QStringLiteral(" = ") %
                    Of(t.Table(), t.KeyColumns()[0]) % QStringLiteral(" and W.") % t.KeyColumns()[1] %
                    QStringLiteral(" = ") % Of(t.Table(), t.KeyColumns()[1]) %
                    QStringLiteral(" and (case when ") % blank(QStringLiteral("W")) %
                    QStringLiteral(" then 0 else 1 end) = 1)"));
}
