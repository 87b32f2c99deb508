// Opens a list over 100,000 rows of the embedded database, scrolls it page by page to the end
// and prints how long each step took and how many rows were in memory.
#include "DataGrid.h"
#include "Database.h"
#include "Query.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <cstdio>

#include "ProcessStatus.h"

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString home = dir.path() + QLatin1Char('/');
    Database::createEmbedded(QStringLiteral("BENCH"), home);
    Database db(QStringLiteral("BENCH"), {}, {}, home);

    QElapsedTimer timer;
    timer.start();
    Query q(db);
    q.setText(QStringLiteral("WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n "
                             "WHERE x < 100000) SELECT x AS IDPSL, 'SI00311' || x AS ISIN, "
                             "x * 1.5 AS KOL FROM n"));
    q.open();
    DataGrid grid;
    grid.resize(1000, 700);
    grid.setDataSet(&q);
    grid.dataSetChanged();
    grid.show();
    app.processEvents();
    std::printf("open: %lld ms, rows in memory %d, RSS %ld kB\n",
                static_cast<long long>(timer.elapsed()), q.fetchedRowCount(),
                processStatusKb("VmRSS"));

    timer.restart();
    QScrollBar *bar = grid.view()->verticalScrollBar();
    int pages = 0;
    while (q.canFetchMore() || bar->value() < bar->maximum()) {
        bar->setValue(bar->value() + bar->pageStep());
        app.processEvents();
        ++pages;
    }
    std::printf("scrolled %d pages to the end: %lld ms (%.3f ms a page), rows %d, RSS %ld kB\n",
                pages, static_cast<long long>(timer.elapsed()),
                pages ? double(timer.elapsed()) / pages : 0.0, q.fetchedRowCount(),
                processStatusKb("VmRSS"));
    return 0;
}
