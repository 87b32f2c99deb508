#include "CollectionFixture.h"
#include "ReportGeneration.h"

#include <QFile>
#include <QMap>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

namespace {
const QDate day(2014, 4, 1); // a summer day: the venues' "+01" is reported as "+02"
const QDate dayBefore(2014, 3, 31);

// Every record of a report file, each as its "element=value" lines in document order (an element
// inside AIICode as "AIICode/element"), under its kind and key.
QMap<QString, QList<QStringList>> records(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QMap<QString, QString> keys{
        {"TransactionRecordInfo", "TransactionReferenceNumber"},
        {"CancellationRecordInfo", "CancelledTransactionReferenceNumber"},
        {"SifrantRecordInfo", "InstrumentInternalCode"}};
    QMap<QString, QList<QStringList>> out;
    QXmlStreamReader xml(&file);
    QString kind, key, group;
    QStringList lines;
    while (!xml.atEnd()) {
        xml.readNext();
        const QString name = xml.name().toString();
        if (xml.isStartElement() && keys.contains(name)) {
            kind = name;
            lines.clear();
        } else if (xml.isStartElement() && name == "AIICode") {
            group = "AIICode/";
        } else if (xml.isStartElement() && !kind.isEmpty()) {
            const QString text = xml.readElementText();
            lines << group + name + "=" + text;
            if (name == keys[kind])
                key = text;
        } else if (xml.isEndElement() && name == "AIICode") {
            group.clear();
        } else if (xml.isEndElement() && name == kind) {
            out[kind + " " + key] << lines;
            kind.clear();
        }
    }
    return out;
}

struct TransactionLines {
    int ref;
    QString time;
    QString buySell;
    QString capacity;
    QString counterparty = {};
    QString counterpartyType = {};
    QString client = {};
    QString clientType = {};
    QString venue = "XLJU";
    QString venueType = "MIC";
    QString code = "100";
    QString isin = "SI0031102120";
    QStringList aii = {};
    QString price = "12.5";
    QString priceType = "C";
    QString quantity = "10";
    QString zone = "+02";
};

// A transaction record as the report carries it, every element in the schema's order.
QStringList transaction(const TransactionLines &t) {
    QStringList l{"ReportingFirmIdentification=BROKSI22XXX",
                  "TradingDay=2014-04-01",
                  "TradingTime=" + t.time,
                  "TradingTimeZone=" + t.zone,
                  "BuySellIndicator=" + t.buySell,
                  "TradingCapacity=" + t.capacity,
                  "InstrumentISINCode=" + t.isin};
    for (const QString &a : t.aii)
        l << "AIICode/" + a;
    l << "InstrumentInternalCode=" + t.code << "UnitPriceValue=" + t.price
      << "UnitPriceType=" + t.priceType << "PriceNotation=EUR"
      << "Quantity=" + t.quantity;
    if (!t.counterparty.isEmpty())
        l << "Counterparty=" + t.counterparty << "CounterpartyType=" + t.counterpartyType;
    if (!t.client.isEmpty())
        l << "Client=" + t.client << "ClientType=" + t.clientType;
    l << "TradingVenue=" + t.venue << "TradingVenueType=" + t.venueType
      << "TransactionReferenceNumber=" + QString::number(t.ref);
    return l;
}

struct InstrumentLines {
    int code;
    QString isin;
    QString classification = "ESVUFR";
    QStringList aii = {};
    QString nominal = "1";
    QString currency = "EUR";
    QString expires = {};
    QString reference = {};
};

QStringList instrument(const InstrumentLines &i) {
    QStringList l{"ReportingFirmIdentification=BROKSI22XXX", "InstrumentISINCode=" + i.isin};
    for (const QString &a : i.aii)
        l << "AIICode/" + a;
    l << "InstrumentInternalCode=" + QString::number(i.code)
      << "InstrumentName=Vrednostni papir " + QString::number(i.code)
      << "IssuerName=Izdajatelj d.d."
      << "IssuerCountry=SI"
      << "InstrumentClassification=" + i.classification << "LastChangeDate=2013-01-01"
      << "NominalValue=" + i.nominal << "Currency=" + i.currency << "IssuedVolume=1000000";
    if (!i.expires.isEmpty())
        l << "ExpireDate=" + i.expires;
    if (!i.reference.isEmpty())
        l << "Referenca=" + i.reference;
    return l;
}

const QStringList option{"AIIExchangeCode=XEUR",     "AIIProductCode=VP700",
                         "AIIDerivativeType=O",      "AIIPutCallIdentifier=C",
                         "AIIExpiryDate=2014-06-20", "AIIStrikePrice=9600"};
const QStringList future{"AIIExchangeCode=XEUR",     "AIIProductCode=VP701",
                         "AIIDerivativeType=F",      "AIIPutCallIdentifier=F",
                         "AIIExpiryDate=2014-06-20", "AIIStrikePrice=0"};

// One trade of every kind the host holds, collected and generated the way the clerk does it;
// every record of the file is compared element by element.
TEST(ReportRecords, EveryKindOfTradeIsReportedExactlyRight) {
    CollectionFixture f;
    HostData &h = f.host;
    h.exec("UPDATE OSB SET KRTBNK = '12345' WHERE SfOsb = 11");
    h.person(12, "kapbSI22   "); // a fixed-width host column keeps the blanks
    h.person(13, "ljbaSI2x");
    h.contract(4, 12);
    h.contract(5, 13);
    h.venue(9, {}, {}, "3");
    h.venue(20, "XEUR", "+01", "2", "T");
    h.venue(30, "XTST", "+01", "1");
    h.instrument(100, "SI0031102120");
    h.instrument(
        {.sfvp = 601, .isin = "SI0002101234", .maturity = QDate(2019, 5, 15), .priceUnit = "%"});
    h.coupon(7, 601, 1000, QDate(2013, 5, 15), QDate(2014, 5, 15));
    h.exec("INSERT INTO DPATVP_SFVP (ISIN, SFVP_VEK, SFVP_POROCANJE, SFVP_OLD, XML, DANSPR, "
           "DANSPR_SFVP) VALUES ('SI0002101234', 601, 601, 600, 'D', 2456500.5, 2456293.5)");
    h.instrument({.sfvp = 700,
                  .isin = "N",
                  .venue = 20,
                  .maturity = QDate(2014, 6, 20),
                  .cfi = "OCASPS",
                  .strike = 9600.0,
                  .pieces = "D"});
    h.instrument({.sfvp = 701,
                  .isin = "N",
                  .venue = 20,
                  .maturity = QDate(2014, 6, 20),
                  .cfi = "FF",
                  .strike = 0.0});
    h.instrument({.sfvp = 110, .isin = "SI0031101106", .venue = 30, .cfi = "OPEFCS"});

    h.trade({.id = 112, .day = dayBefore, .opposite = 0});
    const auto before = f.run(dayBefore);
    f.reportCollection(before.collectionId, dayBefore);
    h.cancellation({.id = 112, .day = dayBefore, .opposite = 0});

    using T = HostData::Trade;
    const auto at = [](int minute) { return QTime(9, minute, 30); };
    for (const T &t : std::initializer_list<T>{
             {.id = 101,
         .day = day,
         .contract = 3,
         .type = "P",
         .activity = "L",
         .opposite = 0,
         .time = at(1)},
             {.id = 102, .day = day, .type = "a", .opposite = 0, .time = at(2)},
             {.id = 103, .day = day, .contract = 2, .type = "b", .opposite = 0, .time = at(3)},
             {.id = 104,
             .day = day,
             .venue = 9,
             .type = "P",
             .lot = 30,
             .opposite = 105,
             .time = at(4)},
             {.id = 105,
             .day = day,
             .venue = 9,
             .contract = 3,
             .activity = "L",
             .lot = 30,
             .opposite = -105,
             .time = at(5)},
             {.id = 106,
             .day = day,
             .venue = 9,
             .contract = 2,
             .opposite = 107,
             .time = at(6),
             .counterContract = 4},
             {.id = 107,
             .day = day,
             .venue = 9,
             .contract = 5,
             .type = "P",
             .opposite = -107,
             .time = at(7)},
             {.id = 108,
             .day = day,
             .venue = 9,
             .type = "{",
             .opposite = 0,
             .time = at(8),
             .counterContract = 4},
             {.id = 109,
             .day = day,
             .sfvp = 601,
             .contract = 3,
             .activity = "L",
             .price = 101.25,
             .opposite = 0,
             .time = at(9),
             .priceUnit = "%",
             .coupon = 7},
             {.id = 110,
             .day = day,
             .sfvp = 700,
             .venue = 20,
             .type = "A",
             .lot = 5,
             .price = 185.3,
             .opposite = 0,
             .time = at(10)},
             {.id = 111,
             .day = day,
             .sfvp = 701,
             .venue = 20,
             .contract = 3,
             .type = "B",
             .activity = "L",
             .lot = 2,
             .price = 9580.5,
             .opposite = 0,
             .time = at(11)},
             {.id = 113, .day = day, .sfvp = 110, .venue = 30, .opposite = 0, .time = at(13)}})
        h.trade(t);
    h.import(1, day, 100, "si0031102120", 900001);

    QFile::copy(RAPO_DEMO_SCHEMA, f.t.dir.file("NTRS.xsd"));
    ASSERT_TRUE(f.run(day).generationEnabled) << f.prompter.texts.join("\n").toStdString();
    const auto r = ReportGeneration::generate(f.session(), f.workingSet().qDPATVPPSL,
                                              f.workingSet().qSifrantFinInstr, f.state, day, day);
    EXPECT_TRUE(r.valid) << r.errorLine.toStdString();

    QMap<QString, QList<QStringList>> expected;
    const auto add = [&](const QString &kind, const QString &key, const QStringList &lines) {
        expected[kind + " " + key] << lines;
    };
    const auto tx = [&](const TransactionLines &t) {
        add("TransactionRecordInfo", QString::number(t.ref), transaction(t));
    };
    const auto fi = [&](const InstrumentLines &i) {
        add("SifrantRecordInfo", QString::number(i.code), instrument(i));
    };
    fi({100, "SI0031102120"});
    fi({.code = 601, .isin = "SI0002101234", .expires = "2019-05-15", .reference = "600"});
    fi({700, "N", "OCASPS", option, "1", "K", "2014-06-20"});
    fi({701, "N", "FFXXXX", future, "1", "EUR", "2014-06-20"});
    fi({110, "SI0031101106", "OPEFCS"});
    tx({101, "09:01:30", "S", "P", "XLJU", "MIC"});
    tx({102, "09:02:30", "S", "A", "XLJU", "MIC", "CLNTSI2XXXX", "BIC"});
    tx({103, "09:03:30", "S", "A", "XLJU", "MIC", "0000012345", "Internal"});
    // 104 is crossed with the own-account 105 and reported through it.
    tx({.ref = 105,
        .time = "09:05:30",
        .buySell = "B",
        .capacity = "P",
        .counterparty = "CLNTSI2XXXX",
        .counterpartyType = "BIC",
        .venue = "OTC",
        .venueType = "XOFF",
        .quantity = "30"});
    tx({106, "09:06:30", "B", "A", "LJBASI2XXXX", "BIC", "0000012345", "Internal", "OTC", "XOFF"});
    tx({107, "09:07:30", "S", "A", "CC", "CC", "LJBASI2XXXX", "BIC", "OTC", "XOFF"});
    tx({108, "09:08:30", "S", "A", "KAPBSI22XXX", "BIC", "CLNTSI2XXXX", "BIC", "OTC", "XOFF"});
    tx({.ref = 109,
        .time = "09:09:30",
        .buySell = "B",
        .capacity = "P",
        .counterparty = "XLJU",
        .counterpartyType = "MIC",
        .code = "601",
        .isin = "SI0002101234",
        .price = "101.25",
        .priceType = "P",
        .quantity = "10000.00"});
    tx({110, "09:10:30", "B", "A", "XEUR", "MIC", "CLNTSI2XXXX", "BIC", "XEUR", "MIC", "700", "N",
        option, "185.3", "C", "5"});
    tx({.ref = 111,
        .time = "09:11:30",
        .buySell = "B",
        .capacity = "P",
        .counterparty = "XEUR",
        .counterpartyType = "MIC",
        .venue = "XEUR",
        .code = "701",
        .isin = "N",
        .aii = future,
        .price = "9580.5",
        .quantity = "2"});
    tx({.ref = 113,
        .time = "09:13:30",
        .buySell = "B",
        .capacity = "A",
        .venue = "OTC",
        .venueType = "XOFF",
        .code = "110",
        .isin = "SI0031101106"});
    // An imported trade is reported as imported, its time zone as given.
    tx({900001,
        "11:00:00",
        "B",
        "A",
        "XLJU",
        "MIC",
        "00CLNTSI2X",
        "BIC",
        "OTC",
        "XOFF",
        "100",
        "SI0031102120",
        {},
        "3.5",
        "C",
        "40",
        "+01"});
    add("CancellationRecordInfo", "112",
        {"ReportingFirmIdentification=BROKSI22XXX", "CancelledTransactionReferenceNumber=112",
         "CancelledTransactionFlag=C"});

    const auto actual = records(r.path);
    EXPECT_EQ(actual.keys(), expected.keys());
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        SCOPED_TRACE(it.key().toStdString());
        EXPECT_EQ(actual.value(it.key()), it.value());
    }
}
} // namespace
