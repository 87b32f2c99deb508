#include "DemoSite.h"
#include "Configuration.h"
#include "Database.h"
#include "Query.h"
#include "RapoError.h"
#include "TempProgramDirectory.h"

#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSet>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QString alias = QStringLiteral("DEMO");

QByteArray readFile(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

// The demo database of a fresh program directory, open for reading.
class DemoSiteData : public ::testing::Test {
protected:
    void SetUp() override {
        DemoSite::create(alias, dir.path());
        db = std::make_unique<Database>(alias, QString(), QString(), dir.path());
        ASSERT_TRUE(db->isEmbedded());
    }

    qint64 scalar(const QString &sql) {
        Query q(*db);
        q.setText(sql);
        q.open();
        return q.eof() ? -1 : q.asInteger(q.columnName(0));
    }

    // The first column of every row.
    QList<qint64> column(const QString &sql) {
        Query q(*db);
        q.setText(sql);
        q.open();
        QList<qint64> values;
        for (; !q.eof(); q.next())
            values << q.asInteger(q.columnName(0));
        return values;
    }

    QStringList texts(const QString &sql) {
        Query q(*db);
        q.setText(sql);
        q.open();
        QStringList values;
        for (; !q.eof(); q.next())
            values << q.asString(q.columnName(0));
        return values;
    }

    TempProgramDirectory dir;
    std::unique_ptr<Database> db;
};

// ISO 6166: two letters, nine letters or digits, and a check digit over the letters read as
// numbers 10 to 35 (the Luhn scheme).
bool isWellFormedIsin(const QString &isin) {
    if (isin.size() != 12 || !isin[0].isUpper() || !isin[1].isUpper() || !isin[11].isDigit())
        return false;
    QString digits;
    for (const QChar c : isin) {
        if (c.isDigit())
            digits += c;
        else if (c >= u'A' && c <= u'Z')
            digits += QString::number(c.unicode() - u'A' + 10);
        else
            return false;
    }
    int sum = 0;
    bool doubled = false;
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        int d = digits[i].digitValue();
        if (doubled) {
            d *= 2;
            if (d > 9)
                d -= 9;
        }
        sum += d;
        doubled = !doubled;
    }
    return sum % 10 == 0;
}

TEST(DemoSite, WritesAWindows1250ConfigurationThatReadsWithoutComplaint) {
    TempProgramDirectory dir;
    DemoSite::create(alias, dir.path());

    EXPECT_TRUE(QFileInfo::exists(dir.file("DEMO.sqlite")));
    const QByteArray bytes = readFile(dir.file("RAPO.ini"));
    ASSERT_FALSE(bytes.isEmpty());
    EXPECT_TRUE(bytes.contains("[Splo\x9Ano]")) << "the section name is in Windows-1250";
    EXPECT_EQ(bytes.count("\n"), bytes.count("\r\n")) << "every line ends with CR LF";

    const Configuration c = Configuration::read(dir.path());
    EXPECT_TRUE(c.messages.isEmpty()) << c.messages.join('\n').toStdString();
    EXPECT_FALSE(c.isDb2);
    EXPECT_EQ(c.tipPosla, "") << "every trade type is collected";
    EXPECT_EQ(c.sfTrgaPorocevalca, "8");
    EXPECT_EQ(c.micLjseC, "XLJM");
    EXPECT_EQ(c.atvpUporabnik, "ATVP-NTRS");
    // The references built from these prefixes must stay numeric.
    for (const QString &prefix : {c.posliVekPrefiks, c.vpVekPrefiks, c.posliImportPrefiks}) {
        bool numeric = false;
        prefix.toLongLong(&numeric);
        EXPECT_TRUE(numeric) << prefix.toStdString();
    }
}

TEST(DemoSite, KeepsAConfigurationThatIsAlreadyThere) {
    TempProgramDirectory dir;
    dir.writeWindows1250("RAPO.ini", QString::fromUtf8("[Splošno]\r\nTip=DB2\r\n"));
    const QByteArray before = readFile(dir.file("RAPO.ini"));

    DemoSite::create(alias, dir.path());
    EXPECT_EQ(readFile(dir.file("RAPO.ini")), before);

    DemoSite::create(QStringLiteral("DEMO2"), dir.path());
    EXPECT_EQ(readFile(dir.file("RAPO.ini")), before);
    EXPECT_TRUE(QFileInfo::exists(dir.file("DEMO2.sqlite")));
}

TEST(DemoSite, CreatingTwiceFailsAndLeavesTheFirstDatabaseAlone) {
    TempProgramDirectory dir;
    DemoSite::create(alias, dir.path());
    const QByteArray ini = readFile(dir.file("RAPO.ini"));

    EXPECT_THROW(DemoSite::create(alias, dir.path()), RapoError);

    Database db(alias, QString(), QString(), dir.path());
    Query q(db);
    q.setText("SELECT COUNT(*) AS N FROM PSL");
    q.open();
    EXPECT_GT(q.asInteger("N"), 0) << "the existing database keeps its trades";
    EXPECT_EQ(readFile(dir.file("RAPO.ini")), ini);
}

// An ODBC configuration of this test only, defining the data source DEMOHOST.
class OdbcConfiguration {
public:
    OdbcConfiguration() : previousSys_(qgetenv("ODBCSYSINI")), previousIni_(qgetenv("ODBCINI")) {
        dir.writeWindows1250("odbcinst.ini", "[SQLite3]\nDriver=libsqlite3odbc.so\n");
        dir.writeWindows1250("odbc.ini",
                             "[DEMOHOST]\nDriver=SQLite3\nDatabase=" + dir.file("host.db") + "\n");
        qputenv("ODBCSYSINI", QFile::encodeName(dir.path()));
        qputenv("ODBCINI", QFile::encodeName(dir.file("odbc.ini")));
    }
    ~OdbcConfiguration() {
        qputenv("ODBCSYSINI", previousSys_);
        qputenv("ODBCINI", previousIni_);
    }
    TempProgramDirectory dir;

private:
    QByteArray previousSys_;
    QByteArray previousIni_;
};

TEST(DemoSite, RefusesAnAliasThatNamesAnOdbcDataSource) {
    OdbcConfiguration odbc;
    ASSERT_TRUE(Database::odbcDataSourceExists("DemoHost"));

    TempProgramDirectory dir;
    EXPECT_THROW(DemoSite::create(QStringLiteral("DemoHost"), dir.path()), RapoError);
    EXPECT_FALSE(QFileInfo::exists(dir.file("DEMOHOST.sqlite")));
    EXPECT_FALSE(QFileInfo::exists(dir.file("RAPO.ini")));
    EXPECT_FALSE(QFileInfo::exists(odbc.dir.file("host.db")));
}

// A trade that misses one of these rows drops silently out of the collection's joins.
TEST_F(DemoSiteData, EveryTradeAndCancelledTradeJoinsWhatTheCollectionJoins) {
    const QList<std::pair<const char *, QString>> links = {
        {"contract and its person",
         "EXISTS (SELECT 1 FROM POG G JOIN OSB O ON G.SfOsb = O.SfOsb WHERE G.IdPog = P.IdPog)"},
        {"counterparty contract",
         "(P.IdPogTrp IS NULL OR EXISTS (SELECT 1 FROM POG G JOIN OSB O ON G.SfOsb = O.SfOsb "
         "WHERE G.IdPog = P.IdPogTrp))"},
        {"venue", "EXISTS (SELECT 1 FROM TRG T WHERE T.SfTrg = P.SfTrg)"},
        {"currency", "EXISTS (SELECT 1 FROM VLT V WHERE V.SfVlt = P.SfVlt)"},
        {"instrument", "EXISTS (SELECT 1 FROM SFVP S WHERE S.SFVP = P.SFVP)"},
        {"listing open on the trade day",
         "EXISTS (SELECT 1 FROM KTC K WHERE K.SFVP = P.SFVP AND (K.DanPrk IS NULL OR "
         "K.DanPrk > P.Dan))"},
        {"coupon period of its instrument",
         "(P.SfKpn IS NULL OR EXISTS (SELECT 1 FROM KPN C WHERE C.SfKpn = P.SfKpn AND "
         "C.SFVP = P.SFVP))"},
        {"price unit of its instrument",
         "EXISTS (SELECT 1 FROM SFVP S WHERE S.SFVP = P.SFVP AND S.SfGlvEnt = P.SfGlvEnt)"},
    };
    const QStringList tables = {"PSL", "DPATVPPSLSTN"};
    for (const QString &table : tables) {
        EXPECT_GT(scalar("SELECT COUNT(*) FROM " + table), 0) << table.toStdString();
        for (const auto &[link, condition] : links)
            EXPECT_EQ(column("SELECT P.IdPsl FROM " + table + " P WHERE NOT " + condition),
                      QList<qint64>())
                << table.toStdString() << " rows without " << link;
    }
}

// The instrument query and the register reconciliation join issuer, country, class and the
// first listing with inner joins.
TEST_F(DemoSiteData, EveryInstrumentHasIssuerCountryClassCurrencyAndListing) {
    const QList<std::pair<const char *, QString>> links = {
        {"issuer with country", "EXISTS (SELECT 1 FROM OSB O JOIN DRZ D ON O.SfDRZ = D.SfDrz WHERE "
                                "O.SfOsb = S.SFOSBIZD)"},
        {"class", "EXISTS (SELECT 1 FROM FIN F WHERE F.SFFIN = S.SFFIN)"},
        {"nominal currency", "EXISTS (SELECT 1 FROM VLT V WHERE V.SfVlt = S.SfVLTNMN)"},
        {"listing on a known venue",
         "EXISTS (SELECT 1 FROM KTC K JOIN TRG T ON K.SFTRG = T.SfTrg WHERE K.SFVP = S.SFVP)"},
        {"reporting flag", "S.PorocanjeRAPO IN ('D', 'N')"},
    };
    for (const auto &[link, condition] : links)
        EXPECT_EQ(column("SELECT S.SFVP FROM SFVP S WHERE NOT " + condition), QList<qint64>())
            << "instruments without " << link;
    EXPECT_EQ(column("SELECT SFVP FROM SFVP WHERE PorocanjeRAPO = 'N'"), QList<qint64>{109});
    EXPECT_EQ(column("SELECT IdPsl FROM PSL P JOIN SFVP S ON P.SFVP = S.SFVP "
                     "WHERE S.PorocanjeRAPO = 'N'"),
              QList<qint64>{1008});
}

TEST_F(DemoSiteData, TradeDaysAreWholeDaysAroundTheSummerTimeSwitches) {
    Query q(*db);
    q.setText("SELECT IdPsl, Dan, CAS FROM PSL ORDER BY IdPsl");
    q.open();
    QMap<QDate, int> tradesPerDay;
    for (; !q.eof(); q.next()) {
        const QDateTime day = q.asDateTime("Dan");
        const QDateTime time = q.asDateTime("CAS");
        SCOPED_TRACE(q.asInteger("IdPsl"));
        EXPECT_EQ(day.time(), QTime(0, 0)) << "a time of day would escape the period filter";
        EXPECT_EQ(time.date(), day.date());
        ++tradesPerDay[day.date()];
    }
    const QList<QDate> days = {QDate(2014, 3, 27),  QDate(2014, 3, 28), QDate(2014, 3, 31),
                               QDate(2014, 4, 1),   QDate(2014, 4, 2),  QDate(2014, 10, 24),
                               QDate(2014, 10, 26), QDate(2014, 10, 27)};
    EXPECT_EQ(tradesPerDay.keys(), days);
}

TEST_F(DemoSiteData, TheReportingFirmHasRegistrationNumberAndBic) {
    Query q(*db);
    q.setText("SELECT MTS, SWIFT FROM OSB WHERE SfOsb = 2");
    q.open();
    ASSERT_FALSE(q.eof());
    const QString mts = q.asString("MTS");
    bool numeric = false;
    mts.left(7).toLongLong(&numeric);
    EXPECT_TRUE(numeric && mts.size() >= 7) << mts.toStdString();
    EXPECT_EQ(q.asString("SWIFT").size(), 8);
}

TEST_F(DemoSiteData, IsinsAndBicsAreWellFormed) {
    for (const QString &isin :
         texts("SELECT DISTINCT ISIN FROM SFVP WHERE ISIN IS NOT NULL AND ISIN <> 'N'"))
        EXPECT_TRUE(isWellFormedIsin(isin)) << isin.toStdString();
    const QStringList bics = texts("SELECT SWIFT FROM OSB WHERE SWIFT IS NOT NULL");
    QSet<qsizetype> lengths;
    for (const QString &bic : bics) {
        EXPECT_TRUE(bic.size() == 8 || bic.size() == 11) << bic.toStdString();
        EXPECT_EQ(bic, bic.toUpper());
        lengths << bic.size();
    }
    EXPECT_EQ(lengths, (QSet<qsizetype>{8, 11})) << "BICs of both lengths";
}

TEST_F(DemoSiteData, OneIsinIsHeldByTwoReportableInstrumentsTradedOnTheSameDay) {
    Query q(*db);
    q.setText("SELECT upper(ISIN) AS ISIN, COUNT(*) AS N FROM SFVP WHERE PorocanjeRAPO = 'D' "
              "AND ISIN IS NOT NULL AND ISIN <> 'N' AND (ZPDVP IS NULL OR ZPDVP > :Dan) "
              "GROUP BY upper(ISIN) HAVING COUNT(*) > 1");
    q.setDate("Dan", QDate(2014, 4, 2));
    q.open();
    ASSERT_FALSE(q.eof());
    EXPECT_EQ(q.asString("ISIN"), "SI0031128356");
    EXPECT_EQ(q.asInteger("N"), 2);
    q.next();
    EXPECT_TRUE(q.eof()) << "only one ISIN needs a choice";

    EXPECT_EQ(column("SELECT DISTINCT P.SFVP FROM PSL P JOIN SFVP S ON P.SFVP = S.SFVP "
                     "WHERE S.ISIN = 'SI0031128356' AND P.Dan = (SELECT Dan FROM PSL "
                     "WHERE IdPsl = 1023) ORDER BY P.SFVP"),
              (QList<qint64>{107, 108}));
}

// The opposite trade is found as the working set finds it: a positive link names it, a
// negative one is matched by the opposite trade's own link.
TEST_F(DemoSiteData, CrossedTradesLinkBothWays) {
    Query q(*db);
    q.setText("SELECT P.IdPsl, P.IdPslTrp, P.IdPog, P.IdPogTrp, P.SfPsl, P.SFDJV,"
              " P2.IdPsl AS Opposite, P2.IdPog AS OppositePog, P2.IdPogTrp AS OppositePogTrp,"
              " P2.SfPsl AS OppositeSfPsl, P2.SFDJV AS OppositeSfDjv,"
              " CASE WHEN P.SFVP = P2.SFVP AND P.Dan = P2.Dan AND P.Lot = P2.Lot AND"
              " P.GlvTcj = P2.GlvTcj AND P.SfTrg = P2.SfTrg THEN 1 ELSE 0 END AS SameDeal"
              " FROM PSL P LEFT OUTER JOIN PSL X ON X.IdPslTrp = -P.IdPslTrp"
              " LEFT OUTER JOIN PSL P2 ON (P2.IdPsl = CASE WHEN P.IdPslTrp > 0 THEN P.IdPslTrp"
              " ELSE X.IdPsl END) WHERE P.IdPslTrp IS NOT NULL ORDER BY P.IdPsl");
    q.open();
    QMap<qint64, qint64> opposite;
    int withOwnAccount = 0;
    int positiveLinks = 0;
    for (; !q.eof(); q.next()) {
        const qint64 id = q.asInteger("IdPsl");
        SCOPED_TRACE(id);
        EXPECT_FALSE(opposite.contains(id)) << "one opposite trade per trade";
        opposite.insert(id, q.asInteger("Opposite"));
        // One side names the other; the other carries minus its own id.
        const qint64 link = q.asInteger("IdPslTrp");
        if (link > 0)
            ++positiveLinks;
        else
            EXPECT_EQ(link, -id);
        EXPECT_EQ(q.asInteger("SameDeal"), 1);
        EXPECT_NE(q.asString("SfPsl"), q.asString("OppositeSfPsl")) << "a buy meets a sell";
        EXPECT_EQ(q.asInteger("IdPogTrp"), q.asInteger("OppositePog"));
        EXPECT_EQ(q.asInteger("OppositePogTrp"), q.asInteger("IdPog"));
        if (q.asString("SFDJV") == "L" || q.asString("OppositeSfDjv") == "L")
            ++withOwnAccount;
    }
    const QMap<qint64, qint64> expected = {{1013, 1014}, {1014, 1013}, {1015, 1016}, {1016, 1015}};
    EXPECT_EQ(opposite, expected);
    EXPECT_EQ(positiveLinks, 2) << "one positive link per pair";
    EXPECT_EQ(withOwnAccount, 2) << "one pair has an own-account side, the other has none";
}

struct CouponCase {
    QDate day;
    double principal;
};

class BondCouponPeriods : public DemoSiteData, public ::testing::WithParamInterface<CouponCase> {};

// The rule the working set uses to find the coupon period that contains a day.
TEST_P(BondCouponPeriods, ThePeriodContainingTheDayGivesThePrincipal) {
    Query q(*db);
    q.setText("SELECT GLV FROM KPN WHERE SFVP = (SELECT SFVP FROM SFVP WHERE SfGlvEnt = '%') "
              "AND (((prvdan < :Dan) OR ((prvdan = :Dan) AND (sfobm IN ('>', '=')))) AND "
              "((zdnDan > :Dan) OR ((zdnDan = :Dan) AND (sfobm IN ('<', '='))))) ");
    q.setDate("Dan", GetParam().day);
    q.open();
    ASSERT_EQ(q.recordCount(), 1) << "exactly one period contains the day";
    EXPECT_DOUBLE_EQ(q.asFloat("GLV"), GetParam().principal);
}

INSTANTIATE_TEST_SUITE_P(DemoSite, BondCouponPeriods,
                         ::testing::Values(CouponCase{QDate(2014, 4, 1), 1000},
                                           CouponCase{QDate(2014, 5, 14), 1000},
                                           CouponCase{QDate(2014, 5, 15), 800},
                                           CouponCase{QDate(2014, 10, 27), 800}));

TEST_F(DemoSiteData, EveryPercentTradeNamesTheCouponPeriodOfItsDay) {
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM SFVP WHERE SfGlvEnt = '%'"), 1);
    const QString percentTrades = "FROM PSL P WHERE P.SfGlvEnt = '%'";
    EXPECT_EQ(column("SELECT P.IdPsl " + percentTrades +
                     " AND NOT EXISTS (SELECT 1 FROM KPN C WHERE C.SfKpn = P.SfKpn AND "
                     "C.SFVP = P.SFVP AND ((C.prvdan < P.Dan) OR (C.prvdan = P.Dan AND "
                     "C.sfobm IN ('>', '='))) AND ((C.zdnDan > P.Dan) OR (C.zdnDan = P.Dan "
                     "AND C.sfobm IN ('<', '='))))"),
              QList<qint64>());
    EXPECT_EQ(scalar("SELECT COUNT(DISTINCT SfKpn) " + percentTrades), 2)
        << "trades before and after the partial repayment";
    EXPECT_EQ(column("SELECT IdPsl FROM PSL WHERE SfGlvEnt <> '%' AND SfKpn IS NOT NULL"),
              QList<qint64>());
}

TEST_F(DemoSiteData, VenuesCoverTheDomesticExchangeAForeignTimeZoneAndOffVenueTrading) {
    Query q(*db);
    q.setText("SELECT MIC, TimeZone, SfTRZ, SfDrzTrg FROM TRG WHERE SfTrg = 8");
    q.open();
    ASSERT_FALSE(q.eof());
    EXPECT_EQ(q.asString("MIC"), "XLJU");
    EXPECT_EQ(q.asString("TimeZone"), "+01");
    EXPECT_EQ(q.asString("SfTRZ"), "2");
    EXPECT_EQ(q.asString("SfDrzTrg"), "S");

    const QString traded = " AND EXISTS (SELECT 1 FROM PSL P WHERE P.SfTrg = T.SfTrg)";
    EXPECT_GT(scalar("SELECT COUNT(*) FROM TRG T WHERE SfDrzTrg <> 'S' AND SfTRZ = '2' AND "
                     "TimeZone <> '+01'" +
                     traded),
              0)
        << "a traded foreign venue in another time zone";
    EXPECT_GT(scalar("SELECT COUNT(*) FROM TRG T WHERE SfTRZ = '3'" + traded), 0);
    EXPECT_GT(
        scalar("SELECT COUNT(*) FROM TRG T WHERE (TimeZone IS NULL OR TimeZone = '')" + traded), 0)
        << "a traded venue without a time zone";
    EXPECT_GT(scalar("SELECT COUNT(*) FROM PSL P JOIN KTC K ON K.SFVP = P.SFVP WHERE "
                     "P.SfTrg = 8 AND K.SFTRG = 8 AND K.SfSgt = 'C'"),
              0)
        << "a trade on venue 8 in an instrument of segment C";
}

TEST_F(DemoSiteData, DerivativesWithoutIsinCarryExpiryAndStrike) {
    Query q(*db);
    q.setText("SELECT SFVP, ISIN, upper(CFI) AS CFI, ZPDVP, IZVCEN FROM SFVP WHERE "
              "PorocanjeRAPO = 'D' AND (ISIN IS NULL OR ISIN = 'N') ORDER BY SFVP");
    q.open();
    QStringList kinds;
    QStringList isins;
    for (; !q.eof(); q.next()) {
        SCOPED_TRACE(q.asInteger("SFVP"));
        const QString cfi = q.asString("CFI");
        ASSERT_EQ(cfi.size(), 6);
        kinds << cfi.left(1);
        isins << (q.isNull("ISIN") ? QStringLiteral("null") : q.asString("ISIN"));
        if (cfi.startsWith(u'O')) {
            EXPECT_TRUE(cfi[1] == u'P' || cfi[1] == u'C') << "an option is a put or a call";
        }
        EXPECT_TRUE(q.asDateTime("ZPDVP").isValid()) << "expiry";
        EXPECT_FALSE(q.isNull("IZVCEN")) << "strike, 0 when there is none";
        EXPECT_GE(q.asFloat("IZVCEN"), 0);
        EXPECT_GT(scalar("SELECT COUNT(*) FROM PSL WHERE SFVP = " + q.asString("SFVP")), 0);
    }
    EXPECT_EQ(kinds, (QStringList{"O", "F"}));
    EXPECT_EQ(isins, (QStringList{"null", "N"})) << "both ways of having no ISIN";
}

// Each trade's activity must be in the configured list of its venue's kind, or the collection
// leaves it out. Only the asset-management trade is meant to stay out.
TEST_F(DemoSiteData, TheMarketFiltersOfTheDemoConfigurationLeaveOutOnlyTheManagedTrade) {
    const Configuration c = Configuration::read(dir.path());
    Query q(*db);
    q.setText("SELECT P.IdPsl, P.SFDJV, T.SfDrzTrg, T.SfTRZ FROM PSL P JOIN TRG T ON "
              "P.SfTrg = T.SfTrg ORDER BY P.IdPsl");
    q.open();
    QList<qint64> leftOut;
    for (; !q.eof(); q.next()) {
        const bool domestic = q.asString("SfDrzTrg") == "S";
        const QString kind = q.asString("SfTRZ");
        const QString codes = kind == "2"   ? (domestic ? c.dmc2 : c.tuj2)
                              : kind == "3" ? (domestic ? c.dmc3 : c.tuj3)
                                            : QString();
        if (!codes.contains(q.asString("SFDJV")))
            leftOut << q.asInteger("IdPsl");
    }
    EXPECT_EQ(leftOut, QList<qint64>{1012});
}

TEST_F(DemoSiteData, RemoteMemberTradesAreSplitByTheirContract) {
    const QString remote = "SELECT P.IdPsl FROM PSL P JOIN POG G ON P.IdPog = G.IdPog "
                           "WHERE P.SFTYPE = 'P' AND ";
    EXPECT_EQ(column(remote + "G.REMOTECLAN IS NOT NULL AND G.REMOTECLAN <> ''"),
              QList<qint64>{1019});
    EXPECT_EQ(column(remote + "(G.REMOTECLAN IS NULL OR G.REMOTECLAN = '')"), QList<qint64>{1020});
}

// The site starts with one report sent and confirmed; the collection it came from holds the
// trades that were cancelled afterwards, which is what a cancellation needs to be reported.
TEST_F(DemoSiteData, TheSentReportHoldsTheLaterCancelledTradesAndTheSequenceGoesOn) {
    Query report(*db);
    report.setText("SELECT DPATVPID, DANOD, DANPOROCANJA, DAN, STATUS FROM DPATVP");
    report.open();
    ASSERT_EQ(report.recordCount(), 1);
    EXPECT_EQ(report.asInteger("DPATVPID"), 1);
    EXPECT_TRUE(report.asDateTime("DAN").isValid()) << "sent";
    EXPECT_EQ(report.asInteger("STATUS"), 1) << "confirmed";

    EXPECT_EQ(column("SELECT IDPSL FROM DPATVPPSL WHERE DPATVPID = 1 AND ISSTN = 'N' "
                     "ORDER BY IDPSL"),
              (QList<qint64>{1001, 1002, 1003}));
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM DPATVPPSL WHERE DPATVPID <> 1 OR ISSTN <> 'N'"), 0)
        << "nothing is pending";
    EXPECT_EQ(scalar("SELECT COUNT(DISTINCT IDREFATVP) FROM DPATVPPSL"), 3);

    // Every trade of the report lies in its period, whether still a host trade or cancelled.
    Query days(*db);
    days.setText("SELECT Dan FROM PSL WHERE IdPsl IN (SELECT IDPSL FROM DPATVPPSL) UNION ALL "
                 "SELECT DAN FROM DPATVPPSLSTN WHERE IDPSL IN (SELECT IDPSL FROM DPATVPPSL)");
    days.open();
    EXPECT_EQ(days.recordCount(), 3);
    for (days.first(); !days.eof(); days.next()) {
        EXPECT_GE(days.asDateTime("Dan"), report.asDateTime("DANOD"));
        EXPECT_LE(days.asDateTime("Dan"), report.asDateTime("DANPOROCANJA"));
    }

    const qint64 lastReference = scalar("SELECT MAX(IDREFATVP) FROM DPATVPPSL");
    EXPECT_EQ(scalar("SELECT DPATVPPSL_SEQ.NEXTVAL AS Ref FROM dual"), lastReference + 1)
        << "a new collection draws references the sent report does not use";
}

TEST_F(DemoSiteData, CancelledTradesLeftTheHostTradesWithTheirReference) {
    EXPECT_EQ(column("SELECT IdPsl FROM DPATVPPSLSTN ORDER BY IdPsl"), (QList<qint64>{1002, 1003}));
    EXPECT_EQ(column("SELECT IdPsl FROM PSL WHERE IdPsl IN (SELECT IdPsl FROM DPATVPPSLSTN)"),
              QList<qint64>());
    EXPECT_EQ(column("SELECT D.IdPsl FROM DPATVPPSLSTN D WHERE NOT EXISTS (SELECT 1 FROM "
                     "DPATVPPSL A WHERE A.IDPSL = D.IdPsl AND A.ISSTN = 'N' AND "
                     "A.IDREFATVP = D.IDREFATVP AND A.DPATVPID IN (SELECT DPATVPID FROM DPATVP))"),
              QList<qint64>())
        << "each was collected by a reported collection under the reference it carries";
    EXPECT_EQ(column("SELECT IdPsl FROM DPATVPPSLSTN WHERE IDPSLEDT IS NULL"), QList<qint64>{1002});
}

TEST_F(DemoSiteData, TheCorrectionNamesAHostTradeOfTheSameDeal) {
    Query q(*db);
    q.setText("SELECT D.IdPsl, R.IdPsl AS Replacement, R.SFVP, D.SFVP AS OldSFVP, R.IdPog,"
              " D.IdPog AS OldPog, R.IdPogTrp, D.IdPogTrp AS OldPogTrp, R.Dan, D.Dan AS OldDan,"
              " R.Lot, D.Lot AS OldLot FROM DPATVPPSLSTN D LEFT OUTER JOIN PSL R"
              " ON R.IdPsl = D.IDPSLEDT WHERE D.IDPSLEDT IS NOT NULL");
    q.open();
    ASSERT_EQ(q.recordCount(), 1);
    EXPECT_EQ(q.asInteger("IdPsl"), 1003);
    EXPECT_EQ(q.asInteger("Replacement"), 1004) << "the replacing trade is a host trade";
    EXPECT_EQ(q.asInteger("SFVP"), q.asInteger("OldSFVP"));
    EXPECT_EQ(q.asInteger("IdPog"), q.asInteger("OldPog"));
    EXPECT_EQ(q.asInteger("IdPogTrp"), q.asInteger("OldPogTrp"));
    EXPECT_EQ(q.asDateTime("Dan"), q.asDateTime("OldDan")) << "it keeps the trade day";
    EXPECT_NE(q.asFloat("Lot"), q.asFloat("OldLot")) << "what was corrected";
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM DPATVPPSL WHERE IDPSL = 1004"), 0)
        << "not collected yet";
}

} // namespace
