#pragma once

#include <QString>
#include <QStringList>

class DbConnection;

// A script of SQL statements, each ended by ";" at the end of a line; whole lines starting with "--" are
// comments. Used to build warehouses from the schema and seed files.
class SqlScript {
public:
    static QStringList Split(const QString& text);
    // Runs every statement of the file in one transaction; on failure nothing stays and `error` says
    // which statement failed and why.
    static bool RunFile(DbConnection& connection, const QString& path, QString* error = nullptr);
    static bool Run(DbConnection& connection, const QStringList& statements, QString* error = nullptr);
};
