#include "NaborTab.h"

#include "Clock.h"
#include "CollectionDeletion.h"
#include "CollectionRun.h"
#include "DataGrid.h"
#include "PeriodField.h"
#include "Prompter.h"
#include "RapoError.h"
#include "ReportGeneration.h"
#include "ReportRegeneration.h"
#include "RunState.h"
#include "Session.h"
#include "ShortDateFormat.h"
#include "TimeZone.h"
#include "TypedEdit.h"
#include "WorkingSet.h"
#include "WorkingSetCheck.h"

#include <QApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
// Busy cursor while a long action runs.
struct BusyCursor {
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
};

// "1 transakcija", "2 transakciji", "3 transakcije", "5 transakcij".
QString transactions(int count) {
    const int last = count % 100;
    const char *ending = last == 1 ? "a" : last == 2 ? "i" : (last == 3 || last == 4) ? "e" : "";
    return QString::number(count) + QStringLiteral(" transakcij") + QLatin1String(ending);
}

QString periodShown(const QDate &from, const QDate &to) {
    return ShortDateFormat::toText(from) + QStringLiteral(" – ") + ShortDateFormat::toText(to);
}
} // namespace

NaborTab::NaborTab(QWidget *parent) : MainTab(parent) {
    setObjectName(QStringLiteral("tsNabor"));
    dtpDan = PeriodField::create(QStringLiteral("dtpDan"), this);
    dtpDanDo = PeriodField::create(QStringLiteral("dtpDanDo"), this);

    bbNabor = new QPushButton(QStringLiteral("Nabor"), this);
    bbNabor->setObjectName(QStringLiteral("bbNabor"));
    BitBtn3 = new QPushButton(QStringLiteral("Brisanje nabora"), this);
    BitBtn3->setObjectName(QStringLiteral("BitBtn3"));
    BitBtn3->setToolTip(QStringLiteral("Brisanje nabranih neposlanih transakcij"));
    bbExportXLS = new QPushButton(QStringLiteral("Izvoz nabora"), this);
    bbExportXLS->setObjectName(QStringLiteral("bbExportXLS"));
    bbExportXLS->setToolTip(QStringLiteral("Export v Excel"));
    bbExportXLS->setEnabled(false);
    bbGenXML = new QPushButton(QStringLiteral("Generiranje XML poročila"), this);
    bbGenXML->setObjectName(QStringLiteral("bbGenXML"));
    bbGenXML->setToolTip(QStringLiteral("Generiranje in pošiljanje poročila"));
    bbGenXML->setEnabled(false);
    bbPreveriNabor = new QPushButton(QStringLiteral("Preveri nabor"), this);
    bbPreveriNabor->setObjectName(QStringLiteral("bbPreveriNabor"));
    bbPreveriNabor->setToolTip(
        QStringLiteral("Preveri vse transakcije nabora po pravilih poročila, brez generiranja"));
    bbPreveriNabor->setEnabled(false);
    bTZInfo = new QPushButton(QStringLiteral("Preveri časovni pas"), this);
    bTZInfo->setObjectName(QStringLiteral("bTZInfo"));
    // Nothing runs before the page is attached to the run.
    bbNabor->setEnabled(false);
    BitBtn3->setEnabled(false);

    dbgDPATVPPSL = new DataGrid(this);
    dbgDPATVPPSL->setObjectName(QStringLiteral("dbgDPATVPPSL"));
    dbgDPATVPPSL->setLabelText(QStringLiteral("Transakcije"));
    dbSifrantFinInstr = new DataGrid(this);
    dbSifrantFinInstr->setObjectName(QStringLiteral("dbSifrantFinInstr"));
    dbSifrantFinInstr->setLabelText(QStringLiteral("Šifrant finančnih instrumentov"));
    // The working-set grids show; their zoom does nothing.
    for (DataGrid *grid : {dbgDPATVPPSL, dbSifrantFinInstr})
        grid->OnZoom = [] {};
    dbgDPATVPPSL->OnDrawColumnCell = [this](CellColors &colors, int column, const FieldDef &field,
                                            bool selected) {
        dbgDPATVPPSLDrawColumnCell(colors, column, field, selected);
    };

    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Datum od"), this));
    top->addWidget(dtpDan);
    top->addWidget(new QLabel(QStringLiteral("Datum do"), this));
    top->addWidget(dtpDanDo);
    for (QPushButton *b : {bbNabor, BitBtn3, bbExportXLS, bbGenXML, bbPreveriNabor, bTZInfo})
        top->addWidget(b);
    top->addStretch();

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(dbgDPATVPPSL, 3);
    layout->addWidget(dbSifrantFinInstr, 2);

    for (TypedEdit *field : {dtpDan, dtpDanDo})
        PeriodField::whenLeft(field, [this] { Q_EMIT periodFieldLeft(); });
    connect(bbNabor, &QPushButton::clicked, this, &NaborTab::bbNaborClick);
    connect(BitBtn3, &QPushButton::clicked, this, &NaborTab::BitBtn3Click);
    connect(bbGenXML, &QPushButton::clicked, this, &NaborTab::bbGenXMLClick);
    connect(bbPreveriNabor, &QPushButton::clicked, this, &NaborTab::bbPreveriNaborClick);
    connect(bTZInfo, &QPushButton::clicked, this, &NaborTab::bTZInfoClick);
    connect(bbExportXLS, &QPushButton::clicked, this, &NaborTab::exportRequested);
}

NaborTab::~NaborTab() = default;

void NaborTab::attach(Session &session, RunState &state) {
    session_ = &session;
    state_ = &state;
    workingSet_ = std::make_unique<WorkingSet>(session);
    dbgDPATVPPSL->setDataSet(&workingSet_->qDPATVPPSL);
    dbSifrantFinInstr->setDataSet(&workingSet_->qSifrantFinInstr);
    bbNabor->setEnabled(true);
    BitBtn3->setEnabled(true);
    bbExportXLS->setEnabled(true);
}

QDate NaborTab::from() const {
    return dtpDan->date();
}

QDate NaborTab::to() const {
    return dtpDanDo->date();
}

QString NaborTab::periodText() const {
    return CollectionRun::periodText(from(), to());
}

void NaborTab::setGenerationAllowed(bool allowed) {
    generationAllowed_ = allowed;
    bbGenXML->setEnabled(allowed);
}

void NaborTab::closeWorkingSet() {
    setGenerationAllowed(false);
    if (workingSet_)
        workingSet_->close();
    dbgDPATVPPSL->dataSetChanged();
    dbSifrantFinInstr->dataSetChanged();
    bbPreveriNabor->setEnabled(false);
}

void NaborTab::showWorkingSet() {
    dbgDPATVPPSL->dataSetChanged();
    dbSifrantFinInstr->dataSetChanged();
    bbPreveriNabor->setEnabled(workingSet_ && workingSet_->qDPATVPPSL.active());
}

void NaborTab::bbNaborClick() {
    if (!session_)
        return;
    // A reversed period is refused before the pending collection is touched.
    if (const QString refused = CollectionRun::periodRefusal(from(), to()); !refused.isEmpty()) {
        session_->prompter.error(refused);
        return;
    }
    try {
        const BusyCursor busy;
        closeWorkingSet();
        const CollectionRun::Result result =
            CollectionRun::run(*session_, *workingSet_, *state_, from(), to());
        showWorkingSet();
        if (result.ending == CollectionRun::Ending::ChoiceNeeded) {
            Q_EMIT statusMessage(QStringLiteral("Nabor ") + periodShown(from(), to()) +
                                 QStringLiteral(" čaka na izbiro finančnih instrumentov."));
            Q_EMIT instrumentChoiceNeeded();
            return;
        }
        setGenerationAllowed(result.generationEnabled);
        reportLoaded(result.rows);
    } catch (const RapoError &e) {
        setGenerationAllowed(false);
        showWorkingSet();
        Q_EMIT statusMessage(QStringLiteral("Nabor ni uspel."));
        session_->prompter.error(e.message());
    }
}

void NaborTab::reportLoaded(int rows) {
    const QString period = periodShown(from(), to());
    if (rows == 0) {
        Q_EMIT statusMessage(QStringLiteral("Nabor ") + period +
                             QStringLiteral(": ni transakcij za poročanje."));
        session_->prompter.information(QStringLiteral("V obdobju ") + period +
                                       QStringLiteral(" ni transakcij za poročanje."));
        return;
    }
    Q_EMIT statusMessage(QStringLiteral("Nabor ") + period + QStringLiteral(": ") +
                         transactions(rows) + u'.');
}

void NaborTab::loadAfterInstrumentChoice() {
    if (!session_)
        return;
    try {
        const BusyCursor busy;
        // During a regeneration the working set is that of the regenerated collection.
        const CollectionRun::Result result = CollectionRun::loadWorkingSet(
            *session_, *workingSet_, *state_, from(), to(), state_->regeneration.active);
        setGenerationAllowed(result.generationEnabled);
        showWorkingSet();
        reportLoaded(result.rows);
    } catch (const RapoError &e) {
        setGenerationAllowed(false);
        session_->prompter.error(e.message());
    }
    showWorkingSet();
}

void NaborTab::bbGenXMLClick() {
    if (!session_)
        return;
    try {
        const BusyCursor busy;
        const ReportGeneration::Result result =
            ReportGeneration::generate(*session_, workingSet_->qDPATVPPSL,
                                       workingSet_->qSifrantFinInstr, *state_, from(), to());
        // A registered working set is not registered again; an invalid one may be corrected.
        if (result.valid)
            setGenerationAllowed(false);
        const QString file = QFileInfo(result.path).fileName();
        Q_EMIT statusMessage(result.valid
                                 ? QStringLiteral("Poročilo ") + file +
                                       QStringLiteral(" je zapisano in skladno s shemo.")
                                 : QStringLiteral("Poročilo ") + file +
                                       QStringLiteral(" ni skladno s shemo in ni vpisano v "
                                                      "register; napaka je na strani »ATVP«."));
        Q_EMIT reportGenerated(result.path, result.errorLine);
    } catch (const WorkingSetCheck::Failed &e) {
        Q_EMIT statusMessage(QStringLiteral("Poročilo ni generirano: nabor ima napake."));
        session_->prompter.failureList(
            QStringLiteral("Poročilo ni generirano. Popravite podatke in ponovite nabor."),
            WorkingSetCheck::columnTitles(), WorkingSetCheck::table(e.failures()));
    } catch (const RapoError &e) {
        session_->prompter.error(e.message());
    }
}

void NaborTab::bbPreveriNaborClick() {
    if (!session_ || !workingSet_->qDPATVPPSL.active())
        return;
    try {
        const BusyCursor busy;
        const auto failures =
            WorkingSetCheck(*session_, workingSet_->qDPATVPPSL, workingSet_->qSifrantFinInstr,
                            state_->collectionId, from(), to())
                .run();
        showWorkingSet();
        if (failures.empty())
            session_->prompter.information(
                QStringLiteral("Nabor je pravilen: vse transakcije ustrezajo pravilom poročila."));
        else
            session_->prompter.failureList(
                QStringLiteral("Preverjanje nabora: napake, ki jih je treba popraviti pred "
                               "generiranjem"),
                WorkingSetCheck::columnTitles(), WorkingSetCheck::table(failures));
    } catch (const RapoError &e) {
        session_->prompter.error(e.message());
    }
}

void NaborTab::regenerate(const ReportRegister::Row &report) {
    if (!session_)
        return;
    try {
        const BusyCursor busy;
        closeWorkingSet();
        const ReportRegeneration::Result result =
            ReportRegeneration::start(*session_, *workingSet_, *state_, report);
        // The whole period, so that the regenerated report keeps its first day.
        dtpDan->setDate(result.from);
        dtpDanDo->setDate(result.to);
        showWorkingSet();
        if (result.ending == CollectionRun::Ending::ChoiceNeeded) {
            Q_EMIT regenerationChoiceNeeded();
            return;
        }
        setGenerationAllowed(result.generationEnabled);
        reportLoaded(result.rows);
        Q_EMIT regenerationLoaded();
    } catch (const RapoError &e) {
        setGenerationAllowed(false);
        showWorkingSet();
        session_->prompter.error(e.message());
    }
}

void NaborTab::bTZInfoClick() {
    if (!session_)
        return;
    const Configuration &c = session_->configuration;
    const auto offset = [&](const QDateTime &moment) {
        return TimeZone::venueOffset(QStringLiteral("+01"), c.sfTrgaPorocevalca, moment,
                                     c.fiksniTimeZoneTrgi);
    };
    try {
        const QDateTime now = session_->clock.now();
        // The rows of the collection carry the offset of their own day, which may differ.
        const QDateTime lastDay(to(), QTime(12, 0));
        session_->prompter.information(
            QStringLiteral("Časovni pas : ") + offset(now) +
            QStringLiteral("\n\nTo je časovni pas trga poročevalca (") + c.sfTrgaPorocevalca +
            QStringLiteral(") zdaj, ") + now.toString(QStringLiteral("dd.MM.yyyy hh:mm")) +
            QStringLiteral(".\nNa zadnji dan obdobja, ") + ShortDateFormat::toText(to()) +
            QStringLiteral(", je ") + offset(lastDay) +
            QStringLiteral(". Vrstice nabora kažejo časovni pas trga svojega dne."));
    } catch (const RapoError &e) {
        session_->prompter.error(e.message());
    }
}

void NaborTab::BitBtn3Click() {
    if (!session_)
        return;
    try {
        if (!CollectionDeletion::deletePeriodAsked(*session_, from(), to()))
            return;
        Q_EMIT statusMessage(QStringLiteral("Nabrane neposlane transakcije so zbrisane."));
    } catch (const RapoError &e) {
        session_->prompter.error(e.message());
    }
    closeWorkingSet();
}

void NaborTab::dbgDPATVPPSLDrawColumnCell(CellColors &colors, int, const FieldDef &, bool) {
    const Query &q = workingSet_->qDPATVPPSL;
    if (q.asString(QStringLiteral("ISSTN")) == QLatin1String("D"))
        colors.font = q.asDateTime(QStringLiteral("Dan")).date() == from() ? QColor(Qt::red)
                                                                           : QColor(Qt::gray);
    // A trade crossed with the firm's own-account trade, which generation leaves out.
    if (q.asInteger(QStringLiteral("IDPSLTRP")) != 0 &&
        q.asString(QStringLiteral("SfDjv")) != QLatin1String("L") &&
        q.asString(QStringLiteral("NS_SFDJV")) == QLatin1String("L"))
        colors.brush = QColor(Qt::yellow);
}
