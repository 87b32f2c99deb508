#include "IniFile.h"
#include "TempProgramDirectory.h"
#include "Windows1250.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {
QByteArray bytes(const QString &text) {
    return Windows1250::encode(text);
}

QByteArray readBytes(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(IniFileWriting, OnlyTheKeysLineChangesAndEverythingElseStaysByteForByte) {
    struct Case {
        const char *what;
        QString before;
        QString section, key, value;
        QString after;
    };
    const std::vector<Case> cases{
        {"a value replaced, CR LF kept",
         "; site\r\n[GnuPG]\r\nPath=C:\\GnuPG\\\r\nUser=staro\r\n[Splošno]\r\nTip=DB2 // baza\r\n",
         "GnuPG", "User", "Novak",
         "; site\r\n[GnuPG]\r\nPath=C:\\GnuPG\\\r\nUser=Novak\r\n[Splošno]\r\nTip=DB2 // baza\r\n"},
        {"names without regard to case; the key's spelling and blanks kept",
         "[gnupg]\n  passphrase = 6162\n", "GnuPG", "PassPhrase", "", "[gnupg]\n  passphrase = \n"},
        {"the first occurrence, as reading takes it", "[GnuPG]\nUser=a\nUser=b\n", "GnuPG", "User",
         "c", "[GnuPG]\nUser=c\nUser=b\n"},
        {"the key of the section asked, not another one's", "[Splošno]\nUser=x\n[GnuPG]\nUser=y\n",
         "GnuPG", "User", "z", "[Splošno]\nUser=x\n[GnuPG]\nUser=z\n"},
        {"an absent key goes after the section's last setting",
         "[GnuPG]\r\nPath=\r\n; komentar za Splošno\r\n\r\n[Splošno]\r\nTip=ORACLE\r\n", "GnuPG",
         "PassPhrase", "41",
         "[GnuPG]\r\nPath=\r\nPassPhrase=41\r\n; komentar za Splošno\r\n\r\n[Splošno]\r\n"
         "Tip=ORACLE\r\n"},
        {"an empty section gets it after its header", "[GnuPG]\n[Splošno]\nTip=DB2", "GnuPG",
         "User", "u", "[GnuPG]\nUser=u\n[Splošno]\nTip=DB2"},
        {"an absent section at the end", "[Splošno]\r\nTip=DB2\r\n", "GnuPG", "User", "u",
         "[Splošno]\r\nTip=DB2\r\n\r\n[GnuPG]\r\nUser=u\r\n"},
        {"an absent section after a last line without its end", "[Splošno]\nTip=DB2", "GnuPG",
         "User", "u", "[Splošno]\nTip=DB2\n\n[GnuPG]\nUser=u"},
        {"a comment line that looks like the key stays a comment", "[GnuPG]\n;User=star\n", "GnuPG",
         "User", "nov", "[GnuPG]\nUser=nov\n;User=star\n"},
        {"line breaks in a value cannot make new lines", "[GnuPG]\nUser=\n", "GnuPG", "User",
         "a\r\n[X]\nb", "[GnuPG]\nUser=a[X]b\n"},
        {"an empty file", "", "GnuPG", "User", "u", "[GnuPG]\r\nUser=u\r\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TempProgramDirectory dir;
        dir.writeWindows1250("RAPO.ini", c.before);
        IniFile ini(dir.file("RAPO.ini"));
        ini.writeString(c.section, c.key, c.value);
        ASSERT_TRUE(ini.save());
        EXPECT_EQ(readBytes(dir.file("RAPO.ini")), bytes(c.after));
    }
}

TEST(IniFileWriting, WhatIsWrittenReadsBackThroughTheSameRules) {
    TempProgramDirectory dir;
    dir.writeWindows1250("RAPO.ini", QString::fromUtf8("[Splošno]\r\nTip=DB2\r\n"));
    IniFile ini(dir.file("RAPO.ini"));
    ini.writeString("GnuPG", "User", QString::fromUtf8("Član uprave"));
    ini.writeString("GnuPG", "PassPhrase", "9AE8");
    ini.writeString(QString::fromUtf8("Splošno"), "Tip", "ORACLE");
    ASSERT_TRUE(ini.save());

    const IniFile back(dir.file("RAPO.ini"));
    EXPECT_EQ(back.readString("GnuPG", "User", {}), QString::fromUtf8("Član uprave"));
    EXPECT_EQ(back.readString("gnupg", "passphrase", {}), "9AE8");
    EXPECT_EQ(back.readString(QString::fromUtf8("Splošno"), "Tip", {}), "ORACLE");
    EXPECT_TRUE(readBytes(dir.file("RAPO.ini")).contains("Splo\x9Ano")) << "Windows-1250 bytes";
}

TEST(IniFileWriting, AnAbsentFileIsCreated) {
    TempProgramDirectory dir;
    IniFile ini(dir.file("RAPO.ini"));
    EXPECT_FALSE(ini.exists());
    ini.writeString("GnuPG", "User", "u");
    ASSERT_TRUE(ini.save());
    EXPECT_EQ(readBytes(dir.file("RAPO.ini")), QByteArray("[GnuPG]\r\nUser=u\r\n"));
}

TEST(IniFileWriting, AFileThatCannotBeWrittenIsLeftAsItWasWithTheReason) {
    TempProgramDirectory dir;
    IniFile ini(dir.file("ni_mape/RAPO.ini"));
    ini.writeString("GnuPG", "User", "u");
    QString error;
    EXPECT_FALSE(ini.save(&error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(IniFileWriting, UndefinedCodePageBytesSurviveUnchanged) {
    TempProgramDirectory dir;
    const QByteArray before("; \x81\x83\x88\x90\x98 stari znaki\r\n[GnuPG]\r\nUser=\r\n");
    QFile f(dir.file("RAPO.ini"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(before);
    f.close();
    IniFile ini(dir.file("RAPO.ini"));
    ini.writeString("GnuPG", "User", "u");
    ASSERT_TRUE(ini.save());
    EXPECT_EQ(readBytes(dir.file("RAPO.ini")),
              QByteArray("; \x81\x83\x88\x90\x98 stari znaki\r\n[GnuPG]\r\nUser=u\r\n"));
}
TEST(IniFileWriting, AUtf8FileIsWrittenBackInUtf8) {
    for (const QByteArray &mark : {QByteArray(), QByteArray("\xEF\xBB\xBF")}) {
        SCOPED_TRACE(mark.isEmpty() ? "without a byte-order mark" : "with a byte-order mark");
        TempProgramDirectory dir;
        const QString path = dir.file("RAPO.ini");
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(mark + QString("[Splošno]\nTip=ORACLE\n[GnuPG]\nUser=a\n").toUtf8());
        f.close();
        IniFile ini(path);
        EXPECT_EQ(ini.readString("Splošno", "Tip", {}), "ORACLE");
        ini.writeString("GnuPG", "User", "Uroš");
        ASSERT_TRUE(ini.save());
        EXPECT_EQ(readBytes(path),
                  mark + QString("[Splošno]\nTip=ORACLE\n[GnuPG]\nUser=Uroš\n").toUtf8());
    }
}
} // namespace
