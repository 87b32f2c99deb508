#include "DemoSite.h"
#include "TempProgramDirectory.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {
QByteArray contentOf(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly)
               ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
               : QByteArray("absent");
}

struct FaultCase {
    const char *name;
    std::function<void(const TempProgramDirectory &)> spoil;
    QString cause;
    friend void PrintTo(const FaultCase &c, std::ostream *os) { *os << c.name; }
};

class DatabaseFault : public ::testing::TestWithParam<FaultCase> {};

// The scheduler's run on a database it cannot use: exit 1, the cause in words, the file as it was.
TEST_P(DatabaseFault, TheScheduledRunNamesTheCauseAndLeavesTheFileAsItWas) {
    const FaultCase &c = GetParam();
    TempProgramDirectory dir;
    DemoSite::create("DEMO", dir.path());
    const QString database = dir.file("DEMO.sqlite");
    c.spoil(dir);
    const QByteArray before = contentOf(database);
    // Another program writing: the sqlite3 shell holds the write lock while the run goes.
    QProcess writer;
    if (c.cause.contains("zaklepa")) {
        writer.start("sqlite3", {database});
        writer.write("BEGIN IMMEDIATE;\n.print zaklenjeno\n");
        ASSERT_TRUE(writer.waitForReadyRead(10000));
    }

    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("RAPO_HOME", dir.path());
    environment.insert("RAPO_BUSY_TIMEOUT", "300");
    process.setProcessEnvironment(environment);
    // The superuser writes into any folder: a read-only folder is read-only for another user.
    if (std::string(c.name) == "readOnlyFolder" && ::geteuid() == 0)
        process.setChildProcessModifier([] {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                ::_exit(99);
        });
    QElapsedTimer elapsed;
    elapsed.start();
    process.start(RAPO_PROGRAM,
                  {"DEMO", "demo", "demo", "DEMO", "--report", "28.03.2014", "28.03.2014"});
    ASSERT_TRUE(process.waitForFinished(60000));
    const qint64 took = elapsed.elapsed();
    writer.closeWriteChannel();
    writer.waitForFinished(10000);
    QFile(dir.path()).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString err = QString::fromUtf8(process.readAllStandardError());

    EXPECT_EQ(process.exitCode(), 1) << err.toStdString();
    EXPECT_TRUE(err.contains(c.cause)) << err.toStdString();
    EXPECT_FALSE(err.contains(u'\r'));
    EXPECT_EQ(contentOf(database), before) << "the database file is unchanged";
    if (c.cause.contains("zaklepa")) {
        EXPECT_GE(took, 300) << "a locked database is waited for before the run gives up";
        // The step's message first, the cause on the next line; the same in the debug log.
        const QStringList lines = err.split(u'\n');
        const qsizetype at = lines.indexOf(c.cause);
        ASSERT_GT(at, 0) << err.toStdString();
        EXPECT_EQ(lines[at - 1], "Napaka: Napaka pri brisanju iz DPATVPPSL!");
        QFile log(dir.file("Log.txt"));
        ASSERT_TRUE(log.open(QIODevice::ReadOnly));
        EXPECT_TRUE(QString::fromUtf8(log.readAll()).contains(c.cause));
    }
}

INSTANTIATE_TEST_SUITE_P(
    HeadlessRun, DatabaseFault,
    ::testing::Values(
        FaultCase{"missingFile",
                  [](const TempProgramDirectory &d) { QFile::remove(d.file("DEMO.sqlite")); },
                  "Podatkovna zbirka DEMO.sqlite ne obstaja v "},
        FaultCase{"notADatabase",
                  [](const TempProgramDirectory &d) {
                      QFile file(d.file("DEMO.sqlite"));
                      ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
                      file.write(QByteArray(8192, 'x'));
                  },
                  "Datoteka ni podatkovna zbirka."},
        FaultCase{"truncated",
                  [](const TempProgramDirectory &d) {
                      QFile file(d.file("DEMO.sqlite"));
                      ASSERT_TRUE(file.resize(file.size() / 2));
                  },
                  QString::fromUtf8("Podatkovna zbirka je poškodovana ali okrnjena")},
        FaultCase{
            "anotherSchema",
            [](const TempProgramDirectory &d) {
                QFile::remove(d.file("DEMO.sqlite"));
                QProcess::execute("sqlite3", {d.file("DEMO.sqlite"), "CREATE TABLE KNJIGA (ID)"});
            },
            " v podatkovni zbirki ni: to ni zbirka tega programa"},
        FaultCase{"locked", [](const TempProgramDirectory &) {},
                  "Podatkovno zbirko zaklepa drug program; poskusite znova."},
        FaultCase{"readOnlyFolder",
                  [](const TempProgramDirectory &d) {
                      // The debug log is off: the folder could not take its file either.
                      d.writeWindows1250("RAPO.ini",
                                         QString::fromUtf8("[Splošno]\nPosli_VEK_Prefiks=1\n"));
                      QFile(d.path()).setPermissions(QFile::ReadOwner | QFile::ExeOwner |
                                                     QFile::ReadOther | QFile::ExeOther);
                  },
                  "samo za branje"}),
    [](const auto &info) { return std::string(info.param.name); });
} // namespace
