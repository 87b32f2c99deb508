#include "ImportBatch.h"

#include "ActivityLog.h"
#include "DataSet.h"
#include "DbError.h"
#include "MultiRowInsert.h"
#include "Query.h"
#include "Schema.h"
#include "Session.h"
#include "TradeImport.h"

#include <QStringList>
#include <algorithm>

namespace {
const Schema::Table &importTable() {
    return Schema::table(QStringLiteral("DPATVPIMP"));
}

ParamValue paramValue(const Schema::Column &c, const QVariant &value) {
    if (value.isNull())
        return ParamValue::null();
    switch (c.type) {
    case Schema::ColumnType::Text:
        return ParamValue::text(value.toString());
    case Schema::ColumnType::Date:
    case Schema::ColumnType::DateTime:
        return ParamValue::dateTime(DataSet::toDateTime(value));
    case Schema::ColumnType::Whole:
        return ParamValue::integer(value.toLongLong());
    default:
        return {ParamValue::Type::Number, value};
    }
}

// An IN list holds at most 1000 values on Oracle.
constexpr int inListSize = 1000;
} // namespace

ImportBatch::ImportBatch(Session &session, qint64 nextId) : session_(session), nextId_(nextId) {}

QString ImportBatch::lockSql() {
    return QStringLiteral("LOCK TABLE DPATVPIMP IN EXCLUSIVE MODE");
}

QString ImportBatch::deleteSql(int rows) {
    QStringList markers;
    for (int i = 0; i < rows; ++i)
        markers << QStringLiteral(":I%1").arg(i);
    return QStringLiteral(" DELETE FROM DPATVPIMP WHERE IDIMP IN (") +
           markers.join(QStringLiteral(", ")) + QStringLiteral(") ");
}

QString ImportBatch::insertSql(int rows, bool isDb2) {
    return MultiRowInsert::sql(QStringLiteral("DPATVPIMP"), importTable().columnNames(), rows,
                               isDb2);
}

void ImportBatch::begin(int sheetRow) {
    if (tx_)
        return;
    tx_.emplace(session_.db);
    firstRow_ = sheetRow;
    Query lock(session_.db, QStringLiteral("qDPATVPIMP"));
    lock.setText(lockSql());
    lock.exec();
    // Another workstation may have imported since the first identifier was read.
    nextId_ = std::max(nextId_, TradeImport::nextId(session_));
}

qint64 ImportBatch::takeId() {
    return nextId_++;
}

void ImportBatch::write(const Values &row, bool stored) {
    const qint64 id = row[0].toLongLong();
    const auto pending = pendingById_.find(id);
    if (pending != pendingById_.end()) {
        pending_[pending->second] = row;
        return;
    }
    if (stored)
        stored_ << id;
    pendingById_[id] = pending_.size();
    pending_.push_back(row);
}

void ImportBatch::log(const QString &mark, const QString &rowText) {
    log_.append({mark, rowText});
}

void ImportBatch::saved() {
    if (++rows_ == size)
        commit();
}

void ImportBatch::flush() {
    const bool isDb2 = session_.isDb2();
    session_.activityLog.writeRows(QStringLiteral("DPATVPIMP"), log_, isDb2);
    Query q(session_.db, QStringLiteral("tDPATVPIMP"));
    for (qsizetype start = 0; start < stored_.size(); start += inListSize) {
        const int count = static_cast<int>(std::min<qsizetype>(inListSize, stored_.size() - start));
        q.setText(deleteSql(count));
        for (int i = 0; i < count; ++i)
            q.setInteger(QStringLiteral("I%1").arg(i), stored_[start + i]);
        if (q.exec() < count)
            throw DbError(QStringLiteral("Uvoženih poslov, ki jih uvoz spreminja, ni več v tabeli "
                                         "DPATVPIMP: medtem jih je nekdo spremenil ali zbrisal. "
                                         "Ponovite uvoz."));
    }
    const Schema::Table &t = importTable();
    for (size_t start = 0; start < pending_.size(); start += size) {
        const int count = static_cast<int>(std::min<size_t>(size, pending_.size() - start));
        q.setText(insertSql(count, isDb2));
        for (int r = 0; r < count; ++r)
            for (size_t c = 0; c < t.columns.size(); ++c)
                q.setParam(MultiRowInsert::markerName(r, int(c)),
                           paramValue(t.columns[c], pending_[start + size_t(r)][c]));
        q.exec();
    }
}

void ImportBatch::commit() {
    if (tx_) {
        flush();
        tx_->commit();
    }
    clear();
}

int ImportBatch::rollback() {
    const int first = tx_ ? firstRow_ : 0;
    clear();
    return first;
}

void ImportBatch::clear() {
    tx_.reset();
    rows_ = 0;
    pending_.clear();
    pendingById_.clear();
    stored_.clear();
    log_.clear();
}
