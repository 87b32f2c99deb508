#include "PeriodField.h"

#include "ShortDateFormat.h"

#include <QDateEdit>

QDateEdit *PeriodField::create(const QString &name, QWidget *parent) {
    auto *field = new QDateEdit(QDate(2014, 4, 1), parent);
    field->setObjectName(name);
    field->setDisplayFormat(ShortDateFormat::pattern);
    field->setCalendarPopup(true);
    return field;
}
