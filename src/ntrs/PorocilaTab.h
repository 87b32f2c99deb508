#pragma once

#include "MainTab.h"
#include "ReportRegister.h"

#include <memory>

class QAction;
class QMenu;
class QPushButton;
class Query;
class Session;
class DataGrid;
class TypedEdit;

// "Poročila": the register of generated reports with the regulator's answers.
class PorocilaTab : public MainTab {
    Q_OBJECT
public:
    explicit PorocilaTab(QWidget *parent = nullptr);
    ~PorocilaTab() override;

    void attach(Session &session);
    // Entering the page loads the register for its range.
    void entered() override;
    Query *list() const { return qDPATVP_.get(); }
    // The actions the current row allows (all off without a row).
    ReportRegister::Actions actions() const { return actions_; }

    TypedEdit *pteDanOd;
    TypedEdit *pteDanDo;
    QPushButton *bbRefresh;
    QPushButton *BitBtn4;
    QPushButton *bbReGeneriraj;
    DataGrid *dbPorocila;
    QMenu *pmStatusi;
    QAction *pmPotrjeno;
    QAction *pmZavrnjeno;

public Q_SLOTS:
    void bbRefreshClick();
    void pmPotrjenoClick();
    void pmZavrnjenoClick();
    void BitBtn4Click();
    void bbReGenerirajClick();

Q_SIGNALS:
    // The selected rejected report is to be collected again.
    void regenerateRequested(const ReportRegister::Row &row);

private:
    void updateActions();
    bool currentRow(ReportRegister::Row &row) const;

    Session *session_ = nullptr;
    std::unique_ptr<Query> qDPATVP_;
    ReportRegister::Actions actions_;
};
