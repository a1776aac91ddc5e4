#include "codemaint/frmCodeMaintenance.h"
#include "frame/MaintenanceWindow.h"
#include "frame/ModMaintenance.h"
#include "frame/frmAbout.h"
#include "frame/frmMain.h"
#include "frame/modMain.h"
#include "platform/App.h"
#include "platform/LoadedWindows.h"
#include "rangemaint/frmRangeMaintenance.h"
#include "services/MaintTree.h"
#include "support/TestEnvironment.h"

#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QWindow>

namespace {

QList<QWidget*> editors() {
    QList<QWidget*> list;
    for (QMdiSubWindow* sub : gMainForm->ChildWindows())
        list << sub->widget();
    return list;
}

MaintenanceEditor* current() {
    return gMainForm->ActiveEditor();
}

struct Commands {
    bool insert, save, remove;
    bool operator==(const Commands& o) const {
        return insert == o.insert && save == o.save && remove == o.remove;
    }
};

Commands commands() {
    return {gMainForm->Command("mnuNew")->isEnabled(), gMainForm->Command("mnuSave")->isEnabled(),
            gMainForm->Command("mnuDelete")->isEnabled()};
}

void openEditor(const char* item) {
    gMainForm->Command(QString::fromLatin1(item))->trigger();
}

} // namespace

class tst_MainWindow : public QObject {
    Q_OBJECT
private slots:
    void init() { m_env = std::make_unique<TestEnvironment>(); }
    void cleanup() { m_env.reset(); }

    void everyEditorItemOpensItsEditorOnce_data();
    void everyEditorItemOpensItsEditorOnce();
    void handlersActOnlyOnTheirOwnIndex();
    void typeOverflowIsLoggedAndIgnored();
    void editCommandsReachTheCurrentEditor();
    void eachEditorKeepsItsOwnCommandStates();
    void activationKeepsTheEditorInFront_data();
    void activationKeepsTheEditorInFront();
    void windowMenuAndArrangements();
    void aboutBoxIsOneWindow();
    void closeWarehouseUnloadsEditorsLastFirst();
    void mainWindowGoesWithEditorsOpen();

private:
    std::unique_ptr<TestEnvironment> m_env;
};

void tst_MainWindow::everyEditorItemOpensItsEditorOnce_data() {
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("levelType");
    const auto row = [](const char* item, bool range, const char* caption, const char* levelType) {
        QTest::newRow(item) << QString(item) << QString(range ? "frmRangeMaintenance" : "frmCodeMaintenance")
                            << QString(caption) + (range ? " Range Maintenance" : " Code Maintenance")
                            << QString(levelType);
    };
    row("mnuMultiplierRangeMaint", true, "Account Multiplier", "");
    row("mnuMultiplierCodeMaint", false, "Account Multiplier", "AC");
    row("mnuCategoriesRangeMaint", true, "Account Categories", "");
    row("mnuCategoriesCodeMaint", false, "Account Categories", "AC");
    row("mnuLevelRangeMaint", true, "Account Level", "AC");
    row("mnuLevelCodeMaint", false, "Account Level", "AC");
    row("mnuBURangeMaint", true, "Business Unit Level", "BU");
    row("mnuBUCodeMaint", false, "Business Unit Level", "BU");
    row("mnuBARangeMaint", true, "Business Area Level", "BA");
    row("mnuBACodeMaint", false, "Business Area Level", "BA");
}

void tst_MainWindow::everyEditorItemOpensItsEditorOnce() {
    QFETCH(QString, item);
    QFETCH(QString, className);
    QFETCH(QString, caption);
    QFETCH(QString, levelType);
    Main();
    // A Range and a Code editor of another type stand open already.
    openEditor(className == "frmRangeMaintenance" ? "mnuLevelCodeMaint" : "mnuLevelRangeMaint");
    gMainForm->Command(item)->trigger();
    QCOMPARE(editors().size(), 2);
    QWidget* editor = editors().last();
    QCOMPARE(LoadedWindows::Name(editor), className);
    QCOMPARE(dynamic_cast<MaintenanceEditor*>(editor)->LevelType(), levelType);
    QCOMPARE(FindFormCaption(className, caption), editor);
    QVERIFY(!FindFormCaption(className, caption.toLower()) && !FindFormCaption("frmMain", caption));
    QCOMPARE(current(), dynamic_cast<MaintenanceEditor*>(editor));
    // Asked for again, even while another editor is current, the twin is left alone.
    gMainForm->MdiArea->setActiveSubWindow(gMainForm->ChildWindows().first());
    gMainForm->Command(item)->trigger();
    QCOMPARE(editors().size(), 2);
    QVERIFY(current() != dynamic_cast<MaintenanceEditor*>(editor));
    QVERIFY(m_env->logText().isEmpty());
}

void tst_MainWindow::handlersActOnlyOnTheirOwnIndex() {
    Main();
    gMainForm->mnuLevelRangeMaint_Click(60);
    gMainForm->mnuBUCodeMaint_Click(70);
    QCOMPARE(editors().size(), 0);
    gMainForm->mnuBUCodeMaint_Click(80);
    gMainForm->mnuBARangeMaint_Click(90);
    QCOMPARE(editors().size(), 2);
    QCOMPARE(editors()[0]->windowTitle(), QString("Business Unit Level Code Maintenance"));
}

void tst_MainWindow::typeOverflowIsLoggedAndIgnored() {
    frmRangeMaintenance range;
    range.setMaintenanceType(3);
    range.setMaintenanceType(40000);
    QCOMPARE(range.MaintenanceType(), qint16(3));
    QVERIFY(m_env->logText().contains("(Overflow) in frmRangeMaintenance:LetMaintenanceType"));
    frmCodeMaintenance code;
    code.setMaintenanceType(-40000);
    QCOMPARE(code.MaintenanceType(), qint16(0));
    QCOMPARE(code.MaintenanceDescription(), QString());
    QVERIFY(m_env->logText().contains("in frmCodeMaintenance:LetMaintenanceType"));
}

void tst_MainWindow::editCommandsReachTheCurrentEditor() {
    Main();
    // Without an editor Save, Delete and Synchronize do nothing.
    gMainForm->mnuSave_Click();
    gMainForm->mnuDelete_Click();
    gMainForm->mnuSubSync_Click();
    QCOMPARE(LoadedWindows::instance().Count(), 2);
    QVERIFY(m_env->ui.messages.isEmpty());
    openEditor("mnuLevelRangeMaint");
    openEditor("mnuMultiplierCodeMaint");
    auto* range = qobject_cast<frmRangeMaintenance*>(editors()[0]);
    auto* code = qobject_cast<frmCodeMaintenance*>(editors()[1]);
    gMainForm->ActiveInsert(true);
    gMainForm->ToolbarButton("insert")->trigger();
    QVERIFY(code->NewRecord);
    QVERIFY(!range->NewRecord);
    QVERIFY(gMainForm->Command("mnuSave")->isEnabled());
    // Save reaches the code editor, whose check refuses an empty chart of account.
    gMainForm->ToolbarButton("save")->trigger();
    QCOMPARE(m_env->ui.messages.takeFirst().prompt, QString("Account cannot be blank"));
    QVERIFY(code->NewRecord);
    code->NewRecord = false;
    gMainForm->MdiArea->setActiveSubWindow(gMainForm->ChildWindows().first());
    gMainForm->ActiveDelete(true);
    m_env->ui.answers << vbNo;
    gMainForm->Command("mnuDelete")->trigger();
    QCOMPARE(m_env->ui.messages.size(), 1);
    QCOMPARE(m_env->ui.messages[0].prompt, QString("Do you want to delete selected item?"));
    // The right-click menu reaches the same editor.
    gMainForm->ActiveInsert(true);
    gMainForm->mnuRightSubMenu->actions().first()->trigger();
    QVERIFY(range->NewRecord);
    QVERIFY(!code->NewRecord);
}

void tst_MainWindow::eachEditorKeepsItsOwnCommandStates() {
    Main();
    openEditor("mnuLevelRangeMaint");
    QCOMPARE(commands(), (Commands{false, false, false})); // an editor opens with New, Save and Delete off
    gMainForm->ActiveInsert(true);
    gMainForm->ActiveDelete(true);
    gNodeType = 3;
    openEditor("mnuLevelCodeMaint");
    QCOMPARE(commands(), (Commands{false, false, false}));
    QCOMPARE(gNodeType, 0);
    gMainForm->ActiveInsert(true);
    gMainForm->ActiveSave(true);
    gNodeType = 4;
    QMdiSubWindow* first = gMainForm->ChildWindows()[0];
    QMdiSubWindow* second = gMainForm->ChildWindows()[1];
    gMainForm->MdiArea->setActiveSubWindow(first);
    QCOMPARE(commands(), (Commands{true, false, true}));
    QCOMPARE(gNodeType, 3);
    gMainForm->MdiArea->setActiveSubWindow(second);
    QCOMPARE(commands(), (Commands{true, true, false}));
    QCOMPARE(gNodeType, 4);
    // Closing the current editor gives the other one its states back.
    gMainForm->mnuClose_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(editors().size(), 1);
    QCOMPARE(commands(), (Commands{true, false, true}));
    QCOMPARE(gNodeType, 3);
    // Closing the last leaves New, Save and Delete off.
    gMainForm->mnuClose_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(editors().size(), 0);
    QCOMPARE(commands(), (Commands{false, false, false}));
}

// Activated while no control holds its focus (the one that held it was switched off or hidden meanwhile),
// the main window gives the keyboard to the tree of the editor in front, never to the first control of the
// window, which belongs to the editor opened first.
void tst_MainWindow::activationKeepsTheEditorInFront_data() {
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<bool>("filling"); // the editor in front has its tree switched off, filling its list
    QTest::newRow("code over range") << QStringList{"mnuLevelRangeMaint", "mnuMultiplierCodeMaint"} << false;
    QTest::newRow("range over code") << QStringList{"mnuLevelCodeMaint", "mnuCategoriesRangeMaint"} << false;
    QTest::newRow("range over code, filling its list")
        << QStringList{"mnuLevelCodeMaint", "mnuCategoriesRangeMaint"} << true;
}

void tst_MainWindow::activationKeepsTheEditorInFront() {
    QFETCH(QStringList, items);
    QFETCH(bool, filling);
    Main();
    for (const QString& item : items)
        openEditor(qPrintable(item));
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != gMainForm && w->isVisible())
            w->close();
    auto* front = dynamic_cast<MaintenanceWindow*>(current());
    QVERIFY(front && front == editors().last());
    QWidget elsewhere; // another program's window
    elsewhere.show();
    elsewhere.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&elsewhere));
    if (QWidget* focus = gMainForm->focusWidget())
        focus->clearFocus();
    front->trvMaintenance->setEnabled(!filling);
    gMainForm->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(gMainForm));
    // Once the list is filled, the tree has the keyboard.
    front->trvMaintenance->setEnabled(true);
    QCOMPARE(current(), dynamic_cast<MaintenanceEditor*>(front));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(front->trvMaintenance));
}

void tst_MainWindow::windowMenuAndArrangements() {
    Main();
    gMainForm->resize(1000, 800);
    openEditor("mnuLevelRangeMaint");
    openEditor("mnuCategoriesRangeMaint");
    QMenu* windowMenu = gMainForm->findChild<QMenu*>("mnuWindow");
    const auto listed = [&] {
        emit windowMenu->aboutToShow();
        QList<QAction*> list;
        for (QAction* a : windowMenu->actions())
            if (a->isCheckable())
                list << a;
        return list;
    };
    QCOMPARE(listed().size(), 2);
    QVERIFY(listed()[0]->text().endsWith("Account Level Range Maintenance") && !listed()[0]->isChecked());
    listed()[0]->trigger();
    QCOMPARE(dynamic_cast<QWidget*>(current()), editors()[0]);
    QVERIFY(listed()[0]->isChecked() && listed().size() == 2); // listed again, not twice
    const QList<QMdiSubWindow*> subs = gMainForm->ChildWindows();
    const QRect area = gMainForm->MdiArea->viewport()->rect();
    // A maximised window is tiled as a normal one.
    subs[1]->showMaximized();
    gMainForm->Command("mnuWindowTileHorizontal")->trigger();
    QVERIFY(!subs[1]->isMaximized());
    QCOMPARE(subs[1]->geometry().top(), subs[0]->geometry().bottom() + 1);
    QCOMPARE(subs[0]->width(), area.width());
    gMainForm->Command("mnuWindowTileVertical")->trigger();
    QCOMPARE(subs[1]->geometry().left(), subs[0]->geometry().right() + 1);
    QCOMPARE(subs[0]->height(), area.height());
}

void tst_MainWindow::aboutBoxIsOneWindow() {
    Main();
    gMainForm->Command("mnuAbout")->trigger();
    gMainForm->Command("mnuAbout")->trigger();
    QList<frmAbout*> boxes;
    for (QWidget* w : LoadedWindows::instance().Forms())
        if (auto* about = qobject_cast<frmAbout*>(w))
            boxes << about;
    QCOMPARE(boxes.size(), 1);
    frmAbout* about = boxes[0];
    QVERIFY(about->isVisible() && !about->isModal());
    about->cmdSysInfo->click();
    QCOMPARE(m_env->ui.messages.size(), 1);
    about->cmdOK->click();
    QVERIFY(!LoadedWindows::instance().IsLoaded(about));
}

void tst_MainWindow::closeWarehouseUnloadsEditorsLastFirst() {
    Main();
    openEditor("mnuLevelRangeMaint");
    openEditor("mnuLevelCodeMaint");
    gMainForm->Command("mnuAbout")->trigger();
    QStringList order;
    for (QWidget* form : LoadedWindows::instance().Forms())
        if (form != gMainForm)
            QObject::connect(form, &QObject::destroyed, this,
                             [&order, name = form->windowTitle()] { order << name; });
    gMainForm->ActiveInsert(true);
    gMainForm->Command("mnuCloseMart")->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(order, (QStringList{"About Marvane QLX", "Account Level Code Maintenance",
                                 "Account Level Range Maintenance", "Welcome"}));
    QCOMPARE(LoadedWindows::instance().Count(), 1);
    QCOMPARE(commands(), (Commands{false, false, false})); // each editor turned them off as it went
}

void tst_MainWindow::mainWindowGoesWithEditorsOpen() {
    // The editors go while the main window is half destroyed; their goodbyes must not reach its state
    // (the sanitizer build catches a use after free here).
    Main();
    openEditor("mnuLevelRangeMaint");
    openEditor("mnuLevelCodeMaint");
    gMainForm->MdiArea->setActiveSubWindow(gMainForm->ChildWindows()[0]);
    delete gMainForm.data();
    QVERIFY(gMainForm.isNull());
}

QTEST_MAIN(tst_MainWindow)
#include "tst_MainWindow.moc"
