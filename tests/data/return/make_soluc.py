#!/usr/bin/python3
"""Writes soluc_dbase3.dbf: a SOLUC table as a dBase program writes it
(numeric DIA and HORA, character codes, extra fields, a deleted record, empty
fields), made with python3-dbf so that the engine reads a file it did not
write. Codes match the tables that tests/data/forward/small.xml converts to.

    /usr/bin/python3 tests/data/return/make_soluc.py tests/data/return/soluc_dbase3.dbf
"""
import sys

import dbf

path = sys.argv[1]
table = dbf.Table(
    path,
    "DIA N(1,0); HORA N(2,0); SESIONES C(20); CODGRUPO C(10); ASIG C(10); TAREA C(10); "
    "PROF C(10); AULA C(10); MARCA L; NOTA C(30)",
    dbf_type="db3",
    codepage="cp1252",
)
table.open(dbf.READ_WRITE)
rows = [
    # DIA HORA SESIONES CODGRUPO  ASIG    TAREA   PROF   AULA       MARCA  NOTA
    (1, 1, "1", "M1ESOA", "MAT", "LECT", "PGR", "AdI", True, "primera"),
    (0, 3, "1", "M1ESOA", "MAT", "", "PGR", "AdI", False, "sin día"),
    (2, 0, "1", "M1ESOA", "MAT", "", "PGR", "AdI", False, "sin hora"),
    (None, None, "", "", "", "", "", "", None, "vacía"),
    (3, 3, "11", "M1ESOA", "MAT", "", "PGR", "AdI", False, "borrada"),
    (3, 2, "1", "XXX", "LCyL", "", "", "", False, "grupo desconocido"),
    (4, 5, "1", "M1ESOB", "mat", "", "ANA", "AdI", False, "materia en minúsculas"),
    (5, 6, "111", "M1ESOB", "LCyL", "TXX", "ANA", "Laborato", True, "tarea desconocida"),
]
for row in rows:
    table.append(row)
with table[4] as record:
    dbf.delete(record)
table.close()
