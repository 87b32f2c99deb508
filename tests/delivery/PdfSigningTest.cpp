// PDF reports signed by the real GnuPG in throw-away homes and moved to their folders, through the
// page and on their own.
#include "PdfSigning.h"
#include "AtvpTab.h"
#include "DailyReport.h"
#include "DeliveryFixture.h"
#include "DemoSite.h"
#include "FakeProcessRunner.h"
#include "FolderView.h"
#include "GnupgHomes.h"
#include "IniFile.h"
#include "PassPhraseCoding.h"
#include "PasswordDialog.h"
#include "PdfTab.h"
#include "ProgramArguments.h"
#include "QProcessRunner.h"
#include "TempProgramDirectory.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {
const QString passPhrase = "geslo";

struct PdfSigningRun : DeliveryFixture, ::testing::Test {
    PdfSigningRun() : homes(passPhrase), real(eventLoop, systemClock) {
        configuration.pdfPath = folder(pdfFolder);
        configuration.pdfServer = folder(pdfServer);
        configuration.pdfSigServer = folder(pdfSigServer);
    }
    void SetUp() override { ASSERT_TRUE(homes.ready()) << "no GnuPG keys could be generated"; }

    static QString folder(const QTemporaryDir &dir) { return dir.path() + "/"; }
    static QByteArray writePdf(const QString &path) {
        const QByteArray content = "%PDF-1.4\n" + path.toUtf8() + "\n%%EOF\n";
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(content);
        return content;
    }
    static QStringList files(const QString &dir) {
        return QDir(dir).entryList(QDir::Files, QDir::Name);
    }

    GnupgHomes homes;
    EventLoopWaiter eventLoop;
    SystemClock systemClock;
    QProcessRunner real;
    QTemporaryDir pdfFolder, pdfServer, pdfSigServer;
};

TEST_F(PdfSigningRun, ThePageSignsTheChosenPdfsAndMovesThemAndTheirSignedFiles) {
    configuration.gnupgUser = GnupgHomes::brokerageUser;
    const QByteArray a = writePdf(folder(pdfFolder) + "a.pdf");
    const QByteArray b = writePdf(folder(pdfFolder) + "B.PDF");
    touch(folder(pdfFolder) + "zapis.txt");
    QDir(pdfServer.path()).mkdir("mapa.pdf");
    PdfTab page;
    page.attach(session(), &real);
    page.entered();
    EXPECT_EQ(sorted(AtvpTab::entries(page.lbPDFPDF)), sorted({"a.pdf", "B.PDF"}));

    page.lbPDFPDF->selectAll();
    QTimer::singleShot(0, [] {
        auto *dialog = qobject_cast<PasswordDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->ePassPhrase->setText(passPhrase);
        dialog->OKBtn->click();
    });
    page.bSignPDG->click();

    EXPECT_EQ(prompter.texts, QStringList{"Podpisanih in dostavljenih PDF datotek: 2 od 2."});
    EXPECT_EQ(files(pdfFolder.path()), QStringList{"zapis.txt"});
    EXPECT_EQ(read(pdfServer.filePath("a.pdf")), a);
    EXPECT_EQ(read(pdfServer.filePath("B.PDF")), b);
    EXPECT_EQ(files(pdfServer.path()), (QStringList{"B.PDF", "a.pdf"}));
    EXPECT_EQ(homes.openAsRegulator(pdfSigServer.filePath("B.sig")).text, b);
    EXPECT_EQ(homes.openAsRegulator(pdfSigServer.filePath("a.sig")).text, a);
    EXPECT_EQ(page.lbPDFPDF->count(), 0);
    EXPECT_EQ(page.slvPDF->names(), QStringList{"a.pdf"}) << "files with \".pdf\" only";
    EXPECT_EQ(page.slvSIG->names(), (QStringList{"a.sig", "B.sig"}));
    EXPECT_TRUE(page.bSignPDG->isEnabled());
}

TEST_F(PdfSigningRun, EachFileMovesUnlessItsTargetIsThePdfFolder) {
    struct Case {
        const char *what;
        // "<pdf>", "<server>", "<sig>", "<home>" stand for the folders with their separators
        QString pdfPath, pdfServer, pdfSigServer;
        QStringList inPdfFolder, onServer, inSigFolder, inHome;
        QStringList messages; // their beginnings
    };
    // clang-format off
    const std::vector<Case> cases{
        {"a failed copy keeps the PDF and still moves the signed file",
         "<pdf>", "<server>nikjer/", "<sig>",
         {"r.pdf"}, {}, {"r.sig"}, {},
         {"Napaka pri kopiranju <pdf>r.pdf file-a na <server>nikjer/r.pdf !\r",
          "Podpisanih in dostavljenih PDF datotek: 0 od 1.\rNeuspešno: r.pdf"}},
        {"targets that are the PDF folder, without and with another spelling",
         "<pdf>", pdfFolder.path(), "<pdf>/./",
         {"r.pdf", "r.sig"}, {}, {}, {},
         {"Podpisanih in dostavljenih PDF datotek: 1 od 1."}},
        {"no PDF folder and no signed-file folder set: the program directory",
         "", "<server>", "<home>",
         {}, {"r.pdf"}, {}, {"r.sig"},
         {"Podpisanih in dostavljenih PDF datotek: 1 od 1."}},
        {"no folder set at all: both stay",
         "", "", "",
         {}, {}, {}, {"r.pdf", "r.sig"},
         {"Podpisanih in dostavljenih PDF datotek: 1 od 1."}},
    };
    // clang-format on
    const auto place = [&](QString text) {
        return text.replace("<pdf>", folder(pdfFolder))
            .replace("<server>", folder(pdfServer))
            .replace("<sig>", folder(pdfSigServer))
            .replace("<home>", t.dir.path());
    };
    const QStringList folders{folder(pdfFolder), folder(pdfServer), folder(pdfSigServer),
                              t.dir.path()};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        configuration.pdfPath = place(c.pdfPath);
        configuration.pdfServer = place(c.pdfServer);
        configuration.pdfSigServer = place(c.pdfSigServer);
        prompter.texts.clear();
        const QByteArray content = writePdf(PdfSigning::pdfFolder(session()) + "r.pdf");

        PdfSigning signing(session(), real);
        signing.signAll(PdfSigning::Credentials{GnupgHomes::brokerageUser, passPhrase}, {"r.pdf"});

        ASSERT_EQ(prompter.texts.size(), c.messages.size())
            << prompter.texts.join(" | ").toStdString();
        for (qsizetype i = 0; i < c.messages.size(); ++i)
            EXPECT_TRUE(prompter.texts[i].startsWith(place(c.messages[i])))
                << prompter.texts[i].toStdString();
        const QList<QStringList> expected{c.inPdfFolder, c.onServer, c.inSigFolder, c.inHome};
        for (qsizetype f = 0; f < folders.size(); ++f) {
            const QStringList found = QDir(folders[f]).entryList({"r.*"}, QDir::Files, QDir::Name);
            EXPECT_EQ(found, expected[f]) << folders[f].toStdString();
            for (const QString &name : found) {
                const QString path = folders[f] + name;
                EXPECT_EQ(name.endsWith(".sig") ? homes.openAsRegulator(path).text : read(path),
                          content);
                QFile::remove(path);
            }
        }
    }
}
TEST(PdfSigningCommand, SignsThePdfFolderWithTheRememberedCredentials) {
    TempProgramDirectory dir;
    QTemporaryDir pdfs, server, sigs;
    DemoSite::create("DEMO", dir.path());
    IniFile ini(dir.file("RAPO.ini"));
    ini.writeString("GnuPG", "User", "Borzni posrednik");
    ini.writeString("GnuPG", "PassPhrase", PassPhraseCoding::encode("geslo"));
    ini.writeString("Splošno", "PDF_Path", pdfs.path());
    ini.writeString("Splošno", "PDF_Server", server.path());
    ini.writeString("Splošno", "PDF_SIGServer", sigs.path());
    ASSERT_TRUE(ini.save());
    for (const char *name : {"a.pdf", "b.pdf"})
        touch(pdfs.filePath(name));
    FakeClock clock(QDateTime(QDate(2014, 4, 2), QTime(17, 0)));
    FakeWaiter waiter(clock);
    FakeProcessRunner runner;
    // The first run's GnuPG refuses "a.pdf"; "b.pdf" is still signed.
    const auto refuseA = [](const FakeProcessRunner::Call &call) {
        return call.inputPath().endsWith("a.pdf") ? FakeProcessRunner::fail("Bad passphrase")
                                                  : FakeProcessRunner::succeed(call);
    };
    runner.outcomes = {refuseA, refuseA};
    struct Step {
        int exitCode;
        QString out;
        QStringList err; // texts the error output holds
    };
    const std::vector<Step> steps{
        {1,
         "b.pdf\n",
         {"Napaka: Napaka pri podpisovanju poročila!\nBad passphrase\n",
          "Podpisanih in dostavljenih PDF datotek: 1 od 2.\nNeuspešno: a.pdf\n"}},
        {0, "a.pdf\n", {"Podpisanih in dostavljenih PDF datotek: 1 od 1.\n"}},
        {3, "", {"ni PDF datotek za podpis."}},
    };
    for (const Step &step : steps) {
        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        EXPECT_EQ(DailyReport::run(
                      ProgramArguments::parse({"DEMO", "demo", "demo", "DEMO", "--sign-pdf"}),
                      dir.path(), clock, waiter, outStream, errStream, &runner),
                  step.exitCode)
            << err.toStdString();
        outStream.flush();
        errStream.flush();
        EXPECT_EQ(out, step.out);
        for (const QString &text : step.err)
            EXPECT_TRUE(err.contains(text)) << err.toStdString();
    }
    EXPECT_EQ(QDir(server.path()).entryList(QDir::Files, QDir::Name),
              (QStringList{"a.pdf", "b.pdf"}));
    EXPECT_EQ(QDir(sigs.path()).entryList(QDir::Files, QDir::Name),
              (QStringList{"a.sig", "b.sig"}));
    EXPECT_TRUE(QDir(pdfs.path()).isEmpty());
}
} // namespace
