#include "TradeImport.h"
#include "SessionFixture.h"
#include "SheetWriter.h"

#include "Query.h"
#include "RapoError.h"

#include <gtest/gtest.h>

namespace {
const QDate day(2014, 3, 28);

SheetCell tt(const QString &text) {
    return SheetCell::text(text);
}
SheetCell n(double value) {
    return SheetCell::number(value);
}
SheetCell d(const QDate &date) {
    return {SheetCell::Type::Date, date};
}
SheetCell tm(int h, int m, int s = 0) {
    return {SheetCell::Type::Time, QTime(h, m, s)};
}

// A trade row, columns A to S: the instrument's ISIN and short code, the reference and the
// cancellation flag as given.
QList<SheetCell> trade(const QDate &date, const QString &isin, const QString &krt, double reference,
                       const QString &flag = {}) {
    return {d(date),    tm(10, 15, 30),    tt("+01"),   tt("B"),
            tt("A"),    tt(isin),          tt(krt),     n(12.5),
            tt("C"),    tt("eur"),         n(40),       tt("XLJUAXXXXXXX1234"),
            tt("MIC"),  tt("KLIENTSI2XX"), tt("BIC"),   tt("XLJU"),
            tt("XLJU"), tt(flag),          n(reference)};
}

struct ImportFixture : SessionFixture {
    ImportFixture() {
        host.instrument(100, "SI0031100082");
        host.instrument(101, "N");
    }

    QString workbook(const QList<QList<SheetCell>> &rows) {
        const QString file = t.dir.file("uvoz.xlsx");
        SheetWriter writer(file, QStringLiteral("List1"));
        writer.writeRow({tt("Datum transakcije"), tt("Čas transakcije")});
        for (const auto &row : rows)
            writer.writeRow(row);
        EXPECT_TRUE(writer.close());
        return file;
    }

    TradeImport::Result import(const QList<QList<SheetCell>> &rows, qint64 nextId = 1) {
        return TradeImport::run(session(), workbook(rows), day, nextId);
    }

    // Every imported row, every column, in IDIMP order.
    QStringList rows() {
        QStringList out;
        Query q(*t.db);
        q.setText("select * from DPATVPIMP order by IDIMP");
        for (q.open(); !q.eof(); q.next()) {
            QStringList values;
            for (int c = 0; c < q.columnCount(); ++c)
                values << DataSet::valueText(q.value(q.columnName(c)));
            out << values.join(u'|');
        }
        return out;
    }
};

QString row(qint64 id, const QString &isin, const QString &krt, int sfvp, qint64 reference,
            const QString &flag = {}, const QString &report = {}) {
    return QStringLiteral(
               "%1|28.03.2014|28.03.2014 10:15:30|+01|B|A|%2|%3|12.5|C|EUR|40|XLJUAXXXXXX|"
               "MIC|KLIENTSI2XX|BIC|XLJU|XLJU|%4|%5|%6|%7")
        .arg(id)
        .arg(isin, krt, flag)
        .arg(reference)
        .arg(sfvp)
        .arg(report);
}
} // namespace

// Rows are matched to instruments by ISIN (any letter case) and short code, or by the short code
// alone without ISIN; texts are cut to their columns, the currency capitalised; a reference
// imported before (on any day) is updated in place and keeps its identifier; each saved row is
// in the activity log.
TEST(TradeImport, SavesEachTradeWithItsInstrument) {
    ImportFixture f;
    f.host.import(7, QDate(2014, 3, 27), 100, "SI0031100082", 555);
    f.prompter.answers = {true};
    const TradeImport::Result result =
        f.import({trade(day, "si0031100082", "VP100", 901), trade(day, "N", "VP101", 902),
                  trade(day, "", "VP101", 555), trade(day, "SI0031100082", "VP100", 0).mid(0, 18)},
                 8);
    EXPECT_EQ(result.ending, TradeImport::Ending::Finished);
    EXPECT_EQ(result.inserted, 2);
    EXPECT_EQ(result.updated, 1);
    EXPECT_EQ(result.errors, "");
    EXPECT_EQ(f.prompter.texts, QStringList{"Prosim potrdi import podatkov na dan 28.03.2014 !"});
    EXPECT_EQ(f.rows(),
              (QStringList{row(7, "", "VP101", 101, 555), row(8, "si0031100082", "VP100", 100, 901),
                           row(9, "N", "VP101", 101, 902)}));
    EXPECT_EQ(f.t.scalar("select count(*) from ACT where Tbl='DPATVPIMP'").toInt(), 3);
    EXPECT_EQ(f.t.scalar("select SfAct from ACT where Cnt like '7#|IDIMP#|%'").toString(), "^");
    EXPECT_EQ(f.t.scalar("select Cnt from ACT where Cnt like '9#|IDIMP#|%'").toString(),
              "9#|IDIMP#|28.03.2014#|DATUM#|28.03.2014 10:15:30#|CAS#|+01#|CASPAS#|B#|INDNAKPRO#|"
              "A#|TRGZMO#|N#|ISIN#|VP101#|KRTVP#|12.5#|CENA#|C#|ZAPCENE#|EUR#|VAL#|40#|KOL#|"
              "XLJUAXXXXXX#|NASSTR#|MIC#|OZNNASSTR#|KLIENTSI2XX#|KLIENT#|BIC#|OZNKLIENTA#|XLJU#|"
              "IDENTMESTA#|XLJU#|OZNMESTA#|#|RAZTRANSA#|902#|REFSTTRANSA#|101#|INTINDINSTR#|#|"
              "Trg_MIC#|#|IZVCEN#|#|ZPDVP#|#|CFI#|#|KPN_GLV#|#|DPATVPID#|");
    EXPECT_EQ(TradeImport::nextId(f.session()), 10);
}

// An unknown instrument: "Ignore" lists the row and goes on, "Abort" ends the import quietly;
// the rows saved before stay in both cases.
TEST(TradeImport, UnknownInstrumentIsIgnoredOrAborts) {
    for (const bool abort : {false, true}) {
        ImportFixture f;
        f.prompter.answers = {true, abort};
        const TradeImport::Result result =
            f.import({trade(day, "N", "VP101", 901), trade(day, "XS0000000001", "NEZNAN", 902),
                      trade(day, "N", "VP101", 903)});
        EXPECT_EQ(
            f.prompter.texts.value(1),
            "Vrednostni papir za isin XS0000000001 in kratico NEZNAN v šifrantu VP ne obstaja!");
        if (abort) {
            EXPECT_EQ(result.ending, TradeImport::Ending::Aborted);
            EXPECT_EQ(f.rows(), QStringList{row(1, "N", "VP101", 101, 901)});
        } else {
            EXPECT_EQ(result.ending, TradeImport::Ending::Finished);
            EXPECT_EQ(result.errors, "\r\nZa ISIN \"XS0000000001\" in kratico \"NEZNAN\" ne najdem "
                                     "ustreznega fin. instrumenta!");
            ASSERT_EQ(result.skipped.size(), 1);
            EXPECT_EQ(result.skipped[0].row, 3);
            EXPECT_EQ(f.rows(), (QStringList{row(1, "N", "VP101", 101, 901),
                                             row(2, "N", "VP101", 101, 903)}));
        }
    }
}

// The first row of another day or a refused confirmation imports nothing; a later row of
// another day stops the import with the rows before saved; a cell that does not convert ends
// it with a message naming the file, row and column.
TEST(TradeImport, WrongDaysAndBadCellsEndTheImport) {
    struct Case {
        QList<QList<SheetCell>> rows;
        QList<bool> answers;
        TradeImport::Ending ending;
        QStringList texts;
        int saved;
    };
    const QString confirm = "Prosim potrdi import podatkov na dan 28.03.2014 !";
    const QList<Case> cases = {
        {{trade(day.addDays(1), "N", "VP101", 1)},
         {},
         TradeImport::Ending::Refused,
         {"Datum v Excelu ne ustreza izbranemu dnevu 28.03.2014 !"},
         0},
        {{trade(day, "N", "VP101", 1)}, {false}, TradeImport::Ending::Refused, {confirm}, 0},
        {{trade(day, "N", "VP101", 1), trade(day.addDays(-1), "N", "VP101", 2),
          trade(day, "N", "VP101", 3)},
         {true},
         TradeImport::Ending::Stopped,
         {confirm, "Datum v Excelu 27.03.2014 ne ustreza izbranemu dnevu 28.03.2014 !\n\rNapaka "
                   "v 3. vrstici.\n\r\n\rPrekinjen import!"},
         1},
    };
    for (const Case &c : cases) {
        ImportFixture f;
        f.prompter.answers = c.answers;
        EXPECT_EQ(f.import(c.rows).ending, c.ending);
        EXPECT_EQ(f.prompter.texts, c.texts);
        EXPECT_EQ(f.rows().size(), c.saved);
    }

    ImportFixture f;
    f.prompter.answers = {true};
    QList<SheetCell> bad = trade(day, "N", "VP101", 2);
    bad[7] = tt("12.5");
    const QString file = f.workbook({trade(day, "N", "VP101", 1), bad});
    try {
        TradeImport::run(f.session(), file, day, 1);
        ADD_FAILURE() << "imported";
    } catch (const RapoError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Napaka v datoteki \"%1\", vrstica 3, stolpec H: "
                                              "\"12.5\" ni veljavno število.")
                                   .arg(file));
    }
    EXPECT_EQ(f.rows(), QStringList{row(1, "N", "VP101", 101, 1)});
}

// A reported trade imported again with "C" (none before) goes back to the next collection; with
// "C" a second time it stays with its report.
TEST(TradeImport, CancellationReimportedReturnsTheTradeToTheCollection) {
    ImportFixture f;
    f.host.import(3, day, 101, "N", 77, "", 5);
    f.prompter.answers = {true, true};
    f.import({trade(day, "N", "VP101", 77, "C")});
    EXPECT_TRUE(f.t.scalar("select DPATVPID from DPATVPIMP where IDIMP=3").isNull());
    f.host.exec("update DPATVPIMP set DPATVPID=6");
    f.import({trade(day, "N", "VP101", 77, "C")});
    EXPECT_EQ(f.t.scalar("select DPATVPID from DPATVPIMP where IDIMP=3").toInt(), 6);
}

// "Brisanje nabora": nothing asked on a day without imports; otherwise, after the confirmation,
// the day's unreported imports go and the reported ones stay. The next identifier in both dialects.
TEST(TradeImport, DeletionKeepsReportedTradesAndNextIdInBothDialects) {
    ImportFixture f;
    EXPECT_EQ(TradeImport::deleteUnreported(f.session(), day), 0);
    EXPECT_TRUE(f.prompter.texts.isEmpty());
    f.host.import(1, day, 101, "N", 1);
    f.host.import(2, day, 101, "N", 2, "", 5);
    f.host.import(3, day.addDays(1), 101, "N", 3);
    f.prompter.answers = {false, true};
    EXPECT_EQ(TradeImport::deleteUnreported(f.session(), day), 0);
    EXPECT_EQ(TradeImport::deleteUnreported(f.session(), day), 1);
    EXPECT_EQ(f.prompter.texts,
              QStringList(2, "Prosim potrdi brisanje vseh importiranih na dan 28.03.2014!"));
    EXPECT_EQ(f.t.scalar("select group_concat(IDIMP) from DPATVPIMP").toString(), "2,3");
    EXPECT_EQ(TradeImport::nextId(f.session()), 4);
    EXPECT_EQ(TradeImport::nextIdSql(false),
              " select NVL(max(IDImp),0)+1 as MaxIDImp from DPATVPIMP ");
    EXPECT_EQ(TradeImport::nextIdSql(true),
              " select COALESCE(max(IDImp), 0)+1 as MaxIDImp from DPATVPIMP ");
}

// The host is across a network: an import sends as many statements for 100 rows as for 10, in
// both dialects, and logs every row it saves with the row as saved. A reference that repeats in
// the workbook updates the row its first occurrence inserted.
TEST(TradeImport, SendsTheSameStatementsHoweverManyRows) {
    for (const bool isDb2 : {false, true}) {
        qint64 sent[2] = {};
        for (const int n : {10, 100}) {
            SCOPED_TRACE(QString("%1 rows%2").arg(n).arg(isDb2 ? ", DB2" : "").toStdString());
            Configuration c;
            c.isDb2 = isDb2;
            ImportFixture f;
            f.configuration = c;
            f.host.import(7, QDate(2014, 3, 27), 100, "SI0031100082", 555);
            QList<QList<SheetCell>> rows;
            for (int i = 0; i < n; ++i)
                rows << trade(day, i % 2 ? "N" : "SI0031100082", i % 2 ? "VP101" : "VP100",
                              1000 + i);
            rows << trade(day, "N", "VP101", 555) << trade(day, "N", "VP101", 1000, "C");
            f.prompter.answers = {true};
            const qint64 before = f.t.db->statementLog().traffic().statements;
            const TradeImport::Result result = f.import(rows, 8);
            sent[n == 100] = f.t.db->statementLog().traffic().statements - before;
            EXPECT_EQ(result.inserted, n);
            EXPECT_EQ(result.updated, 2);
            QStringList expected = f.rows();
            ASSERT_EQ(expected.size(), n + 1);
            EXPECT_EQ(expected[0], row(7, "N", "VP101", 101, 555));
            EXPECT_EQ(expected[1], row(8, "N", "VP101", 101, 1000, "C"));
            // The log: every row as it was saved, the repeated references last.
            Query log(*f.t.db);
            log.setText("select SfAct, Cnt from ACT order by IdAct");
            QStringList logged;
            for (log.open(); !log.eof(); log.next()) {
                QStringList values;
                const QStringList cells = log.asString("Cnt").split("#|");
                for (int i = 0; i + 1 < cells.size(); i += 2)
                    if (i / 2 < 21 || i / 2 == 26)
                        values << cells[i];
                logged << log.asString("SfAct") + values.join(u'|');
            }
            ASSERT_EQ(logged.size(), n + 2);
            EXPECT_EQ(logged[n], "^" + expected[0]);
            EXPECT_EQ(logged[n + 1], "^" + expected[1]);
            EXPECT_EQ(logged[0], "+" + row(8, "SI0031100082", "VP100", 100, 1000));
            for (int i = 1; i < n; ++i)
                EXPECT_EQ(logged[i], "+" + expected[i + 1]);
        }
        EXPECT_EQ(sent[0], sent[1]);
    }
}
