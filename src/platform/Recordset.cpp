#include "platform/Recordset.h"

#include "platform/CurrentError.h"
#include "platform/DbConnection.h"

#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <sqlite3.h>
#include <utility>

namespace {

void raiseNothing() {
    Err().Raise(CurrentError::ObjectNotSet, "Object variable or With block variable not set", "Recordset");
}

int sizeFromDeclaredType(const char* declared) {
    if (!declared)
        return -1;
    static const QRegularExpression width(R"(\(\s*(\d+))");
    const QRegularExpressionMatch m = width.match(QString::fromUtf8(declared));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// A declared type of a fixed-width text column: CHAR(n), NCHAR(n), CHARACTER(n), not a varying one.
bool fixedFromDeclaredType(const char* declared) {
    if (!declared)
        return false;
    static const QRegularExpression fixed(R"(^\s*(N?CHAR|CHARACTER)\s*(\(|$))",
                                          QRegularExpression::CaseInsensitiveOption);
    return fixed.match(QString::fromUtf8(declared)).hasMatch();
}

} // namespace

QString Field::Name() const {
    if (!m_rs.usable() || m_index < 0 || m_index >= m_rs.d->columns.size())
        return {};
    return m_rs.d->columns[m_index].name;
}

QVariant Field::Value() const {
    const QVariant* v = m_rs.current(m_index);
    return v ? *v : QVariant();
}

bool Field::IsNull() const {
    const QVariant* v = m_rs.current(m_index);
    return !v || v->isNull();
}

QString Field::Text() const {
    const QVariant* v = m_rs.current(m_index);
    return (v && !v->isNull()) ? v->toString() : QString();
}

QMetaType Field::Type() const {
    if (!m_rs.usable() || m_index < 0 || m_index >= m_rs.d->columns.size())
        return {};
    return m_rs.d->columns[m_index].type;
}

int Field::DefinedSize() const {
    return m_rs.columnSize(m_index);
}

bool Field::FixedWidth() const {
    return m_rs.columnFixed(m_index);
}

Recordset::Recordset() : d(QSharedPointer<Data>::create()) {}

QString Recordset::normalised(const QString& name) {
    const qsizetype dot = name.lastIndexOf('.');
    QString bare = dot >= 0 ? name.mid(dot + 1) : name;
    bare = bare.trimmed();
    if (bare.size() >= 2 && bare.startsWith('"') && bare.endsWith('"'))
        bare = bare.mid(1, bare.size() - 2);
    return bare.toUpper();
}

bool Recordset::Open(const QString& sql, DbConnection& connection) {
    d = QSharedPointer<Data>::create();
    if (!connection.admitStatement(sql))
        return false;
    QSqlQuery q(connection.database());
    q.setForwardOnly(true);
    if (!connection.Run(q, sql))
        return false;
    const QSqlRecord rec = q.record();
    const bool sqlite = connection.database().driverName() == QLatin1String("QSQLITE");
    d->columns.reserve(rec.count());
    for (int i = 0; i < rec.count(); ++i) {
        const QSqlField f = rec.field(i);
        Column c;
        c.name = f.name();
        c.type = f.metaType();
        if (!sqlite) {
            c.size = f.length() > 0 ? f.length() : -1;
            // The ODBC driver's SQL type: SQL_CHAR or SQL_WCHAR.
            c.fixed = f.typeID() == 1 || f.typeID() == -8;
        }
        d->columns.push_back(c);
        // A later column of the same name never hides the first, as with joined tables.
        const QString key = normalised(c.name);
        if (!d->byName.contains(key))
            d->byName.insert(key, i);
    }
    const int n = rec.count();
    while (q.next()) {
        QVector<QVariant> row;
        row.reserve(n);
        for (int i = 0; i < n; ++i)
            row.push_back(q.value(i));
        d->rows.push_back(std::move(row));
    }
    if (q.lastError().isValid()) {
        connection.fail(connection.errorFrom(q));
        d->rows.clear();
        return false;
    }
    q.finish();
    if (sqlite)
        resolveDeclaredSizes(sql, connection);
    d->open = true;
    d->failed = false;
    return true;
}

void Recordset::Close() {
    if (!usable())
        return;
    d->open = false;
    d->rows.clear();
}

bool Recordset::IsNothing() const {
    return d->failed;
}

bool Recordset::IsOpen() const {
    return !d->failed && d->open;
}

bool Recordset::usable() const {
    if (d->failed) {
        raiseNothing();
        return false;
    }
    if (!d->open) {
        Err().Raise(CurrentError::ObjectClosed, "Operation is not allowed when the object is closed.",
                    "Recordset");
        return false;
    }
    return true;
}

int Recordset::RecordCount() const {
    return usable() ? static_cast<int>(d->rows.size()) : 0;
}

bool Recordset::IsEOF() const {
    return usable() ? d->position >= d->rows.size() : true;
}

void Recordset::MoveNext() {
    if (!usable())
        return;
    if (d->position >= d->rows.size()) {
        Err().Raise(CurrentError::NoCurrentRecord,
                    "Either BOF or EOF is True, or the current record has been deleted. Requested operation "
                    "requires a current record.",
                    "Recordset");
        return;
    }
    ++d->position;
}

int Recordset::FieldCount() const {
    return usable() ? static_cast<int>(d->columns.size()) : 0;
}

int Recordset::indexOf(const QString& name) const {
    return d->byName.value(normalised(name), -1);
}

bool Recordset::HasField(const QString& name) const {
    return !d->failed && indexOf(name) >= 0;
}

Field Recordset::Fields(const QString& name) const {
    const int i = d->failed ? -1 : indexOf(name);
    if (!d->failed && i < 0)
        Err().Raise(3265,
                    "Item cannot be found in the collection corresponding to the requested name or ordinal.",
                    "Recordset");
    return Field(*this, i);
}

Field Recordset::Fields(int index) const {
    if (!d->failed && (index < 0 || index >= d->columns.size()))
        Err().Raise(3265,
                    "Item cannot be found in the collection corresponding to the requested name or ordinal.",
                    "Recordset");
    return Field(*this, index);
}

const QVariant* Recordset::current(int index) const {
    if (!usable() || index < 0 || index >= d->columns.size())
        return nullptr;
    if (d->position >= d->rows.size()) {
        Err().Raise(CurrentError::NoCurrentRecord,
                    "Either BOF or EOF is True, or the current record has been deleted. Requested operation "
                    "requires a current record.",
                    "Recordset");
        return nullptr;
    }
    return &std::as_const(d->rows)[d->position][index];
}

int Recordset::columnSize(int index) const {
    if (d->failed || index < 0 || index >= d->columns.size())
        return -1;
    return d->columns[index].size;
}

bool Recordset::columnFixed(int index) const {
    return !d->failed && index >= 0 && index < d->columns.size() && d->columns[index].fixed;
}

void Recordset::resolveDeclaredSizes(const QString& sql, DbConnection& connection) {
    // SQLite's Qt driver reports no widths; the declared column type ("VARCHAR(10)") still holds them.
    // Preparing the statement again only compiles it; nothing runs.
    const QVariant handle = connection.database().driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return;
    sqlite3* db = *static_cast<sqlite3* const*>(handle.constData());
    if (!db)
        return;
    sqlite3_stmt* stmt = nullptr;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(db, text.constData(), static_cast<int>(text.size()), &stmt, nullptr) !=
        SQLITE_OK) {
        sqlite3_finalize(stmt);
        return;
    }
    const int n = qMin(sqlite3_column_count(stmt), static_cast<int>(d->columns.size()));
    for (int i = 0; i < n; ++i) {
        d->columns[i].size = sizeFromDeclaredType(sqlite3_column_decltype(stmt, i));
        d->columns[i].fixed = fixedFromDeclaredType(sqlite3_column_decltype(stmt, i));
    }
    sqlite3_finalize(stmt);
}
