#include "WorkingSetCheck.h"

#include "InstrumentLookup.h"
#include "NtrsDocument.h"
#include "Query.h"
#include "Session.h"
#include "TransactionReference.h"

#include <QHash>
#include <QSet>
#include <algorithm>

namespace {
const QString referenceField = QStringLiteral("Referenčna št. transakcije");
const QString instrumentField = QStringLiteral("Instrument");

QString dayText(const QDateTime &value) {
    return value.date().toString(QStringLiteral("dd.MM.yyyy"));
}

// Why a collected trade is not in the working set, as the statements below number it.
enum Reason { UnknownInstrument = 1, NoOpenListing = 2, OutsidePeriod = 3, OtherData = 4 };

// A trade held by the working set, as one number: its own number and its kind.
enum Kind { HostTrade = 0, HostCancellation = 1, Imported = 2 };
qint64 heldKey(qint64 number, Kind kind) {
    return number * 4 + kind;
}
} // namespace

WorkingSetCheck::Failed::Failed(std::vector<Failure> failures)
    : RapoError([&] {
          QStringList lines;
          lines << QStringLiteral("Poročila ni mogoče generirati, ker podatki v naboru niso "
                                  "pravilni (napak: %1):")
                       .arg(failures.size());
          for (const Failure &f : failures)
              lines << WorkingSetCheck::line(f);
          return lines.join(u'\n');
      }()),
      failures_(std::move(failures)) {}

WorkingSetCheck::WorkingSetCheck(Session &session, Query &rows, Query &instruments,
                                 qint64 collectionId, const QDate &from, const QDate &to)
    : session_(session), rows_(rows), instruments_(instruments), collectionId_(collectionId),
      from_(from), to_(to) {}

std::vector<WorkingSetCheck::Failure> WorkingSetCheck::run(NtrsDocument *report) {
    std::vector<Failure> failures;
    QSet<qint64> held;
    // Without a report the records are filled only to be checked.
    NtrsDocument checked(NtrsDocument::Items::Discarded);
    checkInstruments(failures, report ? *report : checked);
    checkRows(failures, held, report ? *report : checked);
    checkCollected(failures, held);
    if (rows_.active())
        rows_.first();
    if (instruments_.active())
        instruments_.first();
    return failures;
}

void WorkingSetCheck::refuseFailures(NtrsDocument *report) {
    std::vector<Failure> failures = run(report);
    if (!failures.empty())
        throw Failed(std::move(failures));
}

void WorkingSetCheck::checkInstruments(std::vector<Failure> &failures, NtrsDocument &document) {
    if (!instruments_.active())
        return;
    // The instrument records carry the first row's reference in their messages, as the report's.
    if (rows_.active())
        rows_.first();
    const QString firstReference =
        rows_.active() && !rows_.eof() ? rows_.asString(QStringLiteral("RefStTransaC")) : QString();
    InstrumentList instrumentList = document.root().Sifrant();
    QSet<QString> seen;
    for (instruments_.first(); !instruments_.eof(); instruments_.next()) {
        const QString code = instruments_.asString(QStringLiteral("IntIdent"));
        if (seen.contains(code))
            continue;
        seen.insert(code);
        const size_t before = failures.size();
        RecordContent(session_.configuration, firstReference, &failures)
            .fillInstrument(instrumentList.append(), instruments_);
        for (size_t i = before; i < failures.size(); ++i)
            failures[i].reference = QStringLiteral("FI ") + code;
    }
}

void WorkingSetCheck::checkRows(std::vector<Failure> &failures, QSet<qint64> &held,
                                NtrsDocument &document) {
    if (!rows_.active())
        return;
    NtrsRoot root = document.root();
    // How often each reference occurs, and where first, so repeated ones are told in order.
    struct Occurrences {
        int first = 0;
        int transactions = 0;
        int cancellations = 0;
    };
    QHash<QString, Occurrences> occurrences;
    InstrumentLookup instruments(instruments_);
    for (rows_.first(); !rows_.eof(); rows_.next()) {
        const bool imported = rows_.asString(QStringLiteral("VRSTA")) == QLatin1String("I");
        const bool cancellation = rows_.asString(QStringLiteral("ISSTN")) == QLatin1String("D");
        held.insert(heldKey(rows_.asInteger(QStringLiteral("IdPsl")),
                            imported ? Imported : (cancellation ? HostCancellation : HostTrade)));
        if (RecordContent::isLeftOut(rows_))
            continue;
        const QString reference = rows_.asString(QStringLiteral("RefStTransaC"));
        const RecordContent content(session_.configuration, reference, &failures);
        auto counted = occurrences.find(reference);
        if (counted == occurrences.end())
            counted = occurrences.insert(reference, {int(occurrences.size()), 0, 0});
        if (cancellation) {
            content.fillCancellation(root.CancelledTransactions().append(), rows_);
            ++counted->cancellations;
        } else {
            content.fillTransaction(root.TransactionReporting().append(), rows_, instruments);
            ++counted->transactions;
        }
    }
    // A transaction and the cancellation of an earlier report of it may share a reference.
    std::vector<std::pair<int, QString>> repeated;
    for (auto o = occurrences.cbegin(); o != occurrences.cend(); ++o)
        if (o->transactions > 1 || o->cancellations > 1)
            repeated.emplace_back(o->first, o.key());
    std::sort(repeated.begin(), repeated.end());
    for (const auto &[first, reference] : repeated) {
        const Occurrences &o = occurrences[reference];
        for (const int n : {o.transactions, o.cancellations})
            if (n > 1)
                failures.push_back(
                    {reference, referenceField, reference, QStringLiteral("enkrat v poročilu"),
                     QStringLiteral("Referenčna številka transakcije ") + reference +
                         QStringLiteral(" se v naboru pojavi %1-krat; vsaka transakcija je v "
                                        "poročilu lahko le enkrat.")
                             .arg(n)});
    }
}

void WorkingSetCheck::openForCollection(Query &query) const {
    query.setInteger(QStringLiteral("Id"), collectionId_);
    query.setDate(QStringLiteral("Datum"), from_);
    query.setDate(QStringLiteral("DatumDo"), to_);
    query.open();
}

void WorkingSetCheck::checkCollected(std::vector<Failure> &failures,
                                     const QSet<qint64> &inWorkingSet) {
    if (collectionId_ == 0)
        return;
    Query host(session_.db);
    host.setText(QStringLiteral(
        " SELECT D.IDPSL as IDPSL, D.ISSTN as ISSTN, "
        " (CASE WHEN D.ISSTN='D' THEN C.SFVP ELSE P.SFVP END) as SFVP, "
        " (CASE WHEN D.ISSTN='D' THEN C.DAN ELSE P.Dan END) as DAN, S.KRT as KRT, "
        " (CASE WHEN S.SFVP IS NULL THEN 1 "
        "  WHEN NOT EXISTS (select K.SFKTC from KTC K where K.SFVP=S.SFVP "
        "                   and (K.DanPrk is null or K.DanPrk>:Datum)) THEN 2 "
        "  WHEN (D.ISSTN IS NULL OR D.ISSTN<>'D') AND (P.Dan<:Datum OR P.Dan>:DatumDo) THEN 3 "
        "  ELSE 4 END) as RAZLOG "
        " FROM DPATVPPSL D LEFT OUTER JOIN PSL P ON P.IdPsl=D.IdPsl "
        " LEFT OUTER JOIN DPATVPPSLSTN C ON C.IdPsl=D.IdPsl "
        " LEFT OUTER JOIN SFVP S ON S.SFVP=(CASE WHEN D.ISSTN='D' THEN C.SFVP ELSE P.SFVP END) "
        " WHERE D.DPATVPID=:Id ORDER BY D.IDPSL, D.ISSTN"));
    openForCollection(host);
    for (; !host.eof(); host.next()) {
        const QString id = host.asString(QStringLiteral("IDPSL"));
        const QString reference =
            transactionReference(id, false, session_.configuration.posliVekPrefiks,
                                 session_.configuration.posliImportPrefiks);
        const bool cancellation = host.asString(QStringLiteral("ISSTN")) == QLatin1String("D");
        if (inWorkingSet.contains(heldKey(host.asInteger(QStringLiteral("IDPSL")),
                                          cancellation ? HostCancellation : HostTrade)))
            continue;
        const QString instrument = host.asString(QStringLiteral("KRT")).isEmpty()
                                       ? host.asString(QStringLiteral("SFVP"))
                                       : host.asString(QStringLiteral("KRT"));
        const QString head =
            (cancellation ? QStringLiteral("Storno posla ") : QStringLiteral("Posel ")) + id +
            QStringLiteral(" je v naboru, a ne med transakcijami: ");
        QString rule;
        QString why;
        switch (host.asInteger(QStringLiteral("RAZLOG"))) {
        case UnknownInstrument:
            rule = QStringLiteral("instrument v šifrantu");
            why = QStringLiteral("instrumenta ") + instrument +
                  QStringLiteral(" ni v šifrantu instrumentov.");
            break;
        case NoOpenListing:
            rule = QStringLiteral("odprta kotacija");
            why = QStringLiteral("instrument ") + instrument +
                  QStringLiteral(" nima kotacije, odprte po ") +
                  from_.toString(QStringLiteral("dd.MM.yyyy")) + u'.';
            break;
        case OutsidePeriod:
            rule = QStringLiteral("obdobje nabora");
            why = QStringLiteral("posel z dne ") + dayText(host.asDateTime(QStringLiteral("DAN"))) +
                  QStringLiteral(" je zunaj obdobja nabora.");
            break;
        default:
            rule = QStringLiteral("podatki posla");
            why = QStringLiteral("manjkajo podatki posla (pogodba, oseba, trg ali valuta) ali "
                                 "instrument za poročanje.");
        }
        failures.push_back({reference, instrumentField, instrument, rule, head + why});
    }

    Query imported(session_.db);
    imported.setText(QStringLiteral(
        " SELECT D.REFSTTRANSA as REFSTTRANSA, D.INTINDINSTR as INTINDINSTR, "
        " (CASE WHEN NOT EXISTS (select S.SFVP from SFVP S where S.SFVP=D.INTINDINSTR) THEN 1 "
        "  ELSE 4 END) as RAZLOG "
        " FROM DPATVPIMP D WHERE D.DPATVPID=:Id AND D.Datum>=:Datum AND D.Datum<=:DatumDo "
        " ORDER BY D.REFSTTRANSA"));
    openForCollection(imported);
    for (; !imported.eof(); imported.next()) {
        const QString number = imported.asString(QStringLiteral("REFSTTRANSA"));
        if (inWorkingSet.contains(
                heldKey(imported.asInteger(QStringLiteral("REFSTTRANSA")), Imported)))
            continue;
        const QString reference =
            transactionReference(number, true, session_.configuration.posliVekPrefiks,
                                 session_.configuration.posliImportPrefiks);
        const QString instrument = imported.asString(QStringLiteral("INTINDINSTR"));
        const bool unknown = imported.asInteger(QStringLiteral("RAZLOG")) == UnknownInstrument;
        failures.push_back(
            {reference, instrumentField, instrument,
             unknown ? QStringLiteral("instrument v šifrantu") : QStringLiteral("podatki posla"),
             QStringLiteral("Uvožen posel ") + number +
                 QStringLiteral(" je v naboru, a ne med transakcijami: ") +
                 (unknown ? QStringLiteral("instrumenta ") + instrument +
                                QStringLiteral(" ni v šifrantu instrumentov.")
                          : QStringLiteral("manjka instrument za poročanje."))});
    }
}

QStringList WorkingSetCheck::columnTitles() {
    return {QStringLiteral("Ref. št. transakcije"), QStringLiteral("Polje"),
            QStringLiteral("Podatek"), QStringLiteral("Pravilo"), QStringLiteral("Sporočilo")};
}

QList<QStringList> WorkingSetCheck::table(const std::vector<Failure> &failures) {
    QList<QStringList> rows;
    for (const Failure &f : failures)
        rows << QStringList{f.reference, f.field.simplified(), f.value, f.rule,
                            f.message.simplified()};
    return rows;
}

QString WorkingSetCheck::line(const Failure &failure) {
    return table({failure}).first().join(u'\t');
}
