#pragma once

#include "MainTab.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

// "ATVP": the report files not yet sent, the files signed and sent, and the signing.
class AtvpTab : public MainTab {
    Q_OBJECT
public:
    explicit AtvpTab(QWidget *parent = nullptr);

    // The first error of a report file that failed its validation, or nothing (hidden).
    void showValidationError(const QString &path, const QString &errorLine);
    void hideValidationError();

    QListWidget *lbNeposlana;
    QPushButton *bbNeposlano;
    QListWidget *clbPoslana;
    QPushButton *bbPodpisana;
    QPushButton *bSign;
    QLabel *Label1;
    QLineEdit *eXMLFile;
    QPlainTextEdit *mXMLNapake;
};
