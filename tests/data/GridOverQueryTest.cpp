#include "DataGrid.h"
#include "GridDataSource.h"
#include "Query.h"
#include "TestDatabase.h"

#include <QApplication>
#include <QScrollBar>
#include <QTableView>
#include <gtest/gtest.h>

namespace {
TEST(GridOverQuery, AHundredThousandRowsAreFetchedOnlyAsTheListScrolls) {
    TestDatabase t;
    Query q(*t.db);
    q.setText("WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < 100000) "
              "SELECT x AS IDPSL, 'SI' || x AS ISIN FROM n");
    q.open();
    DataGrid grid;
    grid.resize(600, 400);
    grid.setDataSet(&q);
    grid.dataSetChanged();
    grid.show();
    QApplication::processEvents();
    const int afterOpening = q.fetchedRowCount();
    EXPECT_GT(afterOpening, 0);
    EXPECT_LT(afterOpening, 1000);

    QScrollBar *bar = grid.view()->verticalScrollBar();
    for (int i = 0; i < 5; ++i) {
        bar->setValue(bar->maximum());
        QApplication::processEvents();
    }
    EXPECT_GT(q.fetchedRowCount(), afterOpening) << "scrolling to the end fetches more";
    EXPECT_LT(q.fetchedRowCount(), 5000);

    grid.setCurrentRow(99999);
    EXPECT_EQ(q.fetchedRowCount(), 100000);
    EXPECT_EQ(q.asInteger("IDPSL"), 100000);
}
} // namespace
