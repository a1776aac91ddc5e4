#pragma once

#include "support/ScriptedResponder.h"
#include "support/TestEnvironment.h"

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
// `k`; each run starts with an empty record of messages, so the last run's stay. Each failed run must
// answer false, leave `state()` and the tree as they were, log the failure once and tell it after the
// rollback and the tree's undo, nothing twice. `afterFailure` checks more.
void failEachStatement(RangeEditorState& st, TestEnvironment& env, const std::function<QString()>& state,
                       const std::function<bool()>& act, int& k,
                       const std::function<void()>& afterFailure = {});

} // namespace RangeEngineRuns
