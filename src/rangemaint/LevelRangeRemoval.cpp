#include "rangemaint/LevelRangeRemoval.h"

#include "frame/ModMaintenance.h"
#include "frame/clsDBConnection.h"
#include "frame/modMain.h"
#include "platform/Recordset.h"
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

// The code as the hierarchy column pair `level`, `code` holds it, padded or not.
QString IsCode(const QString& level, const QString& code, const LevelRangeRemoval::Code& c) {
    return LevelHierarchyWalk::Matches(level, c.level) % QStringLiteral(" and ") %
           LevelHierarchyWalk::Matches(code, c.code);
}

// Whether the row `b` of `tb` is `wanted` and no row of the feeders (`fed`, as Fed gives them) holds its
// range, as the database compares the bounds.
//
// The feeders' rows are named as a table of their own, which no row of the outer statement changes: SQLite
// builds an index of it once for the statement, and a server hashes it once, or looks it up row by row in
// the range table's index where it deems it too large to hash. Nothing is "not exists": a server may turn
// that into a join, which on tables it has no statistics of yet compares every row with every other.
QString WantedAndHeldByNone(const QString& wanted, const QString& fed, const QString& alias,
                            const RangeTable& tb, const QString& b) {
    const QString from = Column(b, tb.FromColumn()), to = Column(b, tb.ToColumn());
    const QString rows =
        QStringLiteral(" from (") % fed % QStringLiteral(") ") % alias % QStringLiteral(" where ");
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

// The codes feeding an entry, as rows of a hierarchy: its children in CS_LEVELHIER, or the codes of a
// multiplier or category. `where` names them, its columns qualified by `alias`; a row with a blank level or
// code (a placeholder) feeds nothing.
struct LevelRangeRemoval::Feeders {
    QString hierarchy;
    QString alias;
    QString where;
    QString level;
    QString code;
};

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

void LevelRangeRemoval::Start(std::optional<RangeBounds> range, bool record) {
    m_record = record;
    m_removed.clear();
    m_failed = Step::None;
    m_range = std::move(range);
    m_sources.clear();
}

bool LevelRangeRemoval::KeyOf(const Code& code, QStringList& key) const {
    return m_table.StoredKey({m_top, code.level, code.code}, key);
}

QString LevelRangeRemoval::Wanted(const RangeTable& table, const QString& q) const {
    if (m_range)
        return QStringLiteral("(") % SqlEquals(Column(q, table.FromColumn()), m_range->from) %
               QStringLiteral(" and ") % SqlEquals(Column(q, table.ToColumn()), m_range->to) %
               QStringLiteral(")");
    QStringList keys;
    for (const QStringList& key : m_sources)
        keys << QStringLiteral("(") % m_table.EntryCondition(key, QStringLiteral("W")) % QStringLiteral(")");
    return HeldBy(m_table.Table() % QStringLiteral(" W"),
                  QStringLiteral("(") % keys.join(QStringLiteral(" or ")) % QStringLiteral(")"), m_table,
                  QStringLiteral("W"), table, q);
}

QString LevelRangeRemoval::Loses(const QStringList& key, const Code& code, const QString& q) const {
    // The code's children as CS_LEVELHIER holds them; a row making the code its own child feeds it nothing.
    const Feeders children{
        QStringLiteral("CS_LEVELHIER"), QStringLiteral("H"),
        QStringLiteral("H.CS_AREA = ") % SqlText(m_area) % QStringLiteral(" and ") %
            LevelHierarchyWalk::Matches(QStringLiteral("H.CS_COA"), m_top) % QStringLiteral(" and ") %
            IsCode(QStringLiteral("H.CS_PARENTLEVEL"), QStringLiteral("H.CS_PARENTCODE"), code) %
            QStringLiteral(" and ") %
            Not(IsCode(QStringLiteral("H.CS_CHILDLEVEL"), QStringLiteral("H.CS_CHILDCODE"), code)),
        QStringLiteral("CS_CHILDLEVEL"), QStringLiteral("CS_CHILDCODE")};
    // A range named by its bounds is found in the index by them.
    return m_table.EntryCondition(key, q) % QStringLiteral(" and ") % NoPlaceholder(m_table, q) %
           QStringLiteral(" and ") % (m_range ? Wanted(m_table, q) % QStringLiteral(" and ") : QString()) %
           WantedAndHeldByNone(Wanted(m_table, q), Fed(children, QStringLiteral("LS")), QStringLiteral("KC"),
                               m_table, q);
}

// The bounds (RF, RT) of the feeders' rows in the range table (aliased `rows`) that are among the ranges
// settled, each once: only those can hold what an entry loses. The hierarchy is joined to the range table
// inside the statement, so that however many feeders there are, a feeder's rows are found by the range
// table's index on its key columns; what trims a value stays on the hierarchy's side. A feeder's rows are
// keyed without the trailing blanks of its level and code or, where the hierarchy holds them padded, as
// the hierarchy holds them.
QString LevelRangeRemoval::Fed(const Feeders& f, const QString& rows) const {
    const RangeTable& table = m_table;
    const QStringList& k = table.KeyColumns();
    const QString level = Column(f.alias, f.level), code = Column(f.alias, f.code);
    const QString trimmedLevel = QStringLiteral("RTRIM(") % level % QStringLiteral(")");
    const QString trimmedCode = QStringLiteral("RTRIM(") % code % QStringLiteral(")");
    const auto select = [&](const QString& padded, const QString& l, const QString& c) -> QString {
        return QStringLiteral("Select ") % Column(rows, table.FromColumn()) % QStringLiteral(" RF, ") %
               Column(rows, table.ToColumn()) % QStringLiteral(" RT from ") % f.hierarchy % QLatin1Char(' ') %
               f.alias % QStringLiteral(" cross join ") % table.Table() % QLatin1Char(' ') % rows %
               QStringLiteral(" where ") % f.where % QStringLiteral(" and ") %
               Not(RangeTable::BlankCondition(level)) % QStringLiteral(" and ") %
               Not(RangeTable::BlankCondition(code)) % padded % QStringLiteral(" and ") %
               LevelHierarchyWalk::Matches(Column(rows, k[0]), m_top) % QStringLiteral(" and ") %
               Column(rows, k[1]) % QStringLiteral(" = ") % l % QStringLiteral(" and ") % Column(rows, k[2]) %
               QStringLiteral(" = ") % c % QStringLiteral(" and ") % Wanted(table, rows);
    };
    // The trimmed pair first and always: a fixed-width hierarchy column's padding then never reaches the
    // range table's side, whose index answers the equality (PostgreSQL would cast an unpadded range column
    // to the padded type instead, and lose the index).
    return select(QString(), trimmedLevel, trimmedCode) % QStringLiteral(" union ") %
           select(QStringLiteral(" and (") % level % QStringLiteral(" <> ") % trimmedLevel %
                      QStringLiteral(" or ") % code % QStringLiteral(" <> ") % trimmedCode %
                      QStringLiteral(")"),
                  level, code);
}

bool LevelRangeRemoval::Lost(const Code& code, const RangeBounds& range) {
    Start(range, true);
    LevelHierarchyWalk walk(m_area, m_top);
    std::vector<Code> ancestors;
    if (!walk.Ancestors(code, ancestors))
        return Fail(Step::Walk);
    const LostBy lost = [this](const RangeTable& table, const QString& q) -> QString {
        return Wanted(table, q);
    };
    return (!m_holders || SettleHolders(code, lost, false)) && Run(walk.BottomUp(), walk.Cyclic());
}

bool LevelRangeRemoval::Left(const Code& parent, const QString& child, const QStringList& childLevels) {
    Start(std::nullopt, false);
    for (const QString& level : childLevels) {
        QStringList key;
        if (!KeyOf({level, child}, key))
            return Fail(Step::Codes);
        m_sources.push_back(key);
    }
    if (m_sources.empty())
        return true;
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
    Start(range, true);
    return Run({code}, false);
}

bool LevelRangeRemoval::HolderLeft(bool multipliers, const QString& holder, const Code& code) {
    Start(std::nullopt, false);
    QStringList key;
    if (!KeyOf(code, key))
        return Fail(Step::Codes);
    m_sources.push_back(key);
    const LostBy lost = [this](const RangeTable& table, const QString& q) -> QString {
        return Wanted(table, q);
    };
    return SettleHolder(multipliers, holder, lost, nullptr);
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
    const QString condition = Loses(key, code, q);
    // The range editor's tree shows what each code lost, and a cycle's passes end on a pass that lost
    // nothing: then the rows are read first. Otherwise the delete alone finds them.
    if (m_record) {
        std::vector<RangeBounds> rows;
        if (!Read(m_table, condition, rows))
            return Fail(Step::Codes);
        if (rows.empty())
            return true;
        for (const RangeBounds& r : rows)
            m_removed.push_back({code, r});
    }
    // The holders settle while the code still holds what it loses, which names what they may lose.
    if (m_holders) {
        const LostBy lost = [&](const RangeTable& table, const QString& holderRow) -> QString {
            return HeldBy(q % QStringLiteral(" L"), Loses(key, code, QStringLiteral("L")), m_table,
                          QStringLiteral("L"), table, holderRow);
        };
        if (!SettleHolders(code, lost, true))
            return false;
    }
    qint64 removed = 0;
    if (!Remove(m_table, key, condition, removed))
        return Fail(Step::Codes);
    changed = removed != 0;
    return true;
}

bool LevelRangeRemoval::SettleHolders(const Code& code, const LostBy& lostBy, bool leaving) {
    for (const bool multipliers : {true, false}) {
        const Holders h = HoldersOf(multipliers);
        Recordset rs = GetRecordset(
            QStringLiteral("Select distinct ") % h.column % QStringLiteral(" from ") % h.hierarchy %
            QStringLiteral(" where CS_AREA = ") % SqlText(m_area) % QStringLiteral(" and ") %
            LevelHierarchyWalk::Matches(QStringLiteral("CS_COA"), m_top) % QStringLiteral(" and ") %
            IsCode(QStringLiteral("CS_LEVEL"), QStringLiteral("CS_CODE"), code));
        if (!gQueryOK || rs.IsNothing())
            return Fail(h.step);
        QStringList holders;
        for (const Field holder = rs.Fields(0); !rs.IsEOF(); rs.MoveNext())
            if (!holder.Text().trimmed().isEmpty())
                holders << holder.Text();
        rs.Close();
        for (const QString& holder : holders)
            if (!SettleHolder(multipliers, holder, lostBy, leaving ? &code : nullptr))
                return false;
    }
    return true;
}

bool LevelRangeRemoval::SettleHolder(bool multipliers, const QString& holder, const LostBy& lostBy,
                                     const Code* leaving) {
    const Holders h = HoldersOf(multipliers);
    // The chart without the blanks a fixed-width column pads it with, as the holders' rows hold it; the
    // holder as its range table holds it.
    QStringList key;
    if (!h.table.StoredKey({clsGenericMaint::ShownValue(m_top), holder}, key))
        return Fail(h.step);
    // The holder keeps what a code still attached to it holds, whichever way the hierarchy pads the
    // holder's name: every way it is written is read, so that the statement finds the holder's codes in the
    // hierarchy's index.
    QStringList names;
    Recordset rs = GetRecordset(
        QStringLiteral("Select distinct ") % h.column % QStringLiteral(" from ") % h.hierarchy %
        QStringLiteral(" where CS_AREA = ") % SqlText(m_area) % QStringLiteral(" and ") %
        LevelHierarchyWalk::Matches(QStringLiteral("CS_COA"), m_top) % QStringLiteral(" and RTRIM(") %
        h.column % QStringLiteral(") = ") % SqlText(clsGenericMaint::ShownValue(holder)));
    if (!gQueryOK || rs.IsNothing())
        return Fail(h.step);
    for (const Field name = rs.Fields(0); !rs.IsEOF(); rs.MoveNext())
        names << SqlText(name.Text());
    rs.Close();
    const QString f = QStringLiteral("F");
    const Feeders codes{
        h.hierarchy, f,
        names.isEmpty()
            ? QStringLiteral("1 = 0")
            : QStringLiteral("F.CS_AREA = ") % SqlText(m_area) % QStringLiteral(" and ") %
                  LevelHierarchyWalk::Matches(QStringLiteral("F.CS_COA"), m_top) % QStringLiteral(" and F.") %
                  h.column % QStringLiteral(" in (") % names.join(QStringLiteral(", ")) %
                  QStringLiteral(")") %
                  (leaving ? QStringLiteral(" and ") % Not(IsCode(QStringLiteral("F.CS_LEVEL"),
                                                                  QStringLiteral("F.CS_CODE"), *leaving))
                           : QString()),
        QStringLiteral("CS_LEVEL"), QStringLiteral("CS_CODE")};
    const QString q = h.table.Table();
    // A range named by its bounds is found in the index by them: what a code lost of it is that range.
    const QString condition = h.table.EntryCondition(key, q) % QStringLiteral(" and ") %
                              NoPlaceholder(h.table, q) % QStringLiteral(" and ") %
                              (m_range ? Wanted(h.table, q) % QStringLiteral(" and ") : QString()) %
                              WantedAndHeldByNone(lostBy(h.table, q), Fed(codes, QStringLiteral("HD")),
                                                  QStringLiteral("M"), h.table, q);
    qint64 removed = 0;
    return Remove(h.table, key, condition, removed) || Fail(h.step);
}

bool LevelRangeRemoval::Read(const RangeTable& table, const QString& condition,
                             std::vector<RangeBounds>& rows) const {
    const QString q = table.Table();
    return Pairs(QStringLiteral("Select ") % Column(q, table.FromColumn()) % QStringLiteral(", ") %
                     Column(q, table.ToColumn()) % QStringLiteral(" from ") % q % QStringLiteral(" where ") %
                     condition,
                 rows);
}

bool LevelRangeRemoval::Remove(const RangeTable& table, const QStringList& key, const QString& condition,
                               qint64& removed) const {
    // "Delete From": the form every database accepts; the condition that read the rows takes them.
    removed = 0;
    if (!gDBConnection->adoConnection().Execute(
            QStringLiteral("Delete From ") % table.Table() % QStringLiteral(" where ") % condition, &removed))
        return false;
    // A driver that does not count the rows answers -1: the entry may have lost its last row.
    if (removed == 0)
        return true;
    return table.PlaceholderIfEmpty(key);
}
