#include "support/Warehouse.h"

#include "frame/clsDBConnection.h"
#include "frame/modMain.h"
#include "platform/CurrentError.h"
#include "platform/Recordset.h"
#include "platform/SqlScript.h"

#include <QCoreApplication>
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

QString postgresText(const QString& database) {
    return "PROVIDER=MSDASQL;Data Source=" + qEnvironmentVariable("QLX_TEST_PG_DSN") +
           ";Initial Catalog=" + database + ";User ID=" + qEnvironmentVariable("QLX_TEST_PG_USER") +
           ";Password=" + qEnvironmentVariable("QLX_TEST_PG_PASSWORD");
}

// Runs one statement on the server's maintenance database (creating and dropping databases cannot run
// inside a transaction or on the database concerned).
bool postgresAdmin(const QString& sql, QString* error) {
    DbConnection admin;
    const bool ok = admin.Open(postgresText("postgres")) && admin.Execute(sql);
    if (!ok && error)
        *error = admin.LastError().description;
    Err().Clear();
    return ok;
}

// The seeded PostgreSQL warehouse is built once per test program as a template database; each test
// gets a copy, which the server makes in a moment.
QString postgresTemplate(QString* error) {
    static QString name;
    static QString buildError;
    if (!name.isEmpty() || !buildError.isEmpty()) {
        *error = buildError;
        return name;
    }
    const QString candidate = QString("qlx_tpl_%1").arg(QCoreApplication::applicationPid());
    postgresAdmin("DROP DATABASE IF EXISTS " + candidate, nullptr);
    if (postgresAdmin("CREATE DATABASE " + candidate, &buildError)) {
        DbConnection c;
        if (!c.Open(postgresText(candidate)) || !SqlScript::RunFile(c, QLX_SCHEMA_FILE, &buildError) ||
            !SqlScript::RunFile(c, QLX_SEED_FILE, &buildError)) {
            if (buildError.isEmpty())
                buildError = c.LastError().description;
        }
        Err().Clear();
    }
    if (buildError.isEmpty())
        name = candidate;
    else
        buildError = "cannot build the PostgreSQL template warehouse: " + buildError;
    *error = buildError;
    return name;
}

} // namespace

QStringList Warehouse::backends() {
    // The PostgreSQL rows are always there, so no data table is ever left empty; whether they run is
    // decided when their warehouse is built.
    return {QStringLiteral("sqlite"), QStringLiteral("postgres")};
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
    if (backend == "postgres") {
        static int serial = 0;
        // The test command starts a PostgreSQL server and names its ODBC data source. Under CI the server
        // is required: without it every PostgreSQL row fails instead of silently skipping.
        if (qEnvironmentVariableIsEmpty("QLX_TEST_PG_DSN")) {
            m_error = "no PostgreSQL test server is configured (QLX_TEST_PG_DSN is not set)";
            m_skipped = qEnvironmentVariableIsEmpty("CI");
            return;
        }
        const QString source = postgresTemplate(&m_error);
        if (!m_error.isEmpty())
            return;
        const QString name = QString("qlx_w_%1_%2").arg(QCoreApplication::applicationPid()).arg(++serial);
        postgresAdmin("DROP DATABASE IF EXISTS " + name, nullptr);
        if (!postgresAdmin("CREATE DATABASE " + name + " TEMPLATE " + source, &m_error))
            return;
        m_database = name;
        m_connectionText = postgresText(name);
        return;
    }
    m_error = "unknown backend " + backend;
}

Warehouse::~Warehouse() {
    m_own.reset();
    if (gDBConnection.State() == 1)
        gDBConnection->CloseDB();
    gDBConnection.SetNothing();
    if (!m_database.isEmpty())
        postgresAdmin("DROP DATABASE IF EXISTS " + m_database, nullptr);
}

QString Warehouse::connectionTextFor(const QString& database) {
    return postgresText(database);
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
