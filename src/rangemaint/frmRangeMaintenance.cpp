#include "rangemaint/frmRangeMaintenance.h"

#include "frame/frmMain.h"
#include "frame/modMain.h"
#include "platform/MousePointer.h"
#include "platform/UserDialogs.h"

frmRangeMaintenance::frmRangeMaintenance(QWidget* parent)
    : MaintenanceWindow(MaintenanceTypes::Range, parent) {
    setObjectName("frmRangeMaintenance");
}

void frmRangeMaintenance::Form_Load() {
    LoadCommon();
    NewRecord = false;
    DelRecord = false;
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
