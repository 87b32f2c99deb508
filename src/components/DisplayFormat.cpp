#include "DisplayFormat.h"

#include "ShortDateFormat.h"

QLocale DisplayFormat::userLocale() {
    return QLocale(QLocale::Slovenian, QLocale::Slovenia);
}

QString DisplayFormat::formatFloat(double value, const QString &pattern, const QLocale &locale) {
    if (pattern.isEmpty())
        return locale.toString(value, 'g', 15)
            .remove(locale.groupSeparator())
            .replace(locale.negativeSign(), QStringLiteral("-"));
    const QString section = pattern.section(u';', 0, 0);
    const bool grouped = section.contains(u',');
    const qsizetype point = section.indexOf(u'.');
    int decimals = 0;
    int optional = 0;
    if (point >= 0) {
        for (qsizetype i = point + 1; i < section.size(); ++i) {
            if (section[i] == u'0')
                ++decimals;
            else if (section[i] == u'#')
                ++optional;
        }
    }
    QString text = locale.toString(value, 'f', decimals + optional);
    if (optional > 0) {
        const QString decimal = locale.decimalPoint();
        const qsizetype dp = text.indexOf(decimal);
        if (dp >= 0) {
            qsizetype keep = text.size();
            while (keep > dp + 1 + decimals && text[keep - 1] == u'0')
                --keep;
            if (keep == dp + 1)
                keep = dp;
            text.truncate(keep);
        }
    }
    if (!grouped)
        text.remove(locale.groupSeparator());
    // Some locales write a typographic minus; the program's users type and read "-".
    return text.replace(locale.negativeSign(), QStringLiteral("-"));
}

QString DisplayFormat::qtDateTimeFormat(const QString &pattern) {
    QString out;
    const QString p = pattern.toLower();
    bool afterHour = false;
    for (qsizetype i = 0; i < p.size();) {
        auto starts = [&](const char *token) {
            return QStringView(p).mid(i).startsWith(QLatin1StringView(token));
        };
        if (starts("yyyy")) {
            out += QStringLiteral("yyyy");
            i += 4;
        } else if (starts("yy")) {
            out += QStringLiteral("yy");
            i += 2;
        } else if (starts("mm")) {
            out += afterHour ? QStringLiteral("mm") : QStringLiteral("MM");
            afterHour = false;
            i += 2;
        } else if (starts("nn")) {
            out += QStringLiteral("mm");
            i += 2;
        } else if (starts("dd")) {
            out += QStringLiteral("dd");
            i += 2;
        } else if (starts("hh")) {
            out += QStringLiteral("HH");
            afterHour = true;
            i += 2;
        } else if (starts("ss")) {
            out += QStringLiteral("ss");
            i += 2;
        } else if (starts("zzz")) {
            out += QStringLiteral("zzz");
            i += 3;
        } else {
            const QChar c = pattern[i++];
            out += c.isLetter() ? QStringLiteral("'") + c + u'\'' : QString(c);
        }
    }
    return out;
}

QString DisplayFormat::formatDateTime(const QDateTime &value, const QString &pattern) {
    if (!value.isValid())
        return {};
    if (pattern.isEmpty())
        return ShortDateFormat::toText(value.date());
    return value.toString(qtDateTimeFormat(pattern));
}
