#!/usr/bin/env python3
"""Checks that every #include of the libraries runs down the layers.

A source file may include headers of its own folder and of the folders below it in the
order listed in LAYERS; a folder not listed may not be included from the libraries at
all. The build links the layers in the same order, so a call that runs upwards fails to
link; this check also catches an upward include of a header with inline code only.

Usage: check_layers.py SOURCE_DIR   (prints every offending include; exit status 1 if any)
"""
import os
import re
import sys

# Bottom to top. Driver folders share one rank, so one driver cannot use another.
LAYERS = [
    ("propertybag", 0),
    ("export/common", 1),
    ("export/data", 2),
    ("export/data/sqlite", 3), ("export/data/odbc", 3), ("export/data/jet", 3),
    ("export/data/xbase", 3), ("export/data/paradox", 3), ("export/data/excel", 3),
    ("export/data/lotus", 3),
    ("export/data/dbengine", 4),
    ("export/settings", 5),
    ("export/engine", 6),
    ("export/wizard", 7),
    ("export/control", 8),
    ("export/common/ui", 10),
    ("export/data/ui", 11),
    ("export/engine/ui", 12),
    ("export/settings/ui", 13),
    ("export/wizard/ui", 14),
    ("export/control/ui", 15),
    ("export/control/plugin", 16),
]
RANK = dict(LAYERS)
# The text box is a library of its own: it may use the property bags, nothing of export.
SEPARATE = {"textbox": {"textbox", "propertybag"}, "textbox/plugin": {"textbox", "propertybag"}}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def folder_of(path):
    return os.path.dirname(path)


def check(source_dir):
    problems = []
    roots = ["propertybag", "export", "textbox"]
    for root in roots:
        for dirpath, _, files in os.walk(os.path.join(source_dir, root)):
            for name in files:
                if not name.endswith((".h", ".cpp")):
                    continue
                path = os.path.relpath(os.path.join(dirpath, name), source_dir)
                here = folder_of(path)
                with open(os.path.join(source_dir, path), encoding="utf-8") as text:
                    for number, line in enumerate(text, 1):
                        match = INCLUDE.match(line)
                        if not match:
                            continue
                        target = folder_of(match.group(1))
                        if not target or target == here:
                            continue
                        if here in SEPARATE or here.startswith("textbox"):
                            allowed = SEPARATE.get(here, {"textbox", "propertybag"})
                            ok = target in allowed
                        elif here not in RANK:
                            ok = False
                        else:
                            ok = target in RANK and RANK[target] < RANK[here]
                        if not ok:
                            problems.append(f"{path}:{number}: includes {match.group(1)}")
    return problems


def main():
    problems = check(sys.argv[1] if len(sys.argv) > 1 else ".")
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
