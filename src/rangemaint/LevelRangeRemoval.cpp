#include "rangemaint/LevelRangeRemoval.h"

#include "frame/ModMaintenance.h"
#include "frame/clsDBConnection.h"
#include "frame/modMain.h"
#include "platform/Recordset.h"
#include "rangemaint/EntryNames.h"
#include "rangemaint/clsAcCategoriesRangeMaint.h"
#include "rangemaint/clsAcMultiplierRangeMaint.h"
#include "services/clsGenericMaint.h"

#include <QStringBuilder>
#include <algorithm>

namespace {

QString Column(const QString& q, const QString& column) {
    return q % QLatin1Char('.') % column;
}

// An empty bound, which a NULL may stand for (as Oracle stores it); as the deletes name it.
QString Empty(const QString& column) {
    return QStringLiteral("(") % column % QStringLiteral(" = '' or ") % column % QStringLiteral(" is null)");
}

// Two bounds are one as the database compares them, an empty bound and a NULL being one.
QString SameBound(const QString& a, const QString& b) {
    return QStringLiteral("(") % a % QStringLiteral(" = ") % b % QStringLiteral(" or (") % Empty(a) %
           QStringLiteral(" and ") % Empty(b) % QStringLiteral("))");
}

// The parts of the conditions below: `from` is " from <rows> where <where>", `equal` the plain equality
// of the rows' bounds to those of the row `b`, `loose` (a condition on `b` first) the looser match a range
// with an empty bound needs, and it alone pays for.
struct Match {
    QString from, equal, loose;
};

Match MatchOf(const QString& rows, const QString& where, const RangeTable& ta, const QString& a,
              const RangeTable& tb, const QString& b) {
    const QString fa = Column(a, ta.FromColumn()), ta2 = Column(a, ta.ToColumn());
    const QString fb = Column(b, tb.FromColumn()), tb2 = Column(b, tb.ToColumn());
    const QString from = QStringLiteral(" from ") % rows % QStringLiteral(" where ") % where;
    return {from,
            QStringLiteral(" and ") % fa % QStringLiteral(" = ") % fb % QStringLiteral(" and ") % ta2 %
                QStringLiteral(" = ") % tb2,
            QStringLiteral("(") % Empty(fb) % QStringLiteral(" or ") % Empty(tb2) %
                QStringLiteral(") and exists (Select 1") % from % QStringLiteral(" and ") %
                SameBound(fa, fb) % QStringLiteral(" and ") % SameBound(ta2, tb2) % QStringLiteral(")")};
}

// Whether some row `a` of `rows` (a From clause) meeting `where` holds the range of the row `b`, as the
// database compares the bounds: by plain equality, which the index (or a hash) answers.
QString HeldBy(const QString& rows, const QString& where, const RangeTable& ta, const QString& a,
               const RangeTable& tb, const QString& b) {
    const Match m = MatchOf(rows, where, ta, a, tb, b);
    return QStringLiteral("(exists (Select 1") % m.from % m.equal % QStringLiteral(") or ") % m.loose %
           QStringLiteral(")");
}

// The negation of a condition that may be unknown where Oracle compares with its NULL for an empty text: a
// CASE answers it on every database alike, where "not" would leave it unknown and drop the row.
QString Not(const QString& condition) {
    return QStringLiteral("(case when ") % condition % QStringLiteral(" then 0 else 1 end) = 1");
}

// The row is no placeholder: a placeholder stands for no range and only goes with the entry's first range.
QString NoPlaceholder(const RangeTable& table, const QString& q) {
    return Not(RangeTable::BlankCondition(Column(q, table.FromColumn())) % QStringLiteral(" and ") %
               RangeTable::BlankCondition(Column(q, table.ToColumn())));
}

// The row has both bounds and is no placeholder: plain equalities compare it with another as the database
// does, so an index or a hash answers them.
QString Bounded(const RangeTable& table, const QString& q) {
    const QString from = Column(q, table.FromColumn()), to = Column(q, table.ToColumn());
    return QStringLiteral("(case when ") % Empty(from) % QStringLiteral(" or ") % Empty(to) %
           QStringLiteral(" or (") % RangeTable::BlankCondition(from) % QStringLiteral(" and ") %
           RangeTable::BlankCondition(to) % QStringLiteral(") then 0 else 1 end) = 1");
}

// The row has an empty bound (or a NULL), which only a looser match compares as the deletes name it.
QString HalfEmpty(const RangeTable& table, const QString& q) {
    return QStringLiteral("(") % Empty(Column(q, table.FromColumn())) % QStringLiteral(" or ") %
           Empty(Column(q, table.ToColumn())) % QStringLiteral(")");
}

// Whether the row `b` of `tb` is `wanted` and no row of the feeders (`fed`, as Fed gives them) holds its
// range, as the database compares the bounds.
//
// The feeders' rows are named as a table of their own, which no row of the outer statement changes: SQLite
// builds an index of it once for the statement, and a server hashes it once, or looks it up row by row in
// the range table's index where it deems it too large to hash. Nothing is "not exists": a server may turn
// that into a join, which on tables it has no statistics of yet compares every row with every other.
//
// `also` (if any) is a further condition on the feeders' row, which ties it to the holder of the row `b`.
QString WantedAndHeldByNone(const QString& wanted, const QString& fed, const QString& alias,
                            const RangeTable& tb, const QString& b, const QString& also = QString()) {
    const QString from = Column(b, tb.FromColumn()), to = Column(b, tb.ToColumn());
    const QString rows = QStringLiteral(" from (") % fed % QStringLiteral(") ") % alias %
                         QStringLiteral(" where ") %
                         (also.isEmpty() ? QString() : also % QStringLiteral(" and "));
    return QStringLiteral("0 = (case when ") % wanted % QStringLiteral(" then (case when exists (Select 1") %
           rows % alias % QStringLiteral(".RF = ") % from % QStringLiteral(" and ") % alias %
           QStringLiteral(".RT = ") % to % QStringLiteral(") then 1 else 0 end) else 1 end) and ") %
           Not(QStringLiteral("(") % Empty(from) % QStringLiteral(" or ") % Empty(to) %
               QStringLiteral(") and exists (Select 1") % rows %
               SameBound(alias % QStringLiteral(".RF"), from) % QStringLiteral(" and ") %
               SameBound(alias % QStringLiteral(".RT"), to) % QStringLiteral(")"));
}

// The rows a query answers, its first two columns as text each, into `rows`.
template <typename Pair> bool Pairs(const QString& sql, std::vector<Pair>& rows) {
    Recordset rs = GetRecordset(sql);
    if (!gQueryOK || rs.IsNothing())
        return false;
    for (const Field first = rs.Fields(0), second = rs.Fields(1); !rs.IsEOF(); rs.MoveNext())
        rows.push_back({first.Text(), second.Text()});
    rs.Close();
    return true;
}

} // namespace

LevelRangeRemoval::Holders LevelRangeRemoval::HoldersOf(bool multipliers) {
    if (multipliers)
        return {QStringLiteral("CS_MULTIPLIERHIER"), QStringLiteral("CS_MULTIPLIER"),
                clsAcMultiplierRangeMaint().Table(), Step::Multipliers};
    return {QStringLiteral("CS_CATEGORYHIER"), QStringLiteral("CS_CATEGORY"),
            clsAcCategoriesRangeMaint().Table(), Step::Categories};
}

LevelRangeRemoval::LevelRangeRemoval(QString area, QString top, const RangeTable& table, bool holders)
    : m_area(std::move(area)), m_top(std::move(top)), m_table(table), m_holders(holders) {}

bool LevelRangeRemoval::Fail(Step step) {
    m_failed = step;
    return false;
}

bool LevelRangeRemoval::Start(std::optional<RangeBounds> range, bool record) {
    m_record = record;
    m_removed.clear();
    m_failed = Step::None;
    m_range = std::move(range);
    m_sources.clear();
    m_loose = m_range && (m_range->from.trimmed().isEmpty() || m_range->to.trimmed().isEmpty());
    const std::optional<QList<int>> widths = m_table.DeclaredSizes();
    const std::optional<QList<bool>> fixed = m_table.FixedWidths();
    if (!widths || !fixed)
        return false;
    m_widths = *widths;
    m_fixed = *fixed;
    return true;
}

bool LevelRangeRemoval::FindLoose() {
    // Whether the detached code holds a range with an empty bound: only then do the statements need the
    // looser match, which the per-row comparisons of an empty bound and a NULL pay for.
    const Existence loose =
        RangeTable::AnyRow(m_table.Table() % QStringLiteral(" W"),
                           Sources() % QStringLiteral(" and ") % HalfEmpty(m_table, QStringLiteral("W")) %
                               QStringLiteral(" and ") % NoPlaceholder(m_table, QStringLiteral("W")));
    if (loose == Existence::Failed)
        return false;
    m_loose = loose == Existence::Present;
    return true;
}

bool LevelRangeRemoval::KeyOf(const Code& code, QStringList& key) const {
    if (!m_table.StoredKey({m_top, code.level, code.code}, key))
        return false;
    // A code the range table keys with trailing blanks another program wrote gets its placeholder back under
    // that key: looked up in the index, where a plain equality misses it.
    const QStringList& k = m_table.KeyColumns();
    const QString padded = key[2] == clsGenericMaint::ShownValue(key[2]) && !key[2].isEmpty() &&
                                   !(m_fixed.size() > 2 && m_fixed[2])
                               ? EntryNames::PaddedSpelling(k[2], SqlText(key[2]))
                               : QString();
    if (padded.isEmpty())
        return true;
    Recordset rs =
        GetRecordset(QStringLiteral("Select ") % k[2] % QStringLiteral(" from ") % m_table.Table() %
                     QStringLiteral(" where ") % SqlEquals(k[0], key[0]) % QStringLiteral(" and ") %
                     SqlEquals(k[1], key[1]) % QStringLiteral(" and ") % padded);
    if (!gQueryOK || rs.IsNothing())
        return false;
    if (!rs.IsEOF())
        key[2] = rs.Fields(0).Text();
    rs.Close();
    return true;
}

QString LevelRangeRemoval::IsCode(const QString& level, const QString& code, const Code& c) const {
    return LevelHierarchyWalk::Matches(level, c.level) % QStringLiteral(" and ") %
           EntryNames::Names(code, c.code);
}

QString LevelRangeRemoval::Wanted(const RangeTable& table, const QString& q) const {
    if (m_range)
        return QStringLiteral("(") % SqlEquals(Column(q, table.FromColumn()), m_range->from) %
               QStringLiteral(" and ") % SqlEquals(Column(q, table.ToColumn()), m_range->to) %
               QStringLiteral(")");
    return HeldBy(m_table.Table() % QStringLiteral(" W"), Sources(), m_table, QStringLiteral("W"), table, q);
}

QString LevelRangeRemoval::Sources() const {
    QStringList keys;
    for (const QStringList& key : m_sources)
        keys << QStringLiteral("(") % m_table.EntryCondition(key, QStringLiteral("W")) % QStringLiteral(")");
    return QStringLiteral("(") % keys.join(QStringLiteral(" or ")) % QStringLiteral(")");
}

QString LevelRangeRemoval::Exactly(const QString& q) const {
    if (!m_range)
        return QString();
    return Column(q, m_table.FromColumn()) % QStringLiteral(" = ") % SqlText(m_range->from) %
           QStringLiteral(" and ") % Column(q, m_table.ToColumn()) % QStringLiteral(" = ") %
           SqlText(m_range->to);
}

QString LevelRangeRemoval::WantedExactly(const QString& q) const {
    if (m_range)
        return Exactly(q);
    // A semi-join with the detached code's rows, which every server runs as one, whatever its estimates.
    return QStringLiteral("exists (Select 1 from ") % m_table.Table() % QStringLiteral(" W where ") %
           Sources() % QStringLiteral(" and W.") % m_table.FromColumn() % QStringLiteral(" = ") %
           Column(q, m_table.FromColumn()) % QStringLiteral(" and W.") % m_table.ToColumn() %
           QStringLiteral(" = ") % Column(q, m_table.ToColumn()) % QStringLiteral(")");
}

QString LevelRangeRemoval::AsKey(qsizetype c, const QString& expr) const {
    const QString trimmed = QStringLiteral("RTRIM(") % expr % QStringLiteral(")");
    // Compared in the column's own type, the value finds the range table's index: a fixed-width column
    // compared with text would be compared as text, and (on Oracle) without the padding it holds.
    if (c < m_fixed.size() && m_fixed[c] && c < m_widths.size() && m_widths[c] > 0)
        return QStringLiteral("CAST(") % trimmed % QStringLiteral(" AS CHAR(") %
               QString::number(m_widths[c]) % QStringLiteral("))");
    return trimmed;
}

// The children of the code as CS_LEVELHIER holds them; a row making the code its own child feeds it nothing.
LevelRangeRemoval::Feeders LevelRangeRemoval::ChildrenOf(const Code& code) const {
    return {QStringLiteral("CS_LEVELHIER"), QStringLiteral("H"),
            QStringLiteral("H.CS_AREA = ") % SqlText(m_area) % QStringLiteral(" and ") %
                LevelHierarchyWalk::Matches(QStringLiteral("H.CS_COA"), m_top) % QStringLiteral(" and ") %
                IsCode(QStringLiteral("H.CS_PARENTLEVEL"), QStringLiteral("H.CS_PARENTCODE"), code) %
                QStringLiteral(" and ") %
                Not(IsCode(QStringLiteral("H.CS_CHILDLEVEL"), QStringLiteral("H.CS_CHILDCODE"), code)),
            QStringLiteral("CS_CHILDLEVEL"), QStringLiteral("CS_CHILDCODE")};
}

// The hierarchy is joined to the range table inside the statement, so that however many feeders there are,
// a feeder's rows are found by the range table's index on its key columns. A feeder's rows are keyed by its
// trimmed level and code, in the range table's own types; and, where the range table keys some of its rows
// with trailing blanks, by those spellings too.
QStringList LevelRangeRemoval::FeederSelects(const Feeders& f, const QString& rows, const QString& restrict,
                                             const QString& lead) const {
    const QStringList& k = m_table.KeyColumns();
    const QString level = Column(f.alias, f.level), code = Column(f.alias, f.code);
    const QString head = QStringLiteral("Select ") %
                         (lead.isEmpty() ? QString() : lead % QStringLiteral(", ")) %
                         Column(rows, m_table.FromColumn()) % QStringLiteral(" RF, ") %
                         Column(rows, m_table.ToColumn()) % QStringLiteral(" RT from ") % f.hierarchy %
                         QLatin1Char(' ') % f.alias % QStringLiteral(" cross join ") % m_table.Table() %
                         QLatin1Char(' ') % rows % QStringLiteral(" where ") % f.where %
                         QStringLiteral(" and ") % Not(RangeTable::BlankCondition(level)) %
                         QStringLiteral(" and ") % Not(RangeTable::BlankCondition(code)) %
                         QStringLiteral(" and ") % LevelHierarchyWalk::Matches(Column(rows, k[0]), m_top);
    const QString tail = restrict.isEmpty() ? QString() : QStringLiteral(" and ") % restrict;
    QStringList selects{head % QStringLiteral(" and ") % Column(rows, k[1]) % QStringLiteral(" = ") %
                        AsKey(1, level) % QStringLiteral(" and ") % Column(rows, k[2]) %
                        QStringLiteral(" = ") % AsKey(2, code) % tail};
    // Rows another program keyed with trailing blanks the hierarchy does not hold: where the code column
    // is not fixed-width, which ignores them.
    const QString padded =
        m_fixed.size() > 2 && m_fixed[2]
            ? QString()
            : EntryNames::PaddedSpelling(Column(rows, k[2]),
                                         QStringLiteral("RTRIM(") % code % QStringLiteral(")"));
    if (!padded.isEmpty())
        selects << head % QStringLiteral(" and ") % Column(rows, k[1]) % QStringLiteral(" = ") %
                       AsKey(1, level) % QStringLiteral(" and ") % padded % tail;
    return selects;
}

// The bounds (RF, RT) of the feeders' rows (aliased `rows`) that are among the ranges settled.
QString LevelRangeRemoval::Fed(const Feeders& f, const QString& rows) const {
    return FeederSelects(f, rows, Wanted(m_table, rows)).join(QStringLiteral(" union "));
}

QString LevelRangeRemoval::LostPairs(const QStringList& key, const Code& code) const {
    const QString c = QStringLiteral("C1");
    // The code's rows among those settled, except (a difference of two sets, which a server hashes or
    // sorts once, whatever its estimates) what its children hold: read once for the statement, each child's
    // rows found in the index.
    // For a detach, the code's rows among the detached code's are an intersection of the two sets, which
    // needs no estimate either.
    const QString own = QStringLiteral("Select ") % Column(c, m_table.FromColumn()) %
                        QStringLiteral(" RF, ") % Column(c, m_table.ToColumn()) %
                        QStringLiteral(" RT from ") % m_table.Table() % QLatin1Char(' ') % c %
                        QStringLiteral(" where ") % m_table.EntryCondition(key, c) % QStringLiteral(" and ") %
                        Bounded(m_table, c);
    const QString w = QStringLiteral("W");
    const QString among =
        m_range ? QString(own % QStringLiteral(" and ") % Exactly(c))
                : QString(own % QStringLiteral(" intersect Select ") % Column(w, m_table.FromColumn()) %
                          QStringLiteral(", ") % Column(w, m_table.ToColumn()) % QStringLiteral(" from ") %
                          m_table.Table() % QStringLiteral(" W where ") % Sources());
    return among % Except() %
           FeederSelects(ChildrenOf(code), QStringLiteral("LS"), Exactly(QStringLiteral("LS")))
               .join(Except());
}

QString LevelRangeRemoval::LosesLoosely(const Code& code, const QString& q) const {
    return (m_range ? Wanted(m_table, q) % QStringLiteral(" and ") : QString()) %
           WantedAndHeldByNone(Wanted(m_table, q), Fed(ChildrenOf(code), QStringLiteral("LS")),
                               QStringLiteral("KC"), m_table, q);
}

QString LevelRangeRemoval::BoundAs(const RangeTable& table, int bound, const QString& expr) const {
    // A bound of the range table compared with another table's in that table's type: Oracle compares a
    // fixed-width value with varying text without padding, so the padding goes where only the other is
    // fixed-width, and is added where only the other is.
    if (&table == &m_table)
        return expr;
    const std::optional<QList<bool>> fixed = table.FixedWidths();
    const std::optional<QList<int>> widths = table.DeclaredSizes();
    const qsizetype theirs = table.KeyCount() + bound, mine = m_table.KeyCount() + bound;
    const bool theyPad = fixed && theirs < fixed->size() && fixed->at(theirs);
    const bool iPad = mine < m_fixed.size() && m_fixed[mine];
    if (theyPad == iPad)
        return expr;
    if (!theyPad)
        return QStringLiteral("RTRIM(") % expr % QStringLiteral(")");
    const int width = widths && theirs < widths->size() ? widths->at(theirs) : -1;
    return width > 0 ? QStringLiteral("CAST(") % expr % QStringLiteral(" AS CHAR(") % QString::number(width) %
                           QStringLiteral("))")
                     : expr;
}

QStringList LevelRangeRemoval::Going(const QString& entry, const RangeTable& table, const QString& q,
                                     const QString& pairs, const QString& loose,
                                     const QString& holder) const {
    QStringList conditions;
    // SQLite runs an uncorrelated row-value "in" once into an index of its own, whatever its statistics,
    // where a correlated "exists" may run the difference again for each row it deems few. A server pulls
    // the "exists" up into a semi-join, which also runs it once (SQL Server has no row-value "in").
    const bool sqlite = !gDBConnection.IsNothing() && gDBConnection->adoConnection().IsSqlite();
    const bool postgres = !gDBConnection.IsNothing() && gDBConnection->adoConnection().IsPostgres();
    // PostgreSQL would pull an "in" or "exists" up into a join, which on tables it has no statistics of yet
    // it may run as a nested loop over the difference for every row; inside a CASE it stays an uncorrelated
    // "in", which it hashes once.
    const QString in = QStringLiteral("(") % (holder.isEmpty() ? QString() : holder % QStringLiteral(", ")) %
                       Column(q, table.FromColumn()) % QStringLiteral(", ") % Column(q, table.ToColumn()) %
                       QStringLiteral(") in (Select ") %
                       (holder.isEmpty() ? QString() : QStringLiteral("LP.HN, ")) %
                       BoundAs(table, 0, QStringLiteral("LP.RF")) % QStringLiteral(", ") %
                       BoundAs(table, 1, QStringLiteral("LP.RT")) % QStringLiteral(" from (") % pairs %
                       QStringLiteral(") LP)");
    // One range's rows are found in the index by its bounds, not among all the entry's rows.
    const QString exactly =
        m_range ? QString(QStringLiteral(" and ") % SqlEquals(Column(q, table.FromColumn()), m_range->from) %
                          QStringLiteral(" and ") % SqlEquals(Column(q, table.ToColumn()), m_range->to))
                : QString();
    if (!pairs.isEmpty() && postgres)
        conditions << entry % exactly % QStringLiteral(" and (case when ") % in %
                          QStringLiteral(" then 1 else 0 end) = 1");
    else if (!pairs.isEmpty() && sqlite)
        conditions << entry % exactly % QStringLiteral(" and ") % in;
    else if (!pairs.isEmpty())
        conditions << entry % exactly % QStringLiteral(" and exists (Select 1 from (") % pairs %
                          QStringLiteral(") LP where ") %
                          (holder.isEmpty() ? QString()
                                            : QStringLiteral("LP.HN = ") % holder % QStringLiteral(" and ")) %
                          BoundAs(table, 0, QStringLiteral("LP.RF")) % QStringLiteral(" = ") %
                          Column(q, table.FromColumn()) % QStringLiteral(" and ") %
                          BoundAs(table, 1, QStringLiteral("LP.RT")) % QStringLiteral(" = ") %
                          Column(q, table.ToColumn()) % QStringLiteral(")");
    if (!loose.isEmpty())
        conditions << entry % QStringLiteral(" and ") % HalfEmpty(table, q) % QStringLiteral(" and ") %
                          NoPlaceholder(table, q) % QStringLiteral(" and ") % loose;
    return conditions;
}

bool LevelRangeRemoval::Lost(const Code& code, const RangeBounds& range) {
    if (!Start(range, true))
        return Fail(Step::Walk);
    LevelHierarchyWalk walk(m_area, m_top);
    std::vector<Code> ancestors;
    if (!walk.Ancestors(code, ancestors))
        return Fail(Step::Walk);
    // The code's row is gone: what it lost is the range itself.
    const bool bounded = !m_loose;
    const LostBy lost = [this, bounded]() -> QString {
        if (!bounded)
            return QString();
        return QStringLiteral("Select ") % SqlText(m_range->from) % QStringLiteral(" RF, ") %
               SqlText(m_range->to) % QStringLiteral(" RT") % FromOneRowOf(m_table.Table());
    };
    LostLoosely loosely;
    if (m_loose)
        loosely = [this](const RangeTable& table, const QString& q) -> QString { return Wanted(table, q); };
    return (!m_holders || SettleHolders(code, lost, loosely, false)) && Run(walk.BottomUp(), walk.Cyclic());
}

bool LevelRangeRemoval::Left(const Code& parent, const QString& child, const QStringList& childLevels) {
    if (!Start(std::nullopt, false))
        return Fail(Step::Walk);
    for (const QString& level : childLevels) {
        QStringList key;
        if (!KeyOf({level, child}, key))
            return Fail(Step::Codes);
        m_sources.push_back(key);
    }
    if (m_sources.empty())
        return true;
    if (!FindLoose())
        return Fail(Step::Codes);
    LevelHierarchyWalk walk(m_area, m_top);
    std::vector<Code> ancestors;
    if (!walk.Ancestors(parent, ancestors))
        return Fail(Step::Walk);
    std::vector<Code> codes{parent};
    for (const Code& c : walk.BottomUp())
        codes.push_back(c);
    // The child's ranges are its own, even where a cycle makes it an ancestor of its parent.
    std::erase_if(codes, [&](const Code& c) {
        return std::any_of(childLevels.begin(), childLevels.end(), [&](const QString& level) {
            return LevelHierarchyWalk::Same(c, {level, child});
        });
    });
    // A cycle's passes end on one that lost nothing, which the rows read tell.
    m_record = walk.Cyclic();
    return Run(codes, walk.Cyclic());
}

bool LevelRangeRemoval::Settle(const Code& code, const RangeBounds& range) {
    if (!Start(range, true))
        return Fail(Step::Walk);
    return Run({code}, false);
}

bool LevelRangeRemoval::HolderLeft(bool multipliers, const QString& holder, const Code& code) {
    if (!Start(std::nullopt, false))
        return Fail(Step::Walk);
    QStringList key;
    if (!KeyOf(code, key))
        return Fail(Step::Codes);
    m_sources.push_back(key);
    if (!FindLoose())
        return Fail(Step::Codes);
    const LostBy lost = [this]() -> QString {
        const QString w = QStringLiteral("W");
        return QStringLiteral("Select ") % Column(w, m_table.FromColumn()) % QStringLiteral(" RF, ") %
               Column(w, m_table.ToColumn()) % QStringLiteral(" RT from ") % m_table.Table() %
               QStringLiteral(" W where ") % Sources() % QStringLiteral(" and ") % Bounded(m_table, w);
    };
    LostLoosely loosely;
    if (m_loose)
        loosely = [this](const RangeTable& table, const QString& q) -> QString { return Wanted(table, q); };
    return SettleHolder(multipliers, holder, lost, loosely, nullptr);
}

bool LevelRangeRemoval::Run(const std::vector<Code>& codes, bool cyclic) {
    // A removal can leave an ancestor settled earlier in the pass without a feeder only on a cycle, so
    // only then do the passes go on until one removes nothing.
    for (bool again = true; again;) {
        again = false;
        for (const Code& code : codes) {
            bool changed = false;
            if (!SettleCode(code, changed))
                return false;
            again = again || (changed && cyclic);
        }
    }
    return true;
}

bool LevelRangeRemoval::SettleCode(const Code& code, bool& changed) {
    QStringList key;
    if (!KeyOf(code, key))
        return Fail(Step::Codes);
    const QString q = m_table.Table();
    const QString pairs = LostPairs(key, code);
    const QStringList going =
        Going(m_table.EntryCondition(key, q), m_table, q, pairs, m_loose ? LosesLoosely(code, q) : QString());
    // The range editor's tree shows what each code lost, and a cycle's passes end on a pass that lost
    // nothing: then the rows are read first. Otherwise the delete alone finds them.
    if (m_record) {
        std::vector<RangeBounds> rows;
        if (!Read(m_table, going, rows))
            return Fail(Step::Codes);
        if (rows.empty())
            return true;
        for (const RangeBounds& r : rows)
            m_removed.push_back({code, r});
    }
    // The holders settle while the code still holds what it loses, which names what they may lose.
    if (m_holders) {
        const LostBy lost = [&pairs]() -> QString { return pairs; };
        LostLoosely loosely;
        if (m_loose)
            loosely = [&](const RangeTable& table, const QString& holderRow) -> QString {
                const QString l = QStringLiteral("L");
                return HeldBy(q % QStringLiteral(" L"),
                              m_table.EntryCondition(key, l) % QStringLiteral(" and ") %
                                  HalfEmpty(m_table, l) % QStringLiteral(" and ") %
                                  NoPlaceholder(m_table, l) % QStringLiteral(" and ") % LosesLoosely(code, l),
                              m_table, l, table, holderRow);
            };
        if (!SettleHolders(code, lost, loosely, true))
            return false;
    }
    qint64 removed = 0;
    if (!Remove(m_table, key, going, removed))
        return Fail(Step::Codes);
    changed = removed != 0;
    return true;
}

QString LevelRangeRemoval::HolderOf(const Holders& h, const Code& code) const {
    return QStringLiteral("X.CS_AREA = ") % SqlText(m_area) % QStringLiteral(" and ") %
           LevelHierarchyWalk::Matches(QStringLiteral("X.CS_COA"), m_top) % QStringLiteral(" and ") %
           IsCode(QStringLiteral("X.CS_LEVEL"), QStringLiteral("X.CS_CODE"), code) % QStringLiteral(" and ") %
           Not(RangeTable::BlankCondition(Column(QStringLiteral("X"), h.column)));
}

QString LevelRangeRemoval::AmongHoldersOf(const Holders& h, const Code& code, const QString& name) const {
    // Inside a CASE the "in" stays an uncorrelated look-up that every server runs once, into a hash or an
    // index of its own, whatever its estimates of the hierarchy's rows.
    return QStringLiteral("(case when RTRIM(") % name % QStringLiteral(") in (Select RTRIM(X.") % h.column %
           QStringLiteral(") from ") % h.hierarchy % QStringLiteral(" X where ") % HolderOf(h, code) %
           QStringLiteral(") then 1 else 0 end) = 1");
}

LevelRangeRemoval::Feeders LevelRangeRemoval::CodesOfHolders(const Holders& h, const Code& code,
                                                             const Code* leaving) const {
    return {h.hierarchy, QStringLiteral("F"),
            QStringLiteral("F.CS_AREA = ") % SqlText(m_area) % QStringLiteral(" and ") %
                LevelHierarchyWalk::Matches(QStringLiteral("F.CS_COA"), m_top) % QStringLiteral(" and ") %
                AmongHoldersOf(h, code, QStringLiteral("F.") % h.column) %
                (leaving ? QStringLiteral(" and ") % Not(IsCode(QStringLiteral("F.CS_LEVEL"),
                                                                QStringLiteral("F.CS_CODE"), *leaving))
                         : QString()),
            QStringLiteral("CS_LEVEL"), QStringLiteral("CS_CODE")};
}

bool LevelRangeRemoval::SettleHolders(const Code& code, const LostBy& lostBy, const LostLoosely& loosely,
                                      bool leaving) {
    for (const bool multipliers : {true, false}) {
        const Holders h = HoldersOf(multipliers);
        if (!SettleHoldersIn(h, code, lostBy, loosely, leaving ? &code : nullptr))
            return Fail(h.step);
    }
    return true;
}

bool LevelRangeRemoval::SettleHoldersIn(const Holders& h, const Code& code, const LostBy& lostBy,
                                        const LostLoosely& loosely, const Code* leaving) const {
    // Every holder of the code at once, each named by its name without trailing blanks (HN), however the
    // hierarchy or its range table spells it: what the code loses, for each holder, except what another code
    // of the holder still holds.
    const RangeTable& t = h.table;
    const QString holderName = QStringLiteral("RTRIM(F.") % h.column % QStringLiteral(") HN");
    const Feeders codes = CodesOfHolders(h, code, leaving);
    QString pairs = lostBy();
    if (!pairs.isEmpty()) {
        // The bounds as the range table types them, as a union with its rows would type bounds written out.
        const auto bound = [&](int b, const QString& expr) -> QString {
            const qsizetype c = m_table.KeyCount() + b;
            return c < m_fixed.size() && m_fixed[c] && c < m_widths.size() && m_widths[c] > 0
                       ? QString(QStringLiteral("CAST(") % expr % QStringLiteral(" AS CHAR(") %
                                 QString::number(m_widths[c]) % QStringLiteral("))"))
                       : expr;
        };
        pairs = QStringLiteral("Select RTRIM(X.") % h.column % QStringLiteral(") HN, ") %
                bound(0, QStringLiteral("LB.RF")) % QStringLiteral(" RF, ") %
                bound(1, QStringLiteral("LB.RT")) % QStringLiteral(" RT from ") % h.hierarchy %
                QStringLiteral(" X cross join (") % pairs % QStringLiteral(") LB where ") %
                HolderOf(h, code) % Except() %
                FeederSelects(codes, QStringLiteral("HD"), Exactly(QStringLiteral("HD")), holderName)
                    .join(Except());
    }
    const QString fed = loosely ? FeederSelects(codes, QStringLiteral("HD"),
                                                Wanted(m_table, QStringLiteral("HD")), holderName)
                                      .join(QStringLiteral(" union "))
                                : QString();
    const QString chart = clsGenericMaint::ShownValue(m_top);
    const QString& k0 = t.KeyColumns()[0];
    const QString& k1 = t.KeyColumns()[1];
    // The holders' rows are looked up in the index by the ways their range table may key them: as the
    // hierarchy spells the holder or without its trailing blanks, in the column's own type.
    const std::optional<QList<bool>> fixed = t.FixedWidths();
    const std::optional<QList<int>> widths = t.DeclaredSizes();
    if (!fixed || !widths)
        return false;
    const QString trimmed = QStringLiteral("RTRIM(X.") % h.column % QStringLiteral(")");
    // A varying column may hold a holder's rows under the name followed by blanks another program wrote:
    // those spellings are sought in its index from each holder's name.
    const QString holders =
        QStringLiteral(" from ") % h.hierarchy % QStringLiteral(" X where ") % HolderOf(h, code);
    const QString padded = EntryNames::PaddedSpelling(QStringLiteral("W.") % k1, trimmed);
    const bool fixedKey = fixed->value(1) && widths->value(1) > 0;
    const QString key = fixedKey ? QString(QStringLiteral("CAST(") % trimmed % QStringLiteral(" AS CHAR(") %
                                           QString::number(widths->value(1)) % QStringLiteral("))"))
                                 : trimmed;
    const QString keyed =
        key % holders %
        (padded.isEmpty() || fixedKey
             ? QString()
             : QString(QStringLiteral(" union Select W.") % k1 % QStringLiteral(" from ") % h.hierarchy %
                       QStringLiteral(" X cross join ") % t.Table() % QStringLiteral(" W where ") %
                       HolderOf(h, code) % QStringLiteral(" and ") %
                       SqlEquals(QStringLiteral("W.") % k0, chart) % QStringLiteral(" and ") % padded));
    // PostgreSQL, which may misjudge how many holders the hierarchy gives, keeps the look-up of their
    // spellings a hashed filter inside a CASE: pulled up into a join, it could compare every row with every
    // spelling.
    const bool postgres = !gDBConnection.IsNothing() && gDBConnection->adoConnection().IsPostgres();
    const auto entry = [&](const QString& q) -> QString {
        const QString in = Column(q, k1) % QStringLiteral(" in (Select ") % keyed % QStringLiteral(")");
        return SqlEquals(Column(q, k0), chart) % QStringLiteral(" and ") %
               (postgres
                    ? QString(QStringLiteral("(case when ") % in % QStringLiteral(" then 1 else 0 end) = 1"))
                    : in);
    };
    // The conditions on the holders' row `q` that it goes, given what each holder loses (`lost`) and the
    // rows its remaining codes hold among those settled (`kept`), as queries.
    const auto going = [&](const QString& q, const QString& lost, const QString& kept) {
        const QString holder = QStringLiteral("RTRIM(") % Column(q, k1) % QStringLiteral(")");
        const QString loose = loosely ? AmongHoldersOf(h, code, Column(q, k1)) % QStringLiteral(" and ") %
                                            (m_range ? Wanted(t, q) % QStringLiteral(" and ") : QString()) %
                                            WantedAndHeldByNone(loosely(t, q), kept, QStringLiteral("M"), t,
                                                                q, QStringLiteral("M.HN = ") % holder)
                                      : QString();
        return Going(entry(q), t, q, lost, loose, holder);
    };
    // Whether the code has holders here, and whether each of them holds its rows under its trimmed name
    // alone (in the column's own type): then a holder left without rows by the delete had some before it, and
    // gets its placeholder under that name. Else (a holder without rows, or one whose rows another program
    // keyed otherwise) the placeholders go in first.
    // A join (anti- or semi-) that looks each holder's rows up in the index, however many holders there are.
    const QString unkeyed = QStringLiteral(" and not exists (Select 1 from ") % t.Table() %
                            QStringLiteral(" W where ") % SqlEquals(QStringLiteral("W.") % k0, chart) %
                            QStringLiteral(" and W.") % k1 % QStringLiteral(" = ") % key %
                            QStringLiteral(")");
    const QString otherwise =
        padded.isEmpty() || fixedKey
            ? QString()
            : QString(QStringLiteral(" when exists (Select 1 from ") % h.hierarchy %
                      QStringLiteral(" X cross join ") % t.Table() % QStringLiteral(" W where ") %
                      HolderOf(h, code) % QStringLiteral(" and ") %
                      SqlEquals(QStringLiteral("W.") % k0, chart) % QStringLiteral(" and ") % padded %
                      QStringLiteral(") then 1"));
    Recordset rs = GetRecordset(QStringLiteral("Select (case when exists (Select 1") % holders %
                                QStringLiteral(") then 1 else 0 end), (case when exists (Select 1") %
                                holders % unkeyed % QStringLiteral(") then 1") % otherwise %
                                QStringLiteral(" else 0 end)") % FromOneRowOf(h.hierarchy));
    if (!gQueryOK || rs.IsNothing() || rs.IsEOF())
        return false;
    const bool held = rs.Fields(0).Value().toInt() == 1, plain = rs.Fields(1).Value().toInt() == 0;
    rs.Close();
    if (!held)
        return true;
    const auto remove = [&] {
        for (const QString& condition : going(t.Table(), pairs, fed))
            if (!gDBConnection->adoConnection().Execute(QStringLiteral("Delete From ") % t.Table() %
                                                        QStringLiteral(" where ") % condition))
                return false;
        return true;
    };
    const QStringList columns = t.KeyColumns() + QStringList{t.FromColumn(), t.ToColumn()};
    const QString insert = QStringLiteral("Insert into ") % t.Table() % QStringLiteral(" (") %
                           columns.join(QStringLiteral(", ")) % QStringLiteral(") ");
    if (plain)
        return remove() &&
               ExecuteSQL(insert % QStringLiteral("Select distinct ") % SqlText(chart) %
                          QStringLiteral(", ") % key % QStringLiteral(", ' ', ' '") % holders % unkeyed);
    // A holder all of whose rows go gets its placeholder first, while its rows tell that it had some: one
    // that held none gets none. The rows going of each holder are counted against all its rows.
    const QString placeholders =
        insert % QStringLiteral("Select D.") % k0 % QStringLiteral(", D.") % k1 %
        QStringLiteral(", ' ', ' ' from ") % t.Table() % QStringLiteral(" D where (") %
        going(QStringLiteral("D"), pairs, fed).join(QStringLiteral(") or (")) %
        QStringLiteral(") Group by D.") % k0 % QStringLiteral(", D.") % k1 %
        QStringLiteral(" Having count(*) = (Select count(*) from ") % t.Table() %
        QStringLiteral(" S where S.") % k0 % QStringLiteral(" = D.") % k0 % QStringLiteral(" and S.") % k1 %
        QStringLiteral(" = D.") % k1 % QStringLiteral(")");
    return ExecuteSQL(placeholders) && remove();
}

bool LevelRangeRemoval::SettleHolder(bool multipliers, const QString& holder, const LostBy& lostBy,
                                     const LostLoosely& loosely, const Code* leaving) {
    const Holders h = HoldersOf(multipliers);
    // The chart without the blanks a fixed-width column pads it with, as the holders' rows hold it; the
    // holder as its range table holds it.
    QStringList key;
    if (!h.table.StoredKey({clsGenericMaint::ShownValue(m_top), holder}, key))
        return Fail(h.step);
    // The holder keeps what a code still attached to it holds, whichever way the hierarchy spells the
    // holder's name: each spelling is an equality the hierarchy's index answers.
    const Feeders codes{
        h.hierarchy, QStringLiteral("F"),
        QStringLiteral("F.CS_AREA = ") % SqlText(m_area) % QStringLiteral(" and ") %
            LevelHierarchyWalk::Matches(QStringLiteral("F.CS_COA"), m_top) % QStringLiteral(" and ") %
            EntryNames::Names(QStringLiteral("F.") % h.column, holder) %
            (leaving ? QStringLiteral(" and ") %
                           Not(IsCode(QStringLiteral("F.CS_LEVEL"), QStringLiteral("F.CS_CODE"), *leaving))
                     : QString()),
        QStringLiteral("CS_LEVEL"), QStringLiteral("CS_CODE")};
    const QString q = h.table.Table();
    QString pairs = lostBy();
    if (!pairs.isEmpty())
        pairs += Except() %
                 FeederSelects(codes, QStringLiteral("HD"), Exactly(QStringLiteral("HD"))).join(Except());
    const QString loose = loosely
                              ? (m_range ? Wanted(h.table, q) % QStringLiteral(" and ") : QString()) %
                                    WantedAndHeldByNone(loosely(h.table, q), Fed(codes, QStringLiteral("HD")),
                                                        QStringLiteral("M"), h.table, q)
                              : QString();
    qint64 removed = 0;
    return Remove(h.table, key, Going(h.table.EntryCondition(key, q), h.table, q, pairs, loose), removed) ||
           Fail(h.step);
}

bool LevelRangeRemoval::Read(const RangeTable& table, const QStringList& conditions,
                             std::vector<RangeBounds>& rows) const {
    if (conditions.isEmpty())
        return true;
    const QString q = table.Table();
    QStringList selects;
    for (const QString& condition : conditions)
        selects << QStringLiteral("Select ") % Column(q, table.FromColumn()) % QStringLiteral(", ") %
                       Column(q, table.ToColumn()) % QStringLiteral(" from ") % q %
                       QStringLiteral(" where ") % condition;
    return Pairs(selects.join(QStringLiteral(" union all ")), rows);
}

bool LevelRangeRemoval::Remove(const RangeTable& table, const QStringList& key, const QStringList& conditions,
                               qint64& removed) const {
    // "Delete From": the form every database accepts; the conditions that read the rows take them.
    removed = 0;
    for (const QString& condition : conditions) {
        qint64 count = 0;
        if (!gDBConnection->adoConnection().Execute(QStringLiteral("Delete From ") % table.Table() %
                                                        QStringLiteral(" where ") % condition,
                                                    &count))
            return false;
        // A driver that does not count the rows answers -1: the entry may have lost its last row.
        if (count != 0)
            removed = count < 0 || removed < 0 ? -1 : removed + count;
    }
    if (removed == 0)
        return true;
    return table.PlaceholderIfEmpty(key);
}
