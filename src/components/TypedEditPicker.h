#pragma once

#include <QDate>
#include <QDialog>
#include <QTime>

class QCalendarWidget;
class QTimeEdit;

// The calendar of a date edit: a day is chosen by double click or Enter on it, or with OK.
class DatePickerDialog : public QDialog {
    Q_OBJECT

public:
    explicit DatePickerDialog(const QDate &initial, QWidget *parent = nullptr);
    QDate selectedDate() const;
    QCalendarWidget *calendar() const { return calendar_; }

private:
    QCalendarWidget *calendar_;
};

// The clock of a time edit: hours, minutes and seconds, confirmed with OK or Enter.
class TimePickerDialog : public QDialog {
    Q_OBJECT

public:
    explicit TimePickerDialog(const QTime &initial, QWidget *parent = nullptr);
    QTime selectedTime() const;
    QTimeEdit *timeEdit() const { return timeEdit_; }

private:
    QTimeEdit *timeEdit_;
};
