#pragma once

#include "MainTab.h"

class QFileSystemModel;
class QListWidget;
class QPushButton;
class QTabWidget;
class QTreeView;

// "PDF": PDF reports to be signed and the views of the signed ones.
class PdfTab : public MainTab {
    Q_OBJECT
public:
    explicit PdfTab(QWidget *parent = nullptr);

    // The roots of the two file views, from the configuration.
    void setViewRoots(const QString &pdfServer, const QString &sigServer);

    QListWidget *lbPDFPDF;
    QPushButton *bPDFRefreshPDF;
    QPushButton *bSignPDG;
    QTabWidget *viewTabs;
    QTreeView *slvPDF;
    QTreeView *slvSIG;
    QPushButton *bPDFRefreshSIG;

private:
    QFileSystemModel *pdfModel_;
    QFileSystemModel *sigModel_;
};
