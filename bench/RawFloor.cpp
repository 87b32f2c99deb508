#include "RawFloor.h"

#include "EmbeddedEngine.h"
#include "Query.h"

#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <cmath>
#include <cstdio>
#include <libxml/xmlschemas.h>
#include <libxml/xmlwriter.h>
#include <sqlite3.h>
#include <stdexcept>

namespace {

void check(sqlite3 *db, int rc, const char *what) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW)
        throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(db));
}

double julian(const QDate &day) {
    return static_cast<double>(day.toJulianDay()) - 0.5;
}

// A prepared statement with named parameters bound by name.
class Statement {
public:
    Statement(sqlite3 *db, const QString &sql) : db_(db) {
        const Query::Positional p = Query::positional(EmbeddedEngine::rewrite(sql));
        names_ = p.names;
        const QByteArray text = p.text.toUtf8();
        check(db, sqlite3_prepare_v2(db, text.constData(), -1, &stmt_, nullptr), "prepare");
        for (int i = 0; i < sqlite3_column_count(stmt_); ++i)
            columns_.insert(QString::fromUtf8(sqlite3_column_name(stmt_, i)).toUpper(), i);
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    void bind(const QString &name, double value) {
        for (int i = 0; i < names_.size(); ++i)
            if (names_[i].compare(name, Qt::CaseInsensitive) == 0)
                sqlite3_bind_double(stmt_, i + 1, value);
    }
    void bind(const QString &name, qint64 value) {
        for (int i = 0; i < names_.size(); ++i)
            if (names_[i].compare(name, Qt::CaseInsensitive) == 0)
                sqlite3_bind_int64(stmt_, i + 1, value);
    }
    void bind(const QString &name, const QByteArray &value) {
        for (int i = 0; i < names_.size(); ++i)
            if (names_[i].compare(name, Qt::CaseInsensitive) == 0)
                sqlite3_bind_text(stmt_, i + 1, value.constData(), -1, SQLITE_TRANSIENT);
    }
    bool step() {
        const int rc = sqlite3_step(stmt_);
        check(db_, rc, "step");
        return rc == SQLITE_ROW;
    }
    int column(const char *name) const { return columns_.value(QByteArray(name).toUpper(), -1); }
    bool isNull(int c) const { return sqlite3_column_type(stmt_, c) == SQLITE_NULL; }
    QByteArray text(int c) const {
        return QByteArray(reinterpret_cast<const char *>(sqlite3_column_text(stmt_, c)),
                          sqlite3_column_bytes(stmt_, c));
    }
    double number(int c) const { return sqlite3_column_double(stmt_, c); }
    qint64 whole(int c) const { return sqlite3_column_int64(stmt_, c); }

private:
    sqlite3 *db_;
    sqlite3_stmt *stmt_ = nullptr;
    QStringList names_;
    QHash<QString, int> columns_;
};

// "0.#####": at most five decimals, no trailing zeros.
QByteArray numberText(double v) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.5f", v);
    QByteArray text(buffer);
    while (text.endsWith('0'))
        text.chop(1);
    if (text.endsWith('.'))
        text.chop(1);
    return text;
}

QByteArray isoDate(double julianDay) {
    return QDate::fromJulianDay(static_cast<qint64>(std::floor(julianDay + 0.5)))
        .toString(Qt::ISODate)
        .toUtf8();
}

QByteArray timeText(double julianDay) {
    const double shifted = julianDay + 0.5;
    const auto ms = std::llround((shifted - std::floor(shifted)) * 86400000.0) % 86400000;
    return QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms))
        .toString(QStringLiteral("HH:mm:ss"))
        .toUtf8();
}

QByteArray padded(QByteArray text, int width) {
    text = text.left(width);
    while (text.size() < width)
        text += 'X';
    return text;
}

class Writer {
public:
    explicit Writer(const QString &path) {
        writer_ = xmlNewTextWriterFilename(QFile::encodeName(path).constData(), 0);
        if (!writer_)
            throw std::runtime_error("the report cannot be written");
        xmlTextWriterSetIndent(writer_, 1);
        xmlTextWriterSetIndentString(writer_, BAD_CAST "  ");
        // The declaration as the program writes it (the writer would spell "UTF-8").
        xmlTextWriterWriteRaw(writer_, BAD_CAST "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n");
    }
    ~Writer() {
        if (writer_)
            xmlFreeTextWriter(writer_);
    }
    void start(const char *name) { xmlTextWriterStartElement(writer_, BAD_CAST name); }
    void end() { xmlTextWriterEndElement(writer_); }
    void attribute(const char *name, const QByteArray &value) {
        xmlTextWriterWriteAttribute(writer_, BAD_CAST name, BAD_CAST value.constData());
    }
    void element(const char *name, const QByteArray &value) {
        xmlTextWriterWriteElement(writer_, BAD_CAST name, BAD_CAST value.constData());
    }
    void finish() {
        xmlTextWriterFlush(writer_);
        xmlFreeTextWriter(writer_);
        writer_ = nullptr;
    }

private:
    xmlTextWriterPtr writer_ = nullptr;
};

void writeInstruments(Writer &w, Statement &q) {
    const int swift = q.column("SWIFT_BPH"), isin = q.column("ISIN"), code = q.column("INTIDENT"),
              name = q.column("IMEINSTRUMENTA"), issuer = q.column("IMEIZDAJATELJA"),
              country = q.column("ISOKODA"), type = q.column("TIPINSTR"),
              changed = q.column("DANSPR"), pieces = q.column("KOS"), nominal = q.column("GLVNMN"),
              currency = q.column("VLT"), issued = q.column("LOTEMS"),
              expiry = q.column("DATUMPRENEHANJA"), reference = q.column("REFERENCA");
    QSet<qint64> written;
    while (q.step()) {
        if (written.contains(q.whole(code)))
            continue;
        written.insert(q.whole(code));
        w.start("SifrantRecordInfo");
        w.element("ReportingFirmIdentification", padded(q.text(swift), 11));
        w.element("InstrumentISINCode", q.text(isin));
        w.element("InstrumentInternalCode", QByteArray::number(q.whole(code)));
        w.element("InstrumentName", q.text(name).left(40));
        w.element("IssuerName", q.text(issuer).left(205));
        w.element("IssuerCountry", q.text(country).left(2));
        w.element("InstrumentClassification", padded(q.text(type), 6));
        w.element("LastChangeDate",
                  q.isNull(changed) ? QByteArray("1899-12-30") : isoDate(q.number(changed)));
        const bool kos = q.text(pieces) == "D";
        const bool hasNominal = q.number(nominal) != 0;
        w.element("NominalValue", kos          ? QByteArray("1")
                                  : hasNominal ? numberText(q.number(nominal))
                                               : QByteArray("0"));
        w.element("Currency", kos          ? QByteArray("K")
                              : hasNominal ? q.text(currency).left(3)
                                           : QByteArray("N"));
        if (q.number(issued) != 0)
            w.element("IssuedVolume", numberText(q.number(issued)));
        if (!q.isNull(expiry))
            w.element("ExpireDate", isoDate(q.number(expiry)));
        if (!q.isNull(reference) && q.whole(reference) > 0)
            w.element("Referenca", QByteArray::number(q.whole(reference)));
        w.end();
    }
}

void writeTransactions(Writer &w, Statement &q) {
    const int swift = q.column("SWIFT_BPH"), day = q.column("DAN"), time = q.column("CAS"),
              offset = q.column("OFFSET"), side = q.column("INDNAKPROD"),
              capacity = q.column("TRGZMOG"), isin = q.column("ISIN"),
              code = q.column("INTINDINSTR"), price = q.column("CENAENOTE"),
              priceType = q.column("ZAPISCENE"), currency = q.column("VALUTA"),
              lot = q.column("LOT"), venueKind = q.column("SFTRZ"), mic = q.column("MIC"),
              clientSwift = q.column("SWIFT"), bank = q.column("KRTBNK"),
              activity = q.column("SFDJV"), crossedWith = q.column("IDPSLTRP"),
              oppositeActivity = q.column("NS_SFDJV"), oppositeSwift = q.column("NS_SWIFT"),
              venue = q.column("IDENTMESTA"), venueType = q.column("OZNAKAIDENTMESTA"),
              reference = q.column("REFSTTRANSA"), otherSideSwift = q.column("TRP_SWIFT");
    bool started = false;
    while (q.step()) {
        const bool crossed = q.whole(crossedWith) != 0;
        const bool own = q.text(activity) == "L";
        const bool oppositeOwn = q.text(oppositeActivity) == "L";
        if (crossed && !own && oppositeOwn)
            continue;
        if (!started) {
            w.start("TransactionReporting");
            started = true;
        }
        w.start("TransactionRecordInfo");
        w.element("ReportingFirmIdentification", padded(q.text(swift), 11));
        w.element("TradingDay", isoDate(q.number(day)));
        w.element("TradingTime", timeText(q.number(time)));
        w.element("TradingTimeZone", q.text(offset));
        w.element("BuySellIndicator", q.text(side).left(1));
        w.element("TradingCapacity", q.text(capacity));
        w.element("InstrumentISINCode", q.text(isin));
        w.element("InstrumentInternalCode", QByteArray::number(q.whole(code)));
        w.element("UnitPriceValue", numberText(q.number(price)));
        w.element("UnitPriceType", q.text(priceType).left(1));
        w.element("PriceNotation", q.text(currency).left(3));
        w.element("Quantity", numberText(q.number(lot)));
        const auto client = [&] {
            if (own)
                return;
            if (!q.text(clientSwift).trimmed().isEmpty()) {
                w.element("Client", padded(q.text(clientSwift), 11));
                w.element("ClientType", "BIC");
            } else {
                const QByteArray b = q.text(bank);
                w.element("Client", QByteArray(10 - b.size(), '0') + b);
                w.element("ClientType", "Internal");
            }
        };
        const auto bicOrCc = [&](int column) {
            if (!q.text(column).trimmed().isEmpty()) {
                w.element("Counterparty", padded(q.text(column), 11));
                w.element("CounterpartyType", "BIC");
            } else {
                w.element("Counterparty", "CC");
                w.element("CounterpartyType", "CC");
            }
        };
        const QByteArray kind = q.text(venueKind);
        if (kind == "2") {
            w.element("Counterparty", q.text(mic).left(4));
            w.element("CounterpartyType", "MIC");
            client();
        } else if (kind == "3" && crossed && !oppositeOwn) {
            bicOrCc(oppositeSwift);
            client();
        } else if (kind == "3" && !crossed) {
            bicOrCc(otherSideSwift);
            client();
        }
        if (kind == "2") {
            w.element("TradingVenue", q.text(venue).left(20));
            w.element("TradingVenueType", q.text(venueType).left(4));
        } else {
            w.element("TradingVenue", "OTC");
            w.element("TradingVenueType", "XOFF");
        }
        w.element("TransactionReferenceNumber", QByteArray::number(q.whole(reference)));
        w.end();
    }
    if (started)
        w.end();
}

void exec(sqlite3 *db, const char *sql) {
    check(db, sqlite3_exec(db, sql, nullptr, nullptr, nullptr), sql);
}

} // namespace

void RawFloor::run(const std::function<void(const char *, qint64)> &told) const {
    sqlite3 *db = nullptr;
    check(db, sqlite3_open(QFile::encodeName(databasePath).constData(), &db), "open");
    const std::function<QDate()> today = [this] { return day; };
    EmbeddedEngine::install(db, &today);
    QElapsedTimer step;

    step.start();
    exec(db, "BEGIN");
    {
        Statement assignments(db, QStringLiteral("INSERT INTO DPATVPPSL (DPATVPID, IDPSL, ISSTN, "
                                                 "IDREFATVP) ") +
                                      assignmentSql);
        assignments.bind(QStringLiteral("Dan"), julian(day));
        assignments.bind(QStringLiteral("DanDo"), julian(day));
        assignments.step();
        Statement log(db, activityLogSql);
        log.bind(QStringLiteral("Usr"), applicationUser.toUtf8());
        log.bind(QStringLiteral("Cas"), nowJulianDay);
        log.bind(QStringLiteral("Cmp"), QByteArray("bench"));
        log.bind(QStringLiteral("DPATVPID"), collectionId);
        log.step();
        // The register: one complete entry per instrument of the collection.
        Statement entries(
            db, QStringLiteral(
                    "INSERT INTO DPATVP_SFVP (ISIN, DANSPR, USRSPR, DANSPR_SFVP, SFVP_VEK, "
                    "SFVP_POROCANJE, AII_MIC, AII_PRODUCT, AII_CFI, AII_STRIKEPRICE, IZD, DRZ_IZD, "
                    "GLVNMN, VLT, LOTEMS, INSTRUMENTNAME) "
                    "SELECT upper(S.ISIN), :Now, :Usr, S.DANSPR, S.SFVP, S.SFVP, "
                    "(select MIC from trg where sftrg=(select sftrg from ktc where sfktc=(select "
                    "max(sfktc) from ktc where sfvp=S.SFVP and (danprk is null or "
                    "danprk>:DatumDo)))), substr(S.KRT, 1, 12), upper(S.CFI), NVL(S.IZVCEN, 0), "
                    "O.NZV, upper(D.ISOKODA), NVL(S.GLVNMN, 0), (SELECT upper(KRT) FROM VLT WHERE "
                    "SFVLT=S.SfVLTNMN), NVL(S.LOTEMS, 0), substr(S.NZV, 1, 40) "
                    "FROM SFVP S, OSB O, DRZ D WHERE S.SFOSBIZD=O.SFOSB AND O.SfDrz=D.SfDrz AND "
                    "S.SFVP IN (SELECT P.SFVP FROM DPATVPPSL A JOIN PSL P ON P.IdPsl=A.IdPsl "
                    "WHERE A.DPATVPID=:Id)"));
        entries.bind(QStringLiteral("Now"), nowJulianDay);
        entries.bind(QStringLiteral("Usr"), applicationUser.toUtf8());
        entries.bind(QStringLiteral("DatumDo"), julian(day));
        entries.bind(QStringLiteral("Id"), collectionId);
        entries.step();
    }
    exec(db, "COMMIT");
    told("collection", step.restart());

    // The working set and its instruments, read to the end as the report is written.
    Writer w(reportPath);
    w.start("NTRSRoot");
    w.attribute("xmlns:xsi", "http://www.w3.org/2001/XMLSchema-instance");
    w.attribute("xsi:noNamespaceSchemaLocation", "NTRS.xsd");
    w.attribute("MaticnaStevilkaZavezanca", firm.toUtf8());
    w.attribute("CreationDate", creationDate.toUtf8());
    w.attribute("CreationTime", creationTime.toUtf8());
    w.attribute("CreationTimeOffset", creationOffset.toUtf8());
    w.attribute("Version", "2.0");
    const auto open = [&](Statement &s) {
        s.bind(QStringLiteral("Datum"), julian(day));
        s.bind(QStringLiteral("DatumDo"), julian(day));
        s.bind(QStringLiteral("FMaxDpAtvpId"), collectionId);
    };
    {
        Statement instruments(db, instrumentSql);
        open(instruments);
        w.start("Sifrant");
        writeInstruments(w, instruments);
        w.end();
    }
    {
        Statement rows(db, workingSetSql);
        open(rows);
        writeTransactions(w, rows);
    }
    w.end();
    w.finish();
    told("working set and report", step.restart());

    xmlSchemaParserCtxtPtr parser =
        xmlSchemaNewParserCtxt(QFile::encodeName(schemaPath).constData());
    xmlSchemaPtr schema = xmlSchemaParse(parser);
    xmlSchemaValidCtxtPtr validator = xmlSchemaNewValidCtxt(schema);
    const int invalid =
        xmlSchemaValidateFile(validator, QFile::encodeName(reportPath).constData(), 0);
    xmlSchemaFreeValidCtxt(validator);
    xmlSchemaFree(schema);
    xmlSchemaFreeParserCtxt(parser);
    told(invalid ? "validation (INVALID)" : "validation", step.restart());
    sqlite3_close(db);
}

QString reportDifference(const QString &programFile, const QString &floorFile) {
    // Line by line: a report of a million trades is a gigabyte.
    QFile a(programFile);
    QFile b(floorFile);
    if (!a.open(QIODevice::ReadOnly) || !b.open(QIODevice::ReadOnly))
        return QStringLiteral("a report cannot be read");
    static const QRegularExpression creationTime(QStringLiteral("CreationTime=\"[^\"]*\""));
    const auto next = [](QFile &f) {
        QByteArray line = f.readLine();
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        return QString::fromUtf8(line).replace(creationTime, QString());
    };
    for (qint64 number = 1; !a.atEnd() || !b.atEnd(); ++number) {
        const QString left = next(a);
        const QString right = next(b);
        if (left != right)
            return QStringLiteral("line %1: program \"%2\", floor \"%3\"")
                .arg(number)
                .arg(left, right);
    }
    return {};
}
