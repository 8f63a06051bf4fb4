#!/usr/bin/python3
"""Writes the sample table of the Excel interoperability tests as CSV (UTF-8), for other
programs (ssconvert, LibreOffice) to turn into workbooks that the driver then reads.

usage: make_others.py OUT.csv"""
import csv
import sys

ROWS = [
    ["Id", "Name", "Born", "Score", "Active"],
    [1, "Zoë", "1970-03-01", 2.5, "TRUE"],
    [2, "O'Brien, Ann", "1999-12-31", -7, "FALSE"],
    [3, "Ünïcode ✓", "2024-02-29", 1e6, "TRUE"],
]

with open(sys.argv[1], "w", newline="", encoding="utf-8") as out:
    writer = csv.writer(out)
    for row in ROWS:
        writer.writerow(row)
