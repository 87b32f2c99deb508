#pragma once

#include "MainTab.h"

#include <QStringList>
#include <memory>

class ProcessRunner;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class ReportSigning;
class Session;

// "ATVP": the report files not yet sent, the files signed and sent, and the signing.
class AtvpTab : public MainTab {
    Q_OBJECT
public:
    explicit AtvpTab(QWidget *parent = nullptr);
    ~AtvpTab() override;

    // Connects the page to the run; the page is inactive until then. GnuPG runs through
    // `runner`, or through QProcess with the session's waiter and clock when none is given.
    void attach(Session &session, ProcessRunner *runner = nullptr);

    // The user switched to the page: the signed list with its marks, then the unsent list.
    void entered() override;

    // The first error of a report file that failed its validation, or nothing (hidden).
    void showValidationError(const QString &path, const QString &errorLine);
    void hideValidationError();

    // The entries of a list, in order, as shown.
    static QStringList entries(const QListWidget *list);
    // The file names of the unsent list's entries, in order.
    static QStringList fileNames(const QListWidget *list);

    QListWidget *lbNeposlana;
    QPushButton *bbNeposlano;
    QListWidget *clbPoslana;
    QPushButton *bbPodpisana;
    QPushButton *bSign;
    QLabel *Label1;
    QLineEdit *eXMLFile;
    QPlainTextEdit *mXMLNapake;

public Q_SLOTS:
    void bbNeposlanoClick();
    void bbPodpisanaClick();
    void bSignClick();

Q_SIGNALS:
    // Around a signing run, which lets the window process events while GnuPG works: nothing
    // else may change the reports meanwhile.
    void signingStarted();
    void signingFinished();

protected:
    // Shown, also when another page brings it to the front: the unsent list.
    void showEvent(QShowEvent *event) override;

private:
    void loadUnsent();
    // Reloads the signed list, then sets its marks from the register.
    void loadSigned();

    Session *session_ = nullptr;
    std::unique_ptr<ProcessRunner> ownRunner_;
    std::unique_ptr<ReportSigning> signing_;
    bool signingRun_ = false;
};
