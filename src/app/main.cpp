#include "Clock.h"
#include "DailyReport.h"
#include "DataModule.h"
#include "Database.h"
#include "DemoSite.h"
#include "HostSchema.h"
#include "MainWindow.h"
#include "MessageBoxPrompter.h"
#include "ProgramArguments.h"
#include "ProgramDirectory.h"
#include "QtTranslation.h"
#include "RapoError.h"
#include "SpreadsheetCommands.h"
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
    // A site's host database is not made here: an embedded file of that name would never be
    // used, since the alias reaches the data source.
    if (option == QLatin1String("--create-db") && Database::odbcDataSourceExists(alias)) {
        QTextStream(stderr) << QStringLiteral("Napaka: ") << alias
                            << QStringLiteral(" je podatkovni vir ODBC te delovne postaje, zato "
                                              "program dela v njegovi zbirki in vgrajene zbirke "
                                              "zanj ne naredi.\nTabele programa v zbirki "
                                              "gostitelja namesti skripta, ki jo izpiše rapo "
                                              "--host-schema ORACLE (ali DB2).")
                            << Qt::endl;
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
// The install script of a host database, on standard output. Opens no database.
int printHostSchema(const ProgramArguments &arguments) {
    const QString name = arguments.options.value(QStringLiteral("--host-schema")).value(0);
    const std::optional<HostSchema::Dialect> dialect = HostSchema::dialectNamed(name);
    QTextStream err(stderr);
    if (!dialect) {
        err << QStringLiteral("Napaka: --host-schema pozna zbirki ORACLE in DB2, \"") << name
            << QStringLiteral("\" ni nobena od njiju.") << Qt::endl;
        return 1;
    }
    try {
        QTextStream(stdout) << HostSchema(*dialect).script() << Qt::flush;
    } catch (const RapoError &e) {
        err << QStringLiteral("Napaka: ") << e.message() << Qt::endl;
        return 1;
    }
    return 0;
}

// The program directory of a run without a window; what there is to say goes to standard error.
QString headlessProgramDirectory() {
    const ProgramDirectory::Resolution directory = ProgramDirectory::resolve();
    if (!directory.notice.isEmpty())
        std::fprintf(stderr, "%s\n", qPrintable(directory.notice));
    return directory.path;
}

// A command line the program cannot follow: what is wrong and the usage, exit code 1.
int usageError(const QString &message) {
    QTextStream err(stderr);
    err << QStringLiteral("Napaka: ") << message << QStringLiteral("\n\n")
        << ProgramArguments::usage() << Qt::flush;
    return 1;
}

// Without a display the window cannot open; the toolkit would abort.
bool displayMissing() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    return qEnvironmentVariableIsEmpty("DISPLAY") &&
           qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
           qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
#else
    return false;
#endif
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
    ProgramArguments arguments = ProgramArguments::parse(commandLine);
    if (!arguments.error.isEmpty())
        return usageError(arguments.error);
    if (arguments.hasOption(QStringLiteral("--help"))) {
        QTextStream(stdout) << ProgramArguments::usage() << Qt::flush;
        return 0;
    }
    if (arguments.hasOption(QStringLiteral("--version"))) {
        std::printf("RAPO v%s\n", qPrintable(VersionAgent().FileVersion));
        return 0;
    }
    if (arguments.hasOption(QStringLiteral("--host-schema")))
        return printHostSchema(arguments);
    for (const QString &option : {QStringLiteral("--create-db"), QStringLiteral("--create-demo")}) {
        if (arguments.hasOption(option)) {
            const QCoreApplication app(argc, argv);
            return createDatabase(option, arguments, headlessProgramDirectory());
        }
    }
    {
        QTextStream in(stdin);
        if (!arguments.readPasswordFrom(in)) {
            QTextStream(stderr) << QStringLiteral("Napaka: geslo \"-\" se bere iz standardnega "
                                                  "vhoda, ta pa nima nobene vrstice.")
                                << Qt::endl;
            return 1;
        }
    }

    if (SpreadsheetCommands::wanted(arguments) || DailyReport::wanted(arguments)) {
        const QCoreApplication app(argc, argv);
        QTextStream out(stdout);
        QTextStream err(stderr);
        SystemClock clock;
        EventLoopWaiter waiter;
        const QString directory = headlessProgramDirectory();
        return SpreadsheetCommands::wanted(arguments)
                   ? SpreadsheetCommands::run(arguments, directory, clock, waiter, out, err)
                   : DailyReport::run(arguments, directory, clock, waiter, out, err);
    }
    // An option never starts the window.
    if (!arguments.options.isEmpty())
        return usageError(QStringLiteral("možnost ") + arguments.options.keys().join(u' ') +
                          QStringLiteral(" ne velja brez ukaza (na primer --report)."));
    if (displayMissing()) {
        QTextStream(stderr) << QStringLiteral("Napaka: okna ni mogoče odpreti, ker ni zaslona "
                                              "(DISPLAY ni nastavljen). Brez okna tečejo ukazi "
                                              "--report, --list-reports ...; glejte rapo --help.")
                            << Qt::endl;
        return 1;
    }

    QApplication app(argc, argv);
    QtTranslation::install();
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
