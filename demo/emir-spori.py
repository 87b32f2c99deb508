#!/usr/bin/python3
"""Writes demo/spori-03.2014.xls, the demo's workbook of EMIR disputes (python3-xlwt)."""
import datetime
import os
import xlwt

book = xlwt.Workbook(encoding="utf-8")
sheet = book.add_sheet("Spori")
date = xlwt.easyxf(num_format_str="dd.mm.yyyy")
amount = xlwt.easyxf(num_format_str="#,##0.00")
heading = ["Stranka", "Nasprotna stranka", "Datum začetka spora", "Datum zaključka spora",
           "Vrednost", "Opombe"]
party = "Borznoposredniška hiša Demo d.d."
rows = [
    [party, "Zavarovalnica Triglav d.d.", datetime.date(2014, 3, 24), None, 15000.0,
     "vrednotenje obrestne zamenjave"],
    [party, "Nova Ljubljanska banka d.d.", datetime.date(2014, 3, 25),
     datetime.date(2014, 3, 28), -2750.25, "poravnano"],
    [party, "Petrol d.d.", datetime.date(2014, 3, 31), None, None, None],
]
for c, text in enumerate(heading):
    sheet.write(0, c, text)
for r, row in enumerate(rows, start=1):
    for c, value in enumerate(row):
        if value is None:
            continue
        if isinstance(value, datetime.date):
            sheet.write(r, c, value, date)
        elif isinstance(value, float):
            sheet.write(r, c, value, amount)
        else:
            sheet.write(r, c, value)
book.save(os.path.join(os.path.dirname(os.path.abspath(__file__)), "spori-03.2014.xls"))
