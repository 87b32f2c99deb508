#include "FinInstrTab.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

FinInstrTab::FinInstrTab(QWidget *parent) : MainTab(parent) {
    setObjectName(QStringLiteral("tsFinInstr"));
    eISIN = new QLineEdit(this);
    eISIN->setObjectName(QStringLiteral("eISIN"));
    // The filter field takes upper case only, as ISINs are written.
    connect(eISIN, &QLineEdit::textEdited, this, [this](const QString &text) {
        if (text != text.toUpper()) {
            const int cursor = eISIN->cursorPosition();
            eISIN->setText(text.toUpper());
            eISIN->setCursorPosition(cursor);
        }
    });
    dbgDPATVP_SFVP = new QTableView(this);
    dbgDPATVP_SFVP->setObjectName(QStringLiteral("dbgDPATVP_SFVP"));
    bNabor = new QPushButton(QStringLiteral("Nazaj na nabor"), this);
    bNabor->setObjectName(QStringLiteral("bNabor"));
    bNabor->setVisible(false);

    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("ISIN:"), this));
    top->addWidget(eISIN);
    top->addWidget(bNabor);
    top->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(dbgDPATVP_SFVP, 1);
}
