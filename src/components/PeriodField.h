#pragma once

#include <QString>
#include <functional>

class TypedEdit;
class QWidget;

// A date field of the main window: a date-typed edit ("dd.mm.yyyy") that shows today when its
// window opens.
namespace PeriodField {
TypedEdit *create(const QString &name, QWidget *parent);
// Calls `left` whenever the field loses the focus (after it applied what was typed).
void whenLeft(TypedEdit *field, std::function<void()> left);
} // namespace PeriodField
