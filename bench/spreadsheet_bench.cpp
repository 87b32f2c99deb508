// Times the spreadsheet exchange on generated data: the import of N trades (10,000 unless given)
// from an ".xlsx" workbook and from an ".xls" workbook (written by Debian's python3-xlwt), and
// the export of M working-set rows (100,000 unless given) to ".xlsx". Prints the time of each
// step and the process's memory (current and peak resident size).
#include "Clock.h"
#include "CollectionExport.h"
#include "Configuration.h"
#include "Database.h"
#include "Prompter.h"
#include "Query.h"
#include "Session.h"
#include "SheetReader.h"
#include "SheetWriter.h"
#include "TradeImport.h"
#include "Transaction.h"
#include "Waiter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

#include "ProcessStatus.h"

namespace {
// The import's one question (the day) is confirmed; nothing else is asked of generated data.
class ConfirmingPrompter : public Prompter {
public:
    void information(const QString &) override {}
    void warning(const QString &text) override { std::fprintf(stderr, "%s\n", qPrintable(text)); }
    void error(const QString &text) override { std::fprintf(stderr, "%s\n", qPrintable(text)); }
    bool yesNo(const QString &) override { return true; }
    bool okCancel(const QString &) override { return true; }
    bool abortIgnore(const QString &) override { return false; }
    QString openFile(const QString &, const QString &, const QString &) override { return {}; }
    QString saveFile(const QString &, const QString &, const QString &) override { return {}; }
};

class FixedClock : public Clock {
public:
    QDateTime now() const override { return QDateTime(QDate(2014, 3, 28), QTime(17, 0)); }
};

class NoWaiter : public Waiter {
public:
    void wait(int) override {}
};

constexpr int instruments = 300;
const QDate day(2014, 3, 28);

void print(const char *step, qint64 ms, int rows) {
    std::printf("%-34s %8d rows %8lld ms   RSS %6ld MB   peak %6ld MB\n", step, rows,
                static_cast<long long>(ms), processStatusKb("VmRSS") / 1024,
                processStatusKb("VmHWM") / 1024);
    std::fflush(stdout);
}

void hostInstruments(Database &db) {
    Transaction tx(db);
    Query q(db);
    q.setText("INSERT INTO SFVP (SFVP, ISIN, KRT, NZV, CFI) VALUES (:Id, :Isin, :Krt, :Nzv, "
              "'ESVUFR')");
    for (int i = 1; i <= instruments; ++i) {
        q.setInteger("Id", i);
        q.setString("Isin", QString("SI%1").arg(i, 10, 10, QChar('0')));
        q.setString("Krt", QString("VP%1").arg(i));
        q.setString("Nzv", QString("Vrednostni papir %1").arg(i));
        q.exec();
    }
    tx.commit();
}

// Trade row r (from 1) in the columns A to S of the import.
QList<SheetCell> tradeRow(int r) {
    const int vp = r % instruments + 1;
    const auto text = [](const QString &t) { return SheetCell::text(t); };
    return {{SheetCell::Type::Date, day},
            {SheetCell::Type::Time, QTime(9, 0).addSecs(r % 30000)},
            text("+01"),
            text(r % 2 ? "B" : "S"),
            text("A"),
            text(QString("SI%1").arg(vp, 10, 10, QChar('0'))),
            text(QString("VP%1").arg(vp)),
            SheetCell::number(10 + r % 100 / 4.0),
            text("U"),
            text("EUR"),
            SheetCell::number(r % 500 + 1),
            text("XLJU"),
            text("MIC"),
            text(QString("K%1").arg(r % 2000)),
            text("Internal"),
            text("XLJU"),
            text("MIC"),
            text({}),
            SheetCell::number(r)};
}

void writeXls(const QString &file, int rows) {
    // No C or C++ library writes the binary format; Debian's python3-xlwt does.
    const QString script = QStringLiteral(R"(
import datetime, sys, xlwt
rows, path = int(sys.argv[1]), sys.argv[2]
book = xlwt.Workbook()
ws = book.add_sheet("Transakcije")
date = xlwt.easyxf(num_format_str="DD.MM.YYYY")
time = xlwt.easyxf(num_format_str="hh:mm:ss")
ws.write(0, 0, "Datum transakcije")
for r in range(1, rows + 1):
    vp = r % 300 + 1
    t = 9 * 3600 + r % 30000
    values = [None, None, "+01", "B" if r % 2 else "S", "A", "SI%010d" % vp, "VP%d" % vp,
              10 + r % 100 / 4.0, "U", "EUR", r % 500 + 1, "XLJU", "MIC", "K%d" % (r % 2000),
              "Internal", "XLJU", "MIC", "", r]
    ws.write(r, 0, datetime.date(2014, 3, 28), date)
    ws.write(r, 1, datetime.time(t // 3600, t // 60 % 60, t % 60), time)
    for c, v in enumerate(values[2:], start=2):
        if v != "":
            ws.write(r, c, v)
book.save(path)
)");
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"), script, QString::number(rows), file});
    if (!python.waitForFinished(600000) || python.exitCode() != 0)
        std::fprintf(stderr, "python3-xlwt: %s\n", python.readAllStandardError().constData());
}

// Reading alone: the workbook opened and every cell of the trade columns taken as text.
void readFile(const char *step, const QString &file) {
    QElapsedTimer timer;
    timer.start();
    const auto sheet = openWorkbook(file);
    qsizetype characters = 0;
    for (int r = 0; r < sheet->rowCount(); ++r)
        for (int c = 0; c < 19; ++c)
            characters += sheet->cell(r, c).text().size();
    print(step, timer.elapsed(), sheet->rowCount() - 1);
}

void importFile(Session &session, const char *step, const QString &file, int rows) {
    Query clear(session.db);
    clear.setText("DELETE FROM DPATVPIMP");
    clear.exec();
    QElapsedTimer timer;
    timer.start();
    const TradeImport::Result result = TradeImport::run(session, file, day, 1);
    print(step, timer.elapsed(), result.inserted);
    if (result.inserted != rows)
        std::fprintf(stderr, "imported %d of %d rows\n", result.inserted, rows);
}

// A table of the working set's columns filled with M rows, as the export reads them.
void workingSetRows(Database &db, int rows) {
    Query q(db);
    q.setText(
        "CREATE TABLE BENCH_WS (Dan DATETIME, Cas DATETIME, Offset TEXT, IndNakProd TEXT, "
        "TrgZmog TEXT, ISIN TEXT, SFVP_KRT TEXT, CenaEnote REAL, ZapisCene TEXT, Valuta TEXT, "
        "Lot REAL, SfTRZ TEXT, MIC TEXT, SWIFT TEXT, KRTBNK TEXT, SfDjv TEXT, IDPSLTRP INTEGER, "
        "NS_SFDJV TEXT, NS_SWIFT TEXT, NS_KRTBNK TEXT, NS_OznakaKlijenta TEXT, OznakaKlijenta "
        "TEXT, IdentMesta TEXT, OznakaIdentMesta TEXT, ISSTN TEXT, TRP_SWIFT TEXT, VRSTA TEXT, "
        "RefStTransaC TEXT)");
    q.exec();
    // Built by concatenation: the printf formats of SQLite hold "%" signs.
    q.setText(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n "
                             "WHERE i < ") +
              QString::number(rows) +
              QStringLiteral(
                  ") "
                  "INSERT INTO BENCH_WS SELECT julianday('2014-03-28'), julianday('2014-03-28 "
                  "10:00:00') + (i % 20000) / 86400.0, '+01', CASE WHEN i % 2 THEN 'B' ELSE 'S' "
                  "END, 'A', printf('SI%010d', i % 300 + 1), printf('VP%d', i % 300 + 1), 10 + "
                  "(i % 100) / 4.0, 'U', 'EUR', i % 500 + 1, CASE WHEN i % 3 THEN '2' ELSE '3' "
                  "END, 'XLJU', CASE WHEN i % 4 THEN printf('BANKSI%02d', i % 100) END, "
                  "printf('K%d', i % 2000), CASE WHEN i % 5 = 0 THEN 'L' ELSE 'K' END, i % 7, "
                  "'K', 'KAPBSI22', NULL, NULL, NULL, 'XLJU', 'MIC', CASE WHEN i % 50 = 0 THEN "
                  "'D' ELSE 'N' END, 'KAPBSI22', 'P', printf('1%011d', i) FROM n"));
    q.exec();
}
} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const int importRows = argc > 1 ? QString(argv[1]).toInt() : 10000;
    const int exportRows = argc > 2 ? QString(argv[2]).toInt() : 100000;
    QTemporaryDir dir;
    const QString home = dir.path() + QLatin1Char('/');
    Database::createEmbedded(QStringLiteral("BENCH"), home);
    Database db(QStringLiteral("BENCH"), {}, {}, home);
    const Configuration configuration;
    ConfirmingPrompter prompter;
    FixedClock clock;
    NoWaiter waiter;
    Session session(db, configuration, QStringLiteral("BENCH"), home, prompter, clock, waiter);
    hostInstruments(db);
    print("start", 0, 0);

    // The export first, so its peak is its own.
    workingSetRows(db, exportRows);
    Query workingSet(db);
    workingSet.setText("SELECT * FROM BENCH_WS");
    QElapsedTimer timer;
    timer.start();
    workingSet.open();
    workingSet.recordCount();
    print("working set read into memory", timer.elapsed(), exportRows);
    timer.restart();
    QString reason;
    const bool saved = CollectionExport::write(workingSet, QStringLiteral("RAPO Export"),
                                               home + QStringLiteral("export.xlsx"), &reason);
    if (!saved)
        std::fprintf(stderr, "%s\n", qPrintable(reason));
    print(saved ? "export .xlsx (constant memory)" : "export FAILED", timer.elapsed(), exportRows);

    const QString xlsx = home + QStringLiteral("import.xlsx");
    {
        SheetWriter writer(xlsx, QStringLiteral("Transakcije"));
        writer.writeRow({SheetCell::text(QStringLiteral("Datum transakcije"))});
        for (int r = 1; r <= importRows; ++r)
            writer.writeRow(tradeRow(r));
        writer.close();
    }
    readFile("read .xlsx", xlsx);
    importFile(session, "import .xlsx", xlsx, importRows);
    const QString xls = home + QStringLiteral("import.xls");
    writeXls(xls, importRows);
    readFile("read .xls", xls);
    importFile(session, "import .xls", xls, importRows);
    return 0;
}
