#pragma once

#include "frame/clsLocations.h"

#include <QByteArray>
#include <QList>
#include <QString>

// QLX.ini, the users' list of warehouse connections, as text: reading its entries, building and appending
// entry lines and rewriting one entry's credentials. It is the users' own file, which they also edit by
// hand: it is read and written as Latin-1, byte for byte, and a line the program does not mean to change
// keeps its bytes and its own line end.
class QlxIni {
public:
    static QString FileName() { return QStringLiteral("QLX.ini"); }
    static QString PathIn(const QString& folder);

    // The entries the reader sees, in file order: each "[Marts]" line starts a run of entries keyed
    // mart1, mart2, ... that continues the numbering of the runs before it.
    static QList<clsLocations> Parse(const QByteArray& bytes);

    // The entry line (without line end) for a SQL login or an integrated-security entry.
    static QString LoginLine(int number, const QString& name, const QString& provider, const QString& server,
                             const QString& database, const QString& user, const QString& password);
    static QString IntegratedLine(int number, const QString& name, const QString& provider,
                                  const QString& server, const QString& database);

    // Why the entry would not read back as written (an empty name, a "," or ";" in the name, a ";" or a
    // label in a value, a line break anywhere); empty when it is fine.
    static QString EntryProblem(const QString& name, const QStringList& values);

    // The number the next entry gets: one above the last entry the reader sees.
    static int NextNumber(const QByteArray& bytes);
    // The file with one entry appended; `line` is built for NextNumber(bytes). A "[Marts]" line goes in
    // first when anything but the reader's last run stands at the end, so the new entry is always read.
    static QByteArray Append(const QByteArray& bytes, const QString& line);

    // Replaces the user name and password values in the line that starts with key + "=". False when no
    // such line exists.
    static bool RewriteCredentials(QByteArray& bytes, const QString& key, const QString& user,
                                   const QString& password);

    // The connection text with which the new-connection dialog tries a connection.
    static QString NewConnectionText(const QString& provider, const QString& server, const QString& database,
                                     const QString& user, const QString& password, bool integrated);
    // The connection text with which the open-connection dialog opens an entry.
    static QString OpenConnectionText(const QString& provider, const QString& server, const QString& database,
                                      const QString& user, const QString& password, bool integrated);
    // A value for a connection text: as it is, unless it holds a ";" or starts with a quote, when it is
    // quoted so that it cannot end its key or add another.
    static QString ConnectionValue(const QString& value);

    static bool ReadFile(const QString& path, QByteArray* bytes);
    // Writes through a temporary file and a rename, so a failure leaves the old file whole.
    static bool WriteFile(const QString& path, const QByteArray& bytes, QString* error = nullptr);
};
