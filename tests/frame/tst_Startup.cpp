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
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

namespace {

frmWelcome* welcome() {
    for (QWidget* w : LoadedWindows::instance().Forms())
        if (auto* d = qobject_cast<frmWelcome*>(w))
            return d;
    return nullptr;
}

int countOf(const char* className) {
    int n = 0;
    for (QWidget* w : LoadedWindows::instance().Forms())
        n += LoadedWindows::Name(w) == QLatin1String(className) ? 1 : 0;
    return n;
}

} // namespace

class tst_Startup : public QObject {
    Q_OBJECT
private slots:
    void startShowsMainWindowAndWelcome();
    void commandStatesReachEveryPlace_data();
    void commandStatesReachEveryPlace();
    void welcomeOpenUnloadsBeforeTheDialog();
    void welcomeNewLeavesTheNewConnectionDialog();
    void welcomeClose();
    void closeWarehouseWithoutConnection();
    void closeWarehouseClosesTheConnection_data() { Warehouse::addBackendRows(); }
    void closeWarehouseClosesTheConnection();
    void exitUnloadsEverythingLastFirst_data() { Warehouse::addBackendRows(); }
    void exitUnloadsEverythingLastFirst();
    void findFormCaptionIsExact();
};

void tst_Startup::startShowsMainWindowAndWelcome() {
    TestEnvironment env;
    Main();
    QVERIFY(gMainForm);
    QVERIFY(gMainForm->isVisible());
    QCOMPARE(gMainForm->windowTitle(), QString("Marvane Vuldra Configurator - Account Maintenance"));
    QCOMPARE(gAppPath, env.folder());
    for (int i = 1; i <= 5; ++i)
        QVERIFY2(!gMainForm->MaintenanceMenu(i)->isEnabled(), qPrintable(QString::number(i)));
    QVERIFY(gMainForm->MaintenanceMenu(3)->menuAction()->isVisible());
    QVERIFY(!gMainForm->MaintenanceMenu(4)->menuAction()->isVisible());
    QVERIFY(!gMainForm->MaintenanceMenu(5)->menuAction()->isVisible());
    QVERIFY(gMainForm->Command("mnuNew")->isEnabled());
    QVERIFY(gMainForm->ToolbarButton("insert")->isEnabled());
    QVERIFY(!gMainForm->Command("mnuSave")->isEnabled());
    QVERIFY(!gMainForm->Command("mnuDelete")->isEnabled());
    QVERIFY(gMainForm->Command("mnuOPenMart")->isEnabled());
    QVERIFY(gMainForm->Command("mnuCloseMart")->isEnabled());
    QVERIFY(!gMainForm->Command("mnuSaveMart")->isEnabled());
    QVERIFY(!gMainForm->menuBar()->actions().contains(gMainForm->mnuRightSubMenu->menuAction()));

    frmWelcome* w = welcome();
    QVERIFY(w);
    QVERIFY(w->isVisible());
    QVERIFY(!w->isModal());
    QVERIFY(!w->ChkShowDlg->isVisible());
    QCOMPARE(LoadedWindows::instance().Forms().value(0), static_cast<QWidget*>(gMainForm.data()));
    QCOMPARE(LoadedWindows::instance().Forms().value(1), static_cast<QWidget*>(w));
    QVERIFY(env.ui.messages.isEmpty());
    QVERIFY(env.ui.dialogs.isEmpty());
    QCOMPARE(env.logText(), QString()); // a start without errors writes no log
}

void tst_Startup::commandStatesReachEveryPlace_data() {
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<QStringList>("buttons");
    QTest::newRow("ActiveInsert") << "ActiveInsert" << QStringList{"mnuNew"} << QStringList{"insert"};
    QTest::newRow("ActiveSave") << "ActiveSave" << QStringList{"mnuSave"} << QStringList{"save"};
    QTest::newRow("ActiveDelete") << "ActiveDelete" << QStringList{"mnuDelete"} << QStringList{"delete"};
    QTest::newRow("ActiveOpenMart") << "ActiveOpenMart" << QStringList{"mnuOPenMart"} << QStringList{"open"};
    QTest::newRow("ActiveCloseMart") << "ActiveCloseMart" << QStringList{"mnuCloseMart"} << QStringList{};
}

void tst_Startup::commandStatesReachEveryPlace() {
    QFETCH(QString, operation);
    QFETCH(QStringList, commands);
    QFETCH(QStringList, buttons);
    TestEnvironment env;
    frmMain main;
    const auto apply = [&](bool on) {
        if (operation == "ActiveInsert")
            main.ActiveInsert(on);
        else if (operation == "ActiveSave")
            main.ActiveSave(on);
        else if (operation == "ActiveDelete")
            main.ActiveDelete(on);
        else if (operation == "ActiveOpenMart")
            main.ActiveOpenMart(on);
        else
            main.ActiveCloseMart(on);
    };
    for (bool on : {false, true, false}) {
        apply(on);
        for (const QString& c : commands)
            QCOMPARE(main.Command(c)->isEnabled(), on);
        for (const QString& b : buttons)
            QCOMPARE(main.ToolbarButton(b)->isEnabled(), on);
    }
    // The right-click menu shares the Edit commands.
    QVERIFY(main.mnuRightSubMenu->actions().contains(main.Command("mnuNew")));
    main.ActiveSync(false);
    QVERIFY(!main.Command("mnuSubSync")->isVisible());
    main.InitialiseZentilMenuOptions(true);
    for (int i = 1; i <= 5; ++i)
        QVERIFY(main.MaintenanceMenu(i)->isEnabled());
    // The toolbar's Help button does nothing.
    const int loaded = LoadedWindows::instance().Count();
    main.ToolbarButton("Help")->trigger();
    QCOMPARE(LoadedWindows::instance().Count(), loaded);
    QVERIFY(env.ui.messages.isEmpty() && env.ui.dialogs.isEmpty());
}

void tst_Startup::welcomeOpenUnloadsBeforeTheDialog() {
    TestEnvironment env;
    Main();
    bool welcomeGoneFirst = false;
    env.ui.dialogScripts << [&](QDialog& d) {
        welcomeGoneFirst = welcome() == nullptr;
        d.reject();
        return int(QDialog::Rejected);
    };
    welcome()->cmdOpen->click();
    QCOMPARE(env.ui.dialogs, QStringList{"frmOpenConnection"});
    QVERIFY(welcomeGoneFirst);
    QCOMPARE(countOf("frmOpenConnection"), 0);
    QCOMPARE(gDBConnection.State(), 0);
    QCOMPARE(LoadedWindows::instance().Count(), 1);
}

void tst_Startup::welcomeNewLeavesTheNewConnectionDialog() {
    TestEnvironment env;
    Main();
    welcome()->cmdNew->click();
    QVERIFY(!welcome());
    QCOMPARE(countOf("frmNewConnection"), 1);
    auto* dialog = qobject_cast<frmNewConnection*>(LoadedWindows::instance().Forms().last());
    QVERIFY(dialog && dialog->isVisible() && !dialog->isModal());
    // Asked for again, the same window comes forward.
    gMainForm->Command("mnuNewMart")->trigger();
    QCOMPARE(countOf("frmNewConnection"), 1);
    // New with no editor open asks for a new connection too.
    gMainForm->Command("mnuNew")->trigger();
    QCOMPARE(countOf("frmNewConnection"), 1);
    QVERIFY(env.ui.dialogs.isEmpty());
}

void tst_Startup::welcomeClose() {
    TestEnvironment env;
    Main();
    welcome()->cmdClose->click();
    QVERIFY(!welcome());
    QCOMPARE(LoadedWindows::instance().Count(), 1);
    QVERIFY(gMainForm->isVisible());
}

void tst_Startup::closeWarehouseWithoutConnection() {
    TestEnvironment env;
    Main();
    gMainForm->mnuNewMart_Click();
    QCOMPARE(LoadedWindows::instance().Count(), 3);
    gMainForm->ActiveOpenMart(false);
    gMainForm->Command("mnuImportLocations")->setEnabled(false);
    gMainForm->Command("mnuCloseMart")->trigger();
    QCOMPARE(LoadedWindows::instance().Count(), 1);
    QVERIFY(gDBConnection.IsNothing());
    QVERIFY(gMainForm->Command("mnuOPenMart")->isEnabled());
    QVERIFY(!gMainForm->Command("mnuCloseMart")->isEnabled());
    QVERIFY(gMainForm->Command("mnuImportLocations")->isEnabled());
    QVERIFY(!gMainForm->MaintenanceMenu(1)->isEnabled());
}

void tst_Startup::closeWarehouseClosesTheConnection() {
    QFETCH(QString, backend);
    TestEnvironment env;
    Warehouse w(backend);
    QLX_REQUIRE_WAREHOUSE(w);
    Main();
    QVERIFY(w.openShared());
    gMainForm->mnuCloseMart_Click();
    QVERIFY(gDBConnection.IsNothing());
    QCOMPARE(gDBConnection->adoConnection().State(), 0); // a fresh, closed one on next use
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

void tst_Startup::findFormCaptionIsExact() {
    TestEnvironment env;
    Main();
    QCOMPARE(FindFormCaption("frmWelcome", "Welcome"), static_cast<QWidget*>(welcome()));
    QCOMPARE(FindFormCaption("frmWelcome", "welcome"), nullptr);
    QCOMPARE(FindFormCaption("frmMain", "Welcome"), nullptr);
    QCOMPARE(FindFormCaption("frmMain", gMainForm->windowTitle()), static_cast<QWidget*>(gMainForm.data()));
}

QTEST_MAIN(tst_Startup)
#include "tst_Startup.moc"
