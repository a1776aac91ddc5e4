// Another user of the same warehouse, in a process of its own: opens the connection text given first,
// writes "ready", runs the action given by the remaining arguments (see UserActions) and writes "saved"
// or "refused", then each message it was shown on a line of its own.
#include "frame/modMain.h"
#include "platform/App.h"
#include "support/ScriptedResponder.h"
#include "support/UserActions.h"

#include <QApplication>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.size() < 2)
        return 2;
    QTemporaryDir folder;
    App::SetPath(folder.path());
    ScriptedResponder::Log shown;
    UserDialogs::setResponder(std::make_unique<ScriptedResponder>(shown));
    if (!OpenDBConecction(args.takeFirst()))
        return 3;
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    const bool saved = UserActions::Run(args);
    std::fputs(saved ? "saved\n" : "refused\n", stdout);
    for (const MessageRequest& m : shown.messages)
        std::fputs(qPrintable(m.prompt.simplified() + '\n'), stdout);
    std::fflush(stdout);
    return 0;
}
