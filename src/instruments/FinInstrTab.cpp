#include "FinInstrTab.h"

#include "Clock.h"
#include "DataGrid.h"
#include "InstrumentChoiceDialog.h"
#include "InstrumentRegisterView.h"
#include "Prompter.h"
#include "RapoError.h"
#include "RunState.h"
#include "Session.h"
#include "ShortDateFormat.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
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
    eISIN->installEventFilter(this);
    // An ISIN is twelve characters; the field keeps that width in a wide window.
    eISIN->setMaximumWidth(eISIN->fontMetrics().horizontalAdvance(QString(16, u'W')));
    dbgDPATVP_SFVP = new DataGrid(this);
    dbgDPATVP_SFVP->setObjectName(QStringLiteral("dbgDPATVP_SFVP"));
    dbgDPATVP_SFVP->SortInfo = {InstrumentRegisterView::defaultSort()};
    dbgDPATVP_SFVP->OnZoom = [this] { dbgDPATVP_SFVPZoom(); };
    dbgDPATVP_SFVP->OnDrawColumnCell = [this](CellColors &colors, int column, const FieldDef &field,
                                              bool selected) {
        dbgDPATVP_SFVPDrawColumnCell(colors, column, field, selected);
    };
    dbgDPATVP_SFVP->OnCustomSort = [this](const SortDefinition &sort) {
        if (!view_)
            return;
        view_->setSort(sort);
        reopenList();
    };
    bNabor = new QPushButton(QStringLiteral("Nazaj na nabor"), this);
    bNabor->setObjectName(QStringLiteral("bNabor"));
    bNabor->setVisible(false);
    connect(bNabor, &QPushButton::clicked, this, &FinInstrTab::bNaborClick);
    lbIzbira = new QLabel(this);
    lbIzbira->setObjectName(QStringLiteral("lbIzbira"));
    lbIzbira->setWordWrap(true);
    lbIzbira->setFrameShape(QFrame::StyledPanel);
    lbIzbira->setMargin(6);
    lbIzbira->setVisible(false);

    chooseInstrument = [this](const InstrumentChoice::Offer &offer) -> std::optional<QString> {
        InstrumentChoiceDialog dialog(this);
        dialog.fill(offer);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.chosenText();
    };

    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("ISIN:"), this));
    top->addWidget(eISIN);
    top->addWidget(bNabor);
    top->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(lbIzbira);
    layout->addWidget(dbgDPATVP_SFVP, 1);
}

FinInstrTab::~FinInstrTab() {
    // The grid must not read the list while the page is taken down.
    dbgDPATVP_SFVP->setDataSet(nullptr);
}

void FinInstrTab::attach(Session &session, RunState &state) {
    session_ = &session;
    state_ = &state;
    view_ = std::make_unique<InstrumentRegisterView>(session);
    dbgDPATVP_SFVP->setDataSet(&view_->qDPATVP_SFVP);
}

bool FinInstrTab::eventFilter(QObject *watched, QEvent *event) {
    if (watched == eISIN && event->type() == QEvent::KeyRelease)
        eISINKeyUp();
    return MainTab::eventFilter(watched, event);
}

void FinInstrTab::reopenList() {
    if (!view_)
        return;
    try {
        view_->reopen(eISIN->text());
    } catch (const RapoError &e) {
        dbgDPATVP_SFVP->dataSetChanged();
        session_->prompter.error(e.message());
        return;
    }
    dbgDPATVP_SFVP->dataSetChanged();
}

void FinInstrTab::entered() {
    reopenList();
}

void FinInstrTab::eISINKeyUp() {
    reopenList();
}

void FinInstrTab::showAfterCollectionChoice() {
    if (view_) {
        view_->close();
        dbgDPATVP_SFVP->dataSetChanged();
    }
    reopenList();
    bNabor->setVisible(false);
    collectionWaits_ = true;
    refreshChoiceHint();
}

void FinInstrTab::refreshChoiceHint() {
    lbIzbira->setVisible(collectionWaits_ && session_);
    if (!collectionWaits_ || !session_)
        return;
    QStringList open;
    try {
        open = InstrumentRegisterView::openChoiceIsins(*session_);
    } catch (const RapoError &e) {
        session_->prompter.error(e.message());
    }
    const QString pages =
        QStringLiteral("Strani »Nabor«, »Import .xls«, »ATVP« in »Poročila« so do vrnitve skrite.");
    if (open.isEmpty())
        lbIzbira->setText(QStringLiteral("Vsi finančni instrumenti so izbrani. Z gumbom »Nazaj "
                                         "na nabor« se vrnete na nabor. ") +
                          pages);
    else
        lbIzbira->setText(
            QStringLiteral("Nabor čaka na izbiro poročanega finančnega instrumenta za ISIN: ") +
            open.join(QStringLiteral(", ")) +
            QStringLiteral(".\nDvakrat kliknite rdečo vrstico (ali pritisnite Enter) in izberite "
                           "instrument. Ko so vsi izbrani, se pokaže gumb »Nazaj na nabor«. ") +
            pages);
}

QDate FinInstrTab::periodEnd() const {
    if (periodEnd_)
        return periodEnd_();
    if (state_ && !state_->collectedPeriod.isEmpty())
        return ShortDateFormat::fromText(state_->collectedPeriod.section(u';', 1, 1));
    return session_ ? session_->clock.today() : QDate();
}

void FinInstrTab::dbgDPATVP_SFVPZoom() {
    if (!session_ || !view_ || !view_->qDPATVP_SFVP.active())
        return;
    Query &list = view_->qDPATVP_SFVP;
    if (const int row = dbgDPATVP_SFVP->currentRow(); row >= 0)
        list.moveTo(row);
    if (list.eof())
        return;
    const InstrumentChoice::ListedRow row = InstrumentChoice::ListedRow::current(list);
    try {
        const std::optional<QString> chosen =
            chooseInstrument(InstrumentChoice::offer(*session_, row));
        if (chosen) {
            try {
                InstrumentChoice::apply(*session_, row, *chosen, periodEnd());
                Q_EMIT statusMessage(QStringLiteral("Za ISIN ") + row.isin +
                                     QStringLiteral(" je izbran instrument ") + *chosen + u'.');
            } catch (const RapoError &e) {
                session_->prompter.error(e.message());
            }
            reopenList();
            QCoreApplication::processEvents();
        }
        refreshReturnButton();
    } catch (const RapoError &e) {
        session_->prompter.error(e.message());
    }
}

void FinInstrTab::refreshReturnButton() {
    bNabor->setVisible(InstrumentRegisterView::openChoices(*session_) == 0);
    refreshChoiceHint();
    if (view_->qDPATVP_SFVP.active()) {
        view_->qDPATVP_SFVP.first();
        dbgDPATVP_SFVP->setCurrentRow(0);
    }
}

void FinInstrTab::bNaborClick() {
    if (!session_)
        return;
    bNabor->setVisible(false);
    collectionWaits_ = false;
    refreshChoiceHint();
    Q_EMIT returnToCollection();
}

void FinInstrTab::dbgDPATVP_SFVPDrawColumnCell(CellColors &colors, int, const FieldDef &, bool) {
    InstrumentRegisterView::rowColors(view_->qDPATVP_SFVP, colors);
}
