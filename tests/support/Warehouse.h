#pragma once

#include "platform/DbConnection.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

// A test warehouse, built from the program's own schema and seed scripts on one database backend.
// Every test that touches a warehouse takes the backend from its data table, so it runs once per backend.
class Warehouse {
public:
    // The backends every database test runs on: "sqlite" and "postgres". Without a PostgreSQL test
    // server the "postgres" rows skip, except under CI, where a missing server fails them.
    static QStringList backends();
    static void addBackendColumn();
    // A data row for `backend`, named "backend" or "backend: name", with the backend column filled in.
    static QTestData& newRow(const QString& backend, const QString& name = QString());
    static void addBackendRows();
    // The backend column and one more column, `name`, of type T, for a table of `addRows`.
    template <typename T> static void addColumns(const char* name) {
        addBackendColumn();
        QTest::addColumn<T>(name);
    }
    // A row named `name` on every backend, holding `values` after the backend.
    template <typename... Values> static void addRows(const QString& name, const Values&... values) {
        for (const QString& b : backends())
            (newRow(b, name) << ... << values);
    }

    explicit Warehouse(const QString& backend);
    ~Warehouse();
    Warehouse(const Warehouse&) = delete;
    Warehouse& operator=(const Warehouse&) = delete;

    bool ok() const { return m_error.isEmpty(); }
    // The backend cannot be reached here and need not be: the test skips.
    bool skipped() const { return m_skipped; }
    QString error() const { return m_error; }
    QString backend() const { return m_backend; }
    QString connectionText() const { return m_connectionText; }

    // Opens the program's shared connection on this warehouse, as the open dialog would.
    bool openShared();
    // A connection of the test's own, to look at the tables beside the program.
    DbConnection& own();

    // Each row of the query as its fields joined by "|" (NULL shown as "<null>").
    QStringList rows(const QString& sql);
    QString scalar(const QString& sql);
    // Every row of every table, in a fixed order: equal snapshots mean nothing changed.
    QString snapshot();

    static QStringList tableNames();
    // The connection text of another database on the PostgreSQL test server.
    static QString connectionTextFor(const QString& database);

private:
    QString m_backend;
    QString m_error;
    QString m_connectionText;
    QString m_database; // the server database to drop afterwards
    bool m_skipped = false;
    QTemporaryDir m_dir;
    std::unique_ptr<DbConnection> m_own;
};

// Skips the test when its backend is not there to reach, and fails it when the warehouse could not be built.
#define QLX_REQUIRE_WAREHOUSE(w)                                                                             \
    do {                                                                                                     \
        if ((w).skipped())                                                                                   \
            QSKIP(qPrintable((w).error()));                                                                  \
        QVERIFY2((w).ok(), qPrintable((w).error()));                                                         \
    } while (false)

// Takes the backend from the test's data row, builds warehouse `w` on it and opens the program's shared
// connection there.
#define QLX_OPEN_WAREHOUSE(w)                                                                                \
    QFETCH(QString, backend);                                                                                \
    Warehouse w(backend);                                                                                    \
    QLX_REQUIRE_WAREHOUSE(w);                                                                                \
    QVERIFY((w).openShared())
