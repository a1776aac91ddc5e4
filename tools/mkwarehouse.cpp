// Builds a SQLite warehouse file from the schema and seed scripts, and the QLX.ini entry that names it.
//
//   qlx-mkwarehouse --if-absent FILE SCHEMA SEED     build FILE unless it exists
//   qlx-mkwarehouse --replace FILE SCHEMA SEED       build FILE afresh
//   qlx-mkwarehouse --ini-if-absent INI DBFILE NAME  write INI with one entry for DBFILE unless INI exists

#include "platform/DbConnection.h"
#include "platform/SqlScript.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

namespace {

int fail(const QString& message) {
    QTextStream(stderr) << "qlx-mkwarehouse: " << message << '\n';
    return 1;
}

int buildWarehouse(const QString& target, const QString& schema, const QString& seed) {
    // Build beside the target and rename, so an interrupted build never leaves half a warehouse.
    const QString temporary = target + ".building";
    QFile::remove(temporary);
    {
        QFile create(temporary);
        if (!create.open(QIODevice::WriteOnly))
            return fail("cannot create " + temporary + ": " + create.errorString());
    }
    QString error;
    bool ok = false;
    {
        DbConnection connection;
        ok = connection.Open("PROVIDER=SQLITE;Data Source=" + QFileInfo(temporary).absoluteFilePath()) &&
             SqlScript::RunFile(connection, schema, &error) && SqlScript::RunFile(connection, seed, &error);
        if (!ok && error.isEmpty())
            error = connection.LastError().description;
    }
    if (!ok) {
        QFile::remove(temporary);
        return fail(error);
    }
    QFile::remove(target);
    if (!QFile::rename(temporary, target))
        return fail("cannot rename " + temporary + " to " + target);
    return 0;
}

int writeIni(const QString& ini, const QString& dbFile, const QString& name) {
    QFile file(ini);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return fail("cannot create " + ini + ": " + file.errorString());
    const QString text =
        "[Marts]\r\nmart1=" + name + ",PROVIDER=SQLITE;Data Source=" + dbFile + ";User ID=;Password=;\r\n";
    file.write(text.toLatin1());
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() == 4 && (args[0] == "--if-absent" || args[0] == "--replace")) {
        if (args[0] == "--if-absent" && QFileInfo::exists(args[1]))
            return 0;
        return buildWarehouse(args[1], args[2], args[3]);
    }
    if (args.size() == 4 && args[0] == "--ini-if-absent") {
        if (QFileInfo::exists(args[1]))
            return 0;
        return writeIni(args[1], args[2], args[3]);
    }
    return fail("usage: --if-absent|--replace FILE SCHEMA SEED, or --ini-if-absent INI DBFILE NAME");
}
