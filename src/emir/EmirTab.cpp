#include "EmirTab.h"

#include "PeriodField.h"

#include "TypedEdit.h"
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {
QPushButton *actionButton(const QString &name, const QString &caption, QWidget *parent) {
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    MainTab::markNotAvailable(button);
    return button;
}

QLabel *heading(const QString &caption, QWidget *parent) {
    auto *label = new QLabel(caption, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}
} // namespace

EmirTab::EmirTab(QWidget *parent) : MainTab(parent) {
    setObjectName(QStringLiteral("tsEMIR"));
    lblPorocila = heading(QStringLiteral("Poročila"), this);
    pteEMIRDatOd = PeriodField::create(QStringLiteral("pteEMIRDatOd"), this);
    pteEMIRDatDo = PeriodField::create(QStringLiteral("pteEMIRDatDo"), this);
    dbgEMIRPorocila = new QTableView(this);
    dbgEMIRPorocila->setObjectName(QStringLiteral("dbgEMIRPorocila"));
    actEMIROsvezi = actionButton(QStringLiteral("actEMIROsvezi"), QStringLiteral("Osveži"), this);
    actEMIRDodaj = actionButton(QStringLiteral("actEMIRDodaj"), QStringLiteral("Dodaj"), this);
    actEMIRSpremeni =
        actionButton(QStringLiteral("actEMIRSpremeni"), QStringLiteral("Spremeni"), this);
    actEMIRBrisi = actionButton(QStringLiteral("actEMIRBrisi"), QStringLiteral("Briši"), this);
    actEMIRPreklic =
        actionButton(QStringLiteral("actEMIRPreklic"), QStringLiteral("Preklic"), this);
    actEMIRUvozXLS =
        actionButton(QStringLiteral("actEMIRUvozXLS"), QStringLiteral("Uvoz XLS"), this);
    actEMIRXML = actionButton(QStringLiteral("actEMIRXML"), QStringLiteral("Generiraj XML"), this);

    lblSpori = heading(QStringLiteral("Spori"), this);
    dbgEMIRPsl = new QTableView(this);
    dbgEMIRPsl->setObjectName(QStringLiteral("dbgEMIRPsl"));
    actEMIRPslDodaj =
        actionButton(QStringLiteral("actEMIRPslDodaj"), QStringLiteral("Dodaj"), this);
    actEMIRPslSpremeni =
        actionButton(QStringLiteral("actEMIRPslSpremeni"), QStringLiteral("Spremeni"), this);
    actEMIRPslBrisi =
        actionButton(QStringLiteral("actEMIRPslBrisi"), QStringLiteral("Briši"), this);

    auto *reports = new QHBoxLayout;
    reports->addWidget(lblPorocila);
    reports->addWidget(pteEMIRDatOd);
    reports->addWidget(pteEMIRDatDo);
    for (QPushButton *b : {actEMIROsvezi, actEMIRDodaj, actEMIRSpremeni, actEMIRBrisi,
                           actEMIRPreklic, actEMIRUvozXLS, actEMIRXML})
        reports->addWidget(b);
    reports->addStretch();
    auto *disputes = new QHBoxLayout;
    disputes->addWidget(lblSpori);
    for (QPushButton *b : {actEMIRPslDodaj, actEMIRPslSpremeni, actEMIRPslBrisi})
        disputes->addWidget(b);
    disputes->addStretch();

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(reports);
    layout->addWidget(dbgEMIRPorocila, 1);
    layout->addLayout(disputes);
    layout->addWidget(dbgEMIRPsl, 1);

    for (TypedEdit *field : {pteEMIRDatOd, pteEMIRDatDo})
        PeriodField::whenLeft(field, [this] { Q_EMIT periodFieldLeft(); });
}

void EmirTab::setCurrentMonth(const QDate &today) {
    pteEMIRDatOd->setDate(QDate(today.year(), today.month(), 1));
    pteEMIRDatDo->setDate(today);
}
