#pragma once

#include "EmirEditDialog.h"
#include "EmirReports.h"

class QCheckBox;
class QLineEdit;
class Session;
class TypedEdit;

// "EMIR poročilo": a new report (identifier 0), proposed for the current month, or an
// existing one. "Zapiši" checks the fields in order and saves.
class EmirReportDialog : public EmirEditDialog {
    Q_OBJECT
public:
    // Throws when an existing report cannot be found; the dialog is then not shown.
    EmirReportDialog(Session &session, qint64 reportId, QWidget *parent = nullptr);

    // The report as the fields hold it.
    EmirReports::Report report() const;
    TypedEdit *field(EmirReports::Field field) const;

    QLineEdit *edtZapSt;
    TypedEdit *pteDanPorocila;
    TypedEdit *pteDanOd;
    TypedEdit *pteDanDo;
    TypedEdit *pteStNepotrjenih;
    QCheckBox *cbPreklicano;

protected:
    QList<TypedEdit *> typedFields() const override;
    std::optional<Failure> check() const override;
    qint64 save() override;

private:
    EmirReports::Report original_;
};
