#!/usr/bin/python3
"""Prints the records of an xBase table as read by an independent reader, one line per
record, values separated by "|": NULL for None, 0x... for bytes, ISO dates, floats in %.10g,
CR and LF as \\r and \\n.

    dbf_read.py dbfread|dbf TABLE.dbf
"""
import datetime
import decimal
import sys


def text(value):
    # python3-dbf's Null (FoxPro 3.0 Null flags) is its own type.
    if value is None or type(value).__name__ == "NullType":
        return "NULL"
    if isinstance(value, bool):
        return "True" if value else "False"
    if isinstance(value, (bytes, bytearray)):
        return "0x" + bytes(value).hex()
    if isinstance(value, datetime.datetime):
        return value.strftime("%Y-%m-%d %H:%M:%S")
    if isinstance(value, datetime.date):
        return value.isoformat()
    if isinstance(value, (float, decimal.Decimal)):
        return "%.10g" % float(value)
    return str(value).replace("\r", "\\r").replace("\n", "\\n")


def main():
    reader, path = sys.argv[1], sys.argv[2]
    if reader == "dbfread":
        import dbfread
        table = dbfread.DBF(path, encoding=None, char_decode_errors="strict")
        # dbfread lists FoxPro 3.0's system field of Null flags among the others.
        names = [name for name in table.field_names if name != "_NullFlags"]
        print("|".join(names))
        for record in table:
            print("|".join(text(record[name]) for name in names))
    else:
        import dbf
        table = dbf.Table(path)
        table.open(dbf.READ_ONLY)
        print("|".join(table.field_names))
        for record in table:
            values = []
            for name in table.field_names:
                value = record[name]
                if isinstance(value, str):
                    value = value.rstrip(" ")
                values.append(text(value))
            print("|".join(values))
        table.close()


main()
