#pragma once

#include "rangemaint/LevelHierarchyWalk.h"
#include "rangemaint/LevelRangeRemoval.h"
#include "rangemaint/RangeTable.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

// Carries the ranges of a level's codes, or of one code, up the level hierarchy again (a Synchronize), with
// the outcome of carrying each range up on its own: every ancestor of a code gets each of the code's ranges
// it lacks; with holders (account levels), so does every multiplier and category holding a code of the level,
// and every one holding an ancestor that lacked the range. A code's placeholder and a range with a blank
// bound carry nothing; the first range an entry gets takes the place of its placeholder row.
//
// It takes a few statements for each ancestor and for each holders' table, whatever the number of codes,
// ranges and holders: one read of what the entry lacks (only that comes across, for the tree and the refusal
// of an over-long bound) and, where it lacks anything, the fill of its placeholder and one Insert ... Select
// of the rest (HolderRangeFeed for the holders). Which ranges an entry already holds is the database's to
// say, as the statements of each range would say it (a fixed-width column's padding, a server's collation):
// a condition of the statement that writes, counted on the range table's index for each range. What two
// codes hold as one range goes once.
//
// The ancestors are found by the walk and settled from the bottom up; where the server takes "With Recursive
// ... Union" (SQLite, PostgreSQL) and no level or code of the chart's hierarchy is written with trailing
// blanks of its own, one recursive expression reads every parent the walk will meet, so the walk sends one
// statement whatever the depth. The codes of a level that reach an ancestor are named by the statements,
// never listed: a recursive common table expression goes down the hierarchy from the ancestor and stops at
// the codes of the level, so no statement's text grows with the depth, the codes or the holders. A code of
// the level that lies on the way (codes chained within a level) passes on what it holds once it is settled
// itself; where the walk met a cycle, the ancestors are settled again until nothing changes. The statements
// run on the shared connection, inside the caller's transaction. Nothing is reported here: a failure answers
// false with the error left current and `FailedStep` telling where it arose.
class LevelRangeSynchronization {
public:
    using Code = LevelHierarchyWalk::Code;
    // A range an ancestor got: the ancestor as the hierarchy holds it, its key as the range table holds it.
    struct Added {
        Code ancestor;
        QStringList key;
        RangeBounds range;
    };
    // Where a failure arose, as a removal tells it.
    using Step = LevelRangeRemoval::Step;

    // The codes of `area` under `top` (chart of account or business level) hold their ranges in `table`,
    // keyed by top, level and code; with `holders` the multipliers and categories of the codes hold them too.
    LevelRangeSynchronization(QString area, QString top, const RangeTable& table, bool holders);

    // Carries the ranges of every code of the level (as stored), or with a `code` those of that code alone.
    bool Carry(const QString& level, const QString& code = QString());

    // The ranges the ancestors got, ancestor by ancestor.
    const std::vector<Added>& AddedRanges() const { return m_added; }
    Step FailedStep() const { return m_failed; }

private:
    // The codes of the level reaching an ancestor: `with` leads each statement reading the source rows S,
    // and `condition` holds for the source rows whose codes reach it. Both empty for one code's rows, which
    // reach every ancestor the walk found.
    struct Reach {
        QString with;
        QString tables; // joined to the source rows
        QString condition;
    };

    // The source row S is carried: a row of the level (or of the code) that is a range; with `joined` ("D",
    // the way down, or "X", a holders' hierarchy row), its chart and level are the ones that row names.
    QString SourceCondition(const QString& joined = QString()) const;
    // Whether the level's rows are joined to the rows that name their codes, by level and code (where no
    // code or level is stored with trailing blanks of its own).
    bool Joined() const;
    // " From <table> S where" the rows whose ranges are carried.
    QString Sources() const;
    Reach Reaches(const Code& ancestor) const;
    // The condition that the source row's code, as stored or without its trailing blanks, is one of the
    // `codes` a query names; the condition that a hierarchy's column holds the code of a source row so.
    QString SourceCodeIn(const QString& codes) const;
    QString HoldsSourceCode(const QString& column) const;
    // Whether the chart's hierarchy holds a level or code with trailing blanks of its own, and the level's
    // rows a code with some: only then are the trimmed forms compared, which take an index away. False when
    // a look-up failed.
    bool Padding();
    // " From CS_LEVELHIER H where" the rows H whose children are the codes carried.
    QString AboveSources() const;
    // Whether the server takes "With Recursive ... Union", which ends round a cycle by itself.
    bool Recursive() const;
    // Reads for the walk the parents of every code above the codes carried, in one statement.
    bool KnowParents(LevelHierarchyWalk& walk) const;
    // The parents of the codes carried, as the hierarchy holds them.
    bool Parents(std::vector<Code>& parents);
    // Gives the entry of `keys` in `target` each range of a source row the reach names that it lacks; the
    // ranges written go into `written` when given. `beforeWriting`, when given, runs once the entry is known
    // to lack some, before anything is written to it.
    bool Feed(const RangeTable& target, const QStringList& keys, const Reach& reach,
              std::vector<RangeBounds>* written, const std::function<bool()>& beforeWriting = {}) const;
    // Feeds the holders of the codes carried (none), or of the ancestor those of its source rows it lacked.
    bool FeedHolders(const Code* ancestor, const QStringList& ancestorKey, const Reach& reach);
    bool Fail(Step step);

    QString m_area;
    QString m_top;
    const RangeTable& m_table;
    bool m_holders;
    QString m_level;
    QString m_code;
    bool m_paddedHierarchy = false;
    bool m_paddedCodes = false;
    int m_ancestors = 0;
    std::vector<Added> m_added;
    Step m_failed = Step::None;
};
