#include "ImportXlsTab.h"

#include "PeriodField.h"

#include "TypedEdit.h"
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

ImportXlsTab::ImportXlsTab(QWidget *parent) : MainTab(parent) {
    setObjectName(QStringLiteral("tsImportXLS"));
    Panel4 = new QFrame(this);
    Panel4->setObjectName(QStringLiteral("Panel4"));
    pteImpDan = PeriodField::create(QStringLiteral("pteImpDan"), Panel4);
    bbImpNabor = new QPushButton(QStringLiteral("Nabor"), Panel4);
    bbImpNabor->setObjectName(QStringLiteral("bbImpNabor"));
    bbImpBrisi = new QPushButton(QStringLiteral("Brisanje nabora"), Panel4);
    bbImpBrisi->setObjectName(QStringLiteral("bbImpBrisi"));
    bbImportXLS = new QPushButton(QStringLiteral("Uvoz transakcij"), Panel4);
    bbImportXLS->setObjectName(QStringLiteral("bbImportXLS"));
    for (QPushButton *b : {bbImpNabor, bbImpBrisi, bbImportXLS})
        markNotAvailable(b);
    pbImportXLS = new QProgressBar(Panel4);
    pbImportXLS->setObjectName(QStringLiteral("pbImportXLS"));
    pbImportXLS->setValue(0);

    Panel7 = new QFrame(Panel4);
    Panel7->setObjectName(QStringLiteral("Panel7"));
    mImportXLSNapake = new QPlainTextEdit(Panel7);
    mImportXLSNapake->setObjectName(QStringLiteral("mImportXLSNapake"));
    mImportXLSNapake->setReadOnly(true);
    auto *errors = new QVBoxLayout(Panel7);
    errors->setContentsMargins(0, 0, 0, 0);
    errors->addWidget(mImportXLSNapake);
    Panel7->setVisible(false);

    auto *row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("Datum"), Panel4));
    row->addWidget(pteImpDan);
    for (QPushButton *b : {bbImpNabor, bbImpBrisi, bbImportXLS})
        row->addWidget(b);
    row->addWidget(pbImportXLS, 1);
    auto *upper = new QVBoxLayout(Panel4);
    upper->setContentsMargins(2, 2, 2, 2);
    upper->addLayout(row);
    upper->addWidget(Panel7, 1);

    dbgImport = new QTableView(this);
    dbgImport->setObjectName(QStringLiteral("dbgImport"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Panel4);
    layout->addWidget(dbgImport, 1);
    entered();
}

void ImportXlsTab::entered() {
    Panel4->setFixedHeight(Panel7->isVisibleTo(this) ? 186 : 26);
}
