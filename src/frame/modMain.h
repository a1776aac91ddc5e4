#pragma once

#include "frame/SharedConnection.h"
#include "platform/Recordset.h"

#include <QPointer>
#include <QString>
#include <memory>

class CError;
class QWidget;
class frmMain;

// Program-wide state of the frame: each lives for the whole run.
extern std::unique_ptr<CError> gErr;
extern QPointer<frmMain> gMainForm;
extern SharedConnection gDBConnection;
extern QString gAppPath;
extern QString gMsgResponse;
extern bool gCaseSensitive;
extern bool gLookupOK;
extern bool gQueryOK;
extern bool gIntegratedSecurity;

// The error reporter, created on first need when start-up has not made it yet (tests, tools).
CError& ErrorReporter();

// Start-up: the error reporter, the program's folder, the main window and the welcome dialog.
void Main();
bool GetVelmorApplPath();
// The modal open-connection dialog, fresh for every call.
void OpenWarehouseConnection();

bool OpenDBConecction(const QString& connectionText);
// Whether a database of that provider and collation compares text without regard to case.
bool IsCaseInsensitiveCollation(const QString& provider, const QString& collation);
// Closes the warehouse connection and unloads every window but the main one (and `keep`, the dialog that
// asked for it, when given).
void CloseDBConnection(QWidget* keep = nullptr);
// A forward-only recordset of the statement; when it cannot open, the user sees why, gQueryOK turns
// False and the recordset answered is nothing. The database's error then stays the current error, for
// the caller's handler to report.
Recordset GetRecordset(const QString& sql);

// Appends a warehouse connection entry to QLX.ini in the program's folder. With `remember` the password
// is replaced by its stored form before it is written; without it, the password is written as given
// (empty, or already in stored form). `failure` receives why the entry could not be written; nothing is
// shown here, so the caller's message is the only one.
bool AddNewConnection(const QString& name, const QString& provider, const QString& server,
                      const QString& database, const QString& user, QString& password, bool remember,
                      bool integrated, QString* failure = nullptr);
// Opens the shared connection on a connection defined in the new-connection dialog.
bool ValidateConecction(const QString& provider, const QString& server, const QString& database,
                        const QString& user, const QString& password, bool integrated);

// The stored form of a remembered password and back.
QString ScramblePassword(const QString& text);
QString UnscramblePassword(const QString& text);
QString EncryptPassword(const QString& text);
QString DecryptPassword(const QString& text);

// Doubles every apostrophe, for values written between single quotes.
QString FixQuotes(const QString& text);
// FixQuotes wrapped in the apostrophes of an SQL text literal.
QString SqlText(const QString& text);
// The condition that the column holds the value, quoted. An empty value matches NULL too: Oracle stores an
// empty text as NULL, so a row another program wrote with an empty key is found there as elsewhere.
QString SqlEquals(const QString& column, const QString& value);
// " from" one row made from the table without reading any of its rows, for a statement that needs no table:
// not every server takes a query without one.
QString FromOneRowOf(const QString& table);
// The keyword between two queries that gives the rows of the first not in the second (Oracle names it MINUS).
QString Except();
QString MatchDBCase(const QString& text);
bool IsValidCode(const QString& text);
// The first loaded window of that class name with that caption, or nullptr.
QWidget* FindFormCaption(const QString& name, const QString& caption);
