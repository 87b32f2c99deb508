#include "AtvpTab.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

AtvpTab::AtvpTab(QWidget *parent) : MainTab(parent) {
    setObjectName(QStringLiteral("tsATVP"));
    lbNeposlana = new QListWidget(this);
    lbNeposlana->setObjectName(QStringLiteral("lbNeposlana"));
    bbNeposlano = new QPushButton(QStringLiteral("Osveži"), this);
    bbNeposlano->setObjectName(QStringLiteral("bbNeposlano"));
    clbPoslana = new QListWidget(this);
    clbPoslana->setObjectName(QStringLiteral("clbPoslana"));
    bbPodpisana = new QPushButton(QStringLiteral("Osveži"), this);
    bbPodpisana->setObjectName(QStringLiteral("bbPodpisana"));
    bSign = new QPushButton(QStringLiteral("Podpis in kriptiranje poročila"), this);
    bSign->setObjectName(QStringLiteral("bSign"));
    for (QPushButton *b : {bbNeposlano, bbPodpisana, bSign})
        markNotAvailable(b);

    Label1 = new QLabel(QStringLiteral("Spisek napak za"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    eXMLFile = new QLineEdit(this);
    eXMLFile->setObjectName(QStringLiteral("eXMLFile"));
    eXMLFile->setReadOnly(true);
    mXMLNapake = new QPlainTextEdit(this);
    mXMLNapake->setObjectName(QStringLiteral("mXMLNapake"));
    mXMLNapake->setReadOnly(true);
    for (QWidget *w : std::initializer_list<QWidget *>{Label1, eXMLFile, mXMLNapake})
        w->setVisible(false);

    auto *layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("XML Poročila"), this), 0, 0);
    layout->addWidget(bbNeposlano, 0, 1);
    layout->addWidget(new QLabel(QStringLiteral("Podpisana in poslana poročila"), this), 0, 2);
    layout->addWidget(bbPodpisana, 0, 3);
    layout->addWidget(lbNeposlana, 1, 0, 1, 2);
    layout->addWidget(clbPoslana, 1, 2, 1, 2);
    layout->addWidget(bSign, 2, 0, 1, 2);
    layout->addWidget(Label1, 3, 0);
    layout->addWidget(eXMLFile, 3, 1, 1, 3);
    layout->addWidget(mXMLNapake, 4, 0, 1, 4);
    layout->setRowStretch(1, 3);
    layout->setRowStretch(4, 1);
}

void AtvpTab::showValidationError(const QString &path, const QString &errorLine) {
    mXMLNapake->clear();
    mXMLNapake->appendPlainText(errorLine);
    eXMLFile->setText(path);
    for (QWidget *w : std::initializer_list<QWidget *>{Label1, eXMLFile, mXMLNapake})
        w->setVisible(true);
}

void AtvpTab::hideValidationError() {
    for (QWidget *w : std::initializer_list<QWidget *>{Label1, eXMLFile, mXMLNapake})
        w->setVisible(false);
}
