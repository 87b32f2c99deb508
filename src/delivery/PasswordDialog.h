#pragma once

#include <QDialog>

class Prompter;
class QCheckBox;
class QLineEdit;
class QPushButton;

// "Elektronski podpis": the OpenPGP user name and pass phrase under which GnuPG signs. "V redu"
// remembers them in RAPO.ini (section GnuPG) as the two check boxes say, the pass phrase
// hex-encoded; what it stores is proposed from the next start on.
class PasswordDialog : public QDialog {
    Q_OBJECT
public:
    PasswordDialog(const QString &programDirectory, Prompter &prompter, QWidget *parent = nullptr);

    // The remembered values as read at start-up; a box is checked when its value is not empty.
    void fill(const QString &user, const QString &passPhrase);

    QString user() const;
    QString passPhrase() const;

    QLineEdit *eKorisnik;
    QCheckBox *cbZapomniK;
    QLineEdit *ePassPhrase;
    QCheckBox *cbZapomniP;
    QPushButton *OKBtn;
    QPushButton *CancelBtn;

public Q_SLOTS:
    // Writes both keys, then closes the dialog with OK.
    void OKBtnClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QString programDirectory_;
    Prompter &prompter_;
};
