#include "DataImport.h"

#include "DisplayFormat.h"
#include "Prompter.h"
#include "SeparatedTextReader.h"
#include "SheetReader.h"
#include "TextRowsReader.h"

#include <QFileInfo>
#include <algorithm>

QString DataImportStructureItem::displayName() const {
    return name.isEmpty() ? QStringLiteral("StructureItem") : name;
}

DataImportStructureItem &DataImportStructure::add(const QString &name, int column,
                                                  DataImportDataType dataType, bool checkDataType) {
    DataImportStructureItem &item = items_.emplace_back();
    item.name = name;
    item.column = column;
    item.dataType = dataType;
    item.checkDataType = checkDataType;
    return item;
}

int DataImportStructure::indexOf(const QString &name) const {
    for (int i = 0; i < count(); ++i)
        if (items_[size_t(i)].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

DataImportItem::DataImportItem(const DataImport *owner) : owner_(owner) {
    if (!owner)
        throw DataImportError(QStringLiteral("DataImportItem: invalid parameter value : AOwner."));
}

QString DataImportItem::value(const QString &name) const {
    const int index = owner_->structure().indexOf(name);
    if (index < 0)
        throw DataImportError(QStringLiteral("DataImportItem: field %1 not found.").arg(name));
    return values_.value(index);
}

namespace {
bool isDate(const QString &t) {
    return QDate::fromString(t, QStringLiteral("d.M.yyyy")).isValid();
}

bool isTime(const QString &t) {
    return QTime::fromString(t, QStringLiteral("H:m:s")).isValid() ||
           QTime::fromString(t, QStringLiteral("H:m")).isValid();
}

bool isDateTime(const QString &t) {
    const int blank = t.indexOf(u' ');
    if (blank < 0)
        return isDate(t);
    return isDate(t.left(blank)) && isTime(t.mid(blank + 1).trimmed());
}

bool isDigits(const QString &t) {
    return !t.isEmpty() && std::all_of(t.begin(), t.end(), [](QChar c) { return c.isDigit(); });
}

// "1015" -> "10:15", "101530" -> "10:15:30": times written as digits in a headed sheet.
QString timeFromDigits(const QString &text) {
    QString t = text.trimmed();
    if (t.size() > 2)
        t.insert(2, u':');
    if (t.size() > 5)
        t.insert(5, u':');
    return t;
}

QString typeName(DataImportDataType type) {
    switch (type) {
    case DataImportDataType::didtInteger:
        return QStringLiteral("ni veljavno celo število");
    case DataImportDataType::didtFloat:
        return QStringLiteral("ni veljavno število");
    case DataImportDataType::didtDate:
        return QStringLiteral("ni veljaven datum (dd.mm.llll)");
    case DataImportDataType::didtTime:
        return QStringLiteral("ni veljaven čas (hh:mm:ss)");
    case DataImportDataType::didtDateTime:
        return QStringLiteral("ni veljaven datum in čas (dd.mm.llll hh:mm:ss)");
    default:
        return {};
    }
}
} // namespace

DataImport::DataImport(Prompter &prompter) : prompter_(prompter) {}

DataImport::~DataImport() = default;

QString DataImport::columnLetters(int column) {
    if (column < 1 || column > 256)
        throw DataImportError(QStringLiteral("Column index must be between 1 and 256 inclusive."));
    const auto letter = [](int n) { return QChar(u'A' + n - 1); };
    if (column <= 26)
        return QString(letter(column));
    return QString(letter((column - 1) / 26)) + letter((column - 1) % 26 + 1);
}

bool DataImport::atEnd(const SheetReader &reader, int row) const {
    if (dataSource == DataImportDataSource::didsExcel && !readWholeRange) {
        QString a;
        return !readValue(reader, row, 0, a) || a.isEmpty();
    }
    return row >= reader.rowCount();
}

bool DataImport::readValue(const SheetReader &reader, int row, int column, QString &text) const {
    text.clear();
    if (column < 0 || column >= reader.columnLimit(row))
        return false;
    // A workbook column is addressed by its letters, which go as far as "IV".
    if (dataSource == DataImportDataSource::didsExcel && column >= 256)
        return false;
    const SheetCell cell = reader.cell(row, column);
    if (cell.type == SheetCell::Type::Error) {
        if (skipErrorCells && !readWholeRange)
            return true;
        return false;
    }
    text = cell.text();
    return true;
}

QStringList DataImport::headingRow(const SheetReader &reader, int row) const {
    QStringList heading;
    int emptyRun = 0;
    for (int column = 0; emptyRun <= structure_.count(); ++column) {
        QString text;
        if (!readValue(reader, row, column, text))
            break;
        heading << text;
        emptyRun = text.isEmpty() ? emptyRun + 1 : 0;
    }
    while (!heading.isEmpty() && heading.last().isEmpty())
        heading.removeLast();
    return heading;
}

QString DataImport::checked(const SheetReader &reader, int row, int column,
                            const DataImportStructureItem &item, const QString &text) const {
    const QLocale locale = DisplayFormat::userLocale();
    QString t = text.trimmed();
    bool ok = false;
    switch (item.dataType) {
    case DataImportDataType::didtString:
        return text;
    case DataImportDataType::didtInteger:
        t.toLongLong(&ok);
        break;
    case DataImportDataType::didtFloat:
        t.remove(locale.groupSeparator());
        locale.toDouble(t, &ok);
        if (ok)
            return text.trimmed().remove(locale.groupSeparator());
        break;
    case DataImportDataType::didtDate:
        ok = isDate(t);
        break;
    case DataImportDataType::didtTime:
        ok = isTime(t);
        break;
    case DataImportDataType::didtDateTime:
        ok = isDateTime(t);
        break;
    default:
        throw DataImportError(
            QStringLiteral("Unknown data type: %1.").arg(static_cast<int>(item.dataType)));
    }
    if (ok)
        return text;
    const QString where = dataSource == DataImportDataSource::didsExcel && column < 256
                              ? QStringLiteral("stolpec %1").arg(columnLetters(column + 1))
                              : QStringLiteral("polje %1").arg(column + 1);
    const QString source = reader.fileName().isEmpty()
                               ? QStringLiteral("Napaka v podatkih")
                               : QStringLiteral("Napaka v datoteki \"%1\"").arg(reader.fileName());
    throw DataImportError(QStringLiteral("%1, vrstica %2, %3 (%4): \"%5\" %6.")
                              .arg(source)
                              .arg(row + 1)
                              .arg(where, item.displayName(), text, typeName(item.dataType)));
}

void DataImport::load() {
    const bool inMemory = dataSource == DataImportDataSource::didsStringList;
    if (!inMemory && !QFileInfo(fileName).isFile())
        throw DataImportError(QStringLiteral("File \"%1\" not found.").arg(fileName));
    if (inMemory && !stringListData)
        throw DataImportError(QStringLiteral("No data for didsStringList data source."));
    if (structure_.count() == 0)
        throw DataImportError(QStringLiteral("Structure is empty."));

    clear();
    std::unique_ptr<SheetReader> reader;
    switch (dataSource) {
    case DataImportDataSource::didsExcel:
        reader = openWorkbook(fileName);
        break;
    case DataImportDataSource::didsTAB:
        reader = std::make_unique<SeparatedTextReader>(fileName, QChar(9));
        break;
    case DataImportDataSource::didsSemicolon:
        reader = std::make_unique<SeparatedTextReader>(fileName, QChar(59));
        break;
    case DataImportDataSource::didsStringList:
        reader = std::make_unique<TextRowsReader>(*stringListData);
        break;
    default:
        throw DataImportError(
            QStringLiteral("Unknown data source: %1").arg(static_cast<int>(dataSource)));
    }

    int row = 0;
    for (int skipped = 0; skipped < firstRow && !atEnd(*reader, row); ++skipped)
        ++row;

    const bool byHeading = columnsByHeading && dataSource == DataImportDataSource::didsExcel;
    QStringList heading;
    if (byHeading && !atEnd(*reader, row))
        heading = headingRow(*reader, row++);

    QSet<int> askedColumns;
    for (; !atEnd(*reader, row); ++row) {
        auto loaded = std::make_unique<DataImportItem>(this);
        for (int i = 0; i < structure_.count(); ++i) {
            const DataImportStructureItem &item = structure_.item(i);
            int column = item.column;
            if (byHeading) {
                column = -1;
                for (int h = 0; h < heading.size() && column < 0; ++h)
                    if (heading[h].compare(item.name, Qt::CaseInsensitive) == 0)
                        column = h;
            }
            if (column == -1) {
                if (byHeading)
                    loaded->append(emptyValue);
                continue;
            }
            QString text;
            if (!readValue(*reader, row, column, text)) {
                if (!askedColumns.contains(column)) {
                    askedColumns.insert(column);
                    if (prompter_.abortIgnore(
                            QStringLiteral("V XLS datoteki manjka polje %1.").arg(item.name)))
                        return;
                }
                text.clear();
            }
            if (byHeading && item.dataType == DataImportDataType::didtTime && isDigits(text))
                text = timeFromDigits(text);
            if (text.isEmpty())
                loaded->append(emptyValue);
            else if (item.checkDataType)
                loaded->append(checked(*reader, row, column, item, text));
            else
                loaded->append(text);
        }
        items_.push_back(std::move(loaded));
    }
}
