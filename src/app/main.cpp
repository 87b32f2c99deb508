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
#include "VersionAgent.h"
#include "Waiter.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTextStream>
#include <cstdio>

namespace {
// The stand-in schemas of an installed program, beside its demo files ("/usr/share/rapo").
QString installedDataDirectory() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../share/rapo");
}

// The demo site needs the schemas its reports are validated against; an installed program
// brings stand-ins, which a program directory that has its own keeps.
void copyStandInSchemas(const QString &programDirectory) {
    const QDir installed(installedDataDirectory());
    for (const QString &schema : installed.entryList({QStringLiteral("*.xsd")}, QDir::Files)) {
        const QString target = programDirectory + schema;
        if (!QFile::exists(target))
            QFile::copy(installed.filePath(schema), target);
    }
}

// The program's own jobs that need no window: creating an embedded database, empty or with
// the demo site's host data.
int createDatabase(const QString &option, const ProgramArguments &arguments,
                   const QString &programDirectory) {
    const QString alias = arguments.options.value(option).value(0);
    if (alias.isEmpty()) {
        std::fprintf(stderr, "Uporaba: rapo %s ALIAS\n", qPrintable(option));
        return 1;
    }
    // A program directory named by RAPO_HOME may not exist yet.
    QDir().mkpath(programDirectory);
    try {
        if (option == QLatin1String("--create-demo")) {
            DemoSite::create(alias, programDirectory);
            copyStandInSchemas(programDirectory);
        } else
            Database::createEmbedded(alias, programDirectory);
    } catch (const RapoError &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
    std::printf("%s\n", qPrintable(Database(alias, {}, {}, programDirectory).embeddedPath()));
    return 0;
}
// The program directory of a run without a window; what there is to say goes to standard error.
QString headlessProgramDirectory() {
    const ProgramDirectory::Resolution directory = ProgramDirectory::resolve();
    if (!directory.notice.isEmpty())
        std::fprintf(stderr, "%s\n", qPrintable(directory.notice));
    return directory.path;
}
} // namespace

int main(int argc, char *argv[]) {
#ifdef Q_OS_UNIX
    // Without TZ the C library looks at the time-zone file again for every local time; the
    // working set converts several per row. The same zone, named, is read once.
    if (!qEnvironmentVariableIsSet("TZ"))
        qputenv("TZ", ":/etc/localtime");
#endif
    QStringList commandLine;
    for (int i = 1; i < argc; ++i)
        commandLine << QString::fromLocal8Bit(argv[i]);
    const ProgramArguments arguments = ProgramArguments::parse(commandLine);
    if (arguments.hasOption(QStringLiteral("--version"))) {
        std::printf("RAPO v%s\n", qPrintable(VersionAgent().FileVersion));
        return 0;
    }
    for (const QString &option : {QStringLiteral("--create-db"), QStringLiteral("--create-demo")}) {
        if (arguments.hasOption(option)) {
            const QCoreApplication app(argc, argv);
            return createDatabase(option, arguments, headlessProgramDirectory());
        }
    }

    if (DailyReport::wanted(arguments)) {
        const QCoreApplication app(argc, argv);
        QTextStream out(stdout);
        QTextStream err(stderr);
        SystemClock clock;
        EventLoopWaiter waiter;
        return DailyReport::run(arguments, headlessProgramDirectory(), clock, waiter, out, err);
    }

    QApplication app(argc, argv);
    const ProgramDirectory::Resolution directory = ProgramDirectory::resolve();
    const QString &programDirectory = directory.path;

    DataModule dataModule(arguments.login(), programDirectory);
    MessageBoxPrompter prompter;
    SystemClock clock;
    EventLoopWaiter waiter;
    MainWindow window(dataModule, prompter, clock, waiter, programDirectory);
    prompter.setParent(&window);
    if (!directory.notice.isEmpty())
        prompter.information(directory.notice);
    window.start();
    if (!window.terminating())
        window.show();
    return app.exec();
}
