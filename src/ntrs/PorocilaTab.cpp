#include "PorocilaTab.h"

#include "DataGrid.h"
#include "PeriodField.h"
#include "Prompter.h"
#include "Query.h"
#include "RapoError.h"
#include "Session.h"
#include "TypedEdit.h"

#include <QAction>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

PorocilaTab::PorocilaTab(QWidget *parent) : MainTab(parent) {
    setObjectName(QStringLiteral("tsPorocila"));
    pteDanOd = PeriodField::create(QStringLiteral("pteDanOd"), this);
    pteDanDo = PeriodField::create(QStringLiteral("pteDanDo"), this);
    bbRefresh = new QPushButton(QStringLiteral("Osveži"), this);
    bbRefresh->setObjectName(QStringLiteral("bbRefresh"));
    bbRefresh->setToolTip(QStringLiteral("Osveži podatke"));
    BitBtn4 = new QPushButton(QStringLiteral("Brisanje poročila"), this);
    BitBtn4->setObjectName(QStringLiteral("BitBtn4"));
    bbReGeneriraj = new QPushButton(QStringLiteral("Ponovno generiraj"), this);
    bbReGeneriraj->setObjectName(QStringLiteral("bbReGeneriraj"));

    dbPorocila = new DataGrid(this);
    dbPorocila->setObjectName(QStringLiteral("dbPorocila"));
    dbPorocila->setLabelAlign(LabelAlign::laNone);
    dbPorocila->OnZoom = [] {};
    pmStatusi = new QMenu(this);
    pmStatusi->setObjectName(QStringLiteral("pmStatusi"));
    pmPotrjeno = pmStatusi->addAction(QStringLiteral("Potrjeno"));
    pmZavrnjeno = pmStatusi->addAction(QStringLiteral("Zavrnjeno"));
    QTableView *view = dbPorocila->view();
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view, &QWidget::customContextMenuRequested, this, [this, view](const QPoint &at) {
        pmStatusi->popup(view->viewport()->mapToGlobal(at));
    });

    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Dan poročanja od"), this));
    top->addWidget(pteDanOd);
    top->addWidget(new QLabel(QStringLiteral("Dan poročanja do"), this));
    top->addWidget(pteDanDo);
    for (QPushButton *b : {bbRefresh, BitBtn4, bbReGeneriraj})
        top->addWidget(b);
    top->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(dbPorocila, 1);

    connect(bbRefresh, &QPushButton::clicked, this, &PorocilaTab::bbRefreshClick);
    connect(BitBtn4, &QPushButton::clicked, this, &PorocilaTab::BitBtn4Click);
    connect(bbReGeneriraj, &QPushButton::clicked, this, &PorocilaTab::bbReGenerirajClick);
    connect(pmPotrjeno, &QAction::triggered, this, &PorocilaTab::pmPotrjenoClick);
    connect(pmZavrnjeno, &QAction::triggered, this, &PorocilaTab::pmZavrnjenoClick);
    connect(dbPorocila, &DataGrid::currentRowChanged, this, [this] { updateActions(); });
    for (TypedEdit *field : {pteDanOd, pteDanDo})
        PeriodField::whenLeft(field, [this] { bbRefreshClick(); });
    updateActions();
}

PorocilaTab::~PorocilaTab() = default;

void PorocilaTab::attach(Session &session) {
    session_ = &session;
    qDPATVP_ = std::make_unique<Query>(session.db, QStringLiteral("qDPATVP"));
    qDPATVP_->setFields(ReportRegister::listFields());
    dbPorocila->setDataSet(qDPATVP_.get());
}

void PorocilaTab::entered() {
    if (qDPATVP_)
        qDPATVP_->close();
    // Let pending window messages run before the register reloads.
    QCoreApplication::processEvents();
    bbRefreshClick();
}

void PorocilaTab::bbRefreshClick() {
    if (!session_)
        return;
    try {
        ReportRegister::load(*qDPATVP_, pteDanOd->date(), pteDanDo->date());
    } catch (const RapoError &e) {
        session_->prompter.error(e.message());
    }
    dbPorocila->dataSetChanged();
    if (qDPATVP_->active() && !qDPATVP_->eof())
        dbPorocila->setCurrentRow(0);
    updateActions();
}

bool PorocilaTab::currentRow(ReportRegister::Row &row) const {
    if (!qDPATVP_ || !qDPATVP_->active() || qDPATVP_->eof() || dbPorocila->currentRow() < 0)
        return false;
    qDPATVP_->moveTo(dbPorocila->currentRow());
    row = ReportRegister::rowOf(*qDPATVP_);
    return true;
}

void PorocilaTab::updateActions() {
    actions_ = {};
    ReportRegister::Row row;
    if (session_ && currentRow(row)) {
        try {
            actions_ = ReportRegister::actionsFor(*session_, row);
        } catch (const RapoError &e) {
            session_->prompter.error(e.message());
        }
    }
    bbReGeneriraj->setEnabled(actions_.regenerate);
    pmPotrjeno->setEnabled(actions_.confirm);
    pmZavrnjeno->setEnabled(actions_.reject);
    BitBtn4->setEnabled(actions_.remove);
}

void PorocilaTab::pmPotrjenoClick() {
    ReportRegister::Row row;
    if (!actions_.confirm || !currentRow(row))
        return;
    try {
        ReportRegister::confirm(*session_, row);
        Q_EMIT statusMessage(QStringLiteral("Poročilo ") + row.xmlFile +
                             QStringLiteral(" je potrjeno."));
    } catch (const RapoError &e) {
        session_->prompter.error(e.message());
    }
    bbRefreshClick();
}

void PorocilaTab::pmZavrnjenoClick() {
    ReportRegister::Row row;
    if (!actions_.reject || !currentRow(row))
        return;
    try {
        ReportRegister::reject(*session_, row);
        Q_EMIT statusMessage(QStringLiteral("Poročilo ") + row.xmlFile +
                             QStringLiteral(" je zavrnjeno."));
    } catch (const RapoError &e) {
        session_->prompter.error(e.message());
    }
    bbRefreshClick();
}

void PorocilaTab::BitBtn4Click() {
    ReportRegister::Row row;
    if (!currentRow(row))
        return;
    try {
        if (!ReportRegister::remove(*session_, row))
            return;
        Q_EMIT statusMessage(QStringLiteral("Poročilo ") + row.xmlFile +
                             QStringLiteral(" je zbrisano."));
    } catch (const RapoError &e) {
        session_->prompter.error(e.message());
    }
    bbRefreshClick();
}

void PorocilaTab::bbReGenerirajClick() {
    ReportRegister::Row row;
    if (!actions_.regenerate || !currentRow(row))
        return;
    Q_EMIT regenerateRequested(row);
    bbRefreshClick();
}
