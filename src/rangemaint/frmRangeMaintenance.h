#pragma once

#include "frame/MaintenanceEditor.h"

#include <QWidget>

// The Range Maintenance editor of one maintenance type, a child window of the main window.
class frmRangeMaintenance : public QWidget, public MaintenanceEditor {
    Q_OBJECT
public:
    explicit frmRangeMaintenance(QWidget* parent = nullptr);

    void setMaintenanceType(qint32 type) override;
    qint16 MaintenanceType() const override;
    QString MaintenanceDescription() const override;
    QString LevelType() const override;
    void Form_Load() override;

    void Insert() override;
    void Save() override;
    void Delete() override;
    void Synchronize() override;

    qint16 m_intMaintenanceType = 0;
    bool NewRecord = false;
    bool DelRecord = false;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Unload();
};
