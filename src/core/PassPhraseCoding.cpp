#include "PassPhraseCoding.h"

#include "Windows1250.h"

namespace {
int hexDigit(QChar ch) {
    const char16_t c = ch.unicode();
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    return -1;
}
} // namespace

// Each code is a byte of the Windows-1250 code page, the code page the pass phrase was typed in.
std::optional<QString> PassPhraseCoding::decode(const QString &stored) {
    QByteArray bytes;
    const qsizetype pairs = stored.size() / 2;
    for (qsizetype i = 0; i < pairs; ++i) {
        const int high = hexDigit(stored[2 * i]);
        const int low = hexDigit(stored[2 * i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes.append(static_cast<char>(high * 16 + low));
    }
    return Windows1250::decode(bytes);
}

QString PassPhraseCoding::encode(const QString &passPhrase) {
    return QString::fromLatin1(Windows1250::encode(passPhrase).toHex().toUpper());
}
