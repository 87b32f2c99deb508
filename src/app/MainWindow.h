#pragma once

#include "Configuration.h"
#include "RunState.h"

#include <QMainWindow>
#include <memory>

class AtvpTab;
class Clock;
class EmirTab;
class FinInstrTab;
class ImportXlsTab;
class MainTab;
class NaborTab;
class PdfTab;
class PorocilaTab;
class Prompter;
class QLabel;
class QTabWidget;
class Session;
class DataModule;
class Waiter;

// The main window: seven pages, one workflow each, and the run-wide state they share.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    enum Page { Nabor = 0, ImportXls, Atvp, Porocila, FinInstr, Pdf, Emir };

    MainWindow(DataModule &dataModule, Prompter &prompter, const Clock &clock, Waiter &waiter,
               const QString &programDirectory, QWidget *parent = nullptr);
    ~MainWindow() override;

    // Start-up: refuses to run without arguments, sets the caption, reads RAPO.ini, sets the
    // file view roots and shows the first page.
    void start();
    // True when start-up refused to run; the program ends without showing the window.
    bool terminating() const { return terminating_; }

    const Configuration &configuration() const { return configuration_; }
    // The run's session; exists after start.
    Session &session() { return *session_; }
    RunState &runState() { return runState_; }

    QTabWidget *pcMain;
    // The status bar's lasting part: the short result of the last action.
    QLabel *stResult;
    NaborTab *tsNabor;
    ImportXlsTab *tsImportXLS;
    AtvpTab *tsATVP;
    PorocilaTab *tsPorocila;
    FinInstrTab *tsFinInstr;
    PdfTab *TabSheet1;
    EmirTab *tsEMIR;

public Q_SLOTS:
    void pcMainChange(int index);
    // Leaving a period field: a working set of another period is closed.
    void dtpDanExit();
    // After a collection that needs the user's instrument choice: the instrument page only.
    void showInstrumentChoice();
    // Shows the pages the instrument choice hid.
    void showCollectionPages();
    // A step of a long action, in the status bar until the action returns to the window.
    void showProgress(const QString &step);
    // The short result of an action, in the status bar until the next one.
    void showResult(const QString &text);
    // "Izvoz nabora" on the collection page: the working set to a workbook, then opened.
    void bbExportXLSClick();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void clearProgressWhenIdle();

    DataModule &dataModule_;
    Prompter &prompter_;
    const Clock &clock_;
    Waiter &waiter_;
    QString programDirectory_;
    Configuration configuration_;
    std::unique_ptr<Waiter> windowWaiter_; // the session's: waits with the pages disabled
    std::unique_ptr<Session> session_;
    RunState runState_;
    bool terminating_ = false;
    bool waiting_ = false; // an action waits: the pages are disabled
    bool progressShown_ = false;
};
