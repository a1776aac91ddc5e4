#include "codemaint/frmCodeMaintenance.h"
#include "frame/ModMaintenance.h"
#include "platform/UserDialogs.h"
#include "support/CodeEditors.h"
#include "support/RangeEditorDriver.h"
#include "support/TestEnvironment.h"
#include "support/Warehouse.h"

#include <QApplication>
#include <QMap>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QWindow>
#include <algorithm>

namespace {

// An editor ("range 3", "code 1") opened from the menu, its window in front with the keyboard.
MaintenanceWindow* openEditor(const QString& which) {
    if (!gMainForm)
        Main();
    const int type = which.section(' ', 1).toInt();
    MaintenanceWindow* f = which.startsWith("range") ? static_cast<MaintenanceWindow*>(openRangeEditor(type))
                                                     : OpenCodeEditor(type);
    // The welcome window that the start shows would take the keyboard.
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != gMainForm && w->isVisible())
            w->close();
    gMainForm->activateWindow();
    return QTest::qWaitForWindowActive(gMainForm) ? f : nullptr;
}

// A left click on a node's text, or on its expand button.
void click(MaintTree& tree, TreeNode* node, bool button = false) {
    tree.EnsureVisible(node);
    const QRect r = tree.visualRect(tree.Model()->indexFromNode(node));
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {},
                      button ? QPoint(r.left() - tree.indentation() / 2, r.center().y()) : r.center());
}

// What the editor shows and acts on: node type, the texts of its entry panel, New, Save and Delete.
QString editorState(MaintenanceWindow* f) {
    QStringList s{QString::number(gNodeType), editCommandStates()};
    for (QWidget* w : f->EntryScroller()->widget()->findChildren<QWidget*>())
        if (w->isVisibleTo(f))
            s << w->property("text").toString();
    return s.join('|');
}

// The program's own message boxes, each answered by a click on the button named in turn, as the user
// answers them; what they asked is kept.
class BoxClicker : public QObject {
public:
    BoxClicker() {
        UserDialogs::setResponder(nullptr);
        connect(&m_timer, &QTimer::timeout, this, &BoxClicker::answer);
        m_timer.start(5);
    }
    QStringList buttons;
    QStringList prompts;

private:
    void answer() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible() || m_answered == box)
            return;
        m_answered = box;
        prompts << box->text().trimmed();
        const QString wanted = buttons.isEmpty() ? QString() : buttons.takeFirst();
        for (QAbstractButton* b : box->buttons())
            if (b->text().remove('&') == wanted || (wanted.isEmpty() && b == box->escapeButton()))
                QTest::mouseClick(b, Qt::LeftButton);
    }
    QTimer m_timer;
    QPointer<QMessageBox> m_answered;
};

// What the X11 platform does with a press in a window that has not the focus: it asks for the window's
// activation, which arrives a moment later. The offscreen platform leaves the windows as they are.
class ClickActivates : public QObject {
public:
    ClickActivates() { qApp->installEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::MouseButtonPress || !event->spontaneous())
            return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        QWindow* window = widget ? widget->window()->windowHandle() : qobject_cast<QWindow*>(watched);
        if (window && window != QGuiApplication::focusWindow())
            window->requestActivate();
        return false;
    }
};

// Counts the activations a window receives.
class ActivationCounter : public QObject {
public:
    ActivationCounter(QWidget* window, int& count) : m_window(window), m_count(count) {
        window->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_window && event->type() == QEvent::WindowActivate)
            ++m_count;
        return false;
    }

private:
    QWidget* m_window;
    int& m_count;
};

// Every node's text with its selection, in tree order.
QString treeText(MaintTree& tree) {
    QStringList texts;
    for (const TreeNode* node : tree.Nodes())
        texts << node->Text() + (node == tree.SelectedItem() ? "*" : "");
    return texts.join(',');
}

void pressToolbar(const char* key) {
    QTest::mouseClick(gMainForm->Toolbar1->widgetForAction(gMainForm->ToolbarButton(key)), Qt::LeftButton);
}

// Drags the handle between the panes to `x` of the panes and lets it go.
void dragHandle(QSplitter* panes, int x) {
    QSplitterHandle* handle = panes->handle(1);
    const QPoint grip = handle->rect().center();
    QTest::mousePress(handle, Qt::LeftButton, {}, grip);
    const QPoint to = handle->mapFrom(panes, QPoint(x, handle->y() + grip.y()));
    QTest::mouseMove(handle, to);
    QTest::mouseRelease(handle, Qt::LeftButton, {}, to);
}

// Where each box shown stands across the entry panel, once the panel is laid out.
QMap<const QWidget*, int> boxColumns(MaintenanceWindow* f) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QWidget* panel = f->EntryScroller()->widget();
    QMap<const QWidget*, int> at;
    for (const QLineEdit* box : panel->findChildren<QLineEdit*>())
        if (box->isVisibleTo(f))
            at.insert(box, box->mapTo(panel, QPoint(0, 0)).x());
    return at;
}

// Rows anywhere in the warehouse's range tables that hold the range from `from`.
int rowsFrom(Warehouse& w, const QString& from) {
    int n = 0;
    for (const char* t : {"CS_COA_ACCT_RANGE where CO_FR_ACCT", "CS_MULTIPLIER_RANGE where MUL_FR_ACCT",
                          "CS_CAT_TYPE where CAT_FR_ACCT"})
        n += w.scalar(QString("select count(*) from %1 = '%2'").arg(t, from)).toInt();
    return n;
}

} // namespace

class tst_EditorLayout : public QObject {
    Q_OBJECT
private slots:
    void init() { m_env = std::make_unique<TestEnvironment>(); }
    void cleanup() { m_env.reset(); }
    void atEveryWindowSize_data();
    void atEveryWindowSize();
    void keysAndCollapseInTheTree_data();
    void keysAndCollapseInTheTree();
    void aClickActsInTheEditorClicked_data();
    void aClickActsInTheEditorClicked();
    void aCommandActsInTheEditorInFront_data();
    void aCommandActsInTheEditorInFront();
    void aClickTakesTheKeyboardWithoutActivation_data();
    void aClickTakesTheKeyboardWithoutActivation();

private:
    std::unique_ptr<TestEnvironment> m_env;
};

// Maximised, tiled and in a small main window: no pane squeezed below what it needs (the window and the
// entry panel scroll instead, and the handle between them stops there), the frame as wide as the pane, Tab
// through the panel row by row with a row's boxes before its buttons and on round the window, a click that
// leaves the panel in place, and the read-only boxes so shown.
void tst_EditorLayout::atEveryWindowSize_data() {
    QTest::addColumn<QString>("editor");
    QTest::addColumn<QSize>("size");
    for (const char* editor : {"range 1", "range 3", "range 5", "code 2", "code 4"})
        for (const QSize size : {QSize(1392, 800), QSize(466, 800), QSize(1392, 265), QSize(260, 140)})
            QTest::addRow("%s %dx%d", editor, size.width(), size.height()) << QString(editor) << size;
}

void tst_EditorLayout::atEveryWindowSize() {
    QFETCH(QString, editor);
    QFETCH(QSize, size);
    MaintenanceWindow* f = openEditor(editor);
    QVERIFY(f);
    QWidget* panel = f->EntryScroller()->widget();
    for (QWidget* w : panel->findChildren<QWidget*>()) // every field of both frames
        w->show();
    f->parentWidget()->resize(size);
    QTest::qWait(20);
    QWidget* viewport = f->EntryScroller()->viewport();
    for (QWidget* content : {f->TreePane(), static_cast<QWidget*>(f->Panes()), panel})
        QVERIFY(content->width() >= content->minimumSizeHint().width());
    QWidget* frame = panel->childAt(panel->width() / 2, f->Twips(600));
    QVERIFY(size.width() < 1000 || (frame && frame->width() > viewport->width() * 9 / 10));
    const auto row = [panel](const QWidget* w) { return w->mapTo(panel, w->rect().center()).y(); };
    const auto isButton = [](const QWidget* w) { return qobject_cast<const QPushButton*>(w) != nullptr; };
    QList<QWidget*> passed;
    for (QWidget* w = panel->findChild<QLineEdit*>(); w && panel->isAncestorOf(w);
         w = QApplication::focusWidget()) {
        if (!passed.isEmpty()) {
            const int down = row(w) - row(passed.last());
            QVERIFY(down > -4 && (down > 4 || isButton(w) || !isButton(passed.last())));
        }
        // The control Tab reaches comes wholly into sight.
        const QRect seen(w->mapTo(viewport, QPoint(0, 0)), w->size());
        QVERIFY(passed.isEmpty() || viewport->rect().contains(seen) ||
                !viewport->rect().contains(QRect(QPoint(0, 0), w->size())));
        passed << w;
        w->setFocus();
        QTest::keyClick(gMainForm->windowHandle(), Qt::Key_Tab);
    }
    QVERIFY(passed.size() >= 16);
    // From the panel's last control Tab goes round to the first of the window, stopping on no frame.
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f->TxtFilterAccount));
    // A click on a control with only its top in sight leaves the panel where it is, so the row clicked
    // stays under the pointer.
    QWidget* clicked =
        *std::find_if(passed.rbegin(), passed.rend(), [&](QWidget* w) { return !isButton(w); });
    QScrollBar* bar = f->EntryScroller()->verticalScrollBar();
    bar->setValue(clicked->mapTo(panel, QPoint(0, 0)).y() - viewport->height() + 4);
    const int scrolled = bar->value();
    const QPoint at = clicked->mapTo(viewport, QPoint(clicked->width() / 2, 2));
    QWidget* under = viewport->childAt(at);
    QVERIFY(under);
    QTest::mouseClick(under, Qt::LeftButton, {}, under->mapFrom(viewport, at));
    QCOMPARE(bar->value(), scrolled);
    for (const QLineEdit* box : panel->findChildren<QLineEdit*>())
        QCOMPARE(box->palette().color(QPalette::Base) == box->palette().color(QPalette::Window),
                 box->isReadOnly());
    // The handle dragged as far as it goes either way leaves each pane what it needs.
    for (const int x : {0, f->Panes()->width()}) {
        dragHandle(f->Panes(), x);
        QVERIFY(f->TreePane()->width() >= f->TreePane()->minimumSizeHint().width());
        QVERIFY(f->EntryScroller()->width() >= f->EntryScroller()->minimumWidth());
    }
}

// After a click on a node (which may refill the account list) the keyboard stays in the tree, and the
// Delete key deletes the node. A collapse that hides the selection selects the collapsed node as a click on
// it does, and New there gives the focus to the box to fill: typed in, or filled only by a lookup. The boxes
// shown for both nodes stand where they stood: the captions of the rows hidden keep their width.
void tst_EditorLayout::keysAndCollapseInTheTree_data() {
    Warehouse::addColumns<QString>("editor");
    for (const char* column : {"deleted", "hidden", "collapsed"})
        QTest::addColumn<QString>(column);
    QTest::addColumn<bool>("typed");
    const QString l3 = "CORP|L3|111|111";
    Warehouse::addRows("level range", QString("range 3"), l3 + "100|111199", l3 + "200|111299",
                       QString("CORP|L3|111"), true);
    Warehouse::addRows("level range in its level", QString("range 3"), l3 + "100|111199", l3 + "200|111299",
                       QString("CORP|L3"), false);
    Warehouse::addRows("multiplier range", QString("range 1"), QString("CORP||MFX|111100|111199"),
                       QString("CORP||MFX|111200|111299"), QString("CORP||MFX"), true);
    Warehouse::addRows("level child", QString("code 3"), QString("CORP,L2,11,111"), QString("CORP,L2,11,112"),
                       QString("CORP,L2,11"), false);
}

void tst_EditorLayout::keysAndCollapseInTheTree() {
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(QString, editor);
    QFETCH(QString, deleted);
    QFETCH(QString, hidden);
    QFETCH(QString, collapsed);
    QFETCH(bool, typed);
    MaintenanceWindow* f = openEditor(editor);
    QVERIFY(f);
    MaintTree& tree = *f->trvMaintenance;
    const auto nodeAt = [f](const QString& path) {
        auto* r = qobject_cast<frmRangeMaintenance*>(f);
        return r ? rangeNodeAt(r, path) : CodeNode(*qobject_cast<frmCodeMaintenance*>(f), path);
    };
    click(tree, nodeAt(deleted));
    QCOMPARE(QApplication::focusWidget(), &tree);
    m_env->ui.answers = {vbYes};
    QTest::keyClick(gMainForm->windowHandle(), Qt::Key_Delete);
    QVERIFY(!nodeAt(deleted) && QApplication::focusWidget() == &tree);

    TreeNode* parent = nodeAt(collapsed);
    click(tree, nodeAt(hidden));
    const QMap<const QWidget*, int> below = boxColumns(f);
    click(tree, parent);
    const QString clicked = editorState(f);
    const QMap<const QWidget*, int> above = boxColumns(f);
    QVERIFY(!above.isEmpty());
    for (auto it = above.begin(); it != above.end(); ++it)
        QCOMPARE(below.value(it.key(), it.value()), it.value());
    click(tree, nodeAt(hidden));
    click(tree, parent, true);
    QVERIFY(!parent->Expanded() && tree.SelectedItem() == parent);
    QCOMPARE(editorState(f), clicked);
    f->Insert();
    auto* box = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(box && f->EntryScroller()->widget()->isAncestorOf(box));
    const QString before = box->text();
    QTest::keyClick(gMainForm->windowHandle(), Qt::Key_4);
    QCOMPARE(box->text(), typed ? before + "4" : before);
    QCOMPARE(m_env->prompts(), QStringList{"Do you want to delete selected item?"});
}

// With the main window inactive (after a box, or with another window in front), a click on a node of another
// holder or level, which refills the account list, leaves the editor clicked in front with the keyboard in
// its tree, whatever editor was in front before: the Delete key (or the toolbar's Delete) asks about and
// deletes the node clicked, and the ranges selected in the other editors stay.
void tst_EditorLayout::aClickActsInTheEditorClicked_data() {
    Warehouse::addColumns<QStringList>("others"); // editor;node clicked there, opened in this order
    for (const char* column : {"editor", "holder", "target", "before"})
        QTest::addColumn<QString>(column);
    const QString l3 = "range 3;CORP|L3|111|111100|111199", mfx = "range 1;CORP||MFX|111100|111199",
                  cura = "range 2;CORP||CURA|111100|111199", msign = "CORP||MSIGN|131100|131199";
    for (const char* before : {"save", "delete", "window"}) {
        const QString b(before);
        Warehouse::addRows("multiplier over level, " + b, QStringList{l3}, QString("range 1"),
                           QString("CORP||MTHOU"), msign, b);
        Warehouse::addRows("level over multiplier, " + b, QStringList{mfx}, QString("range 3"),
                           QString("CORP|L3|131"), QString("CORP|L2|13|131100|131199"), b);
        Warehouse::addRows("multiplier over categories and level, " + b, QStringList{cura, l3},
                           QString("range 1"), QString("CORP||MTHOU"), msign, b);
        Warehouse::addRows("multiplier alone, " + b, QStringList{}, QString("range 1"),
                           QString("CORP||MTHOU"), msign, b);
    }
}

void tst_EditorLayout::aClickActsInTheEditorClicked() {
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(QStringList, others);
    QFETCH(QString, editor);
    QFETCH(QString, holder);
    QFETCH(QString, target);
    QFETCH(QString, before);
    ClickActivates activation;
    BoxClicker boxes;
    int otherRows = 0;
    for (const QString& other : others) {
        auto* o = qobject_cast<frmRangeMaintenance*>(openEditor(other.section(';', 0, 0)));
        QVERIFY(o);
        click(*o->trvMaintenance, rangeNodeAt(o, other.section(';', 1)));
        otherRows += rowsFrom(w, other.section('|', 3, 3));
    }
    auto* f = qobject_cast<frmRangeMaintenance*>(openEditor(editor));
    QVERIFY(f);
    MaintTree& tree = *f->trvMaintenance;
    click(tree, rangeNodeAt(f, holder));
    QStringList asked;
    QWidget elsewhere; // another program's window
    if (before == "window") {
        elsewhere.show();
        elsewhere.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&elsewhere));
    } else {
        pressToolbar("insert");
        QTest::keyClicks(QApplication::focusWidget(), "999000");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClicks(QApplication::focusWidget(), "999001");
        boxes.buttons = {"OK"};
        pressToolbar("save");
        asked << "It's not a valid 'Account From'";
        const QString saved = holder + "|999000|999001";
        QVERIFY(rangeNodeAt(f, saved));
        if (before == "delete") {
            click(tree, rangeNodeAt(f, saved));
            boxes.buttons = {"Yes"};
            QTest::keyClick(gMainForm->windowHandle(), Qt::Key_Delete);
            asked << "Do you want to delete selected item?";
            QVERIFY(!rangeNodeAt(f, saved));
        }
    }
    QVERIFY(!gMainForm->isActiveWindow());
    click(tree, rangeNodeAt(f, target));
    QCOMPARE(gMainForm->ActiveEditor(), f);
    QCOMPARE(QApplication::focusWidget(), &tree);
    boxes.buttons = {"Yes"};
    if (before == "window")
        pressToolbar("delete");
    else
        QTest::keyClick(gMainForm->windowHandle(), Qt::Key_Delete);
    asked << "Do you want to delete selected item?";
    QCOMPARE(boxes.prompts, asked);
    QVERIFY(!rangeNodeAt(f, target));
    int stayed = 0;
    for (const QString& other : others)
        stayed += rowsFrom(w, other.section('|', 3, 3));
    QCOMPARE(stayed, otherRows);
}

// A Save and a Delete answered in a box leave the main window inactive, and the Delete's new selection hides
// the box that held the keyboard (the box of the entry just deleted). The next click on the toolbar activates
// the window: the editor in front keeps the keyboard, in its tree, and the toolbar's Delete acts on it, not
// on the editor behind, whose first control would come next after the hidden box.
void tst_EditorLayout::aCommandActsInTheEditorInFront_data() {
    Warehouse::addColumns<QString>("other"); // editor;node selected there, opened first
    for (const char* column : {"editor", "holder", "entry", "saved"})
        QTest::addColumn<QString>(column);
    const QString l3 = "range 3;CORP|L3|111|111100|111199";
    Warehouse::addRows("multiplier range editor, the multiplier's box", l3, QString("range 1"),
                       QString("RETL"), QString("MFX"), QString("RETL||MFX"));
    Warehouse::addRows("level code editor, the child's boxes", l3, QString("code 3"), QString("CORP,L1,9"),
                       QString("11"), QString("CORP,L1,9,11"));
}

void tst_EditorLayout::aCommandActsInTheEditorInFront() {
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(QString, other);
    QFETCH(QString, editor);
    QFETCH(QString, holder);
    QFETCH(QString, entry);
    QFETCH(QString, saved);
    ClickActivates activation;
    BoxClicker boxes;
    auto* behind = qobject_cast<frmRangeMaintenance*>(openEditor(other.section(';', 0, 0)));
    QVERIFY(behind);
    click(*behind->trvMaintenance, rangeNodeAt(behind, other.section(';', 1)));
    const int behindRows = rowsFrom(w, other.section('|', 3, 3));
    MaintenanceWindow* f = openEditor(editor);
    QVERIFY(f);
    auto* range = qobject_cast<frmRangeMaintenance*>(f);
    auto* code = qobject_cast<frmCodeMaintenance*>(f);
    const auto nodeAt = [&](const QString& path) {
        return range ? rangeNodeAt(range, path) : CodeNode(*code, path);
    };
    MaintTree& tree = *f->trvMaintenance;
    click(tree, nodeAt(holder));
    pressToolbar("insert");
    // As the lookup button fills it.
    (range ? range->txtcodCat[0] : code->txtChildCode)->setText(entry);
    pressToolbar("save");
    QVERIFY(nodeAt(saved));
    QWidget* typedIn = QApplication::focusWidget();
    QVERIFY(typedIn && f->isAncestorOf(typedIn));
    boxes.buttons = {"Yes"};
    pressToolbar("delete");
    QVERIFY(!nodeAt(saved) && typedIn->isHidden());
    QVERIFY(!gMainForm->isActiveWindow());
    // The button comes up a moment after it went down, as the user's does: the activation is there by then.
    boxes.buttons = {"No"};
    QWidget* button = gMainForm->Toolbar1->widgetForAction(gMainForm->ToolbarButton("delete"));
    QTest::mousePress(button, Qt::LeftButton);
    QTest::qWait(50);
    QCOMPARE(gMainForm->ActiveEditor(), static_cast<MaintenanceEditor*>(f));
    QCOMPARE(QApplication::focusWidget(), &tree);
    QTest::mouseRelease(button, Qt::LeftButton);
    const QString asked = "Do you want to delete selected item?";
    QTRY_COMPARE(boxes.prompts, (QStringList{asked, asked}));
    QVERIFY(rangeNodeAt(behind, other.section(';', 1)) && nodeAt(holder));
    QCOMPARE(rowsFrom(w, other.section('|', 3, 3)), behindRows);
}

// Without a window manager the main window is never activated, so nothing hands the keyboard on when the
// user clicks into another editor after a message box. The click that selects a range under another holder
// (which refills the account list) makes its editor the one in front, and the keys go to its tree: Down
// moves its selection and Delete asks about and deletes the range there, whatever editors are open and in
// whichever order they were opened; the ranges of the others stay.
void tst_EditorLayout::aClickTakesTheKeyboardWithoutActivation_data() {
    // The editors in the order opened; in `boxIn` a range deleted (the box answered Yes); in `clickIn` a
    // range selected before, the range clicked after the box and the range below it.
    Warehouse::addColumns<QStringList>("editors");
    QTest::addColumn<int>("boxIn");
    QTest::addColumn<QString>("deleted");
    QTest::addColumn<int>("clickIn");
    for (const char* column : {"before", "target", "next"})
        QTest::addColumn<QString>(column);
    const QString l3 = "range 3", mfx = "range 1", cat = "range 2";
    const QString levelRange = "CORP|L3|111|111200|111299", multiplierRange = "CORP||MFX|111200|111299";
    const QStringList msign{"CORP||MFX|111100|111199", "CORP||MSIGN|121200|121299",
                            "CORP||MSIGN|121300|121399"};
    const QStringList l3Other{"CORP|L3|111|111100|111199", "CORP|L3|121|121100|121199",
                              "CORP|L3|121|121200|121299"};
    Warehouse::addRows("level, then multiplier clicked", QStringList{l3, mfx}, 0, levelRange, 1, msign[0],
                       msign[1], msign[2]);
    Warehouse::addRows("multiplier, then level clicked", QStringList{mfx, l3}, 0, multiplierRange, 1,
                       l3Other[0], l3Other[1], l3Other[2]);
    Warehouse::addRows("level, categories, then multiplier clicked", QStringList{l3, cat, mfx}, 0, levelRange,
                       2, msign[0], msign[1], msign[2]);
    Warehouse::addRows("multiplier, categories, then level clicked", QStringList{mfx, cat, l3}, 0,
                       multiplierRange, 2, l3Other[0], l3Other[1], l3Other[2]);
    Warehouse::addRows("multiplier clicked, then level", QStringList{mfx, l3}, 1, levelRange, 0, msign[0],
                       msign[1], msign[2]);
    Warehouse::addRows("level clicked, categories, then multiplier", QStringList{l3, cat, mfx}, 2,
                       multiplierRange, 0, l3Other[0], l3Other[1], l3Other[2]);
}

void tst_EditorLayout::aClickTakesTheKeyboardWithoutActivation() {
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(QStringList, editors);
    QFETCH(int, boxIn);
    QFETCH(QString, deleted);
    QFETCH(int, clickIn);
    QFETCH(QString, before);
    QFETCH(QString, target);
    QFETCH(QString, next);
    Main();
    // The welcome window takes the activation the main window's show gave it; closed, it gives it to nothing.
    QCoreApplication::processEvents();
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window != gMainForm && window->isVisible())
            window->close();
    QCoreApplication::processEvents();
    QVERIFY(!gMainForm->isActiveWindow());
    int activations = 0;
    ActivationCounter counter(gMainForm, activations);
    QList<frmRangeMaintenance*> opened;
    for (const QString& editor : editors)
        opened << openRangeEditor(editor.section(' ', 1).toInt());
    gMainForm->mnuWindowTileVertical_Click();
    frmRangeMaintenance* boxed = opened[boxIn];
    frmRangeMaintenance* clicked = opened[clickIn];
    BoxClicker boxes;
    click(*clicked->trvMaintenance, rangeNodeAt(clicked, before));
    click(*boxed->trvMaintenance, rangeNodeAt(boxed, deleted));
    QCOMPARE(gMainForm->ActiveEditor(), static_cast<MaintenanceEditor*>(boxed));
    boxes.buttons = {"Yes"};
    QTest::keyClick(gMainForm->windowHandle(), Qt::Key_Delete);
    QTRY_COMPARE(boxes.prompts.size(), 1);
    QVERIFY(!rangeNodeAt(boxed, deleted));
    QStringList kept;
    for (frmRangeMaintenance* f : opened)
        if (f != clicked)
            kept << treeText(*f->trvMaintenance);
    const int rowsBefore = rowsFrom(w, next.section('|', 3, 3));
    click(*clicked->trvMaintenance, rangeNodeAt(clicked, target));
    QCOMPARE(gMainForm->ActiveEditor(), static_cast<MaintenanceEditor*>(clicked));
    QTest::keyClick(gMainForm->windowHandle(), Qt::Key_Down);
    QCOMPARE(clicked->trvMaintenance->SelectedItem(), rangeNodeAt(clicked, next));
    boxes.buttons = {"Yes"};
    QTest::keyClick(gMainForm->windowHandle(), Qt::Key_Delete);
    QTRY_COMPARE(boxes.prompts.size(), 2);
    QCOMPARE(boxes.prompts.last(), QString("Do you want to delete selected item?"));
    QVERIFY(!rangeNodeAt(clicked, next) && rangeNodeAt(clicked, target));
    QVERIFY(rowsFrom(w, next.section('|', 3, 3)) < rowsBefore);
    QStringList stayed;
    for (frmRangeMaintenance* f : opened)
        if (f != clicked)
            stayed << treeText(*f->trvMaintenance);
    QCOMPARE(stayed, kept);
    QVERIFY(!gMainForm->isActiveWindow());
    QCOMPARE(activations, 0);
}

QTEST_MAIN(tst_EditorLayout)
#include "tst_EditorLayout.moc"
