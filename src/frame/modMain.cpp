#include "frame/modMain.h"

#include "frame/CError.h"
#include "frame/ErrorHandler.h"
#include "frame/PasswordTable.h"
#include "frame/QlxIni.h"
#include "frame/WarehouseFile.h"
#include "frame/clsDBConnection.h"
#include "frame/frmMain.h"
#include "frame/frmOpenConnection.h"
#include "frame/frmWelcome.h"
#include "platform/App.h"
#include "platform/CurrentError.h"
#include "platform/LoadedWindows.h"
#include "platform/UserDialogs.h"

#include <QFileInfo>
#include <QWidget>

std::unique_ptr<CError> gErr;
QPointer<frmMain> gMainForm;
SharedConnection gDBConnection;
QString gAppPath;
QString gMsgResponse;
bool gCaseSensitive = false;
bool gLookupOK = false;
bool gQueryOK = false;
bool gIntegratedSecurity = false;

CError& ErrorReporter() {
    if (!gErr)
        gErr = std::make_unique<CError>();
    return *gErr;
}

void Main() {
    gErr = std::make_unique<CError>();
    if (!GetVelmorApplPath())
        return;
    gMainForm = new frmMain();
    gMainForm->setAttribute(Qt::WA_DeleteOnClose);
    gMainForm->show();
    auto* welcome = new frmWelcome(gMainForm);
    welcome->Form_Load();
}

bool GetVelmorApplPath() {
    gAppPath = App::Path();
    return true;
}

void OpenWarehouseConnection() {
    auto* dialog = new frmOpenConnection(gMainForm);
    ShowModal(*dialog);
    LoadedWindows::instance().Unload(dialog);
}

bool OpenDBConecction(const QString& connectionText) {
    gCaseSensitive = true;
    DbConnection& connection = gDBConnection->adoConnection();
    if (!connection.Open(connectionText))
        return ErrorHandler::FailShowing("modMain:OpenDBConecction", vbInformation);
    if (!WarehouseFile::Check(connection, connectionText)) {
        connection.Close();
        return ErrorHandler::FailShowing("modMain:OpenDBConecction", vbInformation);
    }
    for (const QString& name : connection.PropertyNames()) {
        if (name == "Current Collation Name" &&
            IsCaseInsensitiveCollation(connection.Provider(), connection.Property(name).toString())) {
            gCaseSensitive = false;
            break;
        }
    }
    return true;
}

bool IsCaseInsensitiveCollation(const QString& provider, const QString& collation) {
    // Only SQL Server tells its collation; every other database is taken as case-sensitive.
    return provider.contains("SQLOLEDB") && collation.contains("_CI_");
}

void CloseDBConnection(QWidget* keep) {
    if (gDBConnection.State() == DbConnection::adStateOpen)
        gDBConnection->CloseDB();
    gDBConnection.SetNothing();
    LoadedWindows& windows = LoadedWindows::instance();
    const QList<QWidget*> forms = windows.Forms();
    for (qsizetype i = forms.size() - 1; i >= 1; --i)
        if (forms[i] != keep)
            windows.Unload(forms[i]);
}

Recordset GetRecordset(const QString& sql) {
    gQueryOK = true;
    Recordset rs;
    if (!rs.Open(sql, gDBConnection->adoConnection())) {
        gQueryOK = false;
        // Shown here (within an action, when it has ended), logged by the caller's handler: the error
        // stays current until it is reported.
        ErrorHandler::Tell(Err().Description(), vbOKOnly);
    }
    return rs;
}

bool AddNewConnection(const QString& name, const QString& provider, const QString& server,
                      const QString& database, const QString& user, QString& password, bool remember,
                      bool integrated, QString* failure) {
    const auto failWith = [failure](const QString& why) {
        if (failure)
            *failure = why;
        Err().Raise(CurrentError::UnspecifiedError, why, "QLX.ini");
        return ErrorHandler::Fail("modMain:AddNewConnection");
    };
    if (remember) {
        if (PasswordTable::instance().covers(password)) {
            password = EncryptPassword(password);
        } else {
            MsgBox(
                "The password holds a character that cannot be remembered, so it is not stored. You will be "
                "asked for it when you open this connection.",
                vbInformation);
            password.clear();
        }
    }
    const QString path = QlxIni::PathIn(App::Path());
    QByteArray bytes;
    QString error;
    if (QFileInfo::exists(path) && !QlxIni::ReadFile(path, &bytes, &error))
        return failWith(error);
    const int number = QlxIni::NextNumber(bytes);
    QString problem = QlxIni::EntryProblem(name, provider, server, database, user, password);
    if (problem.isEmpty())
        problem = QlxIni::NumberProblem(bytes, number);
    // The caller tells the user, once, with what it knows of the connection.
    if (!problem.isEmpty()) {
        if (failure)
            *failure = problem;
        return false;
    }
    const QString line = integrated
                             ? QlxIni::IntegratedLine(number, name, provider, server, database)
                             : QlxIni::LoginLine(number, name, provider, server, database, user, password);
    if (!QlxIni::WriteFile(path, QlxIni::Append(bytes, line), &error))
        return failWith(error);
    return true;
}

bool ValidateConecction(const QString& provider, const QString& server, const QString& database,
                        const QString& user, const QString& password, bool integrated) {
    return OpenDBConecction(
        QlxIni::NewConnectionText(provider, server, database, user, password, integrated));
}

QString ScramblePassword(const QString& text) {
    if (text.size() > 32767) {
        MsgBox("Error# = 6\r\nDescription = Overflow\r\nSource = modMain", vbCritical, "Error!");
        return {};
    }
    const PasswordTable& table = PasswordTable::instance();
    QString result;
    for (const QChar c : text) {
        const QString group = table.group(c);
        result += group.isEmpty() ? QString(c) : group;
    }
    return result;
}

QString UnscramblePassword(const QString& text) {
    if (text.size() > 32767) {
        MsgBox("Error# = 6\r\nDescription = Overflow\r\nSource = modMain", vbCritical, "Program Error!");
        return {};
    }
    const PasswordTable& table = PasswordTable::instance();
    QString result;
    for (qsizetype i = 0; i < text.size(); i += 3) {
        const QString group = text.mid(i, 3);
        const QChar c = table.character(group);
        if (c.isNull())
            result += group;
        else
            result += c;
    }
    return result;
}

QString EncryptPassword(const QString& text) {
    return ScramblePassword(text);
}

QString DecryptPassword(const QString& text) {
    return UnscramblePassword(text);
}

QString FixQuotes(const QString& text) {
    QString fixed = text;
    fixed.replace('\'', QStringLiteral("''"));
    return fixed;
}

QString SqlText(const QString& text) {
    return '\'' + FixQuotes(text) + '\'';
}

QString SqlEquals(const QString& column, const QString& value) {
    if (value.isEmpty())
        return QStringLiteral("(") + column + QStringLiteral(" = '' or ") + column +
               QStringLiteral(" is null)");
    return column + QStringLiteral(" = ") + SqlText(value);
}

QString FromOneRowOf(const QString& table) {
    // The count of no rows is one row on every server, and the condition lets none be read.
    return QStringLiteral(" from (Select count(*) as NOROWS from ") + table +
           QStringLiteral(" where 1 = 0) ONEROW");
}

QString Except() {
    return !gDBConnection.IsNothing() && gDBConnection->adoConnection().IsOracle()
               ? QStringLiteral(" minus ")
               : QStringLiteral(" except ");
}

QString MatchDBCase(const QString& text) {
    return gCaseSensitive ? text : text.toUpper();
}

bool IsValidCode(const QString& text) {
    if (text.isEmpty())
        return false;
    for (const QChar c : text)
        if (c == ' ' || c == '\'' || c == '%' || c == '-')
            return false;
    return true;
}

QWidget* FindFormCaption(const QString& name, const QString& caption) {
    for (QWidget* w : LoadedWindows::instance().Forms())
        if (LoadedWindows::Name(w) == name && w->windowTitle() == caption)
            return w;
    return nullptr;
}
