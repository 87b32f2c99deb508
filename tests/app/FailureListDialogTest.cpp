#include "FailureListDialog.h"

#include <QApplication>
#include <QClipboard>
#include <QPushButton>
#include <QTableWidget>
#include <gtest/gtest.h>

namespace {
TEST(FailureListDialog, ShowsEveryRowAndCopiesThemForASpreadsheet) {
    const QStringList columns{"Ref. št. transakcije", "Polje", "Podatek", "Pravilo", "Sporočilo"};
    const QList<QStringList> rows{{"4", "Valuta", "E1R", "3(a)", "ni formata 3(a)!"},
                                  {"5", "Instrument", "VP400", "odprta kotacija", "nima kotacije"}};
    FailureListDialog dialog("Preverjanje nabora", columns, rows);
    ASSERT_EQ(dialog.grid->rowCount(), 2);
    ASSERT_EQ(dialog.grid->columnCount(), 5);
    EXPECT_EQ(dialog.grid->item(1, 3)->text(), "odprta kotacija");
    EXPECT_EQ(dialog.grid->horizontalHeaderItem(0)->text(), "Ref. št. transakcije");
    dialog.copyButton->click();
    EXPECT_EQ(QApplication::clipboard()->text(),
              "Ref. št. transakcije\tPolje\tPodatek\tPravilo\tSporočilo\n"
              "4\tValuta\tE1R\t3(a)\tni formata 3(a)!\n"
              "5\tInstrument\tVP400\todprta kotacija\tnima kotacije\n");
}
} // namespace
