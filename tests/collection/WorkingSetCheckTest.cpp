#include "WorkingSetCheck.h"
#include "CollectionFixture.h"
#include "NaborTab.h"
#include "PeriodField.h"
#include "ReportGeneration.h"
#include "TypedEdit.h"

#include <QDir>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {
const QDate day(2014, 4, 1);

// Host data with one good trade (1) and one bad row of every kind, each with the failure the
// check must list for it: "reference|field|value|rule".
QStringList badRows(HostData &h) {
    h.instrument(100, "SI0031102120");
    h.trade({1, day});
    // An internal client code the 10 places of the report would cut.
    h.person(14, {}, "123456789012");
    h.contract(6, 14);
    h.trade({2, day, 100, 8, 6});
    // A price in percent without a coupon period that covers the day.
    h.instrument({.sfvp = 300, .isin = "SI0002103000", .priceUnit = "%"});
    h.trade({.id = 3, .day = day, .sfvp = 300, .priceUnit = "%"});
    // A currency whose code is not letters.
    h.exec("INSERT INTO VLT (SfVlt, KRT) VALUES ('9', 'e1r')");
    h.trade({4, day});
    h.exec("UPDATE PSL SET SfVlt = '9' WHERE IdPsl = 4");
    // An instrument whose only listing closed before the period.
    h.instrument(400, "SI0031104000");
    h.exec("UPDATE KTC SET DanPrk = 2456689.5 WHERE SFVP = 400");
    h.trade({5, day, 400});
    // An imported trade of an instrument the host does not know.
    h.import(6, day, 999, "SI0000000999", 900006);
    // An imported trade under the reference of host trade 1.
    h.import(7, day, 100, "SI0031102120", 1);
    // An option whose classification says neither put nor call.
    h.instrument({.sfvp = 500, .isin = "N", .maturity = QDate(2014, 6, 20), .cfi = "OX"});
    h.trade({8, day, 500});
    return {"1|Referenčna št. transakcije|1|enkrat v poročilu",
            "2|Kratica banke|123456789012|10(x)",
            "3|Količina|10|kuponsko obdobje z glavnico",
            "4|Valuta|E1R|3(a)",
            "5|Instrument|VP400|odprta kotacija",
            "8|Tip instrumenta|OX|opcija: P ali C na drugem mestu",
            "900006|Instrument|999|instrument v šifrantu",
            "FI 500|Tip instrumenta|OX|opcija: P ali C na drugem mestu"};
}

QStringList keys(const QList<QStringList> &rows) {
    QStringList out;
    for (const QStringList &row : rows)
        out << row.mid(0, 4).join('|');
    out.sort();
    return out;
}

TEST(WorkingSetCheck, EveryFailingRowIsListedAtOnceAndNothingIsWritten) {
    CollectionFixture f;
    const QStringList expected = badRows(f.host);
    NaborTab tab;
    tab.attach(f.session(), f.state);
    tab.dtpDan->setDate(day);
    tab.dtpDanDo->setDate(day);
    tab.bbNaborClick();
    ASSERT_TRUE(tab.bbPreveriNabor->isEnabled()) << f.prompter.texts.join('\n').toStdString();

    tab.bbPreveriNaborClick();
    ASSERT_EQ(f.prompter.lists.size(), 1) << f.prompter.texts.join('\n').toStdString();
    EXPECT_EQ(keys(f.prompter.lists[0]), expected);
    EXPECT_TRUE(f.prompter.lists[0].contains(
        QStringList{"4", "Valuta", "E1R", "3(a)",
                    "Napaka: Za Ref.St.Transakcije 4 polje 'Valuta ' podatek 'E1R' ni formata "
                    "3(a)!"}));

    tab.bbGenXMLClick();
    ASSERT_EQ(f.prompter.lists.size(), 2);
    EXPECT_EQ(f.prompter.lists[1], f.prompter.lists[0]);
    EXPECT_TRUE(QDir(f.t.dir.path()).entryList({"TRDAT01_*"}).isEmpty());
    EXPECT_EQ(f.t.scalar("select count(*) from DPATVP").toInt(), 0);

    // Headless, the same lines are the error's message.
    try {
        ReportGeneration::generate(f.session(), tab.workingSet()->qDPATVPPSL,
                                   tab.workingSet()->qSifrantFinInstr, f.state, day, day);
        FAIL() << "generated with failing rows";
    } catch (const WorkingSetCheck::Failed &e) {
        EXPECT_EQ(e.failures().size(), size_t(expected.size()));
        for (const WorkingSetCheck::Failure &failure : e.failures())
            EXPECT_TRUE(e.message().contains(WorkingSetCheck::line(failure)));
    }
}

// A collected trade counts as in the working set only under its own kind and number: the
// import numbered 3 does not stand in for host trade 5, left out for its closed listing. A
// reference that repeats is told once, in the order the working set first holds it.
TEST(WorkingSetCheck, HeldTradesAreToldApartByKindAndRepeatedReferencesComeInOrder) {
    CollectionFixture f;
    f.host.instrument(100, "SI0031102120");
    f.host.instrument(400, "SI0031104000");
    f.host.exec("UPDATE KTC SET DanPrk = 2456689.5 WHERE SFVP = 400");
    f.host.trade({5, day, 400});
    f.host.import(1, day, 100, "SI0031102120", 3);
    const QStringList repeated = {"11", "12", "13", "14", "15", "16"};
    for (const QString &reference : repeated) {
        f.host.trade({reference.toInt(), day});
        f.host.import(reference.toInt(), day, 100, "SI0031102120", reference.toLongLong());
    }
    NaborTab tab;
    tab.attach(f.session(), f.state);
    tab.dtpDan->setDate(day);
    tab.dtpDanDo->setDate(day);
    tab.bbNaborClick();
    tab.bbPreveriNaborClick();
    ASSERT_EQ(f.prompter.lists.size(), 1) << f.prompter.texts.join('\n').toStdString();
    QStringList told;
    for (const QStringList &failure : f.prompter.lists[0])
        told << failure.mid(0, 4).join('|');
    QStringList expected;
    for (const QString &reference : repeated)
        expected << reference + "|Referenčna št. transakcije|" + reference + "|enkrat v poročilu";
    expected << "5|Instrument|VP400|odprta kotacija";
    EXPECT_EQ(told, expected);
}

TEST(WorkingSetCheck, AFailedCollectionClosesTheWorkingSetAndDisablesGeneration) {
    CollectionFixture f;
    f.host.instrument(100, "SI0031102120");
    f.host.trade({1, day});
    NaborTab tab;
    tab.attach(f.session(), f.state);
    tab.dtpDan->setDate(day);
    tab.dtpDanDo->setDate(day);
    tab.bbNaborClick();
    ASSERT_TRUE(tab.bbGenXML->isEnabled());
    tab.bbPreveriNaborClick();
    EXPECT_EQ(f.prompter.texts.last(),
              "Nabor je pravilen: vse transakcije ustrezajo pravilom poročila.");

    f.host.exec("DROP TABLE FIN"); // the instruments of the working set cannot be read
    tab.bbNaborClick();
    EXPECT_FALSE(tab.bbGenXML->isEnabled());
    EXPECT_FALSE(tab.bbPreveriNabor->isEnabled());
    EXPECT_FALSE(tab.workingSet()->qDPATVPPSL.active());
}
} // namespace
