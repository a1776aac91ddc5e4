#include "frame/frmImportLocations.h"

#include "platform/LoadedWindows.h"

frmImportLocations::frmImportLocations(QWidget* parent) : QDialog(parent) {
    setObjectName("frmImportLocations");
    LoadedWindows::instance().Register(this);
    setWindowTitle("Import Warehouse Locations");
}
