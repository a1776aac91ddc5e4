#pragma once

#include <QDialog>

// The dialog that copies warehouse connections from another configuration file into QLX.ini.
class frmImportLocations : public QDialog {
    Q_OBJECT
public:
    explicit frmImportLocations(QWidget* parent = nullptr);
};
