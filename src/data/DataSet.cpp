#include "DataSet.h"

#include "Database.h"
#include "DbError.h"
#include "JulianDay.h"
#include "Query.h"
#include "ShortDateFormat.h"
#include "ValueText.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlResult>
#include <algorithm>
#include <cmath>
#include <sqlite3.h>

namespace {
// The shortest decimal form: no exponent, no trailing zeros.
QString numberText(double v) {
    if (std::isfinite(v) && std::abs(v) < 1e15 && v == std::trunc(v))
        return QString::number(static_cast<qint64>(v));
    QString text = QString::number(v, 'f', 10);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    return text;
}

bool isDateType(FieldDef::Type type) {
    return type == FieldDef::Type::Date || type == FieldDef::Type::DateTime ||
           type == FieldDef::Type::Time;
}

// The declared type of a column of the embedded database, where it is a plain column.
QString embeddedDeclaredType(const QSqlQuery &query, int column) {
    const QVariant handle = query.result()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3_stmt*") != 0)
        return {};
    auto *statement = *static_cast<sqlite3_stmt *const *>(handle.constData());
    if (!statement)
        return {};
    const char *type = sqlite3_column_decltype(statement, column);
    return type ? QString::fromLatin1(type).toUpper() : QString();
}
} // namespace

DataSet::DataSet(Database &db) : db_(db) {}

DataSet::~DataSet() = default;

void DataSet::close() {
    if (source_)
        source_->finish();
    source_ = nullptr;
    columns_.clear();
    index_.clear();
    spelledIndex_.clear();
    dateColumn_.clear();
    rows_.reset(0);
    current_ = 0;
    active_ = false;
    exhausted_ = true;
}

void DataSet::startReading(QSqlQuery &query) {
    const bool embedded = db_.isEmbedded();
    source_ = &query;
    const QSqlRecord record = source_->record();
    columns_.clear();
    index_.clear();
    spelledIndex_.clear();
    dateColumn_.clear();
    sizes_.clear();
    storedColumns_ = static_cast<int>(record.count());
    for (int i = 0; i < record.count(); ++i) {
        const QString name = record.fieldName(i);
        columns_ << name;
        index_.insert(name.toUpper(), i);
        const FieldDef *declared = field(name);
        bool isDate = declared && isDateType(declared->type);
        if (!declared && embedded) {
            const QString type = embeddedDeclaredType(*source_, i);
            isDate = type == QLatin1String("DATE") || type == QLatin1String("DATETIME") ||
                     type == QLatin1String("TIME");
        }
        dateColumn_.push_back(isDate && embedded);
        sizes_.push_back(declared && declared->type == FieldDef::Type::Text ? declared->size : 0);
    }
    for (const FieldDef &f : fields_) {
        if (f.calculated && !index_.contains(f.name.toUpper())) {
            index_.insert(f.name.toUpper(), static_cast<int>(columns_.size()));
            columns_ << f.name;
            dateColumn_.push_back(false);
        }
    }
    rows_.reset(static_cast<int>(columns_.size()));
    current_ = 0;
    active_ = true;
    exhausted_ = false;
    fetchOne();
}

bool DataSet::fetchOne() {
    if (exhausted_ || !source_)
        return false;
    if (!source_->next()) {
        exhausted_ = true;
        if (source_->lastError().isValid())
            throw DbError::fromSql(source_->lastError());
        return false;
    }
    db_.statementLog().rowRead();
    Row row(columns_.size());
    for (int i = 0; i < storedColumns_; ++i) {
        QVariant v = source_->value(i);
        if (dateColumn_[static_cast<std::size_t>(i)] && !v.isNull())
            v = toDateTime(v);
        else if (const int size = sizes_[static_cast<std::size_t>(i)];
                 size > 0 && v.typeId() == QMetaType::QString && v.toString().size() > size)
            v = v.toString().left(size);
        row[i] = std::move(v);
    }
    if (calcFields_)
        calcFields_(*this, row);
    rows_.append(row);
    return true;
}

bool DataSet::canFetchMore() const {
    return active_ && !exhausted_;
}

int DataSet::fetchMore(int count) {
    int fetched = 0;
    while (fetched < count && fetchOne())
        ++fetched;
    return fetched;
}

void DataSet::first() {
    current_ = 0;
}

void DataSet::next() {
    if (current_ < fetchedRowCount())
        ++current_;
    if (current_ >= fetchedRowCount())
        fetchOne();
}

bool DataSet::eof() const {
    return current_ >= fetchedRowCount();
}

bool DataSet::moveTo(int row) {
    while (row >= fetchedRowCount() && fetchOne()) {
    }
    if (row < 0 || row >= fetchedRowCount())
        return false;
    current_ = row;
    return true;
}

int DataSet::recordCount() {
    while (fetchOne()) {
    }
    return fetchedRowCount();
}

bool DataSet::locate(const QString &columns, const QVariantList &values, bool caseInsensitive) {
    const QStringList names = columns.split(u';', Qt::SkipEmptyParts);
    QVector<int> indexes;
    for (const QString &name : names)
        indexes << requireColumn(name.trimmed());
    const Qt::CaseSensitivity cs = caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive;
    for (int row = 0; row < fetchedRowCount() || fetchOne(); ++row) {
        bool match = true;
        for (int i = 0; i < indexes.size() && match; ++i)
            match =
                valueText(valueAt(row, indexes[i])).compare(valueText(values.value(i)), cs) == 0;
        if (match) {
            current_ = row;
            return true;
        }
    }
    return false;
}

int DataSet::columnIndex(const QString &column) const {
    const auto spelled = spelledIndex_.constFind(column);
    if (spelled != spelledIndex_.constEnd())
        return *spelled;
    const int index = index_.value(column.toUpper(), -1);
    if (index >= 0)
        spelledIndex_.insert(column, index);
    return index;
}

int DataSet::requireColumn(const QString &column) const {
    const int index = columnIndex(column);
    if (index < 0)
        throw DbError(QStringLiteral("Polja ") + column + QStringLiteral(" ni v naboru podatkov."));
    return index;
}

QVariant DataSet::value(const QString &column) const {
    const int index = requireColumn(column);
    if (const Row *edited = editedRow())
        return edited->value(index);
    return rows_.value(current_, index);
}

QVariant DataSet::valueAt(int row, int column) const {
    return rows_.value(row, column);
}

bool DataSet::isNull(const QString &column) const {
    return value(column).isNull();
}

QString DataSet::asString(const QString &column) const {
    return valueText(value(column));
}

qint64 DataSet::asInteger(const QString &column) const {
    const QVariant v = value(column);
    if (v.isNull())
        return 0;
    if (v.typeId() == QMetaType::Double)
        return static_cast<qint64>(v.toDouble());
    bool ok = false;
    const qint64 whole = v.toLongLong(&ok);
    return ok ? whole : static_cast<qint64>(v.toDouble());
}

double DataSet::asFloat(const QString &column) const {
    const QVariant v = value(column);
    return v.isNull() ? 0.0 : v.toDouble();
}

QDateTime DataSet::asDateTime(const QString &column) const {
    return toDateTime(value(column));
}

const FieldDef *DataSet::field(const QString &name) const {
    for (const FieldDef &f : fields_)
        if (f.name.compare(name, Qt::CaseInsensitive) == 0)
            return &f;
    return nullptr;
}

QDateTime DataSet::toDateTime(const QVariant &value) {
    if (value.isNull())
        return {};
    if (const QDateTime typed = ValueText::dateTimeOf(value); typed.isValid())
        return typed;
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Int:
    case QMetaType::LongLong:
        return JulianDay::toDateTime(value.toDouble());
    default:
        break;
    }
    const QString text = value.toString().trimmed();
    bool numeric = false;
    const double julian = text.toDouble(&numeric);
    if (numeric)
        return JulianDay::toDateTime(julian);
    const QDate date = ShortDateFormat::fromText(text.left(10));
    if (date.isValid()) {
        const QTime time = QTime::fromString(text.mid(11), QStringLiteral("HH:mm:ss"));
        return QDateTime(date, time.isValid() ? time : QTime(0, 0));
    }
    return QDateTime::fromString(text, Qt::ISODate);
}

QString DataSet::valueText(const QVariant &value) {
    if (value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::QDateTime:
        return ValueText::dateTimeText(value.toDateTime());
    case QMetaType::QDate:
        return ShortDateFormat::toText(value.toDate());
    case QMetaType::QTime:
        return value.toTime().toString(QStringLiteral("HH:mm:ss"));
    case QMetaType::Double:
        return numberText(value.toDouble());
    default:
        return value.toString();
    }
}

QSqlQuery &DataSet::execute(const QString &sql, const QMap<QString, ParamValue> &params) {
    Database &db = database();
    auto found = prepared_.find(sql);
    if (found == prepared_.end()) {
        // A few texts per dataset at most; a dataset whose text keeps changing starts afresh.
        if (prepared_.size() >= 8) {
            if (source_)
                source_->finish();
            source_ = nullptr;
            prepared_.clear();
        }
        const Query::Positional p = Query::positional(db.prepareText(sql));
        Prepared prepared{std::make_unique<QSqlQuery>(db.connection()), p.names};
        prepared.query->setForwardOnly(true);
        if (!prepared.query->prepare(p.text))
            throw DbError::fromSql(prepared.query->lastError(), sql);
        found = prepared_.emplace(sql, std::move(prepared)).first;
    }
    QSqlQuery &query = *found->second.query;
    query.finish();
    const QStringList &names = found->second.names;
    StatementLog::Values logged;
    for (int i = 0; i < names.size(); ++i) {
        const auto value = params.constFind(names[i].toUpper());
        if (value == params.constEnd())
            throw DbError(QStringLiteral("Parameter :") + names[i] +
                          QStringLiteral(" nima vrednosti.\n") + sql.trimmed());
        query.bindValue(i, db.bindValue(*value));
        if (std::none_of(logged.cbegin(), logged.cend(), [&](const auto &v) {
                return v.first.compare(names[i], Qt::CaseInsensitive) == 0;
            }))
            logged.append({names[i], *value});
    }
    db.statementLog().sent(sql, logged);
    if (!query.exec())
        throw DbError::fromSql(query.lastError(), sql);
    return query;
}
