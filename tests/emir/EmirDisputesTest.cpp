#include "EmirDisputes.h"
#include "EmirFixture.h"
#include "RapoError.h"

#include <gtest/gtest.h>

namespace {
TEST(EmirDisputes, SavingKeepsTextsAsTypedAndAnEmptyEndAsNull) {
    EmirFixture f;
    const qint64 report = f.report({.zapSt = 5});
    EmirDisputes::Dispute d;
    d.reportId = report;
    d.stranka = " Ærø Bank ";
    d.nasStranka = "Šiška & <čž>";
    d.datZacetka = QDate(2014, 3, 10);
    d.vrednost = -1234.5;
    d.opombe = "";
    const qint64 id = EmirDisputes::save(f.session(), d);
    EXPECT_EQ(f.disputes(), QStringList{"5| Ærø Bank |Šiška & <čž>|10.03.2014||-1234.5|"});

    d = EmirDisputes::read(f.session(), id);
    d.datZakljucka = QDate(2014, 3, 10);
    d.opombe = "zaprto";
    d.reportId = 77; // the report of a dispute never changes
    EXPECT_EQ(EmirDisputes::save(f.session(), d), id);
    EXPECT_EQ(f.disputes(),
              QStringList{"5| Ærø Bank |Šiška & <čž>|10.03.2014|10.03.2014|-1234.5|zaprto"});

    d.datZakljucka = QDate(2014, 3, 9);
    try {
        EmirDisputes::save(f.session(), d);
        ADD_FAILURE() << "saved an end before the start";
    } catch (const RapoError &e) {
        EXPECT_EQ(e.message(), "Datum začetka spora mora biti pred datumom zaključka spora.");
    }
    d.id = 0;
    d.reportId = 0;
    try {
        EmirDisputes::save(f.session(), d);
        ADD_FAILURE() << "saved without a report";
    } catch (const RapoError &e) {
        EXPECT_EQ(e.message(), "Neveljaven ID poročila.");
    }
    try {
        EmirDisputes::read(f.session(), 99);
        ADD_FAILURE() << "read a dispute that is not there";
    } catch (const RapoError &e) {
        EXPECT_EQ(e.message(), "Ne najdem posla v tabeli, ID = 99");
    }
}

TEST(EmirDisputes, DeletingAsksFirst) {
    EmirFixture f;
    const qint64 report = f.report({.zapSt = 5});
    const qint64 first = f.dispute(report, "A", "B", QDate(2014, 3, 3));
    f.dispute(report, "C", "D", QDate(2014, 3, 4));
    f.prompter.answers = {false, true};
    EXPECT_FALSE(EmirDisputes::remove(f.session(), first));
    EXPECT_EQ(f.disputes().size(), 2);
    EXPECT_TRUE(EmirDisputes::remove(f.session(), first));
    EXPECT_EQ(f.prompter.texts, QStringList(2, "Želite brisati izbran spor ?"));
    EXPECT_EQ(f.disputes(), QStringList{"5|C|D|04.03.2014||0|"});
}

} // namespace
