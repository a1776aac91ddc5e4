#include "support/RangeEngineRuns.h"

#include "frame/clsDBConnection.h"
#include "frame/modMain.h"
#include "rangemaint/RangeEditorState.h"
#include "services/MaintTree.h"
#include "services/TreeNode.h"

#include <QTest>

namespace RangeEngineRuns {

QString sqlText(const QString& text) {
    return "'" + QString(text).replace("'", "''") + "'";
}

QString treeKeys(RangeEditorState& st) {
    QStringList keys;
    for (const TreeNode* node : st.Tree()->Nodes())
        keys << node->Key();
    keys.sort();
    const TreeNode* selected = st.Tree()->SelectedItem();
    return keys.join(',') + "#" + (selected ? selected->Key() : QString());
}

void toldOnceAfterTheAction(const ScriptedResponder::Log& ui, qsizetype from) {
    QStringList prompts;
    for (qsizetype i = from; i < ui.messages.size(); ++i) {
        QVERIFY2(!ui.inTransaction.value(i), qPrintable(ui.messages[i].prompt));
        QVERIFY2(!prompts.contains(ui.messages[i].prompt), qPrintable(ui.messages[i].prompt));
        prompts << ui.messages[i].prompt;
    }
}

void failEachStatement(RangeEditorState& st, TestEnvironment& env, const std::function<QString()>& state,
                       const std::function<bool()>& act, int& k, const std::function<void()>& afterFailure) {
    DbConnection& db = gDBConnection->adoConnection();
    const QString logged = "Error #FFFFFFF9 (statement k fails)";
    for (k = 1;; ++k) {
        QVERIFY(k < 200);
        const QString before = state();
        st.trvMaintenance_NodeClick(st.EnsureRoot());
        const QString tree = treeKeys(st);
        const qsizetype failures = env.logText().count(logged);
        env.ui.messages.clear();
        env.ui.inTransaction.clear();
        env.ui.seenBehind.clear();
        env.ui.behind = [&st] { return treeKeys(st).section('#', 0, 0); };
        db.FailNthStatement(k, {-7, "statement k fails", "test"});
        const bool done = act();
        db.ClearInjectedFailures();
        env.ui.behind = nullptr;
        if (done)
            return;
        QCOMPARE(state(), before);
        // The nodes behind each box are already as they were.
        for (const QString& behind : env.ui.seenBehind)
            QCOMPARE(behind, tree.section('#', 0, 0));
        QCOMPARE(env.logText().count(logged), failures + 1);
        // The failure is told once the action is undone: no lock waits on the user's answer.
        QVERIFY(!env.ui.messages.isEmpty());
        toldOnceAfterTheAction(env.ui, 0);
        if (afterFailure)
            afterFailure();
        st.trvMaintenance_NodeClick(st.EnsureRoot());
        QCOMPARE(treeKeys(st), tree);
    }
}

} // namespace RangeEngineRuns
