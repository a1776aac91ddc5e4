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
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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

QStringList TestEnvironment::prompts() const {
    QStringList list;
    for (const MessageRequest& m : ui.messages)
        list << m.prompt;
    return list;
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

bool TestEnvironment::runInChild(const std::function<bool()>& prepare,
                                 const std::function<QByteArray()>& work, QByteArray* answer) {
    int channel[2];
    if (::pipe(channel) != 0)
        return false;
    const pid_t child = fork();
    if (child == 0) {
        ::close(channel[0]);
        if (!prepare())
            _exit(2);
        const QByteArray reply = work();
        _exit(::write(channel[1], reply.constData(), size_t(reply.size())) == reply.size() ? 0 : 1);
    }
    ::close(channel[1]);
    QByteArray reply;
    char buffer[4096];
    for (ssize_t n; child > 0 && (n = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        reply.append(buffer, n);
    ::close(channel[0]);
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || (WIFEXITED(status) && WEXITSTATUS(status) == 2))
        return false;
    *answer = WIFEXITED(status) && WEXITSTATUS(status) == 0 ? reply : "<the child process failed>";
    return true;
}

bool TestEnvironment::runUnprivileged(const std::function<QByteArray()>& work, QByteArray* answer) {
    if (geteuid() != 0) {
        *answer = work();
        return true;
    }
    const passwd* nobody = getpwnam("nobody");
    const QByteArray folderName = QFile::encodeName(folder());
    if (!nobody || nobody->pw_uid == 0 || ::chmod(folderName.constData(), 0777) != 0)
        return false;
    const auto becomeNobody = [&] {
        return setgroups(0, nullptr) == 0 && setgid(nobody->pw_gid) == 0 && setuid(nobody->pw_uid) == 0 &&
               access(folderName.constData(), W_OK | X_OK) == 0;
    };
    return runInChild(becomeNobody, work, answer);
}

namespace {

bool writeProcFile(const char* path, const QByteArray& text) {
    const int fd = ::open(path, O_WRONLY);
    const bool written = fd >= 0 && ::write(fd, text.constData(), size_t(text.size())) == text.size();
    if (fd >= 0)
        ::close(fd);
    return written;
}

// A mount namespace of this (single-threaded) process's own. A user who may not mount gets it inside a
// user namespace of its own, where it is root and may mount what only it sees, where the system allows
// that.
bool ownMountNamespace() {
    if (geteuid() == 0 && ::unshare(CLONE_NEWNS) == 0)
        return true;
    const uid_t uid = geteuid();
    const gid_t gid = getegid();
    return ::unshare(CLONE_NEWUSER | CLONE_NEWNS) == 0 && writeProcFile("/proc/self/setgroups", "deny") &&
           writeProcFile("/proc/self/uid_map", "0 " + QByteArray::number(uid) + " 1") &&
           writeProcFile("/proc/self/gid_map", "0 " + QByteArray::number(gid) + " 1");
}

} // namespace

bool TestEnvironment::runOnFullDisk(qint64 freeBytes, const std::function<QByteArray()>& work,
                                    QByteArray* answer) {
    const auto fillSmallDisk = [&] {
        const QDir dir(folder());
        QList<std::pair<QString, QByteArray>> files;
        for (const QString& name : dir.entryList(QDir::Files))
            files.push_back({name, readFile(dir.filePath(name))});
        // The mount stays in this process's own view of the file systems.
        if (!ownMountNamespace() || ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", QFile::encodeName(folder()).constData(), "tmpfs", 0, "size=64k") != 0)
            return false;
        for (const auto& [name, bytes] : files)
            writeFile(dir.filePath(name), bytes);
        QFile filler(dir.filePath("filler"));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return false;
        while (filler.write(QByteArray(4096, 'x')) > 0) {
        }
        return filler.resize(qMax<qint64>(0, filler.size() - freeBytes));
    };
    return runInChild(fillSmallDisk, work, answer);
}
