#include "FinInstrTab.h"
#include "DataGrid.h"
#include "InstrumentChoiceDialog.h"
#include "InstrumentRegisterView.h"
#include "InstrumentsFixture.h"
#include "RunState.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {
const QString isinX = "SI0031128356";

// The page attached to a run, with the user's answers to the instrument dialog scripted.
struct TabFixture : InstrumentsFixture {
    TabFixture() {
        tab.attach(session(), state);
        tab.chooseInstrument = [this](const InstrumentChoice::Offer &offer) {
            offers.push_back(offer);
            std::optional<QString> answer;
            if (!answers.isEmpty())
                answer = answers.takeFirst();
            return answer;
        };
    }

    Query &list() { return tab.registerView()->qDPATVP_SFVP; }
    // The list's rows as "ISIN/SFVP_VEK/SFVP_POROCANJE".
    QStringList listed() {
        QStringList out;
        for (int row = 0; row < list().recordCount(); ++row) {
            list().moveTo(row);
            out << list().asString("ISIN") + '/' + list().asString("SFVP_VEK") + '/' +
                       list().asString("SFVP_POROCANJE");
        }
        list().first();
        return out;
    }
    // Zooms into the listed row of a host instrument.
    void zoomInto(qint64 hostInstrument, bool open = true) {
        for (int row = 0; row < list().recordCount(); ++row) {
            list().moveTo(row);
            if (list().asInteger("SFVP_VEK") == hostInstrument &&
                list().isNull("SFVP_POROCANJE") == open) {
                tab.dbgDPATVP_SFVP->setCurrentRow(row);
                tab.dbgDPATVP_SFVP->zoom();
                return;
            }
        }
        ADD_FAILURE() << "no listed row of " << hostInstrument;
    }
    bool returnShown() const { return !tab.bNabor->isHidden(); }

    RunState state;
    FinInstrTab tab;
    QList<QString> answers; // a null text answers Cancel
    std::vector<InstrumentChoice::Offer> offers;
};

// Two host instruments of one ISIN and their open register rows, as a collection leaves them.
void twoOpenRows(TabFixture &f) {
    f.host.instrument(107, isinX);
    f.host.instrument(108, isinX);
    f.entry({.isin = isinX, .hostInstrument = 107});
    f.entry({.isin = isinX,
             .hostInstrument = 108,
             .changed = QDateTime(QDate(2014, 4, 1), QTime(12, 0, 1))});
}

TEST(FinInstrTab, EnteringThePageReadsTheListAgain) {
    TabFixture f;
    f.tab.entered();
    EXPECT_TRUE(f.listed().isEmpty());
    f.entry({.isin = isinX, .hostInstrument = 107});
    EXPECT_TRUE(f.listed().isEmpty()) << "read when the page was entered";
    f.tab.entered();
    EXPECT_EQ(f.listed(), QStringList{isinX + "/107/"});
}

TEST(FinInstrTab, TypingInTheFilterReopensTheListAfterEveryKey) {
    TabFixture f;
    f.entry({.isin = "SI0000000001", .hostInstrument = 1});
    f.entry({.isin = "SK0000000002", .hostInstrument = 2});
    f.entry({.isin = "US0000000003", .hostInstrument = 3});
    f.tab.entered();
    EXPECT_EQ(f.listed().size(), 3);

    QTest::keyClick(f.tab.eISIN, 's');
    EXPECT_EQ(f.tab.eISIN->text(), "S");
    EXPECT_EQ(f.listed(), (QStringList{"SI0000000001/1/", "SK0000000002/2/"}));
    QTest::keyClick(f.tab.eISIN, 'i');
    EXPECT_EQ(f.tab.eISIN->text(), "SI");
    EXPECT_EQ(f.listed(), QStringList{"SI0000000001/1/"});
    QTest::keyClick(f.tab.eISIN, Qt::Key_Backspace);
    QTest::keyClick(f.tab.eISIN, Qt::Key_Backspace);
    EXPECT_EQ(f.listed().size(), 3);
}

TEST(FinInstrTab, TheListIsColouredByItsRows) {
    TabFixture f;
    f.entry({.isin = "SI0000000001", .hostInstrument = 1});
    f.entry({.isin = "SI0000000002", .hostInstrument = 2, .reported = 2, .earlier = 1});
    f.host.instrument(2, "SI0000000002");
    f.host.instrument(4, "SI0000000002");
    f.tab.entered();
    ASSERT_EQ(f.listed(), (QStringList{"SI0000000001/1/", "SI0000000002/2/2"}));
    EXPECT_EQ(f.tab.dbgDPATVP_SFVP->cellColors(0, 0, false).font, QColor(Qt::red));
    EXPECT_EQ(f.tab.dbgDPATVP_SFVP->cellColors(1, 2, false).font, QColor(192, 192, 192));
}

TEST(FinInstrTab, ZoomWritesTheChoiceAndShowsTheReturnOnceNoChoiceIsOpen) {
    TabFixture f;
    twoOpenRows(f);
    f.tab.showAfterCollectionChoice();
    EXPECT_FALSE(f.returnShown());
    f.answers = {"107-VP107", "107-VP107"};

    f.zoomInto(107);
    ASSERT_EQ(f.offers.size(), 1u);
    EXPECT_EQ(f.offers[0].entries, (QStringList{"107-VP107", "108-VP108"}));
    EXPECT_FALSE(f.offers[0].changing);
    EXPECT_EQ(f.rows(isinX), (QStringList{"108///", "107/107//"}));
    EXPECT_FALSE(f.returnShown()) << "108 is still open";
    EXPECT_EQ(f.list().recNo(), 0) << "back on the first row";

    f.clock.advance(60 * 1000);
    f.zoomInto(108);
    EXPECT_EQ(f.rows(isinX), (QStringList{"107/107//", "108/107//D"}));
    EXPECT_EQ(f.count("ACT"), 2);
    EXPECT_TRUE(f.returnShown());
    EXPECT_EQ(f.listed(), QStringList{isinX + "/108/107"}) << "the list was read again";
    EXPECT_TRUE(f.prompter.texts.isEmpty()) << f.prompter.texts.join('\n').toStdString();
}

TEST(FinInstrTab, CancellingStillDecidesWhetherTheReturnIsShown) {
    TabFixture f;
    twoOpenRows(f);
    f.tab.showAfterCollectionChoice();
    // Both rows are decided elsewhere while the dialog is open.
    f.tab.chooseInstrument = [&f](const InstrumentChoice::Offer &) -> std::optional<QString> {
        f.t.exec("UPDATE DPATVP_SFVP SET SFVP_POROCANJE = 107");
        return std::nullopt;
    };
    f.zoomInto(108);
    EXPECT_TRUE(f.returnShown());
    EXPECT_EQ(f.count("ACT"), 0);
}

TEST(FinInstrTab, WhileTheCollectionWaitsThePageSaysWhatIsStillToChooseAndHowToReturn) {
    TabFixture f;
    twoOpenRows(f);
    f.tab.entered();
    EXPECT_TRUE(f.tab.lbIzbira->isHidden()) << "only while a collection waits";
    f.tab.showAfterCollectionChoice();
    ASSERT_FALSE(f.tab.lbIzbira->isHidden());
    EXPECT_TRUE(f.tab.lbIzbira->text().contains("ISIN: " + isinX + ".\n"))
        << f.tab.lbIzbira->text().toStdString();
    EXPECT_TRUE(f.tab.lbIzbira->text().contains(QString::fromUtf8("»Nazaj na nabor«")));
    // Cancelled, while the choice was made elsewhere.
    f.tab.chooseInstrument = [&f](const InstrumentChoice::Offer &) -> std::optional<QString> {
        f.t.exec("UPDATE DPATVP_SFVP SET SFVP_POROCANJE = 107");
        return std::nullopt;
    };
    f.zoomInto(108);
    EXPECT_TRUE(f.tab.lbIzbira->text().startsWith(
        QString::fromUtf8("Vsi finančni instrumenti so izbrani.")));
    f.tab.bNaborClick();
    EXPECT_TRUE(f.tab.lbIzbira->isHidden());
}

TEST(FinInstrTab, TheFilterDoesNotHideOpenChoicesFromTheReturn) {
    TabFixture f;
    twoOpenRows(f);
    f.host.instrument(200, "US0000000200");
    f.entry({.isin = "US0000000200", .hostInstrument = 200});
    f.tab.eISIN->setText("SI");
    f.tab.showAfterCollectionChoice();
    f.answers = {"107-VP107", "107-VP107"};
    f.zoomInto(107);
    f.clock.advance(60 * 1000);
    f.zoomInto(108);
    EXPECT_EQ(f.listed(), QStringList{isinX + "/108/107"});
    EXPECT_FALSE(f.returnShown()) << "US0000000200 still waits for its choice";
}

TEST(FinInstrTab, ARefusedChoiceShowsItsMessageAndWritesNothing) {
    TabFixture f;
    twoOpenRows(f);
    f.tab.entered();
    f.answers = {"VP107"};
    f.zoomInto(107);
    ASSERT_EQ(f.prompter.texts.size(), 1);
    EXPECT_TRUE(f.prompter.texts[0].contains("\"VP107\""));
    EXPECT_EQ(f.rows(isinX), (QStringList{"107///", "108///"}));
    EXPECT_FALSE(f.returnShown());
}

TEST(FinInstrTab, TheInstrumentDataAreThoseAfterThePeriodOfTheCollectionPage) {
    struct Case {
        bool periodEndGiven;
        QString mic;
    };
    for (const Case &c : {Case{false, "XNYS"}, Case{true, "xlju"}}) {
        TabFixture f;
        f.host.venue(30, "XNYS", "-05");
        f.host.instrument(107, isinX);
        f.host.exec("INSERT INTO KTC (SFKTC, SFVP, SFTRG, SfSgt, Dan, DanPrk) VALUES (1071, 107, "
                    "30, 'A', julianday('2012-01-01'), julianday('2014-04-01'))");
        f.entry({.isin = isinX, .hostInstrument = 107});
        f.state.collectedPeriod = "31.03.2014;31.03.2014";
        if (c.periodEndGiven)
            f.tab.setPeriodEnd([] { return QDate(2014, 4, 2); });
        f.tab.entered();
        f.answers = {"107-VP107"};
        f.zoomInto(107);
        EXPECT_EQ(f.t.scalar("select AII_MIC from DPATVP_SFVP").toString(), c.mic);
    }
}

TEST(FinInstrTab, TheReturnHidesItselfAndTellsTheWindow) {
    TabFixture f;
    QSignalSpy returned(&f.tab, &FinInstrTab::returnToCollection);
    f.tab.bNabor->setVisible(true);
    QTest::mouseClick(f.tab.bNabor, Qt::LeftButton);
    EXPECT_EQ(returned.count(), 1);
    EXPECT_FALSE(f.returnShown());
}

TEST(FinInstrTab, APageNotAttachedToARunDoesNothing) {
    FinInstrTab tab;
    QSignalSpy returned(&tab, &FinInstrTab::returnToCollection);
    tab.entered();
    tab.dbgDPATVP_SFVP->zoom();
    tab.bNaborClick();
    EXPECT_EQ(returned.count(), 0);
    EXPECT_EQ(tab.registerView(), nullptr);
}

TEST(FinInstrTab, TheCollectionsChoiceEndingReopensTheListAndHidesTheReturn) {
    TabFixture f;
    f.tab.entered();
    twoOpenRows(f);
    f.tab.bNabor->setVisible(true);
    f.tab.showAfterCollectionChoice();
    EXPECT_EQ(f.listed().size(), 2);
    EXPECT_FALSE(f.returnShown());
}

TEST(InstrumentChoiceDialog, ShowsTheRowAndPreselectsTheReportedInstrument) {
    struct Case {
        bool changing;
        QString preselected;
    };
    for (const Case &c : {Case{false, ""}, Case{true, "108-VP108"}}) {
        InstrumentChoiceDialog dialog;
        dialog.fill({isinX, {"107-VP107", "108-VP108"}, c.preselected, c.changing});
        EXPECT_EQ(dialog.windowTitle(), "Finančni instrument");
        EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize()) << "fixed size";
        EXPECT_EQ(dialog.eISIN->text(), isinX);
        EXPECT_FALSE(dialog.eISIN->isEnabled());
        EXPECT_EQ(dialog.lInternaIdent->text(), "Interna ident. instrumetna");
        EXPECT_EQ(dialog.lNovaInternaIdent->text(), "Nova interna ident. instrumenta");
        EXPECT_EQ(dialog.lInternaIdent->isVisibleTo(&dialog), !c.changing);
        EXPECT_EQ(dialog.lNovaInternaIdent->isVisibleTo(&dialog), c.changing);
        EXPECT_EQ(dialog.cbSFVP->count(), 2);
        EXPECT_TRUE(dialog.cbSFVP->isEditable());
        EXPECT_EQ(dialog.chosenText(), c.preselected);
        dialog.cbSFVP->setEditText("999-X");
        EXPECT_EQ(dialog.chosenText(), "999-X") << "typed text is taken";
    }
}

TEST(InstrumentChoiceDialog, OkAcceptsAndEscapeCancels) {
    InstrumentChoiceDialog dialog;
    EXPECT_EQ(dialog.OKBtn->text(), "V redu");
    EXPECT_TRUE(dialog.OKBtn->isDefault());
    EXPECT_EQ(dialog.CancelBtn->text(), "Prekliči");
    QSignalSpy accepted(&dialog, &QDialog::accepted);
    QSignalSpy rejected(&dialog, &QDialog::rejected);
    dialog.show();
    QTest::mouseClick(dialog.OKBtn, Qt::LeftButton);
    EXPECT_EQ(accepted.count(), 1);
    dialog.show();
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_EQ(rejected.count(), 1);
    dialog.show();
    QTest::mouseClick(dialog.CancelBtn, Qt::LeftButton);
    EXPECT_EQ(rejected.count(), 2);
}
} // namespace
