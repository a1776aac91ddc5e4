#include "rangemaint/LevelRangeSynchronization.h"

#include "frame/ModMaintenance.h"
#include "frame/clsDBConnection.h"
#include "frame/modMain.h"
#include "platform/Recordset.h"
#include "rangemaint/HolderRangeFeed.h"
#include "services/clsGenericMaint.h"

#include <QStringBuilder>
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

QString LevelRangeSynchronization::SourceCondition(const QString& joined) const {
    const QString from = Column(QStringLiteral("S"), m_table.FromColumn());
    const QString to = Column(QStringLiteral("S"), m_table.ToColumn());
    // A code blank after trimming is the level's placeholder, a blank bound a code's: neither is a range.
    const QStringList blank =
        m_code.isEmpty() ? QStringList{Column(QStringLiteral("S"), m_table.KeyColumns().last()), from, to}
                         : QStringList{from, to};
    const QStringList keys =
        m_code.isEmpty() ? QStringList{m_top, m_level} : QStringList{m_top, m_level, m_code};
    if (joined.isEmpty())
        return m_table.EntryCondition(keys, QStringLiteral("S")) % QStringLiteral(" and ") % NoneBlank(blank);
    // The chart and level named by the joined row's columns, so that the source rows are looked up in the
    // index for each of its rows and no planner without statistics reads them all for each; the chart and
    // level as stored still hold.
    const QString chart = Column(QStringLiteral("S"), m_table.KeyColumns()[0]),
                  level = Column(QStringLiteral("S"), m_table.KeyColumns()[1]);
    const bool d = joined == QLatin1String("D");
    return QStringLiteral(" ") % chart % QStringLiteral(" = ") %
           (d ? QStringLiteral("D.COA") : QStringLiteral("X.CS_COA")) % QStringLiteral(" and ") % level %
           QStringLiteral(" = ") % (d ? QStringLiteral("D.LVL") : QStringLiteral("X.CS_LEVEL")) %
           QStringLiteral(" and (case when ") % SqlEquals(chart, m_top) % QStringLiteral(" and ") %
           SqlEquals(level, m_level) % QStringLiteral(" then 1 else 0 end) = 1 and ") % NoneBlank(blank);
}

bool LevelRangeSynchronization::Joined() const {
    // SQLite looks each code of a list up in the index itself; a server's planner is given the join.
    if (gDBConnection->adoConnection().Provider().compare(QLatin1String("SQLITE"), Qt::CaseInsensitive) == 0)
        return false;
    return m_code.isEmpty() && !m_paddedCodes && !m_level.isEmpty() && !m_top.isEmpty() &&
           clsGenericMaint::ShownValue(m_level) == m_level && clsGenericMaint::ShownValue(m_top) == m_top;
}

QString LevelRangeSynchronization::Sources() const {
    return QStringLiteral(" From ") % m_table.Table() % QStringLiteral(" S where") % SourceCondition();
}

LevelRangeSynchronization::Reach LevelRangeSynchronization::Reaches(const Code& ancestor) const {
    if (!m_code.isEmpty())
        return {};
    // SQL Server and Oracle take a recursive expression only as "With" and with "Union All", which goes on
    // round a cycle: there the way down stops after as many rows as the walk found ancestors.
    const bool counted = !Recursive();
    const QString scope = QStringLiteral("H.CS_AREA = ") % SqlText(m_area) % QStringLiteral(" and ") %
                          LevelHierarchyWalk::Matches(QStringLiteral("H.CS_COA"), m_top);
    // A row below the ancestor: its parent is the ancestor, padded or not, as the walk takes codes for one.
    const QString top =
        m_paddedHierarchy
            ? IsShown(QStringLiteral("H.CS_PARENTLEVEL"), QStringLiteral("H.CS_PARENTCODE"), ancestor)
            : QString(
                  SqlEquals(QStringLiteral("H.CS_PARENTLEVEL"), clsGenericMaint::ShownValue(ancestor.level)) %
                  QStringLiteral(" and ") %
                  SqlEquals(QStringLiteral("H.CS_PARENTCODE"), clsGenericMaint::ShownValue(ancestor.code)));
    // A row below a code met on the way down: the walk up from the row's parent finds the code as its child,
    // the code as stored there or without its trailing blanks. A blank parent the walk does not follow, and
    // a code of the level ends the way: what reaches it, it passes on from its own rows.
    const auto below = [&](const QString& parent, const QString& child) -> QString {
        return m_paddedHierarchy ? QString(QStringLiteral("(") % parent % QStringLiteral(" = ") % child %
                                           QStringLiteral(" or RTRIM(") % parent % QStringLiteral(") = ") %
                                           child % QStringLiteral(")"))
                                 : QString(parent % QStringLiteral(" = ") % child);
    };
    const QString atLevel = LevelHierarchyWalk::Matches(QStringLiteral("D.LVL"), m_level);
    const QString step =
        QStringLiteral("Select H.CS_AREA, H.CS_COA, H.CS_CHILDLEVEL, H.CS_CHILDCODE") %
        (counted ? QStringLiteral(", D.N + 1") : QString()) %
        // The area and chart as the row above holds them: each step is looked up in the index for each
        // code met, which no planner without statistics turns into reading the chart for every step.
        QStringLiteral(" From D, CS_LEVELHIER H where H.CS_AREA = D.AREA and H.CS_COA = D.COA and ") %
        below(QStringLiteral("H.CS_PARENTLEVEL"), QStringLiteral("D.LVL")) % QStringLiteral(" and ") %
        below(QStringLiteral("H.CS_PARENTCODE"), QStringLiteral("D.CD")) % QStringLiteral(" and ") %
        NoneBlank({QStringLiteral("H.CS_PARENTLEVEL"), QStringLiteral("H.CS_PARENTCODE")}) %
        QStringLiteral(" and (case when ") % atLevel % QStringLiteral(" then 0 else 1 end) = 1") %
        (counted ? QStringLiteral(" and D.N < %1").arg(m_ancestors + 1) : QString());
    Reach reach;
    reach.with = (counted ? QStringLiteral("With D (AREA, COA, LVL, CD, N) as (")
                          : QStringLiteral("With Recursive D (AREA, COA, LVL, CD) as (")) %
                 QStringLiteral("Select H.CS_AREA, H.CS_COA, H.CS_CHILDLEVEL, H.CS_CHILDCODE") %
                 (counted ? QStringLiteral(", 1") : QString()) %
                 QStringLiteral(" From CS_LEVELHIER H where ") % scope % QStringLiteral(" and ") % top %
                 (counted ? QStringLiteral(" union all ") : QStringLiteral(" union ")) % step %
                 QStringLiteral(") ");
    if (Joined()) {
        // Each code the way down met at the level is looked up in the range table's index. The codes it
        // passed on the way are dropped before that, by a condition on the way alone: else every ancestor
        // would read the rows of every code between it and the level, only to find them of another level.
        reach.tables = QStringLiteral(", D");
        reach.condition = Column(QStringLiteral("S"), m_table.KeyColumns().last()) %
                          QStringLiteral(" = D.CD and (case when ") % atLevel %
                          QStringLiteral(" then 1 else 0 end) = 1");
    } else {
        reach.condition = SourceCodeIn(QStringLiteral("Select D.CD From D where ") % atLevel);
    }
    return reach;
}

QString LevelRangeSynchronization::SourceCodeIn(const QString& codes) const {
    // Not correlated with the source row: the database reads the codes once for all the rows, and where no
    // code is stored padded looks each one's rows up in the index.
    const QString code = Column(QStringLiteral("S"), m_table.KeyColumns().last());
    if (!m_paddedCodes)
        return code % QStringLiteral(" in (") % codes % QStringLiteral(")");
    return QStringLiteral("(") % code % QStringLiteral(" in (") % codes % QStringLiteral(") or RTRIM(") %
           code % QStringLiteral(") in (") % codes % QStringLiteral("))");
}

QString LevelRangeSynchronization::HoldsSourceCode(const QString& column) const {
    const QString code = Column(QStringLiteral("S"), m_table.KeyColumns().last());
    return QStringLiteral("(") % column % QStringLiteral(" in (Select ") % code % Sources() %
           QStringLiteral(") or ") % column % QStringLiteral(" in (Select RTRIM(") % code %
           QStringLiteral(")") % Sources() % QStringLiteral("))");
}

bool LevelRangeSynchronization::Padding() {
    // Where a column pads, it compares its values without the blanks: only a value stored with blanks of its
    // own counts.
    const auto any = [](const QString& table, const QString& condition, bool& found) {
        const Existence padded = RangeTable::AnyRow(table, condition);
        found = padded == Existence::Present;
        return padded != Existence::Failed;
    };
    const auto padded = [](const QString& column) -> QString {
        return column % QStringLiteral(" <> RTRIM(") % column % QStringLiteral(")");
    };
    m_paddedCodes = clsGenericMaint::ShownValue(m_code) != m_code;
    return any(QStringLiteral("CS_LEVELHIER"),
               QStringLiteral("CS_AREA = ") % SqlText(m_area) % QStringLiteral(" and ") %
                   LevelHierarchyWalk::Matches(QStringLiteral("CS_COA"), m_top) % QStringLiteral(" and (") %
                   padded(QStringLiteral("CS_PARENTLEVEL")) % QStringLiteral(" or ") %
                   padded(QStringLiteral("CS_PARENTCODE")) % QStringLiteral(" or ") %
                   padded(QStringLiteral("CS_CHILDLEVEL")) % QStringLiteral(" or ") %
                   padded(QStringLiteral("CS_CHILDCODE")) % QStringLiteral(")"),
               m_paddedHierarchy) &&
           (!m_code.isEmpty() || any(m_table.Table(),
                                     m_table.EntryCondition({m_top, m_level}) % QStringLiteral(" and ") %
                                         padded(m_table.KeyColumns().last()),
                                     m_paddedCodes));
}

QString LevelRangeSynchronization::AboveSources() const {
    return QStringLiteral(" From CS_LEVELHIER H where H.CS_AREA = ") % SqlText(m_area) %
           QStringLiteral(" and ") % LevelHierarchyWalk::Matches(QStringLiteral("H.CS_COA"), m_top) %
           QStringLiteral(" and ") % LevelHierarchyWalk::Matches(QStringLiteral("H.CS_CHILDLEVEL"), m_level) %
           QStringLiteral(" and ") % HoldsSourceCode(QStringLiteral("H.CS_CHILDCODE"));
}

bool LevelRangeSynchronization::Recursive() const {
    const DbConnection& db = gDBConnection->adoConnection();
    return !db.IsOracle() && !db.IsSqlServer();
}

bool LevelRangeSynchronization::KnowParents(LevelHierarchyWalk& walk) const {
    // Every code above the codes carried, and then the parents of each: the rows the walk would look up one
    // code at a time. Each step is joined by the area and chart the row above holds, so that it is looked up
    // in the index for each code met.
    const QString step = QStringLiteral(" From U, CS_LEVELHIER H where H.CS_AREA = U.AREA and H.CS_COA = "
                                        "U.COA and H.CS_CHILDLEVEL = U.LVL and H.CS_CHILDCODE = U.CD");
    Recordset rs = GetRecordset(
        QStringLiteral("With Recursive U (AREA, COA, LVL, CD) as (Select H.CS_AREA, H.CS_COA, "
                       "H.CS_PARENTLEVEL, H.CS_PARENTCODE") %
        AboveSources() %
        QStringLiteral(" union Select H.CS_AREA, H.CS_COA, H.CS_PARENTLEVEL, H.CS_PARENTCODE") % step %
        QStringLiteral(
            ") Select distinct H.CS_CHILDLEVEL, H.CS_CHILDCODE, H.CS_PARENTLEVEL, H.CS_PARENTCODE") %
        step);
    if (!gQueryOK || rs.IsNothing())
        return false;
    std::vector<std::pair<Code, Code>> rows;
    const Field fields[] = {rs.Fields(0), rs.Fields(1), rs.Fields(2), rs.Fields(3)};
    // Without the blanks a fixed-width column pads every value with, as a look-up answers them.
    const auto text = [](const Field& f) {
        return f.FixedWidth() ? clsGenericMaint::ShownValue(f.Text()) : f.Text();
    };
    for (; !rs.IsEOF(); rs.MoveNext())
        rows.push_back({{text(fields[0]), text(fields[1])}, {text(fields[2]), text(fields[3])}});
    rs.Close();
    walk.KnowParents(rows);
    return true;
}

bool LevelRangeSynchronization::Parents(std::vector<Code>& parents) {
    const QString sql = QStringLiteral("Select distinct H.CS_PARENTLEVEL, H.CS_PARENTCODE") % AboveSources() %
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

bool LevelRangeSynchronization::Feed(const RangeTable& target, const QStringList& keys, const Reach& reach,
                                     std::vector<RangeBounds>* written,
                                     const std::function<bool()>& beforeWriting) const {
    const QString from = Column(QStringLiteral("S"), m_table.FromColumn());
    const QString to = Column(QStringLiteral("S"), m_table.ToColumn());
    // What the entry lacks is the difference of two sets: the ranges reaching it, except the rows it holds.
    // Every server reads each side once (by the index on the entry's key for its rows) and compares the two
    // by hashing or sorting, as its own equality has it (a fixed-width column's padding, a collation), so the
    // cost stays with the rows whatever the planner knows of them; a look-up per range reaching it would be
    // paid again by every ancestor above.
    const QString lacking =
        QStringLiteral(" From (Select ") % from % QStringLiteral(" RF, ") % to % QStringLiteral(" RT From ") %
        m_table.Table() % QStringLiteral(" S") % reach.tables % QStringLiteral(" where") %
        SourceCondition(reach.tables.isEmpty() ? QString() : QStringLiteral("D")) %
        (reach.condition.isEmpty() ? QString() : QString(QStringLiteral(" and ") % reach.condition)) %
        Except() % QStringLiteral("Select ") % Column(QStringLiteral("W"), target.FromColumn()) %
        QStringLiteral(", ") % Column(QStringLiteral("W"), target.ToColumn()) % QStringLiteral(" From ") %
        target.Table() % QStringLiteral(" W where") % target.EntryCondition(keys, QStringLiteral("W")) %
        QStringLiteral(") L");
    // Only what will be written comes across: the tree shows it, and the longest of each bound stands for
    // them all, so a value longer than its column is refused before anything is written.
    Recordset rs = GetRecordset(reach.with % QStringLiteral("Select L.RF, L.RT") % lacking);
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
    if (written)
        written->clear();
    if (rows.empty())
        return true;
    if (!target.Fits(keys, longest.from, longest.to) || (beforeWriting && !beforeWriting()))
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
        if (!ExecuteSQL(HolderRangeFeed::InsertSelect(
                QStringLiteral("Insert into ") % target.Table() % QStringLiteral(" (") %
                    target.KeyColumns().join(QStringLiteral(", ")) % QStringLiteral(", ") %
                    target.FromColumn() % QStringLiteral(", ") % target.ToColumn() % QStringLiteral(") "),
                reach.with,
                QStringLiteral("Select ") % values.join(QStringLiteral(", ")) %
                    QStringLiteral(", L.RF, L.RT") % lacking)))
            return false;
    }
    if (written)
        *written = std::move(rows);
    return true;
}

bool LevelRangeSynchronization::FeedHolders(const Code* ancestor, const QStringList& ancestorKey,
                                            const Reach& reach) {
    const QString from = Column(QStringLiteral("S"), m_table.FromColumn());
    const QString to = Column(QStringLiteral("S"), m_table.ToColumn());
    const QString code = Column(QStringLiteral("S"), m_table.KeyColumns().last());
    QString condition = SourceCondition(reach.tables.isEmpty() ? QString() : QStringLiteral("D")), holding;
    if (ancestor) {
        // What reaches the ancestor and the ancestor lacks: a range it held already passed nothing on.
        holding = HolderRangeFeed::Holds(QStringLiteral("X"), ancestor->level, ancestor->code);
        condition =
            condition %
            (reach.condition.isEmpty() ? QString() : QString(QStringLiteral(" and ") % reach.condition)) %
            QStringLiteral(" and 0 = (Select count(*) From ") % m_table.Table() % QStringLiteral(" A where") %
            m_table.EntryCondition(ancestorKey, QStringLiteral("A")) % QStringLiteral(" and ") %
            Column(QStringLiteral("A"), m_table.FromColumn()) % QStringLiteral(" = ") % from %
            QStringLiteral(" and ") % Column(QStringLiteral("A"), m_table.ToColumn()) %
            QStringLiteral(" = ") % to % QStringLiteral(") and ") % holding;
    } else {
        // A holder of a code of the level (or of the code) gets each of the code's ranges, joined by the
        // code as the range table holds it or without its trailing blanks.
        holding =
            LevelHierarchyWalk::Matches(QStringLiteral("X.CS_LEVEL"), m_level) %
            (m_code.isEmpty() ? QString()
                              : QString(QStringLiteral(" and ") %
                                        LevelHierarchyWalk::Matches(QStringLiteral("X.CS_CODE"), m_code)));
        if (Joined()) {
            // The level's rows are looked up in the index for each holder's row, by its level and code: the
            // level is named to the holders' rows only as a list, which no planner takes for a join's
            // equality, and to the source rows through them.
            holding = QStringLiteral("X.CS_LEVEL in (") % SqlText(m_level) % QStringLiteral(", ") %
                      SqlText(m_level) % QStringLiteral(")");
            condition = SourceCondition(QStringLiteral("X"));
        }
        condition =
            condition % QStringLiteral(" and ") % holding % QStringLiteral(" and ") %
            (m_paddedCodes ? QString(QStringLiteral("(X.CS_CODE = ") % code %
                                     QStringLiteral(" or X.CS_CODE = RTRIM(") % code % QStringLiteral("))"))
                           : QString(QStringLiteral("X.CS_CODE = ") % code));
    }
    for (const bool multipliers : {true, false}) {
        const HolderRangeFeed feed(m_area, m_top, multipliers);
        // An ancestor's holders are sought first: most ancestors have none, and then nothing more is read.
        if (ancestor) {
            const Existence held = RangeTable::AnyRow(
                feed.Holders().hierarchy % QStringLiteral(" X"),
                QStringLiteral("X.CS_AREA = ") % SqlText(m_area) % QStringLiteral(" and ") %
                    LevelHierarchyWalk::Matches(QStringLiteral("X.CS_COA"), m_top) % QStringLiteral(" and ") %
                    holding);
            if (held == Existence::Failed)
                return Fail(feed.Holders().step);
            if (held == Existence::Absent)
                continue;
        }
        if (!feed.Feed(m_table.Table() % QStringLiteral(" S") % (ancestor ? reach.tables : QString()),
                       condition, holding, from, to, ancestor ? reach.with : QString()))
            return Fail(feed.Holders().step);
    }
    return true;
}

bool LevelRangeSynchronization::Carry(const QString& level, const QString& code) {
    m_level = level;
    m_code = code;
    // A fixed-width column's padding is no part of a name: without it the chart and level are plain
    // equalities, which the indexes answer and the level's rows are joined by.
    const std::optional<QList<bool>> fixed = m_table.FixedWidths();
    if (!fixed)
        return Fail(Step::Walk);
    for (auto [column, value] : {std::pair{0, &m_top}, {1, &m_level}, {2, &m_code}})
        if (column < fixed->size() && fixed->at(column))
            *value = clsGenericMaint::ShownValue(*value);
    m_added.clear();
    m_failed = Step::None;
    std::vector<Code> parents;
    if (!Parents(parents) || !Padding())
        return Fail(Step::Walk);
    // A level's codes stand together as the start, which no code of the hierarchy is.
    LevelHierarchyWalk walk(m_area, m_top);
    std::vector<Code> ancestors;
    if ((Recursive() && !m_paddedHierarchy && !KnowParents(walk)) ||
        !walk.Ancestors({m_level, m_code}, parents, ancestors))
        return Fail(Step::Walk);
    m_ancestors = static_cast<int>(ancestors.size());
    // The holders take what the codes and the ancestors give them while the ancestors still hold only what
    // they held: a range an ancestor lacked is what it passes on to its holders.
    if (m_holders && !FeedHolders(nullptr, {}, {}))
        return false;
    // Each ancestor after the codes below it, so that a code of the level on the way passes on what reached
    // it; round a cycle, again until nothing changes. One code's rows reach every ancestor at once.
    const std::vector<Code> order = walk.BottomUp();
    const bool again = m_code.isEmpty() && walk.Cyclic();
    for (bool changed = true; changed;) {
        changed = false;
        for (const Code& ancestor : order) {
            QStringList key;
            if (!m_table.StoredKey({m_top, ancestor.level, ancestor.code}, key))
                return Fail(Step::Codes);
            const Reach reach = Reaches(ancestor);
            // The ancestor's holders get only what the ancestor lacks, so they are fed only when it lacks
            // something: an ancestor that holds every range costs one read, however many codes chain above.
            std::vector<RangeBounds> written;
            if (!Feed(m_table, key, reach, &written,
                      [&] { return !m_holders || FeedHolders(&ancestor, key, reach); }))
                return m_failed == Step::None ? Fail(Step::Codes) : false;
            changed = changed || (again && !written.empty());
            for (RangeBounds& r : written)
                m_added.push_back({ancestor, key, std::move(r)});
        }
    }
    return true;
}
