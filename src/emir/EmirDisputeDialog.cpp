#include "EmirDisputeDialog.h"

#include "Clock.h"
#include "Prompter.h"
#include "RapoError.h"
#include "Session.h"
#include "TypedEdit.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int textWidth = 250;

EmirDisputes::Dispute initial(Session &session, qint64 reportId, qint64 disputeId) {
    EmirDisputes::requireReport(reportId);
    if (disputeId == 0) {
        EmirDisputes::Dispute d;
        d.reportId = reportId;
        return d;
    }
    return EmirDisputes::read(session, disputeId);
}

QLineEdit *textEdit(const QString &name, QWidget *parent) {
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setMaxLength(textWidth);
    edit->setMinimumWidth(320);
    return edit;
}
} // namespace

EmirDisputeDialog::EmirDisputeDialog(Session &session, qint64 reportId, qint64 disputeId,
                                     QWidget *parent)
    : QDialog(parent), session_(session), original_(initial(session, reportId, disputeId)) {
    setObjectName(QStringLiteral("frmEMIRPslDlg"));
    setWindowTitle(QStringLiteral("EMIR spor"));

    edtStranka = textEdit(QStringLiteral("edtStranka"), this);
    edtNasStranka = textEdit(QStringLiteral("edtNasStranka"), this);
    pteDatZacetka = new TypedEdit(TypedEdit::DataType::Date, this);
    pteDatZacetka->setObjectName(QStringLiteral("pteDatZacetka"));
    pteDatZakljucka = new TypedEdit(TypedEdit::DataType::Date, this);
    pteDatZakljucka->setObjectName(QStringLiteral("pteDatZakljucka"));
    for (TypedEdit *edit : {pteDatZacetka, pteDatZakljucka})
        edit->setToday([&session] { return session.clock.today(); });
    pteVrednost = new TypedEdit(TypedEdit::DataType::Float, this);
    pteVrednost->setObjectName(QStringLiteral("pteVrednost"));
    pteVrednost->setDisplayFormat(QStringLiteral(",0.00"));
    edtOpomba = textEdit(QStringLiteral("edtOpomba"), this);
    btnOK = new QPushButton(QStringLiteral("Zapiši"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnCancel = new QPushButton(QStringLiteral("Preklic"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnOK->setAutoDefault(false);
    btnCancel->setAutoDefault(false);
    connect(btnOK, &QPushButton::clicked, this, &EmirDisputeDialog::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *fields = new QFormLayout;
    fields->addRow(QStringLiteral("Stranka"), edtStranka);
    fields->addRow(QStringLiteral("Nasprotna stranka"), edtNasStranka);
    fields->addRow(QStringLiteral("Dat.začetka"), pteDatZacetka);
    fields->addRow(QStringLiteral("Dat.zaključka"), pteDatZakljucka);
    fields->addRow(QStringLiteral("Vrednost"), pteVrednost);
    fields->addRow(QStringLiteral("Opomba"), edtOpomba);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);

    edtStranka->setText(original_.stranka);
    edtNasStranka->setText(original_.nasStranka);
    // setDate empties the field for an invalid date, as a new dispute has.
    pteDatZacetka->setDate(original_.datZacetka);
    pteDatZakljucka->setDate(original_.datZakljucka);
    pteVrednost->setFloat(original_.vrednost);
    edtOpomba->setText(original_.opombe);
    edtStranka->setFocus();
}

EmirDisputes::Dispute EmirDisputeDialog::dispute() const {
    EmirDisputes::Dispute d = original_;
    d.stranka = edtStranka->text();
    d.nasStranka = edtNasStranka->text();
    d.datZacetka = pteDatZacetka->date();
    d.datZakljucka = pteDatZakljucka->date();
    d.vrednost = pteVrednost->floatValue();
    d.opombe = edtOpomba->text();
    return d;
}

QWidget *EmirDisputeDialog::field(EmirDisputes::Field field) const {
    switch (field) {
    case EmirDisputes::Field::Stranka:
        return edtStranka;
    case EmirDisputes::Field::NasStranka:
        return edtNasStranka;
    case EmirDisputes::Field::DatZacetka:
        return pteDatZacetka;
    case EmirDisputes::Field::DatZakljucka:
        return pteDatZakljucka;
    }
    return nullptr;
}

void EmirDisputeDialog::btnOKClick() {
    for (TypedEdit *edit : {pteDatZacetka, pteDatZakljucka, pteVrednost})
        if (edit->isTouched() && !edit->applyTypedText())
            return;
    const EmirDisputes::Dispute d = dispute();
    if (const auto failure = EmirDisputes::check(d)) {
        session_.prompter.error(failure->message);
        field(failure->field)->setFocus();
        return;
    }
    try {
        savedId_ = EmirDisputes::save(session_, d);
    } catch (const RapoError &e) {
        session_.prompter.error(e.message());
        return;
    }
    accept();
}
