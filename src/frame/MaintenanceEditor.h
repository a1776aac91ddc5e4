#pragma once

#include <QString>

// What the main window asks of an editor window: its identity and the edit commands it forwards to the
// current one.
class MaintenanceEditor {
public:
    virtual ~MaintenanceEditor() = default;

    virtual void setMaintenanceType(qint32 type) = 0;
    virtual qint16 MaintenanceType() const = 0;
    virtual QString MaintenanceDescription() const = 0;
    virtual QString LevelType() const = 0;
    // Builds the window once it stands in the main window.
    virtual void Form_Load() = 0;

    virtual void Insert() = 0;
    virtual void Save() = 0;
    virtual void Delete() = 0;
    // Only the Range Maintenance editor synchronises.
    virtual void Synchronize() {}
    // Gives the keyboard to the control the editor's commands act on: its tree.
    virtual void TakeFocus() = 0;
};
