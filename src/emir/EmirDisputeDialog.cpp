#include "EmirDisputeDialog.h"

#include "Session.h"
#include "TypedEdit.h"

#include <QFormLayout>
#include <QLineEdit>

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
    : EmirEditDialog(session, QStringLiteral("frmEMIRPslDlg"), QStringLiteral("EMIR spor"), parent),
      original_(initial(session, reportId, disputeId)) {

    edtStranka = textEdit(QStringLiteral("edtStranka"), this);
    edtNasStranka = textEdit(QStringLiteral("edtNasStranka"), this);
    pteDatZacetka = dateEdit(QStringLiteral("pteDatZacetka"));
    pteDatZakljucka = dateEdit(QStringLiteral("pteDatZakljucka"));
    pteVrednost = new TypedEdit(TypedEdit::DataType::Float, this);
    pteVrednost->setObjectName(QStringLiteral("pteVrednost"));
    pteVrednost->setDisplayFormat(QStringLiteral(",0.00"));
    edtOpomba = textEdit(QStringLiteral("edtOpomba"), this);
    auto *fields = new QFormLayout;
    fields->addRow(QStringLiteral("Stranka"), edtStranka);
    fields->addRow(QStringLiteral("Nasprotna stranka"), edtNasStranka);
    fields->addRow(QStringLiteral("Dat.začetka"), pteDatZacetka);
    fields->addRow(QStringLiteral("Dat.zaključka"), pteDatZakljucka);
    fields->addRow(QStringLiteral("Vrednost"), pteVrednost);
    fields->addRow(QStringLiteral("Opomba"), edtOpomba);
    arrange(fields);

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

QList<TypedEdit *> EmirDisputeDialog::typedFields() const {
    return {pteDatZacetka, pteDatZakljucka, pteVrednost};
}

std::optional<EmirEditDialog::Failure> EmirDisputeDialog::check() const {
    if (const auto failure = EmirDisputes::check(dispute()))
        return Failure{field(failure->field), failure->message};
    return std::nullopt;
}

qint64 EmirDisputeDialog::save() {
    return EmirDisputes::save(session_, dispute());
}
