#include "rangemaint/LevelRangeSynchronization.h"

#include "frame/ModMaintenance.h"
#include "frame/modMain.h"
#include "platform/Recordset.h"
#include "services/clsGenericMaint.h"

#include <QStringBuilder>
#include <algorithm>
#include <optional>

namespace {

QString Column(const QString& q, const QString& column) {
    return q % QLatin1Char('.') % column;
}

// None of the columns is blank, empty or NULL. A CASE answers on every database alike: Oracle, holding '' as
// NULL, takes "not (x = '')" for unknown.
QString NoneBlank(const QStringList& columns) {
    QStringList blank;
    for (const QString& c : columns)
        blank << RangeTable::BlankCondition(c);
    return QStringLiteral("(case when ") % blank.join(QStringLiteral(" or ")) %
           QStringLiteral(" then 0 else 1 end) = 1");
}

// The hierarchy column holds the value of the column `value` as stored there or without its trailing
// blanks, as LevelHierarchyWalk::Matches matches a value read from a range table.
QString MatchesColumn(const QString& column, const QString& value) {
    return column % QStringLiteral(" in (") % value % QStringLiteral(", RTRIM(") % value %
           QStringLiteral("))");
}

// The code of the hierarchy's columns `level`, `code` is `c`, padded or not, as the walk takes codes for one.
QString IsShown(const QString& level, const QString& code, const LevelHierarchyWalk::Code& c) {
    return QStringLiteral("RTRIM(") % level % QStringLiteral(") = ") %
           SqlText(clsGenericMaint::ShownValue(c.level)) % QStringLiteral(" and RTRIM(") % code %
           QStringLiteral(") = ") % SqlText(clsGenericMaint::ShownValue(c.code));
}

} // namespace

LevelRangeSynchronization::LevelRangeSynchronization(QString area, QString top, const RangeTable& table,
                                                     bool holders)
    : m_area(std::move(area)), m_top(std::move(top)), m_table(table), m_holders(holders) {}

bool LevelRangeSynchronization::Fail(Step step) {
    m_failed = step;
    return false;
}

QString LevelRangeSynchronization::Sources(const QString& joined) const {
    const QString from = Column(QStringLiteral("S"), m_table.FromColumn());
    const QString to = Column(QStringLiteral("S"), m_table.ToColumn());
    // A code blank after trimming is the level's placeholder, a blank bound a code's: neither is a range.
    const QStringList blank =
        m_code.isEmpty() ? QStringList{Column(QStringLiteral("S"), m_table.KeyColumns().last()), from, to}
                         : QStringList{from, to};
    const QStringList keys =
        m_code.isEmpty() ? QStringList{m_top, m_level} : QStringList{m_top, m_level, m_code};
    return QStringLiteral(" From ") % m_table.Table() % QStringLiteral(" S") % joined %
           QStringLiteral(" where") % m_table.EntryCondition(keys, QStringLiteral("S")) %
           QStringLiteral(" and ") % NoneBlank(blank);
}

QString LevelRangeSynchronization::Reaches(const Code& ancestor, const std::vector<int>& hops) const {
    if (!m_code.isEmpty())
        return {};
    const auto scope = [&](const QString& h) -> QString {
        return Column(h, QStringLiteral("CS_AREA")) % QStringLiteral(" = ") % SqlText(m_area) %
               QStringLiteral(" and ") %
               LevelHierarchyWalk::Matches(Column(h, QStringLiteral("CS_COA")), m_top);
    };
    QStringList ways;
    for (const int rows : hops) {
        // The codes of the level below the ancestor over this many hierarchy rows: the code's parent, that
        // one's parent, ... the ancestor, none of them a blank parent, which the walk does not follow. Each
        // row above is counted for the row below it, as the walk looks it up: one look-up on the index each,
        // which no planner turns into a join comparing every row with every other.
        QString above =
            IsShown(Column(QStringLiteral("H%1").arg(rows), QStringLiteral("CS_PARENTLEVEL")),
                    Column(QStringLiteral("H%1").arg(rows), QStringLiteral("CS_PARENTCODE")), ancestor);
        for (int i = rows; i > 1; --i) {
            const QString h = QStringLiteral("H%1").arg(i), below = QStringLiteral("H%1").arg(i - 1);
            // A level is matched as the walk matches it only where some parent level is stored with blanks
            // of its own: a server looks one plain equality up in its index, where it may not look up two
            // alternatives of both the level and the code, lacking statistics.
            const QString level = Column(h, QStringLiteral("CS_CHILDLEVEL")),
                          parentLevel = Column(below, QStringLiteral("CS_PARENTLEVEL"));
            above = NoneBlank({parentLevel, Column(below, QStringLiteral("CS_PARENTCODE"))}) %
                    QStringLiteral(" and 0 < (Select count(*) From CS_LEVELHIER ") % h %
                    QStringLiteral(" where ") % scope(h) % QStringLiteral(" and ") %
                    (m_paddedLevels ? MatchesColumn(level, parentLevel)
                                    : QString(level % QStringLiteral(" = ") % parentLevel)) %
                    QStringLiteral(" and ") %
                    MatchesColumn(Column(h, QStringLiteral("CS_CHILDCODE")),
                                  Column(below, QStringLiteral("CS_PARENTCODE"))) %
                    QStringLiteral(" and ") % above % QStringLiteral(")");
        }
        ways << QStringLiteral("Select H1.CS_CHILDCODE From CS_LEVELHIER H1 where ") %
                    scope(QStringLiteral("H1")) % QStringLiteral(" and ") %
                    LevelHierarchyWalk::Matches(QStringLiteral("H1.CS_CHILDLEVEL"), m_level) %
                    QStringLiteral(" and ") % above;
    }
    return SourceCodeIn(ways.join(QStringLiteral(" union ")));
}

QString LevelRangeSynchronization::SourceCodeIn(const QString& codes) const {
    // Not correlated with the source row: the database reads the codes once for all the rows.
    const QString code = Column(QStringLiteral("S"), m_table.KeyColumns().last());
    return QStringLiteral("(") % code % QStringLiteral(" in (") % codes % QStringLiteral(") or RTRIM(") %
           code % QStringLiteral(") in (") % codes % QStringLiteral("))");
}

QString LevelRangeSynchronization::HoldsSourceCode(const QString& column) const {
    const QString code = Column(QStringLiteral("S"), m_table.KeyColumns().last());
    return QStringLiteral("(") % column % QStringLiteral(" in (Select ") % code % Sources() %
           QStringLiteral(") or ") % column % QStringLiteral(" in (Select RTRIM(") % code %
           QStringLiteral(")") % Sources() % QStringLiteral("))");
}

bool LevelRangeSynchronization::PaddedLevels() {
    // Where a column pads, it compares its values without the blanks: only a level stored with blanks of its
    // own counts.
    Recordset rs =
        GetRecordset(QStringLiteral("Select count(*) From CS_LEVELHIER where CS_AREA = ") % SqlText(m_area) %
                     QStringLiteral(" and ") % LevelHierarchyWalk::Matches(QStringLiteral("CS_COA"), m_top) %
                     QStringLiteral(" and CS_PARENTLEVEL <> RTRIM(CS_PARENTLEVEL)"));
    if (!gQueryOK || rs.IsNothing() || rs.IsEOF())
        return false;
    m_paddedLevels = rs.Fields(0).Value().toLongLong() > 0;
    rs.Close();
    return true;
}

bool LevelRangeSynchronization::Parents(std::vector<Code>& parents) {
    const QString sql =
        QStringLiteral("Select distinct H.CS_PARENTLEVEL, H.CS_PARENTCODE From CS_LEVELHIER H "
                       "where H.CS_AREA = ") %
        SqlText(m_area) % QStringLiteral(" and ") %
        LevelHierarchyWalk::Matches(QStringLiteral("H.CS_COA"), m_top) % QStringLiteral(" and ") %
        LevelHierarchyWalk::Matches(QStringLiteral("H.CS_CHILDLEVEL"), m_level) % QStringLiteral(" and ") %
        HoldsSourceCode(QStringLiteral("H.CS_CHILDCODE")) %
        QStringLiteral(" Order by H.CS_PARENTLEVEL, H.CS_PARENTCODE");
    Recordset rs = GetRecordset(sql);
    if (!gQueryOK || rs.IsNothing())
        return false;
    for (const Field level = rs.Fields(0), value = rs.Fields(1); !rs.IsEOF(); rs.MoveNext()) {
        // As stored, so the parent's own rows are addressed by it; a blank parent is not followed.
        Code next{level.Text(), value.Text()};
        if (!next.level.trimmed().isEmpty() && !next.code.trimmed().isEmpty())
            parents.push_back(std::move(next));
    }
    rs.Close();
    return true;
}

bool LevelRangeSynchronization::HoldersOfCodes(bool multipliers, const Code* ancestor,
                                               QStringList& holders) const {
    const Holders h = LevelRangeRemoval::HoldersOf(multipliers);
    const QString scope = QStringLiteral("X.CS_AREA = ") % SqlText(m_area) % QStringLiteral(" and ") %
                          LevelHierarchyWalk::Matches(QStringLiteral("X.CS_COA"), m_top) %
                          QStringLiteral(" and ");
    // An ancestor's holders are named by it; the codes' by the codes carried, whatever their number.
    const QString sql =
        QStringLiteral("Select distinct X.") % h.column % QStringLiteral(" From ") % h.hierarchy %
        QStringLiteral(" X where ") % scope %
        LevelHierarchyWalk::Matches(QStringLiteral("X.CS_LEVEL"), ancestor ? ancestor->level : m_level) %
        QStringLiteral(" and ") %
        (ancestor ? LevelHierarchyWalk::Matches(QStringLiteral("X.CS_CODE"), ancestor->code)
                  : HoldsSourceCode(QStringLiteral("X.CS_CODE")));
    Recordset rs = GetRecordset(sql % QStringLiteral(" Order by X.") % h.column);
    if (!gQueryOK || rs.IsNothing())
        return false;
    for (const Field holder = rs.Fields(0); !rs.IsEOF(); rs.MoveNext())
        if (!holder.Text().trimmed().isEmpty() && !holders.contains(holder.Text()))
            holders << holder.Text();
    rs.Close();
    return true;
}

bool LevelRangeSynchronization::Feed(const RangeTable& target, const QStringList& keys, const QString& wanted,
                                     std::vector<RangeBounds>* written) const {
    const QString from = Column(QStringLiteral("S"), m_table.FromColumn());
    const QString to = Column(QStringLiteral("S"), m_table.ToColumn());
    // The entry's rows of each range are counted rather than tested with "not exists": a server's planner may
    // turn that into a join and, misled by statistics not yet gathered, compare every range with every row of
    // the entry, where a count stays one look-up on the index per range, and only for the rows wanted.
    const QString held = QStringLiteral("(Select count(*) From ") % target.Table() %
                         QStringLiteral(" W where") % target.EntryCondition(keys, QStringLiteral("W")) %
                         QStringLiteral(" and ") % Column(QStringLiteral("W"), target.FromColumn()) %
                         QStringLiteral(" = ") % from % QStringLiteral(" and ") %
                         Column(QStringLiteral("W"), target.ToColumn()) % QStringLiteral(" = ") % to %
                         QStringLiteral(")");
    const QString lacking =
        Sources() % QStringLiteral(" and 0 = ") %
        (wanted.isEmpty() ? held
                          : QString(QStringLiteral("(case when ") % wanted % QStringLiteral(" then ") % held %
                                    QStringLiteral(" else 1 end)")));
    // Only what will be written comes across: the tree shows it, and the longest of each bound stands for
    // them all, so a value longer than its column is refused before anything is written.
    Recordset rs =
        GetRecordset(QStringLiteral("Select distinct ") % from % QStringLiteral(", ") % to % lacking);
    if (!gQueryOK || rs.IsNothing())
        return false;
    std::vector<RangeBounds> rows;
    RangeBounds longest;
    for (const Field f = rs.Fields(0), t = rs.Fields(1); !rs.IsEOF(); rs.MoveNext()) {
        rows.push_back({f.Text(), t.Text()});
        if (RangeTable::Characters(f.Text()) > RangeTable::Characters(longest.from))
            longest.from = f.Text();
        if (RangeTable::Characters(t.Text()) > RangeTable::Characters(longest.to))
            longest.to = t.Text();
    }
    rs.Close();
    if (rows.empty())
        return true;
    if (!target.Fits(keys, longest.from, longest.to))
        return false;
    // The first range fills the entry's placeholder row where it has one, as a range saved in a range editor
    // does (a row another writer filled meanwhile ends the action); the others are added by one statement,
    // which takes the entry's rows as they then are.
    const std::optional<QString> first = target.AddRangeOfAccount(keys, rows.front().from, rows.front().to);
    if (!first || !ExecuteSQLChangingRows(*first))
        return false;
    if (rows.size() > 1) {
        QStringList values;
        for (const QString& k : keys)
            values << SqlText(k);
        if (!ExecuteSQL(QStringLiteral("Insert into ") % target.Table() % QStringLiteral(" (") %
                        target.KeyColumns().join(QStringLiteral(", ")) % QStringLiteral(", ") %
                        target.FromColumn() % QStringLiteral(", ") % target.ToColumn() %
                        QStringLiteral(") Select distinct ") % values.join(QStringLiteral(", ")) %
                        QStringLiteral(", ") % from % QStringLiteral(", ") % to % lacking))
            return false;
    }
    if (written)
        *written = std::move(rows);
    return true;
}

bool LevelRangeSynchronization::FeedHolders(const Code* ancestor, const QStringList& ancestorKey,
                                            const QString& reaches) {
    // The chart as the holders' range tables hold it, without the blanks a fixed-width column pads it with.
    const QString chart = clsGenericMaint::ShownValue(m_top);
    for (const bool multipliers : {true, false}) {
        const Holders h = LevelRangeRemoval::HoldersOf(multipliers);
        QStringList holders;
        if (!HoldersOfCodes(multipliers, ancestor, holders))
            return Fail(h.step);
        for (const QString& holder : holders) {
            // The holder as read, under the name its range table holds it by, padded or not, as a code is
            // written: a later removal, which looks the holder up as stored, finds the row again.
            QStringList key;
            if (!h.table.StoredKey({chart, holder}, key))
                return Fail(h.step);
            QString wanted;
            if (ancestor) {
                // What reaches the ancestor and the ancestor lacks: a range it held already passed nothing
                // on.
                wanted = (reaches.isEmpty() ? QString() : reaches % QStringLiteral(" and ")) %
                         QStringLiteral("0 = (Select count(*) From ") % m_table.Table() %
                         QStringLiteral(" A where") %
                         m_table.EntryCondition(ancestorKey, QStringLiteral("A")) % QStringLiteral(" and ") %
                         Column(QStringLiteral("A"), m_table.FromColumn()) % QStringLiteral(" = ") %
                         Column(QStringLiteral("S"), m_table.FromColumn()) % QStringLiteral(" and ") %
                         Column(QStringLiteral("A"), m_table.ToColumn()) % QStringLiteral(" = ") %
                         Column(QStringLiteral("S"), m_table.ToColumn()) % QStringLiteral(")");
            } else if (m_code.isEmpty()) {
                // The codes of the level this holder holds.
                wanted = SourceCodeIn(
                    QStringLiteral("Select X.CS_CODE From ") % h.hierarchy %
                    QStringLiteral(" X where X.CS_AREA = ") % SqlText(m_area) % QStringLiteral(" and ") %
                    LevelHierarchyWalk::Matches(QStringLiteral("X.CS_COA"), m_top) % QStringLiteral(" and ") %
                    SqlEquals(QStringLiteral("X.") % h.column, holder) % QStringLiteral(" and ") %
                    LevelHierarchyWalk::Matches(QStringLiteral("X.CS_LEVEL"), m_level));
            }
            if (!Feed(h.table, key, wanted, nullptr))
                return Fail(h.step);
        }
    }
    return true;
}

bool LevelRangeSynchronization::Carry(const QString& level, const QString& code) {
    m_level = level;
    m_code = code;
    m_added.clear();
    m_failed = Step::None;
    std::vector<Code> parents;
    if (!Parents(parents))
        return Fail(Step::Walk);
    // A level's codes stand together as the start, which no code of the hierarchy is.
    LevelHierarchyWalk walk(m_area, m_top);
    std::vector<Code> ancestors;
    if (!walk.Ancestors({level, code}, parents, ancestors))
        return Fail(Step::Walk);
    const std::vector<std::vector<int>> hops = walk.Hops();
    m_paddedLevels = false;
    if (m_code.isEmpty() &&
        std::any_of(hops.begin(), hops.end(),
                    [](const std::vector<int>& h) { return !h.empty() && h.back() > 1; }) &&
        !PaddedLevels())
        return Fail(Step::Walk);
    // The holders take what the codes and the ancestors give them while the ancestors still hold only what
    // they held: a range an ancestor lacked is what it passes on to its holders.
    if (m_holders && !FeedHolders(nullptr, {}, {}))
        return false;
    for (std::size_t a = 0; a < ancestors.size(); ++a) {
        const Code& ancestor = ancestors[a];
        if (m_code.isEmpty() && hops[a].empty())
            continue;
        QStringList key;
        if (!m_table.StoredKey({m_top, ancestor.level, ancestor.code}, key))
            return Fail(Step::Codes);
        const QString reaches = Reaches(ancestor, hops[a]);
        if (m_holders && !FeedHolders(&ancestor, key, reaches))
            return false;
        std::vector<RangeBounds> written;
        if (!Feed(m_table, key, reaches, &written))
            return Fail(Step::Codes);
        for (RangeBounds& r : written)
            m_added.push_back({ancestor, key, std::move(r)});
    }
    return true;
}
