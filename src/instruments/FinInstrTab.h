#pragma once

#include "InstrumentChoice.h"
#include "MainTab.h"

#include <QDate>
#include <functional>
#include <memory>
#include <optional>

class InstrumentRegisterView;
class QLabel;
class QLineEdit;
class QPushButton;
class Session;
class DataGrid;
struct CellColors;
struct FieldDef;
struct RunState;

// "Fin. instr.": the register of instruments as reported, filtered by ISIN, where the user
// chooses the reported host instrument of a row and, after a collection that needed the
// choice, returns to the collection.
class FinInstrTab : public MainTab {
    Q_OBJECT
public:
    explicit FinInstrTab(QWidget *parent = nullptr);
    ~FinInstrTab() override;

    // Connects the page to the run; the page is inactive until then.
    void attach(Session &session, RunState &state);
    // The last day of the period on the collection page; the instrument data of a choice are
    // those in force after it. Without it the collected period's last day is taken.
    void setPeriodEnd(std::function<QDate()> periodEnd) { periodEnd_ = std::move(periodEnd); }

    // Becoming the active page: the list is read again.
    void entered() override;
    // A collection run stopped for the instrument choice: the list read again, and no way back
    // to the collection until every row has its reported instrument.
    void showAfterCollectionChoice();

    InstrumentRegisterView *registerView() const { return view_.get(); }

    // Asks the user for the instrument of a row; no value when the user cancels. Shows
    // `InstrumentChoiceDialog` unless replaced.
    std::function<std::optional<QString>(const InstrumentChoice::Offer &)> chooseInstrument;

    QLineEdit *eISIN;
    DataGrid *dbgDPATVP_SFVP;
    QPushButton *bNabor;
    // While the collection waits for the choice: what is still to choose and how to return.
    QLabel *lbIzbira;

public Q_SLOTS:
    void eISINKeyUp();
    void dbgDPATVP_SFVPZoom();
    void bNaborClick();

Q_SIGNALS:
    // "Nazaj na nabor": the window shows the collection pages and loads the working set.
    void returnToCollection();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void reopenList();
    void refreshReturnButton();
    void refreshChoiceHint();
    QDate periodEnd() const;
    void dbgDPATVP_SFVPDrawColumnCell(CellColors &colors, int column, const FieldDef &field,
                                      bool selected);

    Session *session_ = nullptr;
    RunState *state_ = nullptr;
    std::unique_ptr<InstrumentRegisterView> view_;
    std::function<QDate()> periodEnd_;
    bool collectionWaits_ = false;
};
