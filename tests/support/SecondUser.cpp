// Another user of the same warehouse, in a process of its own: opens the connection text given first,
// writes "ready", runs the action given by the remaining arguments (see UserActions) and writes "saved"
// or "refused", then each message it was shown on a line of its own.
#include "frame/modMain.h"
#include "support/TestEnvironment.h"
#include "support/UserActions.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    TestEnvironment env;
    if (args.size() < 2 || !OpenDBConecction(args.takeFirst()))
        return 2;
    std::puts("ready");
    std::fflush(stdout);
    std::puts(UserActions::Run(args) ? "saved" : "refused");
    for (const QString& prompt : env.prompts())
        std::puts(qPrintable(prompt.simplified()));
    return 0;
}
