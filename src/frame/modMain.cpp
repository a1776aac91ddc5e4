#include "frame/modMain.h"

#include "frame/CError.h"
#include "frame/ErrorHandler.h"
#include "frame/clsDBConnection.h"
#include "frame/frmMain.h"
#include "frame/frmOpenConnection.h"
#include "frame/frmWelcome.h"
#include "platform/App.h"
#include "platform/CurrentError.h"
#include "platform/LoadedWindows.h"
#include "platform/UserDialogs.h"

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

void CloseDBConnection() {
    if (gDBConnection.State() == DbConnection::adStateOpen)
        gDBConnection->CloseDB();
    gDBConnection.SetNothing();
    LoadedWindows& windows = LoadedWindows::instance();
    const QList<QWidget*> forms = windows.Forms();
    for (qsizetype i = forms.size() - 1; i >= 1; --i)
        windows.Unload(forms[i]);
}

Recordset GetRecordset(const QString& sql) {
    gQueryOK = true;
    Recordset rs;
    if (!rs.Open(sql, gDBConnection->adoConnection())) {
        gQueryOK = false;
        MsgBox(Err().Description(), vbOKOnly);
        Err().Clear();
    }
    return rs;
}

QString FixQuotes(const QString& text) {
    QString fixed = text;
    fixed.replace('\'', QStringLiteral("''"));
    return fixed;
}

QString SqlText(const QString& text) {
    return '\'' + FixQuotes(text) + '\'';
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
