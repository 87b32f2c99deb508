#include "TypedEditPicker.h"

#include <QCalendarWidget>
#include <QDialogButtonBox>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace {
QDialogButtonBox *okCancel(QDialog *dialog) {
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}
} // namespace

DatePickerDialog::DatePickerDialog(const QDate &initial, QWidget *parent)
    : QDialog(parent), calendar_(new QCalendarWidget(this)) {
    setWindowTitle(tr("Koledar"));
    if (parent)
        setLocale(parent->locale());
    calendar_->setLocale(locale());
    calendar_->setFirstDayOfWeek(Qt::Monday);
    calendar_->setGridVisible(true);
    calendar_->setSelectedDate(initial);
    connect(calendar_, &QCalendarWidget::activated, this, &QDialog::accept);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(calendar_);
    layout->addWidget(okCancel(this));
}

QDate DatePickerDialog::selectedDate() const {
    return calendar_->selectedDate();
}

TimePickerDialog::TimePickerDialog(const QTime &initial, QWidget *parent)
    : QDialog(parent), timeEdit_(new QTimeEdit(initial, this)) {
    setWindowTitle(tr("Ura"));
    timeEdit_->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(timeEdit_);
    layout->addWidget(okCancel(this));
}

QTime TimePickerDialog::selectedTime() const {
    return timeEdit_->time();
}
