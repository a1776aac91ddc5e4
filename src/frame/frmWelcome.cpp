#include "frame/frmWelcome.h"

#include "frame/frmMain.h"
#include "frame/modMain.h"
#include "platform/LoadedWindows.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

frmWelcome::frmWelcome(QWidget* parent) : QDialog(parent) {
    setObjectName("frmWelcome");
    LoadedWindows::instance().Register(this);
    setWindowTitle("Welcome");
    setModal(false);

    auto* heading = new QLabel("Marvane Quillon Configurator ", this);
    QFont headingFont = heading->font();
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.4);
    headingFont.setBold(true);
    heading->setFont(headingFont);
    auto* choose = new QLabel("Choose an Option:", this);

    cmdNew = new QPushButton(this);
    cmdNew->setObjectName("cmdNew");
    cmdNew->setIcon(style()->standardIcon(QStyle::SP_FileIcon));
    cmdNew->setIconSize(QSize(32, 32));
    cmdOpen = new QPushButton(this);
    cmdOpen->setObjectName("cmdOpen");
    cmdOpen->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    cmdOpen->setIconSize(QSize(32, 32));
    auto* newLabel = new QLabel("Create a New Warehouse Connection", this);
    newLabel->setBuddy(cmdNew);
    auto* openLabel = new QLabel("Open an Existing Warehouse Connection", this);
    openLabel->setBuddy(cmdOpen);

    cmdClose = new QPushButton("Close", this);
    cmdClose->setObjectName("cmdClose");
    ChkShowDlg = new QCheckBox("Show this dialog at start-up", this);
    ChkShowDlg->setObjectName("ChkShowDlg");
    ChkShowDlg->setChecked(true);

    auto* options = new QGridLayout;
    options->addWidget(cmdNew, 0, 0);
    options->addWidget(newLabel, 0, 1);
    options->addWidget(cmdOpen, 1, 0);
    options->addWidget(openLabel, 1, 1);
    options->setColumnStretch(1, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(ChkShowDlg);
    bottom->addStretch(1);
    bottom->addWidget(cmdClose);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(choose);
    layout->addLayout(options);
    layout->addStretch(1);
    layout->addLayout(bottom);

    connect(cmdNew, &QPushButton::clicked, this, &frmWelcome::cmdNew_Click);
    connect(cmdOpen, &QPushButton::clicked, this, &frmWelcome::cmdOpen_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmWelcome::cmdClose_Click);
}

void frmWelcome::Form_Load() {
    ChkShowDlg->setVisible(false);
    m_showDialog = ChkShowDlg->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    if (m_showDialog.toInt() == 1)
        show();
}

void frmWelcome::unloadSelf() {
    LoadedWindows::instance().Unload(this);
}

void frmWelcome::cmdNew_Click() {
    unloadSelf();
    if (gMainForm)
        gMainForm->mnuNewMart_Click();
}

void frmWelcome::cmdOpen_Click() {
    unloadSelf();
    OpenWarehouseConnection();
}

void frmWelcome::cmdClose_Click() {
    unloadSelf();
}
