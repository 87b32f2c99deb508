#include "XlsxReader.h"

#include "RapoError.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <algorithm>
#include <memory>
#include <unzip.h>

namespace {
const QString mainNs = QStringLiteral("http://schemas.openxmlformats.org/spreadsheetml/2006/main");

// Whether a number format shows a date, a time, both, or a plain number.
SheetCell::Type formatType(int id, const QString &code) {
    if ((id >= 14 && id <= 17) || (id >= 27 && id <= 31) || (id >= 34 && id <= 36) ||
        (id >= 50 && id <= 58))
        return SheetCell::Type::Date;
    if (id == 22)
        return SheetCell::Type::DateTime;
    if ((id >= 18 && id <= 21) || (id >= 32 && id <= 33) || (id >= 45 && id <= 47))
        return SheetCell::Type::Time;
    if (code.isEmpty())
        return SheetCell::Type::Number;
    // Quoted texts, escaped characters and bracketed colours or conditions do not count.
    static const QRegularExpression literal(QStringLiteral(R"("[^"]*"|\\.|\[[^\]]*\])"));
    QString bare = code.section(u';', 0, 0);
    bare.remove(literal);
    bare = bare.toLower();
    const bool date = bare.contains(u'd') || bare.contains(u'y');
    const bool time = bare.contains(u'h') || bare.contains(u's');
    if (date && time)
        return SheetCell::Type::DateTime;
    if (date)
        return SheetCell::Type::Date;
    if (time)
        return SheetCell::Type::Time;
    return SheetCell::Type::Number;
}

// "BC12" -> column 54 (0-based 54), row 11; false when it is no cell reference.
bool parseReference(QStringView ref, int &column, int &row) {
    qint64 c = 0, r = 0;
    int i = 0;
    while (i < ref.size() && ref[i].isLetter() && i < 4) {
        c = c * 26 + (ref[i].toUpper().unicode() - 'A' + 1);
        ++i;
    }
    const int letters = i;
    while (i < ref.size() && ref[i].isDigit() && i - letters < 8) {
        r = r * 10 + ref[i].digitValue();
        ++i;
    }
    if (letters == 0 || i == letters || i != ref.size())
        return false;
    column = int(c - 1);
    row = int(r - 1);
    return true;
}

// The text of an element holding <t> pieces (a shared string, an inline string); phonetic
// runs are left out.
QString stringItem(QXmlStreamReader &xml) {
    QString text;
    const QString end = xml.name().toString();
    int phonetic = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == u"rPh")
                ++phonetic;
            else if (xml.name() == u"t" && phonetic == 0)
                text += xml.readElementText();
        } else if (xml.isEndElement()) {
            if (xml.name() == u"rPh")
                --phonetic;
            else if (xml.name() == end)
                break;
        }
    }
    return text;
}
} // namespace

XlsxReader::XlsxReader(const QString &fileName) : fileName_(fileName) {
    // A damaged package, an unreadable or oversized part: never more than this many bytes.
    constexpr qint64 partLimit = qint64(512) << 20;
    const std::unique_ptr<void, int (*)(unzFile)> zip(
        unzOpen64(QFile::encodeName(fileName).constData()), unzClose);
    if (!zip)
        damaged(QStringLiteral("paket zip je poškodovan."));
    const auto part = [&](const QString &name, bool required) -> QByteArray {
        if (unzLocateFile(zip.get(), name.toUtf8().constData(), 2) != UNZ_OK) {
            if (required)
                damaged(QStringLiteral("manjka del \"%1\".").arg(name));
            return {};
        }
        if (unzOpenCurrentFile(zip.get()) != UNZ_OK)
            damaged(QStringLiteral("dela \"%1\" ni mogoče odpreti.").arg(name));
        QByteArray data;
        char buffer[65536];
        int read = 0;
        while ((read = unzReadCurrentFile(zip.get(), buffer, sizeof buffer)) > 0) {
            data.append(buffer, read);
            if (data.size() > partLimit)
                break;
        }
        const int closed = unzCloseCurrentFile(zip.get());
        if (read < 0 || closed != UNZ_OK || data.size() > partLimit)
            damaged(QStringLiteral("del \"%1\" je poškodovan.").arg(name));
        return data;
    };
    const auto checked = [&](QXmlStreamReader &xml, const QString &name) {
        if (xml.hasError())
            damaged(
                QStringLiteral("del \"%1\" ni veljaven XML (%2).").arg(name, xml.errorString()));
    };

    // The first sheet of the workbook and its part.
    QString sheetId;
    bool date1904 = false;
    {
        QXmlStreamReader xml(part(QStringLiteral("xl/workbook.xml"), true));
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement() && xml.name() == u"workbookPr") {
                const QStringView v = xml.attributes().value(QStringLiteral("date1904"));
                date1904 = v == u"1" || v == u"true";
            }
            if (xml.isStartElement() && xml.name() == u"sheet" && sheetId.isEmpty()) {
                for (const QXmlStreamAttribute &a : xml.attributes())
                    if (a.name() == u"id")
                        sheetId = a.value().toString();
            }
        }
        checked(xml, QStringLiteral("xl/workbook.xml"));
    }
    if (sheetId.isEmpty())
        throw RapoError(QStringLiteral("Delovni zvezek \"%1\" je prazen.").arg(fileName));
    QString sheetPath;
    {
        QXmlStreamReader xml(part(QStringLiteral("xl/_rels/workbook.xml.rels"), true));
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement() && xml.name() == u"Relationship" &&
                xml.attributes().value(QStringLiteral("Id")) == sheetId)
                sheetPath = xml.attributes().value(QStringLiteral("Target")).toString();
        }
        checked(xml, QStringLiteral("xl/_rels/workbook.xml.rels"));
    }
    if (sheetPath.isEmpty())
        damaged(QStringLiteral("prvi delovni list ni naveden."));
    sheetPath = sheetPath.startsWith(u'/') ? sheetPath.mid(1) : QStringLiteral("xl/") + sheetPath;

    QStringList sharedStrings;
    if (const QByteArray data = part(QStringLiteral("xl/sharedStrings.xml"), false);
        !data.isEmpty()) {
        QXmlStreamReader xml(data);
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement() && xml.name() == u"si")
                sharedStrings << stringItem(xml);
        }
        checked(xml, QStringLiteral("xl/sharedStrings.xml"));
    }

    // The kind of value every cell style shows.
    std::vector<SheetCell::Type> styleTypes;
    {
        QHash<int, QString> codes;
        QXmlStreamReader xml(part(QStringLiteral("xl/styles.xml"), false));
        bool inCellXfs = false;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement()) {
                if (xml.name() == u"numFmt")
                    codes.insert(xml.attributes().value(QStringLiteral("numFmtId")).toInt(),
                                 xml.attributes().value(QStringLiteral("formatCode")).toString());
                else if (xml.name() == u"cellXfs")
                    inCellXfs = true;
                else if (inCellXfs && xml.name() == u"xf") {
                    const int id = xml.attributes().value(QStringLiteral("numFmtId")).toInt();
                    styleTypes.push_back(formatType(id, codes.value(id)));
                }
            } else if (xml.isEndElement() && xml.name() == u"cellXfs") {
                inCellXfs = false;
            }
        }
    }
    readSheet(part(sheetPath, true), sharedStrings, styleTypes, date1904);
}

void XlsxReader::readSheet(const QByteArray &data, const QStringList &sharedStrings,
                           const std::vector<SheetCell::Type> &styleTypes, bool date1904) {
    QXmlStreamReader xml(data);
    const double dayShift = date1904 ? 1462 : 0;
    int nextRow = 0;
    int nextColumn = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == u"row") {
            const QStringView r = xml.attributes().value(QStringLiteral("r"));
            int row = nextRow;
            if (!r.isEmpty()) {
                bool ok = false;
                row = r.toInt(&ok) - 1;
                if (!ok || row < 0 || row >= maxRows)
                    damaged(QStringLiteral("vrstica %1 je zunaj meja delovnega lista.").arg(r));
            }
            if (!rows_.empty() && row <= rows_.back().row)
                damaged(QStringLiteral("vrstice niso urejene (vrstica %1).").arg(row + 1));
            rows_.push_back({row, {}});
            nextRow = row + 1;
            nextColumn = 0;
        } else if (xml.name() == u"c") {
            if (rows_.empty())
                damaged(QStringLiteral("celica zunaj vrstice."));
            const QXmlStreamAttributes a = xml.attributes();
            const QString ref = a.value(QStringLiteral("r")).toString();
            int column = nextColumn;
            int row = rows_.back().row;
            if (!ref.isEmpty()) {
                if (!parseReference(ref, column, row) || column < 0 || column >= maxColumns ||
                    row < 0 || row >= maxRows)
                    damaged(QStringLiteral("sklic na celico \"%1\" je zunaj meja delovnega lista.")
                                .arg(ref));
                if (row != rows_.back().row)
                    damaged(QStringLiteral("celica \"%1\" ni v svoji vrstici.").arg(ref));
            }
            auto &cells = rows_.back().cells;
            if (!cells.empty() && column <= cells.back().column)
                damaged(QStringLiteral("celice niso urejene (celica \"%1\").").arg(ref));
            nextColumn = column + 1;
            const QString type = a.value(QStringLiteral("t")).toString();
            const int style = a.value(QStringLiteral("s")).toInt();
            QString value;
            QString inlineText;
            bool hasInline = false;
            while (!xml.atEnd()) {
                xml.readNext();
                if (xml.isStartElement() && xml.name() == u"v")
                    value = xml.readElementText();
                else if (xml.isStartElement() && xml.name() == u"is") {
                    inlineText = stringItem(xml);
                    hasInline = true;
                } else if (xml.isStartElement() && xml.name() == u"f")
                    xml.skipCurrentElement();
                else if (xml.isEndElement() && xml.name() == u"c")
                    break;
            }
            SheetCell cell;
            if (type == u"s") {
                bool ok = false;
                const int index = value.toInt(&ok);
                if (!ok || index < 0 || index >= sharedStrings.size())
                    damaged(QStringLiteral("celica \"%1\" kaže na neobstoječ niz.").arg(ref));
                cell = SheetCell::text(sharedStrings[index]);
            } else if (type == u"inlineStr" || hasInline) {
                cell = SheetCell::text(inlineText);
            } else if (type == u"str") {
                cell = SheetCell::text(value);
            } else if (type == u"e") {
                cell = {SheetCell::Type::Error, value};
            } else if (type == u"d") {
                const QDateTime at = QDateTime::fromString(value, Qt::ISODate);
                cell = at.time() == QTime(0, 0) ? SheetCell{SheetCell::Type::Date, at.date()}
                                                : SheetCell{SheetCell::Type::DateTime, at};
            } else if (!value.isEmpty()) {
                bool ok = false;
                const double number = value.toDouble(&ok);
                if (!ok)
                    damaged(QStringLiteral("celica \"%1\" nima veljavne številke.").arg(ref));
                const SheetCell::Type shown = style >= 0 && size_t(style) < styleTypes.size()
                                                  ? styleTypes[size_t(style)]
                                                  : SheetCell::Type::Number;
                cell = shown == SheetCell::Type::Number
                           ? SheetCell::number(number)
                           : SheetCell::serial(number + dayShift, shown);
            }
            if (cell.type != SheetCell::Type::Empty) {
                cells.push_back({column, std::move(cell)});
                rowCount_ = rows_.back().row + 1;
            }
        }
    }
    if (xml.hasError())
        damaged(QStringLiteral("delovni list ni veljaven XML (%1).").arg(xml.errorString()));
}

SheetCell XlsxReader::cell(int row, int column) const {
    const auto r = std::lower_bound(rows_.begin(), rows_.end(), row,
                                    [](const StoredRow &s, int v) { return s.row < v; });
    if (r == rows_.end() || r->row != row)
        return {};
    const auto c = std::lower_bound(r->cells.begin(), r->cells.end(), column,
                                    [](const StoredCell &s, int v) { return s.column < v; });
    if (c == r->cells.end() || c->column != column)
        return {};
    return c->cell;
}

void XlsxReader::damaged(const QString &why) const {
    throw RapoError(
        QStringLiteral("Delovnega zvezka \"%1\" ni mogoče prebrati: %2").arg(fileName_, why));
}
