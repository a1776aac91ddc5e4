#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class QDialog;
class QWidget;

// Message-box styles and answers by the numbers the program keeps in gMsgResponse.
enum MsgBoxStyle {
    vbOKOnly = 0,
    vbOKCancel = 1,
    vbYesNoCancel = 3,
    vbYesNo = 4,
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64,
};
enum MsgBoxResult { vbOK = 1, vbCancel = 2, vbYes = 6, vbNo = 7 };

struct MessageRequest {
    QString prompt;
    int style = vbOKOnly;
    QString title;
};

struct FileDialogRequest {
    QString caption;
    QString startFolder;
    QStringList filters; // "Ini Files (*.ini)", matched in any letter case
    int selectedFilter = 0;
};

// Every message box, modal dialog and file dialog of the program goes through the current responder. The
// program's own responder shows real windows; a test installs one that answers them and records what
// was asked, so no test ever waits on a window.
class UserResponder {
public:
    virtual ~UserResponder() = default;
    virtual int messageBox(const MessageRequest& request) = 0;
    // Runs a modal dialog to its end and answers its result code.
    virtual int execDialog(QDialog& dialog) = 0;
    // The chosen file's full path, or "" when cancelled.
    virtual QString openFileName(const FileDialogRequest& request) = 0;
};

class UserDialogs {
public:
    static UserResponder& responder();
    // Takes over the given responder; nullptr restores the program's own.
    static void setResponder(std::unique_ptr<UserResponder> responder);
};

// A message box: default title the application title; answers 1 (OK), 2 (Cancel), 6 (Yes) or 7 (No).
int MsgBox(const QString& prompt, int style = vbOKOnly, const QString& title = QString());
int ShowModal(QDialog& dialog);
QString GetOpenFileName(const FileDialogRequest& request);
