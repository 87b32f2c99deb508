#include "NaborTab.h"

#include "PeriodField.h"
#include "ShortDateFormat.h"

#include "TPTypedEdit.h"
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

NaborTab::NaborTab(QWidget *parent) : MainTab(parent) {
    setObjectName(QStringLiteral("tsNabor"));
    dtpDan = PeriodField::create(QStringLiteral("dtpDan"), this);
    dtpDanDo = PeriodField::create(QStringLiteral("dtpDanDo"), this);

    bbNabor = new QPushButton(QStringLiteral("Nabor"), this);
    BitBtn3 = new QPushButton(QStringLiteral("Brisanje nabora"), this);
    BitBtn3->setToolTip(QStringLiteral("Brisanje nabranih neposlanih transakcij"));
    bbExportXLS = new QPushButton(QStringLiteral("Izvoz nabora"), this);
    bbExportXLS->setToolTip(QStringLiteral("Export v Excel"));
    bbGenXML = new QPushButton(QStringLiteral("Generiranje XML poročila"), this);
    bbGenXML->setToolTip(QStringLiteral("Generiranje in pošiljanje poročila"));
    bTZInfo = new QPushButton(QStringLiteral("Preveri časovni pas"), this);
    for (QPushButton *b : {bbNabor, BitBtn3, bbExportXLS, bbGenXML, bTZInfo})
        markNotAvailable(b);
    bbNabor->setObjectName(QStringLiteral("bbNabor"));
    BitBtn3->setObjectName(QStringLiteral("BitBtn3"));
    bbExportXLS->setObjectName(QStringLiteral("bbExportXLS"));
    bbGenXML->setObjectName(QStringLiteral("bbGenXML"));
    bTZInfo->setObjectName(QStringLiteral("bTZInfo"));

    lblTransakcije = new QLabel(QStringLiteral("Transakcije"), this);
    dbgDPATVPPSL = new QTableView(this);
    dbgDPATVPPSL->setObjectName(QStringLiteral("dbgDPATVPPSL"));
    lblSifrantFinInstr = new QLabel(QStringLiteral("Šifrant finančnih instrumentov"), this);
    dbSifrantFinInstr = new QTableView(this);
    dbSifrantFinInstr->setObjectName(QStringLiteral("dbSifrantFinInstr"));

    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Datum od"), this));
    top->addWidget(dtpDan);
    top->addWidget(new QLabel(QStringLiteral("Datum do"), this));
    top->addWidget(dtpDanDo);
    for (QPushButton *b : {bbNabor, BitBtn3, bbExportXLS, bbGenXML, bTZInfo})
        top->addWidget(b);
    top->addStretch();

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(lblTransakcije);
    layout->addWidget(dbgDPATVPPSL, 3);
    layout->addWidget(lblSifrantFinInstr);
    layout->addWidget(dbSifrantFinInstr, 2);

    for (TPTypedEdit *field : {dtpDan, dtpDanDo})
        PeriodField::whenLeft(field, [this] { Q_EMIT periodFieldLeft(); });
}

QString NaborTab::periodText() const {
    return ShortDateFormat::toText(dtpDan->date()) + u';' +
           ShortDateFormat::toText(dtpDanDo->date());
}

void NaborTab::closeWorkingSet() {
    dbgDPATVPPSL->setModel(nullptr);
    dbSifrantFinInstr->setModel(nullptr);
}
