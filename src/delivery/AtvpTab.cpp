#include "AtvpTab.h"

#include "PasswordDialog.h"
#include "Prompter.h"
#include "QProcessRunner.h"
#include "RapoError.h"
#include "ReportFileLists.h"
#include "ReportSigning.h"
#include "Session.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>

#include <algorithm>

namespace {
void fill(QListWidget *list, const QStringList &names) {
    list->clear();
    list->addItems(names);
}
} // namespace

AtvpTab::AtvpTab(QWidget *parent) : MainTab(parent) {
    setObjectName(QStringLiteral("tsATVP"));
    lbNeposlana = new QListWidget(this);
    lbNeposlana->setObjectName(QStringLiteral("lbNeposlana"));
    lbNeposlana->setSelectionMode(QAbstractItemView::SingleSelection);
    bbNeposlano = new QPushButton(QStringLiteral("Osveži"), this);
    bbNeposlano->setObjectName(QStringLiteral("bbNeposlano"));
    bbNeposlano->setToolTip(QStringLiteral("Osveži"));
    clbPoslana = new QListWidget(this);
    clbPoslana->setObjectName(QStringLiteral("clbPoslana"));
    bbPodpisana = new QPushButton(QStringLiteral("Osveži"), this);
    bbPodpisana->setObjectName(QStringLiteral("bbPodpisana"));
    bbPodpisana->setToolTip(QStringLiteral("Osveži"));
    bSign = new QPushButton(QStringLiteral("Podpis in kriptiranje poročila"), this);
    bSign->setObjectName(QStringLiteral("bSign"));
    bSign->setToolTip(QStringLiteral("Podpis"));
    // Nothing runs before the page is attached to the run.
    for (QPushButton *b : {bbNeposlano, bbPodpisana, bSign})
        b->setEnabled(false);

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
    layout->addWidget(bbNeposlano, 0, 1, Qt::AlignRight);
    layout->addWidget(new QLabel(QStringLiteral("Podpisana in poslana poročila"), this), 0, 2);
    layout->addWidget(bbPodpisana, 0, 3, Qt::AlignRight);
    layout->addWidget(lbNeposlana, 1, 0, 1, 2);
    layout->addWidget(clbPoslana, 1, 2, 1, 2);
    layout->addWidget(bSign, 2, 0, 1, 2);
    layout->addWidget(Label1, 3, 0);
    layout->addWidget(eXMLFile, 3, 1, 1, 3);
    layout->addWidget(mXMLNapake, 4, 0, 1, 4);
    layout->setRowStretch(1, 3);

    connect(bbNeposlano, &QPushButton::clicked, this, &AtvpTab::bbNeposlanoClick);
    connect(bbPodpisana, &QPushButton::clicked, this, &AtvpTab::bbPodpisanaClick);
    connect(bSign, &QPushButton::clicked, this, &AtvpTab::bSignClick);
}

AtvpTab::~AtvpTab() = default;

void AtvpTab::attach(Session &session, ProcessRunner *runner) {
    session_ = &session;
    if (!runner) {
        ownRunner_ = std::make_unique<QProcessRunner>(session.waiter, session.clock);
        runner = ownRunner_.get();
    }
    signing_ = std::make_unique<ReportSigning>(session, *runner);
    for (QPushButton *b : {bbNeposlano, bbPodpisana, bSign})
        b->setEnabled(true);
}

void AtvpTab::showValidationError(const QString &path, const QString &errorLine) {
    mXMLNapake->clear();
    mXMLNapake->appendPlainText(errorLine);
    eXMLFile->setText(path);
    for (QWidget *w : std::initializer_list<QWidget *>{Label1, eXMLFile, mXMLNapake})
        w->setVisible(true);
    // The error area takes room only while it is shown.
    static_cast<QGridLayout *>(layout())->setRowStretch(4, 1);
}

void AtvpTab::hideValidationError() {
    for (QWidget *w : std::initializer_list<QWidget *>{Label1, eXMLFile, mXMLNapake})
        w->setVisible(false);
    static_cast<QGridLayout *>(layout())->setRowStretch(4, 0);
}

QStringList AtvpTab::fileNames(const QListWidget *list) {
    QStringList names;
    for (int i = 0; i < list->count(); ++i)
        names << list->item(i)->data(Qt::UserRole).toString();
    return names;
}

QStringList AtvpTab::entries(const QListWidget *list) {
    QStringList names;
    for (int i = 0; i < list->count(); ++i)
        names << list->item(i)->text();
    return names;
}

void AtvpTab::entered() {
    if (!session_)
        return;
    loadSigned();
    loadUnsent();
}

void AtvpTab::showEvent(QShowEvent *event) {
    MainTab::showEvent(event);
    if (session_ && !event->spontaneous())
        loadUnsent();
}

void AtvpTab::bbNeposlanoClick() {
    if (session_)
        loadUnsent();
}

void AtvpTab::bbPodpisanaClick() {
    if (session_)
        loadSigned();
}

void AtvpTab::loadUnsent() {
    QStringList names = ReportFileLists::unsent(*session_);
    QStringList undelivered;
    QStringList notes;
    try {
        undelivered = ReportFileLists::undelivered(*session_);
        // A report whose file went but whose signed file did not is listed by its report file.
        for (const QString &file : undelivered)
            if (!names.contains(file, Qt::CaseInsensitive))
                names << file;
    } catch (const RapoError &e) {
        session_->prompter.error(e.message());
    }
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    try {
        notes = ReportFileLists::registerNotes(*session_, names);
    } catch (const RapoError &e) {
        session_->prompter.error(e.message());
    }
    lbNeposlana->clear();
    // Each entry keeps its file name; beside it what the register says of the report.
    for (qsizetype i = 0; i < names.size(); ++i) {
        QString note = notes.value(i);
        // A report marked sent but not delivered (its note says when it was sent).
        if (undelivered.contains(names[i], Qt::CaseInsensitive))
            note += note.isEmpty() ? QStringLiteral("poslano, ni dostavljeno")
                                   : QStringLiteral(", ni dostavljeno");
        auto *item = new QListWidgetItem(
            note.isEmpty() ? names[i] : names[i] + QStringLiteral("  \u2014 ") + note, lbNeposlana);
        item->setData(Qt::UserRole, names[i]);
    }
}

void AtvpTab::loadSigned() {
    fill(clbPoslana, ReportFileLists::signedFiles(*session_));
    // The marks show what the register says; nobody may change them here.
    for (int i = 0; i < clbPoslana->count(); ++i) {
        QListWidgetItem *item = clbPoslana->item(i);
        item->setFlags(item->flags() & ~(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable));
        item->setCheckState(Qt::Unchecked);
    }
    try {
        const QList<bool> marks = ReportFileLists::sentMarks(*session_, entries(clbPoslana));
        for (int i = 0; i < clbPoslana->count(); ++i)
            if (marks.value(i))
                clbPoslana->item(i)->setCheckState(Qt::Checked);
    } catch (const RapoError &e) {
        session_->prompter.error(e.message());
    }
    QCoreApplication::processEvents();
}

void AtvpTab::bSignClick() {
    // One signing run at a time: a second one would sign and register the same files.
    if (!session_ || signingRun_)
        return;
    signingRun_ = true;
    bSign->setEnabled(false);

    std::optional<ReportSigning::Credentials> credentials;
    {
        PasswordDialog dialog(session_->programDirectory, session_->prompter, this);
        dialog.fill(session_->configuration.gnupgUser, session_->configuration.passPhrase);
        if (dialog.exec() == QDialog::Accepted)
            credentials = ReportSigning::Credentials{dialog.user(), dialog.passPhrase()};
    }
    QStringList selected;
    for (int i = 0; i < lbNeposlana->count(); ++i)
        if (lbNeposlana->item(i)->isSelected())
            selected << lbNeposlana->item(i)->data(Qt::UserRole).toString();
    Q_EMIT signingStarted();
    try {
        const QStringList delivered = signing_->signAndDeliver(credentials, selected);
        loadUnsent();
        loadSigned();
        if (!delivered.isEmpty())
            Q_EMIT statusMessage(QStringLiteral("Podpisano, kriptirano in poslano: ") +
                                 delivered.join(QStringLiteral(", ")) + u'.');
        else if (credentials)
            Q_EMIT statusMessage(QStringLiteral("Podpisovanje je končano."));
    } catch (const RapoError &e) {
        session_->prompter.error(e.message());
    }
    Q_EMIT signingFinished();

    bSign->setEnabled(true);
    signingRun_ = false;
}
