#pragma once

#include <QString>
#include <functional>

class TPTypedEdit;
class QWidget;

// A date field of the main window: a date-typed edit ("dd.mm.yyyy") that shows today when its
// window opens.
namespace PeriodField {
TPTypedEdit *create(const QString &name, QWidget *parent);
// Calls `left` whenever the field loses the focus (after it applied what was typed).
void whenLeft(TPTypedEdit *field, std::function<void()> left);
} // namespace PeriodField
