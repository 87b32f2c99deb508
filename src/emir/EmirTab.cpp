#include "EmirTab.h"

#include "DataGrid.h"
#include "EmirDisputeDialog.h"
#include "EmirDisputeImport.h"
#include "EmirDisputes.h"
#include "EmirFile.h"
#include "EmirReportDialog.h"
#include "PeriodField.h"
#include "Prompter.h"
#include "Query.h"
#include "RapoError.h"
#include "Session.h"
#include "TypedEdit.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QPushButton *actionButton(const QString &name, const QString &caption, QWidget *parent) {
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    return button;
}

// Selects the row whose column holds `id`; false when no row does.
bool selectRow(DataGrid *grid, Query &q, const QString &column, qint64 id) {
    if (id == 0 || !q.active())
        return false;
    if (!q.locate(column, {id}))
        return false;
    grid->setCurrentRow(q.recNo());
    return true;
}
} // namespace

EmirTab::EmirTab(QWidget *parent) : MainTab(parent) {
    setObjectName(QStringLiteral("tsEMIR"));
    pteEMIRDatOd = PeriodField::create(QStringLiteral("pteEMIRDatOd"), this);
    pteEMIRDatDo = PeriodField::create(QStringLiteral("pteEMIRDatDo"), this);
    for (TypedEdit *field : {pteEMIRDatOd, pteEMIRDatDo})
        field->setMaximumWidth(120);
    actRefresh = actionButton(QStringLiteral("actRefresh"), QStringLiteral("Osveži"), this);
    actAddRpt = actionButton(QStringLiteral("actAddRpt"), QStringLiteral("Dodaj"), this);
    actEditRpt = actionButton(QStringLiteral("actEditRpt"), QStringLiteral("Spremeni"), this);
    actDeleteRpt = actionButton(QStringLiteral("actDeleteRpt"), QStringLiteral("Briši"), this);
    actCancel = actionButton(QStringLiteral("actCancel"), QStringLiteral("Preklic"), this);
    actImportXLS = actionButton(QStringLiteral("actImportXLS"), QStringLiteral("Uvoz XLS"), this);
    actImportXLS->setToolTip(QStringLiteral("Uvoz sporov iz Excelove datoteke"));
    actEMIRXML = actionButton(QStringLiteral("actEMIRXML"), QStringLiteral("Generiraj XML"), this);

    dbgEMIRPorocila = new DataGrid(this);
    dbgEMIRPorocila->setObjectName(QStringLiteral("dbgEMIRPorocila"));
    dbgEMIRPorocila->setLabelText(QStringLiteral("Poročila"));
    dbgEMIRPorocila->OnZoom = [this] { dbgEMIRPorocilaZoom(); };
    dbgEMIRPsl = new DataGrid(this);
    dbgEMIRPsl->setObjectName(QStringLiteral("dbgEMIRPsl"));
    dbgEMIRPsl->setLabelText(QStringLiteral("Spori"));
    dbgEMIRPsl->OnZoom = [this] { dbgEMIRPslZoom(); };
    actAddPsl = actionButton(QStringLiteral("actAddPsl"), QStringLiteral("Dodaj"), this);
    actEditPsl = actionButton(QStringLiteral("actEditPsl"), QStringLiteral("Spremeni"), this);
    actDeletePsl = actionButton(QStringLiteral("actDeletePsl"), QStringLiteral("Briši"), this);

    auto *period = new QHBoxLayout;
    period->addWidget(new QLabel(QStringLiteral("Datum od"), this));
    period->addWidget(pteEMIRDatOd);
    period->addWidget(new QLabel(QStringLiteral("Datum do"), this));
    period->addWidget(pteEMIRDatDo);
    period->addStretch();
    auto *reportActions = new QHBoxLayout;
    for (QPushButton *b :
         {actRefresh, actAddRpt, actEditRpt, actDeleteRpt, actCancel, actImportXLS, actEMIRXML})
        reportActions->addWidget(b);
    reportActions->addStretch();
    auto *disputeActions = new QHBoxLayout;
    for (QPushButton *b : {actAddPsl, actEditPsl, actDeletePsl})
        disputeActions->addWidget(b);
    disputeActions->addStretch();

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(period);
    layout->addLayout(reportActions);
    layout->addWidget(dbgEMIRPorocila, 3);
    layout->addLayout(disputeActions);
    layout->addWidget(dbgEMIRPsl, 2);

    editReport = [this](qint64 reportId) -> qint64 {
        EmirReportDialog dialog(*session_, reportId, this);
        return dialog.exec() == QDialog::Accepted ? dialog.savedId() : 0;
    };
    editDispute = [this](qint64 reportId, qint64 disputeId) -> qint64 {
        EmirDisputeDialog dialog(*session_, reportId, disputeId, this);
        return dialog.exec() == QDialog::Accepted ? dialog.savedId() : 0;
    };

    connect(actRefresh, &QPushButton::clicked, this, &EmirTab::actRefreshExecute);
    connect(actAddRpt, &QPushButton::clicked, this, &EmirTab::actAddRptExecute);
    connect(actEditRpt, &QPushButton::clicked, this, &EmirTab::actEditRptExecute);
    connect(actDeleteRpt, &QPushButton::clicked, this, &EmirTab::actDeleteRptExecute);
    connect(actCancel, &QPushButton::clicked, this, &EmirTab::actCancelExecute);
    connect(actImportXLS, &QPushButton::clicked, this, &EmirTab::actImportXLSExecute);
    connect(actEMIRXML, &QPushButton::clicked, this, &EmirTab::actEMIRXMLExecute);
    connect(actAddPsl, &QPushButton::clicked, this, &EmirTab::actAddPslExecute);
    connect(actEditPsl, &QPushButton::clicked, this, &EmirTab::actEditPslExecute);
    connect(actDeletePsl, &QPushButton::clicked, this, &EmirTab::actDeletePslExecute);
    connect(dbgEMIRPorocila, &DataGrid::currentRowChanged, this, [this] { reportRowChanged(); });
    connect(dbgEMIRPsl, &DataGrid::currentRowChanged, this, [this] { updateActions(); });
    for (TypedEdit *field : {pteEMIRDatOd, pteEMIRDatDo}) {
        PeriodField::whenLeft(field, [this] { Q_EMIT periodFieldLeft(); });
        connect(field, &TypedEdit::valueChanged, this, &EmirTab::closeLists);
    }
    updateActions();
}

EmirTab::~EmirTab() {
    // The grids must not read the lists while the page is taken down.
    dbgEMIRPorocila->setDataSet(nullptr);
    dbgEMIRPsl->setDataSet(nullptr);
}

void EmirTab::attach(Session &session) {
    session_ = &session;
    qEMIRRpt_ = std::make_unique<Query>(session.db, QStringLiteral("qEMIRRpt"));
    qEMIRRpt_->setFields(EmirReports::listFields());
    qEMIRPsl_ = std::make_unique<Query>(session.db, QStringLiteral("qEMIRPsl"));
    qEMIRPsl_->setFields(EmirDisputes::listFields());
    dbgEMIRPorocila->setDataSet(qEMIRRpt_.get());
    dbgEMIRPsl->setDataSet(qEMIRPsl_.get());
}

void EmirTab::entered() {
    loadReports(0);
}

void EmirTab::setCurrentMonth(const QDate &today) {
    pteEMIRDatOd->setDate(QDate(today.year(), today.month(), 1));
    pteEMIRDatDo->setDate(today);
}

template <typename Work> void EmirTab::guarded(Work work) {
    if (!session_)
        return;
    try {
        work();
    } catch (const RapoError &e) {
        showError(e.message());
    }
    updateActions();
}

void EmirTab::showError(const QString &message) const {
    session_->prompter.error(message);
}

void EmirTab::closeLists() {
    if (!session_)
        return;
    qEMIRPsl_->close();
    dbgEMIRPsl->dataSetChanged();
    qEMIRRpt_->close();
    dbgEMIRPorocila->dataSetChanged();
    disputesOf_ = -1;
    updateActions();
}

void EmirTab::loadReports(qint64 reportId) {
    if (!session_)
        return;
    const qint64 select = reportId != 0 ? reportId : currentReportId();
    loading_ = true;
    try {
        EmirReports::load(*qEMIRRpt_, pteEMIRDatOd->date(), pteEMIRDatDo->date());
    } catch (const RapoError &e) {
        loading_ = false;
        closeLists();
        showError(e.message());
        return;
    }
    dbgEMIRPorocila->dataSetChanged();
    if (!selectRow(dbgEMIRPorocila, *qEMIRRpt_, QStringLiteral("EMIRPorociloId"), select) &&
        !qEMIRRpt_->eof())
        dbgEMIRPorocila->setCurrentRow(0);
    loading_ = false;
    disputesOf_ = -1;
    loadDisputes(0);
}

void EmirTab::loadDisputes(qint64 disputeId) {
    if (!session_)
        return;
    const qint64 select = disputeId != 0 ? disputeId : currentDisputeId();
    const qint64 report = currentReportId();
    try {
        EmirDisputes::load(*qEMIRPsl_, report);
        disputesOf_ = report;
    } catch (const RapoError &e) {
        qEMIRPsl_->close();
        disputesOf_ = -1;
        showError(e.message());
    }
    dbgEMIRPsl->dataSetChanged();
    if (!selectRow(dbgEMIRPsl, *qEMIRPsl_, QStringLiteral("EMIRPoselId"), select) &&
        qEMIRPsl_->active() && !qEMIRPsl_->eof())
        dbgEMIRPsl->setCurrentRow(0);
    updateActions();
}

void EmirTab::reportRowChanged() {
    if (loading_)
        return;
    if (currentReportId() != disputesOf_)
        loadDisputes(0);
    updateActions();
}

std::optional<EmirReports::Report> EmirTab::currentReport() const {
    if (!qEMIRRpt_ || !qEMIRRpt_->active() || dbgEMIRPorocila->currentRow() < 0 ||
        !qEMIRRpt_->moveTo(dbgEMIRPorocila->currentRow()))
        return std::nullopt;
    return EmirReports::rowOf(*qEMIRRpt_);
}

qint64 EmirTab::currentReportId() const {
    const auto report = currentReport();
    return report ? report->id : 0;
}

qint64 EmirTab::currentDisputeId() const {
    if (!qEMIRPsl_ || !qEMIRPsl_->active() || dbgEMIRPsl->currentRow() < 0 ||
        !qEMIRPsl_->moveTo(dbgEMIRPsl->currentRow()))
        return 0;
    return qEMIRPsl_->asInteger(QStringLiteral("EMIRPoselId"));
}

void EmirTab::updateActions() {
    const auto report = currentReport();
    const bool selected = report && report->id != 0;
    const bool open = selected && !report->preklicano;
    const bool dispute = open && currentDisputeId() != 0;
    const bool attached = session_ != nullptr;
    actRefresh->setEnabled(attached);
    actAddRpt->setEnabled(attached);
    for (QPushButton *b : {actEditRpt, actDeleteRpt, actCancel, actImportXLS, actAddPsl})
        b->setEnabled(open);
    actEditPsl->setEnabled(dispute);
    actDeletePsl->setEnabled(dispute);
    actEMIRXML->setEnabled(selected);
}

void EmirTab::actRefreshExecute() {
    loadReports(0);
}

void EmirTab::actAddRptExecute() {
    guarded([this] {
        if (const qint64 id = editReport(0))
            loadReports(id);
    });
}

void EmirTab::actEditRptExecute() {
    if (!actEditRpt->isEnabled())
        return;
    guarded([this] {
        if (const qint64 id = editReport(currentReportId()))
            loadReports(id);
    });
}

void EmirTab::actDeleteRptExecute() {
    const auto report = currentReport();
    if (!report)
        return;
    guarded([&] {
        if (EmirReports::remove(*session_, *report))
            loadReports(0);
    });
}

void EmirTab::actCancelExecute() {
    const auto report = currentReport();
    if (!report || !actCancel->isEnabled())
        return;
    guarded([&] {
        if (const qint64 id = EmirReports::cancel(*session_, *report))
            loadReports(id);
    });
}

void EmirTab::actImportXLSExecute() {
    const qint64 reportId = currentReportId();
    if (reportId == 0 || !actImportXLS->isEnabled())
        return;
    const QString fileName =
        session_->prompter.openFile(QStringLiteral("Uvoz sporov"), session_->programDirectory,
                                    QStringLiteral("Delovni zvezki Excel (*.xls *.xlsx)"));
    if (fileName.isEmpty())
        return;
    QString failure;
    try {
        EmirDisputeImport::run(*session_, reportId, fileName);
    } catch (const RapoError &e) {
        failure = e.message();
    }
    // After a failure the list shows that no dispute of the file stayed.
    loadDisputes(0);
    if (failure.isEmpty())
        session_->prompter.information(EmirDisputeImport::completion(fileName));
    else
        showError(failure);
}

void EmirTab::actEMIRXMLExecute() {
    const auto report = currentReport();
    if (!report)
        return;
    guarded([&] {
        const EmirFile::Result result =
            EmirFile::write(*session_, report->id, pteEMIRDatOd->date(), pteEMIRDatDo->date());
        if (!result.path.isEmpty())
            loadReports(report->id);
    });
}

void EmirTab::actAddPslExecute() {
    if (!actAddPsl->isEnabled())
        return;
    guarded([this] {
        if (const qint64 id = editDispute(currentReportId(), 0))
            loadDisputes(id);
    });
}

void EmirTab::actEditPslExecute() {
    if (!actEditPsl->isEnabled())
        return;
    guarded([this] {
        if (const qint64 id = editDispute(currentReportId(), currentDisputeId()))
            loadDisputes(id);
    });
}

void EmirTab::actDeletePslExecute() {
    const qint64 id = currentDisputeId();
    if (id == 0 || !actDeletePsl->isEnabled())
        return;
    guarded([&] {
        if (EmirDisputes::remove(*session_, id))
            loadReports(0);
    });
}

void EmirTab::dbgEMIRPorocilaZoom() {
    if (actEditRpt->isEnabled())
        actEditRptExecute();
}

void EmirTab::dbgEMIRPslZoom() {
    if (actEditPsl->isEnabled())
        actEditPslExecute();
}
