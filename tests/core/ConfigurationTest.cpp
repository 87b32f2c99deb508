#include "Configuration.h"
#include "RapoError.h"
#include "TempProgramDirectory.h"

#include <QDir>
#include <QFile>
#include <functional>
#include <gtest/gtest.h>

namespace {
const QString splosno = QString::fromUtf8("[Splošno]\n");

Configuration readWith(const TempProgramDirectory &dir, const QString &ini) {
    dir.writeWindows1250("RAPO.ini", ini);
    return Configuration::read(dir.path());
}

TEST(Configuration, ReadsEveryKeyFromAWindows1250File) {
    TempProgramDirectory dir;
    QDir(dir.path()).mkdir("pdf");
    QDir(dir.path()).mkdir("srv");
    QDir(dir.path()).mkdir("sig");
    const QString ini = QString::fromUtf8("; site settings\r\n"
                                          "[GnuPG]\r\n"
                                          "Path=C:\\GnuPG\\ \r\n"
                                          "User=Borza Član\r\n"
                                          "PassPhrase=6A616E\r\n"
                                          "[Splošno]\r\n"
                                          "Tip= DB2 // gostiteljska baza\r\n"
                                          "TipPosla=NAB\r\n"
                                          "Posli_VEK_Prefiks=77\r\n"
                                          "VP_VEK_Prefiks=1\r\n"
                                          "Posli_Import_Prefiks=2\r\n"
                                          "XMLPath_Server=\\\\streznik\\xml // kopije\r\n"
                                          "SIGPath_Server=\\\\streznik\\sig\r\n"
                                          "ATVP_Uporabnik=ATVP NTRS\r\n"
                                          "Sf_Trga_Porocevalca=9 // domači trg\r\n"
                                          "MatStev=1234567//000\r\n"
                                          "FiksniTimeZoneZaTrg=8,12\r\n"
                                          "Debug=1\r\n"
                                          "PDF_Path=") +
                        dir.path() + "pdf\r\nPDF_Server=" + dir.path() +
                        "srv\r\nPDF_SIGServer=" + dir.path() + "sig // podpisani\r\n" +
                        "[Trzisce]\r\nDMC_2=LK // domači\r\nDMC_3=L\r\nTuj_2=K\r\nTuj_3=LKX\r\n"
                        "[SegmentTrg]\r\nMIC_LJSE_C=xljc\r\n";
    const Configuration c = readWith(dir, ini);

    EXPECT_TRUE(c.messages.isEmpty()) << c.messages.join('\n').toStdString();
    EXPECT_EQ(c.gnupgPath, "C:\\GnuPG\\");
    EXPECT_EQ(c.gnupgUser, QString::fromUtf8("Borza Član"));
    EXPECT_EQ(c.passPhrase, "jan");
    EXPECT_TRUE(c.isDb2);
    EXPECT_EQ(c.tipPosla, "NAB");
    EXPECT_EQ(c.posliVekPrefiks, "77");
    EXPECT_EQ(c.vpVekPrefiks, "1");
    EXPECT_EQ(c.posliImportPrefiks, "2");
    EXPECT_EQ(c.xmlPathServer, "\\\\streznik\\xml");
    EXPECT_EQ(c.sigPathServer, "\\\\streznik\\sig");
    EXPECT_EQ(c.atvpUporabnik, "ATVP NTRS");
    EXPECT_EQ(c.sfTrgaPorocevalca, "9");
    EXPECT_EQ(c.matStev, "1234567//000");
    EXPECT_EQ(c.fiksniTimeZoneZaTrg, "8,12");
    EXPECT_EQ(c.fiksniTimeZoneTrgi, (QStringList{"8", "12"}));
    EXPECT_TRUE(c.debug);
    EXPECT_EQ(c.pdfPath, dir.path() + "pdf" + QDir::separator());
    EXPECT_EQ(c.pdfServer, dir.path() + "srv");
    EXPECT_EQ(c.pdfSigServer, dir.path() + "sig");
    EXPECT_EQ(c.dmc2, "LK");
    EXPECT_EQ(c.dmc3, "L");
    EXPECT_EQ(c.tuj2, "K");
    EXPECT_EQ(c.tuj3, "LKX");
    EXPECT_EQ(c.micLjseC, "XLJC");
}

TEST(Configuration, AbsentKeysTakeTheirDefaults) {
    TempProgramDirectory dir;
    const Configuration c = readWith(dir, splosno + "ATVP_Uporabnik=ATVP\n");
    EXPECT_TRUE(c.messages.isEmpty()) << c.messages.join('\n').toStdString();
    EXPECT_EQ(c.tip, "ORACLE");
    EXPECT_FALSE(c.isDb2);
    EXPECT_EQ(c.sfTrgaPorocevalca, "8");
    EXPECT_FALSE(c.debug);
    EXPECT_TRUE(c.tipPosla.isEmpty());
    EXPECT_TRUE(c.micLjseC.isEmpty());
    EXPECT_TRUE(c.fiksniTimeZoneTrgi.isEmpty());
    EXPECT_EQ(c.pdfPath, dir.path());
    EXPECT_EQ(c.pdfServer, dir.path());
    EXPECT_EQ(c.pdfSigServer, dir.path());
}

struct ValueCase {
    const char *name;
    QString line; // the line in [Splošno]
    std::function<QVariant(const Configuration &)> read;
    QVariant expected;
    friend void PrintTo(const ValueCase &c, std::ostream *os) { *os << c.name; }
};

class ReadModes : public ::testing::TestWithParam<ValueCase> {};

TEST_P(ReadModes, ReadAValueAsItsKeyRequires) {
    TempProgramDirectory dir;
    const Configuration c = readWith(dir, splosno + "ATVP_Uporabnik=A\n" + GetParam().line + "\n");
    EXPECT_EQ(GetParam().read(c), GetParam().expected);
}

const auto db2 = [](const Configuration &c) { return QVariant(c.isDb2); };
const auto debug = [](const Configuration &c) { return QVariant(c.debug); };
const auto tipPosla = [](const Configuration &c) { return QVariant(c.tipPosla); };
const auto xmlPath = [](const Configuration &c) { return QVariant(c.xmlPathServer); };
const auto matStev = [](const Configuration &c) { return QVariant(c.matStev); };

INSTANTIATE_TEST_SUITE_P(
    Configuration, ReadModes,
    ::testing::Values(
        ValueCase{"Db2", "Tip=DB2", db2, true},
        ValueCase{"Db2WithCommentAndBlanks", "Tip=  DB2   // DB2 na gostitelju", db2, true},
        ValueCase{"Db2LowerCaseIsOracle", "Tip=db2", db2, false},
        ValueCase{"Oracle", "Tip=ORACLE", db2, false},
        ValueCase{"EmptyTipIsOracle", "Tip=", db2, false},
        ValueCase{"DebugOne", "Debug=1", debug, true},
        ValueCase{"DebugHex", "Debug=0x10", debug, true},
        ValueCase{"DebugZero", "Debug=0", debug, false},
        ValueCase{"DebugWord", "Debug=yes", debug, false},
        ValueCase{"TipPoslaLetters", "TipPosla= NAB ", tipPosla, "NAB"},
        ValueCase{"TipPoslaKeepsInnerCommaAndBlank", "TipPosla=N, A", tipPosla, "N, A"},
        ValueCase{"NetworkPathKeepsBackslashes", "XMLPath_Server=\\\\srv\\rapo // kopije", xmlPath,
                  "\\\\srv\\rapo"},
        ValueCase{"MatStevKeepsComment", "MatStev=5860571 // firma", matStev, "5860571 // firma"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Configuration, PdfPathGetsATrailingSeparatorOnlyWhenItLacksOne) {
    TempProgramDirectory dir;
    const QString folder = dir.path() + "pdf";
    QDir().mkdir(folder);
    for (const auto &[value, expected] :
         {std::pair{folder, folder + QDir::separator()}, std::pair{folder + "/", folder + "/"},
          std::pair{folder + "\\", folder + "\\"}, std::pair{QString(), dir.path()}}) {
        const Configuration c = readWith(dir, splosno + "ATVP_Uporabnik=A\nPDF_Path=" + value);
        EXPECT_EQ(c.pdfPath, expected) << value.toStdString();
    }
}

TEST(Configuration, WhatRapoIniMustHoldForReporting) {
    struct Case {
        const char *what;
        QByteArray bytes; // the file; empty: none; "dir": a folder of that name
        QString unusable, unusableForSigning, prefix, dmc2;
    };
    const QByteArray section = "[Splo\x9Ano]\r\n"; // Windows-1250
    const QString noKey = "V RAPO.ini v razdelku [Splošno] manjka ključ ";
    const QString noSection = "V RAPO.ini manjka razdelek [Splošno] (ali pa datoteka ni shranjena "
                              "v kodni tabeli Windows-1250 ali UTF-8).";
    const std::vector<Case> cases{
        {"missing", "", "Manjka .ini datoteka! (<dir>RAPO.ini)", "", "", ""},
        {"unreadable", "dir", "Datoteke <dir>RAPO.ini ni mogoče prebrati: ", "", "", ""},
        {"empty", "\n", noSection, "", "", ""},
        {"no section", "[Splosno]\r\nPosli_VEK_Prefiks=1\r\n", noSection, "", "", ""},
        {"no prefix", section + "ATVP_Uporabnik=A\r\n", noKey + "Posli_VEK_Prefiks.", "", "", ""},
        {"an empty prefix is a setting", section + "Posli_VEK_Prefiks=\r\nATVP_Uporabnik=A\r\n", "",
         "", "", ""},
        {"UTF-8", "[Splošno]\nPosli_VEK_Prefiks=1\nATVP_Uporabnik=A\n[Trzisce]\nDMC_2=Č\n", "", "",
         "1", "Č"},
        {"UTF-8 with a byte-order mark",
         "\xEF\xBB\xBF[Splošno]\nPosli_VEK_Prefiks=2\nATVP_Uporabnik=A\n", "", "", "2", ""},
        {"no recipient", section + "Posli_VEK_Prefiks=3\r\n", "", noKey + "ATVP_Uporabnik.", "3",
         ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TempProgramDirectory dir;
        if (c.bytes == "dir") {
            QDir(dir.path()).mkdir("RAPO.ini");
        } else if (!c.bytes.isEmpty()) {
            QFile f(dir.file("RAPO.ini"));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(c.bytes);
        }
        const Configuration read = Configuration::read(dir.path());
        const QString unusable = QString(c.unusable).replace("<dir>", dir.path());
        if (c.bytes == "dir")
            EXPECT_TRUE(read.unusable.startsWith(unusable) &&
                        read.unusable.size() > unusable.size())
                << read.unusable.toStdString();
        else
            EXPECT_EQ(read.unusable, unusable);
        EXPECT_EQ(read.unusableForSigning, c.unusableForSigning);
        EXPECT_EQ(read.posliVekPrefiks, c.prefix);
        EXPECT_EQ(read.dmc2, c.dmc2);
        try {
            read.requireForSigning();
            EXPECT_TRUE(unusable.isEmpty() && c.unusableForSigning.isEmpty());
        } catch (const RapoError &e) {
            EXPECT_TRUE(e.message().startsWith(unusable.isEmpty() ? c.unusableForSigning
                                                                  : read.unusable + "\r\n"))
                << e.message().toStdString();
        }
    }
}

// A value of the wrong form never reaches a statement or a report: it is refused with its key
// and line, and reporting waits until RAPO.ini is corrected.
TEST(Configuration, AValueOfTheWrongFormIsRefusedWithItsKeyAndLine) {
    struct Case {
        const char *what;
        QString line; // the fourth line of the file
        QString message;
        std::function<QString(const Configuration &)> value;
    };
    const QString head = QString::fromUtf8("[Splošno]\nPosli_VEK_Prefiks=1\nATVP_Uporabnik=A\n");
    const std::vector<Case> cases{
        {"a MIC that would be SQL", "[SegmentTrg]\nMIC_LJSE_C=OR.NEXTVAL",
         QString::fromUtf8("V RAPO.ini v vrstici 5 vrednost ključa MIC_LJSE_C [SegmentTrg] "
                           "(\"OR.NEXTVAL\") ni MIC (štiri črke ali števke). Nastavitve ne "
                           "upoštevam."),
         [](const Configuration &c) { return c.micLjseC; }},
        {"a prefix of letters", "Posli_Import_Prefiks=IM",
         QString::fromUtf8("V RAPO.ini v vrstici 4 vrednost ključa Posli_Import_Prefiks [Splošno] "
                           "(\"IM\") ni predpona iz največ 11 števk (referenca ima 12 števk). "
                           "Nastavitve ne upoštevam."),
         [](const Configuration &c) { return c.posliImportPrefiks; }},
        {"a venue code that is no number", "Sf_Trga_Porocevalca=8 OR 1=1",
         QString::fromUtf8("V RAPO.ini v vrstici 4 vrednost ključa Sf_Trga_Porocevalca [Splošno] "
                           "(\"8 OR 1=1\") ni šifra trga (število). Nastavitve ne upoštevam."),
         [](const Configuration &c) { return c.sfTrgaPorocevalca; }},
        {"ten megabytes", "ATVP_Uporabnik2=x\nMatStev=" + QString(10 * 1024 * 1024, u'7'),
         QString::fromUtf8("V RAPO.ini v vrstici 5 vrednost ključa MatStev [Splošno] je daljša od "
                           "260 znakov. Nastavitve ne upoštevam."),
         [](const Configuration &c) { return c.matStev; }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TempProgramDirectory dir;
        const Configuration read = readWith(dir, head + c.line + "\n");
        EXPECT_EQ(read.messages, QStringList{c.message});
        EXPECT_EQ(read.unusable, c.message) << "reporting waits for a corrected RAPO.ini";
        EXPECT_TRUE(c.value(read).isEmpty()) << c.value(read).left(40).toStdString();
    }
}

TEST(Configuration, MissingFileGivesOneMessageAndEmptySettings) {
    TempProgramDirectory dir;
    const Configuration c = Configuration::read(dir.path());
    EXPECT_EQ(c.messages, QStringList{"Manjka .ini datoteka!"});
    EXPECT_FALSE(c.isDb2);
    EXPECT_FALSE(c.debug);
    EXPECT_TRUE(c.pdfPath.isEmpty());
    EXPECT_TRUE(c.pdfServer.isEmpty());
    EXPECT_TRUE(c.pdfSigServer.isEmpty());
}

TEST(Configuration, ReportsProblemsInReadingOrderAndGoesOn) {
    TempProgramDirectory dir;
    const Configuration c = readWith(dir, "[GnuPG]\nPassPhrase=ZZ41\n" + splosno +
                                              "TipPosla=N\nPDF_Path=/ni/tega\n"
                                              "PDF_Server=/ni/streznika\nPDF_SIGServer=/ni/sig\n");
    ASSERT_EQ(c.messages.size(), 5);
    EXPECT_TRUE(c.messages[0].contains("PassPhrase"));
    EXPECT_EQ(c.messages[1], "Prosim preverite RAPO.ini fajl, manjka ATVP_Uporabnik!!");
    EXPECT_EQ(c.messages[2], "Direktorij /ni/tega" + QString(QDir::separator()) + " ne obstaja!");
    EXPECT_EQ(c.messages[3], "Direktorij /ni/streznika ne obstaja!");
    EXPECT_EQ(c.messages[4], "Direktorij /ni/sig ne obstaja!");
    // The undecodable pass phrase is forgotten, the rest is read all the same.
    EXPECT_TRUE(c.passPhrase.isEmpty());
    EXPECT_EQ(c.tipPosla, "N");
}

TEST(Configuration, RefusesAFixedVenueListThatIsNotVenueCodes) {
    TempProgramDirectory dir;
    for (const char *value : {"8) OR (1=1", "8;12", "8,", "'8'"}) {
        const Configuration c =
            readWith(dir, splosno + "ATVP_Uporabnik=A\nFiksniTimeZoneZaTrg=" + value);
        ASSERT_EQ(c.messages.size(), 1) << value;
        EXPECT_TRUE(c.messages[0].contains("FiksniTimeZoneZaTrg"));
        EXPECT_TRUE(c.fiksniTimeZoneZaTrg.isEmpty());
        EXPECT_TRUE(c.fiksniTimeZoneTrgi.isEmpty());
    }
    const Configuration spaced =
        readWith(dir, splosno + "ATVP_Uporabnik=A\nFiksniTimeZoneZaTrg=8, 12");
    EXPECT_TRUE(spaced.messages.isEmpty());
    EXPECT_EQ(spaced.fiksniTimeZoneTrgi, (QStringList{"8", "12"}));
}

TEST(Configuration, SectionAndKeyNamesIgnoreCaseAndTheFirstOccurrenceWins) {
    TempProgramDirectory dir;
    const Configuration c =
        readWith(dir, QString::fromUtf8("[SPLOŠNO]\natvp_uporabnik=PRVI\nATVP_Uporabnik=DRUGI\n"
                                        "garbage line\n[segmenttrg]\nmic_ljse_c=xljc\n"));
    EXPECT_EQ(c.atvpUporabnik, "PRVI");
    EXPECT_EQ(c.micLjseC, "XLJC");
}
} // namespace
