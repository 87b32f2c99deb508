#pragma once

#include "EmirDisputes.h"
#include "EmirEditDialog.h"

class QLineEdit;
class QWidget;
class Session;
class TypedEdit;

// "EMIR spor": a new dispute of a report (identifier 0) or an existing one. "Zapiši" checks
// the fields in order and saves.
class EmirDisputeDialog : public EmirEditDialog {
    Q_OBJECT
public:
    // Throws for a report identifier that is not a real one and when an existing dispute
    // cannot be found; the dialog is then not shown.
    EmirDisputeDialog(Session &session, qint64 reportId, qint64 disputeId,
                      QWidget *parent = nullptr);

    EmirDisputes::Dispute dispute() const;
    QWidget *field(EmirDisputes::Field field) const;

    QLineEdit *edtStranka;
    QLineEdit *edtNasStranka;
    TypedEdit *pteDatZacetka;
    TypedEdit *pteDatZakljucka;
    TypedEdit *pteVrednost;
    QLineEdit *edtOpomba;

protected:
    QList<TypedEdit *> typedFields() const override;
    std::optional<Failure> check() const override;
    qint64 save() override;

private:
    EmirDisputes::Dispute original_;
};
