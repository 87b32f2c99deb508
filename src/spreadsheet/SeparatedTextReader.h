#pragma once

#include "SheetReader.h"

#include <QStringList>
#include <limits>
#include <vector>

// A text file of one row per line, its fields separated by one character (tab or ";"), without
// quoting. UTF-8 (with or without a byte-order mark) or, when the bytes are no UTF-8, Windows-1250.
class SeparatedTextReader : public SheetReader {
public:
    // Fails with a message naming the file when it cannot be read.
    SeparatedTextReader(const QString &fileName, QChar separator);

    // Fields of one line: the text before each separator is a field, a rest without separator
    // the last one; empty fields between separators stay, a separator at the end adds none.
    static QStringList split(const QString &line, QChar separator);

    int rowCount() const override { return int(rows_.size()); }
    // Beyond the last field of a line a value reads as empty.
    int columnLimit(int) const override { return std::numeric_limits<int>::max(); }
    SheetCell cell(int row, int column) const override;
    QString fileName() const override { return fileName_; }

private:
    QString fileName_;
    std::vector<QStringList> rows_;
};
