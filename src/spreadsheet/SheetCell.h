#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <QVariant>

// One cell of a worksheet or of a text row: its kind and value. Dates, times and date-times are
// told apart by the cell's display format, as the spreadsheet shows them.
struct SheetCell {
    enum class Type { Empty, Text, Number, Date, Time, DateTime, Error };

    Type type = Type::Empty;
    // Text and Error: QString; Number: double; Date: QDate; Time: QTime; DateTime: QDateTime.
    QVariant value;

    static SheetCell text(const QString &text);
    static SheetCell number(double value);
    // A spreadsheet serial number (days since 30.12.1899, the time as the fraction) shown as the
    // type given (Date, Time or DateTime).
    static SheetCell serial(double value, Type type);

    // Empty, or a text of no characters.
    bool isEmpty() const;
    // The cell as the spreadsheet hands it to a program: a date as "dd.mm.yyyy", a time as
    // "hh:mm:ss", a date-time as both (the time left out at midnight), a number in its shortest
    // decimal form with the decimal comma.
    QString text() const;
    // The date and time of a date, date-time or time cell (a time falls on 30.12.1899), or of a
    // number taken as a serial number; a text is read as "d.m.yyyy[ h:m[:s]]". Invalid otherwise.
    QDateTime dateTime() const;
    // The fraction of a day of a time-of-day value: a time or date-time cell, a number's fraction,
    // a text "h:m[:s]". -1 when the cell holds no time.
    double dayFraction() const;
};

// The spreadsheet's first day: serial number 0.
inline const QDate sheetEpoch{1899, 12, 30};
