#include "frame/frmAbout.h"

#include "platform/App.h"
#include "platform/LoadedWindows.h"
#include "platform/UserDialogs.h"

#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLocale>
#include <QProcess>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const qint32 HKEY_LOCAL_MACHINE = static_cast<qint32>(0x80000002u);

} // namespace

frmAbout::frmAbout(QWidget* parent) : QDialog(parent) {
    setObjectName("frmAbout");
    LoadedWindows::instance().Register(this);
    setWindowTitle("About Marvane QLX");
    setModal(false);

    picIcon = new QLabel(this);
    picIcon->setObjectName("picIcon");
    picIcon->setPixmap(QIcon(":/frame/images/about.svg").pixmap(32, 32));
    lblTitle = new QLabel("Marvane Quillon Configurator ", this);
    lblTitle->setObjectName("lblTitle");
    QFont titleFont = lblTitle->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
    lblTitle->setFont(titleFont);
    lblVersion = new QLabel(this);
    lblVersion->setObjectName("lblVersion");
    lblDate = new QLabel(this);
    lblDate->setObjectName("lblDate");
    lblBuild = new QLabel(this);
    lblBuild->setObjectName("lblBuild");
    lblDisclaimer = new QLabel(this);
    lblDisclaimer->setObjectName("lblDisclaimer");
    lblDisclaimer->setWordWrap(true);
    cmdOK = new QPushButton("OK", this);
    cmdOK->setObjectName("cmdOK");
    cmdOK->setDefault(true);
    cmdSysInfo = new QPushButton("&System Info...", this);
    cmdSysInfo->setObjectName("cmdSysInfo");

    auto* facts = new QGridLayout;
    facts->addWidget(new QLabel("Version:", this), 0, 0);
    facts->addWidget(lblVersion, 0, 1);
    facts->addWidget(new QLabel("Date:", this), 1, 0);
    facts->addWidget(lblDate, 1, 1);
    facts->addWidget(new QLabel("Build:", this), 2, 0);
    facts->addWidget(lblBuild, 2, 1);
    facts->setColumnStretch(1, 1);
    auto* head = new QHBoxLayout;
    head->addWidget(picIcon, 0, Qt::AlignTop);
    auto* headText = new QVBoxLayout;
    headText->addWidget(lblTitle);
    headText->addLayout(facts);
    head->addLayout(headText, 1);
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);
    buttons->addStretch(1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lblDisclaimer, 1);
    bottom->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addWidget(line);
    layout->addLayout(bottom);
    resize(460, 260);

    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
    Form_Load();
}

void frmAbout::Form_Load() {
    lblDisclaimer->setText(
        "Warning: this program is protected by copyright law and international treaties. Reproducing or "
        "distributing this program, or any part of it, without authorisation is prohibited. Unauthorised "
        "reproduction or distribution may result in severe civil and criminal penalties.");
    lblVersion->setText("2.5");
    lblBuild->setText("2.5.7");
    lblDate->setText(QLocale::system().toString(App::Now().date(), QLocale::ShortFormat));
}

void frmAbout::cmdOK_Click() {
    LoadedWindows::instance().Unload(this);
}

void frmAbout::cmdSysInfo_Click() {
    StartSysInfo();
}

bool frmAbout::GetKeyValue(qint32 /*KeyRoot*/, const QString& /*KeyName*/, const QString& /*SubKeyRef*/,
                           QString& KeyVal) {
    KeyVal.clear();
    return false;
}

void frmAbout::StartSysInfo() {
    QString path;
    if (GetKeyValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH", path) &&
        QProcess::startDetached(path, {})) {
        return;
    }
    if (GetKeyValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO", path) &&
        QFileInfo::exists(path + "/MSINFO32.EXE") && QProcess::startDetached(path + "/MSINFO32.EXE", {})) {
        return;
    }
    MsgBox("System Information Is Unavailable At This Time", vbOKOnly);
}
