#include "support/ScriptedResponder.h"

#include "frame/clsDBConnection.h"
#include "frame/modMain.h"
#include "services/MaintTree.h"

#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QGuiApplication>
#include <QTest>

void ScriptedResponder::notePointer() {
    const QCursor* set = QGuiApplication::overrideCursor();
    m_log.pointers.push_back(set ? set->shape() : Qt::ArrowCursor);
}

int ScriptedResponder::messageBox(const MessageRequest& request) {
    // A failed action's message is held until the action is undone, the nodes it changed included: no tree
    // may still hold changes of an action when a message is shown.
    for (QWidget* widget : QApplication::allWidgets())
        if (const auto* tree = qobject_cast<const MaintTree*>(widget); tree && tree->Journaling())
            QTest::qFail(qPrintable("Shown before the tree undid the action: " + request.prompt), __FILE__,
                         __LINE__);
    m_log.messages.push_back(request);
    notePointer();
    m_log.inTransaction.push_back(gDBConnection.State() == 1 &&
                                  gDBConnection->adoConnection().InTransaction());
    if (m_log.behind)
        m_log.seenBehind.push_back(m_log.behind());
    if (!m_log.answers.isEmpty())
        return m_log.answers.takeFirst();
    const int buttons = request.style & 0x0F;
    return buttons == vbYesNo || buttons == vbYesNoCancel ? vbNo : vbOK;
}

int ScriptedResponder::execDialog(QDialog& dialog) {
    m_log.dialogs.push_back(QString::fromLatin1(dialog.metaObject()->className()));
    notePointer();
    if (!m_log.dialogScripts.isEmpty())
        return m_log.dialogScripts.takeFirst()(dialog);
    dialog.reject();
    return QDialog::Rejected;
}

QString ScriptedResponder::openFileName(const FileDialogRequest& request) {
    m_log.fileDialogs.push_back(request);
    notePointer();
    return m_log.files.isEmpty() ? QString() : m_log.files.takeFirst();
}
