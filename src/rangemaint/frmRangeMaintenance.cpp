#include "rangemaint/frmRangeMaintenance.h"

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

frmRangeMaintenance::frmRangeMaintenance(QWidget* parent) : QWidget(parent) {
    setObjectName("frmRangeMaintenance");
    setMinimumSize(480, 360);
}

void frmRangeMaintenance::setMaintenanceType(qint32 type) {
    if (type < std::numeric_limits<qint16>::min() || type > std::numeric_limits<qint16>::max()) {
        Err().Raise(6, "Overflow", "frmRangeMaintenance");
        ErrorHandler::Fail("frmRangeMaintenance:LetMaintenanceType");
        return;
    }
    m_intMaintenanceType = static_cast<qint16>(type);
}

qint16 frmRangeMaintenance::MaintenanceType() const {
    return m_intMaintenanceType;
}

QString frmRangeMaintenance::MaintenanceDescription() const {
    return MaintenanceTypes::Description(m_intMaintenanceType, MaintenanceTypes::Range);
}

QString frmRangeMaintenance::LevelType() const {
    return MaintenanceTypes::AreaCode(m_intMaintenanceType, MaintenanceTypes::Range);
}

void frmRangeMaintenance::Form_Load() {
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

void frmRangeMaintenance::Form_Unload() {
    if (gMainForm) {
        gMainForm->ActiveInsert(false);
        gMainForm->ActiveSave(false);
        gMainForm->ActiveDelete(false);
    }
}

void frmRangeMaintenance::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void frmRangeMaintenance::Insert() {
    NewRecord = true;
    if (gMainForm)
        gMainForm->ActiveSave(true);
}

void frmRangeMaintenance::Save() {
    if (!NewRecord)
        return;
    MousePointer hourglass;
    NewRecord = false;
    if (gMainForm)
        gMainForm->ActiveSave(false);
}

void frmRangeMaintenance::Delete() {
    DelRecord = true;
    gMsgResponse =
        QString::number(MsgBox("Do you want to delete selected item?", vbYesNo + vbQuestion, "Delete"));
    DelRecord = false;
}

void frmRangeMaintenance::Synchronize() {
    MousePointer hourglass;
}
