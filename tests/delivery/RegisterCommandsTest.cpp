// The register's life from the command line, as a site's script processes the regulator's
// answers: every command against the demo site, in the order a week of reporting brings them.
#include "DailyReport.h"
#include "DemoSite.h"
#include "FakeClock.h"
#include "FakeProcessRunner.h"
#include "IniFile.h"
#include "PassPhraseCoding.h"
#include "ProgramArguments.h"
#include "TempProgramDirectory.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
TEST(RegisterCommands, TheRegistersLifeFromTheCommandLine) {
    TempProgramDirectory dir;
    QTemporaryDir xmlServer;
    QTemporaryDir sigServer;
    DemoSite::create("DEMO", dir.path());
    ASSERT_TRUE(QFile::copy(RAPO_DEMO_SCHEMA, dir.file("NTRS.xsd")));
    IniFile ini(dir.file("RAPO.ini"));
    ini.writeString("GnuPG", "User", "Borzni posrednik");
    ini.writeString("GnuPG", "PassPhrase", PassPhraseCoding::encode("geslo"));
    ini.writeString("Splošno", "XMLPath_Server", xmlServer.path() + "/");
    ini.writeString("Splošno", "SIGPath_Server", sigServer.path() + "/");
    ASSERT_TRUE(ini.save());
    FakeClock clock(QDateTime(QDate(2014, 3, 28), QTime(17, 0)));
    FakeWaiter waiter(clock);
    FakeProcessRunner runner;

    const QString a = "TRDAT01_5842735000_0002_14.xml";
    const QString b = "TRDAT01_5842735000_0003_14.xml";
    const QString c = "TRDAT01_5842735000_0004_14.xml";
    struct Step {
        QStringList arguments;
        QDateTime at;
        int exitCode;
        QString out; // a line the output holds
        QString err; // a text the error output holds
    };
    const QDateTime day1(QDate(2014, 3, 28), QTime(17, 0));
    const QDateTime day2(QDate(2014, 3, 31), QTime(17, 0));
    const QDateTime day3(QDate(2014, 4, 1), QTime(9, 0));
    const std::vector<Step> steps{
        {{"--report", "28.03.2014", "28.03.2014"}, day1, 0, dir.file(a), ""},
        {{"--confirm", a}, day1, 1, "", "Poročilo " + a + " še ni poslano"},
        {{"--sign-file", dir.file(a)}, day1.addSecs(600), 0, "", "Podpisovanje"},
        {{"--report", "31.03.2014", "31.03.2014"}, day2, 0, dir.file(b), ""},
        {{"--reject", a}, day2, 0, "\t" + a + "\t2\tZavrnjeno\t", ""},
        {{"--delete-report", a}, day2, 1, "", "poslanega poročila ni mogoče zbrisati"},
        // The number after the rejected one is held by the report still waiting: the
        // regeneration takes the next.
        {{"--regenerate", a}, day2, 0, dir.file(c), ""},
        {{"--sign-file", b}, day3, 0, "", ""},
        {{"--sign-file", a}, day3, 1, "", "brez okna ga ne podpišem znova"},
        {{"--confirm", a, "--reject", b}, day3, 1, "", "naenkrat je mogoč le en ukaz"},
        {{"--list-reports", "28.03.2014", "31.03.2014"},
         day3,
         0,
         "ID za DPATVP\tZaporedna številka\tDan kreiranja poročila\tDatum pošiljanja\tXML\t"
         "Status\tOpis statusa\tDostava",
         ""},
        {{"--delete-report", c}, day3, 0, c, ""},
        {{"--confirm", "TRDAT01_9.xml"}, day3, 1, "", "Poročila TRDAT01_9.xml ni v registru."},
    };
    for (const Step &step : steps) {
        SCOPED_TRACE(step.arguments.join(' ').toStdString());
        clock.set(step.at);
        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        const int exitCode = DailyReport::run(
            ProgramArguments::parse(QStringList{"DEMO", "demo", "demo", "DEMO"} + step.arguments),
            dir.path(), clock, waiter, outStream, errStream, &runner);
        outStream.flush();
        errStream.flush();
        EXPECT_EQ(exitCode, step.exitCode) << err.toStdString();
        if (!step.out.isEmpty()) {
            EXPECT_TRUE(out.split('\n').filter(step.out).size() == 1) << out.toStdString();
        }
        EXPECT_TRUE(err.contains(step.err)) << err.toStdString();
    }

    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "register");
    db.setDatabaseName(dir.file("DEMO.sqlite"));
    ASSERT_TRUE(db.open());
    {
        QSqlQuery q(db);
        ASSERT_TRUE(q.exec("select group_concat(ZAPST || '/' || STATUS || '/' || XML_FILE || '/' "
                           "|| ifnull(strftime('%d.%m %H:%M', DAN), '-'), ', ') from (select * "
                           "from DPATVP order by ZAPST)") &&
                    q.next());
        EXPECT_EQ(q.value(0).toString(), "1/1/TRDAT01_5842735000_0001_14.xml/27.03 17:05, 2/2/" +
                                             a + "/28.03 17:10, 3/0/" + b + "/01.04 09:00");
    }
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase("register");
    EXPECT_FALSE(QFile::exists(dir.file(c)));
    EXPECT_TRUE(QFile::exists(QDir(xmlServer.path()).filePath(a)));
    EXPECT_TRUE(QFile::exists(QDir(sigServer.path()).filePath(b.left(b.size() - 4) + ".sig")));

    // Without RAPO.ini references would lose their prefix: nothing is collected.
    QFile::remove(dir.file("RAPO.ini"));
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    EXPECT_EQ(DailyReport::run(ProgramArguments::parse({"DEMO", "demo", "demo", "DEMO", "--report",
                                                        "01.04.2014", "01.04.2014"}),
                               dir.path(), clock, waiter, outStream, errStream, &runner),
              DailyReport::Failed);
    errStream.flush();
    EXPECT_TRUE(err.contains("Manjka .ini datoteka! (" + dir.file("RAPO.ini") + ")"))
        << err.toStdString();
    EXPECT_FALSE(err.contains("Faza 1")) << err.toStdString();
}
} // namespace
