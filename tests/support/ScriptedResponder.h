#pragma once

#include "platform/UserDialogs.h"

#include <QList>
#include <QStringList>
#include <functional>

// Answers every message box, modal dialog and file dialog of the code under test, and records what was
// asked. Unscripted message boxes are answered OK (or No, when they ask Yes/No); unscripted dialogs are
// cancelled.
class ScriptedResponder : public UserResponder {
public:
    struct Log {
        QList<MessageRequest> messages;
        QStringList dialogs; // class names of the modal dialogs run
        QList<FileDialogRequest> fileDialogs;
        QList<int> answers;
        QList<std::function<int(QDialog&)>> dialogScripts;
        QStringList files;
        // Per message shown: whether the shared connection held a transaction open meanwhile.
        QList<bool> inTransaction;
        // Per message box, dialog and file dialog shown: the pointer over it, the arrow where the program
        // sets none.
        QList<Qt::CursorShape> pointers;
        // When set, what it answers while each message is shown (what stands behind the box).
        std::function<QString()> behind;
        QStringList seenBehind;
    };

    explicit ScriptedResponder(Log& log) : m_log(log) {}

    int messageBox(const MessageRequest& request) override;
    int execDialog(QDialog& dialog) override;
    QString openFileName(const FileDialogRequest& request) override;

private:
    void notePointer();

    Log& m_log;
};
