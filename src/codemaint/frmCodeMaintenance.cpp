#include "codemaint/frmCodeMaintenance.h"

#include "frame/ErrorHandler.h"
#include "frame/MaintenanceTypes.h"
#include "frame/frmMain.h"
#include "frame/modMain.h"
#include "platform/CurrentError.h"
#include "platform/LoadedWindows.h"
#include "platform/MousePointer.h"
#include "platform/UserDialogs.h"

#include <QCloseEvent>
#include <limits>

frmCodeMaintenance::frmCodeMaintenance(QWidget* parent) : QWidget(parent) {
    setObjectName("frmCodeMaintenance");
    setMinimumSize(480, 360);
}

void frmCodeMaintenance::setMaintenanceType(qint32 type) {
    if (type < std::numeric_limits<qint16>::min() || type > std::numeric_limits<qint16>::max()) {
        Err().Raise(6, "Overflow", "frmCodeMaintenance");
        ErrorHandler::Fail("frmCodeMaintenance:LetMaintenanceType");
        return;
    }
    m_intMaintenanceType = static_cast<qint16>(type);
}

qint16 frmCodeMaintenance::MaintenanceType() const {
    return m_intMaintenanceType;
}

QString frmCodeMaintenance::MaintenanceDescription() const {
    return MaintenanceTypes::Description(m_intMaintenanceType, MaintenanceTypes::Code);
}

QString frmCodeMaintenance::LevelType() const {
    return MaintenanceTypes::AreaCode(m_intMaintenanceType, MaintenanceTypes::Code);
}

void frmCodeMaintenance::Form_Load() {
    LoadedWindows::instance().Register(this);
    setWindowTitle(MaintenanceDescription());
    if (gMainForm) {
        gMainForm->ActiveInsert(false);
        gMainForm->ActiveSave(false);
        gMainForm->ActiveDelete(false);
    }
    NewRecord = false;
    DelRecord = false;
}

void frmCodeMaintenance::Form_Unload() {
    if (gMainForm) {
        gMainForm->ActiveInsert(false);
        gMainForm->ActiveSave(false);
        gMainForm->ActiveDelete(false);
    }
}

void frmCodeMaintenance::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void frmCodeMaintenance::Insert() {
    NewRecord = true;
    if (gMainForm)
        gMainForm->ActiveSave(true);
}

void frmCodeMaintenance::Save() {
    if (!NewRecord)
        return;
    MousePointer hourglass;
    NewRecord = false;
    if (gMainForm)
        gMainForm->ActiveSave(false);
}

void frmCodeMaintenance::Delete() {
    DelRecord = true;
    gMsgResponse =
        QString::number(MsgBox("Do you want to delete selected item?", vbYesNo + vbQuestion, "Delete"));
    DelRecord = false;
}
