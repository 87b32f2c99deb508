#include "MainWindow.h"

#include "AtvpTab.h"
#include "Clock.h"
#include "CollectionExport.h"
#include "DataModule.h"
#include "EmirTab.h"
#include "FinInstrTab.h"
#include "ImportXlsTab.h"
#include "NaborTab.h"
#include "PdfTab.h"
#include "PorocilaTab.h"
#include "Prompter.h"
#include "RapoError.h"
#include "Session.h"
#include "TypedEdit.h"
#include "VersionAgent.h"
#include "Waiter.h"
#include "WindowMemory.h"
#include "WorkingSet.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QIcon>
#include <QLabel>
#include <QDesktopServices>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>

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
    // Room for the lists' columns, within the screen; a later run takes what the last one left.
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        resize(QSize(1400, 900).boundedTo(screen->availableGeometry().size() * 0.9));
    setWindowIcon(QIcon(QStringLiteral(":/rapo.png")));
    stResult = new QLabel(this);
    stResult->setObjectName(QStringLiteral("stResult"));
    statusBar()->addWidget(stResult, 1);
    for (int page = 0; page < pcMain->count(); ++page)
        if (auto *tab = qobject_cast<MainTab *>(pcMain->widget(page)))
            connect(tab, &MainTab::statusMessage, this, &MainWindow::showResult);

    // Date fields show the run's today when the window opens.
    for (TypedEdit *field : findChildren<TypedEdit *>())
        if (field->dataType() == TypedEdit::DataType::Date)
            field->setToday([&clock] { return clock.today(); });

    connect(pcMain, &QTabWidget::currentChanged, this, &MainWindow::pcMainChange);
    connect(tsNabor, &NaborTab::periodFieldLeft, this, &MainWindow::dtpDanExit);
    connect(tsEMIR, &EmirTab::periodFieldLeft, this, &MainWindow::dtpDanExit);
    connect(tsNabor, &NaborTab::instrumentChoiceNeeded, this, &MainWindow::showInstrumentChoice);
    connect(tsNabor, &NaborTab::exportRequested, this, &MainWindow::bbExportXLSClick);
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
    } else {
        // A wrong alias is told now, with where it was looked for, not at the first button.
        try {
            dataModule_.dbMain().connection();
        } catch (const RapoError &e) {
            prompter_.error(e.message());
            terminating_ = true;
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
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
    TabSheet1->attach(*session_);
    tsImportXLS->attach(*session_);
    tsFinInstr->setPeriodEnd([this] { return tsNabor->to(); });
    session_->onProgress = [this](const QString &step) { showProgress(step); };
    WindowMemory::restore(*this);
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

void MainWindow::showProgress(const QString &step) {
    statusBar()->showMessage(QStringLiteral("Poteka: ") + step + QStringLiteral(" …"));
    // The action holds the window until it ends: the bar is painted now.
    statusBar()->repaint();
    if (!progressShown_) {
        progressShown_ = true;
        clearProgressWhenIdle();
    }
}

void MainWindow::clearProgressWhenIdle() {
    // A timer runs once the window processes its events again: when the action has ended, or
    // while it waits (then the step stays).
    QTimer::singleShot(waiting_ ? 200 : 0, this, [this] {
        if (waiting_) {
            clearProgressWhenIdle();
            return;
        }
        progressShown_ = false;
        statusBar()->clearMessage();
    });
}

void MainWindow::showResult(const QString &text) {
    stResult->setText(text);
    statusBar()->clearMessage();
    statusBar()->repaint();
}

void MainWindow::bbExportXLSClick() {
    WorkingSet *workingSet = tsNabor->workingSet();
    try {
        CollectionExport::run(*session_, workingSet ? &workingSet->qDPATVPPSL : nullptr,
                              [](const QString &fileName) {
                                  QDesktopServices::openUrl(QUrl::fromLocalFile(fileName));
                              });
    } catch (const RapoError &e) {
        prompter_.error(e.message());
    }
}

void MainWindow::closeEvent(QCloseEvent *event) {
    // An action waiting inside its transaction finishes before the window closes.
    if (waiting_) {
        event->ignore();
        return;
    }
    WindowMemory::save(*this);
    configuration_.fiksniTimeZoneTrgi.clear();
    QMainWindow::closeEvent(event);
}
