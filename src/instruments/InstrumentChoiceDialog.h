#pragma once

#include "InstrumentChoice.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// "Finančni instrument": the choice of the host instrument reported for a register row.
class InstrumentChoiceDialog : public QDialog {
    Q_OBJECT
public:
    explicit InstrumentChoiceDialog(QWidget *parent = nullptr);

    // Shows the row's ISIN and the offered instruments, the reported one preselected.
    void fill(const InstrumentChoice::Offer &offer);
    // The list's text as the user left it.
    QString chosenText() const;

    QLineEdit *eISIN;
    QLabel *lInternaIdent;
    QLabel *lNovaInternaIdent;
    QComboBox *cbSFVP;
    QPushButton *OKBtn;
    QPushButton *CancelBtn;
};
