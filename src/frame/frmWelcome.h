#pragma once

#include <QDialog>

class QCheckBox;
class QPushButton;

// The welcome dialog of every start: create a new warehouse connection, open an existing one, or close.
class frmWelcome : public QDialog {
    Q_OBJECT
public:
    explicit frmWelcome(QWidget* parent = nullptr);

    void Form_Load();
    void cmdNew_Click();
    void cmdOpen_Click();
    void cmdClose_Click();

    QPushButton* cmdNew = nullptr;
    QPushButton* cmdOpen = nullptr;
    QPushButton* cmdClose = nullptr;
    QCheckBox* ChkShowDlg = nullptr;

private:
    void unloadSelf();
    QString m_showDialog;
};
