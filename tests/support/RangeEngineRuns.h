#pragma once

#include "support/ScriptedResponder.h"

#include <QString>
#include <functional>

class RangeEditorState;

// What the range engine tests share.
namespace RangeEngineRuns {

// `text` quoted as a SQL literal, for the test's own statements.
QString sqlText(const QString& text);

// Every node key of the editor's tree, sorted, and the selected one's.
QString treeKeys(RangeEditorState& st);

// The messages shown since the `from`-th: each after the action's transaction ended, none twice.
void toldOnceAfterTheAction(const ScriptedResponder::Log& ui, qsizetype from);

// Runs `act` with statement k failing, for k = 1, 2, ... until a run goes through, and leaves that k in
// `k`. Each failed run must answer false and leave `state()` and the tree as they were; where
// `toldAfterRollback`, its last message must have come after the rollback. `afterFailure` checks more.
void failEachStatement(RangeEditorState& st, const ScriptedResponder::Log& ui,
                       const std::function<QString()>& state, const std::function<bool()>& act,
                       bool toldAfterRollback, int& k, const std::function<void()>& afterFailure = {});

} // namespace RangeEngineRuns
