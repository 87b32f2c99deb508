#include "WorkingSet.h"

#include "FieldFormat.h"
#include "RapoError.h"
#include "RunState.h"
#include "Session.h"
#include "SqlDialect.h"
#include "TransactionReference.h"
#include "WorkingSetSql.h"

namespace {
using T = FieldDef::Type;

FieldDef text(const char *name, int size, const char *caption, bool visible = true) {
    FieldDef f{name, T::Text, QString::fromUtf8(caption), qMin(size, 30), visible};
    f.size = size;
    return f;
}

FieldDef field(const char *name, T type, const char *caption, bool visible = true) {
    return FieldDef{name, type, QString::fromUtf8(caption), 0, visible};
}

const QString refColumn = QStringLiteral("RefStTransaC");
const QString refCaption = QString::fromUtf8("Referenčna št. transakcije");
} // namespace

std::vector<FieldDef> WorkingSet::workingSetFields() {
    std::vector<FieldDef> f = {
        text("POGNZV", 80, "Pogodba"),
        text("POGKDD", 10, "Kdd račun"),
        text("SFVP_VEK", 40, "Oznaka VP", false),
        text("MTS_BPH", 11, "Oznaka zavezanca", false),
        text("MTS_BPHCalc", 11, "Oznaka zavezanca"),
        text("SWIFT_BPH", 20, "Swift"),
        field("Dan", T::Date, "Datum transakcije"),
        field("Cas", T::Time, "Čas transakcije"),
        text("Offset", 3, "Časovni pas"),
        text("SFVP_KRT", 40, "Kratica VP"),
        text("IndNakProd", 1, "Indikator nakupa/prodaje"),
        text("TrgZmog", 1, "Trgovalna zmogljivost"),
        text("ISIN", 12, "Identifikacija instrumenta ISIN"),
        field("IntIndInstr", T::Whole, "Interna identifikacija instrumenta"),
        field("CenaEnote", T::Number, "Cena enote"),
        text("ZapisCene", 1, "Zapis cene"),
        text("Valuta", 3, "Valuta"),
        field("Lot", T::Number, "Količina"),
        text("SfTRZ", 20, "Šifra tržišča", false),
        text("MIC", 4, "MIC"),
        field("SfTrg", T::Whole, "Šifra trga"),
        text("SWIFT", 11, "SWIFT stranke"),
        text("KRTBNK", 20, "Kratica banke"),
        text("OznakaNaspStranke", 20, "Oznaka nasprotne stranke"),
        field("IdPsl", T::Whole, "ID posla"),
        text("SfDjv", 20, "Dejavnost"),
        field("IDPSLTRP", T::Whole, "Protiposel ID"),
        text("NS_SFDJV", 20, "Dejavnost nasprotne stranke"),
        text("NS_SWIFT", 11, "SWIFT nasprotne stranke"),
        text("NS_KRTBNK", 20, "Kratica banke nasprotne stranke"),
        text("NS_OznakaKlijenta", 20, "Oznaka klienta nasprotne stranke"),
        text("OznakaKlijenta", 20, "Oznaka klienta"),
        text("IdentMesta", 20, "Identifikacija mesta"),
        text("OznakaIdentMesta", 20, "Oznaka ident. mesta"),
        field("RefStTransa", T::Whole, "Izvorna referenčna št."),
        field("DPATVPID", T::Whole, "ID za DPATVP", false),
        text("ISSTN", 1, "Stornirana", false),
        field("IDREFATVP", T::Whole, "Referenčna št. DPATVP", false),
        text("TRP_SWIFT", 11, "", false),
        text("VRSTA", 1, "Vrsta"),
        text("RefStTransaC", 12, "Referenčna št. transakcije"),
        text("Trg_MIC", 20, "MIC koda"),
        field("IZVCEN", T::Number, "Izvršilna cena"),
        field("ZPDVP", T::Date, "Zapadlost VP"),
        text("CFI", 20, "CFI koda"),
        field("KPN_GLV", T::Number, "Glavnica kupona"),
    };
    for (FieldDef &d : f)
        d.calculated = d.name == QLatin1String("MTS_BPHCalc") || d.name == refColumn;
    return f;
}

std::vector<FieldDef> WorkingSet::instrumentFields() {
    return {
        text("SWIFT_BPH", 20, "Swift"),
        text("ISIN", 14, "Identifikacija instrumenta ISIN"),
        field("INTIDENT", T::Whole, "Interna identifikacija instrumenta"),
        text("IMEINSTRUMENTA", 80, "Ime instrumenta"),
        text("IMEIZDAJATELJA", 80, "Naziv izdajatelja"),
        text("ISOKODA", 2, "Država izdajatelja"),
        text("TIPINSTR", 6, "Tip instrumenta"),
        text("OZNAKATIPAINSTR", 6, "Oznaka tipa instrumenta"),
        field("DANSPR", T::Date, "Datum zadnje spremembe"),
        field("NOMVREDENOTE", T::Number, "Nominalna vrednost enote"),
        text("VALUTA", 3, "Valuta"),
        field("LOTEMS", T::Number, "Izdana količina"),
        field("DATUMPRENEHANJA", T::Date, "Datum prenehanja"),
        field("SFVP", T::Whole, "Šifra VP"),
        text("KOS", 1, "Kos"),
        field("GLVNMN", T::Number, "", false),
        text("VLT", 3, "", false),
        field("Referenca", T::Whole, "Prejšnja interna identifikacija"),
        text("Trg_MIC", 20, "MIC koda"),
        text("KRT", 40, "Kratica VP"),
        field("IZVCEN", T::Number, "Izvršilna cena"),
    };
}

QString WorkingSet::transactionReference(const QString &reference, bool imported,
                                         const QString &hostPrefix, const QString &importPrefix) {
    return ::transactionReference(reference, imported, hostPrefix, importPrefix);
}

WorkingSet::WorkingSet(Session &session)
    : qDPATVPPSL(session.db, QStringLiteral("qDPATVPPSL")),
      qSifrantFinInstr(session.db, QStringLiteral("qSifrantFinInstr")), session_(session) {
    const Configuration &c = session.configuration;
    workingSetTemplate_ = SqlDialect::workingSetTemplate(
        SqlDialect::adaptWorkingSet(WorkingSetSql::workingSet(), c), c.isDb2);
    instrumentTemplate_ = WorkingSetSql::instruments();
    instrumentTemplate_ = SqlDialect::replaceAll(instrumentTemplate_, QStringLiteral("%null_int%"),
                                                 c.isDb2 ? QStringLiteral("CAST(null AS integer)")
                                                         : QStringLiteral("null"));
    instrumentTemplate_ = SqlDialect::adaptNvl(instrumentTemplate_, c.isDb2);

    qDPATVPPSL.setFields(workingSetFields());
    qDPATVPPSL.setCalcFields([this](const DataSet &ds, DataSet::Row &row) {
        const Configuration &config = session_.configuration;
        const QString firm =
            config.matStev.isEmpty()
                ? DataSet::valueText(row[ds.columnIndex(QStringLiteral("MTS_BPH"))])
                : config.matStev;
        row[ds.columnIndex(QStringLiteral("MTS_BPHCalc"))] = firm.left(7);

        const QString reference =
            DataSet::valueText(row[ds.columnIndex(QStringLiteral("RefStTransa"))]);
        const bool imported =
            DataSet::valueText(row[ds.columnIndex(QStringLiteral("VRSTA"))]) == QLatin1String("I");
        const QString text = transactionReference(reference, imported, config.posliVekPrefiks,
                                                  config.posliImportPrefiks);
        // A reference longer than its 12 digits would be cut by the check and could repeat
        // another trade's reference; such a configuration is refused instead.
        if (text.size() > 12)
            throw RapoError(
                QStringLiteral("Referenčna številka transakcije ") + text +
                QStringLiteral(" je daljša od 12 znakov. Preverite predpono v RAPO.ini."));
        row[ds.columnIndex(refColumn)] =
            FieldFormat::check(FieldFormat::FormatColumn{refColumn, refCaption, text},
                               QStringLiteral("12(n)"), {}, {}, text);
        if (state_ &&
            DataSet::valueText(row[ds.columnIndex(QStringLiteral("ISSTN"))]) != QLatin1String("D"))
            state_->hasUnreversedRows = true;
    });
    qSifrantFinInstr.setFields(instrumentFields());
}

void WorkingSet::setPeriod(Query &q, const QDate &from, const QDate &to, qint64 collectionId) {
    q.setDate(QStringLiteral("Datum"), from);
    q.setDate(QStringLiteral("DatumDo"), to);
    q.setInteger(QStringLiteral("FMaxDpAtvpId"), collectionId);
}

void WorkingSet::load(const QDate &from, const QDate &to, qint64 collectionId, RunState &state,
                      bool regenerated) {
    qDPATVPPSL.close();
    qDPATVPPSL.setText(
        regenerated
            ? SqlDialect::replaceAll(
                  workingSetTemplate_,
                  QStringLiteral("where D.dpatvpid not in (select DPATVPID from DPATVP)"),
                  QStringLiteral("where D.dpatvpid = ") + QString::number(collectionId) + u' ')
            : workingSetTemplate_);
    setPeriod(qDPATVPPSL, from, to, collectionId);
    if (session_.isDb2())
        qDPATVPPSL.setText(SqlDialect::db2WorkingSetLoad(qDPATVPPSL.text()));
    state_ = &state;
    qDPATVPPSL.open();
    // The mark must reflect every row, not only those a grid happened to fetch.
    qDPATVPPSL.recordCount();
    qDPATVPPSL.first();
}

void WorkingSet::loadInstruments(const QDate &from, const QDate &to, qint64 collectionId,
                                 bool regenerated) {
    qSifrantFinInstr.close();
    qSifrantFinInstr.setText(
        regenerated ? SqlDialect::replaceAll(
                          instrumentTemplate_,
                          QStringLiteral("D1.dpatvpid not in (select DPATVPID from DPATVP)"),
                          QStringLiteral("D1.dpatvpid = ") + QString::number(collectionId) + u' ')
                    : instrumentTemplate_);
    setPeriod(qSifrantFinInstr, from, to, collectionId);
    qSifrantFinInstr.open();
}

void WorkingSet::close() {
    qDPATVPPSL.close();
    qSifrantFinInstr.close();
}
