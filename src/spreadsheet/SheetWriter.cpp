#include "SheetWriter.h"

#include <QDir>
#include <QFile>
#include <xlsxwriter.h>

namespace {
lxw_datetime toLxw(const QDate &d, const QTime &t) {
    lxw_datetime v{};
    if (d.isValid()) {
        v.year = d.year();
        v.month = d.month();
        v.day = d.day();
    }
    v.hour = t.hour();
    v.min = t.minute();
    v.sec = t.second() + t.msec() / 1000.0;
    return v;
}
} // namespace

SheetWriter::SheetWriter(const QString &fileName, const QString &sheetName) : fileName_(fileName) {
    QByteArray tmp = QDir::tempPath().toLocal8Bit();
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = tmp.data();
    book_ = workbook_new_opt(QFile::encodeName(fileName).constData(), &options);
    if (!book_) {
        error_ = QStringLiteral("delovnega zvezka ni mogoče ustvariti");
        return;
    }
    sheet_ = workbook_add_worksheet(book_, sheetName.toUtf8().constData());
    date_ = workbook_add_format(book_);
    format_set_num_format(date_, "dd.mm.yyyy");
    time_ = workbook_add_format(book_);
    format_set_num_format(time_, "hh:mm:ss");
    dateTime_ = workbook_add_format(book_);
    format_set_num_format(dateTime_, "dd.mm.yyyy hh:mm:ss");
}

SheetWriter::~SheetWriter() {
    if (book_)
        close();
}

void SheetWriter::remember(int code) {
    if (code != LXW_NO_ERROR && error_.isEmpty())
        error_ = QString::fromUtf8(lxw_strerror(lxw_error(code)));
}

void SheetWriter::writeRow(const QList<SheetCell> &cells) {
    if (!sheet_)
        return;
    for (int c = 0; c < cells.size(); ++c) {
        const SheetCell &cell = cells[c];
        const auto column = static_cast<lxw_col_t>(c);
        switch (cell.type) {
        case SheetCell::Type::Text:
        case SheetCell::Type::Error:
            if (!cell.value.toString().isEmpty())
                remember(worksheet_write_string(
                    sheet_, row_, column, cell.value.toString().toUtf8().constData(), nullptr));
            break;
        case SheetCell::Type::Number:
            remember(worksheet_write_number(sheet_, row_, column, cell.value.toDouble(), nullptr));
            break;
        case SheetCell::Type::Date: {
            lxw_datetime v = toLxw(cell.value.toDate(), QTime(0, 0));
            remember(worksheet_write_datetime(sheet_, row_, column, &v, date_));
            break;
        }
        case SheetCell::Type::Time: {
            lxw_datetime v = toLxw({}, cell.value.toTime());
            remember(worksheet_write_datetime(sheet_, row_, column, &v, time_));
            break;
        }
        case SheetCell::Type::DateTime: {
            const QDateTime at = cell.value.toDateTime();
            lxw_datetime v = toLxw(at.date(), at.time());
            remember(worksheet_write_datetime(sheet_, row_, column, &v, dateTime_));
            break;
        }
        case SheetCell::Type::Empty:
            break;
        }
    }
    ++row_;
}

bool SheetWriter::close() {
    if (!book_)
        return false;
    const lxw_error closed = workbook_close(book_);
    book_ = nullptr;
    remember(closed);
    return error_.isEmpty();
}
