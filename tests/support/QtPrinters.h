#pragma once

#include <QString>
#include <QStringList>
#include <ostream>

// Readable failure messages for Qt texts.
inline void PrintTo(const QString &text, std::ostream *os) {
    *os << '"' << text.toStdString() << '"';
}
