#include "DemoSite.h"

#include "Database.h"
#include "NextIdentity.h"
#include "Query.h"
#include "RapoError.h"
#include "Windows1250.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTime>
#include <map>
#include <optional>

namespace DemoSite {
namespace {

// Codes that rows of several tables refer to; demo/README.md lists them.
namespace Country {
constexpr int Austria = 40;
constexpr int Croatia = 191;
constexpr int Germany = 276;
constexpr int Slovenia = 705;
constexpr int UnitedStates = 840;
} // namespace Country

// The host's currency codes are one character, as its cancelled-trade copies hold them.
namespace Currency {
constexpr const char *Euro = "E";
constexpr const char *Dollar = "U";
} // namespace Currency

namespace Person {
constexpr int Firm = 2; // the reporting firm itself
constexpr int Farmadem = 10;
constexpr int RepublicOfSlovenia = 11;
constexpr int Northwind = 12;
constexpr int Eurex = 13;
constexpr int AlpineInsurance = 14;
constexpr int GorenjskaTextiles = 15;
constexpr int DemoFunds = 16;
constexpr int Novak = 20;
constexpr int AlpeFund = 21;
constexpr int DonauBank = 22;
constexpr int HvpZagreb = 23;
constexpr int KapitalBrokers = 30;
constexpr int SavaSavingsBank = 31;
} // namespace Person

namespace Venue {
constexpr int Ljubljana = 8;
constexpr int OverTheCounter = 9;
constexpr int NewYork = 30;
constexpr int Eurex = 40;
} // namespace Venue

namespace Contract {
constexpr int OwnAccount = 1;
constexpr int Novak = 2;
constexpr int AlpeFund = 3;
constexpr int DonauBank = 4;
constexpr int KapitalBrokers = 5;
constexpr int SavaSavingsBank = 6;
constexpr int HvpZagreb = 7;
} // namespace Contract

namespace Instrument {
constexpr int Farmadem = 101;
constexpr int GorenjskaTextiles = 102;
constexpr int Bond = 103;
constexpr int Northwind = 104;
constexpr int DaxOption = 105;
constexpr int DaxFuture = 106;
constexpr int AlpineInsurance = 107;
constexpr int AlpineInsuranceNewIssue = 108;
constexpr int FundUnits = 109;
} // namespace Instrument

namespace CouponPeriod {
constexpr int Bond2013 = 1;
constexpr int Bond2014 = 2;
} // namespace CouponPeriod

// Trade types and activities.
constexpr const char *Buy = "N";
constexpr const char *Sell = "P";
constexpr const char *OwnAccount = "L";
constexpr const char *ForClient = "K";
constexpr const char *AssetManagement = "U";
// The trade kind that is reported only for contracts naming a remote member.
constexpr const char *RemoteMemberKind = "P";

// The demo site's RAPO.ini. The reference prefixes are digits, since the transaction
// reference must be 12 digits and the instrument code 10. Every activity code of the demo
// trades but "U" passes the market filters.
const char *const configurationText =
    R"(; RAPO settings of the demo site. This file is in the Windows-1250 code page.
[GnuPG]
; Folder of gpg; empty: the gpg found on the search path.
Path=
User=
PassPhrase=

[Splošno]
Tip=ORACLE // ORACLE ali DB2
TipPosla=
Posli_VEK_Prefiks=1
VP_VEK_Prefiks=1
Posli_Import_Prefiks=2
XMLPath_Server=
SIGPath_Server=
ATVP_Uporabnik=ATVP-NTRS
Sf_Trga_Porocevalca=8 // Ljubljanska borza
MatStev=
FiksniTimeZoneZaTrg=
Debug=1
PDF_Path=
PDF_Server=
PDF_SIGServer=

[Trzisce]
DMC_2=LK
DMC_3=LK
Tuj_2=LK
Tuj_3=LK

[SegmentTrg]
MIC_LJSE_C=XLJM
)";

QString text(const char *value) {
    return QString::fromUtf8(value);
}

void setText(Query &q, const QString &name, const char *value) {
    if (value)
        q.setString(name, text(value));
    else
        q.setNull(name);
}

// 0 stands for "none" in the tables below, as no code or identity of the demo is 0.
void setCode(Query &q, const QString &name, qint64 value) {
    if (value != 0)
        q.setInteger(name, value);
    else
        q.setNull(name);
}

void setNumber(Query &q, const QString &name, std::optional<double> value) {
    if (value)
        q.setNumber(name, *value);
    else
        q.setNull(name);
}

// "INSERT INTO table (a, b) VALUES (:a, :b)": the parameters are named after the columns.
void prepareInsert(Query &q, const QString &table, const QStringList &columns) {
    q.setText(QStringLiteral("INSERT INTO ") + table + QStringLiteral(" (") +
              columns.join(QStringLiteral(", ")) + QStringLiteral(") VALUES (:") +
              columns.join(QStringLiteral(", :")) + u')');
}

void insertCountriesCurrenciesAndClasses(Database &db) {
    const std::pair<int, const char *> countries[] = {
        {Country::Austria, "AT"},  {Country::Croatia, "HR"},      {Country::Germany, "DE"},
        {Country::Slovenia, "SI"}, {Country::UnitedStates, "US"},
    };
    Query q(db);
    prepareInsert(q, QStringLiteral("DRZ"), {"SfDrz", "ISOKODA"});
    for (const auto &[code, iso] : countries) {
        q.setInteger("SfDrz", code);
        q.setString("ISOKODA", text(iso));
        q.exec();
    }

    const std::pair<const char *, const char *> currencies[] = {
        {Currency::Euro, "EUR"},
        {Currency::Dollar, "USD"},
    };
    prepareInsert(q, QStringLiteral("VLT"), {"SfVlt", "KRT"});
    for (const auto &[code, iso] : currencies) {
        q.setString("SfVlt", text(code));
        q.setString("KRT", text(iso));
        q.exec();
    }

    // Shares, bonds, options, futures, fund units.
    prepareInsert(q, QStringLiteral("FIN"), {"SFFIN"});
    for (const char *instrumentClass : {"DEL", "OBV", "OPC", "TER", "INV"}) {
        q.setString("SFFIN", text(instrumentClass));
        q.exec();
    }
}

void insertPersons(Database &db) {
    struct Row {
        int sfOsb;
        const char *name;
        const char *registrationNumber;
        const char *bic;
        const char *bankCode;
        int country;
    };
    // clang-format off
    const Row rows[] = {
        {Person::Firm, "Borznoposredniška hiša Demo d.d.", "5842735000", "DEMOSI22", "BPHD", Country::Slovenia},
        {Person::Farmadem, "Farmadem d.d.", "5034621000", nullptr, nullptr, Country::Slovenia},
        {Person::RepublicOfSlovenia, "Republika Slovenija", "1535188000", nullptr, nullptr, Country::Slovenia},
        {Person::Northwind, "Northwind Holdings Inc.", nullptr, nullptr, nullptr, Country::UnitedStates},
        {Person::Eurex, "Eurex Frankfurt AG", nullptr, nullptr, nullptr, Country::Germany},
        {Person::AlpineInsurance, "Alpska zavarovalnica d.d.", "5063247000", nullptr, nullptr, Country::Slovenia},
        {Person::GorenjskaTextiles, "Gorenjska tekstilna d.d.", "5117488000", nullptr, nullptr, Country::Slovenia},
        {Person::DemoFunds, "Demo skladi d.o.o.", "1947620000", nullptr, nullptr, Country::Slovenia},
        {Person::Novak, "Janez Novak", nullptr, nullptr, "NOVAK01", Country::Slovenia},
        {Person::AlpeFund, "Vzajemni sklad Alpe", "8120391000", "ALPFSI22", "ALPF", Country::Slovenia},
        {Person::DonauBank, "Donau Privatbank AG", nullptr, "DONBATWWSEC", "DONB", Country::Austria},
        {Person::HvpZagreb, "HVP vrijednosni papiri d.d.", nullptr, "HVPDHR22", "HVPD", Country::Croatia},
        {Person::KapitalBrokers, "Kapital Brokers d.o.o.", "6289114000", "KAPBSI22", "KAPB", Country::Slovenia},
        {Person::SavaSavingsBank, "Hranilnica Sava d.d.", "5796845000", nullptr, "HSAVA", Country::Slovenia},
    };
    // clang-format on
    Query q(db);
    prepareInsert(q, QStringLiteral("OSB"), {"SfOsb", "NZV", "MTS", "SWIFT", "KRTBNK", "SfDRZ"});
    for (const Row &r : rows) {
        q.setInteger("SfOsb", r.sfOsb);
        setText(q, "NZV", r.name);
        setText(q, "MTS", r.registrationNumber);
        setText(q, "SWIFT", r.bic);
        setText(q, "KRTBNK", r.bankCode);
        q.setInteger("SfDRZ", r.country);
        q.exec();
    }
}

void insertVenues(Database &db) {
    struct Row {
        int sfTrg;
        const char *mic;
        const char *timeZone; // null: "+01"
        const char *marketKind;
        const char *domestic;
    };
    const Row rows[] = {
        {Venue::Ljubljana, "XLJU", "+01", "2", "S"},
        {Venue::OverTheCounter, nullptr, nullptr, "3", "S"},
        {Venue::NewYork, "XNYS", "-05", "2", "T"},
        {Venue::Eurex, "XEUR", "+01", "2", "T"},
    };
    Query q(db);
    prepareInsert(q, QStringLiteral("TRG"), {"SfTrg", "MIC", "TimeZone", "SfTRZ", "SfDrzTrg"});
    for (const Row &r : rows) {
        q.setInteger("SfTrg", r.sfTrg);
        setText(q, "MIC", r.mic);
        setText(q, "TimeZone", r.timeZone);
        setText(q, "SfTRZ", r.marketKind);
        setText(q, "SfDrzTrg", r.domestic);
        q.exec();
    }
}

void insertContracts(Database &db) {
    struct Row {
        int idPog;
        int sfOsb;
        const char *name;
        const char *depositoryAccount;
        const char *remoteMember;
    };
    // clang-format off
    const Row rows[] = {
        {Contract::OwnAccount, Person::Firm, "Lastni račun – trgovanje", "0100001", nullptr},
        {Contract::Novak, Person::Novak, "Novak Janez – borzno posredovanje", "0200452", nullptr},
        {Contract::AlpeFund, Person::AlpeFund, "Vzajemni sklad Alpe – skrbniški račun", "0200718", nullptr},
        {Contract::DonauBank, Person::DonauBank, "Donau Privatbank AG – skrbniški račun", "0300029", nullptr},
        {Contract::KapitalBrokers, Person::KapitalBrokers, "Kapital Brokers d.o.o.", "0400011", nullptr},
        {Contract::SavaSavingsBank, Person::SavaSavingsBank, "Hranilnica Sava d.d.", "0400023", nullptr},
        {Contract::HvpZagreb, Person::HvpZagreb, "HVP d.d. – oddaljeni član", "0300077", "HVPD"},
    };
    // clang-format on
    Query q(db);
    prepareInsert(q, QStringLiteral("POG"), {"IdPog", "SfOsb", "NZV", "KRTKDD", "REMOTECLAN"});
    for (const Row &r : rows) {
        q.setInteger("IdPog", r.idPog);
        q.setInteger("SfOsb", r.sfOsb);
        setText(q, "NZV", r.name);
        setText(q, "KRTKDD", r.depositoryAccount);
        setText(q, "REMOTECLAN", r.remoteMember);
        q.exec();
    }
}

void insertInstruments(Database &db) {
    struct Row {
        int sfvp;
        const char *isin;
        const char *shortName;
        const char *name;
        const char *cfi;
        std::optional<double> strike;
        QDate expiry;
        const char *priceUnit;
        const char *reported;
        QDate changed;
        std::optional<double> nominal;
        const char *nominalCurrency;
        std::optional<double> issued;
        int issuer;
        const char *instrumentClass;
        const char *countedInPieces;
    };
    const QDate dax2014June(2014, 6, 20);
    // clang-format off
    const Row rows[] = {
        {Instrument::Farmadem, "SI0031110198", "DEMF", "FARMADEM d.d., redne delnice", "ESVUFR",
         {}, {}, "K", "D", QDate(2014, 2, 14), {}, Currency::Euro, 3500000, Person::Farmadem, "DEL", "D"},
        {Instrument::GorenjskaTextiles, "SI0031122748", "GTKS", "GORENJSKA TEKSTILNA d.d., redne delnice", "ESVUFR",
         {}, {}, "K", "D", QDate(2013, 11, 5), {}, Currency::Euro, 820000, Person::GorenjskaTextiles, "DEL", "D"},
        {Instrument::Bond, "SI0002103883", "RS88", "Obveznica Republike Slovenije RS88, 4,125 % 2009-2019", "DBFUFR",
         {}, QDate(2019, 5, 15), "%", "D", QDate(2014, 1, 10), 1000, Currency::Euro, 1500000, Person::RepublicOfSlovenia, "OBV", "N"},
        {Instrument::Northwind, "US66987V1098", "NWH", "NORTHWIND HOLDINGS INC. COMMON STOCK", "ESVUFR",
         {}, {}, "K", "D", QDate(2014, 3, 3), 0.01, Currency::Dollar, 250000000, Person::Northwind, "DEL", "N"},
        {Instrument::DaxOption, nullptr, "ODAX06C9600", "Opcija DAX nakupna 9600 junij 2014", "OCEICS",
         9600, dax2014June, "K", "D", QDate(2013, 9, 23), {}, Currency::Euro, {}, Person::Eurex, "OPC", "N"},
        {Instrument::DaxFuture, "N", "FDAX0614", "Terminska pogodba DAX junij 2014", "FFICSX",
         0, dax2014June, "K", "D", QDate(2013, 9, 23), {}, Currency::Euro, {}, Person::Eurex, "TER", "N"},
        {Instrument::AlpineInsurance, "SI0031128356", "ZAVR", "ALPSKA ZAVAROVALNICA d.d., redne delnice", "ESVUFR",
         {}, {}, "K", "D", QDate(2013, 9, 30), {}, Currency::Euro, 5000000, Person::AlpineInsurance, "DEL", "D"},
        {Instrument::AlpineInsuranceNewIssue, "SI0031128356", "ZAVN", "ALPSKA ZAVAROVALNICA d.d., delnice nove izdaje", "ESVUFR",
         {}, {}, "K", "D", QDate(2014, 2, 28), {}, Currency::Euro, 1000000, Person::AlpineInsurance, "DEL", "D"},
        {Instrument::FundUnits, "SI0021400229", "VSDD", "Vzajemni sklad Demo delniški", "EUOGSR",
         {}, {}, "K", "N", QDate(2013, 6, 1), {}, Currency::Euro, {}, Person::DemoFunds, "INV", "N"},
    };
    // clang-format on
    Query q(db);
    prepareInsert(q, QStringLiteral("SFVP"),
                  {"SFVP", "ISIN", "KRT", "NZV", "CFI", "IZVCEN", "ZPDVP", "SfGlvEnt",
                   "PorocanjeRAPO", "DANSPR", "GLVNMN", "SfVLTNMN", "LOTEMS", "SFOSBIZD", "SFFIN",
                   "KOS"});
    for (const Row &r : rows) {
        q.setInteger("SFVP", r.sfvp);
        setText(q, "ISIN", r.isin);
        setText(q, "KRT", r.shortName);
        setText(q, "NZV", r.name);
        setText(q, "CFI", r.cfi);
        setNumber(q, "IZVCEN", r.strike);
        q.setDate("ZPDVP", r.expiry); // an invalid date binds as null
        setText(q, "SfGlvEnt", r.priceUnit);
        setText(q, "PorocanjeRAPO", r.reported);
        q.setDate("DANSPR", r.changed);
        setNumber(q, "GLVNMN", r.nominal);
        setText(q, "SfVLTNMN", r.nominalCurrency);
        setNumber(q, "LOTEMS", r.issued);
        q.setInteger("SFOSBIZD", r.issuer);
        setText(q, "SFFIN", r.instrumentClass);
        setText(q, "KOS", r.countedInPieces);
        q.exec();
    }
}

void insertListingsAndCouponPeriods(Database &db) {
    struct Listing {
        int sfKtc;
        int sfvp;
        int sfTrg;
        const char *segment;
        QDate listed;
    };
    // Every listing is still open (DanPrk null).
    const Listing listings[] = {
        {1, Instrument::Farmadem, Venue::Ljubljana, "P", QDate(2008, 5, 12)},
        {2, Instrument::GorenjskaTextiles, Venue::Ljubljana, "C", QDate(2012, 6, 18)},
        {3, Instrument::Bond, Venue::Ljubljana, "O", QDate(2009, 5, 18)},
        {4, Instrument::Northwind, Venue::NewYork, nullptr, QDate(2009, 11, 2)},
        {5, Instrument::DaxOption, Venue::Eurex, nullptr, QDate(2013, 9, 23)},
        {6, Instrument::DaxFuture, Venue::Eurex, nullptr, QDate(2013, 9, 23)},
        {7, Instrument::AlpineInsurance, Venue::Ljubljana, "S", QDate(2011, 3, 1)},
        {8, Instrument::AlpineInsuranceNewIssue, Venue::Ljubljana, "S", QDate(2014, 3, 10)},
        {9, Instrument::FundUnits, Venue::OverTheCounter, nullptr, QDate(2007, 1, 15)},
    };
    Query q(db);
    prepareInsert(q, QStringLiteral("KTC"), {"SFKTC", "SFVP", "SFTRG", "DanPrk", "SfSgt", "Dan"});
    for (const Listing &l : listings) {
        q.setInteger("SFKTC", l.sfKtc);
        q.setInteger("SFVP", l.sfvp);
        q.setInteger("SFTRG", l.sfTrg);
        q.setNull("DanPrk");
        setText(q, "SfSgt", l.segment);
        q.setDate("Dan", l.listed);
        q.exec();
    }

    // The bond repays a fifth of its principal on 15.05.2014: 1000 per unit before, 800 after.
    // ">": the first day belongs to the period, the last one to the next period.
    struct Period {
        int sfKpn;
        int sfvp;
        double principal;
        QDate first;
        QDate last;
        const char *ends;
    };
    const Period periods[] = {
        {CouponPeriod::Bond2013, Instrument::Bond, 1000, QDate(2013, 5, 15), QDate(2014, 5, 15),
         ">"},
        {CouponPeriod::Bond2014, Instrument::Bond, 800, QDate(2014, 5, 15), QDate(2015, 5, 15),
         ">"},
    };
    prepareInsert(q, QStringLiteral("KPN"), {"SfKpn", "SFVP", "GLV", "prvdan", "zdnDan", "sfobm"});
    for (const Period &p : periods) {
        q.setInteger("SfKpn", p.sfKpn);
        q.setInteger("SFVP", p.sfvp);
        q.setNumber("GLV", p.principal);
        q.setDate("prvdan", p.first);
        q.setDate("zdnDan", p.last);
        setText(q, "sfobm", p.ends);
        q.exec();
    }
}

void insertTrades(Database &db) {
    struct Trade {
        int idPsl;
        QDate day;
        QTime time; // local time at the venue
        const char *type;
        const char *activity;
        double price;
        double quantity;
        int opposite; // IdPslTrp: the crossed trade, or minus this trade's own id
        int contract;
        int counterpartyContract;
        int venue;
        int instrument;
        const char *currency;
        int couponPeriod;
        const char *kind;
    };
    const QDate mar27(2014, 3, 27); // the day of the report already sent
    const QDate mar28(2014, 3, 28); // Friday before summer time
    const QDate mar31(2014, 3, 31); // Monday after the switch on Sunday 30.03.2014
    const QDate apr1(2014, 4, 1);
    const QDate apr2(2014, 4, 2);
    const QDate oct24(2014, 10, 24); // Friday before the switch back on Sunday 26.10.2014
    const QDate oct26(2014, 10, 26);
    const QDate oct27(2014, 10, 27);
    namespace C = Contract;
    namespace I = Instrument;
    namespace V = Venue;
    const char *const eur = Currency::Euro;
    const char *const usd = Currency::Dollar;
    // clang-format off
    const Trade trades[] = {
        // Reported in the sent report; 1002 is cancelled and 1003 replaced by 1004 afterwards.
        {1001, mar27, QTime(10, 5, 11),  Buy,  ForClient,  42.30,  100, 0, C::Novak, 0, V::Ljubljana, I::Farmadem, eur, 0, nullptr},
        {1002, mar27, QTime(12, 2, 18),  Buy,  OwnAccount, 42.00,  200, 0, C::OwnAccount, 0, V::Ljubljana, I::Farmadem, eur, 0, nullptr},
        {1003, mar27, QTime(14, 20, 0),  Buy,  ForClient,  7.90,   500, 0, C::AlpeFund, C::KapitalBrokers, V::OverTheCounter, I::GorenjskaTextiles, eur, 0, nullptr},
        {1004, mar27, QTime(14, 20, 0),  Buy,  ForClient,  7.90,   50,  0, C::AlpeFund, C::KapitalBrokers, V::OverTheCounter, I::GorenjskaTextiles, eur, 0, nullptr},

        {1005, mar28, QTime(10, 12, 31), Buy,  ForClient,  42.50,  120, 0, C::Novak, 0, V::Ljubljana, I::Farmadem, eur, 0, nullptr},
        {1006, mar28, QTime(10, 47, 5),  Sell, OwnAccount, 7.80,   500, 0, C::OwnAccount, 0, V::Ljubljana, I::GorenjskaTextiles, eur, 0, nullptr},
        {1007, mar28, QTime(15, 31, 44), Buy,  ForClient,  38.20,  300, 0, C::DonauBank, 0, V::NewYork, I::Northwind, usd, 0, nullptr},
        {1008, mar28, QTime(11, 5, 0),   Buy,  ForClient,  12.37,  50,  0, C::Novak, 0, V::OverTheCounter, I::FundUnits, eur, 0, nullptr},

        {1009, mar31, QTime(9, 58, 12),  Buy,  ForClient,  43.10,  1000, 0, C::AlpeFund, 0, V::Ljubljana, I::Farmadem, eur, 0, nullptr},
        {1010, mar31, QTime(11, 20, 40), Sell, OwnAccount, 101.25, 40, 0, C::OwnAccount, 0, V::Ljubljana, I::Bond, eur, CouponPeriod::Bond2013, nullptr},
        {1011, mar31, QTime(10, 2, 55),  Sell, ForClient,  39.05,  150, 0, C::DonauBank, 0, V::NewYork, I::Northwind, usd, 0, nullptr},
        {1012, mar31, QTime(12, 15, 3),  Buy,  AssetManagement, 43.00, 300, 0, C::Novak, 0, V::Ljubljana, I::Farmadem, eur, 0, nullptr},

        // Crossed inside the firm over the counter: client with client, then own account with client.
        {1013, apr1, QTime(10, 5, 0),    Sell, ForClient,  7.95,   250, 1014,  C::Novak, C::AlpeFund, V::OverTheCounter, I::GorenjskaTextiles, eur, 0, nullptr},
        {1014, apr1, QTime(10, 5, 0),    Buy,  ForClient,  7.95,   250, -1014, C::AlpeFund, C::Novak, V::OverTheCounter, I::GorenjskaTextiles, eur, 0, nullptr},
        {1015, apr1, QTime(11, 30, 0),   Sell, OwnAccount, 101.40, 20, 1016,  C::OwnAccount, C::DonauBank, V::OverTheCounter, I::Bond, eur, CouponPeriod::Bond2013, nullptr},
        {1016, apr1, QTime(11, 30, 0),   Buy,  ForClient,  101.40, 20, -1016, C::DonauBank, C::OwnAccount, V::OverTheCounter, I::Bond, eur, CouponPeriod::Bond2013, nullptr},
        // Over the counter with an outside party, with and without a BIC.
        {1017, apr1, QTime(12, 10, 0),   Buy,  OwnAccount, 101.30, 30, 0, C::OwnAccount, C::KapitalBrokers, V::OverTheCounter, I::Bond, eur, CouponPeriod::Bond2013, nullptr},
        {1018, apr1, QTime(13, 45, 0),   Sell, ForClient,  43.00,  80, 0, C::Novak, C::SavaSavingsBank, V::OverTheCounter, I::Farmadem, eur, 0, nullptr},
        // Remote-member kind: reported for the contract naming a remote member only.
        {1019, apr1, QTime(10, 31, 27),  Buy,  ForClient,  43.40,  400, 0, C::HvpZagreb, 0, V::Ljubljana, I::Farmadem, eur, 0, RemoteMemberKind},
        {1020, apr1, QTime(11, 2, 10),   Sell, ForClient,  43.45,  100, 0, C::Novak, 0, V::Ljubljana, I::Farmadem, eur, 0, RemoteMemberKind},
        {1021, apr1, QTime(14, 48, 9),   Buy,  ForClient,  185.30, 10, 0, C::DonauBank, 0, V::Eurex, I::DaxOption, eur, 0, nullptr},
        {1022, apr1, QTime(15, 12, 37),  Sell, OwnAccount, 9580.50, 2, 0, C::OwnAccount, 0, V::Eurex, I::DaxFuture, eur, 0, nullptr},

        // The two host instruments of one ISIN.
        {1023, apr2, QTime(10, 22, 14),  Buy,  ForClient,  18.40,  60, 0, C::AlpeFund, 0, V::Ljubljana, I::AlpineInsurance, eur, 0, nullptr},
        {1024, apr2, QTime(11, 40, 51),  Sell, ForClient,  18.35,  25, 0, C::Novak, 0, V::Ljubljana, I::AlpineInsuranceNewIssue, eur, 0, nullptr},
        {1025, apr2, QTime(12, 5, 33),   Buy,  OwnAccount, 43.60,  150, 0, C::OwnAccount, 0, V::Ljubljana, I::Farmadem, eur, 0, nullptr},

        {1026, oct24, QTime(10, 15, 48), Buy,  ForClient,  45.20,  200, 0, C::Novak, 0, V::Ljubljana, I::Farmadem, eur, 0, nullptr},
        {1027, oct24, QTime(11, 27, 2),  Sell, ForClient,  41.75,  100, 0, C::DonauBank, 0, V::NewYork, I::Northwind, usd, 0, nullptr},
        {1028, oct26, QTime(18, 30, 0),  Sell, ForClient,  8.05,   100, 0, C::AlpeFund, C::KapitalBrokers, V::OverTheCounter, I::GorenjskaTextiles, eur, 0, nullptr},
        {1029, oct27, QTime(10, 44, 19), Buy,  OwnAccount, 102.10, 10, 0, C::OwnAccount, 0, V::Ljubljana, I::Bond, eur, CouponPeriod::Bond2014, nullptr},
        {1030, oct27, QTime(9, 45, 30),  Buy,  ForClient,  42.10,  50, 0, C::DonauBank, 0, V::NewYork, I::Northwind, usd, 0, nullptr},
    };
    // clang-format on
    // The price unit is the instrument's, as the host copies it into every trade.
    Query q(db);
    q.setText(QStringLiteral(
        "INSERT INTO PSL (IdPsl, Dan, CAS, SfPsl, SFDJV, GlvTcj, SfGlvEnt, Lot, IdPslTrp, IdPog, "
        "IdPogTrp, SfTrg, SFVP, SfVlt, SfKpn, SFTYPE) VALUES (:IdPsl, :Dan, :CAS, :SfPsl, :SFDJV, "
        ":GlvTcj, (SELECT SfGlvEnt FROM SFVP WHERE SFVP = :SFVP), :Lot, :IdPslTrp, :IdPog, "
        ":IdPogTrp, :SfTrg, :SFVP, :SfVlt, :SfKpn, :SFTYPE)"));
    for (const Trade &t : trades) {
        q.setInteger("IdPsl", t.idPsl);
        q.setDate("Dan", t.day);
        q.setDateTime("CAS", QDateTime(t.day, t.time));
        setText(q, "SfPsl", t.type);
        setText(q, "SFDJV", t.activity);
        q.setNumber("GlvTcj", t.price);
        q.setNumber("Lot", t.quantity);
        setCode(q, "IdPslTrp", t.opposite);
        q.setInteger("IdPog", t.contract);
        setCode(q, "IdPogTrp", t.counterpartyContract);
        q.setInteger("SfTrg", t.venue);
        q.setInteger("SFVP", t.instrument);
        setText(q, "SfVlt", t.currency);
        setCode(q, "SfKpn", t.couponPeriod);
        setText(q, "SFTYPE", t.kind);
        q.exec();
    }
}

// A cancellation is reported only for a trade that an earlier collection holds, and a trade
// cannot hold a transaction and its cancellation in one collection. So the demo starts with
// one report sent and confirmed: collection 1, the trades of 27.03.2014 that were in the host
// then, with reference numbers drawn from the sequence as a collection draws them.
void recordSentReport(Database &db) {
    constexpr int collection = 1;
    const QDate day(2014, 3, 27);
    Query q(db);
    prepareInsert(q, QStringLiteral("DPATVP"),
                  {"DPATVPID", "DANPOROCANJA", "DAN", "ZAPST", "XML_FILE", "STATUS", "DANOD"});
    q.setInteger("DPATVPID", collection);
    q.setDateTime("DANPOROCANJA", QDateTime(day, QTime(0, 0)));
    q.setDateTime("DAN", QDateTime(day, QTime(17, 5, 12)));
    q.setInteger("ZAPST", 1);
    q.setString("XML_FILE", QStringLiteral("TRDAT01_5842735000_0001_14.xml"));
    q.setInteger("STATUS", 1); // confirmed
    q.setDateTime("DANOD", QDateTime(day, QTime(0, 0)));
    q.exec();

    // 1004, the replacement of 1003, was entered after the report was sent.
    const int reportedTrades[] = {1001, 1002, 1003};
    q.setText(QStringLiteral("INSERT INTO DPATVPPSL (DPATVPID, IDPSL, ISSTN, IDREFATVP) "
                             "SELECT :DPATVPID, :IDPSL, 'N', DPATVPPSL_SEQ.NEXTVAL FROM dual"));
    q.setInteger("DPATVPID", collection);
    for (const int idPsl : reportedTrades) {
        q.setInteger("IDPSL", idPsl);
        q.exec();
    }
}

// The host cancels a trade by moving it to DPATVPPSLSTN with its reference number; the copy
// of a corrected trade names the trade that replaced it.
void cancelTrades(Database &db) {
    struct Cancellation {
        int idPsl;
        int replacedBy;
    };
    const Cancellation cancellations[] = {{1002, 0}, {1003, 1004}};
    Query copy(db);
    copy.setText(QStringLiteral(
        "INSERT INTO DPATVPPSLSTN (IDPSL, IDPSLTRP, IDPOG, IDPOGTRP, SFVP, SFTRG, SFVLT, SFKPN, "
        "DAN, CAS, SFPSL, SFDJV, GLVTCJ, SFGLVENT, LOT, SFTYPE, IDREFATVP, IDPSLEDT) SELECT "
        "IdPsl, IdPslTrp, IdPog, IdPogTrp, SFVP, SfTrg, SfVlt, SfKpn, Dan, CAS, SfPsl, SFDJV, "
        "GlvTcj, SfGlvEnt, Lot, SFTYPE, (SELECT IDREFATVP FROM DPATVPPSL A WHERE A.IDPSL = "
        "P.IdPsl AND A.ISSTN = 'N'), :IDPSLEDT FROM PSL P WHERE IdPsl = :IdPsl"));
    Query remove(db);
    remove.setText(QStringLiteral("DELETE FROM PSL WHERE IdPsl = :IdPsl"));
    for (const Cancellation &c : cancellations) {
        copy.setInteger("IdPsl", c.idPsl);
        setCode(copy, "IDPSLEDT", c.replacedBy);
        remove.setInteger("IdPsl", c.idPsl);
        if (copy.exec() != 1 || remove.exec() != 1)
            throw RapoError(QStringLiteral("Demo: posla ") + QString::number(c.idPsl) +
                            QStringLiteral(" ni med posli."));
    }
}

// EMIR reports of 2014: February's, written and then cancelled, with its cancellation report;
// March's with three disputes, one still open, not written yet.
void insertEmirReports(Database &db) {
    struct Report {
        int zapSt;
        QDate from;
        QDate to;
        int unconfirmed;
        QDate reportDay;
        QDateTime written;
        QDateTime cancelled;
        int cancels; // the ZapSt of the report it cancels; 0 for none
    };
    const Report reports[] = {
        {1, QDate(2014, 2, 1), QDate(2014, 2, 28), 2, QDate(2014, 3, 5),
         QDateTime(QDate(2014, 3, 5), QTime(14, 20)), QDateTime(QDate(2014, 3, 12), QTime(10, 15)),
         0},
        {2, QDate(2014, 2, 1), QDate(2014, 2, 28), 0, QDate(2014, 3, 5), {}, {}, 1},
        {3, QDate(2014, 3, 1), QDate(2014, 3, 31), 4, QDate(2014, 4, 3), {}, {}, 0},
    };
    std::map<int, qint64> idOf;
    Query q(db);
    prepareInsert(q, QStringLiteral("EMIRPOROCILO"),
                  {"EMIRPorociloId", "ZapSt", "DanOd", "DanDo", "StNepotrjenih", "DanPorocila",
                   "DanCasKreiranja", "Preklicano", "DanCasPreklica", "EMIRPorociloStnId"});
    for (const Report &r : reports) {
        const qint64 id =
            nextIdentity(db, QStringLiteral("EMIRPOROCILO"), QStringLiteral("ID"), false);
        idOf[r.zapSt] = id;
        q.setInteger("EMIRPorociloId", id);
        q.setInteger("ZapSt", r.zapSt);
        q.setDate("DanOd", r.from);
        q.setDate("DanDo", r.to);
        q.setInteger("StNepotrjenih", r.unconfirmed);
        q.setDate("DanPorocila", r.reportDay);
        q.setDateTime("DanCasKreiranja", r.written); // invalid: null
        q.setString("Preklicano",
                    r.cancelled.isValid() ? QStringLiteral("D") : QStringLiteral("N"));
        q.setDateTime("DanCasPreklica", r.cancelled);
        setCode(q, "EMIRPorociloStnId", r.cancels != 0 ? idOf.at(r.cancels) : 0);
        q.exec();
    }

    struct Dispute {
        const char *counterparty;
        QDate start;
        QDate end;
        double amount;
        const char *remark;
    };
    const Dispute disputes[] = {
        {"Kapital Brokers d.o.o.", QDate(2014, 3, 12), QDate(2014, 3, 25), 15400.00,
         "Razlika v ceni posla"},
        {"Donau Privatbank AG", QDate(2014, 3, 20), {}, 48250.50, "Neujemanje količine"},
        {"Hranilnica Sava d.d.", QDate(2014, 3, 27), QDate(2014, 3, 31), -1200.40, nullptr},
    };
    prepareInsert(q, QStringLiteral("EMIRPOSEL"),
                  {"EMIRPoselId", "Stranka", "NasStranka", "DatZacetka", "DatZakljucka", "Vrednost",
                   "Opombe", "EMIRPorociloId"});
    for (const Dispute &d : disputes) {
        q.setInteger("EMIRPoselId",
                     nextIdentity(db, QStringLiteral("EMIRPOSEL"), QStringLiteral("ID"), false));
        q.setString("Stranka", QStringLiteral("Borznoposredniška hiša Demo d.d."));
        q.setString("NasStranka", text(d.counterparty));
        q.setDate("DatZacetka", d.start);
        q.setDate("DatZakljucka", d.end);
        q.setNumber("Vrednost", d.amount);
        setText(q, "Opombe", d.remark);
        q.setInteger("EMIRPorociloId", idOf.at(3));
        q.exec();
    }
}

// The host's rows, and the one report the site sent before.
void insertDemoData(Database &db) {
    insertCountriesCurrenciesAndClasses(db);
    insertPersons(db);
    insertVenues(db);
    insertContracts(db);
    insertInstruments(db);
    insertListingsAndCouponPeriods(db);
    insertTrades(db);
    recordSentReport(db);
    cancelTrades(db);
    insertEmirReports(db);
}

// Writes RAPO.ini unless the directory already has one: a site's own settings win.
void writeConfiguration(const QString &programDirectory) {
    const QString path = programDirectory + QStringLiteral("RAPO.ini");
    if (QFileInfo::exists(path))
        return;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        throw RapoError(QStringLiteral("Datoteke ") + path +
                        QStringLiteral(" ni mogoče zapisati!\r") + file.errorString());
    const QString content = text(configurationText).replace(u'\n', QStringLiteral("\r\n"));
    const QByteArray bytes = Windows1250::encode(content);
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.remove();
        throw RapoError(QStringLiteral("Datoteke ") + path +
                        QStringLiteral(" ni mogoče zapisati!\r") + reason);
    }
}

} // namespace

void create(const QString &alias, const QString &programDirectory) {
    // The demo rows must never land in a host database that happens to share the alias.
    if (Database::odbcDataSourceExists(alias))
        throw RapoError(QStringLiteral("Podatkovni vir ODBC ") + alias +
                        QStringLiteral(" obstaja; demo baze s tem imenom ni mogoče ustvariti."));
    Database::createEmbedded(alias, programDirectory);
    try {
        Database db(alias, {}, {}, programDirectory);
        db.inTransaction([&] { insertDemoData(db); });
    } catch (...) {
        // A half-made demo would stop the next attempt with "already exists".
        QFile::remove(Database(alias, {}, {}, programDirectory).embeddedPath());
        throw;
    }
    writeConfiguration(programDirectory);
}

} // namespace DemoSite
