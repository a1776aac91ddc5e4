#include "frame/clsDBConnection.h"
#include "frame/frmMain.h"
#include "frame/frmNewConnection.h"
#include "frame/frmWelcome.h"
#include "frame/modMain.h"
#include "platform/LoadedWindows.h"
#include "support/TestEnvironment.h"
#include "support/Warehouse.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QPushButton>
#include <QTest>

namespace {

frmWelcome* welcome() {
    for (QWidget* w : LoadedWindows::instance().Forms())
        if (auto* d = qobject_cast<frmWelcome*>(w))
            return d;
    return nullptr;
}

QStringList loadedNames() {
    QStringList names;
    for (QWidget* w : LoadedWindows::instance().Forms())
        names << LoadedWindows::Name(w);
    return names;
}

} // namespace

class tst_Startup : public QObject {
    Q_OBJECT
private slots:
    void startShowsMainWindowAndWelcome();
    void welcomeButtons_data();
    void welcomeButtons();
    void closeWarehouse_data();
    void closeWarehouse();
    void exitUnloadsEverythingLastFirst_data() { Warehouse::addBackendRows(); }
    void exitUnloadsEverythingLastFirst();
};

void tst_Startup::startShowsMainWindowAndWelcome() {
    TestEnvironment env;
    Main();
    QVERIFY(gMainForm && gMainForm->isVisible());
    QCOMPARE(gAppPath, env.folder());
    for (int i = 1; i <= 5; ++i)
        QVERIFY2(!gMainForm->MaintenanceMenu(i)->isEnabled(), qPrintable(QString::number(i)));
    QList<bool> states;
    for (const char* c : {"mnuNew", "mnuSave", "mnuDelete", "mnuOPenMart", "mnuCloseMart", "mnuSaveMart"})
        states << gMainForm->Command(c)->isEnabled();
    QCOMPARE(states, (QList<bool>{true, false, false, true, true, false}));
    QVERIFY(welcome() && welcome()->isVisible() && !welcome()->isModal() &&
            !welcome()->ChkShowDlg->isVisible());
    QCOMPARE(loadedNames(), (QStringList{"frmMain", "frmWelcome"}));
    QVERIFY(env.ui.messages.isEmpty() && env.ui.dialogs.isEmpty());
    QCOMPARE(env.logText(), QString()); // a start without errors writes no log
}

void tst_Startup::welcomeButtons_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("dialogs"); // modal dialogs run
    QTest::addColumn<QStringList>("loaded");  // windows loaded afterwards
    QTest::newRow("open") << "open" << QStringList{"frmOpenConnection"} << QStringList{"frmMain"};
    QTest::newRow("new") << "new" << QStringList{} << QStringList{"frmMain", "frmNewConnection"};
    QTest::newRow("close") << "close" << QStringList{} << QStringList{"frmMain"};
}

void tst_Startup::welcomeButtons() {
    QFETCH(QString, button);
    QFETCH(QStringList, dialogs);
    QFETCH(QStringList, loaded);
    TestEnvironment env;
    Main();
    bool welcomeGoneFirst = false;
    env.ui.dialogScripts << [&](QDialog& d) {
        welcomeGoneFirst = welcome() == nullptr;
        d.reject();
        return int(QDialog::Rejected);
    };
    (button == "open"  ? welcome()->cmdOpen
     : button == "new" ? welcome()->cmdNew
                       : welcome()->cmdClose)
        ->click();
    QCOMPARE(env.ui.dialogs, dialogs);
    QCOMPARE(welcomeGoneFirst, !dialogs.isEmpty());
    QCOMPARE(loadedNames(), loaded);
    QCOMPARE(gDBConnection.State(), 0);
    QVERIFY(gMainForm->isVisible());
    // Asked for again, the same New Connection window comes forward; so does New with no editor open.
    gMainForm->Command("mnuNewMart")->trigger();
    gMainForm->Command("mnuNew")->trigger();
    QCOMPARE(loadedNames(), (QStringList{"frmMain", "frmNewConnection"}));
    QVERIFY(LoadedWindows::instance().Forms().last()->isVisible());
}

void tst_Startup::closeWarehouse_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<bool>("open");
    QTest::newRow("no connection") << QString() << false;
    for (const QString& b : Warehouse::backends())
        Warehouse::newRow(b) << true;
}

void tst_Startup::closeWarehouse() {
    QFETCH(QString, backend);
    QFETCH(bool, open);
    TestEnvironment env;
    Warehouse w(open ? backend : "sqlite");
    QLX_REQUIRE_WAREHOUSE(w);
    Main();
    if (open) {
        QVERIFY(w.openShared());
        gMainForm->ShowWarehouseOpen();
    }
    gMainForm->mnuNewMart_Click();
    gMainForm->ActiveOpenMart(false);
    gMainForm->Command("mnuImportLocations")->setEnabled(false);
    gMainForm->Command("mnuCloseMart")->trigger();
    QCOMPARE(loadedNames(), QStringList{"frmMain"});
    QVERIFY(gDBConnection.IsNothing());
    QCOMPARE(gDBConnection->adoConnection().State(), 0); // a fresh, closed one on next use
    QVERIFY(gMainForm->Command("mnuOPenMart")->isEnabled() &&
            !gMainForm->Command("mnuCloseMart")->isEnabled());
    QVERIFY(gMainForm->Command("mnuImportLocations")->isEnabled() &&
            !gMainForm->MaintenanceMenu(1)->isEnabled());
}

void tst_Startup::exitUnloadsEverythingLastFirst() {
    QFETCH(QString, backend);
    TestEnvironment env;
    Warehouse w(backend);
    QLX_REQUIRE_WAREHOUSE(w);
    Main();
    QVERIFY(w.openShared());
    gMainForm->mnuNewMart_Click();
    QList<QString> order;
    for (QWidget* form : LoadedWindows::instance().Forms())
        QObject::connect(form, &QObject::destroyed, form,
                         [&order, name = LoadedWindows::Name(form)] { order << name; });
    gMainForm->mnuExit_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(order, (QList<QString>{"frmNewConnection", "frmWelcome", "frmMain"}));
    QVERIFY(gDBConnection.IsNothing());
    QVERIFY(!gMainForm);
    QCOMPARE(LoadedWindows::instance().Count(), 0);
}

QTEST_MAIN(tst_Startup)
#include "tst_Startup.moc"
