#include "EmirReportDialog.h"

#include "Clock.h"
#include "Session.h"
#include "TypedEdit.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLineEdit>

EmirReportDialog::EmirReportDialog(Session &session, qint64 reportId, QWidget *parent)
    : EmirEditDialog(session, QStringLiteral("frmEmirRptDlg"), QStringLiteral("EMIR poročilo"),
                     parent),
      original_(reportId == 0 ? EmirReports::proposal(session.clock.today())
                              : EmirReports::read(session, reportId)) {
    edtZapSt = new QLineEdit(this);
    edtZapSt->setObjectName(QStringLiteral("edtZapSt"));
    edtZapSt->setReadOnly(true);
    edtZapSt->setEnabled(false);
    pteDanPorocila = dateEdit(QStringLiteral("pteDanPorocila"));
    pteDanOd = dateEdit(QStringLiteral("pteDanOd"));
    pteDanDo = dateEdit(QStringLiteral("pteDanDo"));
    pteStNepotrjenih = new TypedEdit(TypedEdit::DataType::Integer, this);
    pteStNepotrjenih->setObjectName(QStringLiteral("pteStNepotrjenih"));
    pteStNepotrjenih->setDisplayFormat(QStringLiteral("0"));
    cbPreklicano = new QCheckBox(QStringLiteral("Poročilo je preklicano"), this);
    cbPreklicano->setObjectName(QStringLiteral("cbPreklicano"));
    cbPreklicano->setEnabled(false);
    auto *fields = new QFormLayout;
    fields->addRow(QStringLiteral("Zap.št."), edtZapSt);
    fields->addRow(QStringLiteral("Datum poročila"), pteDanPorocila);
    fields->addRow(QStringLiteral("Obdobje od"), pteDanOd);
    fields->addRow(QStringLiteral("Obdobje do"), pteDanDo);
    fields->addRow(QStringLiteral("Št.nepotrjenih transakcij"), pteStNepotrjenih);
    fields->addRow(QString(), cbPreklicano);
    arrange(fields);

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

QList<TypedEdit *> EmirReportDialog::typedFields() const {
    return {pteDanPorocila, pteDanOd, pteDanDo, pteStNepotrjenih};
}

std::optional<EmirEditDialog::Failure> EmirReportDialog::check() const {
    if (const auto failure = EmirReports::check(report()))
        return Failure{field(failure->field), failure->message};
    return std::nullopt;
}

qint64 EmirReportDialog::save() {
    return EmirReports::save(session_, report());
}
