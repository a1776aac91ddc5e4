#pragma once

#include <QString>
#include <QStringList>

// What a lookup button tells the lookup dialog before showing it, and what it reads back afterwards.
// Every lookup starts from a fresh set: empty lists, empty texts, both modes off.
struct LookupSettings {
    // Columns of the row that adds a CS_SOURCE entry, in order (SOAREA, SOLEVEL, SOCODE, SODESC). Empty:
    // a new entry is written into the listed columns.
    QStringList m_colHideFieldNames;
    // Listed columns in order: the first is the code (list text, sort order, key of changes and deletes),
    // the second, when present, the description.
    QStringList m_colFieldNames;
    // One caption per listed column; their count decides the layout, the first names the code in messages.
    QStringList m_colColumnNames;
    // Result: on OK the trimmed texts of the chosen row, one per caption; on Cancel one empty text each.
    QStringList m_colSelection;
    // Read in parallel by position: a table that must not refer to an entry that is to be deleted, its
    // code column, its area column and its level column ("" where the table has no such column).
    QStringList m_DependencyTable;
    QStringList m_DependencyFldCode;
    QStringList m_DependencyFldArea;
    QStringList m_DependencyFldlevel;
    QString m_strTableName;
    // The list's condition without WHERE, composed by the caller with its values already quoted; it is
    // appended unchanged to the list query and to changes and deletes.
    QString m_strFilter;
    // Code to preselect when the list opens; empty for the first row.
    QString m_strFindItem;
    QString m_strCaption;
    // Result: true when the dialog was closed with OK.
    bool m_OK = false;
    // Level of new codes (SOLEVEL) and of the dependency check in code mode.
    QString m_strLevel;
    // Area of new entries (SOAREA) and of the dependency check.
    QString m_strLevelType;
    // Level mode: the list holds the levels of an area and an added entry is a level.
    bool m_Lookuplevel = false;
    // Code mode: an added entry is a code of m_strLevel (or a category of CS_CAT_DESC).
    bool m_LookupCode = false;
};
