#include "EmirDisputeImport.h"
#include "EmirFixture.h"
#include "EmirTab.h"
#include "RapoError.h"
#include "TypedEdit.h"

#include <QVariant>
#include <gtest/gtest.h>
#include <xlsxwriter.h>

namespace {

// A workbook of disputes as a clerk fills it: the heading row, then the rows as given. A date
// is a date cell, a number a number cell, a text a text cell, an invalid value no cell at all.
void writeWorkbook(const QString &fileName, const QList<QVariantList> &rows) {
    lxw_workbook *book = workbook_new(fileName.toUtf8().constData());
    lxw_worksheet *sheet = workbook_add_worksheet(book, "Spori");
    lxw_format *date = workbook_add_format(book);
    format_set_num_format(date, "dd.mm.yyyy");
    const char *heading[] = {"Stranka",   "Nasprotna stranka", "Začetek spora",
                             "Zaključek", "Vrednost",          "Opombe"};
    for (lxw_col_t c = 0; c < 6; ++c)
        worksheet_write_string(sheet, 0, c, heading[c], nullptr);
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c) {
            const QVariant &v = rows[r][c];
            const lxw_row_t row = lxw_row_t(r + 1);
            const lxw_col_t col = lxw_col_t(c);
            if (v.typeId() == QMetaType::QDate) {
                const QDate d = v.toDate();
                lxw_datetime at = {d.year(), d.month(), d.day(), 0, 0, 0};
                worksheet_write_datetime(sheet, row, col, &at, date);
            } else if (v.typeId() == QMetaType::Double) {
                worksheet_write_number(sheet, row, col, v.toDouble(), nullptr);
            } else if (v.isValid()) {
                worksheet_write_string(sheet, row, col, v.toString().toUtf8().constData(), nullptr);
            }
        }
    ASSERT_EQ(workbook_close(book), LXW_NO_ERROR);
}

struct ImportFixture : EmirFixture {
    ImportFixture() {
        report_ = report({.zapSt = 4});
        dispute(report_, "Obstoječa", "Stranka", QDate(2014, 3, 1));
    }
    // Imports the rows into the report; gives the message of the failure, or "" and the count.
    QString import(const QList<QVariantList> &rows, int *count = nullptr) {
        writeWorkbook(file, rows);
        try {
            const int n = EmirDisputeImport::run(session(), report_, file);
            if (count)
                *count = n;
            return {};
        } catch (const RapoError &e) {
            return e.message();
        }
    }
    qint64 report_ = 0;
    const QString file = t.dir.file("spori.xlsx");
    const QString existing = "4|Obstoječa|Stranka|01.03.2014||0|";
};

const QVariant none;
const QDate march10(2014, 3, 10);

TEST(EmirDisputeImport, EveryRowUpToTheFirstWithoutAPartyBecomesADispute) {
    ImportFixture f;
    int count = -1;
    EXPECT_EQ(f.import({{"Banka A", "Šiška & <čž>", march10, none, 1234.56, "prvi"},
                        // an end that is no date leaves the dispute open; thousands separators
                        {"Banka B", "Sava", QDate(2014, 3, 11), "ni datum", "1.234,5", none},
                        {"Banka C", "Krka", QDate(2014, 3, 12), QDate(2014, 3, 20), none, "x"},
                        {none, "Petrol", march10, none, 5.0, "brez stranke: konec"},
                        {"Banka E", "Luka", march10, none, 6.0, "ni uvožena"}},
                       &count),
              "");
    EXPECT_EQ(count, 3);
    EXPECT_EQ(f.disputes(),
              (QStringList{f.existing, "4|Banka A|Šiška & <čž>|10.03.2014||1234.56|prvi",
                           "4|Banka B|Sava|11.03.2014||1234.5|",
                           "4|Banka C|Krka|12.03.2014|20.03.2014|0|x"}));
    EXPECT_EQ(EmirDisputeImport::completion(f.file),
              "Uvoz podatkov iz datoteke \"" + f.file + "\" je končan.");
}

TEST(EmirDisputeImport, OneBadRowKeepsEveryDisputeOfTheFileOut) {
    const QVariantList good = {"Banka A", "Sava", march10, none, 1.0, none};
    const struct {
        QList<QVariantList> rows;
        QString message;
    } cases[] = {
        {{good, good, {"Banka C", "Krka", none, none, 3.0, none}},
         "Prišlo je do napake pri uvozu vrstice 3: Neveljaven datum začetka spora."},
        {{good, {"Banka B", "Krka", march10, QDate(2014, 3, 9), none, none}},
         "Prišlo je do napake pri uvozu vrstice 2: Datum začetka spora mora biti pred datumom "
         "zaključka spora."},
        {{{"Banka A", "  ", march10, none, none, none}},
         "Prišlo je do napake pri uvozu vrstice 1: Neveljavna nasprotna stranka."},
        // A start that is not a date stops the reading, before anything is written.
        {{good, {"Banka B", "Krka", "31.02.2014", none, none, none}},
         "Napaka v datoteki \"%1\", vrstica 3, stolpec C (DatZacetkaSpora): \"31.02.2014\" ni "
         "veljaven datum (dd.mm.llll)."},
        {{good, {"Banka B", "Krka", march10, none, "12 EUR", none}},
         "Napaka v datoteki \"%1\", vrstica 3, stolpec E (Vrednost): \"12 EUR\" ni veljavno "
         "število."},
    };
    for (const auto &c : cases) {
        ImportFixture f;
        EXPECT_EQ(f.import(c.rows), QString(c.message).replace("%1", f.file));
        EXPECT_EQ(f.disputes(), QStringList{f.existing});
    }
}

TEST(EmirDisputeImport, TheTabImportsIntoTheSelectedReportAndReportsTheOutcome) {
    ImportFixture f;
    EmirTab tab;
    tab.attach(f.session());
    tab.pteEMIRDatOd->clear();
    tab.pteEMIRDatDo->clear();
    tab.actRefreshExecute();
    ASSERT_EQ(tab.currentReportId(), f.report_);

    writeWorkbook(f.file, {{"Banka A", "Sava", march10, none, 1.0, none}});
    f.prompter.fileNames = {"", f.file};
    tab.actImportXLSExecute(); // the file dialog cancelled
    EXPECT_EQ(f.disputes(), QStringList{f.existing});
    tab.actImportXLSExecute();
    EXPECT_EQ(f.prompter.texts.last(), EmirDisputeImport::completion(f.file));
    EXPECT_EQ(tab.disputes()->recordCount(), 2);

    // A header-only file adds nothing and still completes.
    writeWorkbook(f.file, {});
    f.prompter.fileNames = {f.file};
    tab.actImportXLSExecute();
    EXPECT_EQ(f.prompter.texts.last(), EmirDisputeImport::completion(f.file));
    EXPECT_EQ(tab.disputes()->recordCount(), 2);
}

} // namespace
