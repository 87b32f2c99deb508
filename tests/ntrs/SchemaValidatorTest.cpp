#include "SchemaValidator.h"
#include "NtrsDocument.h"
#include "QtPrinters.h"
#include "TempProgramDirectory.h"

#include <QDir>
#include <QFile>
#include <functional>
#include <gtest/gtest.h>
#include <set>

namespace {

using Transaction = TransactionRecord;
using Instrument = InstrumentRecord;
using Cancellation = CancellationRecord;
using Skipped = std::set<QString>;

const QString fileName = QStringLiteral("TRDAT01_5860571000_0001_14.xml");

void fillHeader(NtrsRoot root, const QString &schema = QStringLiteral("NTRS.xsd")) {
    root.setAttribute("xmlns:xsi", "http://www.w3.org/2001/XMLSchema-instance");
    root.setAttribute("xsi:noNamespaceSchemaLocation", schema);
    root.setMaticnaStevilkaZavezanca("5860571000");
    root.setCreationDate("2014-04-01");
    root.setCreationTime("17:05:09");
    root.setCreationTimeOffset("+02");
    root.setVersion("2.0");
}

// An instrument with every value; a derivative gets its identification instead of an ISIN.
void fillInstrument(Instrument i, qint32 code, bool derivative, const Skipped &skip = {}) {
    const auto wanted = [&skip](const char *name) { return !skip.count(QString::fromUtf8(name)); };
    if (wanted("ReportingFirmIdentification"))
        i.setReportingFirmIdentification("LJBASI2XXXX");
    if (wanted("InstrumentISINCode"))
        i.setInstrumentISINCode(derivative ? "N" : "SI0031102120");
    if (derivative) {
        AlternativeInstrumentId aii = i.AIICode();
        aii.setAIIExchangeCode("XEUR");
        aii.setAIIProductCode("ODAX");
        aii.setAIIDerivativeType("O");
        aii.setAIIPutCallIdentifier("P");
        aii.setAIIExpiryDate("2014-06-20");
        if (wanted("AIIStrikePrice"))
            aii.setAIIStrikePrice("9000");
    }
    if (wanted("InstrumentInternalCode"))
        i.setInstrumentInternalCode(code);
    i.setInstrumentName(QStringLiteral("Krka d.d. Novo mesto"));
    i.setIssuerName(QStringLiteral("Krka, tovarna zdravil, d.d., Šmarješka cesta 6"));
    i.setIssuerCountry("SI");
    if (wanted("InstrumentClassification"))
        i.setInstrumentClassification(derivative ? "OPXXXX" : QStringLiteral("ESVUFČ"));
    i.setLastChangeDate("1899-12-30");
    i.setNominalValue("4.17");
    i.setCurrency("EUR");
    i.setIssuedVolume("35426120");
    i.setIssueDate("1997-01-01");
    i.setExpireDate("2014-06-20");
    i.setReferenca(code - 1);
}

void fillTransaction(Transaction t, qint64 reference, const Skipped &skip = {}) {
    const auto wanted = [&skip](const char *name) { return !skip.count(QString::fromUtf8(name)); };
    t.setReportingFirmIdentification("LJBASI2XXXX");
    t.setTradingDay("2014-04-01");
    t.setTradingTime("10:15:00");
    t.setTradingTimeZone("+02");
    t.setBuySellIndicator("B");
    t.setTradingCapacity("A");
    t.setInstrumentISINCode("SI0031102120");
    t.setInstrumentInternalCode(1001);
    t.setUnitPriceValue("61.5");
    t.setUnitPriceType("U");
    t.setPriceNotation("EUR");
    if (wanted("Quantity"))
        t.setQuantity("10000.00");
    t.setCounterparty("XLJU");
    t.setCounterpartyType("MIC");
    t.setClient("0000000ABC");
    t.setClientType("Internal");
    t.setTradingVenue("XLJU");
    t.setTradingVenueType("MIC");
    if (wanted("TransactionReferenceNumber"))
        t.setTransactionReferenceNumber(reference);
}

void fillCancellation(Cancellation c, qint64 reference) {
    c.setReportingFirmIdentification("LJBASI2XXXX");
    c.setCancelledTransactionReferenceNumber(reference);
    c.setCancelledTransactionFlag("C");
}

// A report as the generation builds it: two instruments (one a derivative without ISIN), two
// transactions, two cancellations. `adjust` runs after it and may change values in place.
QByteArray fullReport(const std::function<void(NtrsRoot)> &adjust = {}) {
    NtrsDocument doc;
    NtrsRoot root = doc.root();
    fillHeader(root);
    fillInstrument(root.Sifrant().append(), 1001, false);
    fillInstrument(root.Sifrant().append(), 1002, true);
    fillTransaction(root.TransactionReporting().append(), 100000000042);
    fillTransaction(root.TransactionReporting().append(), 100000000043);
    fillCancellation(root.CancelledTransactions().append(), 100000000007);
    fillCancellation(root.CancelledTransactions().append(), 100000000008);
    if (adjust)
        adjust(root);
    return doc.xml();
}

// The line number of the `occurrence`th line (from 1) that contains `marker`.
int lineOf(const QByteArray &xml, const QByteArray &marker, int occurrence = 1) {
    const QList<QByteArray> lines = xml.split('\n');
    for (int i = 0; i < lines.size(); ++i)
        if (lines[i].contains(marker) && --occurrence == 0)
            return i + 1;
    ADD_FAILURE() << "no line with " << marker.toStdString();
    return 0;
}

class SchemaValidatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QFile::copy(QStringLiteral(RAPO_DEMO_SCHEMA), dir.file("NTRS.xsd")));
    }

    QString write(const QByteArray &xml, const QString &name = fileName) const {
        QFile f(dir.file(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(xml);
        return f.fileName();
    }

    SchemaValidator::Result validate(const QByteArray &xml) const {
        return SchemaValidator(dir.path()).validate(write(xml));
    }

    TempProgramDirectory dir;
};

TEST_F(SchemaValidatorTest, AcceptsAReportWithEveryElement) {
    const auto result = validate(fullReport());
    EXPECT_TRUE(result.valid()) << result.firstError().toStdString();
    EXPECT_EQ(result.firstError(), "");
}

TEST_F(SchemaValidatorTest, AcceptsTheReportsTheDocumentLayerWritesWithValidValues) {
    struct Case {
        const char *what;
        std::function<void(NtrsRoot)> build;
    };
    const std::vector<Case> cases = {
        {"an empty register and one transaction with required values only",
         [](NtrsRoot root) {
             root.Sifrant();
             Transaction t = root.TransactionReporting().append();
             fillTransaction(t, 1);
         }},
        {"cancellations before the transactions",
         [](NtrsRoot root) {
             root.Sifrant();
             fillCancellation(root.CancelledTransactions().append(), 7);
             fillTransaction(root.TransactionReporting().append(), 8);
         }},
        {"an internal code 0 and a twelve-digit reference",
         [](NtrsRoot root) {
             fillInstrument(root.Sifrant().append(), 0, false);
             fillTransaction(root.TransactionReporting().append(), 999999999999);
         }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        NtrsDocument doc;
        fillHeader(doc.root());
        c.build(doc.root());
        doc.save(dir.file(fileName));
        const auto result = SchemaValidator(dir.path()).validate(dir.file(fileName));
        EXPECT_TRUE(result.valid()) << result.firstError().toStdString();
    }
}

TEST_F(SchemaValidatorTest, ErrorNamesTheFileTheLineAndTheRecordsReference) {
    struct Case {
        const char *what;
        QByteArray xml;
        QByteArray lineMarker; // the error's line holds it
        int occurrence;
        QString reasonHas;
        QString reasonEnd; // empty: the error lies outside any record
    };
    const QByteArray valid = fullReport();
    QByteArray nested = valid;
    nested.replace("CancellationRecordInfo>", "TransactionRecordInfo>");
    QByteArray truncated = valid.left(valid.indexOf("</TransactionRecordInfo>"));

    const std::vector<Case> cases = {
        {"an element out of place", fullReport([](NtrsRoot root) {
             Transaction t = root.TransactionReporting().append();
             t.setQuantity("5");
             fillTransaction(t, 100000000044, {"Quantity"});
         }),
         "<Quantity>5</Quantity>", 1, "not expected", " Ref.St.Transakcije 100000000044"},
        {"a required element missing in the middle", fullReport([](NtrsRoot root) {
             fillTransaction(root.TransactionReporting().append(), 100000000044, {"Quantity"});
         }),
         "<Counterparty>", 3, "Expected is ( Quantity )", " Ref.St.Transakcije 100000000044"},
        {"a wrong value", fullReport([](NtrsRoot root) {
             root.TransactionReporting().item(1).setTradingTimeZone("01");
         }),
         "<TradingTimeZone>01<", 1, "TradingTimeZone", " Ref.St.Transakcije 100000000043"},
        {"a wrong value in a cancellation", fullReport([](NtrsRoot root) {
             root.CancelledTransactions().item(1).setCancelledTransactionFlag("X");
         }),
         "<CancelledTransactionFlag>X<", 1, "CancelledTransactionFlag",
         " Ref.St.Transakcije 100000000008"},
        {"wrong nesting: a transaction among the cancellations", nested, "<TransactionRecordInfo>",
         3, "not expected", " Ref.St.Transakcije 100000000007"},
        {"a wrong value in the instrument register", fullReport([](NtrsRoot root) {
             root.Sifrant().item(0).setInstrumentClassification("ES1UFR");
         }),
         "<InstrumentClassification>ES1UFR<", 1, "InstrumentClassification",
         " Interna identifikacija instrumenta 1001"},
        {"an incomplete derivative identification", fullReport([](NtrsRoot root) {
             fillInstrument(root.Sifrant().insert(1), 1003, true, {"AIIStrikePrice"});
         }),
         "</AIICode>", 1, "Missing child element", " Interna identifikacija instrumenta 1003"},
        {"a record without its reference is known by its instrument", fullReport([](NtrsRoot root) {
             fillTransaction(root.TransactionReporting().append(), 0,
                             {"TransactionReferenceNumber"});
         }),
         "</TransactionRecordInfo>", 3, "Missing child element",
         " Interna identifikacija instrumenta 1001"},
        {"a file ending inside a record", truncated, "</TransactionReporting>", 0,
         "Premature end of data", " Ref.St.Transakcije 100000000042"},
        {"a wrong root attribute", fullReport([](NtrsRoot root) { root.setVersion("1.0"); }),
         "<NTRSRoot ", 1, "Version", ""},
        {"no transactions",
         [] {
             NtrsDocument doc;
             fillHeader(doc.root());
             doc.root().Sifrant();
             fillCancellation(doc.root().CancelledTransactions().append(), 7);
             return doc.xml();
         }(),
         "</NTRSRoot>", 1, "Missing child element", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const auto result = validate(c.xml);
        ASSERT_FALSE(result.valid());
        const SchemaValidator::Error &e = result.errors.first();
        const int line = c.occurrence > 0 ? lineOf(c.xml, c.lineMarker, c.occurrence)
                                          : int(c.xml.count('\n')) + 1;
        EXPECT_EQ(e.location, fileName + ":" + QString::number(line));
        EXPECT_TRUE(e.reason.contains(c.reasonHas)) << e.reason.toStdString();
        if (c.reasonEnd.isEmpty()) {
            EXPECT_FALSE(e.reason.contains("Ref.St.Transakcije")) << e.reason.toStdString();
            EXPECT_FALSE(e.reason.contains("Interna identifikacija")) << e.reason.toStdString();
        } else {
            EXPECT_TRUE(e.reason.endsWith(c.reasonEnd)) << e.reason.toStdString();
        }
        EXPECT_EQ(result.firstError(), e.location + "," + e.reason);
    }
}

TEST_F(SchemaValidatorTest, ErrorsOfSeveralRecordsComeInFileOrderEachWithItsReference) {
    const QByteArray xml = fullReport([](NtrsRoot root) {
        root.TransactionReporting().item(0).setBuySellIndicator("1");
        root.CancelledTransactions().item(0).setCancelledTransactionFlag("D");
    });
    const auto result = validate(xml);
    ASSERT_EQ(result.errors.size(), 2) << result.firstError().toStdString();
    EXPECT_EQ(result.errors[0].location,
              fileName + ":" + QString::number(lineOf(xml, "<BuySellIndicator>1<")));
    EXPECT_TRUE(result.errors[0].reason.endsWith(" Ref.St.Transakcije 100000000042"));
    EXPECT_EQ(result.errors[1].location,
              fileName + ":" + QString::number(lineOf(xml, "<CancelledTransactionFlag>D<")));
    EXPECT_TRUE(result.errors[1].reason.endsWith(" Ref.St.Transakcije 100000000007"));
}

TEST_F(SchemaValidatorTest, SchemaIsTakenFromTheProgramDirectoryByItsFileName) {
    for (const QString location : {"NTRS.xsd", "C:\\ATVP\\sheme\\NTRS.xsd", "/drugje/NTRS.xsd",
                                   "http://www.atvp.si/NTRS.xsd"}) {
        SCOPED_TRACE(location.toStdString());
        NtrsDocument doc;
        fillHeader(doc.root(), location);
        doc.root().Sifrant();
        fillTransaction(doc.root().TransactionReporting().append(), 1);
        const auto result = validate(doc.xml());
        EXPECT_TRUE(result.valid()) << result.firstError().toStdString();
    }
}

TEST_F(SchemaValidatorTest, MissingSchemaIsAFailureThatSaysSo) {
    NtrsDocument doc;
    fillHeader(doc.root(), "Drugacna.xsd");
    doc.root().Sifrant();
    fillTransaction(doc.root().TransactionReporting().append(), 1);
    const auto result = validate(doc.xml());
    ASSERT_FALSE(result.valid());
    EXPECT_EQ(result.firstError(), fileName + ",Sheme " +
                                       QDir::toNativeSeparators(dir.file("Drugacna.xsd")) +
                                       " ni mogoče najti");
}

TEST_F(SchemaValidatorTest, UnreadableSchemaIsAFailureThatSaysWhy) {
    struct Case {
        const char *what;
        QByteArray schema; // empty: a folder stands where the schema should be
        QString why;
    };
    const std::vector<Case> cases = {
        {"not XML", "to ni shema", "Start tag expected"},
        {"cut short",
         "<?xml version=\"1.0\"?>\n<xs:schema xmlns:xs=\"http://www.w3.org/2001/XMLSchema\">\n",
         "vrstica"},
        {"XML but no schema", "<?xml version=\"1.0\"?>\n<NTRSRoot/>\n", "schema"},
        {"a schema with an unknown type",
         "<?xml version=\"1.0\"?>\n<xs:schema xmlns:xs=\"http://www.w3.org/2001/XMLSchema\">\n"
         "  <xs:element name=\"NTRSRoot\" type=\"Neznan\"/>\n</xs:schema>\n",
         "Neznan"},
        {"a folder", "", "mapa"},
        // Never fetched: the schema loader does not reach the network.
        {"a schema that includes a network location",
         "<?xml version=\"1.0\"?>\n<xs:schema xmlns:xs=\"http://www.w3.org/2001/XMLSchema\">\n"
         "  <xs:include schemaLocation=\"http://127.0.0.1:9/NTRS-del.xsd\"/>\n</xs:schema>\n",
         "Attempt to load network entity http://127.0.0.1:9/NTRS-del.xsd"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TempProgramDirectory other;
        if (c.schema.isEmpty()) {
            ASSERT_TRUE(QDir().mkdir(other.file("NTRS.xsd")));
        } else {
            QFile schema(other.file("NTRS.xsd"));
            ASSERT_TRUE(schema.open(QIODevice::WriteOnly));
            schema.write(c.schema);
        }
        const auto result = SchemaValidator(other.path()).validate(write(fullReport()));
        ASSERT_FALSE(result.valid());
        const SchemaValidator::Error &e = result.errors.first();
        EXPECT_EQ(e.location, fileName);
        EXPECT_TRUE(e.reason.startsWith(
            "Sheme " + QDir::toNativeSeparators(other.file("NTRS.xsd")) + " ni mogoče prebrati: "))
            << e.reason.toStdString();
        EXPECT_TRUE(e.reason.contains(c.why)) << e.reason.toStdString();
    }
}

TEST_F(SchemaValidatorTest, FileThatCannotBeValidatedIsNotValid) {
    struct Case {
        const char *what;
        QByteArray xml;
        QString error;
    };
    const std::vector<Case> cases = {
        {"no schema named",
         "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<NTRSRoot Version=\"2.0\"/>\n",
         fileName + ",Datoteka ne navaja sheme (xsi:noNamespaceSchemaLocation)"},
        {"empty", "", fileName + ":1,"},
        {"no XML", "Poročilo", fileName + ":1,"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const auto result = validate(c.xml);
        ASSERT_FALSE(result.valid());
        EXPECT_TRUE(result.firstError().startsWith(c.error)) << result.firstError().toStdString();
    }
    const auto missing = SchemaValidator(dir.path()).validate(dir.file("manjka.xml"));
    ASSERT_FALSE(missing.valid());
    EXPECT_TRUE(missing.firstError().startsWith("manjka.xml,Datoteke ni mogoče odpreti: "))
        << missing.firstError().toStdString();
}

} // namespace
