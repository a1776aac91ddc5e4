#pragma once

#include "rangemaint/LevelHierarchyWalk.h"
#include "rangemaint/RangeTable.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <vector>

// Takes ranges from the codes of the level hierarchy that no longer get them, and from the multipliers and
// categories holding those codes: the one rule for a range deleted in the Range Maintenance editor and for
// the ranges of a code detached from its parent code.
//
// A code loses a range it holds when none of its children still holds it; a code is never its own child.
// The codes are settled from the bottom up, and again until nothing changes, so that a cycle written by
// another program settles as well. A multiplier (category) loses a range that a code attached to it lost
// when no code attached to it still holds it. A code or holder left without rows gets its placeholder
// back. The tables record no origin: a range a code also held on its own goes with the others.
//
// Only the rows of the ranges being settled are read, each code and holder once, and what a code or holder
// lost goes in a few statements, however many ranges it lost: the cost grows with the codes touched and
// the ranges settled, never with the other ranges the codes hold. The statements run on the shared
// connection, inside the caller's transaction. Nothing is reported here: a failure answers false with the
// error left current and `FailedStep` telling where it arose, for the caller to report under its own
// location.
class LevelRangeRemoval {
public:
    using Code = LevelHierarchyWalk::Code;
    struct Removed {
        Code code;
        RangeBounds range;
    };
    enum class Step { None, Walk, Codes, Multipliers, Categories };

    // The codes of `area` under `top` (chart of account or business level) hold their ranges in `table`,
    // keyed by top, level and code; with `holders` the multipliers and categories of the codes hold them
    // too (account levels).
    LevelRangeRemoval(QString area, QString top, const RangeTable& table, bool holders);

    // The ranges went from the code: its ancestors settle them, and the holders of every code that lost
    // them, the code's own included.
    bool Lost(const Code& code, const std::vector<RangeBounds>& ranges);
    // The child left the parent code: the parent code and its ancestors settle the child's ranges (the
    // child keeps its own), and so do the holders of every code that lost them.
    bool Left(const Code& parent, const Code& child, const std::vector<RangeBounds>& ranges);
    // Only these codes settle the ranges, the lowest first, and the holders of those that lost them.
    bool Settle(const std::vector<Code>& codes, const std::vector<RangeBounds>& ranges);
    // A code left the multiplier (`multipliers`) or category: the holder settles the code's ranges.
    bool HolderLeft(bool multipliers, const QString& holder, const std::vector<RangeBounds>& ranges);

    // What the codes lost, code by code in the order they were settled.
    const std::vector<Removed>& RemovedRanges() const { return m_removed; }
    Step FailedStep() const { return m_failed; }

private:
    struct Feeder;
    struct CodeState;
    // The codes settled in one run, with their index by code.
    struct Settled {
        const std::vector<CodeState>& states;
        const QHash<QString, int>& index;
    };

    // Settles `codes` and then the holders of the codes that lost ranges; `lost` (when set) lost them all
    // before.
    bool Run(const std::vector<Code>& codes, const Code* lost, const std::vector<RangeBounds>& ranges);
    // The ranges to settle, keyed by their bounds, placeholders (both bounds blank) left out.
    void Want(const std::vector<RangeBounds>& ranges);
    // How look-ups and deletes name some of the wanted ranges: lists of their From values and the ranges
    // named by their pairs.
    struct Names {
        QStringList fromLists;
        std::vector<RangeBounds> pairs;
    };
    // The names of the wanted ranges of these keys.
    Names Named(const QStringList& keys) const;
    // Conditions, one statement each, that the bound columns `from` and `to` may hold one of the named
    // ranges: they name the ranges by their values, so that every database finds the rows through the range
    // table's index, and let through the rows that share a From with one, which are the ranges only when
    // both bounds are one's exactly.
    static QStringList Conditions(const Names& names, const QString& from, const QString& to);
    // The wanted range a row stands for, by key; empty for none. `loosely`: the row is another table's, which
    // may pad the bounds otherwise, and stands for a wanted range whose bounds are the same without
    // trailing blanks.
    QString WantedKey(const RangeBounds& row, bool loosely) const;
    // The wanted ranges the rows of `table` under `keys` (as stored) hold, by key; whether a row read holds
    // none (`shared`: it shares a From with one); and (`rows`) the rows holding each, as read. `loosely` as
    // for WantedKey.
    bool Held(const RangeTable& table, const QStringList& keys, bool loosely, QSet<QString>& held,
              bool& shared, QHash<QString, std::vector<RangeBounds>>* rows) const;
    // Reads what the code holds and what each of its children holds of the wanted ranges.
    bool Read(CodeState& state, const QHash<QString, int>& settled) const;
    // Removes what a settled code lost, with its placeholder when it is left without rows.
    bool Write(const CodeState& state);
    // The multipliers or categories holding one of these codes each settle what their codes lost; a
    // settled code attached to one feeds it what it kept.
    bool SettleHolders(bool multipliers, const std::vector<std::pair<Code, QSet<QString>>>& lost,
                       const Settled& settled);
    bool SettleHolder(bool multipliers, const QString& holder, const QSet<QString>& candidates,
                      const Settled* settled);
    // Removes from the entry of `keys` its rows read for the wanted ranges `lost` (`rows`, as it holds them),
    // where of its rows read one that holds no wanted range (`shared`) or one of the wanted ranges it keeps
    // (`keeps`) stays; writes its placeholder when none of its rows is left.
    bool RemoveRows(const RangeTable& table, const QStringList& keys, const QStringList& lost,
                    const std::vector<RangeBounds>& rows, bool shared, bool keeps) const;
    bool Fail(Step step);

    QString m_area;
    QString m_top;
    const RangeTable& m_table;
    bool m_holders;
    // The wanted ranges by key, and their keys in the order given.
    QHash<QString, RangeBounds> m_wanted;
    // Their keys by their bounds without trailing blanks.
    QHash<QString, QString> m_shown;
    QStringList m_order;
    // What names them all in the look-ups.
    Names m_named;
    std::vector<Removed> m_removed;
    Step m_failed = Step::None;
};
