#include "PdfTab.h"

#include <QFileSystemModel>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeView>

PdfTab::PdfTab(QWidget *parent) : MainTab(parent) {
    setObjectName(QStringLiteral("TabSheet1"));
    lbPDFPDF = new QListWidget(this);
    lbPDFPDF->setObjectName(QStringLiteral("lbPDFPDF"));
    lbPDFPDF->setSelectionMode(QAbstractItemView::ExtendedSelection);
    bPDFRefreshPDF = new QPushButton(QStringLiteral("Osveži"), this);
    bPDFRefreshPDF->setObjectName(QStringLiteral("bPDFRefreshPDF"));
    bSignPDG = new QPushButton(QStringLiteral("Podpis in kriptiranje poročila"), this);
    bSignPDG->setObjectName(QStringLiteral("bSignPDG"));
    bPDFRefreshSIG = new QPushButton(QStringLiteral("Osveži"), this);
    bPDFRefreshSIG->setObjectName(QStringLiteral("bPDFRefreshSIG"));
    for (QPushButton *b : {bPDFRefreshPDF, bSignPDG, bPDFRefreshSIG})
        markNotAvailable(b);

    pdfModel_ = new QFileSystemModel(this);
    sigModel_ = new QFileSystemModel(this);
    slvPDF = new QTreeView(this);
    slvPDF->setObjectName(QStringLiteral("slvPDF"));
    slvPDF->setModel(pdfModel_);
    slvSIG = new QTreeView(this);
    slvSIG->setObjectName(QStringLiteral("slvSIG"));
    slvSIG->setModel(sigModel_);
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
}

void PdfTab::setViewRoots(const QString &pdfServer, const QString &sigServer) {
    slvPDF->setRootIndex(pdfModel_->setRootPath(pdfServer));
    slvSIG->setRootIndex(sigModel_->setRootPath(sigServer));
}
