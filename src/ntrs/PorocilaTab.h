#pragma once

#include "MainTab.h"

class QAction;
class TPTypedEdit;
class QMenu;
class QPushButton;
class QTableView;

// "Poročila": the register of generated reports with the regulator's answers.
class PorocilaTab : public MainTab {
    Q_OBJECT
public:
    explicit PorocilaTab(QWidget *parent = nullptr);

    TPTypedEdit *pteDanOd;
    TPTypedEdit *pteDanDo;
    QPushButton *bbRefresh;
    QPushButton *BitBtn4;
    QPushButton *bbReGeneriraj;
    QTableView *dbPorocila;
    QMenu *pmStatusi;
    QAction *pmPotrjeno;
    QAction *pmZavrnjeno;
};
