#pragma once

#include "MainTab.h"

class TypedEdit;
class QPushButton;
class QProgressBar;
class QPlainTextEdit;
class QTableView;
class QFrame;

// "Import .xls": trades held outside the host, read from workbooks.
class ImportXlsTab : public MainTab {
    Q_OBJECT
public:
    explicit ImportXlsTab(QWidget *parent = nullptr);

    // The upper panel grows to show the import errors when there are any.
    void entered() override;

    QFrame *Panel4;
    TypedEdit *pteImpDan;
    QPushButton *bbImpNabor;
    QPushButton *bbImpBrisi;
    QPushButton *bbImportXLS;
    QProgressBar *pbImportXLS;
    QFrame *Panel7;
    QPlainTextEdit *mImportXLSNapake;
    QTableView *dbgImport;
};
