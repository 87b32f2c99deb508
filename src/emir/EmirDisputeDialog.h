#pragma once

#include "EmirDisputes.h"

#include <QDialog>

class QLineEdit;
class QPushButton;
class QWidget;
class Session;
class TypedEdit;

// "EMIR spor": a new dispute of a report (identifier 0) or an existing one. "Zapiši" checks
// the fields in order and saves; the dialog stays open with what was typed when a check or the
// save fails.
class EmirDisputeDialog : public QDialog {
    Q_OBJECT
public:
    // Throws for a report identifier that is not a real one and when an existing dispute
    // cannot be found; the dialog is then not shown.
    EmirDisputeDialog(Session &session, qint64 reportId, qint64 disputeId,
                      QWidget *parent = nullptr);

    EmirDisputes::Dispute dispute() const;
    qint64 savedId() const { return savedId_; }
    QWidget *field(EmirDisputes::Field field) const;

    QLineEdit *edtStranka;
    QLineEdit *edtNasStranka;
    TypedEdit *pteDatZacetka;
    TypedEdit *pteDatZakljucka;
    TypedEdit *pteVrednost;
    QLineEdit *edtOpomba;
    QPushButton *btnOK;
    QPushButton *btnCancel;

public Q_SLOTS:
    void btnOKClick();

private:
    Session &session_;
    EmirDisputes::Dispute original_;
    qint64 savedId_ = 0;
};
