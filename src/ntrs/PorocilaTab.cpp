#include "PorocilaTab.h"

#include "PeriodField.h"

#include "TPTypedEdit.h"
#include <QAction>
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
    BitBtn4 = new QPushButton(QStringLiteral("Brisanje poročila"), this);
    BitBtn4->setObjectName(QStringLiteral("BitBtn4"));
    bbReGeneriraj = new QPushButton(QStringLiteral("Ponovno generiraj"), this);
    bbReGeneriraj->setObjectName(QStringLiteral("bbReGeneriraj"));
    for (QPushButton *b : {bbRefresh, BitBtn4, bbReGeneriraj})
        markNotAvailable(b);

    dbPorocila = new QTableView(this);
    dbPorocila->setObjectName(QStringLiteral("dbPorocila"));
    pmStatusi = new QMenu(this);
    pmStatusi->setObjectName(QStringLiteral("pmStatusi"));
    pmPotrjeno = pmStatusi->addAction(QStringLiteral("Potrjeno"));
    pmZavrnjeno = pmStatusi->addAction(QStringLiteral("Zavrnjeno"));
    pmPotrjeno->setEnabled(false);
    pmZavrnjeno->setEnabled(false);
    dbPorocila->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(dbPorocila, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        pmStatusi->popup(dbPorocila->viewport()->mapToGlobal(at));
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
}
