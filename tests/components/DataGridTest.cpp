#include "DataGrid.h"
#include "DisplayDefaults.h"
#include "DisplayFormat.h"
#include "GridDataSource.h"
#include "ListRowSource.h"
#include "TempProgramDirectory.h"

#include <QApplication>
#include <QFile>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {
using Type = FieldDef::Type;

// A working set in miniature: a text with a quote, a tab and a line break, a hidden number.
ListRowSource workingSet() {
    return ListRowSource({"ISIN", "KOL", "OPIS", "IDPSL"},
                         {{"SI0031102120", 100.0, "Nakup \"A\"", 12},
                          {"SI0031103805", 1500.5, "z\ttabom\r\nin vrstico", 7},
                          {"AT0000937503", 2.0, QVariant(), 30}},
                         {{"ISIN", Type::Text, "Identifikacija instrumenta ISIN", 12},
                          {"KOL", Type::Number, "", 10, true, ",0.00"},
                          {"OPIS", Type::Text, "Opis"},
                          {"IDPSL", Type::Whole, "Posel", 8, false}});
}

TEST(DataGrid, ColumnsComeFromTheVisibleFieldsTitledByLabelOrName) {
    ListRowSource rows = workingSet();
    DataGrid grid;
    grid.setDataSet(&rows);
    grid.dataSetChanged();
    GridDataSource *source = grid.dataSource();
    ASSERT_EQ(source->columnCount(), 3);
    EXPECT_EQ(source->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
              "Identifikacija instrumenta ISIN");
    EXPECT_EQ(source->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), "KOL");
    EXPECT_EQ(source->headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), "Opis");
    rows.recordCount();
    EXPECT_EQ(source->displayText(1, 1), "1.500,50");
}

TEST(DataGrid, ClipboardTextOfAnEmptyList) {
    ListRowSource rows({"ISIN", "KOL"}, {}, {{"ISIN", Type::Text, "ISIN"}, {"KOL", Type::Number}});
    GridDataSource source;
    source.setDataSet(&rows);
    EXPECT_EQ(DataGrid::clipboardText(source, "Transakcije"), "Transakcije\r\nISIN\tKOL\t");
}

TEST(DataGrid, ClipboardTextQuotesTextsAndLeavesHiddenFieldsOut) {
    ListRowSource rows = workingSet();
    GridDataSource source;
    source.setDataSet(&rows);
    rows.moveTo(2);
    EXPECT_EQ(DataGrid::clipboardText(source, "Transakcije"),
              "Transakcije\r\n"
              "Identifikacija instrumenta ISIN\tKOL\tOpis\t\r\n"
              "\"SI0031102120\"\t100,00\t\"Nakup \"\"A\"\"\"\t\r\n"
              "\"SI0031103805\"\t1.500,50\t\"ztabom\nin vrstico\"\t\r\n"
              "\"AT0000937503\"\t2,00\t\"\"\t");
    EXPECT_EQ(rows.recNo(), 0) << "the list is on its first row afterwards";
}

void sendKey(QWidget *target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(target, &press);
}

TEST(DataGrid, EnterAndDoubleClickAskForZoomOnlyWhenAllowed) {
    ListRowSource rows = workingSet();
    DataGrid grid;
    grid.setDataSet(&rows);
    grid.dataSetChanged();
    int zooms = 0;
    grid.OnZoom = [&] { ++zooms; };
    grid.setCurrentRow(1);
    sendKey(grid.view(), Qt::Key_Return);
    EXPECT_EQ(zooms, 1);
    EXPECT_EQ(grid.currentRow(), 1) << "Enter does not move the row";
    grid.setGridButtons({GridButton::gbCopyToClip});
    sendKey(grid.view(), Qt::Key_Enter);
    EXPECT_EQ(zooms, 1);
    EXPECT_FALSE(grid.toolButton(GridButton::gbZoom)->isEnabled());
    EXPECT_TRUE(grid.toolButton(GridButton::gbCopyToClip)->isEnabled());
}

TEST(DataGrid, EnterOnAGridWhoseZoomDoesNothingChangesNothing) {
    ListRowSource rows = workingSet();
    DataGrid grid;
    grid.setDataSet(&rows);
    grid.dataSetChanged();
    grid.OnZoom = [] {};
    grid.setCurrentRow(2);
    sendKey(grid.view(), Qt::Key_Return);
    sendKey(grid.view(), Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(grid.currentRow(), 2);
    EXPECT_EQ(grid.dataSource()->rowCount(), 3);
}

TEST(DataGrid, TheDrawingHookReadsTheDrawnRow) {
    ListRowSource rows = workingSet();
    DataGrid grid;
    grid.setDataSet(&rows);
    grid.dataSetChanged();
    grid.OnDrawColumnCell = [&](CellColors &colors, int, const FieldDef &, bool) {
        if (rows.value("IDPSL").toInt() == 7)
            colors.brush = Qt::red;
    };
    rows.moveTo(0);
    EXPECT_EQ(grid.cellColors(1, 0, false).brush, QColor(Qt::red));
    EXPECT_FALSE(grid.cellColors(2, 0, false).brush.isValid());
    EXPECT_EQ(rows.recNo(), 0) << "drawing leaves the current row where it was";
}

TEST(DataGrid, ToolButtonsAreShownWhileTheListHasTheFocus) {
    ListRowSource rows = workingSet();
    DataGrid grid;
    grid.setDataSet(&rows);
    EXPECT_FALSE(grid.toolButtonsShown());
    QFocusEvent in(QEvent::FocusIn);
    QApplication::sendEvent(grid.view(), &in);
    EXPECT_TRUE(grid.toolButtonsShown());
    EXPECT_FALSE(grid.toolButton(GridButton::gbGraph)->isEnabled());
    QFocusEvent out(QEvent::FocusOut);
    QApplication::sendEvent(grid.view(), &out);
    EXPECT_FALSE(grid.toolButtonsShown());
}

TEST(DataGrid, ShowingTheToolButtonsDoesNotMoveTheRows) {
    ListRowSource rows = workingSet();
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *grid = new DataGrid(&window);
    // Without a caption nothing else holds the bar's row open.
    grid->setLabelAlign(LabelAlign::laNone);
    grid->setDataSet(&rows);
    // The focus comes only from the events below.
    grid->view()->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(grid);
    window.resize(600, 300);
    window.show();
    const auto rowsAt = [grid](QEvent::Type focus) {
        QFocusEvent event(focus);
        QApplication::sendEvent(grid->view(), &event);
        grid->layout()->activate();
        QApplication::processEvents();
        return grid->view()->geometry();
    };
    const QRect without = rowsAt(QEvent::FocusOut);
    ASSERT_FALSE(grid->toolButtonsShown());
    const QRect with = rowsAt(QEvent::FocusIn);
    ASSERT_TRUE(grid->toolButtonsShown());
    EXPECT_EQ(with, without);
}

TEST(DataGrid, ColumnsFitTheirTitlesFromTheStartAndKeepTheUsersWidth) {
    ListRowSource rows = workingSet();
    DataGrid grid;
    grid.setDataSet(&rows);
    QHeaderView *header = grid.view()->horizontalHeader();
    for (int c = 0; c < grid.dataSource()->columnCount(); ++c)
        EXPECT_GE(grid.view()->columnWidth(c), header->sectionSizeHint(c)) << c;
    header->resizeSection(0, 333);
    grid.dataSetChanged();
    EXPECT_EQ(grid.view()->columnWidth(0), 333) << "a reload keeps the user's width";
    EXPECT_EQ(grid.keptColumnWidths(), (QHash<QString, int>{{"ISIN", 333}}));
    DataGrid next;
    next.setDataSet(&rows);
    next.keepColumnWidths({{"opis", 77}});
    EXPECT_EQ(next.view()->columnWidth(2), 77);
    EXPECT_EQ(next.view()->columnWidth(0), next.fittingWidth(0));
}

TEST(DataGrid, ColumnLayoutShowsTheListedFieldsInOrder) {
    ListRowSource rows = workingSet();
    DataGrid grid;
    grid.setDataSet(&rows);
    grid.dataSetChanged();
    grid.setSelected({"IDPSL\t40\tPosel", "NOSUCH\t10\tX", "isin\t120\tISIN"});
    EXPECT_EQ(grid.dataSource()->columnFields(), (QStringList{"IDPSL", "ISIN"}));
    ASSERT_EQ(grid.selected().size(), 2);
    EXPECT_TRUE(grid.selected()[0].startsWith("IDPSL\t40\t"));
}

TEST(DataGrid, ClickingATitleSortsByTheValuesWithoutReloading) {
    ListRowSource rows = workingSet();
    DataGrid grid;
    grid.setDataSet(&rows);
    grid.dataSetChanged();
    grid.view()->horizontalHeader()->sectionClicked(1);
    QList<int> order;
    for (int r = 0; r < 3; ++r)
        order << grid.sourceRow(r);
    EXPECT_EQ(order, (QList<int>{2, 0, 1})) << "2 < 100 < 1500.5, numerically";
    EXPECT_EQ(rows.reloads, 0);
    grid.view()->horizontalHeader()->sectionClicked(1);
    EXPECT_EQ(grid.sourceRow(0), 1) << "a second click sorts descending";
}

TEST(DataGrid, SearchFindsTheNextRowWithTheText) {
    ListRowSource rows = workingSet();
    DataGrid grid;
    grid.setDataSet(&rows);
    grid.dataSetChanged();
    EXPECT_TRUE(grid.findText(0, "si003"));
    EXPECT_EQ(grid.currentRow(), 0);
    EXPECT_TRUE(grid.findText(0, "SI003"));
    EXPECT_EQ(grid.currentRow(), 1);
    EXPECT_EQ(rows.recNo(), 1) << "the dataset follows the list";
    EXPECT_FALSE(grid.findText(0, "XS"));
}

TEST(DataGrid, SortDefinitionsWithoutTextAreNamedByTheirColumns) {
    ListRowSource rows = workingSet();
    DataGrid grid;
    grid.SortInfo = {{"", {{"DPATVP_SFVP", "ISIN"}, {"DPATVP_SFVP", "DANSPR", true}}},
                     {"Default", {{"DPATVP_SFVP", "ISIN"}}}};
    grid.setDataSet(&rows);
    EXPECT_EQ(grid.SortInfo[0].displayText, "Identifikacija instrumenta ISIN, DANSPR");
    EXPECT_EQ(grid.SortInfo[1].displayText, "Default");
}

TEST(DataGrid, ExportWritesTheShownColumns) {
    ListRowSource rows = workingSet();
    DataGrid grid;
    grid.setDataSet(&rows);
    grid.dataSetChanged();
    TempProgramDirectory dir;
    ASSERT_TRUE(grid.exportCsv(dir.file("izvoz.csv")));
    QFile f(dir.file("izvoz.csv"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(f.readAll()).remove(QChar(0xFEFF)).split("\r\n");
    EXPECT_EQ(lines[0], "Identifikacija instrumenta ISIN;KOL;Opis");
    EXPECT_EQ(lines[1], "SI0031102120;100,00;\"Nakup \"\"A\"\"\"");
}

struct FloatCase {
    double value;
    const char *pattern;
    const char *expected;
    friend void PrintTo(const FloatCase &c, std::ostream *os) { *os << c.pattern; }
};

class FloatFormats : public ::testing::TestWithParam<FloatCase> {};

TEST_P(FloatFormats, FollowTheDeclaredPattern) {
    EXPECT_EQ(DisplayFormat::formatFloat(GetParam().value, GetParam().pattern),
              QString::fromUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(DisplayFormat, FloatFormats,
                         ::testing::Values(FloatCase{1234567.5, ",0.00", "1.234.567,50"},
                                           FloatCase{1234567.5, "0.00", "1234567,50"},
                                           FloatCase{-0.125, "0.000", "-0,125"},
                                           FloatCase{12.5, "0.####", "12,5"},
                                           FloatCase{12.0, "0.##", "12"},
                                           FloatCase{1500.0, ",0", "1.500"},
                                           FloatCase{0.1, "", "0,1"}));

TEST(DisplayFormat, DateTimePatternsReadMinutesAfterHours) {
    EXPECT_EQ(DisplayFormat::qtDateTimeFormat("dd.mm.yyyy hh:nn:ss"), "dd.MM.yyyy HH:mm:ss");
    EXPECT_EQ(DisplayFormat::qtDateTimeFormat("hh:mm"), "HH:mm");
    EXPECT_EQ(DisplayFormat::formatDateTime(QDateTime(QDate(2014, 4, 1), QTime(9, 5)),
                                            "dd.mm.yyyy hh:nn"),
              "01.04.2014 09:05");
}

TEST(DisplayDefaults, ReadTheWorkstationsFontsOrKeepTheDefaults) {
    TempProgramDirectory dir;
    const DisplayDefaults none = DisplayDefaults::fromFile(dir.file("WIN.INI"));
    EXPECT_EQ(none.fontName, "Arial CE");
    EXPECT_EQ(none.fontSize, 8);
    EXPECT_EQ(none.titleFontName, "Arial CE");
    EXPECT_EQ(none.titleFontSize, 8);
    EXPECT_TRUE(none.cellFont().bold());
    dir.writeWindows1250("WIN.INI", "[VEK]\nFontName=Tahoma\nFontSize=10\nTitleFontSize=x\n");
    const DisplayDefaults set = DisplayDefaults::fromFile(dir.file("WIN.INI"));
    EXPECT_EQ(set.fontName, "Tahoma");
    EXPECT_EQ(set.fontSize, 10);
    EXPECT_EQ(set.titleFontSize, 8);
}
} // namespace
