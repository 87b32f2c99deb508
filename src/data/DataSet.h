#pragma once

#include "FieldDef.h"
#include "ParamValue.h"
#include "RowSource.h"
#include "RowStore.h"

#include <QDateTime>
#include <QHash>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

class Database;
class QSqlQuery;

// Rows read from the database, first to last. Rows are fetched as they are reached (a grid
// fetches them as it scrolls); columns are found by name without regard to case. A null reads
// as an empty text, 0, or an invalid date-time (which the program treats as "no date").
class DataSet : public RowSource {
public:
    // A row on its way in (fetched, or being edited); the rows kept are held compactly.
    using Row = RowStore::Row;
    // Fills the calculated columns of a freshly fetched row.
    using CalcFields = std::function<void(const DataSet &, Row &)>;

    explicit DataSet(Database &db);
    ~DataSet() override;
    DataSet(const DataSet &) = delete;
    DataSet &operator=(const DataSet &) = delete;

    Database &database() const { return db_; }
    bool active() const override { return active_; }
    virtual void close();
    // Reads the rows again as they are now in the database.
    void reload() override = 0;

    // Navigation.
    void first();
    void next();
    bool eof() const;
    int recNo() const override { return current_; }
    // Moves to a row (fetching up to it); false when there is no such row.
    bool moveTo(int row) override;
    // Reads every row.
    int recordCount() override;
    // Moves to the first row whose columns (names separated by ";") equal the values.
    bool locate(const QString &columns, const QVariantList &values, bool caseInsensitive = false);

    // The current row.
    QVariant value(const QString &column) const;
    QString asString(const QString &column) const;
    qint64 asInteger(const QString &column) const;
    double asFloat(const QString &column) const;
    QDateTime asDateTime(const QString &column) const;
    bool isNull(const QString &column) const;

    // Columns, database columns first, then calculated ones.
    int columnCount() const override { return static_cast<int>(columns_.size()); }
    QString columnName(int index) const override { return columns_.value(index); }
    int columnIndex(const QString &column) const override;
    // Throws when there is no such column.
    int requireColumn(const QString &column) const;

    // Row access without moving, for grids.
    int fetchedRowCount() const override { return rows_.size(); }
    bool canFetchMore() const override;
    int fetchMore(int count) override;
    QVariant valueAt(int row, int column) const override;

    // Declared fields (captions, widths, formats, calculated columns).
    void setFields(std::vector<FieldDef> fields) { fields_ = std::move(fields); }
    const std::vector<FieldDef> &fields() const override { return fields_; }
    const FieldDef *field(const QString &name) const;
    void setCalcFields(CalcFields hook) { calcFields_ = std::move(hook); }

    // The program's text of a value: dates as "dd.mm.yyyy" with the time behind when it is not
    // midnight, numbers in their shortest form, null as an empty text.
    static QString valueText(const QVariant &value);
    static QDateTime toDateTime(const QVariant &value);

protected:
    // Runs a statement with named parameters (values keyed by upper-cased name).
    // The statement is prepared once per text and reused while this dataset lives.
    QSqlQuery &execute(const QString &sql, const QMap<QString, ParamValue> &params);
    // Starts reading the rows of an executed query of this dataset.
    void startReading(QSqlQuery &query);
    // The row being edited, which the current row's values come from instead of the stored
    // row; none by default.
    virtual const Row *editedRow() const { return nullptr; }
    // A copy of a stored row.
    Row storedRow(int row) const { return rows_.row(row); }
    void replaceRow(int row, const Row &values) { rows_.replace(row, values); }
    void appendRow(const Row &row) { rows_.append(row); }
    void removeRow(int row) { rows_.remove(row); }
    void setCurrent(int row) { current_ = row; }
    bool fetchOne();

private:
    Database &db_;
    QSqlQuery *source_ = nullptr;
    // Prepared statements by text, with their parameter names in marker order.
    struct Prepared {
        std::unique_ptr<QSqlQuery> query;
        QStringList names;
    };
    std::unordered_map<QString, Prepared> prepared_;
    QStringList columns_;
    QHash<QString, int> index_; // upper-cased name -> column
    // The names as callers spell them -> column, so a name is upper-cased once per reading.
    mutable QHash<QString, int> spelledIndex_;
    int storedColumns_ = 0; // the columns the statement gives
    std::vector<bool> dateColumn_;
    std::vector<int> sizes_; // declared text sizes; 0: none
    // The rows fetched, held compactly; a text that repeats (a currency, a venue, a client's
    // name) is kept there once.
    RowStore rows_;
    int current_ = 0;
    bool active_ = false;
    bool exhausted_ = true;
    std::vector<FieldDef> fields_;
    CalcFields calcFields_;
};
