#pragma once

#include "rangemaint/LevelHierarchyWalk.h"
#include "rangemaint/RangeTable.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

// Takes ranges from the codes of the level hierarchy that no longer get them, and from the multipliers and
// categories holding those codes: the one rule for a range deleted in the Range Maintenance editor and for
// the ranges of a code detached from its parent code or from a multiplier or category.
//
// A code loses a range it holds when none of its children still holds it; a code is never its own child.
// The codes are settled from the bottom up, and again while a cycle another program wrote changes
// anything. A multiplier (category) loses a range that a code attached to it just lost when no other code
// attached to it still holds it. A code or holder left without rows gets its placeholder back. The tables
// record no origin: a range a code also held on its own goes with the others.
//
// Which rows are the same range is the warehouse's to say, never the program's: a fixed-width column
// ignores trailing blanks, a server's collation may ignore case or accents, SQLite compares the exact
// text. So every decision is a condition of the statement that acts on it: the rows a code loses are
// those of its rows that are one of the ranges settled and that no row of a child equals, as the database
// compares the two; the same condition reads them (for the tree) and deletes them. Nothing is compared in
// memory.
//
// The ranges settled are either one range, named by its bounds, or the rows a code holds in the range
// table (a detached code keeps its own), which the statements join to; so a code's statements do not grow
// with the ranges, and a code pays only for its rows that are among them. The statements run on the
// shared connection, inside the caller's transaction. Nothing is reported here: a failure answers false
// with the error left current and `FailedStep` telling where it arose, for the caller to report under its
// own location.
class LevelRangeRemoval {
public:
    using Code = LevelHierarchyWalk::Code;
    struct Removed {
        Code code;
        RangeBounds range;
    };
    enum class Step { None, Walk, Codes, Multipliers, Categories };
    // The hierarchy of multipliers or of categories, its holder column, the holders' range table and the
    // step a failure on them is told under.
    struct Holders {
        QString hierarchy;
        QString column;
        const RangeTable& table;
        Step step;
    };
    static Holders HoldersOf(bool multipliers);

    // The codes of `area` under `top` (chart of account or business level) hold their ranges in `table`,
    // keyed by top, level and code; with `holders` the multipliers and categories of the codes hold them
    // too (account levels).
    LevelRangeRemoval(QString area, QString top, const RangeTable& table, bool holders);

    // The range went from the code (its row is gone): the code's holders and its ancestors settle it, and
    // the holders of every ancestor that lost it.
    bool Lost(const Code& code, const RangeBounds& range);
    // The child code left the parent code at each of these child levels: the parent code and its
    // ancestors settle the ranges the child holds at those levels (it keeps them), and so do the holders
    // of every code that lost some.
    bool Left(const Code& parent, const QString& child, const QStringList& childLevels);
    // Only this code settles the range, and the holders of the code when it lost it.
    bool Settle(const Code& code, const RangeBounds& range);
    // The code left the multiplier (`multipliers`) or category: the holder settles the code's ranges.
    bool HolderLeft(bool multipliers, const QString& holder, const Code& code);

    // What the codes lost, code by code in the order they were settled (of a range lost or settled).
    const std::vector<Removed>& RemovedRanges() const { return m_removed; }
    Step FailedStep() const { return m_failed; }

private:
    // The codes feeding an entry, as rows of a hierarchy: its children in CS_LEVELHIER, or the codes of a
    // multiplier or category. `where` names them, its columns qualified by `alias`; a row with a blank
    // level or code (a placeholder) feeds nothing.
    struct Feeders {
        QString hierarchy;
        QString alias;
        QString where;
        QString level;
        QString code;
    };
    // The ranges a code loses, or a holder may lose, as a set of bounds (RF, RT): a query whose rows are
    // compared with a holder's by plain equality. Empty where nothing has both bounds.
    using LostBy = std::function<QString()>;
    // The condition, for a row with an empty bound only, that a holder's row (of the table, qualified as
    // given) is a range a code just lost.
    using LostLoosely = std::function<QString(const RangeTable&, const QString&)>;

    // `record`: the ranges each code loses are read and kept (RemovedRanges). Reads the range table's
    // column types and widths; false when that failed.
    bool Start(std::optional<RangeBounds> range, bool record);
    // The code's key as the range table holds it.
    bool KeyOf(const Code& code, QStringList& key) const;
    // Whether the detached code holds a range with an empty bound (m_loose).
    bool FindLoose();
    // The condition that the hierarchy's column pair `level`, `code` names the code.
    QString IsCode(const QString& level, const QString& code, const Code& c) const;
    // The condition that the bounds of the row of `table` qualified by `q` are one of the ranges settled.
    QString Wanted(const RangeTable& table, const QString& q) const;
    // The detached code's keys, on the range table aliased W.
    QString Sources() const;
    // The condition that the range table's row `q` has the bounds of the one range settled (none for a
    // detach), by plain equalities.
    QString Exactly(const QString& q) const;
    // The same for a row of the range table with both bounds, by plain equalities alone, for a detach too.
    QString WantedExactly(const QString& q) const;
    Feeders ChildrenOf(const Code& code) const;
    // The value of the hierarchy's column `expr` as the range table's key column `c` holds it: without
    // trailing blanks, in the column's own fixed-width type where it is one.
    QString AsKey(qsizetype c, const QString& expr) const;
    // The feeders' rows (aliased `rows`) meeting `restrict` (none: all), as selects of their bounds, one for
    // each way the range table keys them.
    // `lead`: a column selected before the bounds.
    QStringList FeederSelects(const Feeders& feeders, const QString& rows, const QString& restrict,
                              const QString& lead = QString()) const;
    // The bounds (RF, RT) that the code loses now, of its rows with both bounds: its rows among the ranges
    // settled, except what its children hold.
    QString LostPairs(const QStringList& key, const Code& code) const;
    // The condition that the code's row qualified by `q`, with an empty bound, is a range the code loses
    // now: one of those settled, not a placeholder, and held by none of the code's children.
    QString LosesLoosely(const Code& code, const QString& q) const;
    // The bounds of the feeders' rows (aliased `rows`) that are among the ranges settled.
    QString Fed(const Feeders& feeders, const QString& rows) const;
    // The conditions on the rows of `table` qualified by `q` of the entry (`entry` on them) that are to go:
    // the rows with both bounds equal to a pair of `pairs` (none when empty), and the rows with an empty
    // bound meeting `loose` (none when empty).
    // With `holder`, the pairs are triples (HN, RF, RT) and the row's holder, as `holder` names it, is one of
    // them too.
    QStringList Going(const QString& entry, const RangeTable& table, const QString& q, const QString& pairs,
                      const QString& loose, const QString& holder = QString()) const;
    // The range table's bound (0 From, 1 To) `expr` as `table` types its bound.
    QString BoundAs(const RangeTable& table, int bound, const QString& expr) const;
    // Settles the codes in turn, again while one changes and `cyclic`.
    bool Run(const std::vector<Code>& codes, bool cyclic);
    bool SettleCode(const Code& code, bool& changed);
    // The multipliers and categories holding `code` settle what it lost (`lostBy`, `loosely`); with
    // `leaving` the code is losing it now and no longer counts as a holder's feeder.
    bool SettleHolders(const Code& code, const LostBy& lostBy, const LostLoosely& loosely, bool leaving);
    // The code's holders in one hierarchy, all at once: one delete of what every holder loses (and one of its
    // rows with an empty bound) and one insert of the placeholders of the holders left without rows, after
    // the delete where every holder keys its rows under its trimmed name, else before it. `leaving`: the code
    // no longer feeds them.
    bool SettleHoldersIn(const Holders& h, const Code& code, const LostBy& lostBy, const LostLoosely& loosely,
                         const Code* leaving) const;
    // The condition that the hierarchy's row X attaches the code to a holder with a name.
    QString HolderOf(const Holders& h, const Code& code) const;
    // The condition that the holder column `name` names one of the code's holders (trailing blanks aside).
    QString AmongHoldersOf(const Holders& h, const Code& code, const QString& name) const;
    // The codes of every holder of the code (aliased F), but `leaving`.
    Feeders CodesOfHolders(const Holders& h, const Code& code, const Code* leaving) const;
    // One holder settles what the code lost.
    bool SettleHolder(bool multipliers, const QString& holder, const LostBy& lostBy,
                      const LostLoosely& loosely, const Code* leaving);
    // The bounds of the rows of `table` meeting one of `conditions`, which qualify its columns by the table's
    // name.
    bool Read(const RangeTable& table, const QStringList& conditions, std::vector<RangeBounds>& rows) const;
    // Removes the entry's rows meeting any of `conditions` (`removed` of them, -1 where the driver does not
    // count) and writes its placeholder when none is left.
    bool Remove(const RangeTable& table, const QStringList& key, const QStringList& conditions,
                qint64& removed) const;
    bool Fail(Step step);

    QString m_area;
    QString m_top;
    const RangeTable& m_table;
    bool m_holders;
    // The ranges settled: one range by its bounds, or else the rows of these keys in the range table.
    std::optional<RangeBounds> m_range;
    std::vector<QStringList> m_sources;
    bool m_loose = false;
    // The range table's key columns: whether fixed-width, and their widths.
    QList<bool> m_fixed;
    QList<int> m_widths;
    bool m_record = false;
    std::vector<Removed> m_removed;
    Step m_failed = Step::None;
};
