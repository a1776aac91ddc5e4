#pragma once

#include <QDialog>

// The non-modal dialog that creates a new warehouse connection and adds it to QLX.ini.
class frmNewConnection : public QDialog {
    Q_OBJECT
public:
    explicit frmNewConnection(QWidget* parent = nullptr);
};
