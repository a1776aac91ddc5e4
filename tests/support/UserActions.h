#pragma once

#include <QStringList>

// One user action on the shared connection, as the editors hand it to their engines, named by words so
// that another process can run the same one: "attach AREA CHART PARENTLEVEL PARENTCODE CHILDLEVEL
// CHILDCODE" (a child code saved under a parent code), "detach" with the same words (the child code
// selected and deleted), "range CHART LEVEL CODE FROM TO" (an account range saved under an account level
// code), "unrange" with the same words (the range selected and deleted), "sync CHART LEVEL CODE" (the
// code selected in an Account Level range editor and synchronised) and "code AREA LEVEL CODE DESCRIPTION"
// (a code added to CS_SOURCE in the lookup dialog).
namespace UserActions {

// True when the action saved (or deleted); false when it was refused or failed. A Synchronize answers
// nothing, so "sync" answers false: what it did shows in the tables and the messages.
bool Run(const QStringList& action);

} // namespace UserActions
