#pragma once

#include "MainTab.h"

#include <QDate>

class TypedEdit;
class QLabel;
class QPushButton;
class QTableView;

// "EMIR": EMIR reports with their disputes.
class EmirTab : public MainTab {
    Q_OBJECT
public:
    explicit EmirTab(QWidget *parent = nullptr);

    // The period shown when the tab is entered: the first day of today's month through today.
    void setCurrentMonth(const QDate &today);

    QLabel *lblPorocila;
    TypedEdit *pteEMIRDatOd;
    TypedEdit *pteEMIRDatDo;
    QTableView *dbgEMIRPorocila;
    QPushButton *actEMIROsvezi;
    QPushButton *actEMIRDodaj;
    QPushButton *actEMIRSpremeni;
    QPushButton *actEMIRBrisi;
    QPushButton *actEMIRPreklic;
    QPushButton *actEMIRUvozXLS;
    QPushButton *actEMIRXML;
    QLabel *lblSpori;
    QTableView *dbgEMIRPsl;
    QPushButton *actEMIRPslDodaj;
    QPushButton *actEMIRPslSpremeni;
    QPushButton *actEMIRPslBrisi;

Q_SIGNALS:
    // Leaving `pteEMIRDatOd` or `pteEMIRDatDo`.
    void periodFieldLeft();
};
