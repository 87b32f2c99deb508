#include "GnupgCommand.h"

#include <QFileInfo>
#include <QStandardPaths>

GnupgCommand::GnupgCommand(const QString &configuredPath, const QString &programDirectory)
    : directory_(configuredPath) {
    // "\gnupg\" is a folder of the program directory; "\\server\share\" a network path.
    if (directory_.startsWith(u'\\') && !directory_.startsWith(QStringLiteral("\\\\")))
        directory_ = programDirectory + directory_;
#ifndef Q_OS_WIN
    directory_.replace(u'\\', u'/');
#endif
}

QString GnupgCommand::programName() {
#ifdef Q_OS_WIN
    return QStringLiteral("gpg.exe");
#else
    return QStringLiteral("gpg");
#endif
}

QString GnupgCommand::executable() const {
    if (directory_.isEmpty())
        return QStandardPaths::findExecutable(programName());
    const QString program = directory_ + programName();
    return QFileInfo(program).isFile() ? program : QString();
}

QString GnupgCommand::logFile() const {
    return directory_.isEmpty() ? QString() : directory_ + QStringLiteral("gnupg.log");
}

QStringList GnupgCommand::arguments(const QString &output, const QString &user,
                                    const QString &recipient, const QString &input) {
    return {QStringLiteral("--batch"),
            QStringLiteral("--yes"),
            QStringLiteral("--output"),
            output,
            QStringLiteral("--sign"),
            QStringLiteral("--local-user"),
            user,
            QStringLiteral("--pinentry-mode"),
            QStringLiteral("loopback"),
            QStringLiteral("--passphrase-fd"),
            QStringLiteral("0"),
            QStringLiteral("--encrypt"),
            QStringLiteral("--recipient"),
            recipient,
            QStringLiteral("--always-trust"),
            input};
}

QByteArray GnupgCommand::passPhraseInput(const QString &passPhrase) {
    return passPhrase.toUtf8() + '\n';
}
