#pragma once

#include "MainTab.h"

#include <memory>

class DataGrid;
class ImportView;
class QFrame;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class Session;
class TypedEdit;

// "Import .xls": trades held outside the host, read from workbooks for one day, listed, and
// deleted while no report holds them.
class ImportXlsTab : public MainTab {
    Q_OBJECT
public:
    explicit ImportXlsTab(QWidget *parent = nullptr);
    ~ImportXlsTab() override;

    // Connects the page to the run; its buttons work from then on.
    void attach(Session &session);
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
    DataGrid *dbgImport;

public Q_SLOTS:
    void bbImpNaborClick();
    void bbImpBrisiClick();
    void bbImportXLSClick();
    void pteImpDanExit();

private:
    void showProgress(bool shown);

    QLabel *progressLabel_;
    Session *session_ = nullptr;
    std::unique_ptr<ImportView> view_;
};
