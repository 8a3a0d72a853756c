#!/usr/bin/python3
"""Writes the table store's checked-in fixtures with python3-dbf (Debian).

tests/data/tablestore/SOLUC.DBF: a small solution table as Horalis leaves it,
dBase III, code page 1252, three records of which the second is deleted. The
damage tests corrupt copies of it one byte at a time.

Run from the source tree: /usr/bin/python3 tests/tablestore/make_fixtures.py
"""
import datetime
import os
import struct

import dbf

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, '..', 'data', 'tablestore', 'SOLUC.DBF')

SPEC = ('DIA N(1,0); HORA N(4,1); CODGRUPO C(10); ASIG C(10); TAREA C(10); PROF C(10); '
        'AULA C(10); SESIONES C(10); FIJADA L')
ROWS = [
    (1, 3, '1ESOA', 'MAT', 'LECT', 'ANA', 'A101', '11', True),
    (2, 2.5, '1ESOB', 'LEN', 'LECT', 'LUIS', 'A102', '1', False),
    (5, 6, '2BACHA', 'FIS', 'GUAR', 'EVA', 'LAB', '111', None),
]

table = dbf.Table(OUT, SPEC, dbf_type='db3', codepage='cp1252')
table.open(dbf.READ_WRITE)
for row in ROWS:
    table.append(row)
dbf.delete(table[1])
table.close()

# A fixed date, so that regenerating gives the same bytes.
with open(OUT, 'r+b') as f:
    f.seek(1)
    f.write(struct.pack('<3B', 126, 3, 15))
