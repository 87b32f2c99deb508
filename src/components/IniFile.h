#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// An INI file in the Windows-1250 code page or in UTF-8 (with or without a byte-order mark),
// read with the usual rules: "[section]" lines,
// "key=value" lines, section and key names without regard to case, the first occurrence of a
// key wins, blanks around names and values are dropped, lines starting with ";" are comments
// and anything else is not a setting.
//
// Writing changes only the line of the key it sets (or adds one line, or a section when there is
// none); every other line, its line end and the encoding stay exactly as they were, so a site's
// configuration with its comments survives.
class IniFile {
public:
    enum class Encoding { Windows1250, Utf8, Utf8WithBom };

    // An absent or unreadable file gives an empty set of settings; exists() and readable() tell
    // which.
    explicit IniFile(const QString &path);

    bool exists() const { return exists_; }
    bool readable() const { return readable_; }
    // Why a file that exists could not be read.
    const QString &errorText() const { return errorText_; }
    Encoding encoding() const { return encoding_; }
    bool hasSection(const QString &section) const;
    const QString &path() const { return path_; }

    std::optional<QString> value(const QString &section, const QString &key) const;
    QString readString(const QString &section, const QString &key, const QString &def) const;
    // The number (from 1) of the line that value() reads; 0 when the key is absent.
    int lineNumber(const QString &section, const QString &key) const;

    // Sets the value of a key in memory: the line that value() reads gets the new value behind
    // its "=", keeping the key's spelling; an absent key is added after the last setting of its
    // section, an absent section at the end of the file. Line breaks in the value are dropped.
    void writeString(const QString &section, const QString &key, const QString &value);
    // Writes the settings to the file in the encoding it was read in. The file is replaced only
    // when the whole text is written; false, with the system's text in `error`, when it cannot be.
    bool save(QString *error = nullptr);

private:
    // The index of the line that holds the key's value.
    std::optional<qsizetype> find(const QString &section, const QString &key) const;
    // Where a new line goes: after the last setting of the first section of that name, or -1.
    qsizetype insertionPoint(const QString &section) const;
    void insertLine(qsizetype at, const QString &line);
    QString lineEnd() const;

    QString path_;
    bool exists_ = false;
    bool readable_ = false;
    QString errorText_;
    Encoding encoding_ = Encoding::Windows1250;
    QStringList lines_;
    QStringList ends_; // the line end that followed each line: "\r\n", "\n", "\r" or none
};
