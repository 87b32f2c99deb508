#include "PdfTab.h"

#include "FolderView.h"
#include "PasswordDialog.h"
#include "PdfSigning.h"
#include "Prompter.h"
#include "QProcessRunner.h"
#include "RapoError.h"
#include "Session.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>

PdfTab::PdfTab(QWidget *parent) : MainTab(parent) {
    setObjectName(QStringLiteral("TabSheet1"));
    lbPDFPDF = new QListWidget(this);
    lbPDFPDF->setObjectName(QStringLiteral("lbPDFPDF"));
    lbPDFPDF->setSelectionMode(QAbstractItemView::ExtendedSelection);
    bPDFRefreshPDF = new QPushButton(QStringLiteral("Osveži"), this);
    bPDFRefreshPDF->setObjectName(QStringLiteral("bPDFRefreshPDF"));
    bPDFRefreshPDF->setToolTip(QStringLiteral("Osveži"));
    bSignPDG = new QPushButton(QStringLiteral("Podpis in kriptiranje poročila"), this);
    bSignPDG->setObjectName(QStringLiteral("bSignPDG"));
    bSignPDG->setToolTip(QStringLiteral("Podpis"));
    bPDFRefreshSIG = new QPushButton(QStringLiteral("Osveži"), this);
    bPDFRefreshSIG->setObjectName(QStringLiteral("bPDFRefreshSIG"));
    bPDFRefreshSIG->setToolTip(QStringLiteral("Osveži"));
    // Nothing runs before the page is attached to the run.
    for (QPushButton *b : {bPDFRefreshPDF, bSignPDG, bPDFRefreshSIG})
        b->setEnabled(false);

    slvPDF = new FolderView(QStringLiteral("pdf"), this);
    slvPDF->setObjectName(QStringLiteral("slvPDF"));
    slvSIG = new FolderView(QStringLiteral("sig"), this);
    slvSIG->setObjectName(QStringLiteral("slvSIG"));
    viewTabs = new QTabWidget(this);
    viewTabs->addTab(slvPDF, QStringLiteral("PDF"));
    viewTabs->addTab(slvSIG, QStringLiteral("SIG"));

    auto *layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("PDF Poročila"), this), 0, 0);
    layout->addWidget(bPDFRefreshPDF, 0, 1);
    layout->addWidget(new QLabel(QStringLiteral("Podpisani PDF-ji"), this), 0, 2);
    layout->addWidget(bPDFRefreshSIG, 0, 3);
    layout->addWidget(lbPDFPDF, 1, 0, 1, 2);
    layout->addWidget(viewTabs, 1, 2, 1, 2);
    layout->addWidget(bSignPDG, 2, 0, 1, 2);
    layout->setRowStretch(1, 1);
    layout->setColumnStretch(0, 2);
    layout->setColumnStretch(2, 3);

    connect(bPDFRefreshPDF, &QPushButton::clicked, this, &PdfTab::bPDFRefreshPDFClick);
    connect(bPDFRefreshSIG, &QPushButton::clicked, this, &PdfTab::bPDFRefreshSIGClick);
    connect(bSignPDG, &QPushButton::clicked, this, &PdfTab::bSignPDGClick);
}

PdfTab::~PdfTab() = default;

void PdfTab::attach(Session &session, ProcessRunner *runner) {
    session_ = &session;
    if (!runner) {
        ownRunner_ = std::make_unique<QProcessRunner>(session.waiter, session.clock);
        runner = ownRunner_.get();
    }
    signing_ = std::make_unique<PdfSigning>(session, *runner);
    slvPDF->setFolder(session.configuration.pdfServer);
    slvSIG->setFolder(session.configuration.pdfSigServer);
    for (QPushButton *b : {bPDFRefreshPDF, bSignPDG, bPDFRefreshSIG})
        b->setEnabled(true);
}

void PdfTab::entered() {
    bPDFRefreshPDFClick();
    bPDFRefreshSIGClick();
}

void PdfTab::bPDFRefreshPDFClick() {
    if (!session_)
        return;
    lbPDFPDF->clear();
    lbPDFPDF->addItems(PdfSigning::waiting(*session_));
}

void PdfTab::bPDFRefreshSIGClick() {
    if (!session_)
        return;
    slvPDF->reload();
    slvSIG->reload();
}

void PdfTab::bSignPDGClick() {
    if (!session_ || !bSignPDG->isEnabled())
        return;
    // Disabled for the whole run: GnuPG's waits let the window take clicks meanwhile.
    bSignPDG->setEnabled(false);
    QStringList selected;
    for (int i = 0; i < lbPDFPDF->count(); ++i)
        if (lbPDFPDF->item(i)->isSelected())
            selected << lbPDFPDF->item(i)->text();
    if (!selected.isEmpty()) {
        std::optional<PdfSigning::Credentials> credentials;
        {
            PasswordDialog dialog(session_->programDirectory, session_->prompter, this);
            dialog.fill(session_->configuration.gnupgUser, session_->configuration.passPhrase);
            if (dialog.exec() == QDialog::Accepted)
                credentials = PdfSigning::Credentials{dialog.user(), dialog.passPhrase()};
        }
        try {
            signing_->signAll(credentials, selected);
        } catch (const RapoError &e) {
            session_->prompter.error(e.message());
        }
        bPDFRefreshSIGClick();
        bPDFRefreshPDFClick();
    }
    bSignPDG->setEnabled(true);
    QCoreApplication::processEvents();
}
