#include "IniFile.h"

#include "Windows1250.h"

#include <QFile>
#include <QRegularExpression>

IniFile::IniFile(const QString &path) : path_(path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    exists_ = true;
    lines_ =
        Windows1250::decode(file.readAll()).split(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
}

std::optional<QString> IniFile::value(const QString &section, const QString &key) const {
    bool inSection = false;
    for (const QString &raw : lines_) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[')) {
            const qsizetype close = line.indexOf(u']');
            if (close > 0)
                inSection =
                    line.mid(1, close - 1).trimmed().compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection)
            continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0)
            continue;
        if (line.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return line.mid(eq + 1).trimmed();
    }
    return std::nullopt;
}

QString IniFile::readString(const QString &section, const QString &key, const QString &def) const {
    return value(section, key).value_or(def);
}
