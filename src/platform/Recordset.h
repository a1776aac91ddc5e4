#pragma once

#include <QHash>
#include <QMetaType>
#include <QSharedPointer>
#include <QString>
#include <QVariant>
#include <QVector>

class DbConnection;
class Field;

// A forward-only recordset. All rows are read when it opens and the statement is released at once, so
// RecordCount is exact from the start and the caller may run other queries and writes while it walks
// the rows (a server over ODBC allows only one active statement).
//
// A recordset that failed to open is "nothing": every use of it raises an error on the program's current
// error and behaves as an empty, closed set, so a caller that forgets to test it reports an error instead
// of crashing.
class Recordset {
public:
    Recordset();

    bool Open(const QString& sql, DbConnection& connection);
    void Close();

    bool IsNothing() const;
    bool IsOpen() const;
    int RecordCount() const;
    bool IsEOF() const;
    void MoveNext();

    int FieldCount() const;
    // By name, case-insensitive and without qualifier ("B.SO_AREA" finds SO_AREA), or by position.
    Field Fields(const QString& name) const;
    Field Fields(int index) const;
    bool HasField(const QString& name) const;

private:
    friend class Field;
    struct Column {
        QString name;
        QMetaType type;
        int size = -1;
        bool fixed = false;
    };
    struct Data {
        QVector<Column> columns;
        QHash<QString, int> byName;
        QVector<QVector<QVariant>> rows;
        int position = 0;
        bool open = false;
        bool failed = true;
    };

    bool usable() const;
    int indexOf(const QString& name) const;
    const QVariant* current(int index) const;
    int columnSize(int index) const;
    bool columnFixed(int index) const;
    void resolveDeclaredSizes(const QString& sql, DbConnection& connection);
    static QString normalised(const QString& name);

    QSharedPointer<Data> d;
};

// One column of the current row. A NULL stays distinct from empty text: Value() is a null QVariant and
// Text() gives "".
class Field {
public:
    QString Name() const;
    QVariant Value() const;
    bool IsNull() const;
    QString Text() const;
    QMetaType Type() const;
    // The declared width of a text column; -1 where nothing limits it or nothing is known.
    int DefinedSize() const;
    // Whether the column is fixed-width (CHAR(n)): the server pads what it holds to the width and compares
    // two such values ignoring trailing blanks.
    bool FixedWidth() const;

private:
    friend class Recordset;
    Field(const Recordset& rs, int index) : m_rs(rs), m_index(index) {}
    // A handle on the same rows, so the field stays valid after the recordset it came from is gone.
    Recordset m_rs;
    int m_index;
};
