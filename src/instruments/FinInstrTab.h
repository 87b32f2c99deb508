#pragma once

#include "MainTab.h"

class QLineEdit;
class QPushButton;
class QTableView;

// "Fin. instr.": the register of instruments as reported.
class FinInstrTab : public MainTab {
    Q_OBJECT
public:
    explicit FinInstrTab(QWidget *parent = nullptr);

    QLineEdit *eISIN;
    QTableView *dbgDPATVP_SFVP;
    QPushButton *bNabor;
};
