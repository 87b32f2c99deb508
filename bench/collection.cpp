// Fills an embedded database with generated host data (N trades over a mix of instruments,
// venues and clients) and times each step of a collection run: the deletion, phases 1 to 5,
// and the loading of the working set and of its instruments, then the report generation with
// its validation. Then, on a copy of the same generated database, the raw floor: the same work
// with SQLite and libxml2 directly (RawFloor). Prints one line per N and step, the peak memory
// of both, whether the two reports are the same, and last "total/floor: R". Every step also
// prints the statements it sent and the rows it read back, with the time they would take at a
// site whose host answers a statement in 0.5 ms; then a re-collection of the day and an import
// of 10,000 workbook rows are counted the same way, against their targets.
#include "ActivityLog.h"
#include "Clock.h"
#include "CollectionDeletion.h"
#include "CollectionRun.h"
#include "Configuration.h"
#include "Database.h"
#include "Prompter.h"
#include "Query.h"
#include "ReportGeneration.h"
#include "RunState.h"
#include "Session.h"
#include "SheetWriter.h"
#include "StatementLog.h"
#include "TradeImport.h"
#include "Transaction.h"
#include "Waiter.h"
#include "WorkingSet.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>

#include "ProcessStatus.h"
#include "RawFloor.h"

#include <QRegularExpression>
#include <malloc.h>
#include <map>

namespace {
class SilentPrompter : public Prompter {
public:
    void information(const QString &) override {}
    void warning(const QString &) override {}
    void error(const QString &text) override { std::fprintf(stderr, "%s\n", qPrintable(text)); }
    bool yesNo(const QString &) override { return false; }
    bool okCancel(const QString &) override { return confirm; }
    bool abortIgnore(const QString &) override { return true; }
    QString openFile(const QString &, const QString &, const QString &) override { return {}; }
    QString saveFile(const QString &, const QString &, const QString &) override { return {}; }
    bool confirm = false;
};

// A round trip to a site's host, per statement.
constexpr double hostMsPerStatement = 0.5;
// The targets: a day re-collected once and generated, and an import of 10,000 rows.
constexpr qint64 collectionTarget = 200;
constexpr qint64 importTarget = 300;
constexpr int importRows = 10000;

// What a step sent: the difference of two readings of the statement log.
struct Sent {
    qint64 statements = 0;
    qint64 rows = 0;
    Sent &operator+=(const Sent &other) {
        statements += other.statements;
        rows += other.rows;
        return *this;
    }
};

class TrafficMeter {
public:
    explicit TrafficMeter(Database &db) : db_(db) { restart(); }
    void restart() { start_ = db_.statementLog().traffic(); }
    // Since the last restart, and restarts.
    Sent lap() {
        const StatementLog::Traffic now = db_.statementLog().traffic();
        const Sent sent{now.statements - start_.statements, now.rows - start_.rows};
        start_ = now;
        return sent;
    }

private:
    Database &db_;
    StatementLog::Traffic start_;
};

QString sentText(const Sent &sent) {
    return QString::asprintf("%7lld statements %8lld rows read, at a site %9.1f ms",
                             static_cast<long long>(sent.statements),
                             static_cast<long long>(sent.rows),
                             static_cast<double>(sent.statements) * hostMsPerStatement);
}

const char *verdict(bool pass) {
    return pass ? "pass" : "FAIL";
}

// A workbook of `rows` trades of the day over the bench's instruments, columns A to S.
QString writeImportWorkbook(const QString &home, const QDate &day, int rows) {
    const QString file = home + QStringLiteral("UVOZ.xlsx");
    SheetWriter writer(file, QStringLiteral("List1"));
    writer.writeRow({SheetCell::text(QStringLiteral("Datum transakcije"))});
    const auto text = [](const QString &t) { return SheetCell::text(t); };
    for (int r = 1; r <= rows; ++r) {
        const int vp = r % 300 + 1;
        writer.writeRow({{SheetCell::Type::Date, day},
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
                         SheetCell::number(5000000 + r)});
    }
    if (!writer.close())
        std::fprintf(stderr, "%s\n", qPrintable(writer.error()));
    return file;
}

// Time moves only when the run waits; the waits themselves take no time here.
class SteppingClock : public Clock {
public:
    QDateTime now() const override { return now_; }
    QDateTime now_{QDate(2014, 4, 2), QTime(8, 0)};
};

class CountingWaiter : public Waiter {
public:
    explicit CountingWaiter(SteppingClock &clock) : clock_(clock) {}
    void wait(int ms) override {
        ++waits;
        clock_.now_ = clock_.now_.addMSecs(ms);
    }
    int waits = 0;

private:
    SteppingClock &clock_;
};

// The peak resident memory counts from here.
void resetPeakMemory() {
    if (FILE *f = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", f);
        std::fclose(f);
    }
}

QString rootAttribute(const QString &path, const char *name) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    const QString head = QString::fromUtf8(f.read(1000));
    const QRegularExpression attribute(QString::fromLatin1(name) + QStringLiteral("=\"([^\"]*)\""));
    return attribute.match(head).captured(1);
}

void exec(Query &q) {
    q.exec();
}

void fill(Database &db, int trades) {
    constexpr int instruments = 300;
    constexpr int clients = 2000;
    Transaction tx(db);
    Query q(db);
    q.setText("INSERT INTO DRZ (SfDrz, ISOKODA) VALUES (1, 'SI')");
    exec(q);
    q.setText("INSERT INTO VLT (SfVlt, KRT) VALUES ('1', 'EUR')");
    exec(q);
    q.setText("INSERT INTO FIN (SFFIN) VALUES ('DEL')");
    exec(q);
    q.setText("INSERT INTO TRG (SfTrg, MIC, TimeZone, SfTRZ, SfDrzTrg) VALUES (8, 'XLJU', '+01', "
              "'2', 'S'), (9, NULL, NULL, '3', 'S'), (30, 'XNYS', '-05', '2', 'A')");
    exec(q);
    q.setText(
        "INSERT INTO OSB (SfOsb, MTS, SWIFT, NZV, SfDRZ) VALUES (:Id, :Mts, :Swift, :Nzv, 1)");
    for (int i = 2; i < clients + 10; ++i) {
        q.setInteger("Id", i);
        q.setString("Mts", i == 2 ? "5860571000" : QString());
        q.setString("Swift",
                    i % 3 == 0 ? QString("BANKSI%1").arg(i % 100, 2, 10, QChar('0')) : QString());
        q.setString("Nzv", QString("Oseba %1").arg(i));
        exec(q);
    }
    q.setText("INSERT INTO POG (IdPog, SfOsb, NZV, KRTKDD) VALUES (:Id, :Osb, :Nzv, :Kdd)");
    for (int i = 1; i <= clients; ++i) {
        q.setInteger("Id", i);
        q.setInteger("Osb", i + 5);
        q.setString("Nzv", QString("Pogodba %1").arg(i));
        q.setString("Kdd", QString("K%1").arg(i));
        exec(q);
    }
    q.setText("INSERT INTO SFVP (SFVP, ISIN, KRT, NZV, CFI, SfGlvEnt, PorocanjeRAPO, DANSPR, "
              "GLVNMN, SfVLTNMN, LOTEMS, SFOSBIZD, SFFIN, KOS) VALUES (:Id, :Isin, :Krt, :Nzv, "
              "'ESVUFR', 'E', 'D', :Danspr, 1, '1', 1000000, 3, 'DEL', 'N')");
    Query k(db);
    k.setText(
        "INSERT INTO KTC (SFKTC, SFVP, SFTRG, SfSgt, Dan) VALUES (:Id, :Vp, :Trg, 'A', :Dan)");
    for (int i = 1; i <= instruments; ++i) {
        q.setInteger("Id", i);
        q.setString("Isin", QString("SI%1").arg(i, 10, 10, QChar('0')));
        q.setString("Krt", QString("VP%1").arg(i));
        q.setString("Nzv", QString("Vrednostni papir %1").arg(i));
        q.setDate("Danspr", QDate(2013, 1, 1));
        exec(q);
        k.setInteger("Id", i);
        k.setInteger("Vp", i);
        k.setInteger("Trg", i % 10 == 0 ? 30 : 8);
        k.setDate("Dan", QDate(2010, 1, 1));
        exec(k);
    }
    q.setText("INSERT INTO PSL (IdPsl, Dan, CAS, SfPsl, SFDJV, GlvTcj, SfGlvEnt, Lot, IdPslTrp, "
              "IdPog, SfTrg, SFVP, SfVlt) VALUES (:Id, :Dan, :Cas, :Tip, :Djv, 10.5, 'E', :Lot, "
              ":Trp, :Pog, :Trg, :Vp, '1')");
    for (int i = 1; i <= trades; ++i) {
        const int instrument = 1 + i % instruments;
        q.setInteger("Id", i);
        q.setDate("Dan", QDate(2014, 4, 1));
        q.setDateTime("Cas", QDateTime(QDate(2014, 4, 1), QTime(9, 0).addSecs(i % 28000)));
        q.setString("Tip", i % 2 ? "N" : "P");
        q.setString("Djv", i % 7 == 0 ? "L" : "K");
        q.setNumber("Lot", 1 + i % 500);
        if (i % 50 == 0)
            q.setInteger("Trp", i - 1);
        else
            q.setNull("Trp");
        q.setInteger("Pog", 1 + i % clients);
        q.setInteger("Trg", instrument % 10 == 0 ? 30 : (i % 40 == 0 ? 9 : 8));
        q.setInteger("Vp", instrument);
        exec(q);
    }
    tx.commit();
}
} // namespace

int main(int argc, char **argv) {
    // As the program does (main.cpp): the time zone is named, so it is read once.
    if (!qEnvironmentVariableIsSet("TZ"))
        qputenv("TZ", ":/etc/localtime");
    QCoreApplication app(argc, argv);
    QList<int> sizes = {1000, 10000, 100000};
    if (argc > 1)
        sizes = {QString::fromLocal8Bit(argv[1]).toInt()};
    // "debug" as the second argument: the run writes its debug log (Debug=1).
    const bool debug = argc > 2 && QByteArray(argv[2]) == "debug";
    std::map<int, qint64> collectionStatements;
    for (int n : sizes) {
        QTemporaryDir dir;
        const QString home = dir.path() + QLatin1Char('/');
        Database::createEmbedded(QStringLiteral("BENCH"), home);
        Database db(QStringLiteral("BENCH"), {}, {}, home);
        QElapsedTimer fillTimer;
        fillTimer.start();
        fill(db, n);
        std::printf("N=%d fill host data: %lld ms\n", n,
                    static_cast<long long>(fillTimer.elapsed()));

        const QString floorDatabase = home + QStringLiteral("FLOOR.sqlite");
        db.close();
        QFile::copy(db.embeddedPath(), floorDatabase);

        Configuration c;
        c.dmc2 = c.dmc3 = c.tuj2 = c.tuj3 = QStringLiteral("LK");
        c.debug = debug;
        SilentPrompter prompter;
        SteppingClock clock;
        CountingWaiter waiter(clock);
        Session session(db, c, QStringLiteral("BENCH"), home, prompter, clock, waiter);
        WorkingSet workingSet(session);
        RunState state;
        QFile::copy(QStringLiteral(RAPO_DEMO_SCHEMA), home + QStringLiteral("NTRS.xsd"));
        malloc_trim(0);
        resetPeakMemory();

        QElapsedTimer total;
        QElapsedTimer step;
        QString current;
        TrafficMeter meter(db);
        Sent mainRoad;
        const auto stepEnds = [&] {
            const Sent sent = meter.lap();
            mainRoad += sent;
            if (!current.isEmpty())
                std::printf("N=%d program %-24s %8lld ms, peak so far %ld MB; %s\n", n,
                            qPrintable(current), static_cast<long long>(step.elapsed()),
                            processStatusKb("VmHWM") / 1024, qPrintable(sentText(sent)));
        };
        session.onProgress = [&](const QString &next) {
            stepEnds();
            current = next;
            step.restart();
        };
        total.start();
        step.start();
        meter.restart();
        const CollectionRun::Result r =
            CollectionRun::run(session, workingSet, state, QDate(2014, 4, 1), QDate(2014, 4, 1));
        current = QStringLiteral("Generiranje: preverjanje");
        step.restart();
        const ReportGeneration::Result report =
            ReportGeneration::generate(session, workingSet.qDPATVPPSL, workingSet.qSifrantFinInstr,
                                       state, QDate(2014, 4, 1), QDate(2014, 4, 1));
        stepEnds();
        session.onProgress = nullptr;
        const qint64 programMs = total.elapsed();
        const long programPeak = processStatusKb("VmHWM");
        std::printf("N=%d program total%s: %lld ms, %d rows in the working set, %d waits, %s, "
                    "%lld bytes, peak memory %ld MB\n",
                    n, debug ? " (Debug=1)" : "", static_cast<long long>(programMs), r.rows,
                    waiter.waits, report.valid ? "valid" : qPrintable(report.errorLine),
                    static_cast<long long>(QFileInfo(report.path).size()), programPeak / 1024);
        std::fflush(stdout);

        RawFloor floor;
        floor.databasePath = floorDatabase;
        floor.reportPath = home + QStringLiteral("FLOOR.xml");
        floor.schemaPath = home + QStringLiteral("NTRS.xsd");
        floor.day = QDate(2014, 4, 1);
        floor.collectionId = r.collectionId;
        floor.applicationUser = session.applicationUser;
        floor.nowJulianDay = static_cast<double>(clock.now().date().toJulianDay()) - 0.5 +
                             clock.now().time().msecsSinceStartOfDay() / 86400000.0;
        floor.assignmentSql = CollectionRun::tradesOfPeriodSql(c, r.collectionId);
        floor.activityLogSql = ActivityLog::insertedRowsSql(QStringLiteral("DPATVPPSL"),
                                                            QStringLiteral("DPATVPID = :DPATVPID"),
                                                            QStringLiteral("IDREFATVP"), false);
        floor.workingSetSql = workingSet.qDPATVPPSL.text();
        floor.instrumentSql = workingSet.qSifrantFinInstr.text();
        floor.firm = rootAttribute(report.path, "MaticnaStevilkaZavezanca");
        floor.creationDate = rootAttribute(report.path, "CreationDate");
        floor.creationTime = rootAttribute(report.path, "CreationTime");
        floor.creationOffset = rootAttribute(report.path, "CreationTimeOffset");
        workingSet.close();
        malloc_trim(0);
        resetPeakMemory();
        qint64 floorMs = 0;
        floor.run([&](const char *name, qint64 ms) {
            floorMs += ms;
            std::printf("N=%d floor   %-24s %8lld ms\n", n, name, static_cast<long long>(ms));
        });
        const long floorPeak = processStatusKb("VmHWM");
        const QString difference = reportDifference(report.path, floor.reportPath);
        std::printf("N=%d floor total: %lld ms, peak memory %ld MB; reports %s\n", n,
                    static_cast<long long>(floorMs), floorPeak / 1024,
                    difference.isEmpty() ? "equal"
                                         : qPrintable(QStringLiteral("differ, ") + difference));

        // The day collected again: the unsent report goes with the pending collection first.
        meter.restart();
        QElapsedTimer again;
        again.start();
        const CollectionRun::Result recollected =
            CollectionRun::run(session, workingSet, state, QDate(2014, 4, 1), QDate(2014, 4, 1));
        const Sent recollection = meter.lap();
        std::printf("N=%d program re-collection: %lld ms, %d rows; %s\n", n,
                    static_cast<long long>(again.elapsed()), recollected.rows,
                    qPrintable(sentText(recollection)));
        Sent collected = mainRoad;
        collected += recollection;
        std::printf("N=%d collected, generated and re-collected: %s; target at most %lld "
                    "statements: %s\n",
                    n, qPrintable(sentText(collected)), static_cast<long long>(collectionTarget),
                    verdict(collected.statements <= collectionTarget));
        collectionStatements[n] = collected.statements;

        workingSet.close();
        QElapsedTimer deletion;
        deletion.start();
        meter.restart();
        CollectionDeletion::deletePeriod(session, QDate(2014, 4, 1), QDate(2014, 4, 1));
        std::printf("N=%d deletion of the pending collection (not counted): %lld ms; %s\n", n,
                    static_cast<long long>(deletion.elapsed()), qPrintable(sentText(meter.lap())));

        const QString workbook = writeImportWorkbook(home, QDate(2014, 4, 1), importRows);
        prompter.confirm = true;
        meter.restart();
        QElapsedTimer import;
        import.start();
        const TradeImport::Result imported =
            TradeImport::run(session, workbook, QDate(2014, 4, 1), TradeImport::nextId(session));
        const Sent importSent = meter.lap();
        prompter.confirm = false;
        std::printf(
            "N=%d import of %d workbook rows: %lld ms, %d inserted; %s; target at most "
            "%lld statements: %s\n",
            n, importRows, static_cast<long long>(import.elapsed()), imported.inserted,
            qPrintable(sentText(importSent)), static_cast<long long>(importTarget),
            verdict(importSent.statements <= importTarget && imported.inserted == importRows));
        std::printf("N=%d total/floor: %.2f\n", n,
                    floorMs > 0 ? static_cast<double>(programMs) / static_cast<double>(floorMs)
                                : 0.0);
        std::fflush(stdout);
    }
    if (collectionStatements.count(10000) && collectionStatements.count(100000))
        std::printf("statements of a day of 10000 and of 100000 trades the same (%lld, %lld): %s\n",
                    static_cast<long long>(collectionStatements[10000]),
                    static_cast<long long>(collectionStatements[100000]),
                    verdict(collectionStatements[10000] == collectionStatements[100000]));
    return 0;
}
