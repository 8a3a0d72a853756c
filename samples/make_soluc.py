#!/usr/bin/python3
"""Writes samples/SOLUC.DBF: a timetable as Horalis leaves it, made for the
codes that the forward conversion of samples/centro.xml gives. Reads the
tables of a working directory where `puente exportar samples/centro.xml` has
run, and writes a dBase III SOLUC with python3-dbf: numeric DIA and HORA,
character codes, one extra field, a few lessons left unplaced (day 0) and one
deleted record. Deterministic.

    build/bin/puente exportar samples/centro.xml --htemp /tmp/h
    /usr/bin/python3 samples/make_soluc.py /tmp/h samples/SOLUC.DBF
"""
import os
import random
import sys

import dbf
import dbfread


def rows(directory, name):
    return list(dbfread.DBF(os.path.join(directory, name + ".DBF"), encoding="cp1252"))


def main(directory, out):
    rng = random.Random(7)
    rooms = [r["ABREV"] for r in rows(directory, "AULAT")]
    table = dbf.Table(out, "DIA N(1,0); HORA N(2,0); SESIONES C(20); CODGRUPO C(10); ASIG C(10); "
                           "TAREA C(10); PROF C(10); AULA C(10); MARCO C(1)",
                      dbf_type="db3", codepage="cp1252")
    table.open(dbf.READ_WRITE)
    slot = 0
    for a in rows(directory, "ASIGT"):
        for _ in range(int(a["HORAS"])):
            placed = rng.random() > 0.03
            day, hour = (1 + slot % 5, 1 + (slot // 5) % 6) if placed else (0, 0)
            slot += 1
            table.append((day, hour, "1", a["CGRUP"], a["CASIG"], "LECT", a["CPROF"],
                          rng.choice(rooms), "0"))
    # A lesson of a subject that the document no longer has: no entry.
    table.append((2, 3, "1", a["CGRUP"], "BORRADA", "LECT", "", "", "0"))
    with table[3] as record:
        dbf.delete(record)
    table.close()


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
