#include "RowStore.h"

#include <QByteArray>
#include <QDate>
#include <QDebug>
#include <QTimeZone>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>

namespace {
struct Cell {
    const char *name;
    QVariant value;
};

std::vector<Cell> cells() {
    const QDate day(2014, 4, 2);
    const QTime time(13, 45, 1, 123);
    return {
        {"invalid", QVariant()},
        {"null text", QVariant(QMetaType::fromType<QString>())},
        {"null whole number", QVariant(QMetaType::fromType<qlonglong>())},
        {"null number", QVariant(QMetaType::fromType<double>())},
        {"null date-time", QVariant(QMetaType::fromType<QDateTime>())},
        {"text holding a null text", QVariant(QString())},
        {"empty text", QVariant(QString(""))},
        {"text", QVariant(QString("EUR"))},
        {"non-Latin text", QVariant(QString("Čas, Šoštanj, žž"))},
        {"text of the longest pooled length", QVariant(QString("ž").repeated(1024))},
        {"long text", QVariant(QString("Čas ").repeated(2000))},
        {"int", QVariant(-7)},
        {"int max", QVariant(std::numeric_limits<int>::max())},
        {"small qint64", QVariant(qlonglong(-5))},
        {"qint64 past 32 bits", QVariant(qlonglong(1) << 31)},
        {"qint64 min", QVariant(std::numeric_limits<qlonglong>::min())},
        {"qint64 max", QVariant(std::numeric_limits<qlonglong>::max())},
        {"fraction", QVariant(0.1)},
        {"negative", QVariant(-1234.5678)},
        {"huge", QVariant(1.7e308)},
        {"negative zero", QVariant(-0.0)},
        {"local date-time with ms", QVariant(QDateTime(day, time))},
        {"UTC date-time", QVariant(QDateTime(day, time, Qt::UTC))},
        {"offset date-time", QVariant(QDateTime(day, time, Qt::OffsetFromUTC, 3600))},
        {"zone date-time", QVariant(QDateTime(day, time, QTimeZone("Europe/Ljubljana")))},
        {"invalid date-time", QVariant(QDateTime())},
        {"date", QVariant(day)},
        {"time", QVariant(time)},
        {"bool", QVariant(true)},
        {"bytes", QVariant(QByteArray("\0\1rapo", 6))},
        {"unsigned", QVariant(42u)},
    };
}

QString shown(const QVariant &v) {
    QString text;
    QDebug(&text) << v << "null" << v.isNull();
    if (v.typeId() == QMetaType::QDateTime)
        QDebug(&text) << v.toDateTime().timeSpec() << v.toDateTime().offsetFromUtc();
    return text;
}

// Same type, same nullness and the same value, down to a null text, the bits of a number and
// the time spec of a date-time.
::testing::AssertionResult same(const QVariant &expected, const QVariant &actual) {
    bool equal = expected.typeId() == actual.typeId() && expected.isNull() == actual.isNull();
    if (!equal || expected.isNull()) {
    } else if (expected.typeId() == QMetaType::QString) {
        equal = expected.toString() == actual.toString() &&
                expected.toString().isNull() == actual.toString().isNull();
    } else if (expected.typeId() == QMetaType::Double) {
        const double a = expected.toDouble();
        const double b = actual.toDouble();
        equal = std::memcmp(&a, &b, sizeof a) == 0;
    } else if (expected.typeId() == QMetaType::QDateTime) {
        const QDateTime a = expected.toDateTime();
        const QDateTime b = actual.toDateTime();
        equal = a == b && a.timeSpec() == b.timeSpec() && a.date() == b.date() &&
                a.time() == b.time() && (!a.isValid() || a.offsetFromUtc() == b.offsetFromUtc()) &&
                a.timeZone() == b.timeZone();
    } else {
        equal = expected == actual;
    }
    if (equal)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "stored " << shown(expected).toStdString() << ", read "
                                         << shown(actual).toStdString();
}

void expectRows(const RowStore &store, const std::vector<RowStore::Row> &rows,
                const std::vector<Cell> &table) {
    ASSERT_EQ(store.size(), static_cast<int>(rows.size()));
    for (int r = 0; r < store.size(); ++r) {
        const RowStore::Row read = store.row(r);
        for (int c = 0; c < store.columnCount(); ++c) {
            const QVariant &expected = rows[std::size_t(r)][c];
            EXPECT_TRUE(same(expected, store.value(r, c))) << "row " << r << ", column " << c;
            EXPECT_TRUE(same(expected, read[c])) << "whole row " << r << ", column " << c;
        }
        if (::testing::Test::HasFailure())
            FAIL() << "stopped at row " << r << " of " << table.size() << " kinds of value";
    }
}

// Each row holds every kind of value, shifted by one column from the row before, so every
// kind lies in every column and across the chunks the rows are kept in. Texts are read back
// both where they are kept once and where, past the limit of such texts, they lie in the pool.
TEST(RowStore, EveryValueReadsBackAsStoredThroughAppendReplaceAndRemove) {
    const std::vector<Cell> table = cells();
    const int columns = static_cast<int>(table.size());
    const auto shifted = [&](int by) {
        RowStore::Row row(columns);
        for (int c = 0; c < columns; ++c)
            row[c] = table[std::size_t((c + by) % columns)].value;
        return row;
    };
    struct Regime {
        const char *name;
        int distinctTextsBefore;
    };
    for (const Regime regime : {Regime{"texts kept once", 0}, Regime{"texts in the pool", 70000}}) {
        SCOPED_TRACE(regime.name);
        RowStore store(columns);
        std::vector<RowStore::Row> rows;
        for (int i = 0; i < regime.distinctTextsBefore; ++i) {
            RowStore::Row row(columns);
            row[i % columns] = QString("Posel %1 Šoštanj").arg(i);
            store.append(row);
            rows.push_back(row);
        }
        const int first = store.size();
        for (int i = 0; i < 2100; ++i) {
            store.append(shifted(i));
            rows.push_back(shifted(i));
        }
        expectRows(store, rows, table);

        for (const int at : {first, first + 5, first + 1500}) {
            store.replace(at, shifted(at + 7));
            rows[std::size_t(at)] = shifted(at + 7);
        }
        const int chunkEdge = first + 1023 - first % 1024;
        for (const int fromEnd :
             {store.size() - first - 1, store.size() - chunkEdge, store.size() - first - 2000, 1}) {
            const int at = static_cast<int>(rows.size()) - fromEnd;
            store.remove(at);
            rows.erase(rows.begin() + at);
        }
        store.append(shifted(3));
        rows.push_back(shifted(3));
        expectRows(store, rows, table);
        EXPECT_FALSE(store.value(store.size(), 0).isValid());
        EXPECT_FALSE(store.value(0, columns).isValid());

        store.clear();
        EXPECT_EQ(store.size(), 0);
        store.append(shifted(1));
        expectRows(store, {shifted(1)}, table);
    }
}
} // namespace
