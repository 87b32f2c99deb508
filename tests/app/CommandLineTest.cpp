#include "ProgramArguments.h"
#include "TempProgramDirectory.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

namespace {
struct CommandLineCase {
    const char *name;
    QStringList arguments;
    QString firstLine;            // of standard error; ending in "*": only what precedes it
    bool usage;                   // the usage follows
    QStringList environment = {}; // "NAME=value" sets, "NAME" removes; "<dir>": program directory
    friend void PrintTo(const CommandLineCase &c, std::ostream *os) { *os << c.name; }
};

class CommandLine : public ::testing::TestWithParam<CommandLineCase> {};

// Started as the scheduler would, with nothing on standard input.
TEST_P(CommandLine, ABadCommandLineSaysWhatIsWrongAndExitsWithOne) {
    const CommandLineCase &c = GetParam();
    TempProgramDirectory dir;
    dir.writeWindows1250("RAPO.ini",
                         QString::fromUtf8("[Splošno]\nPosli_VEK_Prefiks=1\nATVP_Uporabnik=A\n"));
    dir.writeWindows1250("geslo", "skrivnost\n"); // readable by others
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("RAPO_HOME", dir.path());
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    for (const QString &setting : c.environment) {
        if (setting.contains(u'='))
            environment.insert(setting.section(u'=', 0, 0),
                               setting.section(u'=', 1).replace("<dir>", dir.path()));
        else
            environment.remove(setting);
    }
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(RAPO_PROGRAM, c.arguments);
    process.closeWriteChannel();
    ASSERT_TRUE(process.waitForFinished(20000)) << "the run ended";
    const QString err = QString::fromUtf8(process.readAllStandardError());
    EXPECT_EQ(process.exitCode(), 1) << err.toStdString();
    const QString first = err.section(u'\n', 0, 0);
    if (c.firstLine.endsWith(u'*'))
        EXPECT_TRUE(first.startsWith(c.firstLine.chopped(1))) << first.toStdString();
    else
        EXPECT_EQ(first, c.firstLine);
    EXPECT_EQ(err.contains("Uporaba:"), c.usage) << err.toStdString();
    EXPECT_FALSE(err.contains("Faza 1")) << "nothing is collected";
}

const QStringList login = {"LB", "vek", "geslo"};

INSTANTIATE_TEST_SUITE_P(
    Program, CommandLine,
    ::testing::Values(
        CommandLineCase{"unknownOption",
                        login + QStringList{"--reprot", "01.04.2014", "01.04.2014"},
                        QString::fromUtf8("Napaka: neznana možnost --reprot."), true},
        CommandLineCase{"missingValue", login + QStringList{"--report", "01.04.2014"},
                        QString::fromUtf8("Napaka: možnost --report potrebuje OD DO."), true},
        CommandLineCase{"hostSchemaWithoutHost",
                        {"--host-schema"},
                        QString::fromUtf8("Napaka: možnost --host-schema potrebuje ORACLE|DB2."),
                        true},
        CommandLineCase{"hostSchemaOfAnUnknownHost",
                        {"--host-schema", "MSSQL"},
                        "Napaka: --host-schema pozna zbirki ORACLE in DB2, \"MSSQL\" ni nobena "
                        "od njiju.",
                        false},
        CommandLineCase{"anOptionIsNoValue",
                        login + QStringList{"--list-reports", "--sign", "01.04.2014"},
                        QString::fromUtf8("Napaka: možnost --list-reports potrebuje OD DO."), true},
        CommandLineCase{"anOptionWithoutACommand", login + QStringList{"--sign"},
                        QString::fromUtf8("Napaka: možnost --sign ne velja brez ukaza (na primer "
                                          "--report)."),
                        true},
        CommandLineCase{"signOnlyWithReport",
                        login + QStringList{"--list-reports", "01.04.2014", "01.04.2014", "--sign"},
                        "Napaka: --sign velja le skupaj z --report.", false},
        CommandLineCase{"reversedPeriod",
                        login + QStringList{"--report", "02.04.2014", "01.04.2014"},
                        "Napaka: \"Datum od\" (02.04.2014) je za \"Datum do\" (01.04.2014). "
                        "Popravite obdobje; nabor ni spremenjen.",
                        false},
        CommandLineCase{"dashPasswordWithoutInput",
                        {"LB", "vek", "-", "--list-reports", "01.04.2014", "01.04.2014"},
                        QString::fromUtf8("Napaka: geslo \"-\" se bere iz standardnega vhoda, ta "
                                          "pa nima nobene vrstice."),
                        false},
        CommandLineCase{"windowWithoutDisplay",
                        login,
                        QString::fromUtf8("Napaka: okna ni mogoče odpreti, ker ni zaslona*"),
                        false,
                        {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}},
        CommandLineCase{"passPhraseFileOthersCanRead",
                        login + QStringList{"--report", "01.04.2014", "01.04.2014", "--sign"},
                        "Napaka: Datoteko z geslom *",
                        false,
                        {"RAPO_PASSPHRASE_FILE=<dir>geslo"}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(CommandLine, HelpListsEveryOptionAndTheExitCodes) {
    QProcess process;
    process.start(RAPO_PROGRAM, {"--help"});
    ASSERT_TRUE(process.waitForFinished(20000));
    EXPECT_EQ(process.exitCode(), 0);
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    for (const ProgramOption &option : ProgramArguments::table())
        EXPECT_TRUE(out.contains("  " + option.name + ' ')) << option.name.toStdString();
    EXPECT_TRUE(out.contains("Izhodne kode: 0")) << out.toStdString();
}
} // namespace
