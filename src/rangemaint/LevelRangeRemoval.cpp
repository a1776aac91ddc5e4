#include "rangemaint/LevelRangeRemoval.h"

#include "frame/ModMaintenance.h"
#include "frame/modMain.h"
#include "platform/Recordset.h"
#include "rangemaint/clsAcCategoriesRangeMaint.h"
#include "rangemaint/clsAcMultiplierRangeMaint.h"
#include "services/clsGenericMaint.h"

#include <QStringBuilder>
#include <algorithm>

namespace {

const QString kBlank = QStringLiteral(" ");

QString KeyOf(const QString& from, const QString& to) {
    return from % QChar(0xFF) % to;
}

// A range as a table that pads its bounds otherwise holds it as well.
QString ShownKeyOf(const RangeBounds& r) {
    return KeyOf(clsGenericMaint::ShownValue(r.from), clsGenericMaint::ShownValue(r.to));
}

// One code, however many trailing blanks the tables store it with, as the walk takes it.
QString KeyOf(const LevelRangeRemoval::Code& code) {
    return clsGenericMaint::ShownValue(code.level) + QChar(0xFF) + clsGenericMaint::ShownValue(code.code);
}

// The hierarchy of multipliers or of categories, its holder column and the holders' range table.
struct Holders {
    QString hierarchy;
    QString column;
    const RangeTable& table;
};

Holders HoldersOf(bool multipliers) {
    if (multipliers)
        return {QStringLiteral("CS_MULTIPLIERHIER"), QStringLiteral("CS_MULTIPLIER"),
                clsAcMultiplierRangeMaint().Table()};
    return {QStringLiteral("CS_CATEGORYHIER"), QStringLiteral("CS_CATEGORY"),
            clsAcCategoriesRangeMaint().Table()};
}

// The join of a range table's key column to a hierarchy's: the range rows of a code the hierarchy holds
// padded may hold it without its trailing blanks, as a code's own rows are found (RTRIM is common to every
// backend).
QString Joined(const QString& rangeColumn, const QString& hierarchyColumn) {
    return rangeColumn + QStringLiteral(" in (") + hierarchyColumn + QStringLiteral(", RTRIM(") +
           hierarchyColumn + QStringLiteral("))");
}

} // namespace

// A child of a settled code: another settled code, whose holdings change as it settles, or a code outside
// the walk, whose holdings stay as read.
struct LevelRangeRemoval::Feeder {
    int settled = -1;
    QSet<QString> held;
};

struct LevelRangeRemoval::CodeState {
    Code code;
    // Its key as the range table holds it, which may pad it otherwise than the hierarchy.
    QStringList key;
    // Of the wanted ranges, those it holds; and whether a row read of it stands for none of them (it shares
    // a From with one, as the database compares them).
    QSet<QString> held;
    bool shared = false;
    std::vector<Feeder> children;
    QSet<QString> lost;
};

LevelRangeRemoval::LevelRangeRemoval(QString area, QString top, const RangeTable& table, bool holders)
    : m_area(std::move(area)), m_top(std::move(top)), m_table(table), m_holders(holders) {}

bool LevelRangeRemoval::Fail(Step step) {
    m_failed = step;
    return false;
}

void LevelRangeRemoval::Want(const std::vector<RangeBounds>& ranges) {
    m_wanted.clear();
    m_shown.clear();
    m_order.clear();
    for (const RangeBounds& r : ranges) {
        const QString key = KeyOf(r.from, r.to);
        // Only both bounds blank make a placeholder: a range with one blank bound (another program's) is
        // copied by an attach, so it goes again as any other.
        if ((r.from.trimmed().isEmpty() && r.to.trimmed().isEmpty()) || m_wanted.contains(key))
            continue;
        m_wanted.insert(key, r);
        m_shown.insert(ShownKeyOf(r), key);
        m_order << key;
    }
    m_named = Named(m_order);
}

LevelRangeRemoval::Names LevelRangeRemoval::Named(const QStringList& keys) const {
    // A range with an empty bound, which a NULL may stand for, is named by its own pair; the others by
    // their From values, and without trailing blanks as well, as another table may hold them.
    std::vector<RangeBounds> listed;
    Names names;
    for (const QString& key : keys) {
        const RangeBounds& r = m_wanted[key];
        if (r.from.isEmpty() || r.to.isEmpty()) {
            names.pairs.push_back(r);
            continue;
        }
        listed.push_back(r);
        if (const QString shown = clsGenericMaint::ShownValue(r.from); shown != r.from && !shown.isEmpty())
            listed.push_back({shown, r.to});
    }
    names.fromLists = RangeTable::FromLists(listed);
    return names;
}

QStringList LevelRangeRemoval::Conditions(const Names& names, const QString& from, const QString& to) {
    QStringList conditions;
    for (const QString& list : names.fromLists)
        conditions << from + list;
    return conditions << RangeTable::AnyRange(from, to, names.pairs);
}

QString LevelRangeRemoval::WantedKey(const RangeBounds& row, bool loosely) const {
    const QString key = KeyOf(row.from, row.to);
    if (m_wanted.contains(key))
        return key;
    return loosely ? m_shown.value(ShownKeyOf(row)) : QString();
}

bool LevelRangeRemoval::Held(const RangeTable& table, const QStringList& keys, bool loosely,
                             QSet<QString>& held, bool& shared,
                             QHash<QString, std::vector<RangeBounds>>* rows) const {
    for (const QString& condition : Conditions(m_named, QStringLiteral("R.") + table.FromColumn(),
                                               QStringLiteral("R.") + table.ToColumn())) {
        Recordset rs = GetRecordset(
            QStringLiteral("Select R.") + table.FromColumn() + QStringLiteral(", R.") + table.ToColumn() +
            QStringLiteral(" from ") + table.Table() + QStringLiteral(" R where") +
            table.EntryCondition(keys, QStringLiteral("R")) + QStringLiteral(" and ") + condition);
        if (!gQueryOK || rs.IsNothing())
            return false;
        const Field from = rs.Fields(0);
        const Field to = rs.Fields(1);
        for (; !rs.IsEOF(); rs.MoveNext()) {
            const RangeBounds row{from.Text(), to.Text()};
            const QString key = WantedKey(row, loosely);
            if (key.isEmpty()) {
                shared = true;
                continue;
            }
            held.insert(key);
            if (rows)
                (*rows)[key].push_back(row);
        }
        rs.Close();
    }
    return true;
}

bool LevelRangeRemoval::Lost(const Code& code, const std::vector<RangeBounds>& ranges) {
    LevelHierarchyWalk walk(m_area, m_top);
    std::vector<Code> ancestors;
    if (!walk.Ancestors(code, ancestors))
        return Fail(Step::Walk);
    return Run(walk.BottomUp(), &code, ranges);
}

bool LevelRangeRemoval::Left(const Code& parent, const Code& child, const std::vector<RangeBounds>& ranges) {
    LevelHierarchyWalk walk(m_area, m_top);
    std::vector<Code> ancestors;
    if (!walk.Ancestors(parent, ancestors))
        return Fail(Step::Walk);
    std::vector<Code> codes{parent};
    for (const Code& c : walk.BottomUp())
        codes.push_back(c);
    // The child's ranges are its own, even where a cycle makes it an ancestor of its parent.
    std::erase_if(codes, [&child](const Code& c) { return KeyOf(c) == KeyOf(child); });
    return Run(codes, nullptr, ranges);
}

bool LevelRangeRemoval::Settle(const std::vector<Code>& codes, const std::vector<RangeBounds>& ranges) {
    return Run(codes, nullptr, ranges);
}

bool LevelRangeRemoval::HolderLeft(bool multipliers, const QString& holder,
                                   const std::vector<RangeBounds>& ranges) {
    m_removed.clear();
    m_failed = Step::None;
    Want(ranges);
    return m_wanted.isEmpty() ||
           SettleHolder(multipliers, holder, QSet<QString>(m_order.begin(), m_order.end()), nullptr);
}

bool LevelRangeRemoval::Run(const std::vector<Code>& codes, const Code* lost,
                            const std::vector<RangeBounds>& ranges) {
    m_removed.clear();
    m_failed = Step::None;
    Want(ranges);
    if (m_wanted.isEmpty())
        return true;
    std::vector<CodeState> states;
    QHash<QString, int> settled;
    for (const Code& c : codes) {
        if (settled.contains(KeyOf(c)))
            continue;
        settled.insert(KeyOf(c), static_cast<int>(states.size()));
        states.push_back({c, {}, {}, {}, {}, {}});
    }
    for (CodeState& state : states)
        if (!Read(state, settled))
            return Fail(Step::Codes);
    // Each pass settles every code against what its children hold now; a removal can leave an ancestor
    // settled earlier in the pass without a feeder (a cycle), so the passes go on until one removes nothing.
    for (bool changed = true; changed;) {
        changed = false;
        for (CodeState& state : states)
            for (auto it = state.held.begin(); it != state.held.end();) {
                const bool fed =
                    std::any_of(state.children.begin(), state.children.end(), [&](const Feeder& f) {
                        return (f.settled >= 0 ? states[f.settled].held : f.held).contains(*it);
                    });
                if (fed) {
                    ++it;
                    continue;
                }
                state.lost.insert(*it);
                it = state.held.erase(it);
                changed = true;
            }
    }
    std::vector<std::pair<Code, QSet<QString>>> holdersLost;
    if (lost)
        holdersLost.emplace_back(*lost, QSet<QString>(m_order.begin(), m_order.end()));
    for (const CodeState& state : states) {
        if (state.lost.isEmpty())
            continue;
        if (!Write(state))
            return Fail(Step::Codes);
        holdersLost.emplace_back(state.code, state.lost);
    }
    const Settled all{states, settled};
    return !m_holders || (SettleHolders(true, holdersLost, all) && SettleHolders(false, holdersLost, all));
}

bool LevelRangeRemoval::Read(CodeState& state, const QHash<QString, int>& settled) const {
    if (!m_table.StoredKey({m_top, state.code.level, state.code.code}, state.key) ||
        !Held(m_table, state.key, false, state.held, state.shared, nullptr))
        return false;
    if (state.held.isEmpty())
        return true;
    // The settled children feed the code what they keep as they settle; only the others' rows are read.
    std::vector<Code> children;
    if (!LevelHierarchyWalk(m_area, m_top).Children(state.code, children))
        return false;
    const QString self = KeyOf(state.code);
    QStringList passed;
    bool outside = false;
    for (const Code& child : children) {
        const QString key = KeyOf(child);
        // A row making the code its own parent feeds it nothing.
        if (key != self && !settled.contains(key)) {
            outside = true;
            continue;
        }
        passed << QStringLiteral("(") + SqlEquals(QStringLiteral("H.CS_CHILDLEVEL"), child.level) +
                      QStringLiteral(" and ") + SqlEquals(QStringLiteral("H.CS_CHILDCODE"), child.code) +
                      QStringLiteral(")");
        const int index = settled.value(key);
        if (key != self && std::none_of(state.children.begin(), state.children.end(),
                                        [index](const Feeder& f) { return f.settled == index; }))
            state.children.push_back({index, {}});
    }
    if (!outside)
        return true;
    // The wanted ranges the other children hold, child by child. The hierarchy leads the join (a cross
    // join keeps SQLite to that order, other databases choose), so the range table is read only at the
    // children's wanted rows.
    const QStringList& k = m_table.KeyColumns();
    const QString sql =
        QStringLiteral("Select H.CS_CHILDLEVEL, H.CS_CHILDCODE, R.") + m_table.FromColumn() +
        QStringLiteral(", R.") + m_table.ToColumn() + QStringLiteral(" from CS_LEVELHIER H cross join ") +
        m_table.Table() + QStringLiteral(" R where H.CS_AREA = ") + SqlText(m_area) +
        QStringLiteral(" and ") + LevelHierarchyWalk::Matches(QStringLiteral("H.CS_COA"), m_top) +
        QStringLiteral(" and ") +
        LevelHierarchyWalk::Matches(QStringLiteral("H.CS_PARENTLEVEL"), state.code.level) +
        QStringLiteral(" and ") +
        LevelHierarchyWalk::Matches(QStringLiteral("H.CS_PARENTCODE"), state.code.code) +
        (passed.isEmpty()
             ? QString()
             : QStringLiteral(" and not (") + passed.join(QStringLiteral(" or ")) + QStringLiteral(")")) +
        QStringLiteral(" and ") + LevelHierarchyWalk::Matches(QStringLiteral("R.") + k[0], m_top) +
        QStringLiteral(" and ") + Joined(QStringLiteral("R.") + k[1], QStringLiteral("H.CS_CHILDLEVEL")) +
        QStringLiteral(" and ") + Joined(QStringLiteral("R.") + k[2], QStringLiteral("H.CS_CHILDCODE"));
    QHash<QString, std::size_t> outsiders;
    for (const QString& condition : Conditions(m_named, QStringLiteral("R.") + m_table.FromColumn(),
                                               QStringLiteral("R.") + m_table.ToColumn())) {
        Recordset rs = GetRecordset(sql + QStringLiteral(" and ") + condition);
        if (!gQueryOK || rs.IsNothing())
            return false;
        const Field level = rs.Fields(QStringLiteral("CS_CHILDLEVEL"));
        const Field code = rs.Fields(QStringLiteral("CS_CHILDCODE"));
        const Field from = rs.Fields(m_table.FromColumn());
        const Field to = rs.Fields(m_table.ToColumn());
        for (; !rs.IsEOF(); rs.MoveNext()) {
            const QString child = KeyOf(Code{level.Text(), code.Text()});
            const QString range = KeyOf(from.Text(), to.Text());
            if (child == self || settled.contains(child) || !m_wanted.contains(range))
                continue;
            auto found = outsiders.constFind(child);
            if (found == outsiders.cend()) {
                found = outsiders.insert(child, state.children.size());
                state.children.push_back({-1, {}});
            }
            state.children[*found].held.insert(range);
        }
        rs.Close();
    }
    return true;
}

bool LevelRangeRemoval::Write(const CodeState& state) {
    QStringList lost;
    std::vector<RangeBounds> ranges;
    for (const QString& key : m_order)
        if (state.lost.contains(key)) {
            lost << key;
            ranges.push_back(m_wanted.value(key));
            m_removed.push_back({state.code, ranges.back()});
        }
    return RemoveRows(m_table, state.key, lost, ranges, state.shared, !state.held.isEmpty());
}

bool LevelRangeRemoval::RemoveRows(const RangeTable& table, const QStringList& keys, const QStringList& lost,
                                   const std::vector<RangeBounds>& rows, bool shared, bool keeps) const {
    // Where every row read goes, the rows go as the look-ups found them, by their conditions narrowed to
    // the ranges lost: a few statements that take no row that was not read. Where one stays, each row goes
    // by its pair, as its own statement would take it: which values the database takes for one another
    // (trailing blanks, case, accents, width) is its collation's to say, not the program's.
    const QStringList conditions = shared || keeps
                                       ? RangeTable::AnyRange(table.FromColumn(), table.ToColumn(), rows)
                                       : Conditions(Named(lost), table.FromColumn(), table.ToColumn());
    for (const QString& condition : conditions)
        if (!ExecuteSQL(table.DeleteWhere(keys, condition)))
            return false;
    // Asked of the table even where a range was kept: the pair of a lost one may have taken its row too.
    const Existence left = table.HasRows(keys);
    if (left != Existence::Absent)
        return left == Existence::Present;
    const std::optional<QString> placeholder = table.InsertRange(keys, kBlank, kBlank);
    return placeholder && ExecuteSQL(*placeholder);
}

bool LevelRangeRemoval::SettleHolders(bool multipliers,
                                      const std::vector<std::pair<Code, QSet<QString>>>& lost,
                                      const Settled& states) {
    const Step step = multipliers ? Step::Multipliers : Step::Categories;
    const Holders h = HoldersOf(multipliers);
    QHash<QString, QSet<QString>> candidates;
    QStringList order;
    for (const auto& [code, ranges] : lost) {
        Recordset rs = GetRecordset(
            QStringLiteral("Select distinct ") + h.column + QStringLiteral(" from ") + h.hierarchy +
            QStringLiteral(" where CS_AREA = ") + SqlText(m_area) + QStringLiteral(" and ") +
            LevelHierarchyWalk::Matches(QStringLiteral("CS_COA"), m_top) + QStringLiteral(" and ") +
            LevelHierarchyWalk::Matches(QStringLiteral("CS_LEVEL"), code.level) + QStringLiteral(" and ") +
            LevelHierarchyWalk::Matches(QStringLiteral("CS_CODE"), code.code));
        if (!gQueryOK || rs.IsNothing())
            return Fail(step);
        const Field holder = rs.Fields(h.column);
        for (; !rs.IsEOF(); rs.MoveNext()) {
            // As stored: the holder's rows are found by it whether padded or not.
            const QString name = holder.Text();
            if (name.trimmed().isEmpty())
                continue;
            if (!candidates.contains(name))
                order << name;
            candidates[name].unite(ranges);
        }
        rs.Close();
    }
    for (const QString& holder : order)
        if (!SettleHolder(multipliers, holder, candidates.value(holder), &states))
            return false;
    return true;
}

bool LevelRangeRemoval::SettleHolder(bool multipliers, const QString& holder, const QSet<QString>& candidates,
                                     const Settled* settled) {
    const Step step = multipliers ? Step::Multipliers : Step::Categories;
    const Holders h = HoldersOf(multipliers);
    // The chart without the blanks a fixed-width column pads it with, as the holders' rows hold it; the
    // holder as its range table holds it.
    QStringList keys;
    QSet<QString> all;
    bool shared = false;
    QHash<QString, std::vector<RangeBounds>> rows;
    if (!h.table.StoredKey({clsGenericMaint::ShownValue(m_top), holder}, keys) ||
        !Held(h.table, keys, true, all, shared, &rows))
        return Fail(step);
    QSet<QString> held = all;
    held.intersect(candidates);
    if (held.isEmpty())
        return true;
    // The holder keeps what a code still attached to it holds: only its own codes count. A code settled
    // here feeds it what it kept; only the other codes' rows are read.
    const QString scope = QStringLiteral(" where H.CS_AREA = ") + SqlText(m_area) + QStringLiteral(" and ") +
                          LevelHierarchyWalk::Matches(QStringLiteral("H.CS_COA"), m_top) +
                          QStringLiteral(" and H.") + h.column + QStringLiteral(" = ") + SqlText(holder);
    QStringList passed;
    bool outside = !settled;
    if (settled) {
        Recordset rs = GetRecordset(QStringLiteral("Select distinct H.CS_LEVEL, H.CS_CODE from ") +
                                    h.hierarchy + QStringLiteral(" H") + scope);
        if (!gQueryOK || rs.IsNothing())
            return Fail(step);
        const Field level = rs.Fields(0);
        const Field code = rs.Fields(1);
        for (; !rs.IsEOF(); rs.MoveNext()) {
            const Code attached{level.Text(), code.Text()};
            const int index = settled->index.value(KeyOf(attached), -1);
            if (attached.level.trimmed().isEmpty() || attached.code.trimmed().isEmpty())
                continue;
            if (index < 0) {
                outside = true;
                continue;
            }
            passed << QStringLiteral("(") + SqlEquals(QStringLiteral("H.CS_LEVEL"), attached.level) +
                          QStringLiteral(" and ") + SqlEquals(QStringLiteral("H.CS_CODE"), attached.code) +
                          QStringLiteral(")");
            held.subtract(settled->states[static_cast<std::size_t>(index)].held);
        }
        rs.Close();
    }
    // The hierarchy leads the join, as for the children of a code. Not "distinct": a collation that ignores
    // case or accents would answer one of two ranges the codes hold apart.
    const QStringList& k = m_table.KeyColumns();
    const QString sql =
        QStringLiteral("Select R.") + m_table.FromColumn() + QStringLiteral(", R.") + m_table.ToColumn() +
        QStringLiteral(" from ") + h.hierarchy + QStringLiteral(" H cross join ") + m_table.Table() +
        QStringLiteral(" R") + scope +
        (passed.isEmpty()
             ? QString()
             : QStringLiteral(" and not (") + passed.join(QStringLiteral(" or ")) + QStringLiteral(")")) +
        QStringLiteral(" and ") + LevelHierarchyWalk::Matches(QStringLiteral("R.") + k[0], m_top) +
        QStringLiteral(" and ") + Joined(QStringLiteral("R.") + k[1], QStringLiteral("H.CS_LEVEL")) +
        QStringLiteral(" and ") + Joined(QStringLiteral("R.") + k[2], QStringLiteral("H.CS_CODE"));
    for (const QString& condition : outside && !held.isEmpty()
                                        ? Conditions(m_named, QStringLiteral("R.") + m_table.FromColumn(),
                                                     QStringLiteral("R.") + m_table.ToColumn())
                                        : QStringList()) {
        Recordset rs = GetRecordset(sql + QStringLiteral(" and ") + condition);
        if (!gQueryOK || rs.IsNothing())
            return Fail(step);
        const Field from = rs.Fields(m_table.FromColumn());
        const Field to = rs.Fields(m_table.ToColumn());
        for (; !rs.IsEOF(); rs.MoveNext())
            held.remove(KeyOf(from.Text(), to.Text()));
        rs.Close();
    }
    // The holder's own rows of those ranges go, as its table holds them; what it keeps stays.
    QStringList lost;
    std::vector<RangeBounds> gone;
    for (const QString& key : m_order)
        if (held.contains(key)) {
            lost << key;
            gone.insert(gone.end(), rows[key].begin(), rows[key].end());
        }
    return RemoveRows(h.table, keys, lost, gone, shared, all.size() > held.size()) || Fail(step);
}
