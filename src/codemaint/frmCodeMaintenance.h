#pragma once

#include "frame/MaintenanceWindow.h"

// The Code Maintenance editor of one maintenance type, a child window of the main window.
class frmCodeMaintenance : public MaintenanceWindow {
    Q_OBJECT
public:
    explicit frmCodeMaintenance(QWidget* parent = nullptr);

    void Form_Load() override;

protected:
    void InitializeFields() override {}
    void LoadMaintenanceTree() override {}
};
