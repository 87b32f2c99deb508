#include "XlsReader.h"

#include "RapoError.h"

#include <QFile>
#include <freexl.h>

namespace {
QDate isoDate(const QString &text) {
    return QDate::fromString(text.left(10), Qt::ISODate);
}
} // namespace

XlsReader::XlsReader(const QString &fileName) : fileName_(fileName) {
    const auto fail = [&](const QString &why) {
        if (handle_)
            freexl_close(handle_);
        handle_ = nullptr;
        return RapoError(
            QStringLiteral("Delovnega zvezka \"%1\" ni mogoče prebrati: %2").arg(fileName, why));
    };
    const QByteArray path = QFile::encodeName(fileName);
    if (freexl_open(path.constData(), &handle_) != FREEXL_OK)
        throw fail(QStringLiteral("datoteka je poškodovana ali ni v obliki .xls."));
    unsigned int value = 0;
    if (freexl_get_info(handle_, FREEXL_BIFF_PASSWORD, &value) == FREEXL_OK &&
        value == FREEXL_BIFF_OBFUSCATED)
        throw fail(QStringLiteral("zaščiten je z geslom."));
    unsigned int sheets = 0;
    if (freexl_get_info(handle_, FREEXL_BIFF_SHEET_COUNT, &sheets) != FREEXL_OK || sheets == 0)
        throw fail(QStringLiteral("nima delovnega lista."));
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (freexl_select_active_worksheet(handle_, 0) != FREEXL_OK ||
        freexl_worksheet_dimensions(handle_, &rows, &columns) != FREEXL_OK)
        throw fail(QStringLiteral("prvega delovnega lista ni mogoče prebrati."));
    rows_ = int(rows);
    columns_ = columns;
}

XlsReader::~XlsReader() {
    if (handle_)
        freexl_close(handle_);
}

SheetCell XlsReader::cell(int row, int column) const {
    if (row < 0 || column < 0 || row >= rows_ || column >= columns_)
        return {};
    FreeXL_CellValue v;
    if (freexl_get_cell_value(handle_, unsigned(row), static_cast<unsigned short>(column), &v) !=
        FREEXL_OK)
        return {};
    switch (v.type) {
    case FREEXL_CELL_INT:
        return SheetCell::number(v.value.int_value);
    case FREEXL_CELL_DOUBLE:
        return SheetCell::number(v.value.double_value);
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
        return SheetCell::text(QString::fromUtf8(v.value.text_value));
    case FREEXL_CELL_DATE:
        return {SheetCell::Type::Date, isoDate(QString::fromLatin1(v.value.text_value))};
    case FREEXL_CELL_DATETIME: {
        const QString t = QString::fromLatin1(v.value.text_value);
        const QDateTime at(isoDate(t), QTime::fromString(t.mid(11, 8), QStringLiteral("HH:mm:ss")));
        if (at.time() == QTime(0, 0))
            return {SheetCell::Type::Date, at.date()};
        return {SheetCell::Type::DateTime, at};
    }
    case FREEXL_CELL_TIME:
        return {SheetCell::Type::Time,
                QTime::fromString(QString::fromLatin1(v.value.text_value).left(8),
                                  QStringLiteral("HH:mm:ss"))};
    default:
        return {};
    }
}
