#include "DailyReport.h"

#include "Clock.h"
#include "CollectionRun.h"
#include "Configuration.h"
#include "ConsolePrompter.h"
#include "DataModule.h"
#include "QProcessRunner.h"
#include "Query.h"
#include "RapoError.h"
#include "ReportGeneration.h"
#include "ReportRegister.h"
#include "ReportSigning.h"
#include "RunState.h"
#include "Session.h"
#include "ShortDateFormat.h"
#include "WorkingSet.h"

#include <optional>

namespace {
const QString reportOption = QStringLiteral("--report");
const QString listOption = QStringLiteral("--list-reports");

std::optional<QDate> dateArgument(const QString &text, QTextStream &err) {
    const QDate date = ShortDateFormat::fromText(text);
    if (!date.isValid())
        err << QStringLiteral("Napaka: \"") << text
            << QStringLiteral("\" ni datum oblike dd.mm.llll (na primer 01.04.2014).") << Qt::endl;
    return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}

// The ISINs whose register entries still wait for a reporting instrument.
QStringList waitingIsins(Session &session) {
    Query q(session.db);
    q.setText(QStringLiteral("select distinct ISIN from DPATVP_SFVP where SFVP_POROCANJE is null "
                             "order by ISIN"));
    q.open();
    QStringList isins;
    for (; !q.eof(); q.next())
        isins << q.asString(QStringLiteral("ISIN"));
    return isins;
}

int sign(Session &session, const QString &path, QTextStream &err);

int report(Session &session, const QDate &from, const QDate &to, bool andSign, QTextStream &out,
           QTextStream &err) {
    WorkingSet workingSet(session);
    RunState state;
    const CollectionRun::Result run = CollectionRun::run(session, workingSet, state, from, to);
    if (run.ending == CollectionRun::Ending::ChoiceNeeded) {
        err << QStringLiteral("Za te ISIN-e je treba v oknu (zavihek \"Fin. instr.\") izbrati "
                              "instrument za poročanje:")
            << Qt::endl;
        for (const QString &isin : waitingIsins(session))
            out << isin << Qt::endl;
        return DailyReport::ChoiceNeeded;
    }
    if (run.rows == 0) {
        err << QStringLiteral("Nabor je prazen: v obdobju ni ničesar za poročanje.") << Qt::endl;
        return DailyReport::NothingToReport;
    }
    if (!run.generationEnabled) {
        err << QStringLiteral("Nabor vsebuje le stornacije; poročila ni mogoče generirati.")
            << Qt::endl;
        return DailyReport::NothingToReport;
    }
    const ReportGeneration::Result generated = ReportGeneration::generate(
        session, workingSet.qDPATVPPSL, workingSet.qSifrantFinInstr, state, from, to);
    if (!generated.valid) {
        err << QStringLiteral("Napaka: poročilo ni skladno s shemo: ") << generated.errorLine
            << Qt::endl
            << QStringLiteral("Datoteka: ") << generated.path << Qt::endl;
        return DailyReport::Failed;
    }
    out << generated.path << Qt::endl;
    return andSign ? sign(session, generated.path, err) : DailyReport::Done;
}

// Signs and delivers a new report with the credentials remembered in RAPO.ini.
int sign(Session &session, const QString &path, QTextStream &err) {
    const Configuration &c = session.configuration;
    session.progress(QStringLiteral("Podpisovanje"));
    const QString fileName = path.mid(session.programDirectory.size());
    QProcessRunner runner(session.waiter, session.clock);
    ReportSigning signing(session, runner, ReportSigning::Resigning::Never);
    const QStringList delivered =
        signing.signAndDeliver(ReportSigning::Credentials{c.gnupgUser, c.passPhrase}, {fileName});
    if (!delivered.contains(fileName, Qt::CaseInsensitive)) {
        err << QStringLiteral("Napaka: poročilo ") << fileName
            << QStringLiteral(" ni podpisano in poslano.") << Qt::endl;
        return DailyReport::Failed;
    }
    return DailyReport::Done;
}

int listReports(Session &session, const QDate &from, const QDate &to, QTextStream &out) {
    Query qDPATVP(session.db, QStringLiteral("qDPATVP"));
    ReportRegister::load(qDPATVP, from, to);
    for (; !qDPATVP.eof(); qDPATVP.next()) {
        const QDateTime sent = qDPATVP.asDateTime(QStringLiteral("DAN"));
        out << qDPATVP.asString(QStringLiteral("DPATVPID")) << '\t'
            << qDPATVP.asString(QStringLiteral("ZAPST")) << '\t'
            << ShortDateFormat::toText(qDPATVP.asDateTime(QStringLiteral("DANPOROCANJA")).date())
            << '\t' << (sent.isValid() ? DataSet::valueText(sent) : QStringLiteral("neposlano"))
            << '\t' << qDPATVP.asString(QStringLiteral("XML_FILE")) << '\t'
            << qDPATVP.asString(QStringLiteral("STATUS")) << '\t'
            << qDPATVP.asString(QStringLiteral("StatusLKP")) << Qt::endl;
    }
    return DailyReport::Done;
}
} // namespace

bool DailyReport::wanted(const ProgramArguments &arguments) {
    return arguments.hasOption(reportOption) || arguments.hasOption(listOption);
}

int DailyReport::run(const ProgramArguments &arguments, const QString &programDirectory,
                     const Clock &clock, Waiter &waiter, QTextStream &out, QTextStream &err) {
    const QString option = arguments.hasOption(reportOption) ? reportOption : listOption;
    const QStringList values = arguments.options.value(option);
    const std::optional<QDate> from = dateArgument(values.value(0), err);
    const std::optional<QDate> to = from ? dateArgument(values.value(1), err) : std::nullopt;
    if (!from || !to)
        return Failed;
    if (!arguments.hasArguments()) {
        err << QStringLiteral("Napaka: manjkajo podatkovni vir, uporabnik in geslo (rapo ALIAS "
                              "UPORABNIK GESLO ")
            << option << QStringLiteral(" OD DO).") << Qt::endl;
        return Failed;
    }
    ConsolePrompter prompter(err);
    DataModule dataModule(arguments.login(), programDirectory);
    const Configuration configuration = Configuration::read(programDirectory);
    for (const QString &message : configuration.messages)
        prompter.warning(message);
    Session session(dataModule.dbMain(), configuration, dataModule.applicationUser(),
                    programDirectory, prompter, clock, waiter);
    session.onProgress = [&err](const QString &step) { err << step << Qt::endl; };
    // Signing needs the remembered credentials; without them nothing is collected.
    if (option == reportOption && arguments.hasOption(QStringLiteral("--sign")) &&
        (configuration.gnupgUser.isEmpty() || configuration.passPhrase.isEmpty())) {
        prompter.error(QStringLiteral("v RAPO.ini ni shranjenega uporabnika ali gesla za "
                                      "podpisovanje (GnuPG, User in PassPhrase)."));
        return Failed;
    }
    try {
        return option == reportOption
                   ? report(session, *from, *to, arguments.hasOption(QStringLiteral("--sign")), out,
                            err)
                   : listReports(session, *from, *to, out);
    } catch (const RapoError &e) {
        prompter.error(e.message());
        return Failed;
    }
}
