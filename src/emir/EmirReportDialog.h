#pragma once

#include "EmirReports.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class Session;
class TypedEdit;

// "EMIR poročilo": a new report (identifier 0), proposed for the current month, or an
// existing one. "Zapiši" checks the fields in order and saves; the dialog stays open with
// what was typed when a check or the save fails.
class EmirReportDialog : public QDialog {
    Q_OBJECT
public:
    // Throws when an existing report cannot be found; the dialog is then not shown.
    EmirReportDialog(Session &session, qint64 reportId, QWidget *parent = nullptr);

    // The report as the fields hold it.
    EmirReports::Report report() const;
    // The saved report's identifier; 0 until saved.
    qint64 savedId() const { return savedId_; }
    TypedEdit *field(EmirReports::Field field) const;

    QLineEdit *edtZapSt;
    TypedEdit *pteDanPorocila;
    TypedEdit *pteDanOd;
    TypedEdit *pteDanDo;
    TypedEdit *pteStNepotrjenih;
    QCheckBox *cbPreklicano;
    QPushButton *btnOK;
    QPushButton *btnCancel;

public Q_SLOTS:
    void btnOKClick();

private:
    Session &session_;
    EmirReports::Report original_;
    qint64 savedId_ = 0;
};
