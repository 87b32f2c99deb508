#include "SheetReader.h"

#include "RapoError.h"
#include "XlsReader.h"
#include "XlsxReader.h"

#include <QFile>
#include <QFileInfo>

namespace {
// Office encrypts a protected ".xlsx" into a compound file holding this stream.
bool holdsEncryptedPackage(const QByteArray &head) {
    static const QByteArray name =
        QByteArray("E\0n\0c\0r\0y\0p\0t\0e\0d\0P\0a\0c\0k\0a\0g\0e\0", 32);
    return head.contains(name);
}
} // namespace

std::unique_ptr<SheetReader> openWorkbook(const QString &fileName) {
    QFile file(fileName);
    if (!QFileInfo(fileName).isFile() || !file.open(QIODevice::ReadOnly))
        throw RapoError(QStringLiteral("Datoteke \"%1\" ni mogoče odpreti.").arg(fileName));
    const QByteArray head = file.read(8);
    if (head.startsWith("PK\x03\x04"))
        return std::make_unique<XlsxReader>(fileName);
    if (head == QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8)) {
        file.seek(0);
        if (holdsEncryptedPackage(file.read(1 << 20)))
            throw RapoError(
                QStringLiteral("Delovni zvezek \"%1\" je zaščiten z geslom. Shranite ga brez "
                               "gesla in ga uvozite znova.")
                    .arg(fileName));
        return std::make_unique<XlsReader>(fileName);
    }
    throw RapoError(
        QStringLiteral("Datoteka \"%1\" ni delovni zvezek (.xls ali .xlsx).").arg(fileName));
}
