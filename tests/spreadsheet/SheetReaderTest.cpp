#include "SheetReader.h"
#include "SheetFiles.h"
#include "TempProgramDirectory.h"

#include "RapoError.h"

#include <gtest/gtest.h>

namespace {
using T = SheetCell::Type;

struct Expected {
    T type;
    QString text;
};

QString typeName(T t) {
    static const char *names[] = {"Empty", "Text", "Number", "Date", "Time", "DateTime", "Error"};
    return QString::fromLatin1(names[int(t)]);
}
} // namespace

// Both workbook formats give every cell of the first sheet with its kind and its text; the
// second sheet is never read.
TEST(SheetReader, ReadsTheSameCellsFromBothWorkbookFormats) {
    TempProgramDirectory dir;
    SheetFiles::writeSheetXlsx(dir.file("sheet.xlsx"));
    const QList<QList<Expected>> expected = {
        {{T::Text, "Stranka"},
         {T::Text, "Datum"},
         {T::Text, "Vrednost"},
         {T::Text, "Čas"},
         {T::Text, "Opombe"},
         {T::Text, "Trenutek"}},
        {{T::Text, "Šolar d.o.o."},
         {T::Date, "28.03.2014"},
         {T::Number, "1234,5"},
         {T::Time, "10:15:30"},
         {T::Text, "prva"},
         {T::DateTime, "28.03.2014 17:05:00"}},
        {{T::Text, "DEF"},
         {T::Date, "31.03.2014"},
         {T::Number, "7"},
         {T::Time, "00:00:00"},
         {T::Empty, ""},
         {T::Empty, ""}},
        {{T::Empty, ""},
         {T::Text, "za prazno celico A"},
         {T::Empty, ""},
         {T::Empty, ""},
         {T::Empty, ""},
         {T::Empty, ""}},
        {{T::Text, "GHI"},
         {T::Empty, ""},
         {T::Empty, ""},
         {T::Empty, ""},
         {T::Empty, ""},
         {T::Empty, ""}},
    };
    for (const QString &file : {SheetFiles::kept("sheet.xls"), dir.file("sheet.xlsx")}) {
        SCOPED_TRACE(file.toStdString());
        const auto reader = openWorkbook(file);
        EXPECT_EQ(reader->rowCount(), 5);
        for (int r = 0; r < expected.size(); ++r)
            for (int c = 0; c < 7; ++c) {
                const SheetCell cell = reader->cell(r, c);
                const Expected e = c < 6 ? expected[r][c] : Expected{T::Empty, ""};
                EXPECT_EQ(typeName(cell.type) + " " + cell.text(), typeName(e.type) + " " + e.text)
                    << "row " << r << " column " << c;
            }
        EXPECT_EQ(reader->cell(1, 1).dateTime(), QDateTime(QDate(2014, 3, 28), QTime(0, 0)));
        EXPECT_DOUBLE_EQ(reader->cell(1, 3).dayFraction(), (10 * 3600 + 15 * 60 + 30) / 86400.0);
    }
}

// A damaged, protected or foreign file is refused with a message that names it; nothing crashes.
TEST(SheetReader, RefusesDamagedFilesNamingThem) {
    const QString cannotRead = QStringLiteral("Delovnega zvezka \"%1\" ni mogoče prebrati: %2");
    const QList<QPair<QString, QString>> cases = {
        {"truncated.xlsx", cannotRead.arg("%1", "paket zip je poškodovan.")},
        {"truncated.xls", cannotRead.arg("%1", "datoteka je poškodovana ali ni v obliki .xls.")},
        {"beyond-columns.xlsx",
         cannotRead.arg("%1", "sklic na celico \"XFE1\" je zunaj meja delovnega lista.")},
        {"beyond-rows.xlsx",
         cannotRead.arg("%1", "vrstica 1048577 je zunaj meja delovnega lista.")},
        {"bad-reference.xlsx",
         cannotRead.arg("%1", "sklic na celico \"1A\" je zunaj meja delovnega lista.")},
        {"bad-shared-string.xlsx", cannotRead.arg("%1", "celica \"A1\" kaže na neobstoječ niz.")},
        {"bad-number.xlsx", cannotRead.arg("%1", "celica \"A1\" nima veljavne številke.")},
        {"no-workbook.xlsx", cannotRead.arg("%1", "manjka del \"xl/workbook.xml\".")},
        {"no-sheet.xlsx", cannotRead.arg("%1", "manjka del \"xl/worksheets/sheet1.xml\".")},
        {"not-a-workbook.xls", "Datoteka \"%1\" ni delovni zvezek (.xls ali .xlsx)."},
        {"empty-file.xlsx", "Datoteka \"%1\" ni delovni zvezek (.xls ali .xlsx)."},
        {"protected.xlsx",
         "Delovni zvezek \"%1\" je zaščiten z geslom. Shranite ga brez gesla in ga uvozite znova."},
        {"missing.xlsx", "Datoteke \"%1\" ni mogoče odpreti."},
    };
    for (const auto &[name, message] : cases) {
        const QString file = SheetFiles::kept(name);
        try {
            openWorkbook(file);
            ADD_FAILURE() << "read " << name.toStdString();
        } catch (const RapoError &e) {
            EXPECT_EQ(e.message(), message.arg(file));
        }
    }
    try {
        openWorkbook(SheetFiles::kept("bad-xml.xlsx"));
        ADD_FAILURE() << "read bad-xml.xlsx";
    } catch (const RapoError &e) {
        EXPECT_TRUE(e.message().startsWith(
            cannotRead.arg(SheetFiles::kept("bad-xml.xlsx"), "delovni list ni veljaven XML (")))
            << e.message().toStdString();
    }
}
