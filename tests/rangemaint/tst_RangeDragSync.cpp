#include "frame/clsDBConnection.h"
#include "frame/frmMain.h"
#include "frame/modMain.h"
#include "platform/ResourceCursor.h"
#include "rangemaint/frmRangeMaintenance.h"
#include "services/MaintTree.h"
#include "services/TreeNode.h"
#include "services/clsGenericMaint.h"
#include "support/TestEnvironment.h"
#include "support/Warehouse.h"

#include <QAction>
#include <QMdiSubWindow>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

namespace {

const QString kRange = "CORP|L4|1112|111200|111299";

frmRangeMaintenance* openEditor(const QString& type) {
    if (!gMainForm)
        Main();
    gMainForm
        ->Command(type == "1"   ? "mnuMultiplierRangeMaint"
                  : type == "2" ? "mnuCategoriesRangeMaint"
                  : type == "5" ? "mnuBARangeMaint"
                                : "mnuLevelRangeMaint")
        ->trigger();
    gMainForm->ChildWindows().last()->resize(900, 700);
    return qobject_cast<frmRangeMaintenance*>(gMainForm->ChildWindows().last()->widget());
}

// The node at "chart|level|code|from|to"; "" is the root.
TreeNode* nodeAt(frmRangeMaintenance* f, const QString& path) {
    const QStringList p = (path + "||||").split('|');
    return path.isEmpty() ? f->trvMaintenance->Nodes().front()
                          : f->trvMaintenance->Node(
                                clsGenericMaint::BuildLevelKey(f->strcurRoot, p[0], p[1], p[2], p[3], p[4]));
}

QPoint pointOf(frmRangeMaintenance* f, const QString& path) {
    f->trvMaintenance->EnsureVisible(nodeAt(f, path));
    return f->trvMaintenance->visualRect(f->trvMaintenance->Model()->indexFromNode(nodeAt(f, path))).center();
}

// What of the chart holds the range 111200-111299: codes "level|code", multipliers and categories; with
// `before`, only what was not there before.
QString holders(Warehouse& w, const QString& chart, const QStringList& before = {}) {
    QStringList rows;
    for (const char* t :
         {"CO_LEVEL, CO_CODE from CS_COA_ACCT_RANGE where CO", "MUL_CODE from CS_MULTIPLIER_RANGE where MUL",
          "CAT_TYP_CD from CS_CAT_TYPE where CAT"}) {
        const QString p = QString(t).section(' ', -1);
        rows << w.rows("select " + QString(t) + "_COA = '" + chart + "' and " + p +
                       "_FR_ACCT = '111200' and " + p + "_TO_ACCT = '111299'");
    }
    for (const QString& h : before)
        rows.removeOne(h);
    rows.sort();
    return rows.join(',');
}

// One data row per backend and entry; an entry is its name and its values, separated by ";".
void addRows(std::initializer_list<const char*> entries) {
    Warehouse::addBackendColumn();
    QTest::addColumn<QStringList>("r");
    for (const QString& b : Warehouse::backends())
        for (const char* e : entries)
            Warehouse::newRow(b, QString(e).section(';', 0, 0)) << QString(e).split(';');
}

} // namespace

class tst_RangeDragSync : public QObject {
    Q_OBJECT
private slots:
    void init() { m_env = std::make_unique<TestEnvironment>(); }
    void cleanup() { m_env.reset(); }
    void drops_data() {
        // target; what its chart gains ("" refused: tables unchanged)
        addRows({"code of another level;CORP|L3|131;EQTY,L2|13,L3|131,MSIGN",
                 "code of another chart;RETL|L4|1111;L4|1111", "own code;CORP|L4|1112;",
                 "range;CORP|L4|1111|111100|111199;", "level;CORP|L3;", "chart;RETL;", "root;;"});
    }
    void drops();
    void validDraggedNode_data() {
        // type; dragged; target; valid
        addRows({"3 own code;3;CORP|L4|1112|111200|111299;CORP|L4|1112;0",
                 "3 same code, other chart;3;CORP|L4|1112|111200|111299;RETL|L4|1112;1",
                 "3 same code, other level;3;CORP|L4|1112|111200|111299;CORP|L3|1112;1",
                 "1 own multiplier;1;CORP||MFX|111100|111199;CORP||MFX;0",
                 "2 same category, other chart;2;CORP||CURA|111100|111199;RETL||CURA;1",
                 "5 own code;5;BA|L1|1|2010|2019;BA|L1|1;0"});
    }
    void validDraggedNode();
    void autoScroll_data() {
        // pointer from the top (from the bottom when negative); scrolls up; how the drag ends
        addRows({"top band, drop;2;1;drop", "bottom band, leaving;-2;0;leave",
                 "bottom band, Escape;-2;0;escape"});
    }
    void autoScroll();
    void rightClick_data() {
        // type; node; New, Delete and Synchronize afterwards
        addRows({"root;3;;100", "chart;3;CORP;100", "level;3;CORP|L4;101", "childless code;3;CORP|L1|9;111",
                 "range;3;CORP|L4|1112|111200|111299;011", "1 multiplier;1;CORP||MFX;100",
                 "5 range;5;BA|L1|1|2010|2019;011"});
    }
    void rightClick();
    void synchronize_data() {
        // node; what CORP gains
        addRows({"level;CORP|L4;EQTY,L2|13,L3|131,MSIGN", "code;CORP|L4|1112;EQTY,L2|13,L3|131,MSIGN",
                 "range;CORP|L4|1112|111200|111299;EQTY,L2|13,L3|131,MSIGN", "placeholder only;CORP|L1|9;"});
    }
    void synchronize();
    void synchronizeBusinessArea_data() { addRows({"level;BA|L2", "code;BA|L2|21"}); }
    void synchronizeBusinessArea();

private:
    std::unique_ptr<TestEnvironment> m_env;
};

void tst_RangeDragSync::drops() {
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(QStringList, r);
    frmRangeMaintenance* f = openEditor("3");
    const QString before = w.snapshot(), chart = r[1].section('|', 0, 0);
    const QStringList held = holders(w, chart).split(',');
    const QPoint start = pointOf(f, kRange);
    // The code's only range: the drag starts once the pointer has moved far enough.
    f->trvMaintenance_MouseDown(Qt::LeftButton, {}, start);
    f->trvMaintenance_MouseMove(Qt::LeftButton, {}, start + QPoint(QApplication::startDragDistance(), 0));
    QVERIFY(f->trvMaintenance->Dragging());
    f->trvMaintenance_DragOver(pointOf(f, r[1]), MaintTree::DragOverTree);
    const bool code = nodeAt(f, r[1])->Tag() == "3";
    QCOMPARE(f->trvMaintenance->DropHighlight(), code ? nodeAt(f, r[1]) : nullptr);
    QCOMPARE(f->trvMaintenance->DragIcon().pixmap().toImage(),
             ResourceCursor::Load(code ? "dragging" : "NODRAGGING").pixmap().toImage());
    f->trvMaintenance_DragDrop(pointOf(f, r[1]));
    f->trvMaintenance->CancelDrag();
    QVERIFY(!f->trvMaintenance->DropHighlight() && nodeAt(f, kRange));
    const bool copied = !r[2].isEmpty();
    // The editor follows the destination code, so a following Delete acts on it.
    QCOMPARE(QStringList({f->m_COA, f->m_level, f->m_Code}).join('|'),
             (copied ? r[1] : kRange).section('|', 0, 2));
    QCOMPARE(f->NodeType(), copied ? 3 : 4);
    if (copied)
        QCOMPARE(holders(w, chart, held), r[2]);
    else
        QCOMPARE(w.snapshot(), before);
    QCOMPARE(m_env->ui.messages.size(), 0);
}

void tst_RangeDragSync::validDraggedNode() {
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(QStringList, r);
    QVERIFY(w.own().Execute("insert into CS_COA_ACCT_RANGE values ('CORP', 'L3', '1112', ' ', ' ')"));
    frmRangeMaintenance* f = openEditor(r[1]);
    QCOMPARE(f->validDraggedNode(nodeAt(f, r[2]), nodeAt(f, r[3])), r[4] == "1");
}

void tst_RangeDragSync::autoScroll() {
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(QStringList, r);
    frmRangeMaintenance* f = openEditor("3");
    f->trvMaintenance->SetSelectedItem(nodeAt(f, ""));
    f->CmdExpandAll_Click();
    QScrollBar* bar = f->trvMaintenance->verticalScrollBar();
    bar->setValue(bar->maximum() / 2);
    const int height = f->trvMaintenance->viewport()->height(), value = bar->value();
    const QPoint point(5, r[1].toInt() > 0 ? r[1].toInt() : height + r[1].toInt());
    f->trvMaintenance_DragOver(point, MaintTree::DragOverTree);
    QVERIFY(f->Timer1->isActive() && f->mb_DragDrop && f->mb_ScrollUp == (r[2] == "1"));
    f->Timer1_Timer();
    QCOMPARE(bar->value(), value + (r[2] == "1" ? -1 : 1));
    if (r[3] == "drop") {
        f->trvMaintenance_DragDrop(point);
    } else if (r[3] == "leave") {
        f->trvMaintenance_DragOver(QPoint(5, height + 40), MaintTree::DragLeave);
    } else {
        f->trvMaintenance->BeginDrag();
        QTest::keyClick(f->trvMaintenance, Qt::Key_Escape);
        QVERIFY(!f->trvMaintenance->Dragging());
    }
    QVERIFY(!f->Timer1->isActive() && !f->mb_DragDrop);
}

void tst_RangeDragSync::rightClick() {
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(QStringList, r);
    frmRangeMaintenance* f = openEditor(r[1]);
    const QPoint point = pointOf(f, r[2]);
    f->trvMaintenance_MouseDown(Qt::RightButton, {}, point);
    f->trvMaintenance_MouseUp(Qt::RightButton, {}, point);
    QCOMPARE(f->trvMaintenance->SelectedItem(), nodeAt(f, r[2]));
    QCOMPARE(f->NodeType(), nodeAt(f, r[2])->Tag().toInt());
    QString got;
    for (QAction* a : {gMainForm->Command("mnuNew"), gMainForm->Command("mnuDelete")})
        got += a->isEnabled() ? '1' : '0';
    QCOMPARE(got + (gMainForm->Command("mnuSubSync")->isVisible() ? '1' : '0'), r[3]);
    QVERIFY(gMainForm->mnuRightSubMenu->isVisible());
    gMainForm->mnuRightSubMenu->hide();
    // The Delete key asks only while Delete is on.
    m_env->ui.answers << vbNo;
    f->trvMaintenance_KeyDown(Qt::Key_Delete, {});
    QCOMPARE(m_env->ui.messages.size(), r[3][1] == '1' ? 1 : 0);
}

void tst_RangeDragSync::synchronize() {
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(QStringList, r);
    QVERIFY(w.own().Execute("insert into CS_LEVELHIER values ('AC', 'CORP', 'L3', '131', 'L4', '1112')"));
    frmRangeMaintenance* f = openEditor("3");
    f->trvMaintenance_NodeClick(nodeAt(f, r[1]));
    const QString before = w.snapshot();
    const QStringList held = holders(w, "CORP").split(',');
    const int nodes = f->trvMaintenance->Count();
    DbConnection& db = gDBConnection->adoConnection();
    int k = 1;
    // Statement k fails: one message, and tables and tree as before; until no statement is left to fail.
    for (;; ++k) {
        QVERIFY(k < 400);
        const qsizetype shown = m_env->ui.messages.size();
        db.FailNthStatement(k, {-7, "statement k fails", "test"});
        f->Synchronize();
        db.ClearInjectedFailures();
        if (m_env->ui.messages.size() == shown)
            break;
        QCOMPARE(m_env->ui.messages.size(), shown + 1);
        QCOMPARE(m_env->ui.messages.last().prompt, QString("statement k fails"));
        QCOMPARE(w.snapshot(), before);
        QCOMPARE(f->trvMaintenance->Count(), nodes);
    }
    QCOMPARE(holders(w, "CORP", held), r[2]);
    QCOMPARE(bool(nodeAt(f, "CORP|L3|131|111200|111299")), !r[2].isEmpty());
    QVERIFY(k > (r[2].isEmpty() ? 1 : 10));
    const QString after = w.snapshot();
    f->Synchronize();
    QCOMPARE(w.snapshot(), after);
}

void tst_RangeDragSync::synchronizeBusinessArea() {
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(QStringList, r);
    QVERIFY(w.own().Execute("insert into CS_LEVELHIER values ('BA', 'BA', 'L1', '1', 'L2', '21')"));
    frmRangeMaintenance* f = openEditor("5");
    f->trvMaintenance_NodeClick(nodeAt(f, r[1]));
    const QString parent = "select SO_FR_CD from CS_BA_BU_LEVELS where SO_AREA = 'BA' and SO_LEVELS = 'L1' "
                           "and SO_CODE = '1' and SO_FR_CD like '22%' order by SO_FR_CD";
    QCOMPARE(w.rows(parent), QStringList());
    f->Synchronize();
    QCOMPARE(w.rows(parent), (QStringList{"2210", "2220"}));
    QVERIFY(nodeAt(f, "BA|L1|1|2210|2219"));
    const QString after = w.snapshot();
    f->Synchronize();
    QCOMPARE(w.snapshot(), after);
}

QTEST_MAIN(tst_RangeDragSync)
#include "tst_RangeDragSync.moc"
