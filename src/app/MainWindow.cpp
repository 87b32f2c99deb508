#include "MainWindow.h"

#include "AtvpTab.h"
#include "Clock.h"
#include "DataModule.h"
#include "EmirTab.h"
#include "FinInstrTab.h"
#include "ImportXlsTab.h"
#include "NaborTab.h"
#include "PdfTab.h"
#include "PorocilaTab.h"
#include "Prompter.h"
#include "Session.h"
#include "TypedEdit.h"
#include "VersionAgent.h"
#include "Waiter.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>

MainWindow::MainWindow(DataModule &dataModule, Prompter &prompter, const Clock &clock,
                       Waiter &waiter, const QString &programDirectory, QWidget *parent)
    : QMainWindow(parent), dataModule_(dataModule), prompter_(prompter), clock_(clock),
      waiter_(waiter), programDirectory_(programDirectory) {
    setObjectName(QStringLiteral("fRAPO"));
    pcMain = new QTabWidget(this);
    pcMain->setObjectName(QStringLiteral("pcMain"));
    tsNabor = new NaborTab(pcMain);
    tsImportXLS = new ImportXlsTab(pcMain);
    tsATVP = new AtvpTab(pcMain);
    tsPorocila = new PorocilaTab(pcMain);
    tsFinInstr = new FinInstrTab(pcMain);
    TabSheet1 = new PdfTab(pcMain);
    tsEMIR = new EmirTab(pcMain);
    pcMain->addTab(tsNabor, QStringLiteral("Nabor"));
    pcMain->addTab(tsImportXLS, QStringLiteral("Import .xls"));
    pcMain->addTab(tsATVP, QStringLiteral("ATVP"));
    pcMain->addTab(tsPorocila, QStringLiteral("Poročila"));
    pcMain->addTab(tsFinInstr, QStringLiteral("Fin. instr."));
    pcMain->addTab(TabSheet1, QStringLiteral("PDF"));
    pcMain->addTab(tsEMIR, QStringLiteral("EMIR"));
    setCentralWidget(pcMain);
    resize(1100, 700);

    // Date fields show the run's today when the window opens.
    for (TypedEdit *field : findChildren<TypedEdit *>())
        if (field->dataType() == TypedEdit::DataType::Date)
            field->setToday([&clock] { return clock.today(); });

    connect(pcMain, &QTabWidget::currentChanged, this, &MainWindow::pcMainChange);
    connect(tsNabor, &NaborTab::periodFieldLeft, this, &MainWindow::dtpDanExit);
    connect(tsEMIR, &EmirTab::periodFieldLeft, this, &MainWindow::dtpDanExit);
    connect(tsNabor, &NaborTab::instrumentChoiceNeeded, this, &MainWindow::showInstrumentChoice);
    connect(tsPorocila, &PorocilaTab::regenerateRequested, tsNabor, &NaborTab::regenerate);
    // While GnuPG signs, the clerk stays on "ATVP": a collection or a deletion elsewhere could
    // remove the report being signed.
    connect(tsATVP, &AtvpTab::signingStarted, this,
            [this] { pcMain->tabBar()->setEnabled(false); });
    connect(tsATVP, &AtvpTab::signingFinished, this,
            [this] { pcMain->tabBar()->setEnabled(true); });
    connect(tsNabor, &NaborTab::regenerationLoaded, this,
            [this] { pcMain->setCurrentIndex(Nabor); });
    connect(tsNabor, &NaborTab::regenerationChoiceNeeded, this, [this] {
        showInstrumentChoice();
        // A regeneration may go back to its collection before every choice is made.
        tsFinInstr->bNabor->setVisible(true);
    });
    connect(tsNabor, &NaborTab::reportGenerated, this,
            [this](const QString &path, const QString &errorLine) {
                if (errorLine.isEmpty())
                    tsATVP->hideValidationError();
                else
                    tsATVP->showValidationError(path, errorLine);
                pcMain->setCurrentIndex(Atvp);
            });
    connect(tsFinInstr, &FinInstrTab::returnToCollection, this, [this] {
        // The pages must be visible before one of them can become the current one.
        showCollectionPages();
        pcMain->setCurrentIndex(Nabor);
        tsNabor->loadAfterInstrumentChoice();
    });
}

MainWindow::~MainWindow() = default;

namespace {
// Every wait of an action (GnuPG's run) disables the pages and shows a busy cursor: a click
// then must not start a second action inside the first one's transaction.
class WindowWaiter : public Waiter {
public:
    WindowWaiter(Waiter &inner, QWidget &pages, bool &waiting)
        : inner_(inner), pages_(pages), waiting_(waiting) {}
    void wait(int milliseconds) override {
        if (depth_++ == 0) {
            waiting_ = true;
            QApplication::setOverrideCursor(Qt::WaitCursor);
            pages_.setEnabled(false);
        }
        try {
            inner_.wait(milliseconds);
        } catch (...) {
            end();
            throw;
        }
        end();
    }

private:
    void end() {
        if (--depth_ > 0)
            return;
        pages_.setEnabled(true);
        QApplication::restoreOverrideCursor();
        waiting_ = false;
    }

    Waiter &inner_;
    QWidget &pages_;
    bool &waiting_;
    int depth_ = 0;
};
} // namespace

void MainWindow::start() {
    if (!dataModule_.hasArguments()) {
        prompter_.error(QStringLiteral("Napačen zagon! RAPO poročanje morate zagnati iz VEK-ja "
                                       "(Meni:Obdelave\\RAPO Poročanje)!"));
        terminating_ = true;
        // The program ends when its event loop starts; start-up goes on until then.
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    }
    runState_ = RunState();
    setWindowTitle(QStringLiteral("RAPO v") + VersionAgent().FileVersion);

    configuration_ = Configuration::read(programDirectory_);
    for (const QString &message : configuration_.messages)
        prompter_.warning(message);
    windowWaiter_ = std::make_unique<WindowWaiter>(waiter_, *pcMain, waiting_);
    session_ = std::make_unique<Session>(dataModule_.dbMain(), configuration_,
                                         dataModule_.applicationUser(), programDirectory_,
                                         prompter_, clock_, *windowWaiter_);
    tsNabor->attach(*session_, runState_);
    tsFinInstr->attach(*session_, runState_);
    tsPorocila->attach(*session_);
    tsATVP->attach(*session_);
    tsEMIR->attach(*session_);
    tsFinInstr->setPeriodEnd([this] { return tsNabor->to(); });

    if (!configuration_.pdfServer.isEmpty() && !configuration_.pdfSigServer.isEmpty())
        TabSheet1->setViewRoots(configuration_.pdfServer, configuration_.pdfSigServer);
    pcMain->setCurrentIndex(Nabor);
}

void MainWindow::pcMainChange(int index) {
    switch (index) {
    case Emir:
        tsEMIR->setCurrentMonth(clock_.today());
        break;
    default:
        break;
    }
    if (auto *page = qobject_cast<MainTab *>(pcMain->widget(index)))
        page->entered();
}

void MainWindow::dtpDanExit() {
    if (tsNabor->periodText() != runState_.collectedPeriod)
        tsNabor->closeWorkingSet();
}

void MainWindow::showInstrumentChoice() {
    pcMain->setCurrentIndex(FinInstr);
    for (int page = Nabor; page <= Porocila; ++page)
        pcMain->setTabVisible(page, false);
    tsFinInstr->showAfterCollectionChoice();
}

void MainWindow::showCollectionPages() {
    for (int page = Nabor; page <= Porocila; ++page)
        pcMain->setTabVisible(page, true);
}

void MainWindow::closeEvent(QCloseEvent *event) {
    // An action waiting inside its transaction finishes before the window closes.
    if (waiting_) {
        event->ignore();
        return;
    }
    configuration_.fiksniTimeZoneTrgi.clear();
    QMainWindow::closeEvent(event);
}
