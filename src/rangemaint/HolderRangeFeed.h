#pragma once

#include "rangemaint/LevelRangeRemoval.h"

#include <QString>

// Gives the multipliers or the categories holding some level codes the ranges of those codes they lack, in a
// few statements whatever the number of holders: one read of what the holders lack (only that comes across,
// for the refusal of an over-long value), and where they lack anything one insert of it all and the fill (of
// one range) or the delete (of several) of the placeholders whose place it takes; a placeholder another
// writer filled meanwhile ends the action. The holders are joined to the codes through their hierarchy by
// plain equalities, so each is found by the hierarchy's index, and whether a holder holds a range already is
// a count in its range table's index, as the database compares the bounds.
//
// A holder is written under the name its range table already holds it by: as its hierarchy names it, or
// without its trailing blanks where only that is held (the trimmed form is looked up only for a name that has
// trailing blanks, so a fixed-width column's padding never takes an index away). The chart goes without the
// blanks a fixed-width column pads it with. The statements run on the shared connection, inside the caller's
// transaction; a failure answers false with the error left current.
class HolderRangeFeed {
public:
    // The holders of `area` under the chart `top`: its multipliers, or else its categories.
    HolderRangeFeed(QString area, QString top, bool multipliers);

    // Each holder named by a row X of the holders' hierarchy gets the range (`from`, `to`: expressions over
    // the rows of `tables`) of each row of `tables` joined to X that meets `condition`, which also names the
    // code X holds (X's area and chart are added here); without `tables`, the one range `from`, `to` (texts)
    // of each row X meeting `condition`. `holding` names those holders over X alone: a holder among them that
    // got ranges loses its placeholder. `with` leads the statements that read `tables` (a common table
    // expression `condition` refers to).
    bool Feed(const QString& tables, const QString& condition, const QString& holding, const QString& from,
              const QString& to, const QString& with = QString()) const;

    // The condition that the hierarchy's level and code columns of `x` name the code as the walk does: as
    // given or without its trailing blanks.
    static QString Holds(const QString& x, const QString& level, const QString& code);
    // An insert of the rows `select` reads, with the common table expression `with` where each database
    // takes it: SQL Server before the insert, the others before the select.
    static QString InsertSelect(const QString& insert, const QString& with, const QString& select);

    const LevelRangeRemoval::Holders& Holders() const { return m_holders; }

private:
    // The holder of the row X as its range table holds it.
    QString Key() const;
    // How many rows of the holder of the row X hold the range.
    QString Held(const QString& from, const QString& to) const;

    QString m_area;
    QString m_top;
    QString m_chart;
    LevelRangeRemoval::Holders m_holders;
};
