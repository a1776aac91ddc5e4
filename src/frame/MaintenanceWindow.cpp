#include "frame/MaintenanceWindow.h"

#include "frame/ErrorHandler.h"
#include "frame/frmMain.h"
#include "frame/modMain.h"
#include "platform/CurrentError.h"
#include "platform/LoadedWindows.h"
#include "platform/MousePointer.h"
#include "platform/UserDialogs.h"

#include <QCloseEvent>
#include <limits>

MaintenanceWindow::MaintenanceWindow(MaintenanceTypes::Editor kind, QWidget* parent)
    : QWidget(parent), m_kind(kind) {
    setMinimumSize(480, 360);
}

void MaintenanceWindow::setMaintenanceType(qint32 type) {
    if (type < std::numeric_limits<qint16>::min() || type > std::numeric_limits<qint16>::max()) {
        const QString name = LoadedWindows::Name(this);
        Err().Raise(6, "Overflow", name);
        ErrorHandler::Fail(name + ":LetMaintenanceType");
        return;
    }
    m_intMaintenanceType = static_cast<qint16>(type);
}

qint16 MaintenanceWindow::MaintenanceType() const {
    return m_intMaintenanceType;
}

QString MaintenanceWindow::MaintenanceDescription() const {
    return MaintenanceTypes::Description(m_intMaintenanceType, m_kind);
}

QString MaintenanceWindow::LevelType() const {
    return MaintenanceTypes::AreaCode(m_intMaintenanceType, m_kind);
}

void MaintenanceWindow::LoadCommon() {
    LoadedWindows::instance().Register(this);
    setWindowTitle(MaintenanceDescription());
    if (gMainForm) {
        gMainForm->ActiveInsert(false);
        gMainForm->ActiveSave(false);
        gMainForm->ActiveDelete(false);
    }
}

void MaintenanceWindow::Form_Unload() {
    if (gMainForm) {
        gMainForm->ActiveInsert(false);
        gMainForm->ActiveSave(false);
        gMainForm->ActiveDelete(false);
    }
}

void MaintenanceWindow::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void MaintenanceWindow::Insert() {
    NewRecord = true;
    if (gMainForm)
        gMainForm->ActiveSave(true);
}

void MaintenanceWindow::Save() {
    if (!NewRecord)
        return;
    MousePointer hourglass;
    NewRecord = false;
    if (gMainForm)
        gMainForm->ActiveSave(false);
}

void MaintenanceWindow::Delete() {
    DelRecord = true;
    gMsgResponse =
        QString::number(MsgBox("Do you want to delete selected item?", vbYesNo + vbQuestion, "Delete"));
    DelRecord = false;
}
