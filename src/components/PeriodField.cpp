#include "PeriodField.h"

#include "TypedEdit.h"

#include <QEvent>
#include <QObject>

namespace {
class LeaveWatcher : public QObject {
public:
    LeaveWatcher(QObject *parent, std::function<void()> left)
        : QObject(parent), left_(std::move(left)) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::FocusOut)
            left_();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> left_;
};
} // namespace

TypedEdit *PeriodField::create(const QString &name, QWidget *parent) {
    auto *field = new TypedEdit(TypedEdit::DataType::Date, parent);
    field->setObjectName(name);
    field->setMinimumWidth(90);
    return field;
}

void PeriodField::whenLeft(TypedEdit *field, std::function<void()> left) {
    field->installEventFilter(new LeaveWatcher(field, std::move(left)));
}
