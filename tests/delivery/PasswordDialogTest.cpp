#include "PasswordDialog.h"
#include "Configuration.h"
#include "ScriptedPrompter.h"
#include "TempProgramDirectory.h"
#include "Windows1250.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <gtest/gtest.h>

namespace {
// A site's configuration, with comments, other sections and the Windows-1250 "š".
const QString siteIni = QString::fromUtf8("; RAPO nastavitve podjetja\r\n"
                                          "[GnuPG]\r\n"
                                          "; mapa programa\r\n"
                                          "Path=C:\\GnuPG\\\r\n"
                                          "User=Stari Uporabnik\r\n"
                                          "PassPhrase=616263\r\n"
                                          "\r\n"
                                          "[Splošno]\r\n"
                                          "Tip=ORACLE // ORACLE ali DB2\r\n"
                                          "ATVP_Uporabnik=ATVP-NTRS\r\n"
                                          "XMLPath_Server=\\\\streznik\\xml // kopije\r\n"
                                          "[Trzisce]\r\n"
                                          "DMC_2=LK\r\n");

QByteArray fileBytes(const TempProgramDirectory &dir) {
    QFile f(dir.file("RAPO.ini"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The site's file with the two values of GnuPG as given.
QByteArray siteWith(const QString &user, const QString &stored) {
    QString text = siteIni;
    text.replace("User=Stari Uporabnik\r\n", "User=" + user + "\r\n");
    text.replace("PassPhrase=616263\r\n", "PassPhrase=" + stored + "\r\n");
    return Windows1250::encode(text);
}

TEST(PasswordDialog, IsFilledWithTheRememberedValues) {
    struct Case {
        QString user, passPhrase;
        bool userChecked, passPhraseChecked;
    };
    const std::vector<Case> cases{{"", "", false, false},
                                  {"Borzni posrednik", "", true, false},
                                  {"", "geslo", false, true},
                                  {"Borzni posrednik", "geslo", true, true}};
    ScriptedPrompter prompter;
    for (const Case &c : cases) {
        PasswordDialog dialog("/nikjer/", prompter);
        dialog.fill(c.user, c.passPhrase);
        EXPECT_EQ(dialog.eKorisnik->text(), c.user);
        EXPECT_EQ(dialog.ePassPhrase->text(), c.passPhrase);
        EXPECT_EQ(dialog.cbZapomniK->isChecked(), c.userChecked);
        EXPECT_EQ(dialog.cbZapomniP->isChecked(), c.passPhraseChecked);
    }
}

TEST(PasswordDialog, LooksAsTheClerkKnowsIt) {
    ScriptedPrompter prompter;
    PasswordDialog dialog("/nikjer/", prompter);
    EXPECT_EQ(dialog.windowTitle(), QString("Elektronski podpis"));
    EXPECT_EQ(dialog.OKBtn->text(), QString("V redu"));
    EXPECT_TRUE(dialog.OKBtn->isDefault());
    EXPECT_EQ(dialog.CancelBtn->text(), QString::fromUtf8("Prekliči"));
    EXPECT_EQ(dialog.cbZapomniK->text(), QString("Zapomni uporabnika"));
    EXPECT_EQ(dialog.cbZapomniP->text(), QString("Zapomni geslo"));
    EXPECT_EQ(dialog.ePassPhrase->echoMode(), QLineEdit::Password);
    EXPECT_EQ(dialog.ePassPhrase->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr,
                                                     dialog.ePassPhrase),
              int(u'*'));
    EXPECT_EQ(dialog.eKorisnik->nextInFocusChain(), dialog.ePassPhrase);
    dialog.show();
    const QSize size = dialog.size();
    EXPECT_EQ(dialog.minimumSize(), size);
    EXPECT_EQ(dialog.maximumSize(), size);
}

TEST(PasswordDialog, APassPhraseBeyondSevenBitsRoundTripsAndTheRestOfTheFileStays) {
    TempProgramDirectory dir;
    dir.writeWindows1250("RAPO.ini", siteIni);
    QFile::setPermissions(dir.file("RAPO.ini"), QFile::ReadOwner | QFile::WriteOwner);
    const QString phrase = QString::fromUtf8("Šifra čžš ĐŽ € ß ä 1!");
    ScriptedPrompter prompter;
    PasswordDialog dialog(dir.path(), prompter);
    dialog.fill("Stari Uporabnik", "abc");
    dialog.eKorisnik->setText(QString::fromUtf8("Borzni posrednik Čeh"));
    dialog.ePassPhrase->setText(phrase);
    dialog.OKBtn->click();

    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(prompter.texts.isEmpty()) << prompter.texts.join(" | ").toStdString();
    const Configuration c = Configuration::read(dir.path());
    EXPECT_EQ(c.passPhrase, phrase);
    EXPECT_EQ(c.gnupgUser, QString::fromUtf8("Borzni posrednik Čeh"));
    // Each character one 8-bit code, two upper-case digits: "Š" is 8A, "€" is 80.
    EXPECT_EQ(fileBytes(dir), siteWith(QString::fromUtf8("Borzni posrednik Čeh"),
                                       "8A6966726120E89E9A20D08E208020DF20E4203121"));
}

TEST(PasswordDialog, UncheckedValuesAreStoredEmpty) {
    struct Case {
        bool rememberUser, rememberPassPhrase;
        QString user, stored;
    };
    const std::vector<Case> cases{{false, false, "", ""},
                                  {true, false, "Novak", ""},
                                  {false, true, "", "787978"},
                                  {true, true, "Novak", "787978"}};
    for (const Case &c : cases) {
        TempProgramDirectory dir;
        dir.writeWindows1250("RAPO.ini", siteIni);
        ScriptedPrompter prompter;
        PasswordDialog dialog(dir.path(), prompter);
        dialog.fill("Stari Uporabnik", "abc");
        dialog.eKorisnik->setText("Novak");
        dialog.ePassPhrase->setText("xyx");
        dialog.cbZapomniK->setChecked(c.rememberUser);
        dialog.cbZapomniP->setChecked(c.rememberPassPhrase);
        dialog.OKBtn->click();
        EXPECT_EQ(fileBytes(dir), siteWith(c.user, c.stored));
        // What was entered is used now, whatever is remembered.
        EXPECT_EQ(dialog.user(), "Novak");
        EXPECT_EQ(dialog.passPhrase(), "xyx");
    }
}

TEST(PasswordDialog, TheSameRunStillProposesThePassPhraseReadAtStartUp) {
    TempProgramDirectory dir;
    dir.writeWindows1250("RAPO.ini", siteIni);
    const Configuration atStart = Configuration::read(dir.path());
    ScriptedPrompter prompter;
    {
        PasswordDialog dialog(dir.path(), prompter);
        dialog.fill(atStart.gnupgUser, atStart.passPhrase);
        dialog.cbZapomniP->setChecked(false);
        dialog.OKBtn->click();
    }
    EXPECT_TRUE(Configuration::read(dir.path()).passPhrase.isEmpty());
    PasswordDialog again(dir.path(), prompter);
    again.fill(atStart.gnupgUser, atStart.passPhrase);
    EXPECT_EQ(again.ePassPhrase->text(), "abc");
    EXPECT_TRUE(again.cbZapomniP->isChecked());
}

TEST(PasswordDialog, CancelWritesNothing) {
    TempProgramDirectory dir;
    dir.writeWindows1250("RAPO.ini", siteIni);
    ScriptedPrompter prompter;
    PasswordDialog dialog(dir.path(), prompter);
    dialog.fill("", "");
    dialog.eKorisnik->setText("Novak");
    dialog.CancelBtn->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(fileBytes(dir), Windows1250::encode(siteIni));
}

// A RAPO.ini that only its owner reads stays so; a stored pass phrase that others can read is
// said.
TEST(PasswordDialog, ThePassPhraseFilesPermissionsAreKeptAndOthersReadingIsSaid) {
    const auto ownerOnly = QFile::ReadOwner | QFile::WriteOwner;
    const QString said = QString::fromUtf8("tudi drugi uporabniki");
    for (const bool privateFile : {true, false}) {
        SCOPED_TRACE(privateFile ? "owner only" : "readable by others");
        TempProgramDirectory dir;
        dir.writeWindows1250("RAPO.ini", siteIni);
        const QFile::Permissions before =
            privateFile ? ownerOnly : ownerOnly | QFile::ReadGroup | QFile::ReadOther;
        ASSERT_TRUE(QFile::setPermissions(dir.file("RAPO.ini"), before));
        ScriptedPrompter prompter;
        PasswordDialog dialog(dir.path(), prompter);
        dialog.fill("Stari Uporabnik", "abc");
        dialog.OKBtn->click();
        EXPECT_EQ(fileBytes(dir), siteWith("Stari Uporabnik", "616263"));
        EXPECT_EQ(QFile::permissions(dir.file("RAPO.ini")) & ~(QFile::ReadUser | QFile::WriteUser),
                  before & ~(QFile::ReadUser | QFile::WriteUser));
        EXPECT_EQ(prompter.texts.join('\n').contains(said), !privateFile)
            << prompter.texts.join('\n').toStdString();
    }
}

TEST(PasswordDialog, APassPhraseTheFileCannotHoldIsNotRemembered) {
    TempProgramDirectory dir;
    dir.writeWindows1250("RAPO.ini", siteIni);
    ScriptedPrompter prompter;
    PasswordDialog dialog(dir.path(), prompter);
    dialog.fill("Stari Uporabnik", "abc");
    dialog.ePassPhrase->setText(QString::fromUtf8("пароль"));
    dialog.OKBtn->click();
    EXPECT_EQ(prompter.texts.size(), 1);
    EXPECT_EQ(fileBytes(dir), siteWith("Stari Uporabnik", ""));
    EXPECT_EQ(dialog.passPhrase(), QString::fromUtf8("пароль")) << "still used for this run";
}
} // namespace
