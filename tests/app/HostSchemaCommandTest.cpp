#include "HostSchema.h"
#include "TempProgramDirectory.h"

#include <QDir>
#include <QProcess>
#include <gtest/gtest.h>

namespace {
struct CommandRun {
    int exitCode = -1;
    QString out;
    QString err;
};

// The program alone, in an empty program directory, with the ODBC configuration of that
// directory: a data source SITEHOST is defined there.
CommandRun rapo(const TempProgramDirectory &dir, const QStringList &arguments) {
    dir.writeWindows1250("odbcinst.ini", "[SQLite3]\nDriver=libsqlite3odbc.so\n");
    dir.writeWindows1250("odbc.ini",
                         "[SITEHOST]\nDriver=SQLite3\nDatabase=" + dir.file("host.db") + "\n");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("RAPO_HOME", dir.path());
    environment.insert("ODBCSYSINI", dir.path());
    environment.insert("ODBCINI", dir.file("odbc.ini"));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(RAPO_PROGRAM, arguments);
    process.closeWriteChannel();
    EXPECT_TRUE(process.waitForFinished(20000));
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

QStringList filesOf(const TempProgramDirectory &dir) {
    return QDir(dir.path()).entryList(QDir::Files);
}

TEST(HostSchemaCommand, PrintsTheScriptOfTheNamedHostAndTouchesNoDatabase) {
    const struct {
        const char *name;
        HostSchema::Dialect dialect;
    } cases[] = {{"ORACLE", HostSchema::Dialect::Oracle}, {"db2", HostSchema::Dialect::Db2}};
    for (const auto &c : cases) {
        TempProgramDirectory dir;
        const CommandRun run = rapo(dir, {"--host-schema", c.name});
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(run.out, HostSchema(c.dialect).script()) << c.name;
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(filesOf(dir), QStringList({"odbc.ini", "odbcinst.ini"})) << c.name;
    }
}

TEST(HostSchemaCommand, CreateDbRefusesAnAliasOfAnOdbcDataSource) {
    TempProgramDirectory dir;
    const CommandRun run = rapo(dir, {"--create-db", "SiteHost"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(run.err.startsWith("Napaka: SiteHost je podatkovni vir ODBC"))
        << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("rapo --host-schema ORACLE")) << run.err.toStdString();
    EXPECT_EQ(filesOf(dir), QStringList({"odbc.ini", "odbcinst.ini"})) << "no SITEHOST.sqlite";
}
} // namespace
