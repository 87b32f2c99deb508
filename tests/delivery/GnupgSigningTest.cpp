// Signing runs of the real GnuPG, in throw-away homes with the brokerage's and the regulator's
// keys.
#include "DeliveryFixture.h"
#include "GnupgHomes.h"
#include "QProcessRunner.h"
#include "ReportSigning.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {
const QString passPhrase = QString::fromUtf8("Geslo za ŠČŽ in €");

// Passes every run on to the real runner, keeping what it was given.
class RecordingRunner : public ProcessRunner {
public:
    explicit RecordingRunner(ProcessRunner &real) : real_(real) {}
    ProcessResult run(const QString &program, const QStringList &arguments, const QByteArray &input,
                      int timeoutMs) override {
        programs << program;
        arguments_ << arguments;
        inputs << input;
        timeouts << timeoutMs;
        return real_.run(program, arguments, input, timeoutMs);
    }
    QStringList programs;
    QList<QStringList> arguments_;
    QList<QByteArray> inputs;
    QList<int> timeouts;

private:
    ProcessRunner &real_;
};

struct GnupgSigning : DeliveryFixture, ::testing::Test {
    GnupgSigning() : homes(passPhrase), real(eventLoop, systemClock), runner(real) {}

    void SetUp() override { ASSERT_TRUE(homes.ready()) << "no GnuPG keys could be generated"; }

    void sign(const QStringList &files, const QString &phrase = passPhrase) {
        ReportSigning signing(session(), runner);
        signing.signAndDeliver(ReportSigning::Credentials{GnupgHomes::brokerageUser, phrase},
                               files);
    }

    GnupgHomes homes;
    // GnuPG runs in real time; the register's times come from the fixture's clock.
    EventLoopWaiter eventLoop;
    SystemClock systemClock;
    QProcessRunner real;
    RecordingRunner runner;
};

TEST_F(GnupgSigning, AReportIsSignedForTheRegulatorRegisteredAndDelivered) {
    host.report(7, QDate(2014, 4, 1), 3, QVariant());
    const QByteArray content = writeReport("TRDAT01_7.xml");

    sign({"TRDAT01_7.xml"});

    EXPECT_TRUE(prompter.texts.isEmpty()) << prompter.texts.join(" | ").toStdString();
    EXPECT_EQ(sent(7, 3), clock.now()) << "registered in the same step";
    EXPECT_EQ(count("select count(*) from ACT where Tbl = 'DPATVP' and SfAct = '^'"), 1);

    EXPECT_EQ(read(xmlFile("TRDAT01_7.xml")), content);
    ASSERT_TRUE(QFile::exists(sigFile("TRDAT01_7.sig")));
    EXPECT_FALSE(QFile::exists(programFile("TRDAT01_7.xml")));
    EXPECT_FALSE(QFile::exists(programFile("TRDAT01_7.sig")));

    const GnupgHomes::Opened opened = homes.openAsRegulator(sigFile("TRDAT01_7.sig"));
    EXPECT_TRUE(opened.decrypted) << opened.status.toStdString();
    EXPECT_EQ(opened.text, content);
    EXPECT_TRUE(opened.status.contains("[GNUPG:] VALIDSIG " + homes.brokerageFingerprint))
        << opened.status.toStdString();
}

TEST_F(GnupgSigning, ThePassPhraseReachesGnupgOnlyOnItsStandardInput) {
    host.report(8, QDate(2014, 4, 1), 4, QVariant());
    writeReport("TRDAT01_8.xml");
    sign({"TRDAT01_8.xml"});

    ASSERT_EQ(runner.arguments_.size(), 1);
    const QStringList &arguments = runner.arguments_[0];
    for (const QString &argument : arguments)
        EXPECT_FALSE(argument.contains(passPhrase)) << argument.toStdString();
    EXPECT_FALSE(runner.programs[0].contains(passPhrase));
    EXPECT_EQ(runner.inputs[0], passPhrase.toUtf8() + '\n');
    EXPECT_EQ(runner.timeouts[0], 5000);
    // The items of the command in their order, the pass phrase read from standard input.
    const QStringList expected{"--batch",
                               "--yes",
                               "--output",
                               programFile("TRDAT01_8.sig"),
                               "--sign",
                               "--local-user",
                               GnupgHomes::brokerageUser,
                               "--pinentry-mode",
                               "loopback",
                               "--passphrase-fd",
                               "0",
                               "--encrypt",
                               "--recipient",
                               "ATVP-NTRS",
                               "--always-trust",
                               programFile("TRDAT01_8.xml")};
    EXPECT_EQ(arguments, expected);
    EXPECT_TRUE(QFile::exists(sigFile("TRDAT01_8.sig"))) << "and GnuPG signed with it";
}

TEST_F(GnupgSigning, AWrongPassPhraseLeavesNothingRegisteredAndTheReportInPlace) {
    host.report(7, QDate(2014, 4, 1), 3, QVariant());
    const QByteArray content = writeReport("TRDAT01_7.xml");

    sign({"TRDAT01_7.xml"}, "napačno geslo");

    ASSERT_EQ(prompter.texts.size(), 1);
    EXPECT_TRUE(prompter.texts[0].startsWith("Napaka pri podpisovanju poročila!\r"))
        << prompter.texts[0].toStdString();
    EXPECT_TRUE(prompter.texts[0].contains("Bad passphrase")) << "GnuPG's own words follow";
    EXPECT_FALSE(sent(7, 3).isValid());
    EXPECT_EQ(count("select count(*) from ACT"), 0);
    EXPECT_EQ(read(programFile("TRDAT01_7.xml")), content);
    EXPECT_FALSE(QFile::exists(programFile("TRDAT01_7.sig")));
    EXPECT_TRUE(QDir(xmlServer.path()).isEmpty());
    EXPECT_TRUE(QDir(sigServer.path()).isEmpty());
}

TEST_F(GnupgSigning, AnUnknownRecipientIsToldInGnupgsWords) {
    configuration.atvpUporabnik = "Nepoznan <nihce@example.org>";
    host.report(7, QDate(2014, 4, 1), 3, QVariant());
    writeReport("TRDAT01_7.xml");

    sign({"TRDAT01_7.xml"});

    ASSERT_EQ(prompter.texts.size(), 1);
    EXPECT_TRUE(prompter.texts[0].startsWith("Napaka pri podpisovanju poročila!\r"));
    EXPECT_TRUE(prompter.texts[0].contains("nihce@example.org")) << prompter.texts[0].toStdString();
    EXPECT_FALSE(prompter.texts[0].contains("Bad passphrase"));
    EXPECT_TRUE(QFile::exists(programFile("TRDAT01_7.xml")));
}

TEST_F(GnupgSigning, EmirFilesAreSignedButNeitherRegisteredNorMoved) {
    for (const QString name : {"EMIR001_20140402_1.xml", "emir001_2.xml", "Emir_3.xml"}) {
        SCOPED_TRACE(name.toStdString());
        // A register row of that name must stay as it is.
        host.exec("insert into DPATVP (DPATVPID, DANPOROCANJA, ZAPST, XML_FILE, STATUS) values "
                  "(90, julianday('2014-04-01'), 1, '" +
                  name + "', 0)");
        const QByteArray content = writeReport(name);

        sign({name});

        EXPECT_TRUE(prompter.texts.isEmpty()) << prompter.texts.join(" | ").toStdString();
        const QString signature = name.left(name.lastIndexOf('.')) + ".sig";
        ASSERT_TRUE(QFile::exists(programFile(signature)));
        EXPECT_EQ(homes.openAsRegulator(programFile(signature)).text, content);
        EXPECT_EQ(read(programFile(name)), content);
        EXPECT_FALSE(sent(90, 1).isValid());
        EXPECT_EQ(count("select count(*) from ACT"), 0);
        EXPECT_TRUE(QDir(xmlServer.path()).isEmpty());
        EXPECT_TRUE(QDir(sigServer.path()).isEmpty());
        host.exec("delete from DPATVP");
    }
}
} // namespace
