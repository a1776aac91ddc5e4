#pragma once

#include <QString>
#include <utility>
#include <vector>

// A walk over the level hierarchy CS_LEVELHIER of one area and chart of account (or business level). It
// finds each ancestor of a code once, however many paths lead to it and even when the table holds a cycle,
// so a range carried up the hierarchy writes every ancestor once and the walk always ends. Hierarchy rows
// with a blank level or code are not followed. Codes are answered as the hierarchy stores them; one stored
// with trailing blanks and without is one code; a fixed-width column's padding is no part of a code.
class LevelHierarchyWalk {
public:
    struct Code {
        QString level;
        QString code;
    };

    LevelHierarchyWalk(QString area, QString chart);

    // The ancestors of the code, each once, depth first (a parent's ancestry before the next parent).
    // False when a look-up failed (its error is left for the caller).
    bool Ancestors(const Code& start, std::vector<Code>& ancestors);
    // The same from the start's parents as given (read already, as for the codes of a whole level, which
    // then stand together as the start).
    bool Ancestors(const Code& start, const std::vector<Code>& parents, std::vector<Code>& ancestors);
    // The same ancestors ordered bottom up: each after every one of its descendants among them, so what a
    // code keeps can be settled from what its children keep. Codes on a cycle come last, in walk order.
    std::vector<Code> BottomUp() const;
    // Whether some of the ancestors, or the start code, lie on a cycle, so that no order puts each after its
    // descendants.
    bool Cyclic() const;
    // The parents of every code the walk will meet, read at once by the caller (each row a child and its
    // parent, as the hierarchy stores them): the walk then looks no code's parents up on its own. A value a
    // fixed-width column pads goes without the padding, a blank parent is not followed, as for a look-up.
    void KnowParents(const std::vector<std::pair<Code, Code>>& rows);
    // The direct children of a code; false when the look-up failed.
    bool Children(const Code& parent, std::vector<Code>& children) const;
    // Whether two codes are one: their level and code the same as stored or without trailing blanks.
    static bool Same(const Code& a, const Code& b);

    // The condition that a hierarchy's column holds a value read from a range table, as stored there or
    // without its trailing blanks: a server's fixed-width column pads what the hierarchies hold unpadded.
    // An empty value matches NULL as well (SqlEquals).
    static QString Matches(const QString& column, const QString& value);

private:
    bool Related(const Code& code, bool parents, std::vector<Code>& related) const;
    int IndexOf(const Code& code) const;
    // The ancestors' indexes bottom up, those on a cycle left out.
    std::vector<int> Ordered() const;

    QString m_area;
    QString m_chart;
    // The start code first, then the ancestors in walk order; edges run from a child to its parent.
    std::vector<Code> m_codes;
    std::vector<std::pair<int, int>> m_edges;
    // The parents read at once (KnowParents), child and parent; none read when empty and not known.
    std::vector<std::pair<Code, Code>> m_known;
    bool m_knowing = false;
};
