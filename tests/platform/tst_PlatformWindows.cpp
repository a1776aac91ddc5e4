#include "platform/EntryBox.h"
#include "platform/LoadedWindows.h"
#include "platform/MousePointer.h"
#include "support/TestEnvironment.h"

#include <QCloseEvent>
#include <QCursor>
#include <QDialog>
#include <QGuiApplication>
#include <QTest>

namespace {

// A window that refuses to close while it is busy, as an editor does in the middle of its load.
class BusyWindow : public QDialog {
public:
    bool busy = true;

protected:
    void closeEvent(QCloseEvent* event) override {
        if (busy)
            event->ignore();
        else
            event->accept();
    }
};

} // namespace

class tst_PlatformWindows : public QObject {
    Q_OBJECT
private slots:
    void entryBoxNoticesChangesAndKeepsWholeCharacters();
    void loadedWindowsKeepLoadOrder();
    void aWindowThatRefusesStaysLoaded();
    void pointerComesBackOnEveryWayOut();
};

void tst_PlatformWindows::entryBoxNoticesChangesAndKeepsWholeCharacters() {
    EntryBox box;
    QTest::keyClicks(&box, "A1");
    QVERIFY(box.DataChanged);
    box.DataChanged = false;
    box.setText("A1"); // the same text is no change
    QVERIFY(!box.DataChanged);
    // Cut to its length, the box never keeps half of a character pair.
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
    box.setMaxLength(4);
    box.setText("abc" + emoji);
    QCOMPARE(box.text(), QString("abc"));
    QVERIFY(box.DataChanged);
    box.setText("ab");
    box.setCursorPosition(1);
    box.insert("c" + emoji); // pasted in the middle
    QCOMPARE(box.text(), QString("acb"));
    box.setText("a");
    box.insert(emoji); // room enough
    QCOMPARE(box.text(), "a" + emoji);
}

void tst_PlatformWindows::loadedWindowsKeepLoadOrder() {
    TestEnvironment env;
    LoadedWindows& windows = LoadedWindows::instance();
    auto* first = new QDialog;
    auto* second = new QDialog;
    windows.Register(first);
    windows.Register(second);
    windows.Register(first); // once only
    QCOMPARE(windows.Forms(), (QList<QWidget*>{first, second}));
    QCOMPARE(LoadedWindows::Name(first), QString("QDialog"));
    windows.Forget(second);
    QCOMPARE(windows.Forms(), QList<QWidget*>{first});
    delete second;
    QVERIFY(windows.Unload(first));
    QCOMPARE(windows.Count(), 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void tst_PlatformWindows::aWindowThatRefusesStaysLoaded() {
    TestEnvironment env;
    auto* window = new BusyWindow;
    LoadedWindows::instance().Register(window);
    window->show();
    QVERIFY(!LoadedWindows::instance().Unload(window));
    QVERIFY(LoadedWindows::instance().IsLoaded(window));
    QVERIFY(window->isVisible());
    window->busy = false;
    QVERIFY(LoadedWindows::instance().Unload(window));
    QVERIFY(!LoadedWindows::instance().IsLoaded(window));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void tst_PlatformWindows::pointerComesBackOnEveryWayOut() {
    const auto work = [](bool fail) {
        MousePointer hourglass;
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        {
            MousePointer arrow(MousePointer::ArrowHourglass);
            QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::BusyCursor);
        }
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        if (fail)
            return;
    };
    work(true);
    QVERIFY(!QGuiApplication::overrideCursor());
    work(false);
    QVERIFY(!QGuiApplication::overrideCursor());
}

QTEST_MAIN(tst_PlatformWindows)
#include "tst_PlatformWindows.moc"
