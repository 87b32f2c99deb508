#include "SheetCell.h"

#include <cmath>

namespace {
constexpr qint64 msPerDay = 86400000;

QDateTime fromSerial(double value) {
    // Whole seconds: the stored fractions are binary approximations of the clock times.
    const qint64 seconds = std::llround(value * 86400.0);
    qint64 days = seconds / 86400;
    qint64 rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    return QDateTime(sheetEpoch.addDays(days), QTime::fromMSecsSinceStartOfDay(int(rest * 1000)));
}

QTime timeFromText(const QString &text) {
    for (const char *pattern : {"H:m:s", "H:m"}) {
        const QTime t = QTime::fromString(text, QString::fromLatin1(pattern));
        if (t.isValid())
            return t;
    }
    return {};
}
} // namespace

SheetCell SheetCell::text(const QString &text) {
    return {Type::Text, text};
}

SheetCell SheetCell::number(double value) {
    return {Type::Number, value};
}

SheetCell SheetCell::serial(double value, Type type) {
    const QDateTime at = fromSerial(value);
    switch (type) {
    case Type::Date:
        if (at.time() == QTime(0, 0))
            return {Type::Date, at.date()};
        return {Type::DateTime, at};
    case Type::Time:
        if (value >= 0 && value < 1)
            return {Type::Time, at.time()};
        return {Type::DateTime, at};
    default:
        return {Type::DateTime, at};
    }
}

bool SheetCell::isEmpty() const {
    return type == Type::Empty || (type == Type::Text && value.toString().isEmpty());
}

QString SheetCell::text() const {
    switch (type) {
    case Type::Empty:
        return {};
    case Type::Text:
    case Type::Error:
        return value.toString();
    case Type::Number: {
        QString s = QString::number(value.toDouble(), 'g', 15);
        return s.replace(u'.', u',');
    }
    case Type::Date:
        return value.toDate().toString(QStringLiteral("dd.MM.yyyy"));
    case Type::Time:
        return value.toTime().toString(QStringLiteral("HH:mm:ss"));
    case Type::DateTime: {
        const QDateTime at = value.toDateTime();
        if (at.time() == QTime(0, 0))
            return at.date().toString(QStringLiteral("dd.MM.yyyy"));
        return at.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
    }
    }
    return {};
}

QDateTime SheetCell::dateTime() const {
    switch (type) {
    case Type::Date:
        return QDateTime(value.toDate(), QTime(0, 0));
    case Type::Time:
        return QDateTime(sheetEpoch, value.toTime());
    case Type::DateTime:
        return value.toDateTime();
    case Type::Number:
        return fromSerial(value.toDouble());
    case Type::Text: {
        const QString t = value.toString().trimmed();
        const int blank = t.indexOf(u' ');
        const QDate d =
            QDate::fromString(blank < 0 ? t : t.left(blank), QStringLiteral("d.M.yyyy"));
        if (!d.isValid())
            return {};
        if (blank < 0)
            return QDateTime(d, QTime(0, 0));
        const QTime time = timeFromText(t.mid(blank + 1).trimmed());
        return time.isValid() ? QDateTime(d, time) : QDateTime();
    }
    default:
        return {};
    }
}

double SheetCell::dayFraction() const {
    switch (type) {
    case Type::Date:
        return 0;
    case Type::Time:
        return double(value.toTime().msecsSinceStartOfDay()) / msPerDay;
    case Type::DateTime:
        return double(value.toDateTime().time().msecsSinceStartOfDay()) / msPerDay;
    case Type::Number: {
        const double v = value.toDouble();
        return v - std::floor(v);
    }
    case Type::Text: {
        const QTime t = timeFromText(value.toString().trimmed());
        return t.isValid() ? double(t.msecsSinceStartOfDay()) / msPerDay : -1;
    }
    default:
        return -1;
    }
}
