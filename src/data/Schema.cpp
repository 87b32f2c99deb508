#include "Schema.h"

#include "Database.h"
#include "DbError.h"

#include <QSqlQuery>

namespace Schema {
namespace {
// Widths of the number columns of the program's own tables on the hosts. A double carries at
// most 17 significant digits, so nothing the program computes needs more than these.
// Identities and references (report numbers, trades, instruments, imports): whole numbers of
// up to 18 digits, what a 64-bit integer (DB2 BIGINT) holds.
constexpr Digits identity{18, 0};
// Sequence numbers within a year, statuses and counts.
constexpr Digits counter{9, 0};
// Prices, quantities, nominal values and amounts: 18 whole digits like an identity and 10 after
// the point, so a price quoted to eight decimals or a fractional quantity is kept as the host
// gives it (the report writes at most five). 28 digits fit both Oracle NUMBER and DB2 DECIMAL.
constexpr Digits decimal{28, 10};

// clang-format off
const std::vector<Table> allTables = {
    {"DPATVP",
     {{"DPATVPID", ColumnType::Number, 0, true, identity},
      {"DANPOROCANJA", ColumnType::DateTime, 0, true},
      {"DAN", ColumnType::DateTime, 0, false},
      {"ZAPST", ColumnType::Number, 0, true, counter},
      {"XML_FILE", ColumnType::Text, 30, false},
      {"STATUS", ColumnType::Number, 0, false, counter},
      {"DANOD", ColumnType::DateTime, 0, false}},
     {"DPATVPID", "ZAPST"},
     false},
    {"DPATVPPSL",
     {{"DPATVPID", ColumnType::Number, 0, true, identity},
      {"IDPSL", ColumnType::Number, 0, true, identity},
      {"ISSTN", ColumnType::Text, 1, true},
      {"IDREFATVP", ColumnType::Number, 0, true, identity}},
     {"DPATVPID", "IDPSL", "ISSTN"},
     false},
    {"DPATVPIMP",
     {{"IDIMP", ColumnType::Number, 0, false, identity},
      {"DATUM", ColumnType::DateTime, 0, false},
      {"CAS", ColumnType::DateTime, 0, false},
      {"CASPAS", ColumnType::Text, 3, false},
      {"INDNAKPRO", ColumnType::Text, 1, false},
      {"TRGZMO", ColumnType::Text, 1, false},
      {"ISIN", ColumnType::Text, 12, false},
      {"KRTVP", ColumnType::Text, 40, false},
      {"CENA", ColumnType::Number, 0, false, decimal},
      {"ZAPCENE", ColumnType::Text, 1, false},
      {"VAL", ColumnType::Text, 3, false},
      {"KOL", ColumnType::Number, 0, false, decimal},
      {"NASSTR", ColumnType::Text, 11, false},
      {"OZNNASSTR", ColumnType::Text, 3, false},
      {"KLIENT", ColumnType::Text, 11, false},
      {"OZNKLIENTA", ColumnType::Text, 8, false},
      {"IDENTMESTA", ColumnType::Text, 20, false},
      {"OZNMESTA", ColumnType::Text, 4, false},
      {"RAZTRANSA", ColumnType::Text, 1, false},
      {"REFSTTRANSA", ColumnType::Number, 0, false, identity},
      {"INTINDINSTR", ColumnType::Number, 0, false, identity},
      {"DPATVPID", ColumnType::Number, 0, false, identity}},
     {"IDIMP"},
     false},
    {"DPATVP_SFVP",
     {{"ISIN", ColumnType::Text, 14, false},
      {"SFVP_POROCANJE", ColumnType::Number, 0, false, identity},
      {"SFVP_OLD", ColumnType::Number, 0, false, identity},
      {"AII_MIC", ColumnType::Text, 4, false},
      {"AII_PRODUCT", ColumnType::Text, 12, false},
      {"AII_CFI", ColumnType::Text, 6, false},
      {"AII_EXPIRY", ColumnType::DateTime, 0, false},
      {"AII_STRIKEPRICE", ColumnType::Number, 0, false, decimal},
      {"IZD", ColumnType::Text, 80, false},
      {"DRZ_IZD", ColumnType::Text, 2, false},
      {"DANSPR", ColumnType::DateTime, 0, false},
      {"GLVNMN", ColumnType::Number, 0, false, decimal},
      {"VLT", ColumnType::Text, 3, false},
      {"LOTEMS", ColumnType::Number, 0, false, decimal},
      {"USRSPR", ColumnType::Text, 20, false},
      {"XML", ColumnType::Text, 1, false},
      {"SFVP_VEK", ColumnType::Whole, 0, false, identity},
      {"DANSPR_SFVP", ColumnType::Date, 0, false},
      {"INSTRUMENTNAME", ColumnType::Text, 40, false}},
     {"ISIN", "SFVP_VEK"},
     false, false},
    {"EMIRPOROCILO",
     {{"EMIRPorociloId", ColumnType::Whole, 0, true, identity},
      {"ZapSt", ColumnType::Whole, 0, false, counter},
      {"DanOd", ColumnType::Date, 0, false},
      {"DanDo", ColumnType::Date, 0, false},
      {"StNepotrjenih", ColumnType::Whole, 0, false, counter},
      {"DanPorocila", ColumnType::Date, 0, false},
      {"DanCasKreiranja", ColumnType::DateTime, 0, false},
      {"Preklicano", ColumnType::Text, 1, false},
      {"DanCasPreklica", ColumnType::DateTime, 0, false},
      {"EMIRPorociloStnId", ColumnType::Whole, 0, false, identity}},
     {"EMIRPorociloId"},
     false},
    {"EMIRPOSEL",
     {{"EMIRPoselId", ColumnType::Whole, 0, true, identity},
      {"Stranka", ColumnType::Text, 250, false},
      {"NasStranka", ColumnType::Text, 250, false},
      {"DatZacetka", ColumnType::Date, 0, false},
      {"DatZakljucka", ColumnType::Date, 0, false},
      {"Vrednost", ColumnType::Number, 0, false, decimal},
      {"Opombe", ColumnType::Text, 250, false},
      {"EMIRPorociloId", ColumnType::Whole, 0, false, identity}},
     {"EMIRPoselId"},
     false},
    {"ACT",
     {{"IdAct", ColumnType::Whole, 0, true, identity},
      {"Usr", ColumnType::Text, 20, false},
      {"SfAct", ColumnType::Text, 1, false},
      {"SfApp", ColumnType::Text, 1, false},
      {"SfOrg", ColumnType::Text, 1, false},
      {"Cmp", ColumnType::Text, 64, false},
      {"Db", ColumnType::Text, 10, false},
      {"Tbl", ColumnType::Text, 30, false},
      {"Cnt", ColumnType::Text, 4000, false},
      {"Cas", ColumnType::DateTime, 0, false}},
     {"IdAct"},
     false, true, true},
    {"DPATVPPSLSTN",
     {{"IDPSL", ColumnType::Number, 0, true},
      {"IDNRC", ColumnType::Number, 0, false},
      {"IDPOG", ColumnType::Number, 0, false},
      {"IDPOGUPR", ColumnType::Number, 0, false},
      {"IDPOGUPRPRV", ColumnType::Number, 0, false},
      {"IDPOGPSR", ColumnType::Number, 0, false},
      {"SFDPT", ColumnType::Text, 1, false},
      {"SFPSL", ColumnType::Text, 1, false},
      {"SFTRG", ColumnType::Number, 0, false},
      {"SFTRP", ColumnType::Number, 0, false},
      {"IDPSLTRP", ColumnType::Number, 0, false},
      {"SFVP", ColumnType::Number, 0, false},
      {"DAN", ColumnType::DateTime, 0, false},
      {"CAS", ColumnType::DateTime, 0, false},
      {"ZPD", ColumnType::DateTime, 0, false},
      {"LOT", ColumnType::Number, 0, false},
      {"GLVTCJ", ColumnType::Number, 0, false},
      {"SFGLVENT", ColumnType::Text, 1, false},
      {"SFPVFPLC", ColumnType::Text, 1, false},
      {"PVZPLC", ColumnType::Number, 0, false},
      {"SFPVFPRJ", ColumnType::Text, 1, false},
      {"PVZPRJ", ColumnType::Number, 0, false},
      {"PVZPRJDOD", ColumnType::Number, 0, false},
      {"DVK", ColumnType::Number, 0, false},
      {"SFOBF", ColumnType::Text, 1, false},
      {"OBR", ColumnType::Number, 0, false},
      {"SFGLF", ColumnType::Text, 1, false},
      {"GLV", ColumnType::Number, 0, false},
      {"SFVLN", ColumnType::Text, 1, false},
      {"TXT", ColumnType::Text, 60, false},
      {"SFBRK", ColumnType::Number, 0, false},
      {"LOTVP", ColumnType::Number, 0, false},
      {"GLVTCJVP", ColumnType::Number, 0, false},
      {"SFGLVENTVP", ColumnType::Text, 1, false},
      {"SFVLT", ColumnType::Text, 1, false},
      {"GLVVLT", ColumnType::Number, 0, false},
      {"OBRVLT", ColumnType::Number, 0, false},
      {"REVVLT", ColumnType::Number, 0, false},
      {"TCJVLT", ColumnType::Number, 0, false},
      {"SFVLNVP", ColumnType::Text, 1, false},
      {"SFKPN", ColumnType::Number, 0, false},
      {"SFTRD", ColumnType::Number, 0, false},
      {"IDPOGPRV", ColumnType::Number, 0, false},
      {"SFBRKCTR", ColumnType::Number, 0, false},
      {"SFVPL", ColumnType::Text, 1, false},
      {"IDPOGTRP", ColumnType::Number, 0, false},
      {"TKT", ColumnType::Text, 10, false},
      {"SFDJV", ColumnType::Text, 1, false},
      {"SFFIS", ColumnType::Text, 1, false},
      {"SFDOG", ColumnType::Number, 0, false},
      {"STO", ColumnType::Number, 0, false},
      {"SFRCN", ColumnType::Number, 0, false},
      {"PVZTRG", ColumnType::Number, 0, false},
      {"PVZDPH", ColumnType::Number, 0, false},
      {"PVZKLH", ColumnType::Number, 0, false},
      {"SFZRR", ColumnType::Text, 1, false},
      {"PTFGOT", ColumnType::Text, 1, false},
      {"PTFVP", ColumnType::Text, 1, false},
      {"IDVPL", ColumnType::Number, 0, false},
      {"SFVLTPRV", ColumnType::Text, 1, false},
      {"TCJVLTPRV", ColumnType::Number, 0, false},
      {"PTFDVKPVZ", ColumnType::Number, 0, false},
      {"PTZ", ColumnType::Number, 0, false},
      {"SFVLTVPL", ColumnType::Text, 1, false},
      {"TCJVLTVPL", ColumnType::Number, 0, false},
      {"PVZPLCDOD", ColumnType::Number, 0, false},
      {"STOVLTVPL", ColumnType::Number, 0, false},
      {"IDPOGDPT", ColumnType::Number, 0, false},
      {"SFVLTTRG", ColumnType::Text, 1, false},
      {"TCJVLTTRGVLTPRV", ColumnType::Number, 0, false},
      {"VRDPRVVLTPRVCHK", ColumnType::Number, 0, false},
      {"SFVLTPVZPRJ", ColumnType::Text, 1, false},
      {"IZRINVVLT", ColumnType::Number, 0, false},
      {"GLVTCJVPPVZPLCSTO", ColumnType::Number, 0, false},
      {"GLVVLTPVZPLCSTO", ColumnType::Number, 0, false},
      {"OBRMERA", ColumnType::Number, 0, false},
      {"VRDGLVVLTPRV", ColumnType::Number, 0, false},
      {"VRDOBRVLTPRV", ColumnType::Number, 0, false},
      {"VRDREVVLTPRV", ColumnType::Number, 0, false},
      {"PVZTRGVRDVLTPRV", ColumnType::Number, 0, false},
      {"PVZKLHVRDVLTPRV", ColumnType::Number, 0, false},
      {"PVZDPHVRDVLTPRV", ColumnType::Number, 0, false},
      {"PVZPRJVRDVLTPVZPRJ", ColumnType::Number, 0, false},
      {"OZNAKAPAKETA", ColumnType::Text, 10, false},
      {"IDREFATVP", ColumnType::Number, 0, false},
      {"IDPSLEDT", ColumnType::Number, 0, false},
      {"SFTYPE", ColumnType::Text, 1, false}},
     {"IDPSL"},
     true},
    {"PSL",
     {{"IdPsl", ColumnType::Whole, 0, true},
      {"Dan", ColumnType::Date, 0, false},
      {"CAS", ColumnType::DateTime, 0, false},
      {"SfPsl", ColumnType::Text, 1, false},
      {"SFDJV", ColumnType::Text, 1, false},
      {"GlvTcj", ColumnType::Number, 0, false},
      {"SfGlvEnt", ColumnType::Text, 1, false},
      {"Lot", ColumnType::Number, 0, false},
      {"IdPslTrp", ColumnType::Whole, 0, false},
      {"IdPog", ColumnType::Whole, 0, false},
      {"IdPogTrp", ColumnType::Whole, 0, false},
      {"SfTrg", ColumnType::Whole, 0, false},
      {"SFVP", ColumnType::Whole, 0, false},
      {"SfVlt", ColumnType::Text, 3, false},
      {"SfKpn", ColumnType::Whole, 0, false},
      {"SFTYPE", ColumnType::Text, 1, false}},
     {"IdPsl"},
     true},
    {"SFVP",
     {{"SFVP", ColumnType::Whole, 0, true},
      {"ISIN", ColumnType::Text, 12, false},
      {"KRT", ColumnType::Text, 40, false},
      {"NZV", ColumnType::Text, 80, false},
      {"CFI", ColumnType::Text, 6, false},
      {"IZVCEN", ColumnType::Number, 0, false},
      {"ZPDVP", ColumnType::Date, 0, false},
      {"SfGlvEnt", ColumnType::Text, 1, false},
      {"PorocanjeRAPO", ColumnType::Text, 1, false},
      {"DANSPR", ColumnType::Date, 0, false},
      {"GLVNMN", ColumnType::Number, 0, false},
      {"SfVLTNMN", ColumnType::Text, 3, false},
      {"LOTEMS", ColumnType::Number, 0, false},
      {"SFOSBIZD", ColumnType::Whole, 0, false},
      {"SFFIN", ColumnType::Text, 3, false},
      {"KOS", ColumnType::Text, 1, false}},
     {"SFVP"},
     true},
    {"TRG",
     {{"SfTrg", ColumnType::Whole, 0, true},
      {"MIC", ColumnType::Text, 4, false},
      {"TimeZone", ColumnType::Text, 3, false},
      {"SfTRZ", ColumnType::Text, 1, false},
      {"SfDrzTrg", ColumnType::Text, 1, false}},
     {"SfTrg"},
     true},
    {"POG",
     {{"IdPog", ColumnType::Whole, 0, true},
      {"SfOsb", ColumnType::Whole, 0, false},
      {"NZV", ColumnType::Text, 80, false},
      {"KRTKDD", ColumnType::Text, 20, false},
      {"REMOTECLAN", ColumnType::Text, 20, false}},
     {"IdPog"},
     true},
    {"OSB",
     {{"SfOsb", ColumnType::Whole, 0, true},
      {"MTS", ColumnType::Text, 20, false},
      {"SWIFT", ColumnType::Text, 11, false},
      {"KRTBNK", ColumnType::Text, 20, false},
      {"NZV", ColumnType::Text, 80, false},
      {"SfDRZ", ColumnType::Whole, 0, false}},
     {"SfOsb"},
     true},
    {"VLT",
     {{"SfVlt", ColumnType::Text, 3, true},
      {"KRT", ColumnType::Text, 3, false}},
     {"SfVlt"},
     true},
    {"DRZ",
     {{"SfDrz", ColumnType::Whole, 0, true},
      {"ISOKODA", ColumnType::Text, 2, false}},
     {"SfDrz"},
     true},
    {"FIN",
     {{"SFFIN", ColumnType::Text, 3, true}},
     {"SFFIN"},
     true},
    {"KTC",
     {{"SFKTC", ColumnType::Whole, 0, true},
      {"SFVP", ColumnType::Whole, 0, false},
      {"SFTRG", ColumnType::Whole, 0, false},
      {"DanPrk", ColumnType::Date, 0, false},
      {"SfSgt", ColumnType::Text, 1, false},
      {"Dan", ColumnType::Date, 0, false}},
     {"SFKTC"},
     true},
    {"KPN",
     {{"SfKpn", ColumnType::Whole, 0, true},
      {"SFVP", ColumnType::Whole, 0, false},
      {"GLV", ColumnType::Number, 0, false},
      {"prvdan", ColumnType::Date, 0, false},
      {"zdnDan", ColumnType::Date, 0, false},
      {"sfobm", ColumnType::Text, 1, false}},
     {"SfKpn"},
     true}};
// clang-format on

QString sqlType(const Column &c) {
    switch (c.type) {
    case ColumnType::Number:
        return QStringLiteral("NUMERIC");
    case ColumnType::Whole:
        return QStringLiteral("INTEGER");
    case ColumnType::Text:
        return QStringLiteral("VARCHAR(%1)").arg(c.width);
    case ColumnType::Date:
        return QStringLiteral("DATE");
    case ColumnType::DateTime:
        return QStringLiteral("DATETIME");
    case ColumnType::Time:
        return QStringLiteral("TIME");
    }
    return {};
}

// The joins and filters of the program's statements, and the unique constraints.
const std::vector<Index> allIndexes = {
    {"PSL_DAN", "PSL", {"Dan"}},
    {"PSL_TRP", "PSL", {"IdPslTrp"}},
    // A trade is reported once as a transaction and at most once as a cancellation, whichever
    // collections hold its rows; the index also serves every lookup by trade.
    {"DPATVPPSL_IDPSL_ISSTN", "DPATVPPSL", {"IDPSL", "ISSTN"}, true},
    {"DPATVPIMP_DATUM", "DPATVPIMP", {"DATUM"}},
    {"DPATVPIMP_DPATVPID", "DPATVPIMP", {"DPATVPID"}},
    // Not unique: every import of a day brings the references of that day again.
    {"DPATVPIMP_REFSTTRANSA", "DPATVPIMP", {"REFSTTRANSA"}},
    {"DPATVP_SFVP_ISIN", "DPATVP_SFVP", {"ISIN", "DANSPR"}},
    {"DPATVP_DANPOROCANJA", "DPATVP", {"DANPOROCANJA"}},
    // Two reports in one file would overwrite each other; the numbering of the register relies
    // on a second insert of a file name failing.
    {"DPATVP_XML_FILE", "DPATVP", {"XML_FILE"}, true},
    {"DPATVPPSLSTN_IDPSLEDT", "DPATVPPSLSTN", {"IDPSLEDT"}},
    {"SFVP_ISIN", "SFVP", {"ISIN"}},
    {"SFVP_KRT", "SFVP", {"KRT"}},
    {"KTC_SFVP", "KTC", {"SFVP", "SFKTC"}},
    {"KPN_SFVP", "KPN", {"SFVP"}},
    {"EMIRPOSEL_POROCILO", "EMIRPOSEL", {"EMIRPorociloId"}},
    // EMIR reports are numbered by the largest number plus one.
    {"EMIRPOROCILO_ZAPST", "EMIRPOROCILO", {"ZapSt"}, true},
};

const std::vector<Sequence> allSequences = {
    {"DPATVPPSL_SEQ", "DPATVPPSL"},
    {"ACT_IDACT_SEQ", "ACT"},
    {"EMIRPOSEL_ID_SEQ", "EMIRPOSEL"},
    {"EMIRPOROCILO_ID_SEQ", "EMIRPOROCILO"},
};

QString createIndex(const Index &index, bool ifNotExists = false) {
    return QStringLiteral("CREATE ") + (index.unique ? QStringLiteral("UNIQUE ") : QString()) +
           QStringLiteral("INDEX ") + (ifNotExists ? QStringLiteral("IF NOT EXISTS ") : QString()) +
           index.name + QStringLiteral(" ON ") + index.table + QStringLiteral(" (") +
           index.columns.join(QStringLiteral(", ")) + u')';
}

// Whether the embedded database has an object of that name; names ignore case as SQLite's do.
bool embeddedHas(Database &db, const QString &type, const QString &name) {
    QSqlQuery q(db.connection());
    q.prepare(QStringLiteral("select count(*) from sqlite_master where type = ? and "
                             "upper(name) = upper(?)"));
    q.addBindValue(type);
    q.addBindValue(name);
    return q.exec() && q.next() && q.value(0).toInt() > 0;
}
} // namespace

QStringList Table::columnNames() const {
    QStringList names;
    for (const Column &c : columns)
        names << c.name;
    return names;
}

const Column *Table::column(const QString &name) const {
    for (const Column &c : columns)
        if (c.name.compare(name, Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

const std::vector<Table> &tables() {
    return allTables;
}

const Table &table(const QString &name) {
    for (const Table &t : allTables)
        if (t.name.compare(name, Qt::CaseInsensitive) == 0)
            return t;
    throw DbError(QStringLiteral("Tabela ") + name + QStringLiteral(" ni znana."));
}

const std::vector<Index> &indexes() {
    return allIndexes;
}

const std::vector<Sequence> &sequences() {
    return allSequences;
}

void createEmbedded(Database &db) {
    QStringList statements;
    for (const Table &t : allTables) {
        QStringList columns;
        for (const Column &c : t.columns)
            columns << c.name + u' ' + sqlType(c) + (c.required ? " NOT NULL" : "");
        QString ddl = "CREATE TABLE " + t.name + " (" + columns.join(", ");
        if (!t.key.isEmpty() && t.uniqueKey)
            ddl += ", PRIMARY KEY (" + t.key.join(", ") + ")";
        statements << ddl + ")";
    }
    for (const Index &index : allIndexes)
        statements << createIndex(index);
    db.inTransaction([&] {
        for (const QString &statement : statements)
            db.execDirect(statement);
        for (const Sequence &sequence : allSequences)
            db.createSequence(sequence.name);
    });
}

void upgradeEmbedded(Database &db) {
    for (const Index &index : allIndexes) {
        if (!index.unique || !embeddedHas(db, QStringLiteral("table"), index.table) ||
            embeddedHas(db, QStringLiteral("index"), index.name))
            continue;
        // One statement, atomic by itself. It fails when rows already collide, when the file
        // may only be read or another program holds the write lock; the database then opens
        // as it is, and a later open tries again.
        QSqlQuery q(db.connection());
        q.exec(createIndex(index, true));
    }
}

} // namespace Schema
