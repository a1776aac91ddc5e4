#pragma once

#include "frame/MaintenanceWindow.h"

// The Range Maintenance editor of one maintenance type, a child window of the main window.
class frmRangeMaintenance : public MaintenanceWindow {
    Q_OBJECT
public:
    explicit frmRangeMaintenance(QWidget* parent = nullptr);

    void Form_Load() override;
    void Insert() override;
    void Save() override;
    void Delete() override;
    void Synchronize() override;
};
