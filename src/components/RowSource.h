#pragma once

#include "FieldDef.h"

#include <QString>
#include <QVariant>
#include <vector>

// What a grid needs of the rows it shows: declared fields, rows fetched as the grid scrolls,
// a current row the screen's hooks read, and reloading. The data layer's datasets provide it.
class RowSource {
public:
    virtual ~RowSource() = default;

    virtual bool active() const = 0;
    virtual const std::vector<FieldDef> &fields() const = 0;
    virtual int columnCount() const = 0;
    virtual QString columnName(int index) const = 0;
    virtual int columnIndex(const QString &column) const = 0;

    virtual int fetchedRowCount() const = 0;
    virtual bool canFetchMore() const = 0;
    virtual int fetchMore(int count) = 0;
    virtual QVariant valueAt(int row, int column) const = 0;
    // Reads every row; gives their number.
    virtual int recordCount() = 0;

    virtual int recNo() const = 0;
    virtual bool moveTo(int row) = 0;
    virtual void reload() = 0;
};
