#pragma once

#include <QDialog>

// The modal dialog that opens one of the warehouse connections listed in QLX.ini.
class frmOpenConnection : public QDialog {
    Q_OBJECT
public:
    explicit frmOpenConnection(QWidget* parent = nullptr);
};
