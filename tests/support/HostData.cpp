#include "HostData.h"

#include "Query.h"

namespace {
void bind(Query &q, const QString &name, const QVariant &v) {
    if (v.isNull() || !v.isValid())
        q.setNull(name);
    else if (v.typeId() == QMetaType::QDate)
        q.setDate(name, v.toDate());
    else if (v.typeId() == QMetaType::QDateTime)
        q.setDateTime(name, v.toDateTime());
    else if (v.typeId() == QMetaType::Double)
        q.setNumber(name, v.toDouble());
    else if (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong)
        q.setInteger(name, v.toLongLong());
    else
        q.setString(name, v.toString());
}

void insert(Database &db, const QString &table, const QList<QPair<QString, QVariant>> &values) {
    QStringList names;
    QStringList markers;
    for (const auto &[name, value] : values) {
        names << name;
        markers << u':' + name;
    }
    Query q(db);
    q.setText("INSERT INTO " + table + " (" + names.join(", ") + ") VALUES (" + markers.join(", ") +
              ")");
    for (const auto &[name, value] : values)
        bind(q, name, value);
    q.exec();
}
} // namespace

HostData::HostData(Database &db) : db_(db) {}

void HostData::exec(const QString &sql) {
    Query q(db_);
    q.setText(sql);
    q.exec();
}

void HostData::basics() {
    insert(db_, "DRZ", {{"SfDrz", 1}, {"ISOKODA", "si"}});
    insert(db_, "VLT", {{"SfVlt", "1"}, {"KRT", "eur"}});
    insert(db_, "FIN", {{"SFFIN", "DEL"}});
    insert(db_, "OSB",
           {{"SfOsb", 2},
            {"MTS", "5860571000"},
            {"SWIFT", "brokSI22"},
            {"NZV", "Borzni posrednik d.d."},
            {"SfDRZ", 1}});
    insert(db_, "OSB",
           {{"SfOsb", 10}, {"SWIFT", "clntSI2x"}, {"NZV", "Stranka z BIC"}, {"SfDRZ", 1}});
    insert(db_, "OSB", {{"SfOsb", 11}, {"NZV", "Fizična oseba"}, {"SfDRZ", 1}});
    insert(db_, "OSB", {{"SfOsb", 50}, {"NZV", "Izdajatelj d.d."}, {"SfDRZ", 1}});
    contract(1, 10);
    contract(2, 11);
    contract(3, 2);
    venue(8, "xlju", "+01");
}

void HostData::venue(int sfTrg, const QString &mic, const QVariant &timeZone, const QString &kind,
                     const QString &domestic) {
    insert(db_, "TRG",
           {{"SfTrg", sfTrg},
            {"MIC", mic},
            {"TimeZone", timeZone},
            {"SfTRZ", kind},
            {"SfDrzTrg", domestic}});
}

void HostData::instrument(int sfvp, const QVariant &isin, int venue, const QString &segment,
                          const QVariant &maturity, const QString &reportable) {
    instrument({sfvp, isin, venue, segment, maturity, reportable});
}

void HostData::instrument(const Instrument &i) {
    const int sfvp = i.sfvp;
    const int venue = i.venue;
    const QString &segment = i.segment;
    insert(db_, "SFVP",
           {{"SFVP", sfvp},
            {"ISIN", i.isin},
            {"KRT", QString("VP%1").arg(sfvp)},
            {"NZV", QString("Vrednostni papir %1").arg(sfvp)},
            {"CFI", i.cfi},
            {"ZPDVP", i.maturity},
            {"SfGlvEnt", i.priceUnit},
            {"IZVCEN", i.strike},
            {"PorocanjeRAPO", i.reportable},
            {"DANSPR", QDate(2013, 1, 1)},
            {"GLVNMN", 1.0},
            {"SfVLTNMN", "1"},
            {"LOTEMS", 1000000.0},
            {"SFOSBIZD", 50},
            {"SFFIN", "DEL"},
            {"KOS", i.pieces}});
    insert(db_, "KTC",
           {{"SFKTC", sfvp * 10},
            {"SFVP", sfvp},
            {"SFTRG", venue},
            {"SfSgt", segment},
            {"Dan", QDate(2010, 1, 1)}});
}

void HostData::contract(int idPog, int person, const QVariant &remoteMember) {
    insert(db_, "POG",
           {{"IdPog", idPog},
            {"SfOsb", person},
            {"NZV", QString("Pogodba %1").arg(idPog)},
            {"KRTKDD", QString("KDD%1").arg(idPog)},
            {"REMOTECLAN", remoteMember}});
}

void HostData::person(int sfOsb, const QVariant &swift, const QVariant &bankCode) {
    insert(db_, "OSB",
           {{"SfOsb", sfOsb},
            {"SWIFT", swift},
            {"KRTBNK", bankCode},
            {"NZV", QString("Oseba %1").arg(sfOsb)},
            {"SfDRZ", 1}});
}

void HostData::coupon(int sfKpn, int sfvp, double principal, const QDate &first, const QDate &last,
                      const QString &ends) {
    insert(db_, "KPN",
           {{"SfKpn", sfKpn},
            {"SFVP", sfvp},
            {"GLV", principal},
            {"prvdan", first},
            {"zdnDan", last},
            {"sfobm", ends}});
}

namespace {
QList<QPair<QString, QVariant>> tradeColumns(const HostData::Trade &t) {
    return {{"IdPsl", t.id},
            {"Dan", t.day},
            {"CAS", QDateTime(t.day, t.time)},
            {"SfPsl", t.type},
            {"SFDJV", t.activity},
            {"GlvTcj", t.price},
            {"SfGlvEnt", t.priceUnit},
            {"Lot", t.lot},
            {"IdPslTrp", t.opposite},
            {"IdPog", t.contract},
            {"SfTrg", t.venue},
            {"SFVP", t.sfvp},
            {"SfVlt", "1"},
            {"SFTYPE", t.kind},
            {"SfKpn", t.coupon},
            {"IdPogTrp", t.counterContract}};
}
} // namespace

void HostData::trade(const Trade &t) {
    insert(db_, "PSL", tradeColumns(t));
}

void HostData::cancellation(const Trade &t, const QVariant &replacement) {
    auto columns = tradeColumns(t);
    columns.append({"IDPSLEDT", replacement});
    insert(db_, "DPATVPPSLSTN", columns);
}

void HostData::import(int idImp, const QDate &day, int sfvp, const QString &isin, qint64 reference,
                      const QString &kind, const QVariant &report) {
    insert(db_, "DPATVPIMP",
           {{"IDIMP", idImp},
            {"DATUM", day},
            {"CAS", QDateTime(day, QTime(11, 0))},
            {"CASPAS", "+01"},
            {"INDNAKPRO", "B"},
            {"TRGZMO", "A"},
            {"ISIN", isin},
            {"CENA", 3.5},
            {"ZAPCENE", "C"},
            {"VAL", "eur"},
            {"KOL", 40.0},
            {"NASSTR", "XLJU"},
            {"OZNNASSTR", "MIC"},
            {"KLIENT", "clntSI2x"},
            {"OZNKLIENTA", "BIC"},
            {"IDENTMESTA", "XLJU"},
            {"OZNMESTA", "MIC"},
            {"RAZTRANSA", kind},
            {"REFSTTRANSA", reference},
            {"INTINDINSTR", sfvp},
            {"DPATVPID", report}});
}

void HostData::report(qint64 id, const QDate &day, int zapSt, const QVariant &sent, int status) {
    // File names are unique in the register: a further report of the collection (a
    // regeneration) is told apart by its number.
    Query earlier(db_);
    earlier.setText("select count(*) as N from DPATVP where XML_FILE = :File");
    earlier.setString("File", QString("TRDAT01_%1.xml").arg(id));
    earlier.open();
    const QString file = earlier.asInteger("N") == 0
                             ? QString("TRDAT01_%1.xml").arg(id)
                             : QString("TRDAT01_%1_%2.xml").arg(id).arg(zapSt);
    insert(db_, "DPATVP",
           {{"DPATVPID", id},
            {"DANPOROCANJA", day},
            {"DAN", sent},
            {"ZAPST", zapSt},
            {"XML_FILE", file},
            {"STATUS", status}});
}

void HostData::assignment(qint64 report, int trade, const QString &isStn, qint64 reference) {
    insert(db_, "DPATVPPSL",
           {{"DPATVPID", report}, {"IDPSL", trade}, {"ISSTN", isStn}, {"IDREFATVP", reference}});
}
