#include "support/TestEnvironment.h"

#include "frame/CError.h"
#include "frame/ModMaintenance.h"
#include "frame/clsDBConnection.h"
#include "frame/frmMain.h"
#include "frame/modMain.h"
#include "platform/App.h"
#include "platform/CurrentError.h"
#include "platform/LoadedWindows.h"
#include "platform/SettingsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTest>

TestEnvironment::TestEnvironment() {
    App::SetPath(m_dir.path());
    App::ResetClock();
    SettingsStore::SetRootFolder(QDir(m_dir.path()).filePath("settings"));
    UserDialogs::setResponder(std::make_unique<ScriptedResponder>(ui));
    resetProgramState();
}

TestEnvironment::~TestEnvironment() {
    resetProgramState();
    UserDialogs::setResponder(nullptr);
    App::SetPath(QString());
    App::ResetClock();
}

void TestEnvironment::resetProgramState() {
    LoadedWindows& windows = LoadedWindows::instance();
    const QList<QWidget*> forms = windows.Forms();
    for (qsizetype i = forms.size() - 1; i >= 0; --i) {
        forms[i]->setAttribute(Qt::WA_DeleteOnClose, false);
        windows.Unload(forms[i]);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (gDBConnection.State() == 1)
        gDBConnection->CloseDB();
    gDBConnection.SetNothing();
    gErr = std::make_unique<CError>();
    gMainForm = nullptr;
    gAppPath.clear();
    gMsgResponse.clear();
    gCaseSensitive = false;
    gLookupOK = false;
    gQueryOK = false;
    gIntegratedSecurity = false;
    gNodeType = 0;
    gYieldCount = 0;
    gProgressCount = 0;
    Err().Clear();
}

QString TestEnvironment::logText() const {
    QString text;
    const QStringList logs = QDir(m_dir.path()).entryList({"*.log"}, QDir::Files, QDir::Name);
    for (const QString& name : logs) {
        QFile f(QDir(m_dir.path()).filePath(name));
        if (f.open(QIODevice::ReadOnly))
            text += QString::fromUtf8(f.readAll());
    }
    return text;
}

QStringList TestEnvironment::logLines() const {
    QStringList lines = logText().split("\r\n");
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QByteArray TestEnvironment::readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void TestEnvironment::writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    f.write(bytes);
}
