#!/usr/bin/python3
"""Writes the workbook files of the spreadsheet tests into files/: the binary workbooks (with
Debian's python3-xlwt) and the damaged files the readers must refuse with a message. Run it
again only to change them; the files are kept in the repository."""
import datetime
import os
import zipfile

import xlwt

here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "files")
os.makedirs(here, exist_ok=True)


def path(name):
    return os.path.join(here, name)


date = xlwt.easyxf(num_format_str="DD.MM.YYYY")
time = xlwt.easyxf(num_format_str="hh:mm:ss")
stamp = xlwt.easyxf(num_format_str="DD.MM.YYYY hh:mm:ss")


def sheet_xls():
    """The sheet the readers and the import read in every format: heading, two rows, an empty
    cell A that ends the rows, and a row after it."""
    book = xlwt.Workbook(encoding="utf-8")
    ws = book.add_sheet("Podatki")
    for c, h in enumerate(["Stranka", "Datum", "Vrednost", "Čas", "Opombe", "Trenutek"]):
        ws.write(0, c, h)
    ws.write(1, 0, "Šolar d.o.o.")
    ws.write(1, 1, datetime.date(2014, 3, 28), date)
    ws.write(1, 2, 1234.5)
    ws.write(1, 3, datetime.time(10, 15, 30), time)
    ws.write(1, 4, "prva")
    ws.write(1, 5, datetime.datetime(2014, 3, 28, 17, 5, 0), stamp)
    ws.write(2, 0, "DEF")
    ws.write(2, 1, datetime.date(2014, 3, 31), date)
    ws.write(2, 2, 7)
    ws.write(2, 3, datetime.time(0, 0, 0), time)
    ws.write(3, 1, "za prazno celico A")
    ws.write(4, 0, "GHI")
    book.add_sheet("Drugi").write(0, 0, "ni prebran")
    book.save(path("sheet.xls"))


def empty_xls():
    book = xlwt.Workbook()
    book.add_sheet("Prazen")
    book.save(path("empty.xls"))


content_types = """<?xml version="1.0" encoding="UTF-8"?>
<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">
<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>
<Default Extension="xml" ContentType="application/xml"/>
</Types>"""
workbook = """<?xml version="1.0" encoding="UTF-8"?>
<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"
 xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">
<sheets><sheet name="List1" sheetId="1" r:id="rId1"/></sheets></workbook>"""
rels = """<?xml version="1.0" encoding="UTF-8"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>
</Relationships>"""


def sheet(cells):
    return ('<?xml version="1.0" encoding="UTF-8"?>\n'
            '<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">'
            "<sheetData>" + cells + "</sheetData></worksheet>")


def xlsx(name, sheet_xml, parts=None, drop=()):
    files = {"[Content_Types].xml": content_types, "xl/workbook.xml": workbook,
             "xl/_rels/workbook.xml.rels": rels, "xl/worksheets/sheet1.xml": sheet_xml}
    files.update(parts or {})
    with zipfile.ZipFile(path(name), "w", zipfile.ZIP_DEFLATED) as z:
        for n, text in files.items():
            if n not in drop:
                z.writestr(n, text)


def bad_files():
    good = sheet('<row r="1"><c r="A1" t="inlineStr"><is><t>Stranka</t></is></c></row>'
                 '<row r="2"><c r="A2"><v>1</v></c></row>')
    # A formula whose value is an error, as the heading and first row of a sheet.
    xlsx("error-cell.xlsx", sheet('<row r="1"><c r="A1" t="inlineStr"><is><t>A</t></is></c></row>'
                                  '<row r="2"><c r="A2"><v>1</v></c>'
                                  '<c r="B2" t="e"><f>1/0</f><v>#DIV/0!</v></c></row>'))
    xlsx("beyond-columns.xlsx", sheet('<row r="1"><c r="XFE1"><v>1</v></c></row>'))
    xlsx("beyond-rows.xlsx", sheet('<row r="1048577"><c r="A1048577"><v>1</v></c></row>'))
    xlsx("bad-reference.xlsx", sheet('<row r="1"><c r="1A"><v>1</v></c></row>'))
    xlsx("bad-xml.xlsx", sheet('<row r="1"><c r="A1"><v>1</v></row>'))
    xlsx("bad-shared-string.xlsx", sheet('<row r="1"><c r="A1" t="s"><v>5</v></c></row>'))
    xlsx("bad-number.xlsx", sheet('<row r="1"><c r="A1"><v>ena</v></c></row>'))
    xlsx("no-workbook.xlsx", good, drop=("xl/workbook.xml",))
    xlsx("no-sheet.xlsx", good, drop=("xl/worksheets/sheet1.xml",))
    xlsx("whole.xlsx", good)
    with open(path("whole.xlsx"), "rb") as f:
        data = f.read()
    os.remove(path("whole.xlsx"))
    with open(path("truncated.xlsx"), "wb") as f:
        f.write(data[: len(data) // 2])
    with open(path("sheet.xls"), "rb") as f:
        data = f.read()
    with open(path("truncated.xls"), "wb") as f:
        f.write(data[:1024])
    with open(path("not-a-workbook.xls"), "wb") as f:
        f.write("Stranka;Datum\nABC;28.03.2014\n".encode())
    with open(path("empty-file.xlsx"), "wb") as f:
        pass
    # A compound file that holds an encrypted package: how Office saves a protected workbook.
    header = bytes.fromhex("D0CF11E0A1B11AE1") + bytes(504)
    with open(path("protected.xlsx"), "wb") as f:
        f.write(header + "EncryptedPackage".encode("utf-16-le") + bytes(446))


def demo_workbooks():
    """The demo site's trades to import for 28.03.2014, and the cancellation of the first of them
    to import after it was reported (demo/README.md)."""
    heading = ["Datum transakcije", "Čas transakcije", "Časovni pas", "Indikator nakupa/prodaje",
               "Trgovalna zmogljivost", "Identifikacija instrumenta ISIN", "Kratica VP",
               "Cena enote", "Zapis cene", "Valuta", "Količina", "Nasprotna stranka",
               "Oznaka nasprotne stranke", "Klient", "Oznaka klienta", "Identifikacija mesta",
               "Oznaka ident. mesta", "Razveljavitvena zastavica", "Referenčna št. transakcije"]
    day = datetime.date(2014, 3, 28)
    demf = [day, datetime.time(11, 20), "+01", "B", "A", "SI0031110198", "DEMF", 12.4, "U",
            "eur", 150, "XLJU", "MIC", "ALPFSI22", "BIC", "XLJU", "MIC", "", 101]
    trades = [
        demf,
        [day, datetime.time(14, 5, 30), "+01", "S", "P", "N", "FDAX0614", 9580.5, "U", "EUR", 2,
         "XEUR", "MIC", "DEMOSI22", "BIC", "XEUR", "MIC", "", 102],
        [day, datetime.time(14, 30), "+01", "B", "A", "XS0123456789", "NEZNAN", 101.2, "U",
         "EUR", 10, "KAPBSI22", "BIC", "ALPFSI22", "BIC", "OTC", "XOFF", "", 103],
        [day, datetime.time(15, 45), "+01", "S", "A", "SI0031110198", "DEMF", 12.55, "U", "EUR", 40, "XLJU",
         "MIC", "NOVAK01", "Internal", "XLJU", "MIC", "", 104],
    ]
    cancellation = [demf[:17] + ["C", 101]]
    demo = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "demo")
    for name, rows in (("uvoz-28.03.2014.xls", trades), ("storno-28.03.2014.xls", cancellation)):
        book = xlwt.Workbook(encoding="utf-8")
        ws = book.add_sheet("Transakcije")
        for c, h in enumerate(heading):
            ws.write(0, c, h)
        for r, values in enumerate(rows, start=1):
            for c, v in enumerate(values):
                if isinstance(v, datetime.date):
                    ws.write(r, c, v, date)
                elif isinstance(v, datetime.time):
                    ws.write(r, c, v, time)
                elif v != "":
                    ws.write(r, c, v)
        book.save(os.path.join(demo, name))


sheet_xls()
empty_xls()
bad_files()
demo_workbooks()
