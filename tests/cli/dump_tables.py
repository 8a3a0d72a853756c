#!/usr/bin/python3
"""Prints the six Horalis tables of a working directory as text, read with
python3-dbfread (an independent reader): for each table its name, its fields
as NAME:TYPE:WIDTH:DECIMALS, then one line per record, values joined by '|'.
Numbers in the general format (3, 2.5), logicals T/F, blanks empty.

    /usr/bin/python3 tests/cli/dump_tables.py WORKDIR
"""
import os
import sys

import dbfread

TABLES = ["ASIGNOMT", "PROFT", "AULAT", "GRUPOST", "DIASHORAST", "ASIGT"]


def text(value):
    if value is None:
        return ""
    if isinstance(value, bool):
        return "T" if value else "F"
    if isinstance(value, float):
        return ("%.15g" % value)
    return str(value)


def main(directory):
    out = []
    for name in TABLES:
        table = dbfread.DBF(os.path.join(directory, name + ".DBF"), encoding="cp1252")
        out.append("== " + name)
        out.append(" ".join("%s:%s:%d:%d" % (f.name, f.type, f.length, f.decimal_count) for f in table.fields))
        for record in table:
            out.append("|".join(text(v) for v in record.values()))
    sys.stdout.buffer.write(("\n".join(out) + "\n").encode("utf-8"))


if __name__ == "__main__":
    main(sys.argv[1])
