#pragma once

#include <QString>

// One warehouse connection text ("PROVIDER=SQLOLEDB;Data Source=...;User ID=...") taken apart, and the
// Qt SQL driver settings it maps to. Keys are matched case-insensitively, as the OLE DB texts in QLX.ini
// and the dialogs spell them in more than one way.
class ConnectionText {
public:
    enum class Backend { Unknown, SqliteFile, SqlServer, Oracle, OdbcDataSource };

    static ConnectionText Parse(const QString& text);

    QString Provider;
    QString DataSource;
    QString InitialCatalog;
    QString UserId;
    QString Password;
    bool IntegratedSecurity = false;
    bool PersistSecurityInfo = false;

    Backend backend() const;
    QString qtDriverName() const;

    // The ODBC connection string for the server providers. A value holding ";" or a brace is
    // brace-quoted, so that what is typed into a password cannot smuggle in another key.
    QString odbcConnectionString(const QString& odbcDriver) const;

    // The database file of a local warehouse, relative names taken from the program's folder.
    QString sqliteFilePath(const QString& programFolder) const;

    static QString odbcQuote(const QString& value);
};
