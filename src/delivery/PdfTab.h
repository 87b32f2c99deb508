#pragma once

#include "MainTab.h"

#include <QStringList>
#include <memory>

class FolderView;
class PdfSigning;
class ProcessRunner;
class QListWidget;
class QPushButton;
class QTabWidget;
class Session;

// "PDF": the PDF reports waiting in the PDF folder, their signing, and the views of the delivered
// PDFs and their signed files.
class PdfTab : public MainTab {
    Q_OBJECT
public:
    explicit PdfTab(QWidget *parent = nullptr);
    ~PdfTab() override;

    // Connects the page to the run; the page is inactive until then. GnuPG runs through
    // `runner`, or through QProcess with the session's waiter and clock when none is given.
    void attach(Session &session, ProcessRunner *runner = nullptr);

    // The user switched to the page: the waiting PDFs and both views are read again.
    void entered() override;

    QListWidget *lbPDFPDF;
    QPushButton *bPDFRefreshPDF;
    QPushButton *bSignPDG;
    QTabWidget *viewTabs;
    FolderView *slvPDF;
    FolderView *slvSIG;
    QPushButton *bPDFRefreshSIG;

public Q_SLOTS:
    void bPDFRefreshPDFClick();
    void bPDFRefreshSIGClick();
    void bSignPDGClick();

private:
    Session *session_ = nullptr;
    std::unique_ptr<ProcessRunner> ownRunner_;
    std::unique_ptr<PdfSigning> signing_;
};
