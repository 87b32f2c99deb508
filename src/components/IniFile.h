#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// An INI file in the Windows-1250 code page, read with the usual rules: "[section]" lines,
// "key=value" lines, section and key names without regard to case, the first occurrence of a
// key wins, blanks around names and values are dropped, lines starting with ";" are comments
// and anything else is not a setting.
class IniFile {
public:
    // An absent or unreadable file gives an empty set of settings; exists() tells which.
    explicit IniFile(const QString &path);

    bool exists() const { return exists_; }
    const QString &path() const { return path_; }

    std::optional<QString> value(const QString &section, const QString &key) const;
    QString readString(const QString &section, const QString &key, const QString &def) const;

private:
    QString path_;
    bool exists_ = false;
    QStringList lines_;
};
