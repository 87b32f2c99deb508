#include "DisplayDefaults.h"

#include "IniFile.h"

#include <QDir>

namespace {
int sizeOr(const IniFile &ini, const QString &key, int def) {
    bool ok = false;
    const int size = ini.readString(QStringLiteral("VEK"), key, {}).toInt(&ok);
    return ok && size > 0 ? size : def;
}
} // namespace

QFont DisplayDefaults::cellFont() const {
    QFont font(fontName, fontSize);
    font.setBold(true);
    return font;
}

QFont DisplayDefaults::titleFont() const {
    return QFont(titleFontName, titleFontSize);
}

DisplayDefaults DisplayDefaults::fromFile(const QString &path) {
    DisplayDefaults d;
    const IniFile ini(path);
    const QString section = QStringLiteral("VEK");
    d.fontName = ini.readString(section, QStringLiteral("FontName"), d.fontName);
    d.fontSize = sizeOr(ini, QStringLiteral("FontSize"), d.fontSize);
    d.titleFontName = ini.readString(section, QStringLiteral("TitleFontName"), d.titleFontName);
    d.titleFontSize = sizeOr(ini, QStringLiteral("TitleFontSize"), d.titleFontSize);
    return d;
}

const DisplayDefaults &DisplayDefaults::workstation() {
    static const DisplayDefaults defaults = [] {
        const QString windows = qEnvironmentVariable("WINDIR");
        return windows.isEmpty() ? DisplayDefaults()
                                 : fromFile(QDir(windows).filePath(QStringLiteral("WIN.INI")));
    }();
    return defaults;
}
