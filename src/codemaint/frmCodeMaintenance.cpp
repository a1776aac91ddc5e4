#include "codemaint/frmCodeMaintenance.h"

#include "frame/frmMain.h"
#include "frame/modMain.h"
#include "platform/MousePointer.h"
#include "platform/UserDialogs.h"

frmCodeMaintenance::frmCodeMaintenance(QWidget* parent) : MaintenanceWindow(MaintenanceTypes::Code, parent) {
    setObjectName("frmCodeMaintenance");
}

void frmCodeMaintenance::Form_Load() {
    LoadCommon();
    NewRecord = false;
    DelRecord = false;
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
