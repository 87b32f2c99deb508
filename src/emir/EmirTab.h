#pragma once

#include "EmirReports.h"
#include "MainTab.h"

#include <QDate>
#include <functional>
#include <memory>
#include <optional>

class DataGrid;
class Query;
class QPushButton;
class Session;
class TypedEdit;

// "EMIR": EMIR reports of a period with the disputes of the selected report; adding, editing,
// deleting and cancelling them, and writing a report's XML file.
class EmirTab : public MainTab {
    Q_OBJECT
public:
    explicit EmirTab(QWidget *parent = nullptr);
    ~EmirTab() override;

    // Connects the page to the run; the page is inactive until then.
    void attach(Session &session);
    // Entering the page loads the reports of its period.
    void entered() override;
    // The period shown when the tab is entered: the first day of today's month through today.
    void setCurrentMonth(const QDate &today);

    // Loads the reports and selects `reportId` (0: the current one stays), then its disputes.
    void loadReports(qint64 reportId);
    // Loads the disputes of the current report and selects `disputeId` (0: the current one).
    void loadDisputes(qint64 disputeId);
    // Both lists show empty until they are loaded again.
    void closeLists();

    Query *reports() const { return qEMIRRpt_.get(); }
    Query *disputes() const { return qEMIRPsl_.get(); }
    // The current report; none without a row.
    std::optional<EmirReports::Report> currentReport() const;
    qint64 currentReportId() const;
    qint64 currentDisputeId() const;

    // Show the dialogs; each gives the saved identifier, 0 when nothing was saved. Tests
    // replace them.
    std::function<qint64(qint64 reportId)> editReport;
    std::function<qint64(qint64 reportId, qint64 disputeId)> editDispute;

    TypedEdit *pteEMIRDatOd;
    TypedEdit *pteEMIRDatDo;
    DataGrid *dbgEMIRPorocila;
    QPushButton *actRefresh;
    QPushButton *actAddRpt;
    QPushButton *actEditRpt;
    QPushButton *actDeleteRpt;
    QPushButton *actCancel;
    QPushButton *actImportXLS;
    QPushButton *actEMIRXML;
    DataGrid *dbgEMIRPsl;
    QPushButton *actAddPsl;
    QPushButton *actEditPsl;
    QPushButton *actDeletePsl;

public Q_SLOTS:
    void actRefreshExecute();
    void actAddRptExecute();
    void actEditRptExecute();
    void actDeleteRptExecute();
    void actCancelExecute();
    void actImportXLSExecute();
    void actEMIRXMLExecute();
    void actAddPslExecute();
    void actEditPslExecute();
    void actDeletePslExecute();
    void dbgEMIRPorocilaZoom();
    void dbgEMIRPslZoom();
    // Enables each action as the current rows allow.
    void updateActions();

Q_SIGNALS:
    // Leaving `pteEMIRDatOd` or `pteEMIRDatDo`.
    void periodFieldLeft();

private:
    void reportRowChanged();
    void showError(const QString &message) const;
    template <typename Work> void guarded(Work work);

    Session *session_ = nullptr;
    std::unique_ptr<Query> qEMIRRpt_;
    std::unique_ptr<Query> qEMIRPsl_;
    // The report whose disputes the lower list shows; -1 when it shows none.
    qint64 disputesOf_ = -1;
    bool loading_ = false;
};
