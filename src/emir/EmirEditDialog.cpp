#include "EmirEditDialog.h"

#include "Clock.h"
#include "Prompter.h"
#include "RapoError.h"
#include "Session.h"
#include "TypedEdit.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

EmirEditDialog::EmirEditDialog(Session &session, const QString &objectName, const QString &title,
                               QWidget *parent)
    : QDialog(parent), session_(session) {
    setObjectName(objectName);
    setWindowTitle(title);
}

TypedEdit *EmirEditDialog::dateEdit(const QString &name) {
    auto *edit = new TypedEdit(TypedEdit::DataType::Date, this);
    edit->setObjectName(name);
    edit->setToday([this] { return session_.clock.today(); });
    return edit;
}

void EmirEditDialog::arrange(QFormLayout *fields) {
    btnOK = new QPushButton(QStringLiteral("Zapiši"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnCancel = new QPushButton(QStringLiteral("Preklic"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    // Enter applies what was typed in a field; it must not save behind the clerk's back.
    btnOK->setAutoDefault(false);
    btnCancel->setAutoDefault(false);
    connect(btnOK, &QPushButton::clicked, this, &EmirEditDialog::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);
}

void EmirEditDialog::btnOKClick() {
    // What is still being typed counts, as if the field had been left.
    for (TypedEdit *edit : typedFields())
        if (edit->isTouched() && !edit->applyTypedText())
            return;
    if (const auto failure = check()) {
        session_.prompter.error(failure->message);
        failure->field->setFocus();
        return;
    }
    try {
        savedId_ = save();
    } catch (const RapoError &e) {
        session_.prompter.error(e.message());
        return;
    }
    accept();
}
