#include "SpreadsheetCommands.h"

#include "CollectionExport.h"
#include "CollectionRun.h"
#include "ConsolePrompter.h"
#include "DailyReport.h"
#include "DataModule.h"
#include "Query.h"
#include "RapoError.h"
#include "RunState.h"
#include "Session.h"
#include "ShortDateFormat.h"
#include "TradeImport.h"
#include "WorkingSet.h"

#include <QFileInfo>
#include <optional>

namespace {
const QString importOption = QStringLiteral("--import");
const QString exportOption = QStringLiteral("--export");

// Giving "--import" is the confirmation of the day; an unknown instrument is skipped ("Ignore")
// and listed at the end. Everything else goes to standard error as without a window.
class ImportAnswers : public ConsolePrompter {
public:
    using ConsolePrompter::ConsolePrompter;
    bool okCancel(const QString &text) override {
        information(text + QStringLiteral(" -> V redu (potrjeno z ukazom)"));
        return true;
    }
    bool abortIgnore(const QString &) override { return false; }
};

int importTrades(Session &session, const QString &file, const QDate &day, QTextStream &out,
                 QTextStream &err) {
    const TradeImport::Result result = TradeImport::run(
        session, file, day, TradeImport::nextId(session), [&err](int position, int rows) {
            if (position == 0)
                err << QStringLiteral("Uvoz ") << rows - 1 << QStringLiteral(" vrstic") << Qt::endl;
        });
    for (const TradeImport::Skipped &skipped : result.skipped)
        err << QStringLiteral("Vrstica ") << skipped.row << QStringLiteral(" ni uvožena: ")
            << skipped.reason << Qt::endl;
    out << QStringLiteral("Uvoženih novih transakcij: ") << result.inserted
        << QStringLiteral(", posodobljenih: ") << result.updated << Qt::endl;
    switch (result.ending) {
    case TradeImport::Ending::Refused:
        err << QStringLiteral("Napaka: nič ni uvoženo.") << Qt::endl;
        return SpreadsheetCommands::Failed;
    case TradeImport::Ending::Stopped:
        err << QStringLiteral("Napaka: uvoz je prekinjen; uvožene so vrstice pred napako.")
            << Qt::endl;
        return SpreadsheetCommands::Failed;
    default:
        break;
    }
    if (!result.skipped.isEmpty())
        return SpreadsheetCommands::Failed;
    if (result.inserted + result.updated == 0) {
        err << QStringLiteral("V delovnem zvezku ni transakcij.") << Qt::endl;
        return SpreadsheetCommands::NothingToDo;
    }
    return SpreadsheetCommands::Done;
}

int exportPeriod(Session &session, const QDate &from, const QDate &to, const QString &file,
                 QTextStream &out, QTextStream &err) {
    WorkingSet workingSet(session);
    RunState state;
    const CollectionRun::Result run = CollectionRun::run(session, workingSet, state, from, to);
    if (run.ending == CollectionRun::Ending::ChoiceNeeded) {
        err << QStringLiteral("Za te ISIN-e je treba v oknu (zavihek \"Fin. instr.\") izbrati "
                              "instrument za poročanje:")
            << Qt::endl;
        Query q(session.db);
        q.setText(QStringLiteral("select distinct ISIN from DPATVP_SFVP where SFVP_POROCANJE is "
                                 "null order by ISIN"));
        for (q.open(); !q.eof(); q.next())
            out << q.asString(QStringLiteral("ISIN")) << Qt::endl;
        return SpreadsheetCommands::ChoiceNeeded;
    }
    if (run.rows == 0) {
        err << QStringLiteral("Nabor je prazen! Izvoz ni možen!") << Qt::endl;
        return SpreadsheetCommands::NothingToDo;
    }
    session.progress(QStringLiteral("Izvoz"));
    const QString path = QFileInfo(file).absoluteFilePath();
    QString reason;
    if (!CollectionExport::write(workingSet.qDPATVPPSL, QStringLiteral("RAPO Export"), path,
                                 &reason)) {
        err << QStringLiteral("Napaka: delovnega zvezka \"") << path
            << QStringLiteral("\" ni bilo mogoče shraniti: ") << reason << u'.' << Qt::endl;
        return SpreadsheetCommands::Failed;
    }
    out << path << Qt::endl;
    return SpreadsheetCommands::Done;
}
} // namespace

bool SpreadsheetCommands::wanted(const ProgramArguments &arguments) {
    return arguments.hasOption(importOption) || arguments.hasOption(exportOption);
}

int SpreadsheetCommands::run(const ProgramArguments &arguments, const QString &programDirectory,
                             const Clock &clock, Waiter &waiter, QTextStream &out,
                             QTextStream &err) {
    if (DailyReport::wanted(arguments) ||
        (arguments.hasOption(importOption) && arguments.hasOption(exportOption))) {
        err << QStringLiteral("Napaka: naenkrat je mogoč le en ukaz.") << Qt::endl;
        return Failed;
    }
    const bool importing = arguments.hasOption(importOption);
    const QStringList values = arguments.options.value(importing ? importOption : exportOption);
    const QString file = importing ? values.value(0) : values.value(2);
    std::optional<QDate> from = DailyReport::dateArgument(values.value(importing ? 1 : 0), err);
    std::optional<QDate> to = importing ? from
                              : from    ? DailyReport::dateArgument(values.value(1), err)
                                        : std::nullopt;
    if (!from || !to)
        return Failed;
    if (file.isEmpty() || file.startsWith(QStringLiteral("--")) ||
        (!importing &&
         QFileInfo(file).suffix().compare(QStringLiteral("xlsx"), Qt::CaseInsensitive) != 0)) {
        err << QStringLiteral("Napaka: ")
            << (importing ? QStringLiteral("--import potrebuje delovni zvezek (.xls ali .xlsx) in "
                                           "dan: --import DATOTEKA DD.MM.LLLL")
                          : QStringLiteral("--export potrebuje obdobje in ime delovnega zvezka "
                                           ".xlsx: --export OD DO DATOTEKA.xlsx"))
            << Qt::endl;
        return Failed;
    }
    if (!arguments.hasArguments()) {
        err << QStringLiteral("Napaka: manjkajo podatkovni vir, uporabnik in geslo (rapo ALIAS "
                              "UPORABNIK GESLO ")
            << (importing ? QStringLiteral("--import DATOTEKA DAN).")
                          : QStringLiteral("--export OD DO DATOTEKA)."))
            << Qt::endl;
        return Failed;
    }
    ImportAnswers importAnswers(err);
    ConsolePrompter console(err);
    Prompter &prompter = importing ? static_cast<Prompter &>(importAnswers) : console;
    DataModule dataModule(arguments.login(), programDirectory);
    const Configuration configuration = Configuration::read(programDirectory);
    for (const QString &message : configuration.messages)
        prompter.warning(message);
    Session session(dataModule.dbMain(), configuration, dataModule.applicationUser(),
                    programDirectory, prompter, clock, waiter);
    session.onProgress = [&err](const QString &step) { err << step << Qt::endl; };
    try {
        if (importing)
            return importTrades(session, file, *from, out, err);
        configuration.requireForReporting();
        return exportPeriod(session, *from, *to, file, out, err);
    } catch (const RapoError &e) {
        prompter.error(e.message());
        return Failed;
    }
}
