#include "DailyReport.h"

#include "Clock.h"
#include "CollectionRun.h"
#include "Configuration.h"
#include "ConsolePrompter.h"
#include "DataModule.h"
#include "PassPhraseFile.h"
#include "PdfSigning.h"
#include "QProcessRunner.h"
#include "Query.h"
#include "RapoError.h"
#include "ReportFileLists.h"
#include "ReportGeneration.h"
#include "ReportRegeneration.h"
#include "ReportRegister.h"
#include "ReportSigning.h"
#include "RunState.h"
#include "Session.h"
#include "ShortDateFormat.h"
#include "WorkingSet.h"

#include <QFileInfo>
#include <optional>

namespace {
const QString reportOption = QStringLiteral("--report");
const QString listOption = QStringLiteral("--list-reports");
const QString confirmOption = QStringLiteral("--confirm");
const QString rejectOption = QStringLiteral("--reject");
const QString regenerateOption = QStringLiteral("--regenerate");
const QString deleteOption = QStringLiteral("--delete-report");
const QString signFileOption = QStringLiteral("--sign-file");
const QString signPdfOption = QStringLiteral("--sign-pdf");
const QStringList commands = {reportOption,     listOption,   confirmOption,  rejectOption,
                              regenerateOption, deleteOption, signFileOption, signPdfOption};

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

int sign(Session &session, ProcessRunner &runner, const QString &fileName, QTextStream &err);

// After a collection or a regeneration: generates the report of the loaded working set and
// prints its path.
int generateAndPrint(Session &session, const CollectionRun::Result &loaded, WorkingSet &workingSet,
                     RunState &state, const QDate &from, const QDate &to, QTextStream &out,
                     QTextStream &err, QString *generatedFile = nullptr) {
    if (loaded.ending == CollectionRun::Ending::ChoiceNeeded) {
        err << QStringLiteral("Za te ISIN-e je treba v oknu (zavihek \"Fin. instr.\") izbrati "
                              "instrument za poročanje:")
            << Qt::endl;
        for (const QString &isin : waitingIsins(session))
            out << isin << Qt::endl;
        return DailyReport::ChoiceNeeded;
    }
    if (loaded.rows == 0) {
        err << QStringLiteral("Nabor je prazen: v obdobju ni ničesar za poročanje.") << Qt::endl;
        return DailyReport::NothingToReport;
    }
    if (!loaded.generationEnabled) {
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
    if (generatedFile)
        *generatedFile = generated.path.mid(session.programDirectory.size());
    return DailyReport::Done;
}

int report(Session &session, ProcessRunner &runner, const QDate &from, const QDate &to,
           bool andSign, QTextStream &out, QTextStream &err) {
    WorkingSet workingSet(session);
    RunState state;
    const CollectionRun::Result run = CollectionRun::run(session, workingSet, state, from, to);
    QString fileName;
    const int generated =
        generateAndPrint(session, run, workingSet, state, from, to, out, err, &fileName);
    if (generated != DailyReport::Done || !andSign)
        return generated;
    return sign(session, runner, fileName, err);
}

// Signs and delivers a report with the credentials remembered in RAPO.ini; a report already sent
// is never signed again here.
int sign(Session &session, ProcessRunner &runner, const QString &fileName, QTextStream &err) {
    const Configuration &c = session.configuration;
    session.progress(QStringLiteral("Podpisovanje"));
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

// Signs and delivers every PDF of the PDF folder with the credentials remembered in RAPO.ini and
// prints each one delivered.
int signPdfs(Session &session, ProcessRunner &runner, QTextStream &out, QTextStream &err) {
    const QStringList files = PdfSigning::waiting(session);
    if (files.isEmpty()) {
        err << QStringLiteral("V mapi ") << PdfSigning::pdfFolder(session)
            << QStringLiteral(" ni PDF datotek za podpis.") << Qt::endl;
        return DailyReport::NothingToReport;
    }
    const Configuration &c = session.configuration;
    PdfSigning signing(session, runner);
    const PdfSigning::Summary summary =
        signing.signAll(PdfSigning::Credentials{c.gnupgUser, c.passPhrase}, files);
    for (const QString &file : summary.delivered)
        out << file << Qt::endl;
    return summary.failed.isEmpty() && !summary.delivered.isEmpty() ? DailyReport::Done
                                                                    : DailyReport::Failed;
}

// One line of the register list: the columns of the "Poročila" page and whether a sent
// report's files reached their folders.
QString listLine(const ReportRegister::Row &row, const QStringList &undelivered) {
    const QStringList columns = {
        QString::number(row.id),
        QString::number(row.zapSt),
        ShortDateFormat::toText(row.reportingDay),
        row.sent.isValid() ? DataSet::valueText(row.sent) : QStringLiteral("neposlano"),
        row.xmlFile,
        QString::number(row.status),
        ReportRegister::statusText(row.status),
        row.sent.isValid() && undelivered.contains(row.xmlFile, Qt::CaseInsensitive)
            ? QStringLiteral("ni dostavljeno")
            : QString()};
    return columns.join(u'\t');
}

int listReports(Session &session, const QDate &from, const QDate &to, QTextStream &out) {
    Query qDPATVP(session.db, QStringLiteral("qDPATVP"));
    ReportRegister::load(qDPATVP, from, to);
    const QStringList undelivered = ReportFileLists::undelivered(session);
    out << QStringLiteral("ID za DPATVP\tZaporedna številka\tDan kreiranja poročila\tDatum "
                          "pošiljanja\tXML\tStatus\tOpis statusa\tDostava")
        << Qt::endl;
    for (; !qDPATVP.eof(); qDPATVP.next())
        out << listLine(ReportRegister::rowOf(qDPATVP), undelivered) << Qt::endl;
    return DailyReport::Done;
}

// The register row of a report named by its file, as --report prints it or --list-reports
// lists it.
std::optional<ReportRegister::Row> namedReport(Session &session, const QString &file) {
    const QString name = QFileInfo(file).fileName();
    const std::vector<ReportRegister::Row> rows = ReportRegister::findByFile(session, name);
    if (rows.empty())
        session.prompter.error(QStringLiteral("Poročila ") + name +
                               QStringLiteral(" ni v registru."));
    else if (rows.size() > 1)
        session.prompter.error(QStringLiteral("V registru je več poročil z datoteko ") + name +
                               QStringLiteral("; uredite jih v oknu."));
    else
        return rows.front();
    return std::nullopt;
}

int registerCommand(Session &session, ProcessRunner &runner, const QString &option,
                    const QString &file, QTextStream &out, QTextStream &err) {
    if (option == signFileOption)
        return sign(session, runner, QFileInfo(file).fileName(), err);
    const std::optional<ReportRegister::Row> row = namedReport(session, file);
    if (!row)
        return DailyReport::Failed;
    using Action = ReportRegister::Action;
    const Action action = option == confirmOption  ? Action::Confirm
                          : option == rejectOption ? Action::Reject
                          : option == deleteOption ? Action::Delete
                                                   : Action::Regenerate;
    const QString refused = ReportRegister::refusal(session, action, *row);
    if (!refused.isEmpty()) {
        session.prompter.error(refused);
        return DailyReport::Failed;
    }
    switch (action) {
    case Action::Confirm:
    case Action::Reject: {
        if (action == Action::Confirm)
            ReportRegister::confirm(session, *row);
        else
            ReportRegister::reject(session, *row);
        const std::optional<ReportRegister::Row> now = namedReport(session, file);
        if (now)
            out << listLine(*now, ReportFileLists::undelivered(session)) << Qt::endl;
        return DailyReport::Done;
    }
    case Action::Delete:
        ReportRegister::remove(session, *row, false);
        out << row->xmlFile << Qt::endl;
        return DailyReport::Done;
    case Action::Regenerate: {
        WorkingSet workingSet(session);
        RunState state;
        const ReportRegeneration::Result started =
            ReportRegeneration::start(session, workingSet, state, *row);
        return generateAndPrint(session, started, workingSet, state, started.from, started.to, out,
                                err);
    }
    }
    return DailyReport::Failed;
}
} // namespace

std::optional<QDate> DailyReport::dateArgument(const QString &text, QTextStream &err) {
    const QDate date = ShortDateFormat::fromText(text);
    if (!date.isValid())
        err << QStringLiteral("Napaka: \"") << text
            << QStringLiteral("\" ni datum oblike dd.mm.llll (na primer 01.04.2014).") << Qt::endl;
    return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}

bool DailyReport::wanted(const ProgramArguments &arguments) {
    for (const QString &command : commands)
        if (arguments.hasOption(command))
            return true;
    return false;
}

int DailyReport::run(const ProgramArguments &arguments, const QString &programDirectory,
                     const Clock &clock, Waiter &waiter, QTextStream &out, QTextStream &err,
                     ProcessRunner *runner) {
    QStringList given;
    for (const QString &command : commands)
        if (arguments.hasOption(command))
            given << command;
    if (given.size() != 1) {
        err << QStringLiteral("Napaka: naenkrat je mogoč le en ukaz, dani so: ")
            << given.join(QStringLiteral(", ")) << u'.' << Qt::endl;
        return Failed;
    }
    const QString option = given.first();
    const QStringList values = arguments.options.value(option);
    const bool byPeriod = option == reportOption || option == listOption;
    std::optional<QDate> from;
    std::optional<QDate> to;
    if (byPeriod) {
        from = dateArgument(values.value(0), err);
        to = from ? dateArgument(values.value(1), err) : std::nullopt;
        if (!from || !to)
            return Failed;
        if (const QString refused = CollectionRun::periodRefusal(*from, *to);
            option == reportOption && !refused.isEmpty()) {
            err << QStringLiteral("Napaka: ") << refused << Qt::endl;
            return Failed;
        }
    } else if (option != signPdfOption &&
               (values.value(0).isEmpty() || values.value(0).startsWith(QStringLiteral("--")))) {
        err << QStringLiteral("Napaka: ") << option
            << QStringLiteral(" potrebuje ime datoteke poročila, kot ga izpiše --report ali "
                              "--list-reports.")
            << Qt::endl;
        return Failed;
    }
    if (!arguments.hasArguments()) {
        err << QStringLiteral("Napaka: manjkajo podatkovni vir, uporabnik in geslo (rapo ALIAS "
                              "UPORABNIK GESLO ")
            << option
            << (byPeriod                  ? QStringLiteral(" OD DO).")
                : option == signPdfOption ? QStringLiteral(").")
                                          : QStringLiteral(" DATOTEKA)."))
            << Qt::endl;
        return Failed;
    }
    if (arguments.hasOption(QStringLiteral("--sign")) && option != reportOption) {
        err << QStringLiteral("Napaka: --sign velja le skupaj z --report.") << Qt::endl;
        return Failed;
    }
    ConsolePrompter prompter(err);
    DataModule dataModule(arguments.login(), programDirectory);
    Configuration configuration = Configuration::read(programDirectory);
    for (const QString &message : configuration.messages)
        prompter.warning(message);
    const bool signs = option == signFileOption || option == signPdfOption ||
                       (option == reportOption && arguments.hasOption(QStringLiteral("--sign")));
    // The scheduler may keep the pass phrase in a file of its own instead of RAPO.ini.
    if (const QString file = qEnvironmentVariable("RAPO_PASSPHRASE_FILE");
        signs && !file.isEmpty()) {
        QString refusal;
        const std::optional<QString> passPhrase = PassPhraseFile::read(file, &refusal);
        if (!passPhrase) {
            prompter.error(refusal);
            return Failed;
        }
        configuration.passPhrase = *passPhrase;
    }
    Session session(dataModule.dbMain(), configuration, dataModule.applicationUser(),
                    programDirectory, prompter, clock, waiter);
    session.onProgress = [&err](const QString &step) { err << step << Qt::endl; };
    // A wrong alias or a database that cannot be opened is told before anything else; without
    // the settings that reporting needs nothing is collected, generated or signed.
    try {
        dataModule.dbMain().connection();
        if (option == reportOption || option == regenerateOption)
            configuration.requireForReporting();
        if (signs)
            configuration.requireForSigning();
    } catch (const RapoError &e) {
        prompter.error(e.message());
        return Failed;
    }
    // Signing needs the remembered credentials; without them nothing is collected.
    if (signs && (configuration.gnupgUser.isEmpty() || configuration.passPhrase.isEmpty())) {
        prompter.error(QStringLiteral("v RAPO.ini ni shranjenega uporabnika ali gesla za "
                                      "podpisovanje (GnuPG, User in PassPhrase)."));
        return Failed;
    }
    QProcessRunner processRunner(session.waiter, session.clock);
    ProcessRunner &gnupg = runner ? *runner : processRunner;
    try {
        if (option == reportOption)
            return report(session, gnupg, *from, *to, arguments.hasOption(QStringLiteral("--sign")),
                          out, err);
        if (option == listOption)
            return listReports(session, *from, *to, out);
        if (option == signPdfOption)
            return signPdfs(session, gnupg, out, err);
        return registerCommand(session, gnupg, option, values.value(0), out, err);
    } catch (const RapoError &e) {
        prompter.error(e.message());
        return Failed;
    }
}
