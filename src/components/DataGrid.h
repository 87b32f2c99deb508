#pragma once

#include "FieldDef.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QWidget>
#include <functional>

class QLabel;
class QSortFilterProxyModel;
class QTableView;
class QToolButton;
class RowSource;
class GridDataSource;

enum class GridButton {
    gbLocate,
    gbZoom,
    gbView,
    gbPrint,
    gbPrintGroup,
    gbRefresh,
    gbSort,
    gbGraph,
    gbTitleWordWrap,
    gbCopyToClip,
    gbExport
};
enum class LabelAlign { laNone, laLeft, laRight, laTop, laBottom };

struct SortColumn {
    QString table;
    QString column;
    bool descending = false;
};

// A named ordering the screen applies itself (through OnCustomSort).
struct SortDefinition {
    QString displayText;
    QList<SortColumn> columns;
};

// The colours a screen gives a cell from its drawing hook.
struct CellColors {
    QColor font;
    QColor brush;
};

// The read-only, row-select list of every screen: columns from the dataset's fields, a caption
// label, a per-cell colouring hook, zoom on Enter and double click, and a bar of tool buttons
// shown while the list has the focus (its room is kept while hidden, so the rows never move).
class DataGrid : public QWidget {
    Q_OBJECT
public:
    explicit DataGrid(QWidget *parent = nullptr);
    ~DataGrid() override;

    // Shows the dataset through the grid's own data source.
    void setDataSet(RowSource *dataSet);
    GridDataSource *dataSource() const { return source_; }
    RowSource *dataSet() const;
    // Call after the dataset was opened, closed or reloaded.
    void dataSetChanged();
    QTableView *view() const { return view_; }

    // Caption label.
    QString labelText;
    LabelAlign labelAlign = LabelAlign::laTop;
    int labelSpacing = 5;
    void setLabelText(const QString &text);
    void setLabelAlign(LabelAlign align);
    QString captionText() const { return labelText; }

    // Tool buttons allowed for this grid (all by default).
    void setGridButtons(const QList<GridButton> &buttons);
    bool hasGridButton(GridButton button) const { return gridButtons_.contains(button); }
    QToolButton *toolButton(GridButton button) const;
    bool toolButtonsShown() const;

    bool titleWordWrap() const { return titleWordWrap_; }
    void setTitleWordWrap(bool wrap);

    // Column layout: one line per shown field: name, tab, width, tab, title.
    QStringList selected() const;
    void setSelected(const QStringList &layout);

    // Widths the user gave columns, by upper-case field name: they stay through reloads (and
    // between runs, when the window keeps them) where other columns are fitted.
    QHash<QString, int> keptColumnWidths() const { return keptWidths_; }
    void keepColumnWidths(const QHash<QString, int> &widths);
    // The width a column gets from its title and the typical text of its field.
    int fittingWidth(int column) const;

    QList<SortDefinition> SortInfo;
    // Gives definitions without display text one made of their columns' titles.
    void completeSortInfo();

    std::function<void()> OnZoom;
    std::function<void()> OnPrint;
    std::function<void(const SortDefinition &)> OnCustomSort;
    // Runs for every drawn cell with the dataset on the cell's row; may change the colours.
    std::function<void(CellColors &, int column, const FieldDef &field, bool selected)>
        OnDrawColumnCell;

    // The dataset row shown at a view row (after sorting by a title), and the current one.
    int sourceRow(int viewRow) const;
    int currentRow() const;
    void setCurrentRow(int sourceRow);

    // Actions of the tool buttons.
    void zoom();
    void chooseColumns();
    void print();
    void search();
    void refresh();
    void sort();
    void copyToClipboard();
    void exportToFile();
    // Finds text in a shown column from the row after the current one; true when found.
    bool findText(int column, const QString &text);
    // The visible columns as a CSV file; false when it cannot be written.
    bool exportCsv(const QString &path) const;
    // The text "Copy to clipboard" puts on the clipboard.
    static QString clipboardText(GridDataSource &source, const QString &caption);

    // Drawing: the colours the hook gives a cell (the dataset is moved to the row and back).
    CellColors cellColors(int sourceRow, int column, bool selected) const;

Q_SIGNALS:
    void currentRowChanged(int sourceRow);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void layoutLabel();
    void showToolButtons(bool shown);
    void sortByTitle(int column);
    void rebuildSelected();
    // Gives every column its kept width, or one that fits its title and typical content.
    void fitColumns();
    void applyTitleFont(bool focused);

    GridDataSource *source_;
    QSortFilterProxyModel *proxy_;
    QTableView *view_;
    QLabel *label_;
    QWidget *toolBar_;
    QList<QToolButton *> buttons_;
    QList<GridButton> gridButtons_;
    QStringList selected_;
    QHash<QString, int> keptWidths_;
    bool fitting_ = false;
    bool titleWordWrap_ = false;
    int sortColumn_ = -1;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};
