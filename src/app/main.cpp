#include "Clock.h"
#include "DailyReport.h"
#include "DataModule.h"
#include "Database.h"
#include "DemoSite.h"
#include "MainWindow.h"
#include "MessageBoxPrompter.h"
#include "ProgramArguments.h"
#include "ProgramDirectory.h"
#include "RapoError.h"
#include "Waiter.h"

#include <QApplication>
#include <QTextStream>
#include <cstdio>

namespace {
// The program's own jobs that need no window: creating an embedded database, empty or with
// the demo site's host data.
int createDatabase(const QString &option, const ProgramArguments &arguments,
                   const QString &programDirectory) {
    const QString alias = arguments.options.value(option).value(0);
    if (alias.isEmpty()) {
        std::fprintf(stderr, "Uporaba: rapo %s ALIAS\n", qPrintable(option));
        return 1;
    }
    try {
        if (option == QLatin1String("--create-demo"))
            DemoSite::create(alias, programDirectory);
        else
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
    for (const QString &option : {QStringLiteral("--create-db"), QStringLiteral("--create-demo")}) {
        if (arguments.hasOption(option)) {
            const QCoreApplication app(argc, argv);
            return createDatabase(option, arguments, ProgramDirectory::path());
        }
    }

    if (DailyReport::wanted(arguments)) {
        const QCoreApplication app(argc, argv);
        QTextStream out(stdout);
        QTextStream err(stderr);
        SystemClock clock;
        EventLoopWaiter waiter;
        return DailyReport::run(arguments, ProgramDirectory::path(), clock, waiter, out, err);
    }

    QApplication app(argc, argv);
    const QString programDirectory = ProgramDirectory::path();

    DataModule dataModule(arguments.login(), programDirectory);
    MessageBoxPrompter prompter;
    SystemClock clock;
    EventLoopWaiter waiter;
    MainWindow window(dataModule, prompter, clock, waiter, programDirectory);
    prompter.setParent(&window);
    window.start();
    if (!window.terminating())
        window.show();
    return app.exec();
}
