#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

// Display formats as the screens declare them: number patterns such as ",0.00" (thousands
// grouping, two decimals) or "0.000", and date-time patterns such as "dd.mm.yyyy hh:nn:ss".
// Numbers are shown with the separators of the users' locale (Slovenian: "." groups, ","
// decimals).
namespace DisplayFormat {
QLocale userLocale();
QString formatFloat(double value, const QString &pattern, const QLocale &locale = userLocale());
// A Delphi-style date-time pattern ("mm" after "h" is minutes, "nn" minutes) as a Qt format.
QString qtDateTimeFormat(const QString &pattern);
QString formatDateTime(const QDateTime &value, const QString &pattern);
} // namespace DisplayFormat
