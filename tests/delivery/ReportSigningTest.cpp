// The signing run's rules of time, registration and delivery, with GnuPG stood in for.
#include "ReportSigning.h"
#include "DeliveryFixture.h"
#include "FakeProcessRunner.h"
#include "RapoError.h"
#include "ReportFileLists.h"

#include <QFile>
#include <QStandardPaths>
#include <gtest/gtest.h>

namespace {
using Credentials = ReportSigning::Credentials;

struct Signing : DeliveryFixture, ::testing::Test {
    // A folder of the program directory with a stand-in "gpg" that the fake runner never starts.
    QString gnupgFolder(const QString &name = "gnupg") {
        QDir(t.dir.path()).mkpath(name);
        QFile program(t.dir.path() + name + "/gpg");
        program.open(QIODevice::WriteOnly);
        return t.dir.path() + name + "/";
    }
    ReportSigning &signing() {
        if (!signing_)
            signing_ = std::make_unique<ReportSigning>(session(), runner);
        return *signing_;
    }
    QStringList sign(const QStringList &files) {
        return signing().signAndDeliver(Credentials{"Borzni posrednik", "geslo"}, files);
    }

    FakeProcessRunner runner;
    std::unique_ptr<ReportSigning> signing_;
};

TEST_F(Signing, TheUserNameAndThePassPhraseMustBothBeGiven) {
    struct Case {
        QString user, passPhrase;
        QStringList messages;
    };
    const std::vector<Case> cases{
        {"", "", {"Manjka Uporabnik!", "Manjka Geslo!"}},
        {"Borzni posrednik", "", {"Manjka Geslo!"}},
        {"", "geslo", {"Manjka Uporabnik!"}},
    };
    writeReport("TRDAT01_1.xml");
    for (const Case &c : cases) {
        prompter.texts.clear();
        signing().signAndDeliver(Credentials{c.user, c.passPhrase}, {"TRDAT01_1.xml"});
        EXPECT_EQ(prompter.texts, c.messages);
    }
    EXPECT_TRUE(runner.calls.empty());
}

TEST_F(Signing, ACancelledDialogSignsNothing) {
    writeReport("TRDAT01_1.xml");
    signing().signAndDeliver(std::nullopt, {"TRDAT01_1.xml"});
    EXPECT_TRUE(runner.calls.empty());
    EXPECT_TRUE(prompter.texts.isEmpty());
}

TEST_F(Signing, TheGnupgFolderIsFoundAsTheSettingsSay) {
    struct Case {
        const char *what;
        QString setting; // before the program directory is known: "<dir>" stands for it
        QString program; // the program run, empty when none
    };
    const QString searched = QStandardPaths::findExecutable("gpg");
    ASSERT_FALSE(searched.isEmpty()) << "gpg is installed";
    gnupgFolder("gnupg");
    host.report(1, QDate(2014, 4, 1), 1, QVariant());
    const QString dir = t.dir.path();
    const std::vector<Case> cases{
        {"empty: the search path", "", searched},
        {"a folder with its separator", dir + "gnupg/", dir + "gnupg/gpg"},
        {"without its separator", dir + "gnupg", ""},
        {"one leading backslash: inside the program directory", "\\gnupg\\", dir + "/gnupg/gpg"},
        {"two leading backslashes: a network path as it stands", "\\\\gnupg\\", ""},
        {"a folder without gpg", dir, ""},
    };
    writeReport("TRDAT01_1.xml");
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        configuration.gnupgPath = c.setting;
        prompter.texts.clear();
        runner.calls.clear();
        ReportSigning signing(session(), runner);
        signing.signAndDeliver(Credentials{"Borzni posrednik", "geslo"}, {"TRDAT01_1.xml"});
        if (c.program.isEmpty()) {
            EXPECT_TRUE(runner.calls.empty());
            EXPECT_EQ(prompter.texts,
                      QStringList{"Nastavitve za GnuPG niso Ok, preverite RAPO.ini!!"});
        } else {
            ASSERT_EQ(runner.calls.size(), 1u);
            EXPECT_EQ(QDir::cleanPath(runner.calls[0].program), QDir::cleanPath(c.program));
            EXPECT_TRUE(prompter.texts.isEmpty());
        }
        QFile::remove(xmlFile("TRDAT01_1.xml"));
        writeReport("TRDAT01_1.xml");
        host.exec("update DPATVP set DAN = null");
    }
}

TEST_F(Signing, AMissingGnupgStopsEachFileAndTheNextIsTried) {
    configuration.gnupgPath = t.dir.path() + "nikjer/";
    writeReport("TRDAT01_1.xml");
    writeReport("TRDAT01_2.xml");
    sign({"TRDAT01_1.xml", "TRDAT01_2.xml"});
    EXPECT_EQ(prompter.texts, QStringList(2, "Nastavitve za GnuPG niso Ok, preverite RAPO.ini!!"));
}

TEST_F(Signing, AnEarlierOutputAndGnupgsLogAreRemovedBeforeTheRun) {
    configuration.gnupgPath = gnupgFolder();
    host.report(1, QDate(2014, 4, 1), 1, QVariant());
    writeReport("TRDAT01_1.xml");
    QFile old(programFile("TRDAT01_1.sig"));
    old.open(QIODevice::WriteOnly);
    old.write("old");
    old.close();
    QFile log(t.dir.path() + "gnupg/gnupg.log");
    log.open(QIODevice::WriteOnly);
    log.close();

    sign({"TRDAT01_1.xml"});

    ASSERT_EQ(runner.calls.size(), 1u);
    EXPECT_FALSE(runner.calls[0].outputExisted);
    EXPECT_FALSE(QFile::exists(t.dir.path() + "gnupg/gnupg.log"));
    EXPECT_EQ(read(sigFile("TRDAT01_1.sig")), "signed");
}

TEST_F(Signing, ARunLongerThanItsTimeFailsAndALaterRunSignsAfresh) {
    host.report(1, QDate(2014, 4, 1), 1, QVariant());
    writeReport("TRDAT01_1.xml");
    runner.outcomes = {FakeProcessRunner::timeOut};

    sign({"TRDAT01_1.xml"});

    ASSERT_EQ(runner.calls.size(), 1u);
    EXPECT_EQ(runner.calls[0].timeoutMs, 5000);
    ASSERT_EQ(prompter.texts.size(), 1);
    EXPECT_TRUE(prompter.texts[0].startsWith("Napaka pri podpisovanju poročila!\r"));
    EXPECT_FALSE(sent(1, 1).isValid());
    EXPECT_FALSE(QFile::exists(programFile("TRDAT01_1.sig"))) << "no half message is left";
    EXPECT_TRUE(QFile::exists(programFile("TRDAT01_1.xml")));
    EXPECT_TRUE(QDir(sigServer.path()).isEmpty());

    // GnuPG wrote its output after all, late; the next run must not take it for its own.
    QFile late(programFile("TRDAT01_1.sig"));
    late.open(QIODevice::WriteOnly);
    late.write("late");
    late.close();
    prompter.texts.clear();
    sign({"TRDAT01_1.xml"});
    ASSERT_EQ(runner.calls.size(), 2u);
    EXPECT_FALSE(runner.calls[1].outputExisted);
    EXPECT_TRUE(prompter.texts.isEmpty());
    EXPECT_EQ(sent(1, 1), clock.now());
    EXPECT_EQ(read(sigFile("TRDAT01_1.sig")), "signed");
}

TEST_F(Signing, AFailedGnupgRunIsNotTakenForSigningEvenWithAnOutput) {
    struct Case {
        const char *what;
        std::function<ProcessResult(const FakeProcessRunner::Call &)> outcome;
        QString message;
    };
    const std::vector<Case> cases{
        {"an error and its words",
         [](const FakeProcessRunner::Call &call) {
             FakeProcessRunner::writeOutput(call);
             return FakeProcessRunner::fail("gpg: signing failed: Bad passphrase");
         },
         "Napaka pri podpisovanju poročila!\rgpg: signing failed: Bad passphrase"},
        {"ended well without an output",
         [](const FakeProcessRunner::Call &) {
             ProcessResult r;
             r.ending = ProcessResult::Ending::Finished;
             r.exitCode = 0;
             return r;
         },
         "Napaka pri podpisovanju poročila!"},
        {"not started",
         [](const FakeProcessRunner::Call &) {
             ProcessResult r;
             r.errorText = "Permission denied";
             return r;
         },
         "Napaka pri podpisovanju poročila!\rPermission denied"},
    };
    host.report(1, QDate(2014, 4, 1), 1, QVariant());
    writeReport("TRDAT01_1.xml");
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        prompter.texts.clear();
        runner.outcomes = {c.outcome};
        runner.calls.clear();
        sign({"TRDAT01_1.xml"});
        EXPECT_EQ(prompter.texts, QStringList{c.message});
        EXPECT_FALSE(sent(1, 1).isValid());
        EXPECT_FALSE(QFile::exists(programFile("TRDAT01_1.sig")));
        EXPECT_TRUE(QFile::exists(programFile("TRDAT01_1.xml")));
    }
}

TEST_F(Signing, AFailingFileDoesNotStopTheNext) {
    host.report(1, QDate(2014, 4, 1), 1, QVariant());
    host.report(2, QDate(2014, 4, 1), 2, QVariant());
    writeReport("TRDAT01_1.xml");
    writeReport("TRDAT01_2.xml");
    runner.outcomes = {[](const FakeProcessRunner::Call &) {
        return FakeProcessRunner::fail("gpg: no secret key");
    }};
    sign({"TRDAT01_1.xml", "TRDAT01_2.xml"});
    EXPECT_FALSE(sent(1, 1).isValid());
    EXPECT_EQ(sent(2, 2), clock.now());
    EXPECT_TRUE(QFile::exists(xmlFile("TRDAT01_2.xml")));
}

TEST_F(Signing, EveryRowOfTheFileIsMarkedSentAndNoOther) {
    host.report(1, QDate(2014, 4, 1), 1, QVariant());
    // A regenerated report of the same collection, in a file of its own (the register holds a
    // file name once).
    host.report(1, QDate(2014, 4, 1), 4, QVariant(), 3);
    host.report(2, QDate(2014, 4, 1), 2, QVariant());
    host.exec("update DPATVP set XML_FILE = 'trdat01_1.XML' where DPATVPID = 2");
    writeReport("TRDAT01_1.xml");

    sign({"TRDAT01_1.xml"});

    EXPECT_EQ(sent(1, 1), clock.now());
    EXPECT_FALSE(sent(1, 4).isValid()) << "another file of the collection";
    EXPECT_FALSE(sent(2, 2).isValid()) << "the name is compared exactly";
    EXPECT_EQ(count("select count(*) from ACT where Tbl = 'DPATVP' and SfAct = '^'"), 1);
}

TEST_F(Signing, ASentReportOrAnUnknownFileIsSignedOnlyWhenConfirmed) {
    const QDateTime first(QDate(2014, 4, 1), QTime(17, 0, 5));
    struct Case {
        const char *what;
        bool known;
        ReportSigning::Resigning resigning;
        QList<bool> answers;
        QString message;
        bool signs;
    };
    const QString resign = "Poročilo TRDAT01_1.xml je bilo poslano 01.04.2014 17:00:05. Ga res "
                           "želite ponovno podpisati in poslati?";
    const QString unknown = "Datoteke TRDAT01_1.xml ni v registru poročil. Jo vseeno podpišem in "
                            "dostavim? V registru ne bo označena kot poslana.";
    const std::vector<Case> cases{
        {"sent, No", true, ReportSigning::Resigning::Ask, {false}, resign, false},
        {"sent, Yes", true, ReportSigning::Resigning::Ask, {true}, resign, true},
        {"sent, without a window",
         true,
         ReportSigning::Resigning::Never,
         {},
         "Poročilo TRDAT01_1.xml je bilo že poslano 01.04.2014 17:00:05; brez okna ga ne "
         "podpišem znova.",
         false},
        {"unknown, No", false, ReportSigning::Resigning::Ask, {false}, unknown, false},
        {"unknown, Yes", false, ReportSigning::Resigning::Ask, {true}, unknown, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        host.exec("delete from DPATVP");
        for (const QString &f : {xmlFile("TRDAT01_1.xml"), sigFile("TRDAT01_1.sig")})
            QFile::remove(f);
        const QByteArray content = writeReport("TRDAT01_1.xml");
        if (c.known) {
            // Delivered when it was sent; a copy is in the program directory again.
            host.report(1, QDate(2014, 4, 1), 1, first);
            QFile::copy(programFile("TRDAT01_1.xml"), xmlFile("TRDAT01_1.xml"));
        }
        prompter.texts.clear();
        prompter.answers = c.answers;
        runner.calls.clear();
        ReportSigning signing(session(), runner, c.resigning);
        const QStringList delivered =
            signing.signAndDeliver(Credentials{"Borzni posrednik", "geslo"}, {"TRDAT01_1.xml"});
        EXPECT_EQ(prompter.texts, QStringList{c.message});
        EXPECT_EQ(runner.calls.size(), c.signs ? 1u : 0u);
        EXPECT_EQ(delivered, c.signs ? QStringList{"TRDAT01_1.xml"} : QStringList{});
        EXPECT_EQ(
            read(c.signs || c.known ? xmlFile("TRDAT01_1.xml") : programFile("TRDAT01_1.xml")),
            content);
        EXPECT_EQ(QFile::exists(programFile("TRDAT01_1.xml")), !c.signs);
        EXPECT_EQ(QFile::exists(sigFile("TRDAT01_1.sig")), c.signs);
        EXPECT_EQ(sent(1, 1), c.known ? first : QDateTime()) << "the first sending time stays";
        EXPECT_EQ(count("select count(*) from ACT"), 0);
    }
}

TEST_F(Signing, ARegisterFailureEndsTheRunWithNothingChanged) {
    host.report(1, QDate(2014, 4, 1), 1, QVariant());
    host.report(2, QDate(2014, 4, 1), 2, QVariant());
    host.exec("create trigger DPATVP_LOCKED before update on DPATVP "
              "begin select raise(abort, 'zaklenjeno'); end");
    writeReport("TRDAT01_1.xml");
    writeReport("TRDAT01_2.xml");

    try {
        sign({"TRDAT01_1.xml", "TRDAT01_2.xml"});
        FAIL() << "the run must end";
    } catch (const RapoError &e) {
        EXPECT_TRUE(e.message().startsWith("Napaka pri popravku v DPATVP!\r\n"))
            << e.message().toStdString();
        EXPECT_TRUE(e.message().contains("zaklenjeno")) << "the database's own words";
    }
    EXPECT_EQ(runner.calls.size(), 1u) << "the second file is not signed";
    EXPECT_EQ(count("select count(*) from ACT"), 0) << "rolled back";
    EXPECT_TRUE(QFile::exists(programFile("TRDAT01_1.xml")));
    EXPECT_TRUE(QDir(xmlServer.path()).isEmpty());
    EXPECT_TRUE(QDir(sigServer.path()).isEmpty());
}

TEST_F(Signing, AFailedDeliveryLeavesTheReportUnsent) {
    struct Case {
        const char *what;
        bool reportFolderMissing;
        QString message; // its start; the system's text follows
    };
    const QString missing = t.dir.path() + "ni_mape/";
    const std::vector<Case> cases{
        {"report folder missing", true,
         "Napaka pri kopiranju TRDAT01_1.xml file-a na " + missing + "TRDAT01_1.xml !\r"},
        {"signed folder missing", false,
         "Napaka pri kopiranju " + t.dir.path() + "TRDAT01_1.sig file-a na " + missing +
             "TRDAT01_1.sig !\r"},
    };
    host.report(1, QDate(2014, 4, 1), 1, QVariant());
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        configuration.xmlPathServer =
            c.reportFolderMissing ? missing : QDir(xmlServer.path()).absolutePath() + "/";
        configuration.sigPathServer =
            c.reportFolderMissing ? QDir(sigServer.path()).absolutePath() + "/" : missing;
        const QByteArray content = writeReport("TRDAT01_1.xml");
        prompter.texts.clear();
        ReportSigning signing(session(), runner);
        EXPECT_TRUE(
            signing.signAndDeliver(Credentials{"Borzni posrednik", "geslo"}, {"TRDAT01_1.xml"})
                .isEmpty());
        ASSERT_EQ(prompter.texts.size(), 1);
        EXPECT_TRUE(prompter.texts[0].startsWith(c.message)) << prompter.texts[0].toStdString();
        EXPECT_TRUE(prompter.texts[0].endsWith(
            "\r\nPoročilo ostaja neposlano; datoteki TRDAT01_1.xml in TRDAT01_1.sig sta ostali v "
            "programski mapi."))
            << prompter.texts[0].toStdString();
        EXPECT_FALSE(sent(1, 1).isValid());
        EXPECT_EQ(read(programFile("TRDAT01_1.xml")), content);
        EXPECT_EQ(read(programFile("TRDAT01_1.sig")), "signed");
        EXPECT_TRUE(QDir(sigServer.path()).isEmpty()) << "no signed file of an unsent report";
        EXPECT_EQ(count("select count(*) from ACT where Tbl = 'DPATVP' and SfAct = '^'"), 2)
            << "marked, then the mark taken back";
        host.exec("delete from ACT");
        for (const QString &f : {xmlFile("TRDAT01_1.xml"), programFile("TRDAT01_1.sig")})
            QFile::remove(f);
    }
}

TEST_F(Signing, AReportMarkedSentButNotDeliveredIsDeliveredByTheNextRun) {
    const QDateTime marked(QDate(2014, 4, 1), QTime(17, 0, 5));
    host.report(1, QDate(2014, 4, 1), 1, marked);
    host.report(2, QDate(2014, 4, 1), 2, QVariant());
    const QByteArray content = writeReport("TRDAT01_1.xml");
    QFile sig(programFile("TRDAT01_1.sig"));
    ASSERT_TRUE(sig.open(QIODevice::WriteOnly));
    sig.write("signed before the stop");
    sig.close();
    writeReport("TRDAT01_2.xml");
    EXPECT_EQ(ReportFileLists::undelivered(session()), QStringList{"TRDAT01_1.xml"});

    EXPECT_EQ(sign({}), QStringList{"TRDAT01_1.xml"});

    EXPECT_TRUE(runner.calls.empty()) << "delivered as it was signed";
    EXPECT_TRUE(prompter.texts.isEmpty()) << prompter.texts.join(" | ").toStdString();
    EXPECT_EQ(read(xmlFile("TRDAT01_1.xml")), content);
    EXPECT_EQ(read(sigFile("TRDAT01_1.sig")), "signed before the stop");
    EXPECT_FALSE(QFile::exists(programFile("TRDAT01_1.xml")));
    EXPECT_FALSE(QFile::exists(programFile("TRDAT01_1.sig")));
    EXPECT_EQ(sent(1, 1), marked);
    EXPECT_TRUE(QFile::exists(programFile("TRDAT01_2.xml"))) << "an unsent report waits";
    EXPECT_TRUE(ReportFileLists::undelivered(session()).isEmpty());
}

TEST_F(Signing, DeliveryFoldersWithoutSeparatorStillReceiveTheFiles) {
    configuration.xmlPathServer = QDir(xmlServer.path()).absolutePath();
    configuration.sigPathServer = QDir(sigServer.path()).absolutePath();
    host.report(1, QDate(2014, 4, 1), 1, QVariant());
    const QByteArray content = writeReport("TRDAT01_1.xml");

    sign({"TRDAT01_1.xml"});

    EXPECT_TRUE(prompter.texts.isEmpty()) << prompter.texts.join(" | ").toStdString();
    EXPECT_EQ(read(xmlFile("TRDAT01_1.xml")), content);
    EXPECT_EQ(read(sigFile("TRDAT01_1.sig")), "signed");
    EXPECT_EQ(signing().reportFolder(), configuration.xmlPathServer + "/");
    EXPECT_EQ(signing().signedFolder(), configuration.sigPathServer + "/");
}

TEST_F(Signing, ADeliveryFolderCopiesOverAnEarlierFile) {
    host.report(1, QDate(2014, 4, 1), 1, QVariant());
    const QByteArray content = writeReport("TRDAT01_1.xml");
    QFile earlier(xmlFile("TRDAT01_1.xml"));
    earlier.open(QIODevice::WriteOnly);
    earlier.write("earlier copy");
    earlier.close();
    sign({"TRDAT01_1.xml"});
    EXPECT_EQ(read(xmlFile("TRDAT01_1.xml")), content);
}

TEST_F(Signing, WithoutDeliveryFoldersOrWithTheProgramDirectoryBothFilesStay) {
    struct Case {
        const char *what;
        QString folder;
    };
    const std::vector<Case> cases{
        {"empty settings", ""},
        {"the program directory", t.dir.path()},
        {"the program directory without separator", QDir(t.dir.path()).absolutePath()}};
    host.report(1, QDate(2014, 4, 1), 1, QVariant());
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        configuration.xmlPathServer = c.folder;
        configuration.sigPathServer = c.folder;
        prompter.texts.clear();
        host.exec("update DPATVP set DAN = null");
        const QByteArray content = writeReport("TRDAT01_1.xml");
        ReportSigning signing(session(), runner);
        signing.signAndDeliver(Credentials{"Borzni posrednik", "geslo"}, {"TRDAT01_1.xml"});
        EXPECT_TRUE(prompter.texts.isEmpty()) << prompter.texts.join(" | ").toStdString();
        EXPECT_EQ(read(programFile("TRDAT01_1.xml")), content);
        EXPECT_EQ(read(programFile("TRDAT01_1.sig")), "signed");
        EXPECT_EQ(sent(1, 1), clock.now());
    }
}

TEST_F(Signing, TheDeliveryFlagIsOffForEmirFilesInAnyLetterCase) {
    const std::vector<std::pair<QString, bool>> cases{
        {"TRDAT01_5842735000_0002_14.xml", true},
        {"EMIR001_1.xml", false},
        {"emir001_1.xml", false},
        {"eMiR.xml", false},
        {"EMI.xml", true},
        {"XEMIR.xml", true},
    };
    for (const auto &[name, deliver] : cases)
        EXPECT_EQ(ReportSigning::deliveryFlag(name), deliver) << name.toStdString();
}
} // namespace
