#include "FileDelivery.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

QString FileDelivery::copyOverwriting(const QString &source, const QString &target) {
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return in.errorString();
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        return out.errorString();
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(1 << 16);
        if (chunk.isEmpty() && in.error() != QFileDevice::NoError)
            return in.errorString();
        if (out.write(chunk) != chunk.size())
            return out.errorString();
    }
    if (!out.commit())
        return out.errorString();
    return {};
}

bool FileDelivery::sameFolder(const QString &a, const QString &b) {
    const QFileInfo first(a);
    const QFileInfo second(b);
    if (first.exists() && second.exists())
        return first.canonicalFilePath() == second.canonicalFilePath();
    return QDir::cleanPath(first.absoluteFilePath()) == QDir::cleanPath(second.absoluteFilePath());
}
