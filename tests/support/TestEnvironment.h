#pragma once

#include "support/ScriptedResponder.h"

#include <QTemporaryDir>
#include <functional>

// A clean program state for one test: its own program folder (log, QLX.ini), its own per-user settings,
// scripted answers to every window, and the program-wide variables back at their start values. The
// destructor closes the shared connection and unloads every window.
class TestEnvironment {
public:
    TestEnvironment();
    ~TestEnvironment();

    QString folder() const { return m_dir.path(); }
    ScriptedResponder::Log ui;
    // Text of the log files written so far, all days together.
    QString logText() const;
    QStringList logLines() const;
    // The prompts of the message boxes shown so far, in order.
    QStringList prompts() const;

    static void resetProgramState();

    // A file's bytes, or "<missing>" when it cannot be read.
    static QByteArray readFile(const QString& path);
    // Replaces a file's bytes; fails the running test when it cannot.
    static void writeFile(const QString& path, const QByteArray& bytes);

    // Runs `work` as a user whom file permissions bind, as they bind the program's users: root, whom
    // they do not bind, runs it in a child process that turns into "nobody" after opening the program
    // folder to it. Answers what `work` answered; false when no such user can be had.
    bool runUnprivileged(const std::function<QByteArray()>& work, QByteArray* answer);
    // Runs `work` in a child process whose program folder is a small file system, with its files copied
    // in, filled up to `freeBytes`; a user other than root mounts it in a user namespace of its own. Answers
    // what `work` answered; false when no file system can be mounted here (the test then skips, and fails
    // under CI).
    bool runOnFullDisk(qint64 freeBytes, const std::function<QByteArray()>& work, QByteArray* answer);

private:
    // Runs `work` in a child process once `prepare` has made it ready there. Answers what `work` answered;
    // false when `prepare` could not.
    static bool runInChild(const std::function<bool()>& prepare, const std::function<QByteArray()>& work,
                           QByteArray* answer);
    QTemporaryDir m_dir;
};
