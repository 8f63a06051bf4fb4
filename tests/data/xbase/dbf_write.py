#!/usr/bin/python3
"""Writes the tables our reader is tested on with an independent writer (python3-dbf):
t_db3 (dBASE III with a .dbt memo), t_fp (FoxPro 2 with an .fpt memo, F and G fields),
t_vfp (FoxPro 3.0 / Visual FoxPro: I, Y, T, B fields), each with two records, the second
one deleted, then a third.

    dbf_write.py FOLDER
"""
import datetime
import os
import sys

import dbf

folder = sys.argv[1]
specs = {
    "db3": "name C(20); qty N(5,0); price N(10,2); born D; ok L; note M",
    "fp": "name C(20); qty N(5,0); price N(10,2); born D; ok L; note M; amt F(12,3); pic G",
    "vfp": "name C(20); qty I; price Y; born T; ok L; note M; amt B",
}
first = {
    "db3": ("Zo\u00eb O'Brien \"x\"", 5, 12.25, datetime.date(2001, 2, 3), True, "a\r\nb"),
    "fp": ("Zo\u00eb O'Brien \"x\"", 5, 12.25, datetime.date(2001, 2, 3), True, "a\r\nb",
           1.5, b"\x00\x01\xff"),
    "vfp": ("Zo\u00eb O'Brien \"x\"", 5, 12.25, datetime.datetime(2001, 2, 3, 4, 5, 6), True,
            "a\r\nb", 1.5),
}
for kind, spec in specs.items():
    table = dbf.Table(os.path.join(folder, "t_" + kind), spec, dbf_type=kind, codepage="cp1252")
    table.open(dbf.READ_WRITE)
    table.append(first[kind])
    table.append(first[kind])
    dbf.delete(table[1])
    third = list(first[kind])
    third[0] = "third"
    third[1] = -7
    third[4] = False
    third[5] = "\u00e9t\u00e9"
    table.append(tuple(third))
    table.close()
