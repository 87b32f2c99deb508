#pragma once

#include "MainTab.h"
#include "ReportRegister.h"

#include <QDate>
#include <memory>

class QPushButton;
class RowSource;
class Session;
class DataGrid;
class TypedEdit;
class WorkingSet;
struct CellColors;
struct FieldDef;
struct RunState;

// "Nabor": the period, the collection run and its deletion, the report generation, and the
// working set with its instruments.
class NaborTab : public MainTab {
    Q_OBJECT
public:
    explicit NaborTab(QWidget *parent = nullptr);
    ~NaborTab() override;

    // Connects the page to the run; the page is inactive until then.
    void attach(Session &session, RunState &state);
    WorkingSet *workingSet() const { return workingSet_.get(); }

    // The period as "dd.mm.yyyy;dd.mm.yyyy", from `dtpDan` and `dtpDanDo`.
    QString periodText() const;
    QDate from() const;
    QDate to() const;
    // The grids never show a collection of another period.
    void closeWorkingSet();
    // Shows the working set and its instruments as they are loaded now.
    void showWorkingSet();
    // Whether the last run left a working set that can be generated.
    bool generationAllowed() const { return generationAllowed_; }

    TypedEdit *dtpDan;
    TypedEdit *dtpDanDo;
    QPushButton *bbNabor;
    QPushButton *BitBtn3;
    QPushButton *bbExportXLS;
    QPushButton *bbGenXML;
    QPushButton *bbPreveriNabor;
    QPushButton *bTZInfo;
    DataGrid *dbgDPATVPPSL;
    DataGrid *dbSifrantFinInstr;

public Q_SLOTS:
    void bbNaborClick();
    // After the instrument choice: loads the working set of the collection as a run's end does.
    void loadAfterInstrumentChoice();
    void BitBtn3Click();
    void bbGenXMLClick();
    // Lists every row that would stop the generation, without generating.
    void bbPreveriNaborClick();
    // Collects a rejected report again and shows its working set (or asks for the choice).
    void regenerate(const ReportRegister::Row &report);
    void bTZInfoClick();

Q_SIGNALS:
    // Leaving `dtpDan` or `dtpDanDo`.
    void periodFieldLeft();
    // The run stopped: the user must choose reporting instruments first.
    void instrumentChoiceNeeded();
    // A regeneration loaded its working set.
    void regenerationLoaded();
    // A regeneration stopped: the user must choose reporting instruments first.
    void regenerationChoiceNeeded();
    // A report file was written: `errorLine` is empty when it is valid and registered.
    void reportGenerated(const QString &path, const QString &errorLine);
    // "Izvoz nabora": the window writes the working set to a workbook.
    void exportRequested();

private:
    void dbgDPATVPPSLDrawColumnCell(CellColors &colors, int column, const FieldDef &field,
                                    bool selected);
    void setGenerationAllowed(bool allowed);
    // Says how many rows the working set of the period has; an empty one is told.
    void reportLoaded(int rows);

    Session *session_ = nullptr;
    RunState *state_ = nullptr;
    std::unique_ptr<WorkingSet> workingSet_;
    bool generationAllowed_ = false;
};
