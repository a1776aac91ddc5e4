#include "platform/ConnectionText.h"

#include <QDir>
#include <QList>
#include <QPair>
#include <QStringList>

namespace {

bool isTrue(const QString& value) {
    const QString v = value.trimmed().toLower();
    return v == "sspi" || v == "yes" || v == "true";
}

} // namespace

namespace {

// Splits "key=value;key=value" as OLE DB does: a value may stand in double or single quotes (a doubled
// quote inside stands for one), so a password can hold a ";".
QList<QPair<QString, QString>> splitPairs(const QString& text) {
    QList<QPair<QString, QString>> pairs;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        const qsizetype eq = text.indexOf('=', i);
        const qsizetype semi = text.indexOf(';', i);
        if (eq < 0 || (semi >= 0 && semi < eq)) {
            if (semi < 0)
                break;
            i = semi + 1; // a part without "=" carries nothing
            continue;
        }
        const QString key = text.mid(i, eq - i).trimmed().toLower();
        qsizetype j = eq + 1;
        while (j < n && text[j] == ' ')
            ++j;
        QString value;
        if (j < n && (text[j] == '"' || text[j] == '\'')) {
            const QChar quote = text[j++];
            while (j < n) {
                if (text[j] == quote) {
                    if (j + 1 < n && text[j + 1] == quote) {
                        value += quote;
                        j += 2;
                        continue;
                    }
                    ++j;
                    break;
                }
                value += text[j++];
            }
            const qsizetype end = text.indexOf(';', j);
            i = end < 0 ? n : end + 1;
        } else {
            const qsizetype end = text.indexOf(';', eq + 1);
            value = text.mid(eq + 1, (end < 0 ? n : end) - eq - 1);
            i = end < 0 ? n : end + 1;
        }
        pairs.append({key, value});
    }
    return pairs;
}

} // namespace

ConnectionText ConnectionText::Parse(const QString& text) {
    ConnectionText ct;
    for (const auto& [key, raw] : splitPairs(text)) {
        QString value = raw;
        if (key == "provider")
            ct.Provider = value.trimmed();
        else if (key == "data source")
            ct.DataSource = value.trimmed();
        else if (key == "initial catalog")
            ct.InitialCatalog = value.trimmed();
        else if (key == "user id")
            ct.UserId = value.trimmed();
        else if (key == "password")
            ct.Password = value; // a password keeps its blanks
        else if (key == "integrated security")
            ct.IntegratedSecurity = ct.IntegratedSecurity || isTrue(value);
        else if (key == "trusted_connection") {
            // Integrated entries in QLX.ini end "Trusted_Connection=Yes,".
            while (value.endsWith(','))
                value.chop(1);
            ct.IntegratedSecurity = ct.IntegratedSecurity || isTrue(value);
        } else if (key == "persist security info")
            ct.PersistSecurityInfo = isTrue(value);
    }
    return ct;
}

ConnectionText::Backend ConnectionText::backend() const {
    const QString p = Provider.toUpper();
    if (p == "SQLITE")
        return Backend::SqliteFile;
    if (p.startsWith("SQLOLEDB"))
        return Backend::SqlServer;
    if (p.startsWith("MSDAORA"))
        return Backend::Oracle;
    if (p.startsWith("MSDASQL"))
        return Backend::OdbcDataSource;
    return Backend::Unknown;
}

QString ConnectionText::qtDriverName() const {
    switch (backend()) {
    case Backend::SqliteFile:
        return "QSQLITE";
    case Backend::SqlServer:
    case Backend::Oracle:
    case Backend::OdbcDataSource:
        return "QODBC";
    case Backend::Unknown:
        break;
    }
    return {};
}

QString ConnectionText::odbcQuote(const QString& value) {
    // Drivers differ in which values they accept in braces (unixODBC reads none in DSN, psqlODBC none in
    // UID), so only a value that could otherwise end its key or open another gets them.
    const bool needsBraces = value.contains(';') || value.contains('{') || value.contains('}') ||
                             value.startsWith(' ') || value.endsWith(' ');
    if (!needsBraces)
        return value;
    QString escaped = value;
    escaped.replace('}', "}}");
    return '{' + escaped + '}';
}

QString ConnectionText::odbcConnectionString(const QString& odbcDriver) const {
    QStringList parts;
    const auto add = [&parts](const char* key, const QString& value) {
        parts << QString::fromLatin1(key) + '=' + odbcQuote(value);
    };
    const auto addLogin = [&] {
        if (IntegratedSecurity)
            return;
        add("UID", UserId);
        add("PWD", Password);
    };
    switch (backend()) {
    case Backend::SqlServer: {
        add("DRIVER", odbcDriver);
        QString server = DataSource;
        QString port;
        // SQL Server writes "host,port"; FreeTDS wants the port on its own.
        const qsizetype comma = server.indexOf(',');
        if (comma >= 0) {
            port = server.mid(comma + 1).trimmed();
            server = server.left(comma).trimmed();
        }
        // "(local)" and "." name this machine, also in front of an instance name.
        for (const QString& local : {QStringLiteral("(local)"), QStringLiteral(".")}) {
            if (server.compare(local, Qt::CaseInsensitive) == 0 ||
                server.startsWith(local + '\\', Qt::CaseInsensitive))
                server = "localhost" + server.mid(local.size());
        }
        add("SERVER", server);
        if (!port.isEmpty())
            add("PORT", port);
        if (!InitialCatalog.isEmpty())
            add("DATABASE", InitialCatalog);
        if (IntegratedSecurity)
            add("Trusted_Connection", "Yes");
        addLogin();
        break;
    }
    case Backend::Oracle:
        add("DRIVER", odbcDriver);
        add("DBQ", DataSource);
        addLogin();
        break;
    case Backend::OdbcDataSource:
        add("DSN", DataSource);
        if (!InitialCatalog.isEmpty())
            add("DATABASE", InitialCatalog);
        // A data source may keep its own credentials; empty ones must not override them.
        if (!UserId.isEmpty() || !Password.isEmpty())
            addLogin();
        break;
    case Backend::SqliteFile:
    case Backend::Unknown:
        return {};
    }
    return parts.join(';') + ';';
}

QString ConnectionText::sqliteFilePath(const QString& programFolder) const {
    if (DataSource.isEmpty())
        return {};
    if (QDir::isAbsolutePath(DataSource))
        return QDir::cleanPath(DataSource);
    return QDir::cleanPath(QDir(programFolder).filePath(DataSource));
}
