#pragma once

#include <QStringList>

// One user action on the shared connection, as the editors hand it to their engines, named by words so
// that another process can run the same one: "attach AREA CHART PARENTLEVEL PARENTCODE CHILDLEVEL
// CHILDCODE" (a child code saved under a parent code), "detach" with the same words (the child code
// selected and deleted), "range CHART LEVEL CODE FROM TO" (an account range saved under an account level
// code) and "unrange" with the same words (the range selected and deleted).
namespace UserActions {

// True when the action saved (or deleted); false when it was refused or failed.
bool Run(const QStringList& action);

} // namespace UserActions
