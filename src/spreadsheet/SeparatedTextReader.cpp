#include "SeparatedTextReader.h"

#include "RapoError.h"
#include "Windows1250.h"

#include <QFile>
#include <QStringDecoder>

SeparatedTextReader::SeparatedTextReader(const QString &fileName, QChar separator)
    : fileName_(fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw RapoError(QStringLiteral("Datoteke \"%1\" ni mogoče odpreti.").arg(fileName));
    const QByteArray bytes = file.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (utf8.hasError())
        text = Windows1250::decode(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    rows_.reserve(size_t(lines.size()));
    for (QString &line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        rows_.push_back(split(line, separator));
    }
}

QStringList SeparatedTextReader::split(const QString &line, QChar separator) {
    QStringList fields;
    QStringView rest(line);
    while (!rest.isEmpty()) {
        const qsizetype at = rest.indexOf(separator);
        if (at < 0) {
            fields << rest.toString();
            break;
        }
        fields << rest.left(at).toString();
        rest = rest.mid(at + 1);
    }
    return fields;
}

SheetCell SeparatedTextReader::cell(int row, int column) const {
    if (row < 0 || row >= rowCount() || column < 0)
        return {};
    const QStringList &fields = rows_[size_t(row)];
    return column < fields.size() ? SheetCell::text(fields[column]) : SheetCell{};
}
