#include "DataImport.h"
#include "ScriptedPrompter.h"
#include "SeparatedTextReader.h"
#include "SheetFiles.h"
#include "TempProgramDirectory.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {
using DT = DataImportDataType;

// The structure of the sheet of sheet.xls: party, date, amount, time, remark.
void sheetStructure(DataImport &import) {
    import.structure().add(QStringLiteral("Stranka"), 0, DT::didtString, false);
    import.structure().add(QStringLiteral("Datum"), 1, DT::didtDate);
    import.structure().add(QStringLiteral("Vrednost"), 2, DT::didtFloat);
    import.structure().add(QStringLiteral("Cas"), 3, DT::didtTime);
    import.structure().add(QStringLiteral("Opombe"), 4, DT::didtString);
}

QList<QStringList> loaded(const DataImport &import) {
    QList<QStringList> rows;
    for (int i = 0; i < import.count(); ++i)
        rows << import.item(i).values();
    return rows;
}

void writeText(const QString &file, const QByteArray &bytes) {
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Loads and gives the error text, empty when the load succeeds.
QString loadError(DataImport &import) {
    try {
        import.load();
    } catch (const RapoError &e) {
        return e.message();
    }
    return {};
}
} // namespace

// Every source gives the same rows: the heading skipped, dates, times and numbers as their
// texts, the rows of a workbook ending at the first empty cell A.
TEST(DataImport, EverySourceGivesTheSameRows) {
    TempProgramDirectory dir;
    SheetFiles::writeSheetXlsx(dir.file("sheet.xlsx"));
    writeText(dir.file("sheet.tab"), "Stranka\tDatum\tVrednost\tČas\tOpombe\n"
                                     "Šolar d.o.o.\t28.03.2014\t1.234,5\t10:15:30\tprva\r\n"
                                     "DEF\t31.03.2014\t7\t00:00:00\n");
    writeText(dir.file("sheet.csv"), "\xEF\xBB\xBFStranka;Datum;Vrednost;Čas;Opombe\n"
                                     "Šolar d.o.o.;28.03.2014;1234,5;10:15:30;prva\n"
                                     "DEF;31.03.2014;7;00:00:00;\n");
    const QList<QStringList> expected = {
        {"Šolar d.o.o.", "28.03.2014", "1234,5", "10:15:30", "prva"},
        {"DEF", "31.03.2014", "7", "00:00:00", ""},
    };
    const QList<QPair<DataImportDataSource, QString>> sources = {
        {DataImportDataSource::didsExcel, SheetFiles::kept("sheet.xls")},
        {DataImportDataSource::didsExcel, dir.file("sheet.xlsx")},
        {DataImportDataSource::didsTAB, dir.file("sheet.tab")},
        {DataImportDataSource::didsSemicolon, dir.file("sheet.csv")},
        {DataImportDataSource::didsStringList, {}},
    };
    for (const auto &[source, file] : sources) {
        SCOPED_TRACE(file.toStdString());
        ScriptedPrompter prompter;
        DataImport import(prompter);
        sheetStructure(import);
        import.dataSource = source;
        import.fileName = file;
        import.firstRow = 1;
        import.stringListData = QList<QStringList>{{"Stranka"}, expected[0], expected[1]};
        import.load();
        EXPECT_EQ(loaded(import), expected);
        EXPECT_EQ(import.item(1).value(QStringLiteral("datum")), "31.03.2014");
        EXPECT_TRUE(prompter.texts.isEmpty());
    }
}

// A typed value that does not convert ends the load with a message naming the file, the row
// and the column; the rows before it stay loaded. Unchecked columns pass any text.
TEST(DataImport, ValueThatDoesNotConvertEndsTheLoad) {
    TempProgramDirectory dir;
    const QString file = dir.file("spori.csv");
    struct Case {
        DT type;
        QString good;
        QString bad;
        QString message;
    };
    const QList<Case> cases = {
        {DT::didtDate, "28.3.2014", "2014-03-28", "\"2014-03-28\" ni veljaven datum (dd.mm.llll)."},
        {DT::didtDate, "28.03.2014", "31.02.2014",
         "\"31.02.2014\" ni veljaven datum (dd.mm.llll)."},
        {DT::didtFloat, "-0,5", "12a", "\"12a\" ni veljavno število."},
        {DT::didtInteger, "15", "1,5", "\"1,5\" ni veljavno celo število."},
        {DT::didtTime, "9:05", "25:00", "\"25:00\" ni veljaven čas (hh:mm:ss)."},
        {DT::didtDateTime, "28.03.2014 10:15:00", "28.03.2014 10",
         "\"28.03.2014 10\" ni veljaven datum in čas (dd.mm.llll hh:mm:ss)."},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.bad.toStdString());
        writeText(file, ("Glava\nA;" + c.good + ";\nB;" + c.bad + ";x\n").toUtf8());
        ScriptedPrompter prompter;
        DataImport import(prompter);
        import.structure().add(QStringLiteral("Stranka"));
        import.structure().add(QStringLiteral("Vrednost"), 1, c.type);
        import.dataSource = DataImportDataSource::didsSemicolon;
        import.fileName = file;
        import.firstRow = 1;
        EXPECT_EQ(loadError(import), QStringLiteral("Napaka v datoteki \"%1\", vrstica 3, polje 2 "
                                                    "(Vrednost): %2")
                                         .arg(file, c.message));
        ASSERT_EQ(import.count(), 1);
        EXPECT_EQ(import.item(0).value(QStringLiteral("Vrednost")), c.good);

        import.structure().item(1).checkDataType = false;
        import.load();
        EXPECT_EQ(loaded(import), (QList<QStringList>{{"A", c.good}, {"B", c.bad}}));
    }
}

// Thousands separators leave a float, the decimal comma stays; a semicolon line keeps an empty
// middle field and adds none for a separator at its end.
TEST(DataImport, FloatsLoseThousandsSeparatorsAndEmptyFieldsKeepTheirPlace) {
    TempProgramDirectory dir;
    writeText(dir.file("a.csv"), "1.234.567,25;;x;\n");
    ScriptedPrompter prompter;
    DataImport import(prompter);
    import.structure().add(QStringLiteral("Znesek"), 0, DT::didtFloat);
    import.structure().add(QStringLiteral("Prazno"), 1);
    import.structure().add(QStringLiteral("Zadnje"), 2);
    import.structure().add(QStringLiteral("Onkraj"), 3);
    import.dataSource = DataImportDataSource::didsSemicolon;
    import.fileName = dir.file("a.csv");
    import.emptyValue = QStringLiteral("-");
    import.load();
    EXPECT_EQ(loaded(import), (QList<QStringList>{{"1234567,25", "-", "x", "-"}}));
    EXPECT_EQ(SeparatedTextReader::split(QStringLiteral("a;;b;"), u';'),
              (QStringList{"a", "", "b"}));
    EXPECT_TRUE(prompter.texts.isEmpty());
}

// A column that cannot be read is asked about once per load: Ignore leaves it empty in every
// row, Abort ends the load quietly with the rows before.
TEST(DataImport, UnreadableColumnIsAskedAboutOnce) {
    for (const bool abort : {false, true}) {
        ScriptedPrompter prompter;
        prompter.answers = {abort};
        DataImport import(prompter);
        import.structure().add(QStringLiteral("Stranka"));
        import.structure().add(QStringLiteral("Vrednost"), 1, DT::didtFloat);
        import.dataSource = DataImportDataSource::didsStringList;
        import.stringListData = QList<QStringList>{{"A", "1"}, {"B"}, {"C"}, { "D", "4" }};
        import.load();
        EXPECT_EQ(prompter.texts, QStringList{"V XLS datoteki manjka polje Vrednost."});
        const QList<QStringList> expected =
            abort ? QList<QStringList>{{"A", "1"}}
                  : QList<QStringList>{{"A", "1"}, {"B", ""}, {"C", ""}, {"D", "4"}};
        EXPECT_EQ(loaded(import), expected);
    }
}

// Workbook rules: the rows end at an empty cell A (none at all when the first one read is
// empty), a skipped row is never delivered, an error value reads as empty, columns go as far as
// "IV", and a headed sheet finds its columns by name and reads times written as digits.
TEST(DataImport, WorkbookRowsColumnsAndHeadings) {
    ScriptedPrompter prompter;
    prompter.answers = {false};
    DataImport import(prompter);
    import.structure().add(QStringLiteral("A"));
    import.structure().add(QStringLiteral("B"), 1);
    import.fileName = SheetFiles::kept("empty.xls");
    import.load();
    EXPECT_EQ(import.count(), 0);

    import.fileName = SheetFiles::kept("error-cell.xlsx");
    import.firstRow = 1;
    import.load();
    EXPECT_EQ(loaded(import), (QList<QStringList>{{"1", ""}}));

    import.structure().item(1).column = 256;
    import.load();
    EXPECT_EQ(loaded(import), (QList<QStringList>{{"1", ""}}));
    EXPECT_EQ(prompter.texts, QStringList{"V XLS datoteki manjka polje B."});

    DataImport headed(prompter);
    headed.structure().add(QStringLiteral("opombe"));
    headed.structure().add(QStringLiteral("Manjka"));
    headed.structure().add(QStringLiteral("stranka"));
    headed.structure().add(QStringLiteral("Čas"), 0, DT::didtTime);
    headed.fileName = SheetFiles::kept("sheet.xls");
    headed.columnsByHeading = true;
    headed.emptyValue = QStringLiteral("?");
    headed.load();
    EXPECT_EQ(loaded(headed), (QList<QStringList>{{"prva", "?", "Šolar d.o.o.", "10:15:30"},
                                                  {"?", "?", "DEF", "00:00:00"}}));

    headed.structure().item(3).checkDataType = false;
    headed.dataSource = DataImportDataSource::didsStringList;
    headed.stringListData = QList<QStringList>{{"Opombe", "Čas"}, {"x", "1015"}};
    headed.load(); // heading mode is for workbooks only: columns by position
    EXPECT_EQ(loaded(headed),
              (QList<QStringList>{{"Opombe", "Opombe", "Opombe", "Opombe"}, {"x", "x", "x", "x"}}));
}

TEST(DataImport, ColumnLettersAndSettingErrors) {
    const QList<QPair<int, QString>> letters = {{1, "A"},   {26, "Z"},  {27, "AA"},
                                                {52, "AZ"}, {53, "BA"}, {256, "IV"}};
    for (const auto &[n, text] : letters)
        EXPECT_EQ(DataImport::columnLetters(n), text);
    for (const int n : {0, 257})
        EXPECT_THROW(DataImport::columnLetters(n), DataImportError);

    ScriptedPrompter prompter;
    DataImport import(prompter);
    import.fileName = QStringLiteral("/ni/take.xls");
    EXPECT_EQ(loadError(import), "File \"/ni/take.xls\" not found.");
    import.dataSource = DataImportDataSource::didsStringList;
    EXPECT_EQ(loadError(import), "No data for didsStringList data source.");
    import.stringListData = QList<QStringList>{{ "a" }};
    EXPECT_EQ(loadError(import), "Structure is empty.");
    import.structure().add();
    EXPECT_EQ(import.structure().item(0).displayName(), "StructureItem");
    import.load();
    try {
        import.item(0).value(QStringLiteral("Stranka"));
        ADD_FAILURE();
    } catch (const DataImportError &e) {
        EXPECT_EQ(e.message(), "DataImportItem: field Stranka not found.");
    }
    EXPECT_THROW(DataImportItem(nullptr), DataImportError);
}
