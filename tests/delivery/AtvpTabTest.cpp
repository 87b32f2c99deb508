#include "AtvpTab.h"
#include "DeliveryFixture.h"
#include "FakeProcessRunner.h"
#include "PasswordDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {
struct AtvpPage : DeliveryFixture, ::testing::Test {
    AtvpPage() { page.attach(session(), &runner); }

    QStringList unsent() const { return sorted(AtvpTab::fileNames(page.lbNeposlana)); }
    // "name" or "name+" for a marked entry.
    QStringList signedList() const {
        QStringList out;
        for (int i = 0; i < page.clbPoslana->count(); ++i) {
            const QListWidgetItem *item = page.clbPoslana->item(i);
            out << item->text() + (item->checkState() == Qt::Checked ? "+" : "");
        }
        return sorted(out);
    }
    void select(const QString &name) {
        const int row = AtvpTab::fileNames(page.lbNeposlana).indexOf(name);
        ASSERT_GE(row, 0);
        page.lbNeposlana->item(row)->setSelected(true);
    }
    // Presses the sign button and answers the dialog once it shows.
    void signThroughTheDialog(const QString &user, const QString &passPhrase, bool ok) {
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<PasswordDialog *>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            shownUser = dialog->eKorisnik->text();
            dialog->eKorisnik->setText(user);
            dialog->ePassPhrase->setText(passPhrase);
            dialog->cbZapomniK->setChecked(false);
            dialog->cbZapomniP->setChecked(false);
            (ok ? dialog->OKBtn : dialog->CancelBtn)->click();
        });
        page.bSign->click();
    }

    FakeProcessRunner runner;
    AtvpTab page;
    QString shownUser;
};

TEST_F(AtvpPage, EnteringThePageListsUnsentAndSignedFilesWithTheirMarks) {
    host.report(1, QDate(2014, 3, 28), 1, QDateTime(QDate(2014, 3, 31), QTime(9, 0)));
    host.report(2, QDate(2014, 3, 31), 2, QVariant());
    for (const char *name : {"TRDAT01_2.xml", "EMIR001_1.xml", "zapis.txt"})
        touch(programFile(name));
    for (const char *name : {"TRDAT01_1.sig", "TRDAT01_2.sig"})
        touch(sigFile(name));

    page.entered();

    EXPECT_EQ(unsent(), sorted({"TRDAT01_2.xml", "EMIR001_1.xml"}));
    EXPECT_EQ(signedList(), sorted({"TRDAT01_1.sig+", "TRDAT01_2.sig"}));
    for (int i = 0; i < page.clbPoslana->count(); ++i) {
        const Qt::ItemFlags flags = page.clbPoslana->item(i)->flags();
        EXPECT_FALSE(flags & Qt::ItemIsEnabled) << "no mark can be changed";
        EXPECT_FALSE(flags & Qt::ItemIsUserCheckable);
    }
}

TEST_F(AtvpPage, UnsentFilesAreSortedByNameAndSayWhatTheRegisterHoldsOfThem) {
    host.report(1, QDate(2014, 3, 28), 1, QVariant(), 0);
    host.report(4, QDate(2014, 3, 31), 3, QVariant(), 3);
    for (const char *name : {"TRDAT01_9.xml", "TRDAT01_4.xml", "EMIR001_1.xml", "trdat01_1.xml"})
        touch(programFile(name));

    page.entered();

    EXPECT_EQ(
        AtvpTab::entries(page.lbNeposlana),
        QStringList({"EMIR001_1.xml", "trdat01_1.xml  \u2014 Generirano, dan poročanja 28.03.2014",
                     "TRDAT01_4.xml  \u2014 Ponovno generirano, dan poročanja 31.03.2014",
                     "TRDAT01_9.xml  \u2014 ni v registru"}));
    EXPECT_EQ(AtvpTab::fileNames(page.lbNeposlana),
              QStringList({"EMIR001_1.xml", "trdat01_1.xml", "TRDAT01_4.xml", "TRDAT01_9.xml"}));
}

TEST_F(AtvpPage, AReportMarkedSentButNotDeliveredSaysSoAndIsDeliveredBySigning) {
    host.report(1, QDate(2014, 3, 28), 1, QDateTime(QDate(2014, 3, 31), QTime(9, 0)));
    host.report(2, QDate(2014, 3, 31), 2, QVariant());
    for (const char *name : {"TRDAT01_1.xml", "TRDAT01_1.sig", "TRDAT01_2.xml"})
        touch(programFile(name));

    page.entered();

    EXPECT_EQ(AtvpTab::entries(page.lbNeposlana),
              QStringList({"TRDAT01_1.xml  \u2014 Generirano, dan poročanja 28.03.2014, poslano "
                           "31.03.2014 09:00, ni dostavljeno",
                           "TRDAT01_2.xml  \u2014 Generirano, dan poročanja 31.03.2014"}));
    select("TRDAT01_2.xml");
    signThroughTheDialog("Borzni posrednik", "geslo", true);
    EXPECT_TRUE(prompter.texts.isEmpty()) << prompter.texts.join(" | ").toStdString();
    EXPECT_EQ(runner.calls.size(), 1u) << "only the selected report is signed";
    EXPECT_TRUE(unsent().isEmpty());
    for (const char *name : {"TRDAT01_1.xml", "TRDAT01_2.xml"})
        EXPECT_TRUE(QFile::exists(xmlFile(name))) << name;
    EXPECT_EQ(signedList(), sorted({"TRDAT01_1.sig+", "TRDAT01_2.sig+"}));
}

TEST_F(AtvpPage, EachRefreshButtonReloadsItsOwnList) {
    page.entered();
    touch(programFile("TRDAT01_1.xml"));
    touch(sigFile("TRDAT01_0.sig"));

    page.bbNeposlano->click();
    EXPECT_EQ(unsent(), QStringList{"TRDAT01_1.xml"});
    EXPECT_TRUE(signedList().isEmpty());

    page.bbPodpisana->click();
    EXPECT_EQ(signedList(), QStringList{"TRDAT01_0.sig"});
}

TEST_F(AtvpPage, ShowingThePageReloadsTheUnsentListOnly) {
    page.entered();
    touch(programFile("TRDAT01_1.xml"));
    touch(sigFile("TRDAT01_0.sig"));
    page.show();
    EXPECT_EQ(unsent(), QStringList{"TRDAT01_1.xml"});
    EXPECT_TRUE(signedList().isEmpty());
}

TEST_F(AtvpPage, SigningMovesTheReportAndMarksItsSignedFile) {
    configuration.gnupgUser = "Borzni posrednik";
    host.report(1, QDate(2014, 3, 28), 1, QVariant());
    touch(programFile("TRDAT01_1.xml"));
    touch(programFile("EMIR001_1.xml"));
    page.entered();
    select("TRDAT01_1.xml");

    signThroughTheDialog("Borzni posrednik", "geslo", true);

    EXPECT_EQ(shownUser, "Borzni posrednik") << "the remembered user is proposed";
    EXPECT_TRUE(prompter.texts.isEmpty()) << prompter.texts.join(" | ").toStdString();
    ASSERT_EQ(runner.calls.size(), 1u);
    EXPECT_EQ(runner.calls[0].inputPath(), programFile("TRDAT01_1.xml"));
    EXPECT_EQ(unsent(), QStringList{"EMIR001_1.xml"});
    EXPECT_EQ(signedList(), QStringList{"TRDAT01_1.sig+"});
    EXPECT_TRUE(page.bSign->isEnabled());

    // An EMIR file is signed but stays, unlisted among the sent.
    select("EMIR001_1.xml");
    signThroughTheDialog("Borzni posrednik", "geslo", true);
    EXPECT_EQ(unsent(), QStringList{"EMIR001_1.xml"});
    EXPECT_EQ(signedList(), QStringList{"TRDAT01_1.sig+"});
    EXPECT_TRUE(QFile::exists(programFile("EMIR001_1.sig")));
}

TEST_F(AtvpPage, ACancelledDialogSignsNothingButReloadsTheLists) {
    touch(programFile("TRDAT01_1.xml"));
    page.entered();
    select("TRDAT01_1.xml");
    touch(programFile("TRDAT01_2.xml"));
    touch(sigFile("TRDAT01_0.sig"));

    signThroughTheDialog("Borzni posrednik", "geslo", false);

    EXPECT_TRUE(runner.calls.empty());
    EXPECT_EQ(unsent(), sorted({"TRDAT01_1.xml", "TRDAT01_2.xml"}));
    EXPECT_EQ(signedList(), QStringList{"TRDAT01_0.sig"});
}

TEST_F(AtvpPage, MissingCredentialsAreToldAndNothingIsSigned) {
    touch(programFile("TRDAT01_1.xml"));
    page.entered();
    select("TRDAT01_1.xml");
    signThroughTheDialog("", "", true);
    EXPECT_EQ(prompter.texts, (QStringList{"Manjka Uporabnik!", "Manjka Geslo!"}));
    EXPECT_TRUE(runner.calls.empty());
}

TEST_F(AtvpPage, ARegisterFailureIsShownAndTheListsStayAsTheyWere) {
    host.report(1, QDate(2014, 3, 28), 1, QVariant());
    host.exec("create trigger DPATVP_LOCKED before update on DPATVP "
              "begin select raise(abort, 'zaklenjeno'); end");
    touch(programFile("TRDAT01_1.xml"));
    page.entered();
    select("TRDAT01_1.xml");

    signThroughTheDialog("Borzni posrednik", "geslo", true);

    ASSERT_EQ(prompter.texts.size(), 1);
    EXPECT_TRUE(prompter.texts[0].startsWith("Napaka pri popravku v DPATVP!\r\nzaklenjeno"))
        << prompter.texts[0].toStdString();
    EXPECT_EQ(unsent(), QStringList{"TRDAT01_1.xml"});
    EXPECT_TRUE(signedList().isEmpty());
    EXPECT_TRUE(page.bSign->isEnabled());
}

TEST_F(AtvpPage, AnUnreadableRegisterLeavesTheSignedListWithoutMarks) {
    touch(sigFile("TRDAT01_1.sig"));
    host.exec("drop table DPATVP");
    page.bbPodpisana->click();
    EXPECT_EQ(signedList(), QStringList{"TRDAT01_1.sig"});
    ASSERT_EQ(prompter.texts.size(), 1);
    EXPECT_FALSE(page.clbPoslana->item(0)->flags() & Qt::ItemIsUserCheckable);
}

TEST_F(AtvpPage, TheValidationErrorAreaShowsAndHides) {
    page.show();
    page.showValidationError("/pot/TRDAT01_1.bad", "12,napaka");
    EXPECT_TRUE(page.mXMLNapake->isVisible());
    EXPECT_EQ(page.eXMLFile->text(), "/pot/TRDAT01_1.bad");
    EXPECT_EQ(page.mXMLNapake->toPlainText(), "12,napaka");
    page.hideValidationError();
    EXPECT_FALSE(page.mXMLNapake->isVisible());
    EXPECT_FALSE(page.Label1->isVisible());
}

TEST(AtvpPageUnattached, DoesNothingBeforeItIsAttached) {
    AtvpTab page;
    page.entered();
    EXPECT_FALSE(page.bSign->isEnabled());
    EXPECT_EQ(page.lbNeposlana->count(), 0);
}
} // namespace
