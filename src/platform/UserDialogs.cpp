#include "platform/UserDialogs.h"

#include "platform/App.h"
#include "platform/MousePointer.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>

namespace {

class ScreenResponder : public UserResponder {
public:
    int messageBox(const MessageRequest& r) override {
        QMessageBox box(QApplication::activeWindow());
        box.setWindowTitle(r.title);
        box.setText(r.prompt);
        switch (r.style & 0xF0) {
        case vbCritical:
            box.setIcon(QMessageBox::Critical);
            break;
        case vbQuestion:
            box.setIcon(QMessageBox::Question);
            break;
        case vbExclamation:
            box.setIcon(QMessageBox::Warning);
            break;
        case vbInformation:
            box.setIcon(QMessageBox::Information);
            break;
        default:
            box.setIcon(QMessageBox::NoIcon);
        }
        switch (r.style & 0x0F) {
        case vbOKCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
        case vbYesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
        case vbYesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
        default:
            box.setStandardButtons(QMessageBox::Ok);
        }
        switch (box.exec()) {
        case QMessageBox::Yes:
            return vbYes;
        case QMessageBox::No:
            return vbNo;
        case QMessageBox::Cancel:
            return vbCancel;
        default:
            return (r.style & 0x0F) == vbYesNo ? vbNo : vbOK;
        }
    }

    int execDialog(QDialog& dialog) override { return dialog.exec(); }

    QString openFileName(const FileDialogRequest& r) override {
        QFileDialog dialog(QApplication::activeWindow(), r.caption, r.startFolder);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        // A file matches its type's filter in any letter case ("QLX.INI" is an ini file), as the filters'
        // texts do not spell out; the desktop's own dialog may match letter for letter, so Qt's is used.
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
        dialog.setNameFilters(r.filters);
        dialog.selectNameFilter(r.filters.value(r.selectedFilter));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return dialog.selectedFiles().constFirst();
    }
};

std::unique_ptr<UserResponder>& current() {
    static std::unique_ptr<UserResponder> r = std::make_unique<ScreenResponder>();
    return r;
}

} // namespace

UserResponder& UserDialogs::responder() {
    return *current();
}

void UserDialogs::setResponder(std::unique_ptr<UserResponder> responder) {
    current() = responder ? std::move(responder) : std::make_unique<ScreenResponder>();
}

// Every box waits for the user under the pointer of its controls, never under the wait pointer of the work
// that shows it; the work's pointer comes back when the box closes.
int MsgBox(const QString& prompt, int style, const QString& title) {
    const MousePointer::UserTurn turn;
    return UserDialogs::responder().messageBox({prompt, style, title.isEmpty() ? App::Title() : title});
}

int ShowModal(QDialog& dialog) {
    const MousePointer::UserTurn turn;
    return UserDialogs::responder().execDialog(dialog);
}

QString GetOpenFileName(const FileDialogRequest& request) {
    const MousePointer::UserTurn turn;
    return UserDialogs::responder().openFileName(request);
}
