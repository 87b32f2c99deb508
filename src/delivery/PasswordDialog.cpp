#include "PasswordDialog.h"

#include "IniFile.h"
#include "PassPhraseCoding.h"
#include "PassPhraseFile.h"
#include "Prompter.h"
#include "Windows1250.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {
// The pass phrase shows every character as "*", whatever the platform's style would show.
class AsteriskStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override {
        if (hint == SH_LineEdit_PasswordCharacter)
            return u'*';
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

const QString gnupg = QStringLiteral("GnuPG");

// RAPO.ini holds Windows-1250 text only; a character outside it would come back as "?".
bool fitsTheFile(const QString &text) {
    return Windows1250::decode(Windows1250::encode(text)) == text;
}
} // namespace

PasswordDialog::PasswordDialog(const QString &programDirectory, Prompter &prompter, QWidget *parent)
    : QDialog(parent), programDirectory_(programDirectory), prompter_(prompter) {
    setObjectName(QStringLiteral("fPasswordDlg"));
    setWindowTitle(QStringLiteral("Elektronski podpis"));

    eKorisnik = new QLineEdit(this);
    eKorisnik->setObjectName(QStringLiteral("eKorisnik"));
    cbZapomniK = new QCheckBox(QStringLiteral("Zapomni uporabnika"), this);
    cbZapomniK->setObjectName(QStringLiteral("cbZapomniK"));
    ePassPhrase = new QLineEdit(this);
    ePassPhrase->setObjectName(QStringLiteral("ePassPhrase"));
    ePassPhrase->setEchoMode(QLineEdit::Password);
    auto *asterisk = new AsteriskStyle;
    asterisk->setParent(ePassPhrase);
    ePassPhrase->setStyle(asterisk);
    cbZapomniP = new QCheckBox(QStringLiteral("Zapomni geslo"), this);
    cbZapomniP->setObjectName(QStringLiteral("cbZapomniP"));
    OKBtn = new QPushButton(QStringLiteral("V redu"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Prekliči"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));

    auto *userLabel = new QLabel(QStringLiteral("Uporabnik:"), this);
    userLabel->setBuddy(eKorisnik);
    auto *passLabel = new QLabel(QStringLiteral("Geslo:"), this);
    passLabel->setBuddy(ePassPhrase);

    auto *fields = new QGridLayout;
    fields->addWidget(userLabel, 0, 0);
    fields->addWidget(eKorisnik, 0, 1);
    fields->addWidget(cbZapomniK, 1, 1);
    fields->addWidget(passLabel, 2, 0);
    fields->addWidget(ePassPhrase, 2, 1);
    fields->addWidget(cbZapomniP, 3, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(eKorisnik, ePassPhrase);
    setTabOrder(ePassPhrase, cbZapomniK);
    setTabOrder(cbZapomniK, cbZapomniP);
    setTabOrder(cbZapomniP, OKBtn);
    setTabOrder(OKBtn, CancelBtn);
    eKorisnik->setFocus();

    connect(OKBtn, &QPushButton::clicked, this, &PasswordDialog::OKBtnClick);
    // QDialog answers the Escape key with reject(), as "Prekliči" does.
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void PasswordDialog::fill(const QString &user, const QString &passPhrase) {
    eKorisnik->setText(user);
    cbZapomniK->setChecked(!user.isEmpty());
    if (!passPhrase.isEmpty())
        ePassPhrase->setText(passPhrase);
    cbZapomniP->setChecked(!passPhrase.isEmpty());
}

QString PasswordDialog::user() const {
    return eKorisnik->text();
}

QString PasswordDialog::passPhrase() const {
    return ePassPhrase->text();
}

void PasswordDialog::OKBtnClick() {
    QString storedPassPhrase;
    if (cbZapomniP->isChecked()) {
        if (fitsTheFile(passPhrase()))
            storedPassPhrase = PassPhraseCoding::encode(passPhrase());
        else
            prompter_.warning(QStringLiteral("Geslo vsebuje znake, ki jih v RAPO.ini ni mogoče "
                                             "zapisati, zato ga ne shranim."));
    }
    QString storedUser;
    if (cbZapomniK->isChecked()) {
        if (fitsTheFile(user()))
            storedUser = user();
        else
            prompter_.warning(QStringLiteral("Uporabnik vsebuje znake, ki jih v RAPO.ini ni "
                                             "mogoče zapisati, zato ga ne shranim."));
    }

    IniFile ini(programDirectory_ + QStringLiteral("RAPO.ini"));
    ini.writeString(gnupg, QStringLiteral("PassPhrase"), storedPassPhrase);
    ini.writeString(gnupg, QStringLiteral("User"), storedUser);
    QString error;
    if (!ini.save(&error))
        prompter_.warning(QStringLiteral("Nastavitev v ") + ini.path() +
                          QStringLiteral(" ni mogoče zapisati!\r") + error);
    else if (!storedPassPhrase.isEmpty() && !PassPhraseFile::ownerOnly(ini.path()))
        prompter_.warning(
            QStringLiteral("Geslo je shranjeno v ") + ini.path() +
            QStringLiteral(", ki jo lahko berejo tudi drugi uporabniki. Dovolite "
                           "branje le lastniku (chmod 600) ali gesla ne shranjujte."));
    accept();
}

void PasswordDialog::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    const QScreen *screen = this->screen();
    if (screen) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}
