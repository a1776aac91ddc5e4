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
    // The backends this run can reach: "sqlite" always.
    static QStringList backends();
    static void addBackendColumn();
    // A data row for `backend`, named "backend" or "backend: name", with the backend column filled in.
    static QTestData& newRow(const QString& backend, const QString& name = QString());
    static void addBackendRows();

    explicit Warehouse(const QString& backend);
    ~Warehouse();
    Warehouse(const Warehouse&) = delete;
    Warehouse& operator=(const Warehouse&) = delete;

    bool ok() const { return m_error.isEmpty(); }
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
    QTemporaryDir m_dir;
    std::unique_ptr<DbConnection> m_own;
};

// Fails the test when the warehouse could not be built.
#define QLX_REQUIRE_WAREHOUSE(w) QVERIFY2((w).ok(), qPrintable((w).error()))

// Takes the backend from the test's data row, builds warehouse `w` on it and opens the program's shared
// connection there.
#define QLX_OPEN_WAREHOUSE(w)                                                                                \
    QFETCH(QString, backend);                                                                                \
    Warehouse w(backend);                                                                                    \
    QLX_REQUIRE_WAREHOUSE(w);                                                                                \
    QVERIFY((w).openShared())
