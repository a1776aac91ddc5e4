#include "platform/SqlScript.h"

#include "platform/DbConnection.h"
#include "platform/TransactionGuard.h"

#include <QFile>

QStringList SqlScript::Split(const QString& text) {
    QStringList statements;
    QString current;
    const QStringList lines = text.split('\n');
    for (QString line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1String("--")))
            continue;
        if (!current.isEmpty())
            current += '\n';
        current += line;
        if (trimmed.endsWith(';')) {
            current = current.trimmed();
            current.chop(1);
            statements << current;
            current.clear();
        }
    }
    if (!current.trimmed().isEmpty())
        statements << current.trimmed();
    return statements;
}

bool SqlScript::Run(DbConnection& connection, const QStringList& statements, QString* error) {
    TransactionGuard transaction(connection);
    if (!transaction.active()) {
        if (error)
            *error = connection.LastError().description;
        return false;
    }
    for (const QString& sql : statements) {
        if (!connection.Execute(sql)) {
            if (error)
                *error = connection.LastError().description + "\nin: " + sql;
            return false;
        }
    }
    if (!transaction.Commit()) {
        if (error)
            *error = connection.LastError().description;
        return false;
    }
    return true;
}

bool SqlScript::RunFile(DbConnection& connection, const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = "cannot read " + path + ": " + file.errorString();
        return false;
    }
    return Run(connection, Split(QString::fromUtf8(file.readAll())), error);
}
