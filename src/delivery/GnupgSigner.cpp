#include "GnupgSigner.h"

#include "ProcessRunner.h"
#include "Prompter.h"
#include "Session.h"

#include <QFile>
#include <QFileInfo>

namespace {
const QString signingFailed = QStringLiteral("Napaka pri podpisovanju poročila!");

// What the clerk needs to tell a wrong pass phrase from an unknown key.
QString whatGnupgSaid(const ProcessResult &result) {
    QStringList parts;
    switch (result.ending) {
    case ProcessResult::Ending::NotStarted:
    case ProcessResult::Ending::Crashed:
        parts << result.errorText;
        break;
    case ProcessResult::Ending::TimedOut:
        parts << QStringLiteral("GnuPG se ni končal v %1 ms.").arg(GnupgCommand::timeoutMs);
        break;
    case ProcessResult::Ending::Finished:
        break;
    }
    parts << result.output;
    parts.removeAll(QString());
    return parts.isEmpty() ? QString() : u'\r' + parts.join(u'\r');
}
} // namespace

GnupgSigner::GnupgSigner(Session &session, ProcessRunner &runner)
    : session_(session), runner_(runner),
      command_(session.configuration.gnupgPath, session.programDirectory) {}

QString GnupgSigner::program() const {
    const QString program = command_.executable();
    if (program.isEmpty())
        session_.prompter.error(
            QStringLiteral("Nastavitve za GnuPG niso Ok, preverite RAPO.ini!!"));
    return program;
}

bool GnupgSigner::complete(const Credentials &credentials, Prompter &prompter) {
    if (credentials.user.isEmpty())
        prompter.warning(QStringLiteral("Manjka Uporabnik!"));
    if (credentials.passPhrase.isEmpty())
        prompter.warning(QStringLiteral("Manjka Geslo!"));
    return !credentials.user.isEmpty() && !credentials.passPhrase.isEmpty();
}

bool GnupgSigner::sign(const QString &program, const QString &input, const QString &output,
                       const QString &user, const QString &passPhrase, const QString &recipient) {
    // GnuPG must not leave an earlier output to be taken for its own.
    QFile old(output);
    if (old.exists() && !old.remove()) {
        session_.prompter.error(signingFailed + u'\r' + old.errorString());
        return false;
    }
    const QString log = command_.logFile();
    if (!log.isEmpty() && QFile::exists(log))
        QFile::remove(log);

    const QStringList arguments = GnupgCommand::arguments(output, user, recipient, input);
    session_.debugLog.write(QStringLiteral("GnuPG: ") + program + u' ' + arguments.join(u' '));
    const ProcessResult result = runner_.run(
        program, arguments, GnupgCommand::passPhraseInput(passPhrase), GnupgCommand::timeoutMs);
    if (result.succeeded() && QFileInfo(output).isFile())
        return true;
    // A run that was ended or failed may have left part of a message.
    QFile::remove(output);
    session_.prompter.error(signingFailed + whatGnupgSaid(result));
    return false;
}
