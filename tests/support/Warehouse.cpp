#include "support/Warehouse.h"

#include "frame/clsDBConnection.h"
#include "frame/modMain.h"
#include "platform/CurrentError.h"
#include "platform/Recordset.h"
#include "platform/SqlScript.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace {

QString readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// The seeded SQLite warehouse is built once per test program and copied for each test.
QString sqliteTemplate(QString* error) {
    static QTemporaryDir dir;
    static QString path;
    static QString buildError;
    if (!path.isEmpty() || !buildError.isEmpty()) {
        *error = buildError;
        return path;
    }
    const QString file = QDir(dir.path()).filePath("template.db");
    {
        QFile create(file);
        create.open(QIODevice::WriteOnly);
    }
    DbConnection c;
    if (!c.Open("PROVIDER=SQLITE;Data Source=" + file) ||
        !SqlScript::RunFile(c, QLX_SCHEMA_FILE, &buildError) ||
        !SqlScript::RunFile(c, QLX_SEED_FILE, &buildError)) {
        if (buildError.isEmpty())
            buildError = c.LastError().description;
    }
    Err().Clear();
    if (buildError.isEmpty())
        path = file;
    *error = buildError;
    return path;
}

} // namespace

QStringList Warehouse::backends() {
    return {QStringLiteral("sqlite")};
}

void Warehouse::addBackendColumn() {
    QTest::addColumn<QString>("backend");
}

QTestData& Warehouse::newRow(const QString& backend, const QString& name) {
    const QString row = name.isEmpty() ? backend : backend + ": " + name;
    return QTest::newRow(qPrintable(row)) << backend;
}

void Warehouse::addBackendRows() {
    addBackendColumn();
    for (const QString& b : backends())
        newRow(b);
}

Warehouse::Warehouse(const QString& backend) : m_backend(backend) {
    if (backend == "sqlite") {
        const QString source = sqliteTemplate(&m_error);
        if (!m_error.isEmpty())
            return;
        const QString file = QDir(m_dir.path()).filePath("warehouse.db");
        if (!QFile::copy(source, file)) {
            m_error = "cannot copy the template warehouse";
            return;
        }
        m_connectionText = "PROVIDER=SQLITE;Data Source=" + file;
        return;
    }
    m_error = "unknown backend " + backend;
}

Warehouse::~Warehouse() {
    m_own.reset();
    if (gDBConnection.State() == 1)
        gDBConnection->CloseDB();
    gDBConnection.SetNothing();
}

bool Warehouse::openShared() {
    return OpenDBConecction(m_connectionText);
}

DbConnection& Warehouse::own() {
    if (!m_own) {
        m_own = std::make_unique<DbConnection>();
        if (!m_own->Open(m_connectionText))
            qWarning("cannot open the test's own connection: %s", qPrintable(m_own->LastError().description));
        Err().Clear();
    }
    return *m_own;
}

QStringList Warehouse::rows(const QString& sql) {
    QStringList result;
    Recordset rs;
    if (!rs.Open(sql, own())) {
        qWarning("query failed: %s: %s", qPrintable(sql), qPrintable(own().LastError().description));
        Err().Clear();
        return {"<query failed>"};
    }
    while (!rs.IsEOF()) {
        QStringList fields;
        for (int i = 0; i < rs.FieldCount(); ++i)
            fields << (rs.Fields(i).IsNull() ? QStringLiteral("<null>") : rs.Fields(i).Text());
        result << fields.join('|');
        rs.MoveNext();
    }
    return result;
}

QString Warehouse::scalar(const QString& sql) {
    return rows(sql).value(0);
}

QStringList Warehouse::tableNames() {
    static const QRegularExpression create(R"(CREATE\s+TABLE\s+(\w+))",
                                           QRegularExpression::CaseInsensitiveOption);
    QStringList names;
    auto it = create.globalMatch(readFile(QLX_SCHEMA_FILE));
    while (it.hasNext())
        names << it.next().captured(1).toUpper();
    return names;
}

QString Warehouse::snapshot() {
    QString text;
    for (const QString& table : tableNames()) {
        QStringList all = rows("SELECT * FROM " + table);
        all.sort();
        text += "== " + table + "\n" + all.join('\n') + '\n';
    }
    return text;
}
