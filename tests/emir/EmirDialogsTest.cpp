#include "EmirDisputeDialog.h"
#include "EmirFixture.h"
#include "EmirReportDialog.h"
#include "RapoError.h"
#include "TypedEdit.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

namespace {

TEST(EmirReportDialog, ANewReportIsProposedForTheMonthAndSavedWithTheNextNumber) {
    EmirFixture f;
    f.clock.set(QDateTime(QDate(2024, 2, 15), QTime(12, 0)));
    f.report({.zapSt = 8});
    EmirReportDialog dialog(f.session(), 0);
    EXPECT_EQ(dialog.windowTitle(), "EMIR poročilo");
    EXPECT_EQ(dialog.edtZapSt->text(), "");
    EXPECT_FALSE(dialog.edtZapSt->isEnabled());
    EXPECT_EQ(dialog.pteDanPorocila->text(), "15.02.2024");
    EXPECT_EQ(dialog.pteDanOd->text(), "01.02.2024");
    EXPECT_EQ(dialog.pteDanDo->text(), "29.02.2024");
    EXPECT_EQ(dialog.pteStNepotrjenih->text(), "0");
    EXPECT_FALSE(dialog.cbPreklicano->isChecked());
    EXPECT_FALSE(dialog.cbPreklicano->isEnabled());
    EXPECT_EQ(dialog.focusWidget(), dialog.pteDanPorocila);

    dialog.pteStNepotrjenih->setInteger(3);
    dialog.btnOK->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.savedId(), 2);
    EXPECT_EQ(f.reports().last(), "9|01.02.2024|29.02.2024|3|15.02.2024||N||");
}

TEST(EmirReportDialog, AnExistingReportIsShownAsStored) {
    EmirFixture f;
    const qint64 id = f.report({.zapSt = 4, .unconfirmed = 12, .cancelled = true});
    EmirReportDialog dialog(f.session(), id);
    EXPECT_EQ(dialog.edtZapSt->text(), "4");
    EXPECT_EQ(dialog.pteDanPorocila->text(), "02.04.2014");
    EXPECT_EQ(dialog.pteDanOd->text(), "01.03.2014");
    EXPECT_EQ(dialog.pteDanDo->text(), "31.03.2014");
    EXPECT_EQ(dialog.pteStNepotrjenih->text(), "12");
    EXPECT_TRUE(dialog.cbPreklicano->isChecked());
    try {
        EmirReportDialog missing(f.session(), 5);
        ADD_FAILURE() << "shown for a report that is not there";
    } catch (const RapoError &e) {
        EXPECT_EQ(e.message(), "Ne najdem poročila v tabeli, ID = 5");
    }
}

TEST(EmirReportDialog, AFailedCheckShowsItsMessageFocusesTheFieldAndKeepsTheDialogOpen) {
    struct Case {
        std::function<void(EmirReportDialog &)> change;
        std::function<QWidget *(EmirReportDialog &)> field;
        QString message;
    };
    const Case cases[] = {
        {[](EmirReportDialog &d) {
             d.pteDanPorocila->clear();
             d.pteDanOd->clear();
             d.pteStNepotrjenih->setInteger(-1);
         },
         [](EmirReportDialog &d) { return d.pteDanPorocila; }, "Neveljaven datum poročila."},
        {[](EmirReportDialog &d) {
             d.pteDanOd->clear();
             d.pteDanDo->clear();
         },
         [](EmirReportDialog &d) { return d.pteDanOd; }, "Neveljaven datum od."},
        {[](EmirReportDialog &d) {
             d.pteDanDo->clear();
             d.pteStNepotrjenih->setInteger(-1);
         },
         [](EmirReportDialog &d) { return d.pteDanDo; }, "Neveljaven datum do."},
        {[](EmirReportDialog &d) { d.pteStNepotrjenih->setInteger(-1); },
         [](EmirReportDialog &d) { return d.pteStNepotrjenih; },
         "Neveljavno število nepotrjenih transakcij."},
    };
    for (const Case &c : cases) {
        EmirFixture f;
        EmirReportDialog dialog(f.session(), 0);
        c.change(dialog);
        dialog.btnOK->click();
        EXPECT_EQ(f.prompter.texts, QStringList{c.message});
        EXPECT_EQ(dialog.focusWidget(), c.field(dialog)) << c.message.toStdString();
        EXPECT_NE(dialog.result(), QDialog::Accepted);
        EXPECT_TRUE(f.reports().isEmpty());
    }
}

TEST(EmirDisputeDialog, NeedsARealReportAndAnExistingDispute) {
    EmirFixture f;
    const qint64 report = f.report({.zapSt = 1});
    const std::tuple<qint64, qint64, QString> cases[] = {
        {0, 0, "Neveljaven ID poročila."},
        {-3, 1, "Neveljaven ID poročila."},
        {report, 42, "Ne najdem posla v tabeli, ID = 42"},
    };
    for (const auto &[reportId, disputeId, message] : cases) {
        try {
            EmirDisputeDialog dialog(f.session(), reportId, disputeId);
            ADD_FAILURE() << message.toStdString();
        } catch (const RapoError &e) {
            EXPECT_EQ(e.message(), message);
        }
    }
}

TEST(EmirDisputeDialog, AFailedCheckShowsItsMessageFocusesTheFieldAndKeepsTheDialogOpen) {
    struct Case {
        QString party, counterparty, start, end;
        std::function<QWidget *(EmirDisputeDialog &)> field;
        QString message;
    };
    const auto party = [](EmirDisputeDialog &d) -> QWidget * { return d.edtStranka; };
    const auto counterparty = [](EmirDisputeDialog &d) -> QWidget * { return d.edtNasStranka; };
    const auto start = [](EmirDisputeDialog &d) -> QWidget * { return d.pteDatZacetka; };
    const auto end = [](EmirDisputeDialog &d) -> QWidget * { return d.pteDatZakljucka; };
    const Case cases[] = {
        {" ", " ", "", "01.01.1800", party, "Neveljavna stranka."},
        {"A", "", "", "01.01.1800", counterparty, "Neveljavna nasprotna stranka."},
        {"A", "B", "", "01.01.1800", start, "Neveljaven datum začetka spora."},
        {"A", "B", "10.03.2014", "01.01.1800", end, "Neveljaven datum zaključka spora."},
        {"A", "B", "10.03.2014", "09.03.2014", start,
         "Datum začetka spora mora biti pred datumom zaključka spora."},
    };
    for (const Case &c : cases) {
        EmirFixture f;
        const qint64 report = f.report({.zapSt = 1});
        EmirDisputeDialog dialog(f.session(), report, 0);
        EXPECT_EQ(dialog.focusWidget(), dialog.edtStranka);
        dialog.edtStranka->setText(c.party);
        dialog.edtNasStranka->setText(c.counterparty);
        for (auto [edit, text] :
             {std::pair{dialog.pteDatZacetka, c.start}, std::pair{dialog.pteDatZakljucka, c.end}}) {
            edit->setText(text);
            ASSERT_TRUE(edit->applyTypedText());
        }
        dialog.btnOK->click();
        EXPECT_EQ(f.prompter.texts, QStringList{c.message});
        EXPECT_EQ(dialog.focusWidget(), c.field(dialog)) << c.message.toStdString();
        EXPECT_NE(dialog.result(), QDialog::Accepted);
        EXPECT_TRUE(f.disputes().isEmpty());
    }
}

TEST(EmirDisputeDialog, SavesWhatWasTypedAndShowsItAgain) {
    EmirFixture f;
    const qint64 report = f.report({.zapSt = 6});
    EmirDisputeDialog add(f.session(), report, 0);
    EXPECT_EQ(add.windowTitle(), "EMIR spor");
    EXPECT_TRUE(add.pteDatZacetka->isEmpty()) << "a new dispute has no dates";
    EXPECT_TRUE(add.pteDatZakljucka->isEmpty());
    EXPECT_EQ(add.pteVrednost->text(), "0,00");
    add.edtStranka->setText("Ærø Sparekasse ✓");
    add.edtNasStranka->setText("Šiška & <čž>");
    add.pteDatZacetka->setDate(QDate(2014, 3, 10));
    add.pteVrednost->setText("1.234,5");
    ASSERT_TRUE(add.pteVrednost->applyTypedText());
    add.edtOpomba->setText("odprto");
    add.btnOK->click();
    ASSERT_EQ(add.result(), QDialog::Accepted) << f.prompter.texts.join('\n').toStdString();
    EXPECT_EQ(f.disputes(),
              QStringList{"6|Ærø Sparekasse ✓|Šiška & <čž>|10.03.2014||1234.5|odprto"});

    EmirDisputeDialog edit(f.session(), report, add.savedId());
    EXPECT_EQ(edit.edtStranka->text(), "Ærø Sparekasse ✓");
    EXPECT_EQ(edit.edtNasStranka->text(), "Šiška & <čž>");
    EXPECT_EQ(edit.pteDatZacetka->text(), "10.03.2014");
    EXPECT_TRUE(edit.pteDatZakljucka->isEmpty());
    EXPECT_EQ(edit.pteVrednost->text(), "1.234,50");
    EXPECT_EQ(edit.edtOpomba->text(), "odprto");
    edit.pteDatZakljucka->setDate(QDate(2014, 3, 10));
    edit.btnOK->click();
    EXPECT_EQ(edit.savedId(), add.savedId());
    EXPECT_EQ(f.disputes(),
              QStringList{"6|Ærø Sparekasse ✓|Šiška & <čž>|10.03.2014|10.03.2014|1234.5|odprto"});
}

// "Zapiši" takes what is still being typed in a field, as if the field had been left.
TEST(EmirDisputeDialog, SavesTheTextStillBeingTyped) {
    EmirFixture f;
    const qint64 report = f.report({.zapSt = 6});
    EmirDisputeDialog add(f.session(), report, 0);
    add.edtStranka->setText("A");
    add.edtNasStranka->setText("B");
    add.pteDatZacetka->setCursorPosition(0);
    QTest::keyClicks(add.pteDatZacetka, "12032014");
    add.pteVrednost->selectAll();
    QTest::keyClicks(add.pteVrednost, "7,25");
    add.btnOK->click();
    ASSERT_EQ(add.result(), QDialog::Accepted) << f.prompter.texts.join('\n').toStdString();
    EXPECT_EQ(f.disputes(), QStringList{"6|A|B|12.03.2014||7.25|"});
}

} // namespace
