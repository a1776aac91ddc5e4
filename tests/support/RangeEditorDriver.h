#pragma once
#include "frame/frmMain.h"
#include "frame/modMain.h"
#include "platform/EntryBox.h"
#include "rangemaint/frmRangeMaintenance.h"
#include "services/MaintTree.h"
#include "services/TreeNode.h"
#include "services/clsGenericMaint.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QTest>
#include <functional>

// The range editor of maintenance type `type` (1 multiplier ... 5 business area), opened from the main
// window's Maintenance menu as a user opens it; the main window is started on first use.
inline frmRangeMaintenance* openRangeEditor(int type) {
    if (!gMainForm)
        Main();
    const char* items[] = {"",
                           "mnuMultiplierRangeMaint",
                           "mnuCategoriesRangeMaint",
                           "mnuLevelRangeMaint",
                           "mnuBURangeMaint",
                           "mnuBARangeMaint"};
    gMainForm->Command(items[type])->trigger();
    gMainForm->ChildWindows().last()->resize(900, 700);
    return qobject_cast<frmRangeMaintenance*>(gMainForm->ChildWindows().last()->widget());
}

// The node at "chart|level|code|from|to" (the level left empty in types 1 and 2); "" is the root.
inline TreeNode* rangeNodeAt(frmRangeMaintenance* f, const QString& path) {
    if (path.isEmpty())
        return f->trvMaintenance->Nodes().front();
    const QStringList p = (path + "||||").split('|');
    return f->trvMaintenance->Node(
        clsGenericMaint::BuildLevelKey(f->strcurRoot, p[0], p[1], p[2], p[3], p[4]));
}

// The main window's New, Save and Delete commands as "1" (on) and "0" (off).
inline QString editCommandStates() {
    QString s;
    for (const char* c : {"mnuNew", "mnuSave", "mnuDelete"})
        s += gMainForm->Command(c)->isEnabled() ? '1' : '0';
    return s;
}

// The key parts the editor acts on: "chart|level|code|from|to".
inline QString editorKeyParts(const frmRangeMaintenance* f) {
    return QStringList{f->m_COA, f->m_level, f->m_Code, f->m_FR_ACCT, f->m_TO_ACCT}.join('|');
}

// What the entry panel shows: "chart|level|code|description|from|to".
inline QString editorFields(const frmRangeMaintenance* f) {
    const int i = f->FieldsIndex();
    return QStringList{f->txtChartOfAccount[i]->text(), f->txtLevel->text(),
                       f->txtcodCat[i]->text(),         f->lblCodCatDesc[i]->text(),
                       f->txtRangAccountFr[i]->text(),  f->txtRangAccountTo[i]->text()}
        .join('|');
}

// Where the node at `path` shows, scrolled into view.
inline QPoint pointOf(frmRangeMaintenance* f, const QString& path) {
    f->trvMaintenance->EnsureVisible(rangeNodeAt(f, path));
    return f->trvMaintenance->visualRect(f->trvMaintenance->Model()->indexFromNode(rangeNodeAt(f, path)))
        .center();
}

// Presses on the range at `from`, drags it by the distance a drag needs over `to`, where `over` looks at
// the tree, and drops it there.
inline void drag(frmRangeMaintenance* f, const QString& from, const QString& to,
                 const std::function<void()>& over = {}) {
    const QPoint start = pointOf(f, from);
    f->trvMaintenance_MouseDown(Qt::LeftButton, {}, start);
    f->trvMaintenance_MouseMove(Qt::LeftButton, {}, start + QPoint(QApplication::startDragDistance(), 0));
    QVERIFY(f->trvMaintenance->Dragging());
    f->trvMaintenance_DragOver(pointOf(f, to), MaintTree::DragOverTree);
    if (over)
        over();
    f->trvMaintenance_DragDrop(pointOf(f, to));
    f->trvMaintenance->CancelDrag();
}
