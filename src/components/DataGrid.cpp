#include "DataGrid.h"

#include "DisplayDefaults.h"
#include "GridDataSource.h"
#include "GridDialogs.h"
#include "RowSource.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QSortFilterProxyModel>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTextDocument>
#include <QToolButton>
#include <QWheelEvent>

namespace {
struct ButtonSpec {
    GridButton button;
    const char *text;
    const char *hint;
};

// The order of the bar.
const ButtonSpec buttonSpecs[] = {
    {GridButton::gbZoom, "Z", "Povečava (podrobnosti vrstice)"},
    {GridButton::gbView, "V", "Pogled: izbira stolpcev"},
    {GridButton::gbPrint, "P", "Tiskanje"},
    {GridButton::gbPrintGroup, "G", "Tiskanje z združevanjem"},
    {GridButton::gbLocate, "I", "Iskanje"},
    {GridButton::gbRefresh, "O", "Osveži"},
    {GridButton::gbSort, "S", "Sort"},
    {GridButton::gbTitleWordWrap, "W", "Prelom naslovov stolpcev"},
    {GridButton::gbGraph, "C", "Graf"},
    {GridButton::gbCopyToClip, "K", "Kopiraj v odložišče"},
    {GridButton::gbExport, "E", "Izvoz v datoteko CSV"},
};

// What this version of the list does not offer.
bool notOffered(GridButton button) {
    return button == GridButton::gbPrintGroup || button == GridButton::gbGraph;
}

// Paints every cell with the colours the screen's hook gives it.
class CellDelegate : public QStyledItemDelegate {
public:
    CellDelegate(DataGrid *grid) : QStyledItemDelegate(grid), grid_(grid) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const bool selected = opt.state & QStyle::State_Selected;
        const CellColors colors =
            grid_->cellColors(grid_->sourceRow(index.row()), index.column(), selected);
        if (colors.brush.isValid() && !selected)
            painter->fillRect(opt.rect, colors.brush);
        if (colors.font.isValid())
            opt.palette.setColor(selected ? QPalette::HighlightedText : QPalette::Text,
                                 colors.font);
        if (colors.brush.isValid() && !selected)
            opt.backgroundBrush = colors.brush;
        QStyledItemDelegate::paint(painter, opt, index);
    }

private:
    DataGrid *grid_;
};

QString clipboardValue(const FieldDef &field, const QString &text, bool isText) {
    QString value = text;
    value.remove(u'\t');
    if (isText || field.type == FieldDef::Type::Text) {
        value.remove(u'\r');
        value = u'"' + value.replace(u'"', QStringLiteral("\"\"")) + u'"';
    }
    return value;
}

QString csvValue(const QString &text) {
    if (!text.contains(u';') && !text.contains(u'"') && !text.contains(u'\n') &&
        !text.contains(u'\r'))
        return text;
    return u'"' + QString(text).replace(u'"', QStringLiteral("\"\"")) + u'"';
}
} // namespace

DataGrid::DataGrid(QWidget *parent) : QWidget(parent) {
    source_ = new GridDataSource(this);
    proxy_ = new QSortFilterProxyModel(this);
    proxy_->setSourceModel(source_);
    proxy_->setSortRole(GridDataSource::ValueRole);

    view_ = new QTableView(this);
    view_->setModel(proxy_);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setItemDelegate(new CellDelegate(this));
    view_->verticalHeader()->setVisible(false);
    view_->verticalHeader()->setDefaultSectionSize(view_->fontMetrics().height() + 4);
    view_->horizontalHeader()->setSectionsClickable(true);
    view_->horizontalHeader()->setHighlightSections(false);
    view_->setFont(DisplayDefaults::workstation().cellFont());
    view_->horizontalHeader()->setFont(DisplayDefaults::workstation().titleFont());
    view_->installEventFilter(this);
    view_->viewport()->installEventFilter(this);

    label_ = new QLabel(this);
    QFont bold = label_->font();
    bold.setBold(true);
    label_->setFont(bold);

    toolBar_ = new QWidget(this);
    auto *bar = new QHBoxLayout(toolBar_);
    bar->setContentsMargins(8, 0, 0, 0);
    bar->setSpacing(1);
    for (const ButtonSpec &spec : buttonSpecs) {
        auto *b = new QToolButton(toolBar_);
        b->setText(QString::fromLatin1(spec.text));
        b->setToolTip(QString::fromUtf8(spec.hint) +
                      (notOffered(spec.button) ? QStringLiteral(" (ni na voljo)") : QString()));
        b->setFixedSize(18, 18);
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setProperty("gridButton", static_cast<int>(spec.button));
        bar->addWidget(b);
        buttons_ << b;
        connect(b, &QToolButton::clicked, this, [this, button = spec.button] {
            switch (button) {
            case GridButton::gbZoom:
                zoom();
                break;
            case GridButton::gbView:
                chooseColumns();
                break;
            case GridButton::gbPrint:
                print();
                break;
            case GridButton::gbLocate:
                search();
                break;
            case GridButton::gbRefresh:
                refresh();
                break;
            case GridButton::gbSort:
                sort();
                break;
            case GridButton::gbTitleWordWrap:
                setTitleWordWrap(!titleWordWrap_);
                break;
            case GridButton::gbCopyToClip:
                copyToClipboard();
                break;
            case GridButton::gbExport:
                exportToFile();
                break;
            default:
                break;
            }
        });
    }
    setGridButtons({GridButton::gbLocate, GridButton::gbZoom, GridButton::gbView,
                    GridButton::gbPrint, GridButton::gbPrintGroup, GridButton::gbRefresh,
                    GridButton::gbSort, GridButton::gbGraph, GridButton::gbTitleWordWrap,
                    GridButton::gbCopyToClip, GridButton::gbExport});
    // The bar's room stays while it is hidden: showing it must not move the rows under the mouse.
    QSizePolicy keepRoom = toolBar_->sizePolicy();
    keepRoom.setRetainSizeWhenHidden(true);
    toolBar_->setSizePolicy(keepRoom);
    toolBar_->setVisible(false);

    connect(view_, &QTableView::doubleClicked, this, [this] { zoom(); });
    connect(view_->horizontalHeader(), &QHeaderView::sectionClicked, this, &DataGrid::sortByTitle);
    connect(view_->horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int column, int, int width) {
                // A width the user gave a column stays through reloads.
                if (!fitting_)
                    keptWidths_.insert(source_->fieldAt(column).name.toUpper(), width);
                rebuildSelected();
            });
    connect(view_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                const int row = sourceRow(current.row());
                if (RowSource *ds = dataSet(); ds && row >= 0)
                    ds->moveTo(row);
                Q_EMIT currentRowChanged(row);
            });
    layoutLabel();
    applyTitleFont(false);
}

DataGrid::~DataGrid() = default;

RowSource *DataGrid::dataSet() const {
    return source_->dataSet();
}

void DataGrid::setDataSet(RowSource *dataSet) {
    fitting_ = true;
    source_->setDataSet(dataSet);
    if (!selected_.isEmpty())
        setSelected(selected_);
    // Before the first load the titles already show whole.
    fitColumns();
    completeSortInfo();
}

void DataGrid::dataSetChanged() {
    // The widths a reload passes through are not the user's.
    fitting_ = true;
    sortColumn_ = -1;
    proxy_->sort(-1);
    view_->horizontalHeader()->setSortIndicatorShown(false);
    source_->dataSetChanged();
    if (!selected_.isEmpty())
        setSelected(selected_);
    fitColumns();
}

int DataGrid::fittingWidth(int column) const {
    const FieldDef field = source_->fieldAt(column);
    const QFontMetrics cells = view_->fontMetrics();
    const auto advance = [&cells](const QString &sample) {
        return cells.horizontalAdvance(sample);
    };
    int content = 0;
    switch (field.type) {
    case FieldDef::Type::Date:
        content = advance(QStringLiteral("00.00.0000"));
        break;
    case FieldDef::Type::DateTime:
        content = advance(QStringLiteral("00.00.0000 00:00:00"));
        break;
    case FieldDef::Type::Time:
        content = advance(QStringLiteral("00:00:00"));
        break;
    case FieldDef::Type::Whole:
        content = field.width > 0 ? advance(QString(field.width, u'0'))
                                  : advance(QStringLiteral("00000000"));
        break;
    case FieldDef::Type::Number:
        content = field.width > 0 ? advance(QString(field.width, u'0'))
                                  : advance(QStringLiteral("0.000.000,00"));
        break;
    case FieldDef::Type::Text:
        // Codes, names and file names are mostly capitals and digits.
        content = advance(QString(field.width > 0 ? field.width : 12, u'0'));
        break;
    }
    // The title needs its own room and that of a sort indicator.
    QHeaderView *header = view_->horizontalHeader();
    const int title =
        qMax(header->sectionSizeHint(column),
             QFontMetrics(header->font()).horizontalAdvance(GridDataSource::title(field)) + 16) +
        12;
    return qMax(title, content + 12);
}

void DataGrid::fitColumns() {
    fitting_ = true;
    for (int c = 0; c < source_->columnCount(); ++c) {
        const QString name = source_->fieldAt(c).name;
        const int kept = keptWidths_.value(name.toUpper(), 0);
        view_->setColumnWidth(c, kept > 0 ? kept : fittingWidth(c));
    }
    fitting_ = false;
    rebuildSelected();
}

void DataGrid::keepColumnWidths(const QHash<QString, int> &widths) {
    keptWidths_.clear();
    for (auto it = widths.begin(); it != widths.end(); ++it)
        if (it.value() > 0)
            keptWidths_.insert(it.key().toUpper(), it.value());
    fitColumns();
}

void DataGrid::setLabelText(const QString &text) {
    labelText = text;
    label_->setText(text);
}

void DataGrid::setLabelAlign(LabelAlign align) {
    labelAlign = align;
    layoutLabel();
}

void DataGrid::layoutLabel() {
    delete layout();
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(labelSpacing);
    label_->setText(labelText);
    label_->setVisible(labelAlign != LabelAlign::laNone);
    // The tool bar stands on the caption's row, the caption after the last button.
    auto *top = new QHBoxLayout;
    top->setSpacing(labelSpacing);
    top->addWidget(toolBar_);
    switch (labelAlign) {
    case LabelAlign::laTop:
    case LabelAlign::laNone:
        top->addWidget(label_);
        top->addStretch();
        grid->addLayout(top, 0, 0);
        grid->addWidget(view_, 1, 0);
        break;
    case LabelAlign::laBottom:
        top->addStretch();
        grid->addLayout(top, 0, 0);
        grid->addWidget(view_, 1, 0);
        grid->addWidget(label_, 2, 0);
        break;
    case LabelAlign::laLeft:
        top->addStretch();
        grid->addLayout(top, 0, 1);
        grid->addWidget(label_, 1, 0, Qt::AlignTop);
        grid->addWidget(view_, 1, 1);
        break;
    case LabelAlign::laRight:
        top->addStretch();
        grid->addLayout(top, 0, 0);
        grid->addWidget(view_, 1, 0);
        grid->addWidget(label_, 1, 1, Qt::AlignTop);
        break;
    }
}

void DataGrid::setGridButtons(const QList<GridButton> &buttons) {
    gridButtons_ = buttons;
    for (QToolButton *b : buttons_) {
        const auto button = static_cast<GridButton>(b->property("gridButton").toInt());
        b->setEnabled(gridButtons_.contains(button) && !notOffered(button));
    }
}

QToolButton *DataGrid::toolButton(GridButton button) const {
    for (QToolButton *b : buttons_)
        if (static_cast<GridButton>(b->property("gridButton").toInt()) == button)
            return b;
    return nullptr;
}

bool DataGrid::toolButtonsShown() const {
    return !toolBar_->isHidden();
}

void DataGrid::showToolButtons(bool shown) {
    toolBar_->setVisible(shown);
}

void DataGrid::applyTitleFont(bool focused) {
    QPalette palette = view_->horizontalHeader()->palette();
    palette.setColor(QPalette::ButtonText,
                     focused ? QColor(Qt::darkBlue)
                             : QApplication::palette().color(QPalette::ButtonText));
    view_->horizontalHeader()->setPalette(palette);
}

void DataGrid::setTitleWordWrap(bool wrap) {
    titleWordWrap_ = wrap;
    QHeaderView *header = view_->horizontalHeader();
    header->setDefaultAlignment(wrap ? Qt::Alignment(Qt::AlignCenter | Qt::TextWordWrap)
                                     : Qt::Alignment(Qt::AlignCenter));
    header->setFixedHeight(wrap ? 45 : header->sizeHint().height());
}

QStringList DataGrid::selected() const {
    return selected_;
}

void DataGrid::rebuildSelected() {
    selected_.clear();
    for (int c = 0; c < source_->columnCount(); ++c) {
        const FieldDef f = source_->fieldAt(c);
        selected_ << f.name + u'\t' + QString::number(view_->columnWidth(c)) + u'\t' +
                         GridDataSource::title(f);
    }
}

void DataGrid::setSelected(const QStringList &layout) {
    const QStringList available = source_->allFields();
    QStringList shown;
    QList<int> widths;
    for (const QString &line : layout) {
        const QStringList parts = line.split(u'\t');
        for (const QString &name : available) {
            if (name.compare(parts.value(0), Qt::CaseInsensitive) == 0) {
                shown << name;
                widths << parts.value(1).toInt();
            }
        }
    }
    source_->setColumnFields(shown);
    for (int c = 0; c < widths.size(); ++c)
        if (widths[c] > 0)
            view_->setColumnWidth(c, widths[c]);
    rebuildSelected();
}

void DataGrid::completeSortInfo() {
    for (SortDefinition &definition : SortInfo) {
        if (!definition.displayText.isEmpty())
            continue;
        QStringList titles;
        for (const SortColumn &column : definition.columns) {
            QString title = column.column;
            if (RowSource *ds = dataSet())
                for (const FieldDef &f : ds->fields())
                    if (f.name.compare(column.column, Qt::CaseInsensitive) == 0)
                        title = GridDataSource::title(f);
            titles << title;
        }
        definition.displayText = titles.join(QStringLiteral(", "));
    }
}

int DataGrid::sourceRow(int viewRow) const {
    if (viewRow < 0)
        return -1;
    return proxy_->mapToSource(proxy_->index(viewRow, 0)).row();
}

int DataGrid::currentRow() const {
    return sourceRow(view_->currentIndex().row());
}

void DataGrid::setCurrentRow(int row) {
    if (RowSource *ds = dataSet(); ds && row >= ds->fetchedRowCount())
        ds->moveTo(row);
    source_->syncRows();
    const QModelIndex index = proxy_->mapFromSource(source_->index(row, 0));
    if (index.isValid()) {
        view_->setCurrentIndex(index);
        view_->scrollTo(index);
    }
}

CellColors DataGrid::cellColors(int row, int column, bool isSelected) const {
    CellColors colors;
    RowSource *ds = dataSet();
    if (!OnDrawColumnCell || !ds || row < 0)
        return colors;
    const int previous = ds->recNo();
    ds->moveTo(row);
    OnDrawColumnCell(colors, column, source_->fieldAt(column), isSelected);
    ds->moveTo(previous);
    return colors;
}

void DataGrid::zoom() {
    if (hasGridButton(GridButton::gbZoom) && OnZoom)
        OnZoom();
}

void DataGrid::sortByTitle(int column) {
    RowSource *ds = dataSet();
    if (!ds || !ds->active())
        return;
    // Sorting needs every row; the dataset keeps them, nothing is read again.
    ds->recordCount();
    source_->syncRows();
    sortOrder_ = (column == sortColumn_ && sortOrder_ == Qt::AscendingOrder) ? Qt::DescendingOrder
                                                                             : Qt::AscendingOrder;
    sortColumn_ = column;
    proxy_->sort(column, sortOrder_);
    view_->horizontalHeader()->setSortIndicatorShown(true);
    view_->horizontalHeader()->setSortIndicator(column, sortOrder_);
}

void DataGrid::chooseColumns() {
    const QStringList fields = source_->allFields();
    QStringList titles;
    for (const QString &name : fields) {
        FieldDef f;
        f.name = name;
        if (RowSource *ds = dataSet())
            for (const FieldDef &d : ds->fields())
                if (d.name.compare(name, Qt::CaseInsensitive) == 0)
                    f = d;
        titles << GridDataSource::title(f);
    }
    ColumnChooserDialog dialog(fields, titles, source_->columnFields(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    source_->setColumnFields(dialog.chosenFields());
    rebuildSelected();
}

void DataGrid::print() {
    if (OnPrint) {
        OnPrint();
        return;
    }
    RowSource *ds = dataSet();
    if (!ds)
        return;
    ds->recordCount();
    source_->syncRows();
    QString html = QStringLiteral("<h3>") + labelText.toHtmlEscaped() +
                   QStringLiteral("</h3><table border=1 cellspacing=0 cellpadding=2><tr>");
    for (int c = 0; c < source_->columnCount(); ++c)
        html += QStringLiteral("<th>") +
                GridDataSource::title(source_->fieldAt(c)).toHtmlEscaped() +
                QStringLiteral("</th>");
    html += QStringLiteral("</tr>");
    for (int r = 0; r < proxy_->rowCount(); ++r) {
        html += QStringLiteral("<tr>");
        for (int c = 0; c < source_->columnCount(); ++c)
            html += QStringLiteral("<td>") + source_->displayText(sourceRow(r), c).toHtmlEscaped() +
                    QStringLiteral("</td>");
        html += QStringLiteral("</tr>");
    }
    html += QStringLiteral("</table>");
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    QTextDocument document;
    document.setHtml(html);
    document.print(&printer);
}

bool DataGrid::findText(int column, const QString &text) {
    RowSource *ds = dataSet();
    if (!ds || text.isEmpty())
        return false;
    ds->recordCount();
    source_->syncRows();
    const int rows = proxy_->rowCount();
    const int start = view_->currentIndex().row() + 1;
    for (int i = 0; i < rows; ++i) {
        const int viewRow = (start + i) % rows;
        if (source_->displayText(sourceRow(viewRow), column).contains(text, Qt::CaseInsensitive)) {
            const QModelIndex index = proxy_->index(viewRow, 0);
            view_->setCurrentIndex(index);
            view_->scrollTo(index);
            return true;
        }
    }
    return false;
}

void DataGrid::search() {
    QStringList titles;
    for (int c = 0; c < source_->columnCount(); ++c)
        titles << GridDataSource::title(source_->fieldAt(c));
    SearchDialog dialog(titles, qMax(0, view_->currentIndex().column()), this);
    if (dialog.exec() == QDialog::Accepted)
        findText(dialog.column(), dialog.text());
}

void DataGrid::refresh() {
    RowSource *ds = dataSet();
    if (!ds || !ds->active())
        return;
    const int row = currentRow();
    ds->reload();
    dataSetChanged();
    if (row >= 0)
        setCurrentRow(qMin(row, ds->fetchedRowCount() - 1));
}

void DataGrid::sort() {
    completeSortInfo();
    QStringList names;
    for (const SortDefinition &d : SortInfo)
        names << d.displayText;
    if (names.isEmpty())
        return;
    SortDialog dialog(names, this);
    if (dialog.exec() == QDialog::Accepted && dialog.chosen() >= 0 && OnCustomSort)
        OnCustomSort(SortInfo[dialog.chosen()]);
}

QString DataGrid::clipboardText(GridDataSource &source, const QString &caption) {
    QStringList lines;
    lines << caption;
    QString titles;
    for (int c = 0; c < source.columnCount(); ++c)
        titles += GridDataSource::title(source.fieldAt(c)) + u'\t';
    lines << titles;
    RowSource *ds = source.dataSet();
    if (ds && ds->active()) {
        const int rows = ds->recordCount();
        source.syncRows();
        for (int r = 0; r < rows; ++r) {
            QString line;
            for (int c = 0; c < source.columnCount(); ++c) {
                const QVariant raw = source.data(source.index(r, c), GridDataSource::ValueRole);
                line += clipboardValue(source.fieldAt(c), source.displayText(r, c),
                                       raw.typeId() == QMetaType::QString) +
                        u'\t';
            }
            lines << line;
        }
        ds->moveTo(0);
    }
    return lines.join(QStringLiteral("\r\n"));
}

void DataGrid::copyToClipboard() {
    RowSource *ds = dataSet();
    const int rows = ds && ds->active() ? ds->recordCount() : 0;
    QProgressDialog progress(QStringLiteral("Kopiranje v odložišče"), QString(), 0, rows, this);
    progress.setWindowTitle(QStringLiteral("RAPO"));
    progress.setMinimumDuration(500);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QString text = clipboardText(*source_, labelText);
    progress.setValue(rows);
    QApplication::restoreOverrideCursor();
    QApplication::clipboard()->setText(text);
    setCurrentRow(0);
}

bool DataGrid::exportCsv(const QString &path) const {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    RowSource *ds = dataSet();
    const int rows = ds && ds->active() ? ds->recordCount() : 0;
    source_->syncRows();
    QStringList lines;
    QStringList titles;
    for (int c = 0; c < source_->columnCount(); ++c)
        titles << csvValue(GridDataSource::title(source_->fieldAt(c)));
    lines << titles.join(u';');
    for (int r = 0; r < rows; ++r) {
        QStringList cells;
        for (int c = 0; c < source_->columnCount(); ++c)
            cells << csvValue(source_->displayText(sourceRow(r), c));
        lines << cells.join(u';');
    }
    // A byte order mark lets spreadsheet programs read the file as UTF-8.
    const QByteArray bytes = "\xEF\xBB\xBF" + lines.join(QStringLiteral("\r\n")).toUtf8() + "\r\n";
    return file.write(bytes) == bytes.size();
}

void DataGrid::exportToFile() {
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Izvoz"), QString(),
                                                      QStringLiteral("CSV (*.csv)"));
    if (!path.isEmpty() && !exportCsv(path))
        QMessageBox::warning(this, QStringLiteral("RAPO"),
                             QStringLiteral("Datoteke ") + path +
                                 QStringLiteral(" ni mogoče zapisati."));
}

bool DataGrid::eventFilter(QObject *watched, QEvent *event) {
    switch (event->type()) {
    case QEvent::FocusIn:
        if (watched == view_) {
            showToolButtons(true);
            applyTitleFont(true);
        }
        break;
    case QEvent::FocusOut:
        if (watched == view_) {
            showToolButtons(false);
            applyTitleFont(false);
        }
        break;
    case QEvent::KeyPress:
        if (watched == view_) {
            auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_Delete && (key->modifiers() & Qt::ControlModifier))
                return true;
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                zoom();
                return true;
            }
        }
        break;
    case QEvent::Wheel:
        if (watched == view_->viewport()) {
            auto *wheel = static_cast<QWheelEvent *>(event);
            view_->setFocus();
            const int step = wheel->angleDelta().y() < 0 ? 1 : -1;
            const int target = view_->currentIndex().row() + step;
            if (target >= 0 && target < proxy_->rowCount())
                view_->setCurrentIndex(
                    proxy_->index(target, qMax(0, view_->currentIndex().column())));
            else if (target >= proxy_->rowCount() && proxy_->canFetchMore({})) {
                proxy_->fetchMore({});
                if (target < proxy_->rowCount())
                    view_->setCurrentIndex(proxy_->index(target, 0));
            }
            return true;
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}
