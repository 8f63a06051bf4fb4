#!/usr/bin/python3
"""Prints what xlrd (an independent reader) finds in a workbook, one line per item:

  biff <version>
  sheet <name>
  <row> <col> <kind> <value> [bold]

kind: text, number, date (with the date as xlrd converts it), bool, error; "bold" when the
cell's font is bold."""
import sys

import xlrd

book = xlrd.open_workbook(sys.argv[1], formatting_info=True)
print("biff", book.biff_version)
for sheet in book.sheets():
    print("sheet", sheet.name)
    for row in range(sheet.nrows):
        for col in range(sheet.ncols):
            cell = sheet.cell(row, col)
            if cell.ctype == xlrd.XL_CELL_EMPTY or cell.ctype == xlrd.XL_CELL_BLANK:
                continue
            if cell.ctype == xlrd.XL_CELL_TEXT:
                kind, value = "text", cell.value
            elif cell.ctype == xlrd.XL_CELL_NUMBER:
                kind, value = "number", repr(cell.value)
            elif cell.ctype == xlrd.XL_CELL_DATE:
                kind = "date"
                value = "%04d-%02d-%02d %02d:%02d:%02d" % xlrd.xldate_as_tuple(cell.value, book.datemode)
            elif cell.ctype == xlrd.XL_CELL_BOOLEAN:
                kind, value = "bool", str(bool(cell.value))
            else:
                kind, value = "error", str(cell.value)
            font = book.font_list[book.xf_list[cell.xf_index].font_index]
            line = "%d %d %s %s" % (row, col, kind, value)
            if font.bold:
                line += " bold"
            print(line)
