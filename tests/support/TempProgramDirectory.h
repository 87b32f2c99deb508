#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include "QtPrinters.h"

// A fresh, empty program directory for one test, removed afterwards.
class TempProgramDirectory {
public:
    TempProgramDirectory();
    // With a trailing separator, as the program keeps it.
    QString path() const;
    QString file(const QString &name) const { return path() + name; }
    // Writes a file of the directory; `text` is written in the Windows-1250 code page.
    void writeWindows1250(const QString &name, const QString &text) const;

private:
    QTemporaryDir dir_;
};
