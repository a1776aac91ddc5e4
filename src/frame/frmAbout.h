#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The about box: the application's name, version, build and today's date, with a legal warning.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);

    void Form_Load();
    void cmdOK_Click();
    void cmdSysInfo_Click();
    // Starts the System Information program, or tells the user that there is none.
    void StartSysInfo();
    // Reads a value of the system registry; this platform has none, so nothing is ever found.
    static bool GetKeyValue(qint32 KeyRoot, const QString& KeyName, const QString& SubKeyRef,
                            QString& KeyVal);

    QLabel* picIcon = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblDate = nullptr;
    QLabel* lblBuild = nullptr;
    QLabel* lblDisclaimer = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdSysInfo = nullptr;
};
