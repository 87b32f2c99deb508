#include "FieldFormat.h"

#include "FieldError.h"
#include "RapoError.h"

#include <QRegularExpression>
#include <QVector>

namespace FieldFormat {
namespace {

struct Group {
    int width = 0;
    QChar cls;
};

QVector<Group> parseFormat(const QString &format) {
    const auto invalid = [&format] {
        return RapoError(QStringLiteral("Neveljaven zapis formata '") + format +
                         QStringLiteral("'!"));
    };
    QVector<Group> groups;
    qsizetype i = 0;
    while (i < format.size()) {
        const qsizetype start = i;
        while (i < format.size() && format[i] >= u'0' && format[i] <= u'9')
            ++i;
        if (i == start || i + 2 >= format.size() || format[i] != u'(' || format[i + 2] != u')')
            throw invalid();
        bool ok = false;
        const int width = format.mid(start, i - start).toInt(&ok);
        if (!ok)
            throw invalid();
        groups.append({width, format[i + 1]});
        i += 3;
    }
    if (groups.isEmpty())
        throw invalid();
    return groups;
}

bool isLetter(QChar c) {
    const char16_t u = c.unicode();
    if ((u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z'))
        return true;
    // The letters of the host's code page beyond ASCII: Š Ž š ž Ć Č Đ ć č đ.
    switch (u) {
    case u'\u0160':
    case u'\u017D':
    case u'\u0161':
    case u'\u017E':
    case u'\u0106':
    case u'\u010C':
    case u'\u0110':
    case u'\u0107':
    case u'\u010D':
    case u'\u0111':
        return true;
    default:
        return false;
    }
}

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

bool isOfClass(QChar c, QChar cls) {
    switch (cls.unicode()) {
    case u'a':
        return isLetter(c);
    case u'n':
        return isDigit(c);
    case u'S':
        return c == u'+' || c == u'-';
    default:
        return true;
    }
}

RapoError notANumber(const QString &text) {
    return RapoError(QStringLiteral("'") + text + QStringLiteral("' ni veljavno število"));
}

// Adds one to a string of decimal digits; false when it carries out of the leftmost digit.
bool incrementDigits(QString &digits) {
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        if (digits[i] != u'9') {
            digits[i] = QChar(digits[i].unicode() + 1);
            return true;
        }
        digits[i] = u'0';
    }
    return false;
}

// Reads a decimal number, with "," or "." as the decimal separator (the users' locale writes ",",
// the program's own number texts "."), and writes it again as "0.#####" with "." as the
// separator: at least one integer digit, at most five decimals rounded half away from zero, no
// trailing zeros, no grouping. The rounding works on the decimal digits, so 0.123455 gives
// 0.12346 as it reads, whatever its nearest binary value is.
QString rewriteNumber(const QString &text) {
    static const QRegularExpression number(
        QStringLiteral(R"(^\s*([+-]?)([0-9]*)(?:[.,]([0-9]*))?(?:[eE]([+-]?)([0-9]+))?\s*$)"));
    const QRegularExpressionMatch m = number.match(text);
    if (!m.hasMatch() || (m.captured(2).isEmpty() && m.captured(3).isEmpty()))
        throw notANumber(text);
    const bool negative = m.captured(1) == u'-';

    QString digits = m.captured(2) + m.captured(3);
    // Where the decimal point stands within `digits`.
    qint64 point = m.captured(2).size();
    QString exponent = m.captured(5);
    while (exponent.size() > 1 && exponent.startsWith(u'0'))
        exponent.remove(0, 1);
    const bool negativeExponent = m.captured(4) == u'-';
    qsizetype leadingZeros = 0;
    while (leadingZeros < digits.size() && digits[leadingZeros] == u'0')
        ++leadingZeros;
    digits.remove(0, leadingZeros);
    point -= leadingZeros;
    if (digits.isEmpty())
        return QStringLiteral("0");
    if (exponent.size() > 9) {
        if (negativeExponent)
            return QStringLiteral("0");
        throw notANumber(text);
    }
    point += negativeExponent ? -exponent.toLongLong() : exponent.toLongLong();
    // Beyond the range of a double: no column holds such a number.
    if (point > 309)
        throw notANumber(text);
    // The first significant digit lies beyond the sixth decimal: rounds to zero.
    if (point < -5)
        return QStringLiteral("0");
    if (point < 0) {
        digits.prepend(QString(-point, u'0'));
        point = 0;
    }
    if (point > digits.size())
        digits.append(QString(point - digits.size(), u'0'));

    QString integer = digits.left(point);
    QString fraction = digits.mid(point);
    if (fraction.size() > 5) {
        const bool up = fraction[5] >= u'5';
        fraction.truncate(5);
        if (up) {
            QString all = integer + fraction;
            if (!incrementDigits(all))
                all.prepend(u'1');
            integer = all.left(all.size() - 5);
            fraction = all.right(5);
        }
    }
    while (fraction.endsWith(u'0'))
        fraction.chop(1);
    while (integer.size() > 1 && integer.startsWith(u'0'))
        integer.remove(0, 1);
    if (integer.isEmpty())
        integer = QStringLiteral("0");

    QString result = integer;
    if (!fraction.isEmpty())
        result += u'.' + fraction;
    if (negative && result != u'0')
        result.prepend(u'-');
    return result;
}

QString columnText(const FormatColumn &column) {
    const QString &name = column.name;
    if (name.compare(QStringLiteral("ISIN"), Qt::CaseInsensitive) == 0)
        return column.text.trimmed().left(12);
    for (const char *swift : {"SWIFT", "SWIFT_BPH", "NS_SWIFT", "TRP_SWIFT"})
        if (name.compare(QLatin1String(swift), Qt::CaseInsensitive) == 0)
            return column.text.trimmed();
    return column.text;
}

bool isIsinColumn(const std::optional<FormatColumn> &column) {
    return column && column->name.compare(QStringLiteral("ISIN"), Qt::CaseInsensitive) == 0;
}

} // namespace

QString check(const std::optional<FormatColumn> &column, const QString &format,
              const QString &prefix, const QString &suffix, const QString &reference) {
    QString value = column ? prefix + columnText(*column) + suffix : prefix + suffix;
    // An instrument without an ISIN is reported with the placeholder "N".
    if (isIsinColumn(column) && value == u'N')
        return value;

    const QVector<Group> groups = parseFormat(format);
    const bool cuts = groups.size() == 1;
    bool fits = true;
    qsizetype offset = 0;
    for (const Group &group : groups) {
        switch (group.cls.unicode()) {
        case u'a':
        case u'n':
        case u'S':
            for (const QChar c : value.mid(offset, group.width))
                if (!isOfClass(c, group.cls))
                    fits = false;
            [[fallthrough]];
        case u'x':
            if (cuts && value.size() > group.width)
                value.truncate(group.width);
            break;
        case u'd':
            try {
                value = rewriteNumber(value);
            } catch (const RapoError &e) {
                throw FieldError(e.message(),
                                 column ? column->label.isEmpty() ? column->name : column->label
                                        : QString(),
                                 value, format);
            }
            for (const QChar c : value)
                if (!isDigit(c) && c != u'.' && c != u',')
                    fits = false;
            break;
        default:
            break;
        }
        offset += group.width;
    }
    if (fits)
        return value;

    const QString head = QStringLiteral("Napaka: Za Ref.St.Transakcije ") + reference;
    const QString tail = QStringLiteral("' ni formata ") + format + u'!';
    if (column) {
        const QString label = column->label.isEmpty() ? column->name : column->label;
        throw FieldError(head + QStringLiteral("  polje '") + label +
                             QStringLiteral("\r\n' podatek '") + value + tail,
                         label, value, format);
    }
    if (format == QStringLiteral("1(S)2(n)"))
        throw FieldError(head + QStringLiteral("  polje TRG.OFFSET podatek '") + value + tail,
                         QStringLiteral("TRG.OFFSET"), value, format);
    throw FieldError(head + QStringLiteral("  podatek '") + value + tail, QString(), value, format);
}

QString padToLength(const QString &value, int length, const QString &pad, bool atFront) {
    if (pad.isEmpty())
        return value;
    QString result = value;
    while (result.size() < length)
        result = atFront ? pad + result : result + pad;
    return result;
}

QString padRegistrationNumber(const QString &text) {
    QString result = text;
    if (result.size() < 10)
        result.append(QString(10 - result.size(), u'0'));
    return result;
}

} // namespace FieldFormat
