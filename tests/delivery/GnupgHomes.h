#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// Two throw-away GnuPG homes, as the key exchange with the regulator leaves them: the brokerage's
// holds its own secret key (protected by a pass phrase) and the regulator's public key; the
// regulator's holds its secret key and the brokerage's public key. While this lives, GNUPGHOME
// names the brokerage's home, so the program's GnuPG runs sign there.
class GnupgHomes {
public:
    static const QString brokerageUser;
    static const QString regulatorUser;

    explicit GnupgHomes(const QString &passPhrase);
    ~GnupgHomes();
    GnupgHomes(const GnupgHomes &) = delete;
    GnupgHomes &operator=(const GnupgHomes &) = delete;

    bool ready() const { return ready_; }
    QString brokerageHome() const { return brokerage_.path(); }
    QString regulatorHome() const { return regulator_.path(); }
    QString brokerageFingerprint;
    QString regulatorFingerprint;

    struct Run {
        int exitCode = -1;
        QByteArray out;
        QByteArray err;
    };
    static Run gpg(const QString &home, const QStringList &arguments, const QByteArray &input = {});

    // Opens a signed and encrypted message with the regulator's key: the text and GnuPG's status
    // lines ("[GNUPG:] VALIDSIG ...").
    struct Opened {
        bool decrypted = false;
        QByteArray text;
        QString status;
    };
    Opened openAsRegulator(const QString &path) const;

private:
    static QString generate(const QString &home, const QString &user, const QString &passPhrase);
    static void exchange(const QString &from, const QString &to, const QString &fingerprint);

    QTemporaryDir brokerage_;
    QTemporaryDir regulator_;
    QByteArray previousHome_;
    bool hadHome_ = false;
    bool ready_ = false;
};
