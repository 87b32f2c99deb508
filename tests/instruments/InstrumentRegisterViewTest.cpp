#include "InstrumentRegisterView.h"
#include "InstrumentsFixture.h"

#include <gtest/gtest.h>

namespace {
// Register rows of every kind the list decides on.
struct RegisterViewFixture : InstrumentsFixture {
    RegisterViewFixture() {
        const QDateTime t0(QDate(2014, 3, 1), QTime(9, 0));
        // An ISIN with a history of choices: only its newest row.
        entry({.isin = "SI0000000001", .hostInstrument = 1, .reported = 1, .changed = t0});
        entry({.isin = "SI0000000001",
               .hostInstrument = 2,
               .reported = 2,
               .earlier = 1,
               .changed = t0.addDays(1)});
        entry({.isin = "SI0000000001",
               .hostInstrument = 3,
               .reported = 3,
               .earlier = 2,
               .changed = t0.addDays(2)});
        // A history with an open older row: the newest and the open one.
        entry({.isin = "SI0000000002", .hostInstrument = 5, .reported = 5, .changed = t0});
        entry({.isin = "SI0000000002", .hostInstrument = 6, .changed = t0.addDays(1)});
        entry(
            {.isin = "SI0000000002", .hostInstrument = 7, .reported = 7, .changed = t0.addDays(2)});
        // One row, and the host holds two live instruments of the ISIN.
        entry({.isin = "US0000000003", .hostInstrument = 8, .reported = 8, .changed = t0});
        host.instrument(8, "US0000000003");
        host.instrument(9, "US0000000003");
        // One row, and one of the host's two instruments has matured.
        entry({.isin = "US0000000004", .hostInstrument = 10, .reported = 10, .changed = t0});
        host.instrument(10, "US0000000004");
        host.instrument(11, "US0000000004", 8, "A", QDate(2014, 4, 1));
        // One decided row of one host instrument.
        entry({.isin = "SI0000000005", .hostInstrument = 12, .reported = 12, .changed = t0});
        host.instrument(12, "SI0000000005");
        // An open row alone.
        entry({.isin = "XS0000000006", .hostInstrument = 13, .changed = t0});
    }

    // The list's rows as "ISIN/SFVP_VEK", in the list's order.
    QStringList list(const QString &filter) {
        InstrumentRegisterView view(session());
        view.reopen(filter);
        QStringList out;
        Query &q = view.qDPATVP_SFVP;
        for (q.first(); !q.eof(); q.next())
            out << q.asString("ISIN") + '/' + q.asString("SFVP_VEK");
        return out;
    }
};

TEST(InstrumentRegisterView, ListsOpenChoicesSeveralLiveInstrumentsAndTheNewestOfAHistory) {
    RegisterViewFixture f;
    EXPECT_EQ(f.list(""), (QStringList{"SI0000000001/3", "SI0000000002/7", "SI0000000002/6",
                                       "US0000000003/8", "XS0000000006/13"}));
}

TEST(InstrumentRegisterView, TheFilterListsTheIsinsThatBeginWithIt) {
    const QList<QPair<QString, QStringList>> cases = {
        {"SI", {"SI0000000001/3", "SI0000000002/7", "SI0000000002/6"}},
        {"SI0000000002", {"SI0000000002/7", "SI0000000002/6"}},
        {"US", {"US0000000003/8"}},
        {"X", {"XS0000000006/13"}},
        {"si", {}}, // ISINs are upper case; the page's field writes them so
        {"Z", {}},
    };
    RegisterViewFixture f;
    for (const auto &[filter, rows] : cases)
        EXPECT_EQ(f.list(filter), rows) << filter.toStdString();
}

TEST(InstrumentRegisterView, AnotherOrderReopensTheListInIt) {
    RegisterViewFixture f;
    InstrumentRegisterView view(f.session());
    EXPECT_EQ(view.sort().displayText, "Default");
    view.setSort({"", {{"DPATVP_SFVP", "SFVP_VEK", true}}});
    view.reopen("SI");
    QStringList hostInstruments;
    for (Query &q = view.qDPATVP_SFVP; !q.eof(); q.next())
        hostInstruments << q.asString("SFVP_VEK");
    EXPECT_EQ(hostInstruments, (QStringList{"7", "6", "3"}));
}

TEST(InstrumentRegisterView, RowColours) {
    struct Case {
        QVariant reported;
        QVariant earlier;
        QColor font;
    };
    const QColor gridColour(Qt::blue);
    const Case cases[] = {
        {{}, {}, QColor(Qt::red)},      // no reported instrument
        {5, {}, gridColour},            // decided, nothing earlier
        {5, 4, QColor(192, 192, 192)},  // remembers an earlier instrument
        {{}, 4, QColor(192, 192, 192)}, // silver wins over red
    };
    for (const Case &c : cases) {
        InstrumentsFixture f;
        f.entry({.isin = "SI0000000001",
                 .hostInstrument = 5,
                 .reported = c.reported,
                 .earlier = c.earlier});
        Query q(*f.t.db);
        q.setText("select * from DPATVP_SFVP");
        q.open();
        CellColors colors{gridColour, QColor(Qt::white)};
        InstrumentRegisterView::rowColors(q, colors);
        EXPECT_EQ(colors.font, c.font)
            << c.reported.toString().toStdString() << "/" << c.earlier.toString().toStdString();
        EXPECT_EQ(colors.brush, QColor(Qt::white));
    }
}

TEST(InstrumentRegisterView, OpenChoicesCountRowsWithoutReportedInstrumentWhateverTheFilter) {
    RegisterViewFixture f;
    EXPECT_EQ(InstrumentRegisterView::openChoices(f.session()), 2);
    f.t.exec("INSERT INTO DPATVP_SFVP (ISIN, SFVP_VEK) VALUES (NULL, 14)");
    EXPECT_EQ(InstrumentRegisterView::openChoices(f.session()), 2) << "no list shows it";
    f.t.exec("UPDATE DPATVP_SFVP SET SFVP_POROCANJE = SFVP_VEK WHERE ISIN IS NOT NULL");
    EXPECT_EQ(InstrumentRegisterView::openChoices(f.session()), 0);
}
} // namespace
