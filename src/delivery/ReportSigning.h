#pragma once

#include "GnupgCommand.h"

#include <QString>
#include <QStringList>
#include <optional>

class ProcessRunner;
class Session;

// "Podpis in kriptiranje poročila": each chosen file is signed with the brokerage's key and
// encrypted to the regulator's by GnuPG. A report file is then marked sent in the register and
// delivered with its signed file to the delivery folders; an EMIR file only gets signed.
//
// A report is marked sent only when GnuPG ended well within its time and the signed file exists;
// a source is deleted only once its copy is complete.
class ReportSigning {
public:
    struct Credentials {
        QString user;
        QString passPhrase;
    };

    // The object lives as long as the page: the adjusted GnuPG folder and delivery folders stay.
    ReportSigning(Session &session, ProcessRunner &runner);

    // After the signing dialog (nothing when it was cancelled): checks the user name and the pass
    // phrase and signs the files in order. Throws when a report cannot be marked sent; the files
    // after it are then not signed.
    void signAndDeliver(const std::optional<Credentials> &credentials, const QStringList &files);

    // Signs one file of the program directory; with `deliver`, registers and delivers it. Every
    // outcome but a register failure (thrown) is told to the user.
    void signAndSend(const QString &fileName, const QString &user, const QString &passPhrase,
                     const QString &recipient, bool deliver);

    // False for EMIR files: their names begin with "EMIR" in any letter case.
    static bool deliveryFlag(const QString &fileName);

    const GnupgCommand &gnupg() const { return gnupg_; }
    // The delivery folders, with their separators; empty when there is no delivery.
    const QString &reportFolder() const { return xmlPathServer_; }
    const QString &signedFolder() const { return sigPathServer_; }

private:
    bool sign(const QString &program, const QString &input, const QString &output,
              const QString &user, const QString &passPhrase, const QString &recipient);
    void registerSent(const QString &fileName);
    void deliverReport(const QString &fileName, const QString &input);
    void deliverSigned(const QString &fileName, const QString &output);
    // Removes a file that has been delivered; a file that stays would be signed and sent again.
    void removeDelivered(const QString &path);

    Session &session_;
    ProcessRunner &runner_;
    GnupgCommand gnupg_;
    QString xmlPathServer_;
    QString sigPathServer_;
};
