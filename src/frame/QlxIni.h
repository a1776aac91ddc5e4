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

    // Why a value would not read back as written (a ";", a label, a line break, a character Latin-1 lacks);
    // empty when it is fine. `what` names the value in the message, which never quotes the value itself:
    // it may be a password.
    static QString ValueProblem(const QString& what, const QString& value);
    // The same for a whole entry, and an empty name or a "," or ";" in it. The password is its stored form.
    static QString EntryProblem(const QString& name, const QString& provider, const QString& server,
                                const QString& database, const QString& user, const QString& password);
    // What the Data Source value of an entry of `provider` is, as the new-connection dialog's label names
    // it ("warehouse file", "ODBC data source", ...): the user reads a refusal of it under that name.
    static QString DataSourceField(const QString& provider);

    // The number the next entry gets: one above the last entry the reader sees.
    static int NextNumber(const QByteArray& bytes);
    // Why an entry cannot be numbered `number` here: a line the reader does not list already carries that
    // key, and a second one would make the two indistinguishable. Empty when it is free.
    static QString NumberProblem(const QByteArray& bytes, int number);
    // The file with one entry appended; `line` is built for NextNumber(bytes). A "[Marts]" line goes in
    // first when anything but the reader's last run stands at the end, so the new entry is always read.
    static QByteArray Append(const QByteArray& bytes, const QString& line);

    // Replaces the user name and password values in the line the reader lists as entry `number` (the
    // values it reads back). False when the reader lists no such entry, or when what it reads back as
    // either value is not the entry's own field (`problem` then says why).
    static bool RewriteCredentials(QByteArray& bytes, int number, const QString& user,
                                   const QString& password, QString* problem = nullptr);

    // The connection text with which the new-connection dialog tries a connection.
    static QString NewConnectionText(const QString& provider, const QString& server, const QString& database,
                                     const QString& user, const QString& password, bool integrated);
    // The connection text with which the open-connection dialog opens an entry. An ODBC data source
    // without a user name gets neither user nor password, so it signs in with its own login.
    static QString OpenConnectionText(const QString& provider, const QString& server, const QString& database,
                                      const QString& user, const QString& password, bool integrated);
    // A value for a connection text: as it is, unless it holds a ";" or starts with a quote, when it is
    // quoted so that it cannot end its key or add another.
    static QString ConnectionValue(const QString& value);

    static bool ReadFile(const QString& path, QByteArray* bytes, QString* error = nullptr);
    // Replaces the file in one step, so a failure leaves the old file whole. The file keeps its
    // permissions, a link is written through to its target, and a file the user may not write is refused.
    static bool WriteFile(const QString& path, const QByteArray& bytes, QString* error = nullptr);
    // Test switch: the next WriteFile finds that its bytes did not reach the disk, as a failing device
    // reports it (`error` is the system's error number).
    static void FailNextSync(int error);
};
