#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>

// The program's own reading of typed values: a date or time as a date-time (a time alone on
// the zero day 30.12.1899), and the text of a date-time ("dd.mm.yyyy", with the time behind
// when it is not midnight).
namespace ValueText {
// An invalid date-time when the value holds no date or time.
QDateTime dateTimeOf(const QVariant &value);
QString dateTimeText(const QDateTime &value);
} // namespace ValueText
