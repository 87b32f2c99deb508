#include "EmirFile.h"
#include "EmirFixture.h"
#include "RapoError.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

QByteArray contents(const QString &path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

// A program directory with the demo's stand-in schema.
struct FileFixture : EmirFixture {
    explicit FileFixture(const QString &matStev = {}) : EmirFixture(withMatStev(matStev)) {
        EXPECT_TRUE(QFile::copy(RAPO_EMIR_SCHEMA, t.dir.file("EMIR.xsd")));
    }
    static Configuration withMatStev(const QString &matStev) {
        Configuration c;
        c.matStev = matStev;
        return c;
    }
    // Writes the report's file with the tab's dates set; the user answers Yes.
    EmirFile::Result write(qint64 report) {
        prompter.answers = {true};
        return EmirFile::write(session(), report, QDate(2014, 1, 1), QDate(2014, 12, 31));
    }
    // The file as expected, kept beside the test.
    static QByteArray expected(const QString &name) {
        return contents(QStringLiteral(RAPO_EMIR_EXPECTED) + name);
    }
};

TEST(EmirFile, AReportWithoutDisputesIsOneItemWithItsNumber) {
    FileFixture f("12345");
    const qint64 id = f.report({.zapSt = 1, .unconfirmed = 0});
    const EmirFile::Result result = f.write(id);
    const QString name = "EMIR001_1234500000_0001_14.xml";
    EXPECT_EQ(result.path, f.t.dir.file(name));
    EXPECT_TRUE(result.errorLine.isEmpty()) << result.errorLine.toStdString();
    EXPECT_EQ(contents(result.path), FileFixture::expected(name));
    EXPECT_EQ(f.prompter.texts,
              QStringList(
                  {"Želite pripraviti XML za izbrano EMIR poročilo ?",
                   "Generiranje XML datoteke je končano. Ime datoteke: \"" + result.path + "\"."}));
    EXPECT_EQ(f.reports(), QStringList{"1|01.03.2014|31.03.2014|0|02.04.2014|02.04.2014 "
                                       "09:00:00|N||"});
}

TEST(EmirFile, ThreeDisputesAreThreeItemsWithEscapedUtf8Texts) {
    FileFixture f;
    f.clock.set(QDateTime(QDate(2024, 2, 15), QTime(10, 5, 9)));
    const qint64 id = f.report({.zapSt = 7,
                                .from = QDate(2024, 1, 1),
                                .to = QDate(2024, 1, 31),
                                .unconfirmed = 3,
                                .day = QDate(2024, 2, 14)});
    f.dispute(id, "Borzni posrednik d.d.", "Kapital & <Partnerji>, Šiška čšž", QDate(2024, 1, 10),
              QDate(2024, 1, 31), 1234.56, "Opomba \"x\" in 'y'");
    f.dispute(id, "Borzni posrednik d.d.", "Hranilnica Sava d.d.", QDate(2024, 2, 1), {}, -50.4);
    f.dispute(id, "Ærø Bank", "Donau Privatbank AG", QDate(2023, 12, 1), QDate(2023, 12, 1), 1e6,
              "Zaprto");
    const EmirFile::Result result = f.write(id);
    const QString name = "EMIR001_5860571000_0007_24.xml";
    EXPECT_EQ(result.path, f.t.dir.file(name));
    EXPECT_TRUE(result.errorLine.isEmpty()) << result.errorLine.toStdString();
    EXPECT_EQ(contents(result.path), FileFixture::expected(name));
}

TEST(EmirFile, ACancelledReportIsWrittenAsItsCancellation) {
    FileFixture f("1234567890");
    const qint64 id = f.report({.zapSt = 12, .unconfirmed = 5, .cancelled = true});
    f.dispute(id, "A", "B", QDate(2014, 3, 3));
    const EmirFile::Result result = f.write(id);
    const QString name = "EMIR001_1234567000_0012_14.xml";
    EXPECT_EQ(result.path, f.t.dir.file(name));
    EXPECT_TRUE(result.errorLine.isEmpty()) << result.errorLine.toStdString();
    EXPECT_EQ(contents(result.path), FileFixture::expected(name));
}

TEST(EmirFile, AmountsAreDecimalsWithAPointAndTwoPlaces) {
    const std::pair<double, const char *> cases[] = {
        {1234.56, "1234.56"}, {-50.4, "-50.40"}, {0, "0.00"},     {-0.001, "0.00"},
        {1e6, "1000000.00"},  {0.005, "0.01"},   {50.4, "50.40"}, {123456789.125, "123456789.13"},
    };
    for (const auto &[value, text] : cases)
        EXPECT_EQ(EmirFile::amountText(value), text) << value;
}

TEST(EmirFile, NothingIsWrittenWithoutTheTabDatesOrTheUsersYes) {
    FileFixture f;
    const qint64 id = f.report({.zapSt = 1});
    const QDate d(2014, 1, 1);
    const std::tuple<QDate, QDate, QString> missing[] = {
        {{}, d, "Neveljaven začetni datum."},
        {d, {}, "Neveljaven končni datum."},
    };
    for (const auto &[from, to, message] : missing) {
        try {
            EmirFile::write(f.session(), id, from, to);
            ADD_FAILURE() << "written without a tab date";
        } catch (const RapoError &e) {
            EXPECT_EQ(e.message(), message);
        }
    }
    f.prompter.answers = {false};
    EXPECT_TRUE(EmirFile::write(f.session(), id, d, d).path.isEmpty());
    EXPECT_EQ(QDir(f.t.dir.path()).entryList({"EMIR*"}, QDir::Files), QStringList{"EMIR.xsd"});

    try {
        f.prompter.answers = {true};
        EmirFile::write(f.session(), 99, d, d);
        ADD_FAILURE() << "written for a report that is not there";
    } catch (const RapoError &e) {
        EXPECT_EQ(e.message(), "Napaka pri iskanju poročila, ID = 99");
    }
    EXPECT_EQ(f.reports(), QStringList{"1|01.03.2014|31.03.2014|0|02.04.2014||N||"});
}

TEST(EmirFile, AnExistingFileIsReplacedOnlyWhenTheUserSaysSo) {
    FileFixture f;
    const qint64 id = f.report({.zapSt = 1});
    const EmirFile::Result first = f.write(id);
    f.clock.set(QDateTime(QDate(2014, 4, 2), QTime(10, 0)));
    f.prompter.texts.clear();
    f.prompter.answers = {true, false};
    EXPECT_TRUE(
        EmirFile::write(f.session(), id, QDate(2014, 1, 1), QDate(2014, 1, 1)).path.isEmpty());
    EXPECT_EQ(f.prompter.texts.last(),
              "Datoteka \"" + first.path + "\" že obstaja. Prepišem obstoječo datoteko ?");
    EXPECT_TRUE(contents(first.path).contains("CreationTime=\"09:00:00\""));
    EXPECT_EQ(f.reports(), QStringList{"1|01.03.2014|31.03.2014|0|02.04.2014|02.04.2014 "
                                       "09:00:00|N||"});

    f.prompter.answers = {true, true};
    EXPECT_EQ(EmirFile::write(f.session(), id, QDate(2014, 1, 1), QDate(2014, 1, 1)).path,
              first.path);
    EXPECT_TRUE(contents(first.path).contains("CreationTime=\"10:00:00\""));

    // A new year gives a new name.
    f.clock.set(QDateTime(QDate(2015, 1, 2), QTime(8, 0)));
    EXPECT_TRUE(f.write(id).path.endsWith("_0001_15.xml"));
}

TEST(EmirFile, AFileThatCannotBeWrittenKeepsNoStamp) {
    FileFixture f;
    const qint64 id = f.report({.zapSt = 1});
    // A folder in the file's place: the finished file cannot replace it.
    const QString path = EmirFile::path(f.session(), "5860571000", 1, f.clock.today());
    ASSERT_TRUE(QDir().mkdir(path));
    f.prompter.answers = {true, true};
    EXPECT_THROW(EmirFile::write(f.session(), id, QDate(2014, 1, 1), QDate(2014, 1, 1)), RapoError);
    EXPECT_EQ(f.reports(), QStringList{"1|01.03.2014|31.03.2014|0|02.04.2014||N||"});
    EXPECT_EQ(QDir(f.t.dir.path()).entryList({"EMIR*"}, QDir::Files), QStringList{"EMIR.xsd"})
        << "no temporary file is left behind";
}

TEST(EmirFile, ASchemaErrorNamesTheDisputeAndTheFileIsNotLeftForSigning) {
    FileFixture f;
    const qint64 id = f.report({.zapSt = 2});
    f.dispute(id, "A", "B", QDate(2014, 3, 3));
    f.dispute(id, QString(251, u'x'), "Kapital Brokers", QDate(2014, 3, 4));
    const EmirFile::Result result = f.write(id);
    EXPECT_TRUE(result.errorLine.startsWith("EMIR001_5860571000_0002_14.xml:"))
        << result.errorLine.toStdString();
    EXPECT_TRUE(
        result.errorLine.endsWith(" (spor 2: " + QString(251, u'x') + " / Kapital Brokers)"))
        << result.errorLine.toStdString();
    EXPECT_FALSE(QFile::exists(result.path));
    EXPECT_TRUE(QFile::exists(result.badPath));
    EXPECT_TRUE(f.prompter.texts.last().startsWith("XML datoteka ne ustreza shemi EMIR.xsd:\r" +
                                                   result.errorLine));
}

TEST(EmirFile, TheRegistrationNumberKeepsSevenCharactersPaddedToTen) {
    const std::pair<QString, QString> cases[] = {
        {"1234567890", "1234567000"},
        {"12345", "1234500000"},
        {"", "5860571000"}, // the host's number of the firm
    };
    for (const auto &[matStev, expected] : cases) {
        FileFixture f(matStev);
        EXPECT_EQ(EmirFile::registrationNumber(f.session()), expected);
    }
    FileFixture f;
    f.t.exec("DELETE FROM OSB WHERE SfOsb = 2");
    EXPECT_THROW(EmirFile::registrationNumber(f.session()), RapoError);
}

} // namespace
