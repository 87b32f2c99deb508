#include "NtrsDocument.h"
#include "QtPrinters.h"
#include "RapoError.h"
#include "TempProgramDirectory.h"

#include <QDir>
#include <QFile>
#include <QXmlStreamReader>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <stdexcept>

namespace {

using Transaction = TransactionRecord;
using Instrument = InstrumentRecord;

const QByteArray declaration = R"(<?xml version="1.0" encoding="utf-8"?>)";

QString text(const NtrsDocument &doc) {
    return QString::fromUtf8(doc.xml());
}

// The names of the direct children of the first element named `parent`, as a reader sees them.
QStringList childrenOf(const QByteArray &xml, const QString &parent) {
    QXmlStreamReader reader(xml);
    QStringList names;
    int depth = 0;
    int parentDepth = -1;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            ++depth;
            if (parentDepth < 0 && reader.name() == parent)
                parentDepth = depth;
            else if (parentDepth >= 0 && depth == parentDepth + 1)
                names << reader.name().toString();
        } else if (reader.isEndElement()) {
            if (depth == parentDepth)
                return names;
            --depth;
        }
    }
    EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    return names;
}

// The text of every element named `name`, in document order, as a reader sees it.
QStringList textsOf(const QByteArray &xml, const QString &name) {
    QXmlStreamReader reader(xml);
    QStringList texts;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && reader.name() == name)
            texts << reader.readElementText();
    }
    EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    return texts;
}

TEST(NtrsDocument, NewDocumentIsTheDeclarationAndAnEmptyRoot) {
    NtrsDocument doc;
    EXPECT_EQ(doc.version(), "1.0");
    EXPECT_EQ(doc.encoding(), "utf-8");
    EXPECT_EQ(doc.root().nodeName(), "NTRSRoot");
    EXPECT_EQ(doc.xml(), declaration + "\r\n<NTRSRoot/>\r\n");
}

TEST(NtrsDocument, RootAttributesKeepTheOrderOfTheirFirstSetting) {
    NtrsDocument doc;
    NtrsRoot root = doc.root();
    root.setAttribute("xmlns:xsi", "http://www.w3.org/2001/XMLSchema-instance");
    root.setAttribute("xsi:noNamespaceSchemaLocation", "NTRS.xsd");
    root.setMaticnaStevilkaZavezanca("0860571000");
    root.setCreationDate("2014-04-01");
    root.setCreationTime("10:15:00");
    root.setCreationTimeOffset("+02");
    root.setVersion("1.9");
    root.setVersion("2.0");
    root.setCreationDate("2014-04-02");

    EXPECT_EQ(text(doc),
              QString::fromUtf8(declaration) +
                  "\r\n<NTRSRoot xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
                  "xsi:noNamespaceSchemaLocation=\"NTRS.xsd\" "
                  "MaticnaStevilkaZavezanca=\"0860571000\" CreationDate=\"2014-04-02\" "
                  "CreationTime=\"10:15:00\" CreationTimeOffset=\"+02\" Version=\"2.0\"/>\r\n");
    EXPECT_EQ(root.Version(), "2.0");
    EXPECT_EQ(root.CreationDate(), "2014-04-02");
    EXPECT_EQ(root.CreationTime(), "10:15:00");
    EXPECT_EQ(root.CreationTimeOffset(), "+02");
    EXPECT_EQ(root.MaticnaStevilkaZavezanca(), "0860571000");
    EXPECT_EQ(root.attribute("xsi:noNamespaceSchemaLocation"), "NTRS.xsd");
}

TEST(NtrsDocument, AbsentAttributeReadsAsNull) {
    NtrsDocument doc;
    EXPECT_TRUE(doc.root().Version().isNull());
    EXPECT_TRUE(doc.root().attribute("xmlns:xsi").isNull());
}

TEST(NtrsDocument, SchemaInstancePrefixIsDeclaredWhereItIsFirstUsed) {
    NtrsDocument doc;
    doc.root().setAttribute("xsi:noNamespaceSchemaLocation", "NTRS.xsd");
    doc.root().setAttribute("xmlns:xsi", "http://www.w3.org/2001/XMLSchema-instance");
    EXPECT_EQ(doc.xml(),
              declaration + "\r\n<NTRSRoot xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
                            "xsi:noNamespaceSchemaLocation=\"NTRS.xsd\"/>\r\n");
    QXmlStreamReader reader(doc.xml());
    reader.readNextStartElement();
    EXPECT_EQ(reader.attributes().value("http://www.w3.org/2001/XMLSchema-instance",
                                        "noNamespaceSchemaLocation"),
              u"NTRS.xsd");
}

TEST(NtrsDocument, AnUndeclaredUnknownPrefixIsRefused) {
    NtrsDocument doc;
    EXPECT_THROW(doc.root().setAttribute("abc:def", "1"), RapoError);
    EXPECT_EQ(doc.xml(), declaration + "\r\n<NTRSRoot/>\r\n");
}

// Every value of a transaction record, by element name.
const std::vector<std::pair<QString, std::function<void(Transaction &)>>> transactionSetters = {
    {"ReportingFirmIdentification", [](Transaction &t) { t.setReportingFirmIdentification("B"); }},
    {"TradingDay", [](Transaction &t) { t.setTradingDay("2014-04-01"); }},
    {"TradingTime", [](Transaction &t) { t.setTradingTime("10:15:00"); }},
    {"TradingTimeZone", [](Transaction &t) { t.setTradingTimeZone("+02"); }},
    {"BuySellIndicator", [](Transaction &t) { t.setBuySellIndicator("B"); }},
    {"TradingCapacity", [](Transaction &t) { t.setTradingCapacity("A"); }},
    {"InstrumentISINCode", [](Transaction &t) { t.setInstrumentISINCode("N"); }},
    {"AIICode", [](Transaction &t) { t.AIICode(); }},
    {"InstrumentInternalCode", [](Transaction &t) { t.setInstrumentInternalCode(1); }},
    {"UnitPriceValue", [](Transaction &t) { t.setUnitPriceValue("1"); }},
    {"UnitPriceType", [](Transaction &t) { t.setUnitPriceType("U"); }},
    {"PriceNotation", [](Transaction &t) { t.setPriceNotation("EUR"); }},
    {"Quantity", [](Transaction &t) { t.setQuantity("1"); }},
    {"Counterparty", [](Transaction &t) { t.setCounterparty("CC"); }},
    {"CounterpartyType", [](Transaction &t) { t.setCounterpartyType("CC"); }},
    {"Client", [](Transaction &t) { t.setClient("X"); }},
    {"ClientType", [](Transaction &t) { t.setClientType("BIC"); }},
    {"TradingVenue", [](Transaction &t) { t.setTradingVenue("OTC"); }},
    {"TradingVenueType", [](Transaction &t) { t.setTradingVenueType("XOFF"); }},
    {"TransactionReferenceNumber", [](Transaction &t) { t.setTransactionReferenceNumber(1); }},
};

TEST(NtrsDocument, ChildrenAppearInTheOrderOfFirstTouch) {
    QStringList declared;
    for (const auto &[name, set] : transactionSetters)
        declared << name;
    QStringList reversed(declared.rbegin(), declared.rend());
    const std::vector<std::pair<const char *, QStringList>> orders = {
        {"declaration order", declared},
        {"reversed", reversed},
        {"a few, shuffled",
         {"Quantity", "AIICode", "TradingDay", "TransactionReferenceNumber", "Client"}},
        {"one", {"TradingVenue"}},
    };
    for (const auto &[what, order] : orders) {
        SCOPED_TRACE(what);
        NtrsDocument doc;
        Transaction t = doc.root().TransactionReporting().append();
        for (const QString &name : order) {
            const auto setter =
                std::find_if(transactionSetters.begin(), transactionSetters.end(),
                             [&name](const auto &entry) { return entry.first == name; });
            ASSERT_NE(setter, transactionSetters.end()) << name.toStdString();
            setter->second(t);
        }
        EXPECT_EQ(childrenOf(doc.xml(), "TransactionRecordInfo"), order);
    }
}

TEST(NtrsDocument, ValueSetTwiceKeepsOneElementWithTheSecondTextAtTheFirstPlace) {
    NtrsDocument doc;
    Instrument i = doc.root().Sifrant().append();
    i.setInstrumentName("Prva");
    i.setIssuerName("Izdajatelj");
    i.setInstrumentName("Druga");
    i.setReferenca(5);
    i.setReferenca(7);
    EXPECT_EQ(childrenOf(doc.xml(), "SifrantRecordInfo"),
              (QStringList{"InstrumentName", "IssuerName", "Referenca"}));
    EXPECT_EQ(textsOf(doc.xml(), "InstrumentName"), QStringList{"Druga"});
    EXPECT_EQ(textsOf(doc.xml(), "Referenca"), QStringList{"7"});
    EXPECT_EQ(i.InstrumentName(), "Druga");
    EXPECT_EQ(i.Referenca(), 7);
}

TEST(NtrsDocument, ComplexChildFetchedTwiceIsTheSameElement) {
    NtrsDocument doc;
    Instrument i = doc.root().Sifrant().append();
    i.AIICode().setAIIExchangeCode("XEUR");
    i.setInstrumentInternalCode(3);
    i.AIICode().setAIIProductCode("FDAX");
    EXPECT_EQ(childrenOf(doc.xml(), "SifrantRecordInfo"),
              (QStringList{"AIICode", "InstrumentInternalCode"}));
    EXPECT_EQ(childrenOf(doc.xml(), "AIICode"), (QStringList{"AIIExchangeCode", "AIIProductCode"}));
    EXPECT_EQ(i.AIICode().AIIProductCode(), "FDAX");
}

TEST(NtrsDocument, ReadingValuesCreatesNoElement) {
    NtrsDocument doc;
    Transaction t = doc.root().TransactionReporting().append();
    EXPECT_TRUE(t.Counterparty().isNull());
    EXPECT_TRUE(t.TradingDay().isNull());
    EXPECT_TRUE(doc.root().Version().isNull());
    EXPECT_TRUE(childrenOf(doc.xml(), "TransactionRecordInfo").isEmpty());
}

TEST(NtrsDocument, SifrantFetchedWithoutRecordsIsWrittenEmpty) {
    NtrsDocument doc;
    doc.root().Sifrant();
    EXPECT_EQ(doc.xml(), declaration + "\r\n<NTRSRoot>\r\n  <Sifrant/>\r\n</NTRSRoot>\r\n");
}

TEST(NtrsDocument, CollectionsComeIntoBeingWithTheirFirstRecord) {
    struct Case {
        const char *what;
        QString records; // T a transaction, C a cancellation
        QStringList rootChildren;
    };
    const std::vector<Case> cases = {
        {"only cancellations", "CC", {"Sifrant", "CancelledTransactions"}},
        {"only transactions", "TT", {"Sifrant", "TransactionReporting"}},
        {"transaction first", "TCT", {"Sifrant", "TransactionReporting", "CancelledTransactions"}},
        {"cancellation first", "CTT", {"Sifrant", "CancelledTransactions", "TransactionReporting"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        NtrsDocument doc;
        NtrsRoot root = doc.root();
        root.Sifrant();
        for (const QChar kind : c.records) {
            if (kind == u'T')
                root.TransactionReporting().append().setTransactionReferenceNumber(1);
            else
                root.CancelledTransactions().append().setCancelledTransactionFlag("C");
        }
        EXPECT_EQ(childrenOf(doc.xml(), "NTRSRoot"), c.rootChildren);
        EXPECT_EQ(root.TransactionReporting().count() + root.CancelledTransactions().count(),
                  c.records.size());
    }
}

TEST(NtrsDocument, CollectionAddsInsertsReadsAndRemovesItems) {
    NtrsDocument doc;
    CancellationList c = doc.root().CancelledTransactions();
    EXPECT_EQ(c.count(), 0);
    c.append().setCancelledTransactionReferenceNumber(2);
    c.append().setCancelledTransactionReferenceNumber(4);
    c.insert(0).setCancelledTransactionReferenceNumber(1);
    c.insert(2).setCancelledTransactionReferenceNumber(3);
    c.insert(c.count()).setCancelledTransactionReferenceNumber(5);
    ASSERT_EQ(c.count(), 5);
    for (int i = 0; i < c.count(); ++i)
        EXPECT_EQ(c.item(i).CancelledTransactionReferenceNumber(), i + 1);
    EXPECT_EQ(textsOf(doc.xml(), "CancelledTransactionReferenceNumber"),
              (QStringList{"1", "2", "3", "4", "5"}));

    // An item reached again by its index is the same element.
    c.item(1).setCancelledTransactionFlag("C");
    EXPECT_EQ(c.item(1).CancelledTransactionFlag(), "C");
    EXPECT_EQ(childrenOf(doc.xml(), "CancelledTransactions").size(), 5);

    c.remove(0);
    EXPECT_EQ(textsOf(doc.xml(), "CancelledTransactionReferenceNumber"),
              (QStringList{"2", "3", "4", "5"}));
    EXPECT_EQ(c.item(0).CancelledTransactionFlag(), "C");

    EXPECT_THROW(c.item(4), std::out_of_range);
    EXPECT_THROW(c.item(-1), std::out_of_range);
    EXPECT_THROW(c.insert(5), std::out_of_range);
    EXPECT_THROW(c.remove(4), std::out_of_range);

    c.clear();
    EXPECT_EQ(c.count(), 0);
    EXPECT_EQ(doc.xml(),
              declaration + "\r\n<NTRSRoot>\r\n  <CancelledTransactions/>\r\n</NTRSRoot>\r\n");
    c.append().setCancelledTransactionReferenceNumber(9);
    EXPECT_EQ(textsOf(doc.xml(), "CancelledTransactionReferenceNumber"), QStringList{"9"});
}

TEST(NtrsDocument, IntegersAreWrittenWithAllTheirDigits) {
    struct Case {
        qint64 value;
        QString written;
    };
    const std::vector<Case> references = {
        {0, "0"},
        {100000000042, "100000000042"},
        {999999999999, "999999999999"},
        {-17, "-17"},
        {std::numeric_limits<qint64>::max(), "9223372036854775807"},
        {std::numeric_limits<qint64>::min(), "-9223372036854775808"},
    };
    for (const Case &c : references) {
        SCOPED_TRACE(c.written.toStdString());
        NtrsDocument doc;
        Transaction t = doc.root().TransactionReporting().append();
        t.setTransactionReferenceNumber(c.value);
        EXPECT_EQ(textsOf(doc.xml(), "TransactionReferenceNumber"), QStringList{c.written});
        EXPECT_EQ(t.TransactionReferenceNumber(), c.value);
    }
    const std::vector<std::pair<qint32, QString>> codes = {
        {0, "0"},
        {1234567890, "1234567890"},
        {std::numeric_limits<qint32>::max(), "2147483647"},
        {-1, "-1"},
    };
    for (const auto &[value, written] : codes) {
        SCOPED_TRACE(written.toStdString());
        NtrsDocument doc;
        Instrument i = doc.root().Sifrant().append();
        i.setInstrumentInternalCode(value);
        EXPECT_EQ(textsOf(doc.xml(), "InstrumentInternalCode"), QStringList{written});
        EXPECT_EQ(i.InstrumentInternalCode(), value);
    }
}

TEST(NtrsDocument, IntegerReadOfAMissingOrTextValueFailsNamingTheText) {
    NtrsDocument doc;
    Instrument i = doc.root().Sifrant().append();
    try {
        i.Referenca();
        FAIL() << "an absent integer was read";
    } catch (const RapoError &e) {
        EXPECT_EQ(e.message(), "'' ni veljavno celo število");
    }
    EXPECT_TRUE(childrenOf(doc.xml(), "SifrantRecordInfo").isEmpty());
}

TEST(NtrsDocument, EmptyValueGivesAnElementWithoutContent) {
    NtrsDocument doc;
    Transaction t = doc.root().TransactionReporting().append();
    t.setClient("");
    t.setClientType("BIC");
    t.setClientType(QString());
    EXPECT_EQ(doc.xml(), declaration + "\r\n<NTRSRoot>\r\n"
                                       "  <TransactionReporting>\r\n"
                                       "    <TransactionRecordInfo>\r\n"
                                       "      <Client/>\r\n"
                                       "      <ClientType/>\r\n"
                                       "    </TransactionRecordInfo>\r\n"
                                       "  </TransactionReporting>\r\n"
                                       "</NTRSRoot>\r\n");
    EXPECT_EQ(t.Client(), "");
}

TEST(NtrsDocument, NestedElementsAreIndentedOneStepPerLevel) {
    NtrsDocument doc;
    NtrsRoot root = doc.root();
    root.setVersion("2.0");
    Instrument i = root.Sifrant().append();
    i.setInstrumentISINCode("N");
    AlternativeInstrumentId aii = i.AIICode();
    aii.setAIIDerivativeType("O");
    aii.setAIIStrikePrice("0");
    i.setInstrumentInternalCode(1001);
    CancellationRecord c = root.CancelledTransactions().append();
    c.setCancelledTransactionReferenceNumber(100000000042);
    c.setCancelledTransactionFlag("C");
    EXPECT_EQ(text(doc), QString::fromUtf8(declaration) +
                             "\r\n"
                             "<NTRSRoot Version=\"2.0\">\r\n"
                             "  <Sifrant>\r\n"
                             "    <SifrantRecordInfo>\r\n"
                             "      <InstrumentISINCode>N</InstrumentISINCode>\r\n"
                             "      <AIICode>\r\n"
                             "        <AIIDerivativeType>O</AIIDerivativeType>\r\n"
                             "        <AIIStrikePrice>0</AIIStrikePrice>\r\n"
                             "      </AIICode>\r\n"
                             "      <InstrumentInternalCode>1001</InstrumentInternalCode>\r\n"
                             "    </SifrantRecordInfo>\r\n"
                             "  </Sifrant>\r\n"
                             "  <CancelledTransactions>\r\n"
                             "    <CancellationRecordInfo>\r\n"
                             "      <CancelledTransactionReferenceNumber>100000000042"
                             "</CancelledTransactionReferenceNumber>\r\n"
                             "      <CancelledTransactionFlag>C</CancelledTransactionFlag>\r\n"
                             "    </CancellationRecordInfo>\r\n"
                             "  </CancelledTransactions>\r\n"
                             "</NTRSRoot>\r\n");
}

TEST(NtrsDocument, CodePageLettersAreWrittenAsUtf8AndReadBack) {
    const QString name = QStringLiteral("Čevljarna Šušteršič, Žalec ćđ ČŠŽ");
    TempProgramDirectory dir;
    const QString file = dir.file("TRDAT01_test.xml");
    NtrsDocument doc;
    Instrument i = doc.root().Sifrant().append();
    i.setInstrumentName(name);
    i.setIssuerName(QStringLiteral("Zavarovalnica Triglav"));
    doc.save(file);

    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_TRUE(bytes.startsWith(declaration + "\r\n"));
    EXPECT_TRUE(bytes.contains("<InstrumentName>\xC4\x8C"
                               "evljarna \xC5\xA0u\xC5\xA1ter\xC5\xA1i\xC4\x8D, \xC5\xBD"
                               "alec \xC4\x87\xC4\x91 \xC4\x8C\xC5\xA0\xC5\xBD</InstrumentName>"));
    EXPECT_EQ(textsOf(bytes, "InstrumentName"), QStringList{name});
    EXPECT_EQ(i.InstrumentName(), name);
}

TEST(NtrsDocument, MarkupCharactersInValuesAreEscaped) {
    const std::vector<QString> values = {
        "A & B d.d.", "<Ime>", "\"Banka\" d.d.", "a ]]> b", "vrstica\r\nnova", "  presledki  ",
    };
    for (const QString &value : values) {
        SCOPED_TRACE(value.toStdString());
        NtrsDocument doc;
        doc.root().setCreationDate(value);
        doc.root().Sifrant().append().setIssuerName(value);
        const QByteArray xml = doc.xml();
        EXPECT_EQ(textsOf(xml, "IssuerName"), QStringList{value});
        QXmlStreamReader reader(xml);
        reader.readNextStartElement();
        EXPECT_EQ(reader.attributes().value("CreationDate"), value);
    }
}

TEST(NtrsDocument, SavingReplacesAnExistingFile) {
    TempProgramDirectory dir;
    const QString file = dir.file("TRDAT01_5860571000_0001_14.xml");
    {
        QFile old(file);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(100000, 'x'));
    }
    NtrsDocument doc;
    doc.root().setVersion("2.0");
    doc.root().Sifrant();
    doc.save(file);

    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), doc.xml());
}

TEST(NtrsDocument, SavingWhereNoFileCanBeWrittenFailsNamingTheFile) {
    TempProgramDirectory dir;
    const QString file = dir.file("manjka/TRDAT01.xml");
    NtrsDocument doc;
    try {
        doc.save(file);
        FAIL() << "saved into a missing directory";
    } catch (const RapoError &e) {
        EXPECT_TRUE(e.message().startsWith("Napaka pri zapisu datoteke " + file + "!\r"))
            << e.message().toStdString();
    }
    EXPECT_FALSE(QFile::exists(file));
}

TEST(NtrsDocument, LargeReportKeepsEveryRecordInOrder) {
    NtrsDocument doc;
    TransactionList transactions = doc.root().TransactionReporting();
    const int records = 20000;
    for (int n = 0; n < records; ++n) {
        Transaction t = transactions.append();
        t.setQuantity(QString::number(n));
        t.setTransactionReferenceNumber(100000000000 + n);
    }
    ASSERT_EQ(transactions.count(), records);
    EXPECT_EQ(transactions.item(records - 1).TransactionReferenceNumber(),
              100000000000 + records - 1);
    const QStringList references = textsOf(doc.xml(), "TransactionReferenceNumber");
    ASSERT_EQ(references.size(), records);
    for (int n = 0; n < records; n += 997)
        EXPECT_EQ(references[n], QString::number(100000000000 + n));
}

// One report's content, touched in an order that exercises the first-touch rule: the
// cancellations before the transactions, records of the two interleaved, a nested element,
// an attribute on a record and a value set twice.
void fillReport(NtrsDocument &doc, int from, int to) {
    NtrsRoot root = doc.root();
    if (from == 0) {
        root.setAttribute("xsi:noNamespaceSchemaLocation", "NTRS.xsd");
        root.setVersion("2.0");
        Instrument i = root.Sifrant().append();
        i.setInstrumentInternalCode(7);
        i.AIICode().setAIIExchangeCode("XLJU");
        i.setInstrumentName("Krka & <Šoštanj>");
    }
    for (int n = from; n < to; ++n) {
        if (n % 3 == 0) {
            CancellationRecord c = root.CancelledTransactions().append();
            c.setCancelledTransactionReferenceNumber(n);
            c.setAttribute("Vir", QString::number(n));
        } else {
            Transaction t = root.TransactionReporting().append();
            t.setQuantity("0");
            t.AIICode().setAIIStrikePrice(QString::number(n) + ",5");
            t.setQuantity(QString::number(n));
            t.setTransactionReferenceNumber(n);
        }
    }
}

QStringList spoolFiles(const QString &folder) {
    return QDir(folder).entryList(QDir::Files);
}

TEST(NtrsDocument, SpooledDocumentWritesWhatAHeldDocumentWrites) {
    TempProgramDirectory dir;
    for (const int records : {0, 1, 2, 50}) {
        SCOPED_TRACE(records);
        NtrsDocument held;
        fillReport(held, 0, records);
        {
            NtrsDocument spooled(NtrsDocument::Items::Spooled, dir.path());
            fillReport(spooled, 0, records);
            EXPECT_LE(spoolFiles(dir.path()).size(), 3);
            EXPECT_EQ(spooled.xml(), held.xml());
            // Written once, the document goes on taking records and is written whole again.
            fillReport(held, records, records + 4);
            fillReport(spooled, records, records + 4);
            EXPECT_EQ(spooled.xml(), held.xml());
            EXPECT_EQ(spooled.root().TransactionReporting().count(),
                      held.root().TransactionReporting().count());
        }
        EXPECT_EQ(spoolFiles(dir.path()), QStringList());
    }
}

TEST(NtrsDocument, SpooledItemsWrittenOutAreNeitherReadNorMoved) {
    TempProgramDirectory dir;
    NtrsDocument doc(NtrsDocument::Items::Spooled, dir.path());
    CancellationList c = doc.root().CancelledTransactions();
    c.append().setCancelledTransactionReferenceNumber(1);
    c.append().setCancelledTransactionReferenceNumber(2);
    ASSERT_EQ(c.count(), 2);
    EXPECT_EQ(c.item(1).CancelledTransactionReferenceNumber(), 2);
    const std::vector<std::function<void()>> refused = {[&] { c.item(0); }, [&] { c.insert(0); },
                                                        [&] { c.remove(1); }, [&] { c.clear(); }};
    for (const auto &call : refused)
        EXPECT_THROW(call(), std::logic_error);
    EXPECT_THROW(c.item(2), std::out_of_range);
    EXPECT_EQ(textsOf(doc.xml(), "CancelledTransactionReferenceNumber"), QStringList({"1", "2"}));
}

TEST(NtrsDocument, SpoolingWhereNoFileCanBeMadeFailsNamingTheFolder) {
    TempProgramDirectory dir;
    const QString folder = dir.file("manjka");
    NtrsDocument doc(NtrsDocument::Items::Spooled, folder);
    TransactionList t = doc.root().TransactionReporting();
    t.append();
    try {
        t.append();
        FAIL() << "spooled into a missing folder";
    } catch (const RapoError &e) {
        EXPECT_TRUE(e.message().startsWith("Začasne datoteke poročila ni mogoče odpreti v mapi " +
                                           folder + "!\r"))
            << e.message().toStdString();
    }
}

} // namespace
