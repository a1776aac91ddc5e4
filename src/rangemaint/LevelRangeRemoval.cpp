#include "rangemaint/LevelRangeRemoval.h"

#include "frame/ModMaintenance.h"
#include "frame/modMain.h"
#include "platform/Recordset.h"
#include "rangemaint/clsAcCategoriesRangeMaint.h"
#include "rangemaint/clsAcMultiplierRangeMaint.h"
#include "services/clsGenericMaint.h"

#include <algorithm>

namespace {

const QString kBlank = QStringLiteral(" ");

QString KeyOf(const QString& from, const QString& to) {
    return from + QChar(0xFF) + to;
}

// The walk reads codes trimmed, while a code may be given as a hierarchy stores it: both are one code.
QString KeyOf(const LevelRangeRemoval::Code& code) {
    return code.level.trimmed() + QChar(0xFF) + code.code.trimmed();
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
    // Of the wanted ranges, those it holds; and all its rows.
    QSet<QString> held;
    std::vector<RangeBounds> rows;
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
    m_order.clear();
    for (const RangeBounds& r : ranges) {
        const QString key = KeyOf(r.from, r.to);
        // Only both bounds blank make a placeholder: a range with one blank bound (another program's) is
        // copied by an attach, so it goes again as any other.
        if ((r.from.trimmed().isEmpty() && r.to.trimmed().isEmpty()) || m_wanted.contains(key))
            continue;
        m_wanted.insert(key, r);
        m_order << key;
    }
}

QString LevelRangeRemoval::OneRange(const QString& alias) const {
    if (m_wanted.size() != 1)
        return {};
    const RangeBounds& r = *m_wanted.cbegin();
    return QStringLiteral(" and ") + SqlEquals(alias + m_table.FromColumn(), r.from) +
           QStringLiteral(" and ") + SqlEquals(alias + m_table.ToColumn(), r.to);
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
           SettleHolder(multipliers, holder, QSet<QString>(m_order.begin(), m_order.end()));
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
    return !m_holders || (SettleHolders(true, holdersLost) && SettleHolders(false, holdersLost));
}

bool LevelRangeRemoval::Read(CodeState& state, const QHash<QString, int>& settled) const {
    if (!m_table.NamedRows({m_top, state.code.level, state.code.code}, state.key, state.rows))
        return false;
    for (const RangeBounds& r : state.rows)
        if (const QString key = KeyOf(r.from, r.to); m_wanted.contains(key))
            state.held.insert(key);
    if (state.held.isEmpty())
        return true;
    // The wanted ranges the code's children hold, child by child.
    const QStringList& k = m_table.KeyColumns();
    Recordset rs = GetRecordset(
        QStringLiteral("Select H.CS_CHILDLEVEL, H.CS_CHILDCODE, R.") + m_table.FromColumn() +
        QStringLiteral(", R.") + m_table.ToColumn() + QStringLiteral(" from CS_LEVELHIER H, ") +
        m_table.Table() + QStringLiteral(" R where H.CS_AREA = ") + SqlText(m_area) +
        QStringLiteral(" and ") + LevelHierarchyWalk::Matches(QStringLiteral("H.CS_COA"), m_top) +
        QStringLiteral(" and ") +
        LevelHierarchyWalk::Matches(QStringLiteral("H.CS_PARENTLEVEL"), state.code.level) +
        QStringLiteral(" and ") +
        LevelHierarchyWalk::Matches(QStringLiteral("H.CS_PARENTCODE"), state.code.code) +
        QStringLiteral(" and ") + LevelHierarchyWalk::Matches(QStringLiteral("R.") + k[0], m_top) +
        QStringLiteral(" and ") + Joined(QStringLiteral("R.") + k[1], QStringLiteral("H.CS_CHILDLEVEL")) +
        QStringLiteral(" and ") + Joined(QStringLiteral("R.") + k[2], QStringLiteral("H.CS_CHILDCODE")) +
        OneRange(QStringLiteral("R.")));
    if (!gQueryOK || rs.IsNothing())
        return false;
    const Field level = rs.Fields(QStringLiteral("CS_CHILDLEVEL"));
    const Field code = rs.Fields(QStringLiteral("CS_CHILDCODE"));
    const Field from = rs.Fields(m_table.FromColumn());
    const Field to = rs.Fields(m_table.ToColumn());
    QHash<QString, std::size_t> children;
    const QString self = KeyOf(state.code);
    for (; !rs.IsEOF(); rs.MoveNext()) {
        const QString child = KeyOf(Code{level.Text().trimmed(), code.Text().trimmed()});
        const QString range = KeyOf(from.Text(), to.Text());
        // A row making the code its own parent feeds it nothing.
        if (child == self || !m_wanted.contains(range))
            continue;
        auto found = children.constFind(child);
        if (found == children.cend()) {
            found = children.insert(child, state.children.size());
            state.children.push_back({settled.value(child, -1), {}});
        }
        state.children[*found].held.insert(range);
    }
    rs.Close();
    return true;
}

bool LevelRangeRemoval::Write(const CodeState& state) {
    QStringList ranges;
    for (const QString& key : m_order)
        if (state.lost.contains(key)) {
            ranges << key;
            m_removed.push_back({state.code, m_wanted.value(key)});
        }
    return RemoveRows(m_table, state.key, state.rows, ranges);
}

bool LevelRangeRemoval::RemoveRows(const RangeTable& table, const QStringList& keys,
                                   const std::vector<RangeBounds>& rows, const QStringList& ranges) const {
    for (const QString& key : ranges) {
        const RangeBounds& r = m_wanted[key];
        if (!ExecuteSQL(table.DeleteRangeOfAccount(keys, r.from, r.to)))
            return false;
    }
    // A range's statement removes every row of it, one another program wrote twice as well.
    const QSet<QString> gone(ranges.begin(), ranges.end());
    if (std::any_of(rows.begin(), rows.end(),
                    [&gone](const RangeBounds& r) { return !gone.contains(KeyOf(r.from, r.to)); }))
        return true;
    const std::optional<QString> placeholder = table.InsertRange(keys, kBlank, kBlank);
    return placeholder && ExecuteSQL(*placeholder);
}

bool LevelRangeRemoval::SettleHolders(bool multipliers,
                                      const std::vector<std::pair<Code, QSet<QString>>>& lost) {
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
        if (!SettleHolder(multipliers, holder, candidates.value(holder)))
            return false;
    return true;
}

bool LevelRangeRemoval::SettleHolder(bool multipliers, const QString& holder,
                                     const QSet<QString>& candidates) {
    const Step step = multipliers ? Step::Multipliers : Step::Categories;
    const Holders h = HoldersOf(multipliers);
    // The chart without the blanks a fixed-width column pads it with, as the holders' rows hold it; the
    // holder as its range table holds it.
    QStringList keys;
    std::vector<RangeBounds> rows;
    if (!h.table.NamedRows({clsGenericMaint::ShownValue(m_top), holder}, keys, rows))
        return Fail(step);
    QSet<QString> held;
    for (const RangeBounds& r : rows)
        if (const QString key = KeyOf(r.from, r.to); candidates.contains(key))
            held.insert(key);
    if (held.isEmpty())
        return true;
    // The holder keeps what a code still attached to it holds: only its own codes count.
    const QStringList& k = m_table.KeyColumns();
    Recordset rs = GetRecordset(
        QStringLiteral("Select distinct R.") + m_table.FromColumn() + QStringLiteral(", R.") +
        m_table.ToColumn() + QStringLiteral(" from ") + h.hierarchy + QStringLiteral(" H, ") +
        m_table.Table() + QStringLiteral(" R where H.CS_AREA = ") + SqlText(m_area) +
        QStringLiteral(" and ") + LevelHierarchyWalk::Matches(QStringLiteral("H.CS_COA"), m_top) +
        QStringLiteral(" and H.") + h.column + QStringLiteral(" = ") + SqlText(holder) +
        QStringLiteral(" and ") + LevelHierarchyWalk::Matches(QStringLiteral("R.") + k[0], m_top) +
        QStringLiteral(" and ") + Joined(QStringLiteral("R.") + k[1], QStringLiteral("H.CS_LEVEL")) +
        QStringLiteral(" and ") + Joined(QStringLiteral("R.") + k[2], QStringLiteral("H.CS_CODE")) +
        OneRange(QStringLiteral("R.")));
    if (!gQueryOK || rs.IsNothing())
        return Fail(step);
    const Field from = rs.Fields(m_table.FromColumn());
    const Field to = rs.Fields(m_table.ToColumn());
    for (; !rs.IsEOF(); rs.MoveNext())
        held.remove(KeyOf(from.Text(), to.Text()));
    rs.Close();
    QStringList gone;
    for (const QString& key : m_order)
        if (held.contains(key))
            gone << key;
    return RemoveRows(h.table, keys, rows, gone) || Fail(step);
}
