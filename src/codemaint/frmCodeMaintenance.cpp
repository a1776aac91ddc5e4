#include "codemaint/frmCodeMaintenance.h"

frmCodeMaintenance::frmCodeMaintenance(QWidget* parent) : MaintenanceWindow(MaintenanceTypes::Code, parent) {
    setObjectName("frmCodeMaintenance");
}

void frmCodeMaintenance::Form_Load() {
    LoadCommon();
    NewRecord = false;
    DelRecord = false;
}
