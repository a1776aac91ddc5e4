#include "platform/EntryBox.h"
#include "platform/LoadedWindows.h"
#include "platform/MousePointer.h"
#include "platform/UserDialogs.h"
#include "platform/WellFormedText.h"
#include "support/TestEnvironment.h"

#include <QCloseEvent>
#include <QCursor>
#include <QDialog>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QTest>
#include <tuple>

namespace {

// A window that refuses to close while it is busy, as an editor does in the middle of its load.
class BusyWindow : public QDialog {
public:
    bool busy = true;

protected:
    void closeEvent(QCloseEvent* event) override { event->setAccepted(!busy); }
};

} // namespace

class tst_PlatformWindows : public QObject {
    Q_OBJECT
private slots:
    void entryBoxNoticesChangesAndKeepsWholeCharacters();
    void loadedWindowsKeepLoadOrderAndOneThatRefusesStays();
    void pointerComesBackOnEveryWayOut();
    void boxesWaitForTheUserUnderTheArrow();
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
    // Counted in characters, a paste in the middle loses its own end, never what stood after the cursor,
    // also where the units' limit cut it inside a pair.
    box.SetMaxCharacters(3);
    for (const auto& [pasted, kept, cursor] :
         {std::tuple<QString, QString, int>{"c" + emoji.repeated(3), "acb", 2},
          {emoji.repeated(3), "a" + emoji + "b", 3},
          {"cdefgh", "acb", 2}}) {
        box.setText("ab");
        box.setCursorPosition(1);
        box.insert(pasted);
        QCOMPARE(box.text(), kept);
        QCOMPARE(box.cursorPosition(), cursor);
    }
    // A limit lowered under the text with the cursor at its start: the characters go from the end, a pair
    // whole, and no text the box shows on the way holds half of one.
    for (const auto& [text, limit, kept] :
         {std::tuple<QString, int, QString>{"ab" + emoji + emoji, 3, "ab" + emoji},
          {"ab" + emoji + emoji, 2, "ab"},
          {"a" + emoji + "bc" + emoji, 4, "a" + emoji + "bc"},
          {emoji + "ab", 2, emoji + "a"}}) {
        box.SetMaxCharacters(-1);
        box.setText(text);
        box.setCursorPosition(0);
        QSignalSpy shown(&box, &QLineEdit::textChanged);
        box.SetMaxCharacters(limit);
        QCOMPARE(box.text(), kept);
        for (const QList<QVariant>& change : shown)
            QVERIFY2(WellFormedText::IsWellFormed(change[0].toString()), qPrintable(change[0].toString()));
    }
}

void tst_PlatformWindows::loadedWindowsKeepLoadOrderAndOneThatRefusesStays() {
    TestEnvironment env;
    LoadedWindows& windows = LoadedWindows::instance();
    auto* first = new BusyWindow;
    auto* second = new QDialog;
    windows.Register(first);
    windows.Register(second);
    windows.Register(first); // once only
    QCOMPARE(windows.Forms(), (QList<QWidget*>{first, second}));
    windows.Forget(second);
    QCOMPARE(windows.Forms(), QList<QWidget*>{first});
    delete second;
    first->show();
    QVERIFY(!windows.Unload(first));
    QVERIFY(windows.IsLoaded(first) && first->isVisible());
    first->busy = false;
    QVERIFY(windows.Unload(first));
    QCOMPARE(windows.Count(), 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Nested pointers each put back the one they replaced, down to none.
void tst_PlatformWindows::pointerComesBackOnEveryWayOut() {
    {
        MousePointer hourglass;
        {
            MousePointer arrow(MousePointer::ArrowHourglass);
            QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::BusyCursor);
        }
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    QVERIFY(!QGuiApplication::overrideCursor());
}

// Every box waits for the user under the arrow, whatever wait pointers the work behind it set, and the work's
// pointer comes back when it closes; a dialog's own work is busy under its own pointer meanwhile.
void tst_PlatformWindows::boxesWaitForTheUserUnderTheArrow() {
    TestEnvironment env;
    QList<Qt::CursorShape> busy;
    const auto note = [&busy] { busy << QGuiApplication::overrideCursor()->shape(); };
    env.ui.dialogScripts << [&](QDialog&) {
        MousePointer own;
        MsgBox("the dialog's own question");
        note();
        return int(QDialog::Accepted);
    };
    {
        MousePointer hourglass;
        MousePointer arrow(MousePointer::ArrowHourglass);
        MsgBox("Child Level cannot be blank");
        note();
        QDialog dialog;
        ShowModal(dialog);
        note();
        GetOpenFileName({"Open", QString(), {"Ini Files (*.ini)"}});
        note();
    }
    QCOMPARE(env.ui.pointers, QList<Qt::CursorShape>(4, Qt::ArrowCursor));
    QCOMPARE(busy, (QList<Qt::CursorShape>{Qt::BusyCursor, Qt::WaitCursor, Qt::BusyCursor, Qt::BusyCursor}));
    QVERIFY(!QGuiApplication::overrideCursor());
}

QTEST_MAIN(tst_PlatformWindows)
#include "tst_PlatformWindows.moc"
