#include "PassPhraseFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

bool PassPhraseFile::ownerOnly(const QString &path) {
#if defined(Q_OS_WIN)
    // Windows keeps access in lists that Qt does not read by default; the profile's folder is
    // the owner's.
    Q_UNUSED(path);
    return true;
#else
    constexpr QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                                QFileDevice::ReadOther | QFileDevice::WriteOther;
    return (QFileInfo(path).permissions() & others) == 0;
#endif
}

std::optional<QString> PassPhraseFile::read(const QString &path, QString *refusal) {
    const QString shown = QDir::toNativeSeparators(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *refusal = QStringLiteral("Datoteke z geslom ") + shown +
                   QStringLiteral(" (RAPO_PASSPHRASE_FILE) ni mogoče prebrati!\r") +
                   file.errorString();
        return std::nullopt;
    }
    if (!ownerOnly(path)) {
        *refusal = QStringLiteral("Datoteko z geslom ") + shown +
                   QStringLiteral(" (RAPO_PASSPHRASE_FILE) lahko berejo ali spreminjajo tudi "
                                  "drugi uporabniki, zato je ne uporabim. Dovolite jo le "
                                  "lastniku (chmod 600).");
        return std::nullopt;
    }
    // A pass phrase is one line; more than a few kilobytes is not one.
    QString line = QString::fromUtf8(file.readLine(4096));
    while (line.endsWith(u'\n') || line.endsWith(u'\r'))
        line.chop(1);
    return line;
}
