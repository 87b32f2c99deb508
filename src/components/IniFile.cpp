#include "IniFile.h"

#include "Windows1250.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <algorithm>

namespace {
// The trimmed text of a "[section]" line, or nothing when the line is not one.
std::optional<QString> sectionName(const QString &line) {
    if (!line.startsWith(u'['))
        return std::nullopt;
    const qsizetype close = line.indexOf(u']');
    if (close <= 0)
        return std::nullopt;
    return line.mid(1, close - 1).trimmed();
}

// A "key=value" line (trimmed, not a comment) gives its key.
std::optional<QString> keyName(const QString &line) {
    if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'['))
        return std::nullopt;
    const qsizetype eq = line.indexOf(u'=');
    if (eq <= 0)
        return std::nullopt;
    return line.left(eq).trimmed();
}
} // namespace

IniFile::IniFile(const QString &path) : path_(path) {
    QFile file(path);
    exists_ = file.exists();
    if (!file.open(QIODevice::ReadOnly)) {
        errorText_ = file.errorString();
        return;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        errorText_ = file.errorString();
        return;
    }
    readable_ = true;
    // Valid UTF-8 that is not plain ASCII was saved as UTF-8; anything else is Windows-1250.
    QString text;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        encoding_ = Encoding::Utf8WithBom;
        text = QString::fromUtf8(bytes.mid(3));
    } else {
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString decoded = utf8(bytes);
        const bool ascii = std::all_of(bytes.cbegin(), bytes.cend(),
                                       [](char b) { return static_cast<unsigned char>(b) < 0x80; });
        if (!ascii && !utf8.hasError()) {
            encoding_ = Encoding::Utf8;
            text = decoded;
        } else {
            text = Windows1250::decode(bytes);
        }
    }
    // Lines end with CR LF, LF or CR; each line keeps its own end for writing back.
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\r' && text[i] != u'\n')
            continue;
        const qsizetype endLength =
            text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n' ? 2 : 1;
        lines_ << text.mid(start, i - start);
        ends_ << text.mid(i, endLength);
        i += endLength - 1;
        start = i + 1;
    }
    lines_ << text.mid(start);
    ends_ << QString();
}

bool IniFile::hasSection(const QString &section) const {
    for (const QString &raw : lines_) {
        const auto name = sectionName(raw.trimmed());
        if (name && name->compare(section, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

std::optional<qsizetype> IniFile::find(const QString &section, const QString &key) const {
    bool inSection = false;
    for (qsizetype i = 0; i < lines_.size(); ++i) {
        const QString &raw = lines_[i];
        // Only the start of a line is looked at before its key matches: a very long value is
        // not copied for every key read.
        const QStringView line = QStringView(raw).trimmed();
        if (line.isEmpty() || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[')) {
            if (const auto name = sectionName(line.toString()))
                inSection = name->compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection)
            continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0)
            continue;
        if (line.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return std::nullopt;
}

std::optional<QString> IniFile::value(const QString &section, const QString &key) const {
    const std::optional<qsizetype> at = find(section, key);
    if (!at)
        return std::nullopt;
    const QString line = lines_[*at].trimmed();
    return line.mid(line.indexOf(u'=') + 1).trimmed();
}

int IniFile::lineNumber(const QString &section, const QString &key) const {
    const std::optional<qsizetype> at = find(section, key);
    return at ? static_cast<int>(*at) + 1 : 0;
}

QString IniFile::readString(const QString &section, const QString &key, const QString &def) const {
    return value(section, key).value_or(def);
}

void IniFile::writeString(const QString &section, const QString &key, const QString &value) {
    QString clean = value;
    clean.remove(u'\r');
    clean.remove(u'\n');

    // The same line that value() would read.
    bool inSection = false;
    for (qsizetype i = 0; i < lines_.size(); ++i) {
        const QString line = lines_[i].trimmed();
        if (const auto name = sectionName(line)) {
            inSection = name->compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection)
            continue;
        const auto name = keyName(line);
        if (!name || name->compare(key, Qt::CaseInsensitive) != 0)
            continue;
        const QString &raw = lines_[i];
        qsizetype valueStart = raw.indexOf(u'=') + 1;
        while (valueStart < raw.size() && (raw[valueStart] == u' ' || raw[valueStart] == u'\t'))
            ++valueStart;
        lines_[i] = raw.left(valueStart) + clean;
        return;
    }

    const QString setting = key + u'=' + clean;
    const qsizetype at = insertionPoint(section);
    if (at >= 0) {
        insertLine(at, setting);
        return;
    }
    // A new section at the end, after an empty line when the file has text.
    const bool hasText = std::any_of(lines_.cbegin(), lines_.cend(),
                                     [](const QString &line) { return !line.trimmed().isEmpty(); });
    qsizetype end = lines_.size();
    // A file that ends with a line end reads as a last, empty line without one.
    if (end > 0 && lines_[end - 1].isEmpty() && ends_[end - 1].isEmpty())
        --end;
    if (hasText && end > 0 && !lines_[end - 1].trimmed().isEmpty())
        insertLine(end++, QString());
    insertLine(end++, u'[' + section + u']');
    insertLine(end, setting);
}

qsizetype IniFile::insertionPoint(const QString &section) const {
    qsizetype header = -1;
    qsizetype lastSetting = -1;
    for (qsizetype i = 0; i < lines_.size(); ++i) {
        const QString line = lines_[i].trimmed();
        if (const auto name = sectionName(line)) {
            if (header >= 0)
                break;
            if (name->compare(section, Qt::CaseInsensitive) == 0)
                header = i;
            continue;
        }
        if (header >= 0 && keyName(line))
            lastSetting = i;
    }
    if (header < 0)
        return -1;
    return (lastSetting >= 0 ? lastSetting : header) + 1;
}

void IniFile::insertLine(qsizetype at, const QString &line) {
    if (lines_.isEmpty() || (lines_.size() == 1 && lines_[0].isEmpty())) {
        lines_ = {line, QString()};
        ends_ = {lineEnd(), QString()};
        return;
    }
    // The line before it must end before the new one starts.
    if (at > 0 && ends_[at - 1].isEmpty())
        ends_[at - 1] = lineEnd();
    lines_.insert(at, line);
    ends_.insert(at, at + 1 < lines_.size() ? lineEnd() : QString());
}

QString IniFile::lineEnd() const {
    for (const QString &end : ends_)
        if (!end.isEmpty())
            return end;
    return QStringLiteral("\r\n");
}

bool IniFile::save(QString *error) {
    QString text;
    for (qsizetype i = 0; i < lines_.size(); ++i)
        text += lines_[i] + ends_.value(i);
    QSaveFile file(path_);
    const QByteArray bytes = encoding_ == Encoding::Windows1250 ? Windows1250::encode(text)
                             : encoding_ == Encoding::Utf8      ? text.toUtf8()
                                                                : "\xEF\xBB\xBF" + text.toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) < 0 || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    exists_ = true;
    return true;
}
