// The statements a whole road sends, in each dialect, checked against what the host accepts:
// the Oracle texts with the Oracle grammar, the DB2 texts with DB2's rules. Every failing text is
// named with the file that holds it, so a failure is a list of texts to correct.
#include "Clock.h"
#include "CollectionRun.h"
#include "Configuration.h"
#include "DailyReport.h"
#include "Database.h"
#include "Db2Rules.h"
#include "DemoSite.h"
#include "EmirDisputeImport.h"
#include "EmirDisputes.h"
#include "EmirFile.h"
#include "EmirReports.h"
#include "FakeClock.h"
#include "FinInstrTab.h"
#include "GnupgHomes.h"
#include "HostTexts.h"
#include "IniFile.h"
#include "InstrumentRegisterView.h"
#include "PassPhraseCoding.h"
#include "ProgramArguments.h"
#include "QProcessRunner.h"
#include "Query.h"
#include "RapoError.h"
#include "ReportGeneration.h"
#include "RunState.h"
#include "ScriptedPrompter.h"
#include "Session.h"
#include "SpreadsheetCommands.h"
#include "TempProgramDirectory.h"
#include "Waiter.h"
#include "WorkingSet.h"

#include "DataGrid.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

// Secrets of the road that must never reach the statement log.
const QString connectionPassword = QStringLiteral("Vstop-Tajno-81");
const QString passPhrase = QStringLiteral("Skrito geslo 42");

// One road on a fresh demo site whose RAPO.ini names the dialect, with the statement log on.
class Road {
public:
    explicit Road(const QString &dialect) : dialect_(dialect) {
        DemoSite::create("DEMO", dir_.path());
        QFile::copy(RAPO_DEMO_DIR "NTRS.xsd", dir_.file("NTRS.xsd"));
        QFile::copy(RAPO_DEMO_DIR "EMIR.xsd", dir_.file("EMIR.xsd"));
        IniFile ini(dir_.file("RAPO.ini"));
        ini.writeString("Splošno", "Tip", dialect);
        ini.writeString("GnuPG", "User", GnupgHomes::brokerageUser);
        ini.writeString("GnuPG", "PassPhrase", PassPhraseCoding::encode(passPhrase));
        ini.writeString("Splošno", "XMLPath_Server", xmlServer_.path() + "/");
        ini.writeString("Splošno", "SIGPath_Server", sigServer_.path() + "/");
        if (!ini.save())
            problems << "RAPO.ini not written";
        const QByteArray previousLog = qgetenv("RAPO_SQL_LOG");
        qputenv("RAPO_SQL_LOG", QFile::encodeName(logPath()));
        {
            GnupgHomes homes(passPhrase);
            if (!homes.ready())
                problems << "GnuPG homes not ready";
            travel();
        }
        if (previousLog.isEmpty())
            qunsetenv("RAPO_SQL_LOG");
        else
            qputenv("RAPO_SQL_LOG", previousLog);
    }

    QString logPath() const { return dir_.file("sql.log"); }
    QStringList problems; // steps that did not end as they should

private:
    void travel() {
        const QString a = "TRDAT01_5842735000_0002_14.xml";
        const QString b = "TRDAT01_5842735000_0003_14.xml";
        const QString c = "TRDAT01_5842735000_0004_14.xml";
        const QString d = "TRDAT01_5842735000_0005_14.xml";
        const QString workbook = dir_.file("nabor.xlsx");
        struct Step {
            QStringList arguments;
            QDateTime at;
            int exitCode;
        };
        auto at = [](int day, int month, int hour) {
            return QDateTime(QDate(2014, month, day), QTime(hour, 0));
        };
        // The correction and both cancellations come with the first run; the import's unknown
        // instrument is skipped (exit 1); the second workbook cancels an imported trade.
        const std::vector<Step> steps{
            {{"--report", "27.03.2014", "27.03.2014"}, at(27, 3, 17), 0},
            {{"--sign-file", a}, at(27, 3, 18), 0},
            {{"--import", RAPO_DEMO_DIR "uvoz-28.03.2014.xls", "28.03.2014"}, at(28, 3, 9), 1},
            {{"--report", "28.03.2014", "28.03.2014", "--sign"}, at(28, 3, 17), 0},
            {{"--import", RAPO_DEMO_DIR "storno-28.03.2014.xls", "28.03.2014"}, at(28, 3, 18), 0},
            {{"--report", "31.03.2014", "31.03.2014"}, at(31, 3, 17), 0},
            {{"--reject", b}, at(31, 3, 18), 0},
            {{"--sign-file", c}, at(31, 3, 19), 0},
            {{"--regenerate", b}, at(1, 4, 9), 0},
            {{"--confirm", c}, at(1, 4, 10), 0},
            {{"--delete-report", d}, at(1, 4, 11), 0},
            {{"--list-reports", "27.03.2014", "31.03.2014"}, at(1, 4, 12), 0},
            {{"--export", "01.04.2014", "01.04.2014", workbook}, at(1, 4, 13), 0},
        };
        // GnuPG runs in real time, whatever the road's clock says.
        EventLoopWaiter eventLoop;
        SystemClock systemClock;
        QProcessRunner gnupg(eventLoop, systemClock);
        for (const Step &step : steps) {
            clock_.set(step.at);
            QString out, err;
            QTextStream outStream(&out), errStream(&err);
            const ProgramArguments arguments = ProgramArguments::parse(
                QStringList{"DEMO", "demo", connectionPassword, "DEMO"} + step.arguments);
            const int exitCode = SpreadsheetCommands::wanted(arguments)
                                     ? SpreadsheetCommands::run(arguments, dir_.path(), clock_,
                                                                waiter_, outStream, errStream)
                                     : DailyReport::run(arguments, dir_.path(), clock_, waiter_,
                                                        outStream, errStream, &gnupg);
            outStream.flush();
            errStream.flush();
            if (exitCode != step.exitCode)
                problems << step.arguments.join(' ') + ": exit " + QString::number(exitCode) +
                                "\n" + err;
        }
        try {
            chooseInstrument();
            emir();
        } catch (const std::exception &e) {
            problems << QString::fromUtf8(e.what());
        }
    }

    // 02.04.2014 holds an ISIN of two host instruments: the run stops, the user chooses, the
    // working set loads and the report is generated.
    void chooseInstrument() {
        const Configuration configuration = Configuration::read(dir_.path());
        Database db("DEMO", "demo", connectionPassword, dir_.path());
        ScriptedPrompter prompter;
        clock_.set(QDateTime(QDate(2014, 4, 2), QTime(17, 0)));
        Session session(db, configuration, "DEMO", dir_.path(), prompter, clock_, waiter_);
        WorkingSet workingSet(session);
        RunState state;
        const QDate day(2014, 4, 2);
        if (CollectionRun::run(session, workingSet, state, day, day).ending !=
            CollectionRun::Ending::ChoiceNeeded) {
            problems << "02.04.2014 did not stop for the instrument choice";
            return;
        }
        FinInstrTab tab;
        tab.attach(session, state);
        tab.setPeriodEnd([day] { return day; });
        tab.chooseInstrument = [](const InstrumentChoice::Offer &offer) {
            return std::optional<QString>(offer.entries.value(0));
        };
        tab.showAfterCollectionChoice();
        Query &list = tab.registerView()->qDPATVP_SFVP;
        for (int row = 0; row < list.recordCount(); ++row) {
            list.moveTo(row);
            if (list.isNull("SFVP_POROCANJE")) {
                clock_.advance(60 * 1000);
                tab.dbgDPATVP_SFVP->setCurrentRow(row);
                tab.dbgDPATVP_SFVP->zoom();
            }
        }
        if (InstrumentRegisterView::openChoices(session) != 0)
            problems << "instrument choices left open";
        const auto loaded = CollectionRun::loadWorkingSet(session, workingSet, state, day, day);
        if (loaded.ending != CollectionRun::Ending::Loaded)
            problems << "02.04.2014 working set not loaded after the choice";
        const ReportGeneration::Result report = ReportGeneration::generate(
            session, workingSet.qDPATVPPSL, workingSet.qSifrantFinInstr, state, day, day);
        if (!report.valid)
            problems << "02.04.2014 report: " + report.errorLine;
    }

    // A new report with a dispute entered and a dispute workbook imported, its file, its
    // cancellation and the cancellation's file, then the deletion of both.
    void emir() {
        const Configuration configuration = Configuration::read(dir_.path());
        Database db("DEMO", "demo", connectionPassword, dir_.path());
        ScriptedPrompter prompter;
        clock_.set(QDateTime(QDate(2014, 4, 3), QTime(16, 0)));
        Session session(db, configuration, "DEMO", dir_.path(), prompter, clock_, waiter_);
        const QDate from(2014, 1, 1), to(2014, 12, 31);

        EmirReports::Report report = EmirReports::proposal(QDate(2014, 4, 3));
        report.stNepotrjenih = 2;
        report.id = EmirReports::save(session, report);
        EmirDisputes::Dispute dispute;
        dispute.stranka = "Kapital Brokers d.o.o.";
        dispute.nasStranka = "Borznoposredniška hiša Demo d.d.";
        dispute.datZacetka = QDate(2014, 4, 1);
        dispute.vrednost = 1250.5;
        dispute.opombe = "Neusklajena cena";
        dispute.reportId = report.id;
        dispute.id = EmirDisputes::save(session, dispute);
        dispute.datZakljucka = QDate(2014, 4, 2);
        EmirDisputes::save(session, dispute);
        EmirDisputeImport::run(session, report.id, RAPO_DEMO_DIR "spori-03.2014.xls");
        Query disputes(db);
        EmirDisputes::load(disputes, report.id);

        auto write = [&](qint64 id) {
            prompter.answers = {true, true};
            const EmirFile::Result file = EmirFile::write(session, id, from, to);
            if (file.path.isEmpty() || !file.errorLine.isEmpty())
                problems << "EMIR file of report " + QString::number(id) + ": " + file.errorLine;
        };
        write(report.id);
        report = EmirReports::read(session, report.id);
        prompter.answers = {true};
        const qint64 cancellation = EmirReports::cancel(session, report);
        write(cancellation);
        Query list(db);
        EmirReports::load(list, from, to);
        prompter.answers = {true};
        EmirDisputes::remove(session, dispute.id);
        prompter.answers = {true};
        EmirReports::remove(session, EmirReports::read(session, cancellation));
        prompter.answers = {true};
        EmirReports::remove(session, EmirReports::read(session, report.id));
    }

    QString dialect_;
    TempProgramDirectory dir_;
    QTemporaryDir xmlServer_;
    QTemporaryDir sigServer_;
    FakeClock clock_;
    FakeWaiter waiter_{clock_};
};

QString shortened(const QString &text) {
    QString one = text.simplified();
    return one.size() > 160 ? one.left(157) + "..." : one;
}

// One line per failing text: dialect, where it lives, why, and the text itself.
QString failureLine(const char *dialect, const QString &text, const QString &reason) {
    return QString::fromLatin1(dialect) + " | " + HostTexts::sourceOf(text, RAPO_SOURCE_DIR) +
           " | " + reason + "\n    " + shortened(text) + "\n";
}

// The road ran to its end and its log keeps the secrets; gives the log's distinct texts.
QStringList checkedRoad(const Road &road) {
    EXPECT_TRUE(road.problems.isEmpty()) << road.problems.join("\n").toStdString();
    QFile file(road.logPath());
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    const QString log = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(log.contains("DPATVP")) << "the road was logged";
    EXPECT_FALSE(log.contains(connectionPassword, Qt::CaseInsensitive));
    EXPECT_FALSE(log.contains(passPhrase, Qt::CaseInsensitive));
    EXPECT_FALSE(log.contains(PassPhraseCoding::encode(passPhrase)));
    const QStringList statements = HostTexts::distinctStatements(road.logPath());
    EXPECT_GT(statements.size(), 100);
    return statements;
}

// A road is long, so each one runs once and all its checks follow.
TEST(HostConformance, OracleRoadSendsTextsTheOracleGrammarParses) {
    const QStringList statements = checkedRoad(Road("ORACLE"));
    ASSERT_FALSE(statements.isEmpty());
    const HostTexts::GrammarRun run = HostTexts::parseOracle(statements);
    ASSERT_TRUE(run.ran) << run.error.toStdString();
    QString report;
    for (const HostTexts::ParseFailure &f : run.failures)
        report += failureLine("ORACLE", statements.value(f.index), f.message);
    EXPECT_TRUE(run.failures.isEmpty())
        << run.failures.size() << " of " << statements.size() << " Oracle texts do not parse:\n"
        << report.toStdString();
}

TEST(HostConformance, Db2RoadSendsTextsThatKeepDb2Rules) {
    const QStringList statements = checkedRoad(Road("DB2"));
    ASSERT_FALSE(statements.isEmpty());
    QString report;
    int failing = 0;
    for (const QString &statement : statements) {
        const QStringList findings = Db2Rules::check(statement);
        if (!findings.isEmpty()) {
            ++failing;
            report += failureLine("DB2", statement, findings.join("; "));
        }
    }
    EXPECT_EQ(failing, 0) << failing << " of " << statements.size()
                          << " DB2 texts break DB2 rules:\n"
                          << report.toStdString();
}

// The install script a DBA runs on an Oracle host.
TEST(HostConformance, OracleInstallScriptParses) {
    TempProgramDirectory dir;
    QProcess rapo;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("RAPO_HOME", dir.path());
    rapo.setProcessEnvironment(environment);
    rapo.start(RAPO_PROGRAM, {"--host-schema", "ORACLE"});
    ASSERT_TRUE(rapo.waitForFinished(120000));
    if (rapo.exitStatus() != QProcess::NormalExit || rapo.exitCode() != 0)
        GTEST_SKIP() << "rapo --host-schema ORACLE is not available in this build (exit "
                     << rapo.exitCode() << "); the install script is not checked";
    QFile script(dir.file("host-schema.sql"));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    const QByteArray text = rapo.readAllStandardOutput();
    ASSERT_FALSE(text.trimmed().isEmpty());
    script.write(text);
    script.close();
    const HostTexts::GrammarRun run = HostTexts::parseOracleScript(script.fileName());
    ASSERT_TRUE(run.ran) << run.error.toStdString();
    QString report;
    for (const HostTexts::ParseFailure &f : run.failures)
        report += "statement " + QString::number(f.index + 1) + ": " + f.message + "\n";
    EXPECT_TRUE(run.failures.isEmpty()) << report.toStdString();
}

} // namespace
