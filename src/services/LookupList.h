#pragma once

#include "platform/Recordset.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

struct LookupSettings;

// The lookup dialog without its window: the list query and its rows, and the changes to the two code
// dictionaries (CS_SOURCE and CS_CAT_DESC) with the dependency check before a delete. Every statement runs
// on the shared connection and is composed from the settings with every value quoted; each change is one
// transaction, which checks (the code not yet stored, no row depending on it) after it has the right to
// write, so two users' changes take turns. A failed statement shows its description, is reported under the
// dialog's location and answers failure. A value longer than its column is refused so, before anything is
// written, in words naming the value and the column.
class LookupList {
public:
    // One listed row as it was read.
    struct Row {
        QString key;           // "Primary", the code and the running number of the listed row
        QString code;          // the first column
        QStringList subItems;  // the further columns as text ("" for NULL)
        QList<bool> subIsNull; // which of them were NULL
    };

    enum class Dependency { None, Found, Failed };
    enum class Deletion { Deleted, NothingDeleted, Dependent, Failed };
    enum class Presence { Absent, Present, Failed };
    // An add: written; refused as the code is stored already, or as that could not be looked up (shown
    // and reported); or failed.
    enum class Addition { Added, Present, Unchecked, Failed };

    explicit LookupList(const LookupSettings& settings);

    // Only the two code dictionaries can be changed through the dialog.
    static bool IsDictionary(const QString& tableName);
    bool Editable() const;
    // Codes of CS_SOURCE without a level to put them in can be picked, not added, changed or deleted.
    bool PickOnly() const;
    bool AddAllowed() const { return Editable() && !PickOnly(); }
    // The level of code mode, without the blanks a typed level box may carry.
    QString Level() const;
    // Level lookups of CS_SOURCE take at most four characters ("L" and three more).
    bool LevelCodeLimit() const;

    QString BuildSQL() const;
    // The statement last built by any operation.
    QString LastSQL() const { return m_strSQL; }

    // Reads the list. On failure gLookupOK turns false, the description is shown, the failure is reported
    // and the list is empty.
    bool OpenRecordset();
    void Close();
    bool IsOpen() const { return m_rsLookup.IsOpen(); }
    const QVector<Row>& Rows() const { return m_rows; }
    int FieldCount() const;
    // Declared width of a listed column; -1 when unknown or unlimited.
    int DefinedSize(int column) const;
    // The first column holds 32-bit integers.
    bool CodeIsInteger() const;

    // The position of the code among the codes: an exact match first (letter case counting, then not),
    // else the first code that begins with it, letter case ignored; -1 when none. The code is trimmed.
    static int FindCode(const QStringList& codes, const QString& code);
    // Whether the trimmed code equals a trimmed listed code, both in the database's letter case.
    static bool CodeExistsIn(const QStringList& codes, const QString& code);
    // Whether the table holds the code within the list's condition, whatever the list shows (it may be
    // stale after a failed refresh). A failure has been shown and reported.
    Presence StoredCode(const QString& code);
    QStringList Codes() const;

    // A new entry written into the listed columns (the code, and the description when two or more
    // columns are listed), unless the table holds the code already.
    Addition AddListedRow(const QString& code, const QString& description);
    // A new CS_SOURCE entry, unless the table holds the code already: a level row in level mode; in code
    // mode a code of the level, filling the level's placeholder row when it has one. Failed in neither
    // mode.
    Addition InsertItem(const QString& code, const QString& description);
    // Sets the description of the row's code within the list's condition.
    bool ModifyItem(const Row& row, const QString& description);
    // Looks through the dependency tables in order for a row that refers to the code.
    Dependency CheckDependencies(const QString& code);
    Dependency DependenciesExist(const QString& table, const QString& fldCode, const QString& fldArea,
                                 const QString& fldLevel, const QString& code);
    // Deletes the row by its code and description as read, unless a row of the dependency tables refers
    // to it (Dependent). In code mode the last code of a level leaves the level's placeholder row behind.
    Deletion DeleteItem(const Row& row);

private:
    bool execute(const QString& sql, qint64* affected = nullptr);
    // Whether each value fits its column of the listed table: a database that does not hold its columns to
    // their widths (SQLite) would store a longer one whole. False with the refusal, which names the value
    // and the column, raised as the current error (or the look-up's failure).
    bool fits(const QStringList& columns, const QStringList& values) const;
    // The duplicate check of an add, within its transaction: Added when the code is not stored yet.
    Addition NewCode(const QString& code);
    // Whether the query finds a row; nothing after its failure has been shown and reported.
    std::optional<bool> anyRow(const QString& sql, const QString& location);
    bool restoreLevelRow();
    QString filterClause() const;

    const LookupSettings& m_settings;
    Recordset m_rsLookup;
    QVector<Row> m_rows;
    QString m_strSQL;
};
