#pragma once

#include "GnupgSigner.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <optional>
#include <vector>

class ProcessRunner;
class Session;

// "Podpis in kriptiranje poročila": each chosen file is signed with the brokerage's key and
// encrypted to the regulator's by GnuPG. A report file is then marked sent in the register and
// delivered with its signed file to the delivery folders; an EMIR file only gets signed.
//
// A report is marked sent only when GnuPG ended well within its time and the signed file exists;
// a source is deleted only once its copy is complete.
//
// A report counts as sent only once its files reached the delivery folders: it is marked, then
// delivered, and the mark is taken back when a copy fails. A stop in between leaves a report
// marked sent whose files are still in the program directory; the next signing delivers it.
// A report already sent is signed again only when the user confirms (never without a window),
// and keeps its first sending time.
class ReportSigning {
public:
    using Credentials = GnupgSigner::Credentials;
    // Whether a report already sent may be signed and delivered again after a question.
    enum class Resigning { Ask, Never };

    // The object lives as long as the page: the adjusted GnuPG folder and delivery folders stay.
    ReportSigning(Session &session, ProcessRunner &runner, Resigning resigning = Resigning::Ask);

    // After the signing dialog (nothing when it was cancelled): checks the user name and the pass
    // phrase, delivers the reports left undelivered and signs the files in order. Gives the
    // reports delivered. Throws when a report cannot be marked sent; the files after it are then
    // not signed.
    QStringList signAndDeliver(const std::optional<Credentials> &credentials,
                               const QStringList &files);

    // Signs one file of the program directory; with `deliver`, registers and delivers it. Every
    // outcome but a register failure (thrown) is told to the user. True when signed and, with
    // `deliver`, delivered.
    bool signAndSend(const QString &fileName, const QString &user, const QString &passPhrase,
                     const QString &recipient, bool deliver);

    // False for EMIR files: their names begin with "EMIR" in any letter case.
    static bool deliveryFlag(const QString &fileName);

    const GnupgCommand &gnupg() const { return signer_.command(); }
    // The delivery folders, with their separators; empty when there is no delivery.
    const QString &reportFolder() const { return xmlPathServer_; }
    const QString &signedFolder() const { return sigPathServer_; }

private:
    struct Mark {
        QVariantList key; // DPATVPID, ZAPST
        QDateTime sent;
    };
    // Whether the file may be signed: asks for a file the register does not know and for a
    // report already sent. `unsent` counts its rows not yet sent.
    bool maySign(const QString &fileName, int &unsent);
    std::vector<Mark> registerSent(const QString &fileName);
    // Takes the marks back; false when that failed too (told to the user).
    bool unmark(const QString &fileName, const std::vector<Mark> &marks);
    // Copies the report, then the signed file, to their folders and removes the local copies;
    // a failure is told with `tail` and leaves both files in the program directory.
    bool deliver(const QString &fileName, const QString &tail);
    // Removes a file that has been delivered; a file that stays would be signed and sent again.
    void removeDelivered(const QString &path);

    Session &session_;
    Resigning resigning_;
    GnupgSigner signer_;
    QString xmlPathServer_;
    QString sigPathServer_;
};
