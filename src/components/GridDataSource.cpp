#include "GridDataSource.h"

#include "DisplayFormat.h"
#include "RowSource.h"
#include "ShortDateFormat.h"
#include "ValueText.h"

#include <QDateTime>

namespace {
constexpr int fetchBatch = 256;

const FieldDef *declared(const RowSource *ds, const QString &name) {
    if (!ds)
        return nullptr;
    for (const FieldDef &f : ds->fields())
        if (f.name.compare(name, Qt::CaseInsensitive) == 0)
            return &f;
    return nullptr;
}

QString plainText(const QVariant &value) {
    if (value.isNull())
        return {};
    if (value.typeId() == QMetaType::Double)
        return DisplayFormat::formatFloat(value.toDouble(), {});
    const QDateTime dt = ValueText::dateTimeOf(value);
    if (dt.isValid())
        return ValueText::dateTimeText(dt);
    return value.toString();
}
} // namespace

GridDataSource::GridDataSource(QObject *parent) : QAbstractTableModel(parent) {}

void GridDataSource::setDataSet(RowSource *dataSet) {
    beginResetModel();
    dataSet_ = dataSet;
    columns_.clear();
    defaultColumns();
    shownRows_ = dataSet_ && dataSet_->active() ? dataSet_->fetchedRowCount() : 0;
    endResetModel();
}

void GridDataSource::dataSetChanged() {
    beginResetModel();
    if (columns_.isEmpty())
        defaultColumns();
    setColumnFields(columns_);
    shownRows_ = dataSet_ && dataSet_->active() ? dataSet_->fetchedRowCount() : 0;
    endResetModel();
}

void GridDataSource::syncRows() {
    const int available = dataSet_ && dataSet_->active() ? dataSet_->fetchedRowCount() : 0;
    if (available < shownRows_) {
        dataSetChanged();
        return;
    }
    if (available == shownRows_)
        return;
    beginInsertRows({}, shownRows_, available - 1);
    shownRows_ = available;
    endInsertRows();
}

QStringList GridDataSource::allFields() const {
    QStringList names;
    if (!dataSet_)
        return names;
    for (const FieldDef &f : dataSet_->fields())
        names << f.name;
    for (int i = 0; i < dataSet_->columnCount(); ++i) {
        const QString name = dataSet_->columnName(i);
        if (!names.contains(name, Qt::CaseInsensitive))
            names << name;
    }
    return names;
}

void GridDataSource::defaultColumns() {
    columns_.clear();
    if (!dataSet_)
        return;
    if (!dataSet_->fields().empty()) {
        for (const FieldDef &f : dataSet_->fields())
            if (f.visible)
                columns_ << f.name;
    } else {
        for (int i = 0; i < dataSet_->columnCount(); ++i)
            columns_ << dataSet_->columnName(i);
    }
    setColumnFields(columns_);
}

void GridDataSource::setColumnFields(const QStringList &fields) {
    const bool reset = fields != columns_;
    if (reset)
        beginResetModel();
    columns_ = fields;
    sourceColumns_.clear();
    for (const QString &name : columns_)
        sourceColumns_ << (dataSet_ && dataSet_->active() ? dataSet_->columnIndex(name) : -1);
    if (reset)
        endResetModel();
}

FieldDef GridDataSource::fieldAt(int column) const {
    const QString name = columns_.value(column);
    if (const FieldDef *f = declared(dataSet_, name))
        return *f;
    FieldDef plain;
    plain.name = name;
    return plain;
}

QString GridDataSource::title(const FieldDef &field) {
    return field.caption.isEmpty() ? field.name : field.caption;
}

QString GridDataSource::displayText(const FieldDef &field, const QVariant &value) {
    if (value.isNull())
        return {};
    switch (field.type) {
    case FieldDef::Type::Number:
        if (!field.displayFormat.isEmpty())
            return DisplayFormat::formatFloat(value.toDouble(), field.displayFormat);
        return plainText(value);
    case FieldDef::Type::Date:
    case FieldDef::Type::DateTime:
    case FieldDef::Type::Time: {
        const QDateTime dt = ValueText::dateTimeOf(value);
        if (dt.isValid() && !field.displayFormat.isEmpty())
            return DisplayFormat::formatDateTime(dt, field.displayFormat);
        if (dt.isValid() && field.type == FieldDef::Type::Time)
            return dt.time().toString(QStringLiteral("HH:mm:ss"));
        if (dt.isValid() && field.type == FieldDef::Type::Date)
            return ShortDateFormat::toText(dt.date());
        return plainText(value);
    }
    default:
        return plainText(value);
    }
}

QString GridDataSource::displayText(int row, int column) const {
    const int source = sourceColumns_.value(column, -1);
    if (!dataSet_ || source < 0)
        return {};
    return displayText(fieldAt(column), dataSet_->valueAt(row, source));
}

int GridDataSource::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : shownRows_;
}

int GridDataSource::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant GridDataSource::data(const QModelIndex &index, int role) const {
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return displayText(index.row(), index.column());
    if (role == ValueRole) {
        const int source = sourceColumns_.value(index.column(), -1);
        return source < 0 ? QVariant() : dataSet_->valueAt(index.row(), source);
    }
    if (role == Qt::TextAlignmentRole) {
        const FieldDef f = fieldAt(index.column());
        if (f.type == FieldDef::Type::Number || f.type == FieldDef::Type::Whole)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    }
    return {};
}

QVariant GridDataSource::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    return title(fieldAt(section));
}

bool GridDataSource::canFetchMore(const QModelIndex &parent) const {
    if (parent.isValid() || !dataSet_)
        return false;
    return dataSet_->fetchedRowCount() > shownRows_ || dataSet_->canFetchMore();
}

void GridDataSource::fetchMore(const QModelIndex &parent) {
    if (parent.isValid() || !dataSet_)
        return;
    if (dataSet_->fetchedRowCount() - shownRows_ < fetchBatch)
        dataSet_->fetchMore(fetchBatch);
    syncRows();
}
