#include "ImportXlsTab.h"

#include "DataGrid.h"
#include "ImportView.h"
#include "PeriodField.h"
#include "Prompter.h"
#include "RapoError.h"
#include "Session.h"
#include "TradeImport.h"
#include "TypedEdit.h"

#include <QCoreApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

ImportXlsTab::ImportXlsTab(QWidget *parent) : MainTab(parent) {
    setObjectName(QStringLiteral("tsImportXLS"));
    Panel4 = new QFrame(this);
    Panel4->setObjectName(QStringLiteral("Panel4"));
    pteImpDan = PeriodField::create(QStringLiteral("pteImpDan"), Panel4);
    bbImpNabor = new QPushButton(QStringLiteral("Nabor"), Panel4);
    bbImpNabor->setObjectName(QStringLiteral("bbImpNabor"));
    bbImpNabor->setToolTip(QStringLiteral("Nabor"));
    bbImpBrisi = new QPushButton(QStringLiteral("Brisanje nabora"), Panel4);
    bbImpBrisi->setObjectName(QStringLiteral("bbImpBrisi"));
    bbImpBrisi->setToolTip(QStringLiteral("Brisanje nabranih transakcij"));
    bbImportXLS = new QPushButton(QStringLiteral("Uvoz transakcij"), Panel4);
    bbImportXLS->setObjectName(QStringLiteral("bbImportXLS"));
    bbImportXLS->setToolTip(QStringLiteral("Import"));
    progressLabel_ = new QLabel(QStringLiteral("Transakcije"), Panel4);
    pbImportXLS = new QProgressBar(Panel4);
    pbImportXLS->setObjectName(QStringLiteral("pbImportXLS"));
    pbImportXLS->setValue(0);
    showProgress(false);

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
    row->addWidget(progressLabel_);
    row->addWidget(pbImportXLS, 1);
    row->addStretch(1);
    auto *upper = new QVBoxLayout(Panel4);
    upper->setContentsMargins(2, 2, 2, 2);
    upper->addLayout(row);
    upper->addWidget(Panel7, 1);

    dbgImport = new DataGrid(this);
    dbgImport->setObjectName(QStringLiteral("dbgImport"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Panel4);
    layout->addWidget(dbgImport, 1);

    connect(bbImpNabor, &QPushButton::clicked, this, &ImportXlsTab::bbImpNaborClick);
    connect(bbImpBrisi, &QPushButton::clicked, this, &ImportXlsTab::bbImpBrisiClick);
    connect(bbImportXLS, &QPushButton::clicked, this, &ImportXlsTab::bbImportXLSClick);
    PeriodField::whenLeft(pteImpDan, [this] { pteImpDanExit(); });
    entered();
}

ImportXlsTab::~ImportXlsTab() {
    // The grid must not read the view while the page is taken down.
    dbgImport->setDataSet(nullptr);
}

void ImportXlsTab::attach(Session &session) {
    session_ = &session;
    view_ = std::make_unique<ImportView>(session);
    dbgImport->setDataSet(&view_->table());
}

void ImportXlsTab::entered() {
    Panel4->setFixedHeight(Panel7->isVisibleTo(this) ? 186 : 26);
}

void ImportXlsTab::showProgress(bool shown) {
    progressLabel_->setVisible(shown);
    pbImportXLS->setVisible(shown);
}

void ImportXlsTab::bbImpNaborClick() {
    showProgress(false);
    if (!session_)
        return;
    try {
        view_->show(pteImpDan->date());
    } catch (const RapoError &e) {
        session_->prompter.error(e.message());
    }
    dbgImport->dataSetChanged();
}

void ImportXlsTab::pteImpDanExit() {
    bbImpNaborClick();
}

void ImportXlsTab::bbImpBrisiClick() {
    if (!session_)
        return;
    try {
        TradeImport::deleteUnreported(*session_, pteImpDan->date());
    } catch (const RapoError &e) {
        session_->prompter.error(e.message());
    }
    bbImpNaborClick();
}

void ImportXlsTab::bbImportXLSClick() {
    if (!session_)
        return;
    const QDate day = pteImpDan->date();
    TradeImport::Result result;
    try {
        const qint64 nextId = TradeImport::nextId(*session_);
        const QString file = session_->prompter.openFile(
            QStringLiteral("Uvoz transakcij"), session_->programDirectory,
            QStringLiteral("Delovni zvezki Excel (*.xls *.xlsx)"));
        if (file.isEmpty()) {
            bbImpNaborClick();
            return;
        }
        pbImportXLS->setValue(0);
        showProgress(true);
        result = TradeImport::run(*session_, file, day, nextId, [this](int position, int rows) {
            pbImportXLS->setMaximum(rows);
            pbImportXLS->setValue(position);
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
    } catch (const RapoError &e) {
        // The rows saved before the failure are shown; the error list stays as it was.
        session_->prompter.error(e.message());
        bbImpNaborClick();
        return;
    }
    if (result.ending == TradeImport::Ending::Aborted) {
        // The rows saved before the stop stay; the clerk sees them and is told.
        bbImpNaborClick();
        Q_EMIT statusMessage(QStringLiteral("Uvoz je prekinjen; vrstice pred prekinitvijo so "
                                            "uvožene."));
        return;
    }
    mImportXLSNapake->setPlainText(result.errors);
    Panel7->setVisible(!result.errors.isEmpty());
    entered();
    bbImpNaborClick();
}
