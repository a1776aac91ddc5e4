#include "rangemaint/LevelHierarchyWalk.h"

#include "frame/modMain.h"
#include "rangemaint/EntryNames.h"
#include "services/clsGenericMaint.h"

#include <algorithm>

LevelHierarchyWalk::LevelHierarchyWalk(QString area, QString chart)
    : m_area(std::move(area)), m_chart(std::move(chart)) {}

bool LevelHierarchyWalk::Same(const Code& a, const Code& b) {
    return clsGenericMaint::ShownValue(a.level) == clsGenericMaint::ShownValue(b.level) &&
           clsGenericMaint::ShownValue(a.code) == clsGenericMaint::ShownValue(b.code);
}

int LevelHierarchyWalk::IndexOf(const Code& code) const {
    for (std::size_t i = 0; i < m_codes.size(); ++i)
        if (Same(m_codes[i], code))
            return static_cast<int>(i);
    return -1;
}

QString LevelHierarchyWalk::Matches(const QString& column, const QString& value) {
    const QString shown = clsGenericMaint::ShownValue(value);
    if (shown == value || shown.isEmpty())
        return SqlEquals(column, value);
    return column + QStringLiteral(" in (") + SqlText(value) + QStringLiteral(", ") + SqlText(shown) +
           QStringLiteral(")");
}

void LevelHierarchyWalk::KnowParents(const std::vector<std::pair<Code, Code>>& rows) {
    m_known.clear();
    for (const auto& [child, parent] : rows)
        if (!parent.level.trimmed().isEmpty() && !parent.code.trimmed().isEmpty())
            m_known.emplace_back(child, parent);
    // In the order a look-up answers them: by level, then code.
    std::sort(m_known.begin(), m_known.end(), [](const auto& a, const auto& b) {
        return std::pair(a.second.level, a.second.code) < std::pair(b.second.level, b.second.code);
    });
    m_knowing = true;
}

bool LevelHierarchyWalk::Related(const Code& code, bool parents, std::vector<Code>& related) const {
    if (parents && m_knowing) {
        related.clear();
        for (const auto& [child, parent] : m_known)
            if (Same(child, code) && std::none_of(related.begin(), related.end(), [&](const Code& c) {
                    return c.level == parent.level && c.code == parent.code;
                }))
                related.push_back(parent);
        return true;
    }
    const QString mine = parents ? QStringLiteral("CHILD") : QStringLiteral("PARENT");
    const QString theirs = parents ? QStringLiteral("PARENT") : QStringLiteral("CHILD");
    const QString sql =
        QStringLiteral("Select distinct CS_%1LEVEL, CS_%1CODE from CS_LEVELHIER where CS_AREA = ")
            .arg(theirs) +
        SqlText(m_area) + QStringLiteral(" and ") + Matches(QStringLiteral("CS_COA"), m_chart) +
        QStringLiteral(" and ") + Matches(QStringLiteral("CS_%1LEVEL").arg(mine), code.level) +
        QStringLiteral(" and ") + EntryNames::Names(QStringLiteral("CS_%1CODE").arg(mine), code.code) +
        QStringLiteral(" Order by CS_%1LEVEL, CS_%1CODE").arg(theirs);
    Recordset rs = GetRecordset(sql);
    if (!gQueryOK || rs.IsNothing())
        return false;
    const Field level = rs.Fields(QStringLiteral("CS_%1LEVEL").arg(theirs));
    const Field value = rs.Fields(QStringLiteral("CS_%1CODE").arg(theirs));
    related.clear();
    for (; !rs.IsEOF(); rs.MoveNext()) {
        // As stored, so the code's own rows are addressed by it, padded or not; but for the blanks a
        // fixed-width column pads every value with, which name nothing and which a range table's first row
        // of the code must not take for the code's own.
        Code next{level.FixedWidth() ? clsGenericMaint::ShownValue(level.Text()) : level.Text(),
                  value.FixedWidth() ? clsGenericMaint::ShownValue(value.Text()) : value.Text()};
        if (!next.level.trimmed().isEmpty() && !next.code.trimmed().isEmpty())
            related.push_back(std::move(next));
    }
    rs.Close();
    return true;
}

bool LevelHierarchyWalk::Children(const Code& parent, std::vector<Code>& children) const {
    return Related(parent, false, children);
}

bool LevelHierarchyWalk::Ancestors(const Code& start, std::vector<Code>& ancestors) {
    std::vector<Code> parents;
    return Related(start, true, parents) && Ancestors(start, parents, ancestors);
}

bool LevelHierarchyWalk::Ancestors(const Code& start, const std::vector<Code>& parents,
                                   std::vector<Code>& ancestors) {
    m_codes = {start};
    m_edges.clear();
    // Depth first with an explicit stack of (code, its parents, next parent to visit).
    struct Frame {
        int index;
        std::vector<Code> parents;
        std::size_t next = 0;
    };
    std::vector<Frame> stack(1);
    stack[0].index = 0;
    stack[0].parents = parents;
    while (!stack.empty()) {
        Frame& top = stack.back();
        if (top.next >= top.parents.size()) {
            stack.pop_back();
            continue;
        }
        const Code parent = top.parents[top.next++];
        const int child = top.index;
        int index = IndexOf(parent);
        const bool seen = index >= 0;
        if (!seen) {
            index = static_cast<int>(m_codes.size());
            m_codes.push_back(parent);
        }
        m_edges.emplace_back(child, index);
        if (seen)
            continue;
        Frame frame;
        frame.index = index;
        if (!Related(parent, true, frame.parents))
            return false;
        stack.push_back(std::move(frame));
    }
    ancestors.assign(m_codes.begin() + 1, m_codes.end());
    return true;
}

std::vector<int> LevelHierarchyWalk::Ordered() const {
    const int n = static_cast<int>(m_codes.size());
    // How many children among the walked ancestors each code still waits for; the start code is settled.
    std::vector<int> waiting(n, 0);
    for (const auto& [child, parent] : m_edges)
        if (child != 0 && child != parent)
            ++waiting[parent];
    std::vector<bool> done(n, false);
    done[0] = true;
    std::vector<int> order;
    bool progress = true;
    while (progress) {
        progress = false;
        for (int i = 1; i < n; ++i) {
            if (done[i] || waiting[i] > 0)
                continue;
            done[i] = true;
            progress = true;
            order.push_back(i);
            for (const auto& [child, parent] : m_edges)
                if (child == i && parent != i)
                    --waiting[parent];
        }
    }
    return order;
}

std::vector<LevelHierarchyWalk::Code> LevelHierarchyWalk::BottomUp() const {
    const std::vector<int> ordered = Ordered();
    std::vector<bool> done(m_codes.size(), false);
    std::vector<Code> order;
    for (const int i : ordered) {
        done[static_cast<std::size_t>(i)] = true;
        order.push_back(m_codes[static_cast<std::size_t>(i)]);
    }
    for (std::size_t i = 1; i < m_codes.size(); ++i)
        if (!done[i])
            order.push_back(m_codes[i]);
    return order;
}

bool LevelHierarchyWalk::Cyclic() const {
    // The start code is on a cycle when it is an ancestor of its own: what it keeps then depends on what
    // its ancestors keep, as for any code on a cycle.
    const bool startOnCycle = std::any_of(m_edges.begin(), m_edges.end(), [](const std::pair<int, int>& e) {
        return e.second == 0 && e.first != 0;
    });
    return m_codes.size() > 1 && (startOnCycle || Ordered().size() + 1 < m_codes.size());
}
