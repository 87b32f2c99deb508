#include "InstrumentChoiceDialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

InstrumentChoiceDialog::InstrumentChoiceDialog(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fFinInstrDlg"));
    setWindowTitle(QStringLiteral("Finančni instrument"));

    eISIN = new QLineEdit(this);
    eISIN->setObjectName(QStringLiteral("eISIN"));
    eISIN->setEnabled(false);
    lInternaIdent = new QLabel(QStringLiteral("Interna ident. instrumetna"), this);
    lNovaInternaIdent = new QLabel(QStringLiteral("Nova interna ident. instrumenta"), this);
    lNovaInternaIdent->setVisible(false);
    cbSFVP = new QComboBox(this);
    cbSFVP->setObjectName(QStringLiteral("cbSFVP"));
    cbSFVP->setEditable(true);
    cbSFVP->setInsertPolicy(QComboBox::NoInsert);

    OKBtn = new QPushButton(QStringLiteral("V redu"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Prekliči"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setAutoDefault(false);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    // Escape rejects the dialog as the cancel button does.
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    auto *fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("ISIN"), this), 0, 0);
    fields->addWidget(eISIN, 0, 1);
    // The two captions share one place; the row decides which one is shown.
    fields->addWidget(lInternaIdent, 1, 0);
    fields->addWidget(lNovaInternaIdent, 1, 0);
    fields->addWidget(cbSFVP, 1, 1);
    fields->setColumnStretch(1, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addStretch();
    layout->addLayout(buttons);
    setFixedSize(420, 140);
}

void InstrumentChoiceDialog::fill(const InstrumentChoice::Offer &offer) {
    eISIN->setText(offer.isin);
    lNovaInternaIdent->setVisible(offer.changing);
    lInternaIdent->setVisible(!offer.changing);
    cbSFVP->clear();
    cbSFVP->addItems(offer.entries);
    const int preselected = offer.preselected.isEmpty() ? -1 : cbSFVP->findText(offer.preselected);
    cbSFVP->setCurrentIndex(preselected);
    if (preselected < 0)
        cbSFVP->clearEditText();
}

QString InstrumentChoiceDialog::chosenText() const {
    return cbSFVP->currentText();
}
