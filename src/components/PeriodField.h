#pragma once

#include <QString>

class QDateEdit;
class QWidget;

// A date field of the main window: "dd.mm.yyyy", starting at 01.04.2014, with a calendar.
namespace PeriodField {
QDateEdit *create(const QString &name, QWidget *parent);
}
