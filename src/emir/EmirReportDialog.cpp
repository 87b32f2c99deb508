#include "EmirReportDialog.h"

#include "Clock.h"
#include "Prompter.h"
#include "RapoError.h"
#include "Session.h"
#include "TypedEdit.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
TypedEdit *dateEdit(const QString &name, Session &session, QWidget *parent) {
    auto *edit = new TypedEdit(TypedEdit::DataType::Date, parent);
    edit->setObjectName(name);
    edit->setToday([&session] { return session.clock.today(); });
    return edit;
}
} // namespace

EmirReportDialog::EmirReportDialog(Session &session, qint64 reportId, QWidget *parent)
    : QDialog(parent), session_(session),
      original_(reportId == 0 ? EmirReports::proposal(session.clock.today())
                              : EmirReports::read(session, reportId)) {
    setObjectName(QStringLiteral("frmEmirRptDlg"));
    setWindowTitle(QStringLiteral("EMIR poročilo"));

    edtZapSt = new QLineEdit(this);
    edtZapSt->setObjectName(QStringLiteral("edtZapSt"));
    edtZapSt->setReadOnly(true);
    edtZapSt->setEnabled(false);
    pteDanPorocila = dateEdit(QStringLiteral("pteDanPorocila"), session, this);
    pteDanOd = dateEdit(QStringLiteral("pteDanOd"), session, this);
    pteDanDo = dateEdit(QStringLiteral("pteDanDo"), session, this);
    pteStNepotrjenih = new TypedEdit(TypedEdit::DataType::Integer, this);
    pteStNepotrjenih->setObjectName(QStringLiteral("pteStNepotrjenih"));
    pteStNepotrjenih->setDisplayFormat(QStringLiteral("0"));
    cbPreklicano = new QCheckBox(QStringLiteral("Poročilo je preklicano"), this);
    cbPreklicano->setObjectName(QStringLiteral("cbPreklicano"));
    cbPreklicano->setEnabled(false);
    btnOK = new QPushButton(QStringLiteral("Zapiši"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnCancel = new QPushButton(QStringLiteral("Preklic"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    // Enter applies what was typed in a field; it must not save the report behind its back.
    btnOK->setAutoDefault(false);
    btnCancel->setAutoDefault(false);
    connect(btnOK, &QPushButton::clicked, this, &EmirReportDialog::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *fields = new QFormLayout;
    fields->addRow(QStringLiteral("Zap.št."), edtZapSt);
    fields->addRow(QStringLiteral("Datum poročila"), pteDanPorocila);
    fields->addRow(QStringLiteral("Obdobje od"), pteDanOd);
    fields->addRow(QStringLiteral("Obdobje do"), pteDanDo);
    fields->addRow(QStringLiteral("Št.nepotrjenih transakcij"), pteStNepotrjenih);
    fields->addRow(QString(), cbPreklicano);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);

    edtZapSt->setText(original_.zapSt > 0 ? QString::number(original_.zapSt) : QString());
    pteDanPorocila->setDate(original_.danPorocila);
    pteDanOd->setDate(original_.danOd);
    pteDanDo->setDate(original_.danDo);
    pteStNepotrjenih->setInteger(static_cast<int>(original_.stNepotrjenih));
    cbPreklicano->setChecked(original_.preklicano);
    pteDanPorocila->setFocus();
}

EmirReports::Report EmirReportDialog::report() const {
    EmirReports::Report r = original_;
    r.danPorocila = pteDanPorocila->date();
    r.danOd = pteDanOd->date();
    r.danDo = pteDanDo->date();
    r.stNepotrjenih = pteStNepotrjenih->integer();
    return r;
}

TypedEdit *EmirReportDialog::field(EmirReports::Field field) const {
    switch (field) {
    case EmirReports::Field::DanPorocila:
        return pteDanPorocila;
    case EmirReports::Field::DanOd:
        return pteDanOd;
    case EmirReports::Field::DanDo:
        return pteDanDo;
    case EmirReports::Field::StNepotrjenih:
        return pteStNepotrjenih;
    }
    return nullptr;
}

void EmirReportDialog::btnOKClick() {
    // What is still being typed counts, as if the field had been left.
    for (TypedEdit *edit : {pteDanPorocila, pteDanOd, pteDanDo, pteStNepotrjenih})
        if (edit->isTouched() && !edit->applyTypedText())
            return;
    const EmirReports::Report r = report();
    if (const auto failure = EmirReports::check(r)) {
        session_.prompter.error(failure->message);
        field(failure->field)->setFocus();
        return;
    }
    try {
        savedId_ = EmirReports::save(session_, r);
    } catch (const RapoError &e) {
        session_.prompter.error(e.message());
        return;
    }
    accept();
}
