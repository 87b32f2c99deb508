#pragma once

#include <QFont>
#include <QString>

// The workstation's display defaults for grids and edits: section "VEK" of the Windows file
// "WIN.INI" (FontName, FontSize, TitleFontName, TitleFontSize), read once. Where there is no
// such file the four defaults stand.
struct DisplayDefaults {
    QString fontName = QStringLiteral("Arial CE");
    int fontSize = 8;
    QString titleFontName = QStringLiteral("Arial CE");
    int titleFontSize = 8;

    QFont cellFont() const;  // bold
    QFont titleFont() const; // regular

    static const DisplayDefaults &workstation();
    // Reads an INI file of that form; missing values keep their defaults.
    static DisplayDefaults fromFile(const QString &path);
};
