#pragma once

#include <QByteArray>
#include <QString>

// The code page of RAPO.ini and of the host's texts. Qt carries no Windows-1250 codec of its own,
// so the table lives here. Bytes the code page leaves undefined map to the code point of the
// same value, so every file reads and writes back unchanged.
namespace Windows1250 {
QString decode(const QByteArray &bytes);
// Characters outside the code page become "?".
QByteArray encode(const QString &text);
} // namespace Windows1250
