#pragma once

#include "MainTab.h"

#include <QDate>

class TPTypedEdit;
class QPushButton;
class QTableView;
class QLabel;

// "Nabor": the period, the collection run and its deletion, the report generation, and the
// working set with its instruments.
class NaborTab : public MainTab {
    Q_OBJECT
public:
    explicit NaborTab(QWidget *parent = nullptr);

    // The period as "dd.mm.yyyy;dd.mm.yyyy", from `dtpDan` and `dtpDanDo`.
    QString periodText() const;
    // The grids never show a collection of another period.
    void closeWorkingSet();

    TPTypedEdit *dtpDan;
    TPTypedEdit *dtpDanDo;
    QPushButton *bbNabor;
    QPushButton *BitBtn3;
    QPushButton *bbExportXLS;
    QPushButton *bbGenXML;
    QPushButton *bTZInfo;
    QLabel *lblTransakcije;
    QTableView *dbgDPATVPPSL;
    QLabel *lblSifrantFinInstr;
    QTableView *dbSifrantFinInstr;

Q_SIGNALS:
    // Leaving `dtpDan` or `dtpDanDo`.
    void periodFieldLeft();
};
