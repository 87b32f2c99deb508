#include "CollectionExport.h"
#include "CollectionRun.h"
#include "Configuration.h"
#include "DataImport.h"
#include "Database.h"
#include "DemoSite.h"
#include "FakeClock.h"
#include "Query.h"
#include "RunState.h"
#include "ScriptedPrompter.h"
#include "Session.h"
#include "SessionFixture.h"
#include "SheetReader.h"
#include "TempProgramDirectory.h"
#include "TradeImport.h"
#include "WorkingSet.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {
struct DemoExport {
    DemoExport() {
        DemoSite::create("DEMO", dir.path());
        configuration = Configuration::read(dir.path());
        db = std::make_unique<Database>("DEMO", "demo", "demo", dir.path());
        session = std::make_unique<Session>(*db, configuration, "DEMO", dir.path(), prompter, clock,
                                            waiter);
        workingSet = std::make_unique<WorkingSet>(*session);
    }
    void collect(const QDate &from, const QDate &to) {
        const auto run = CollectionRun::run(*session, *workingSet, state, from, to);
        ASSERT_EQ(run.ending, CollectionRun::Ending::Loaded);
    }
    // The workbook's rows as the import framework reads them, heading included.
    QList<QStringList> readBack(const QString &file) {
        DataImport import(prompter);
        for (int c = 0; c < 19; ++c)
            import.structure().add(DataImport::columnLetters(c + 1), c);
        import.fileName = file;
        import.load();
        QList<QStringList> rows;
        for (int i = 0; i < import.count(); ++i)
            rows << import.item(i).values();
        return rows;
    }

    TempProgramDirectory dir;
    Configuration configuration;
    std::unique_ptr<Database> db;
    ScriptedPrompter prompter;
    FakeClock clock{QDateTime(QDate(2014, 4, 2), QTime(17, 0))};
    FakeWaiter waiter{clock};
    RunState state;
    std::unique_ptr<Session> session;
    std::unique_ptr<WorkingSet> workingSet;
};
} // namespace

// The demo's collection of 27.03 to 31.03.2014 written to a workbook and read back through the
// import framework: every cell by the column rules (market and off-market venues, BIC and
// internal clients, own account, cancellations, the time zone kept as text).
TEST(CollectionExport, WorkbookHoldsEveryTradeByTheColumnRules) {
    DemoExport demo;
    demo.collect(QDate(2014, 3, 27), QDate(2014, 3, 31));
    QString opened;
    demo.prompter.fileNames = {demo.dir.file("izvoz")};
    CollectionExport::run(*demo.session, &demo.workingSet->qDPATVPPSL,
                          [&](const QString &file) { opened = file; });
    EXPECT_EQ(opened, demo.dir.file("izvoz.xlsx"));
    QStringList rows;
    for (const QStringList &r : demo.readBack(opened))
        rows << r.join('|');
    EXPECT_EQ(
        rows,
        (QStringList{
            "Datum transakcije|Čas transakcije|Časovni pas|Indikator nakupa/prodaje|Trgovalna "
            "zmogljivost|Identifikacija instrumenta ISIN|Kratica VP|Cena enote|Zapis cene|Valuta|"
            "Količina|Nasprotna stranka|Oznaka nasprotne stranke|Klient|Oznaka "
            "klienta|Identifikacija "
            "mesta|Oznaka ident. mesta|Razveljavitvena zastavica|Referenčna št. transakcije",
            "28.03.2014|15:31:44|-05|B|A|US66987V1098|NWH|38,2|C|USD|300|XNYS|MIC|DONBATWWSEC|BIC|"
            "XNYS|MIC||100000001007",
            "31.03.2014|10:02:55|-04|S|A|US66987V1098|NWH|39,05|C|USD|150|XNYS|MIC|DONBATWWSEC|BIC|"
            "XNYS|MIC||100000001011",
            "28.03.2014|10:47:05|+01|S|P|SI0031122748|GTKS|7,8|C|EUR|500|XLJM|MIC|||XLJM|MIC||"
            "100000001006",
            "31.03.2014|11:20:40|+02|S|P|SI0002103883|RS88|101,25|P|EUR|40|XLJU|MIC|||XLJU|MIC||"
            "100000001010",
            "28.03.2014|10:12:31|+01|B|A|SI0031110198|DEMF|42,5|C|EUR|120|XLJU|MIC|000NOVAK01|"
            "Internal|"
            "XLJU|MIC||100000001005",
            "31.03.2014|09:58:12|+02|B|A|SI0031110198|DEMF|43,1|C|EUR|1000|XLJU|MIC|ALPFSI22XXX|"
            "BIC|"
            "XLJU|MIC||100000001009",
            "27.03.2014|14:20:00|+01|B|A|SI0031122748|GTKS|7,9|C|EUR|50|KAPBSI22|BIC|ALPFSI22XXX|"
            "BIC|"
            "OTC|XOFF||100000001004",
            "27.03.2014|12:02:18|+01|B|P|SI0031110198|DEMF|42|C|EUR|200|XLJU|MIC|||XLJU|MIC|C|"
            "100000001002",
            "27.03.2014|14:20:00|+01|B|A|SI0031122748|GTKS|7,9|C|EUR|500|KAPBSI22|BIC|ALPFSI22XXX|"
            "BIC|"
            "OTC|XOFF|C|100000001003"}));
    // Dates, times and numbers are cells of their kind; the time zone stays a text.
    const auto sheet = openWorkbook(opened);
    const QList<SheetCell::Type> kinds = {SheetCell::Type::Date, SheetCell::Type::Time,
                                          SheetCell::Type::Text, SheetCell::Type::Number,
                                          SheetCell::Type::Number};
    const QList<int> columns = {0, 1, 2, 7, 18};
    for (int i = 0; i < columns.size(); ++i)
        EXPECT_EQ(sheet->cell(1, columns[i]).type, kinds[i]) << "column " << columns[i];
    EXPECT_EQ(QDir(demo.dir.path()).entryList({"izvoz*"}), QStringList{"izvoz.xlsx"});
}

// The exported trades of a day, imported again for that day, are the same trades: every
// cell of the workbook is in the imported row. The cancellations of an earlier day, listed last,
// stop the import.
TEST(CollectionExport, ExportedWorkbookImportsAgainAsTheSameTrades) {
    DemoExport demo;
    const QDate day(2014, 3, 28);
    demo.collect(day, day);
    const QString file = demo.dir.file("izvoz.xlsx");
    ASSERT_TRUE(CollectionExport::write(demo.workingSet->qDPATVPPSL, "RAPO Export", file));
    demo.prompter.answers = {true};
    const TradeImport::Result imported =
        TradeImport::run(*demo.session, file, day, TradeImport::nextId(*demo.session));
    EXPECT_EQ(imported.ending, TradeImport::Ending::Stopped);
    EXPECT_EQ(imported.inserted, 3);

    QList<QStringList> exported = demo.readBack(file).mid(1, 3);
    Query q(*demo.db);
    q.setText("select * from DPATVPIMP order by IDIMP");
    int r = 0;
    for (q.open(); !q.eof(); q.next(), ++r) {
        QStringList values = {DataSet::valueText(q.value("DATUM")),
                              q.asDateTime("CAS").time().toString("HH:mm:ss")};
        for (const char *column :
             {"CASPAS", "INDNAKPRO", "TRGZMO", "ISIN", "KRTVP", "CENA", "ZAPCENE", "VAL", "KOL",
              "NASSTR", "OZNNASSTR", "KLIENT", "OZNKLIENTA", "IDENTMESTA", "OZNMESTA", "RAZTRANSA",
              "REFSTTRANSA"})
            values << DataSet::valueText(q.value(column)).replace('.', ',');
        EXPECT_EQ(values, exported.value(r));
    }
    EXPECT_EQ(r, 3);
}

// A value that does not fit its format stops the export before anything is on disk; a workbook
// already under that name stays as it was.
TEST(CollectionExport, ValueThatDoesNotFitLeavesNoFile) {
    SessionFixture f;
    f.host.exec("CREATE TABLE WS (Dan DATETIME, Cas DATETIME, SfTRZ TEXT, MIC TEXT, SWIFT TEXT, "
                "KRTBNK TEXT, SfDjv TEXT, IdentMesta TEXT, OznakaIdentMesta TEXT, ISSTN TEXT, "
                "VRSTA TEXT, RefStTransaC TEXT, NS_SFDJV TEXT, Offset TEXT, IndNakProd TEXT, "
                "TrgZmog TEXT, ISIN TEXT, SFVP_KRT TEXT, CenaEnote REAL, ZapisCene TEXT, "
                "Valuta TEXT, Lot REAL)");
    f.host.exec("INSERT INTO WS (Dan, Cas, SfTRZ, MIC, SWIFT, KRTBNK, SfDjv, IdentMesta, "
                "OznakaIdentMesta, ISSTN, VRSTA, RefStTransaC) VALUES (julianday('2014-03-28'), "
                "julianday('2014-03-28 10:00'), "
                "'2', 'XLJU', NULL, 'K1', 'K', 'XLJU', 'MIC', 'N', 'P', '100000001005'), "
                "(julianday('2014-03-28'), julianday('2014-03-28 11:00'), '2', 'XLJU', NULL, "
                "'K1', 'K', 'XLJU', 'M1C', 'N', 'P', '100000001006')");
    const QString file = f.t.dir.file("izvoz.xlsx");
    QFile earlier(file);
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write("prej");
    earlier.close();
    Query ws(*f.t.db);
    ws.setText("select * from WS");
    ws.open();
    try {
        CollectionExport::write(ws, "RAPO Export", file);
        ADD_FAILURE() << "written";
    } catch (const RapoError &e) {
        EXPECT_EQ(e.message(), "Napaka: Za Ref.St.Transakcije 100000001006  polje "
                               "'OznakaIdentMesta\r\n' podatek 'M1C' ni formata 4(a)!");
    }
    EXPECT_EQ(QDir(f.t.dir.path()).entryList({"izvoz*"}), QStringList{"izvoz.xlsx"});
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    EXPECT_EQ(earlier.readAll(), "prej");
}

// An empty working set is refused before the file dialog.
TEST(CollectionExport, EmptyWorkingSetIsRefused) {
    DemoExport demo;
    try {
        CollectionExport::run(*demo.session, &demo.workingSet->qDPATVPPSL, {});
        ADD_FAILURE();
    } catch (const RapoError &e) {
        EXPECT_EQ(e.message(), "Nabor je prazen! Izvoz ni možen!");
    }
    EXPECT_TRUE(demo.prompter.texts.isEmpty());
    EXPECT_EQ(CollectionExport::proposedName(QDate(2014, 4, 2)), "RAPOExport2014-04-02.xlsx");
}
