#include "EditableTable.h"

#include "Database.h"
#include "DbError.h"
#include "Query.h"

#include <QSqlQuery>

namespace {
ParamValue::Type paramType(Schema::ColumnType type) {
    switch (type) {
    case Schema::ColumnType::Number:
        return ParamValue::Type::Number;
    case Schema::ColumnType::Whole:
        return ParamValue::Type::Integer;
    case Schema::ColumnType::Text:
        return ParamValue::Type::Text;
    case Schema::ColumnType::Date:
        return ParamValue::Type::Date;
    case Schema::ColumnType::DateTime:
        return ParamValue::Type::DateTime;
    case Schema::ColumnType::Time:
        return ParamValue::Type::Time;
    }
    return ParamValue::Type::Text;
}

QString keyParam(int i) {
    return QStringLiteral("K%1").arg(i);
}

QString keyText(const QVariant &value) {
    return value.isNull() ? QStringLiteral("null") : value.toString();
}
} // namespace

EditableTable::EditableTable(Database &db, const QString &tableName)
    : DataSet(db), table_(Schema::table(tableName)) {}

QString EditableTable::selectText(bool appendOnly) const {
    const QString columns = QStringLiteral("SELECT ") +
                            table_.columnNames().join(QStringLiteral(", ")) +
                            QStringLiteral(" FROM ") + table_.name;
    // Never true: the host answers from the statement alone, without reading the table.
    if (appendOnly)
        return columns + QStringLiteral(" WHERE 1 = 0");
    QStringList conditions;
    if (!filter_.isEmpty())
        conditions << u'(' + filter_ + u')';
    for (int i = 0; i < restriction_.size(); ++i)
        conditions << restriction_[i].first + QStringLiteral(" = :") + keyParam(i);
    QString sql = columns;
    if (!conditions.isEmpty())
        sql += QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    if (!table_.key.isEmpty())
        sql += QStringLiteral(" ORDER BY ") + table_.key.join(QStringLiteral(", "));
    return sql;
}

ParamValue EditableTable::columnValue(int column, const QVariant &value) const {
    if (value.isNull())
        return ParamValue::null();
    const Schema::Column &c = table_.columns[static_cast<std::size_t>(column)];
    ParamValue out{paramType(c.type), value};
    if (c.type == Schema::ColumnType::Text)
        return ParamValue::text(value.toString());
    if (c.type == Schema::ColumnType::Date || c.type == Schema::ColumnType::DateTime)
        out.value = DataSet::toDateTime(value);
    return out;
}

void EditableTable::open() {
    QMap<QString, ParamValue> params;
    for (int i = 0; i < restriction_.size(); ++i)
        params.insert(keyParam(i),
                      columnValue(columnOf(restriction_[i].first), restriction_[i].second));
    DataSet::close();
    startReading(execute(selectText(), params));
    appendOnly_ = false;
    state_ = State::Browse;
}

void EditableTable::openToAppend() {
    DataSet::close();
    startReading(execute(selectText(true), {}));
    appendOnly_ = true;
    state_ = State::Browse;
}

void EditableTable::close() {
    DataSet::close();
    state_ = State::Inactive;
}

void EditableTable::refresh() {
    const int row = recNo();
    if (appendOnly_)
        openToAppend();
    else
        open();
    moveTo(row);
}

int EditableTable::columnOf(const QString &name) const {
    const Schema::Column *c = table_.column(name);
    if (!c)
        throw DbError(QStringLiteral("Tabela ") + table_.name + QStringLiteral(" nima stolpca ") +
                      name + u'.');
    return static_cast<int>(c - table_.columns.data());
}

bool EditableTable::restrict(const QList<QPair<QString, QVariant>> &columnValues) {
    restriction_ = columnValues;
    open();
    return !eof();
}

bool EditableTable::restrictToKey(const QVariantList &keyValues) {
    QList<QPair<QString, QVariant>> pairs;
    for (int i = 0; i < keyValues.size() && i < table_.key.size(); ++i)
        pairs.append({table_.key[i], keyValues[i]});
    return restrict(pairs);
}

void EditableTable::clearRestriction() {
    restriction_.clear();
    if (active())
        open();
}

const DataSet::Row *EditableTable::editedRow() const {
    return state_ == State::Insert || state_ == State::Edit ? &buffer_ : nullptr;
}

void EditableTable::append() {
    if (!active())
        openToAppend();
    buffer_ = Row(columnCount());
    original_.clear();
    state_ = State::Insert;
}

void EditableTable::edit() {
    if (eof())
        throw DbError(QStringLiteral("Tabela ") + table_.name +
                      QStringLiteral(" nima vrstice, ki bi jo lahko spremenil."));
    buffer_ = storedRow(recNo());
    original_ = buffer_;
    state_ = State::Edit;
}

void EditableTable::setValue(const QString &column, const QVariant &value) {
    if (state_ != State::Insert && state_ != State::Edit)
        throw DbError(QStringLiteral("Tabela ") + table_.name +
                      QStringLiteral(" ni v načinu vnosa ali spreminjanja."));
    const int index = requireColumn(column);
    const Schema::Column &c = table_.columns[static_cast<std::size_t>(index)];
    QVariant stored = value;
    if (!value.isNull() &&
        (c.type == Schema::ColumnType::Date || c.type == Schema::ColumnType::DateTime))
        stored = DataSet::toDateTime(value);
    if (c.type == Schema::ColumnType::Text && value.toString().isEmpty())
        stored = QVariant();
    buffer_[index] = stored;
}

QString EditableTable::keyCondition(const Row &row, QMap<QString, ParamValue> &params) const {
    QStringList where;
    for (int k = 0; k < table_.key.size(); ++k) {
        const int column = requireColumn(table_.key[k]);
        // A null key value (an instrument without a code) matches with IS NULL, never with =.
        if (row.value(column).isNull()) {
            where << table_.key[k] + QStringLiteral(" IS NULL");
            continue;
        }
        params.insert(keyParam(k), columnValue(column, row.value(column)));
        where << table_.key[k] + QStringLiteral(" = :") + keyParam(k);
    }
    return where.join(QStringLiteral(" AND "));
}

DbError EditableTable::rowGone(const Row &row) const {
    QStringList key;
    for (const QString &name : table_.key)
        key << name + u'=' + keyText(row.value(requireColumn(name)));
    return DbError(QStringLiteral("Vrstica tabele ") + table_.name + QStringLiteral(" s ključem ") +
                   key.join(QStringLiteral(", ")) +
                   QStringLiteral(" ne obstaja več: medtem jo je nekdo spremenil ali zbrisal. "
                                  "Osvežite podatke in ponovite dejanje."));
}

void EditableTable::post() {
    if (state_ != State::Insert && state_ != State::Edit)
        return;
    if (beforePost)
        beforePost(*this);
    QMap<QString, ParamValue> params;
    const int columns = static_cast<int>(table_.columns.size());
    QStringList names;
    QStringList markers;
    QStringList assignments;
    for (int i = 0; i < columns; ++i) {
        const QString param = QStringLiteral("C%1").arg(i);
        params.insert(param, columnValue(i, buffer_[i]));
        names << table_.columns[static_cast<std::size_t>(i)].name;
        markers << u':' + param;
        assignments << names.last() + QStringLiteral(" = :") + param;
    }
    QString sql;
    if (state_ == State::Insert) {
        sql = QStringLiteral("INSERT INTO ") + table_.name + QStringLiteral(" (") +
              names.join(QStringLiteral(", ")) + QStringLiteral(") VALUES (") +
              markers.join(QStringLiteral(", ")) + u')';
    } else {
        sql = QStringLiteral("UPDATE ") + table_.name + QStringLiteral(" SET ") +
              assignments.join(QStringLiteral(", ")) + QStringLiteral(" WHERE ") +
              keyCondition(original_, params);
    }
    const QSqlQuery &query = execute(sql, params);
    if (state_ == State::Edit && query.numRowsAffected() == 0)
        throw rowGone(original_);
    if (state_ == State::Insert) {
        appendRow(buffer_);
        setCurrent(fetchedRowCount() - 1);
    } else {
        replaceRow(recNo(), buffer_);
    }
    state_ = State::Browse;
    afterChange();
}

void EditableTable::cancel() {
    if (state_ == State::Insert || state_ == State::Edit)
        state_ = State::Browse;
}

void EditableTable::deleteRow() {
    if (eof() || state_ != State::Browse)
        throw DbError(QStringLiteral("Tabela ") + table_.name +
                      QStringLiteral(" nima vrstice, ki bi jo lahko zbrisal."));
    if (beforeDelete)
        beforeDelete(*this);
    const Row row = storedRow(recNo());
    QMap<QString, ParamValue> params;
    const QString where = keyCondition(row, params);
    if (execute(QStringLiteral("DELETE FROM ") + table_.name + QStringLiteral(" WHERE ") + where,
                params)
            .numRowsAffected() == 0)
        throw rowGone(row);
    removeRow(recNo());
    afterChange();
}

bool KeyFilteredTable::setKeyValue(const QVariant &value) {
    return restrict({{keyColumn_.isEmpty() ? table().key.value(0) : keyColumn_, value}});
}
