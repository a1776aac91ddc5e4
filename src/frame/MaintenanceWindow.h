#pragma once

#include "frame/MaintenanceEditor.h"
#include "frame/MaintenanceTypes.h"

#include <QWidget>

// What the two editor windows share: the maintenance type they are opened for, the caption and area code
// that follow from it, and the command states they leave behind when they close.
class MaintenanceWindow : public QWidget, public MaintenanceEditor {
    Q_OBJECT
public:
    void setMaintenanceType(qint32 type) override;
    qint16 MaintenanceType() const override;
    QString MaintenanceDescription() const override;
    QString LevelType() const override;

    // New opens a pending insert and enables Save; Save closes it; Delete asks first. The editors add
    // their own entry fields and engine work on top.
    void Insert() override;
    void Save() override;
    void Delete() override;

    qint16 m_intMaintenanceType = 0;
    bool NewRecord = false;
    bool DelRecord = false;

protected:
    MaintenanceWindow(MaintenanceTypes::Editor kind, QWidget* parent);
    // Sets the caption and registers the window as loaded; New, Save and Delete stay off until a node
    // is chosen.
    void LoadCommon();
    void closeEvent(QCloseEvent* event) override;
    virtual void Form_Unload();

private:
    MaintenanceTypes::Editor m_kind;
};
