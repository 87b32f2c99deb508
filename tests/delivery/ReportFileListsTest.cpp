#include "ReportFileLists.h"
#include "DeliveryFixture.h"
#include "RapoError.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {
struct FileLists : DeliveryFixture, ::testing::Test {
    // The signed list of the fixture's folder with its marks, "name" or "name+" for a marked one.
    QStringList marked() {
        const QStringList entries = ReportFileLists::signedFiles(session());
        const QList<bool> marks = ReportFileLists::sentMarks(session(), entries);
        QStringList out;
        for (qsizetype i = 0; i < entries.size(); ++i)
            out << entries[i] + (marks[i] ? "+" : "");
        return sorted(out);
    }
};

TEST_F(FileLists, AMaskMatchesEntriesOfEveryKindIgnoringLetterCase) {
    const QString dir = t.dir.path();
    for (const char *name : {"TRDAT01_1.xml", "TRDAT01_2.XML", ".skrita.xml", "a.xml.bak",
                             "TRDAT01_1.sig", "brez_koncnice", "EMIR001_1.Xml"})
        touch(dir + name);
    QDir(dir).mkdir("mapa.xml");
    QFile::setPermissions(dir + "TRDAT01_2.XML", QFileDevice::ReadOwner);

    EXPECT_EQ(
        sorted(ReportFileLists::filesMatching(dir, "*.xml")),
        sorted({"TRDAT01_1.xml", "TRDAT01_2.XML", ".skrita.xml", "EMIR001_1.Xml", "mapa.xml"}));
    EXPECT_EQ(ReportFileLists::filesMatching(dir, "*.SIG"), QStringList{"TRDAT01_1.sig"});
    EXPECT_TRUE(ReportFileLists::filesMatching(dir + "ni_mape/", "*.xml").isEmpty());
}

TEST_F(FileLists, TheSignedFolderIsTheSettingOrTheProgramDirectory) {
    configuration.sigPathServer = "";
    EXPECT_EQ(ReportFileLists::signedDirectory(session()), t.dir.path());
    configuration.sigPathServer = "/srv/atvp/sig/";
    EXPECT_EQ(ReportFileLists::signedDirectory(session()), "/srv/atvp/sig/");
    configuration.sigPathServer = "/srv/atvp/sig";
    EXPECT_EQ(ReportFileLists::signedDirectory(session()), "/srv/atvp/sig/");
}

TEST_F(FileLists, SignedFilesAreMarkedWhenTheRegisterRecordsThemSent) {
    const QDateTime sentAt(QDate(2014, 4, 2), QTime(10, 0));
    host.report(1, QDate(2014, 3, 28), 1, sentAt);     // sent
    host.report(2, QDate(2014, 3, 31), 2, QVariant()); // signed file present, DAN empty
    host.report(3, QDate(2014, 4, 1), 3, sentAt);      // its name in capitals in the register
    host.exec("update DPATVP set XML_FILE = 'TRDAT01_3.XML' where DPATVPID = 3");
    host.report(4, QDate(2014, 4, 1), 4, sentAt);   // sent, its signed file is elsewhere
    host.report(5, QDate(2013, 12, 30), 9, sentAt); // an earlier year
    for (const char *name : {"TRDAT01_1.sig", "TRDAT01_2.sig", "trdat01_3.sig", "TRDAT01_5.SIG",
                             "EMIR001_1.sig", "drugo.sig"})
        touch(sigFile(name));
    touch(sigFile("TRDAT01_4.xml"));

    EXPECT_EQ(marked(), sorted({"TRDAT01_1.sig+", "TRDAT01_2.sig", "trdat01_3.sig+",
                                "TRDAT01_5.SIG+", "EMIR001_1.sig", "drugo.sig"}));
}

TEST_F(FileLists, WithoutASignedFolderTheProgramDirectoryIsListed) {
    configuration.sigPathServer = "";
    host.report(1, QDate(2014, 3, 28), 1, QDateTime(QDate(2014, 4, 2), QTime(10, 0)));
    for (const char *name : {"TRDAT01_1.sig", "EMIR001_1.sig", "EMIR001_1.xml"})
        touch(programFile(name));
    EXPECT_EQ(marked(), sorted({"TRDAT01_1.sig+", "EMIR001_1.sig"}));
    EXPECT_EQ(ReportFileLists::unsent(session()), QStringList{"EMIR001_1.xml"});
}

TEST_F(FileLists, AnUnreadableRegisterIsAnError) {
    touch(sigFile("TRDAT01_1.sig"));
    host.exec("drop table DPATVP");
    EXPECT_THROW(ReportFileLists::sentMarks(session(), {"TRDAT01_1.sig"}), RapoError);
}

TEST_F(FileLists, TheSignatureNameReplacesTheLastExtension) {
    const std::vector<std::pair<QString, QString>> cases{
        {"TRDAT01_5842735000_0002_14.xml", "TRDAT01_5842735000_0002_14.sig"},
        {"a.b.xml", "a.b.sig"},
        {"brez", "brez.sig"},
        {"konec.", "konec.sig"},
    };
    for (const auto &[name, signature] : cases)
        EXPECT_EQ(ReportFileLists::signatureName(name), signature) << name.toStdString();
}
} // namespace
