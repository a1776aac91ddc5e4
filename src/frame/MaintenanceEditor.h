#pragma once

// What the main window asks of an editor window: the edit commands it forwards to the active one.
class MaintenanceEditor {
public:
    virtual ~MaintenanceEditor() = default;
    virtual void Insert() = 0;
    virtual void Save() = 0;
    virtual void Delete() = 0;
    virtual void Synchronize() {}
};
