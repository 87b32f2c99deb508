#include "FileDelivery.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {
QString sizeDiffers(qint64 copied, qint64 expected) {
    return QStringLiteral("Kopija ima %1 bajtov, datoteka pa %2.").arg(copied).arg(expected);
}
} // namespace

QString FileDelivery::copyOverwriting(const QString &source, const QString &target) {
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return in.errorString();
    const qint64 expected = in.size();
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        return out.errorString();
    qint64 copied = 0;
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(1 << 16);
        if (chunk.isEmpty() && in.error() != QFileDevice::NoError)
            return in.errorString();
        if (out.write(chunk) != chunk.size())
            return out.errorString();
        copied += chunk.size();
    }
    // A source that changed while it was read is not delivered in part.
    if (copied != expected) {
        out.cancelWriting();
        return sizeDiffers(copied, expected);
    }
    if (!out.commit())
        return out.errorString();
    // What the folder holds now, as a network share reports it.
    const qint64 landed = QFileInfo(target).size();
    if (landed != expected) {
        QFile::remove(target);
        return sizeDiffers(landed, expected);
    }
    return {};
}

FileDelivery::Moved FileDelivery::move(const QString &source, const QString &target) {
    Moved moved;
    const QFileInfo from(source);
    const QFileInfo to(target);
    if (to.exists() && from.canonicalFilePath() == to.canonicalFilePath())
        return moved;
    moved.copyError = copyOverwriting(source, target);
    if (!moved.copyError.isEmpty())
        return moved;
    QFile file(source);
    if (!file.remove())
        moved.removeError = file.errorString();
    return moved;
}

bool FileDelivery::sameFolder(const QString &a, const QString &b) {
    const QFileInfo first(a);
    const QFileInfo second(b);
    if (first.exists() && second.exists())
        return first.canonicalFilePath() == second.canonicalFilePath();
    return QDir::cleanPath(first.absoluteFilePath()) == QDir::cleanPath(second.absoluteFilePath());
}
