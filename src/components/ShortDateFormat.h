#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

// The program-wide short date format: every conversion between a date and its text that does
// not name a format of its own uses it.
namespace ShortDateFormat {
inline const QString pattern = QStringLiteral("dd.MM.yyyy");
inline QString toText(const QDate &date) {
    return date.toString(pattern);
}
inline QDate fromText(const QString &text) {
    return QDate::fromString(text.trimmed(), pattern);
}
} // namespace ShortDateFormat
