#pragma once

#include "FieldDef.h"

#include <QAbstractTableModel>
#include <QStringList>

class RowSource;

// The link between a dataset and the grids that show it: a read-only table model whose columns
// are the dataset's visible fields (or all its columns when it declares none) and whose rows
// are fetched as the view scrolls, never all at once.
class GridDataSource : public QAbstractTableModel {
    Q_OBJECT
public:
    // Role giving a cell's raw value (for sorting).
    static constexpr int ValueRole = Qt::UserRole + 1;

    explicit GridDataSource(QObject *parent = nullptr);

    void setDataSet(RowSource *dataSet);
    RowSource *dataSet() const { return dataSet_; }
    // Call after the dataset was opened, closed or reloaded.
    void dataSetChanged();
    // Announces rows the dataset fetched on its own (moving its current row, counting).
    void syncRows();

    // The columns shown, as field names, in order.
    QStringList columnFields() const { return columns_; }
    void setColumnFields(const QStringList &fields);
    // Every column the dataset offers (visible or not), in field order.
    QStringList allFields() const;
    // The field of a shown column (declared, or a plain text field named after the column).
    FieldDef fieldAt(int column) const;
    static QString title(const FieldDef &field);
    // The cell text: the field's display format applied.
    QString displayText(int row, int column) const;
    static QString displayText(const FieldDef &field, const QVariant &value);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

private:
    void defaultColumns();

    RowSource *dataSet_ = nullptr;
    QStringList columns_;
    QVector<int> sourceColumns_;
    int shownRows_ = 0;
};
