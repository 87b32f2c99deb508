#include "Clock.h"
#include "Database.h"
#include "MessageBoxPrompter.h"
#include "ProgramArguments.h"
#include "ProgramDirectory.h"
#include "RapoError.h"
#include "TDMLB.h"
#include "TfRAPO.h"
#include "Waiter.h"

#include <QApplication>
#include <cstdio>

namespace {
// The program's own jobs that need no window: creating an embedded database.
int createDatabase(const ProgramArguments &arguments, const QString &programDirectory) {
    const QString alias = arguments.options.value(QStringLiteral("--create-db")).value(0);
    if (alias.isEmpty()) {
        std::fprintf(stderr, "Uporaba: rapo --create-db ALIAS\n");
        return 1;
    }
    try {
        Database::createEmbedded(alias, programDirectory);
    } catch (const RapoError &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
    std::printf("%s\n", qPrintable(Database(alias, {}, {}, programDirectory).embeddedPath()));
    return 0;
}
} // namespace

int main(int argc, char *argv[]) {
    QStringList commandLine;
    for (int i = 1; i < argc; ++i)
        commandLine << QString::fromLocal8Bit(argv[i]);
    const ProgramArguments arguments = ProgramArguments::parse(commandLine);
    if (arguments.hasOption(QStringLiteral("--create-db"))) {
        const QCoreApplication app(argc, argv);
        return createDatabase(arguments, ProgramDirectory::path());
    }

    QApplication app(argc, argv);
    const QString programDirectory = ProgramDirectory::path();

    TDMLB dataModule(arguments, programDirectory);
    MessageBoxPrompter prompter;
    SystemClock clock;
    EventLoopWaiter waiter;
    TfRAPO window(dataModule, prompter, clock, waiter, programDirectory);
    prompter.setParent(&window);
    window.FormCreate();
    if (!window.terminating())
        window.show();
    return app.exec();
}
