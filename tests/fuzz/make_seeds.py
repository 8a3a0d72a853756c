#!/usr/bin/python3
"""Writes the generated part of the fuzz seed corpus: small dBase tables laid
out byte by byte (independently of the engine), covering the levels, field
types and code pages the engine reads, and SOLUC tables whose codes are those
that the forward run gives tests/data/forward/small.xml.

Run from the source tree: /usr/bin/python3 tests/fuzz/make_seeds.py
The documents of corpus/document are written by hand or copied from
tests/data; inputs that once made a target fail are kept beside the seeds
under the name crash-<what>.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def dbf3(fields, records, ldid=0x58, version=0x03, count=None):
    """fields: (name, type, width, decimals); records: bytes with the flag."""
    header_length = 32 + 32 * len(fields) + 1
    record_length = 1 + sum(f[2] for f in fields)
    n = len(records) if count is None else count
    out = struct.pack('<B3BIHH', version, 126, 1, 15, n, header_length, record_length)
    out += bytes(17) + bytes([ldid]) + bytes(2)
    for name, typ, width, dec in fields:
        out += name.encode('ascii').ljust(11, b'\0') + typ.encode('ascii') + bytes(4)
        out += bytes([width, dec]) + bytes(14)
    out += b'\r'
    for r in records:
        assert len(r) == record_length, (r, record_length)
        out += r
    return out + b'\x1a'


def dbf7(fields, records, driver=b'DBWINUS0'):
    header_length = 68 + 48 * len(fields) + 1
    record_length = 1 + sum(f[2] for f in fields)
    out = struct.pack('<B3BIHH', 0x04, 126, 1, 15, len(records), header_length, record_length)
    out += bytes(20)
    out += driver.ljust(32, b'\0') + bytes(4)
    for name, typ, width, dec in fields:
        out += name.encode('ascii').ljust(32, b'\0') + typ.encode('ascii') + bytes([width, dec])
        out += bytes(13)
    out += b'\r'
    for r in records:
        assert len(r) == record_length
        out += r
    return out + b'\x1a'


def rec(*values, deleted=False):
    return (b'*' if deleted else b' ') + b''.join(values)


def c(text, width, enc='cp1252'):
    return text.encode(enc).ljust(width, b' ')


def n(value, width):
    return str(value).rjust(width).encode('ascii')


def i4(v):
    return struct.pack('>I', (v ^ 0x80000000) & 0xFFFFFFFF)


def o8(v):
    bits = struct.unpack('>Q', struct.pack('>d', v))[0]
    bits = bits | 0x8000000000000000 if v >= 0 else ~bits & 0xFFFFFFFFFFFFFFFF
    return struct.pack('>Q', bits)


SOLUC = [('DIA', 'N', 1, 0), ('HORA', 'N', 4, 1), ('SESIONES', 'C', 10, 0), ('CODGRUPO', 'C', 10, 0),
         ('ASIG', 'C', 10, 0), ('TAREA', 'C', 10, 0), ('PROF', 'C', 10, 0), ('AULA', 'C', 10, 0)]


def soluc_row(dia, hora, ses, grupo, asig, tarea, prof, aula, deleted=False):
    return rec(n(dia, 1) if dia is not None else b' ', n(hora, 4) if hora is not None else b'    ',
               c(ses, 10), c(grupo, 10), c(asig, 10), c(tarea, 10), c(prof, 10), c(aula, 10), deleted=deleted)


def soluc_seeds():
    return {
        'soluc-small.dbf': dbf3(SOLUC, [
            soluc_row(1, 1, '1', 'M1ESOA', 'MAT', 'LECT', 'PGR', 'AdI'),
            soluc_row(0, 3, '1', 'M1ESOA', 'MAT', '', 'PGR', 'AdI'),
            soluc_row(3, 2.5, '11', 'M1ESOB', 'LCyL', 'TXX', 'ANA', 'Laborato'),
            soluc_row(4, 5, '1', 'XXX', 'mat', '', '', '', deleted=True),
            soluc_row(None, None, '', '', '', '', '', ''),
        ]),
        'soluc-empty.dbf': dbf3(SOLUC, []),
        'soluc-level7.dbf': dbf7([('DIA', 'I', 4, 0), ('HORA', 'O', 8, 0), ('SESIONES', 'C', 10, 0),
                                  ('CODGRUPO', 'C', 10, 0), ('ASIG', 'C', 10, 0), ('TAREA', 'C', 10, 0),
                                  ('PROF', 'C', 10, 0), ('AULA', 'C', 10, 0)], [
            rec(i4(2), o8(3.0), c('1', 10), c('M1ESOA', 10), c('MAT', 10), c('LECT', 10), c('PGR', 10),
                c('AdI', 10)),
            rec(i4(5), o8(6.5), c('111', 10), c('M1ESOB', 10), c('LCyL', 10), c('', 10), c('ANA', 10),
                c('Laborato', 10)),
        ]),
        'soluc-text-numbers.dbf': dbf3([('DIA', 'C', 3, 0), ('HORA', 'F', 6, 2), ('SESIONES', 'C', 5, 0),
                                        ('CODGRUPO', 'C', 8, 0), ('ASIG', 'C', 8, 0), ('TAREA', 'C', 8, 0),
                                        ('PROF', 'C', 8, 0), ('AULA', 'C', 8, 0), ('MARCA', 'L', 1, 0)], [
            rec(c('2', 3), n('1.50', 6), c('1', 5), c('M1ESOA', 8), c('MAT', 8), c('LECT', 8), c('PGR', 8),
                c('AdI', 8), b'T'),
            rec(c('x', 3), n('*****', 6), c('', 5), c('M1ESOB', 8), c('LCyL', 8), c('', 8), c('ANA', 8),
                c('', 8), b'?'),
        ]),
    }


def table_seeds():
    fields = [('TEXTO', 'C', 12, 0), ('ENTERO', 'N', 11, 0), ('REAL', 'N', 20, 4), ('FLOTA', 'F', 10, 3),
              ('LOGICO', 'L', 1, 0), ('FECHA', 'D', 8, 0), ('MEMO', 'M', 10, 0)]
    rows = [
        rec(c('Núñez', 12), n(-2147483648, 11), n('3.2500', 20), n('-0.125', 10), b'T', b'20260115', c('', 10)),
        rec(c('', 12), n('', 11), n('', 20), n('', 10), b' ', b'        ', c('', 10)),
        rec(c('borrado', 12), n(7, 11), n('7.0000', 20), n('7.000', 10), b'F', b'00000000', c('1', 10),
            deleted=True),
        rec(c('Núñez', 12), n(99999999999, 11), n('1.5E+300', 20), n('1e-5', 10), b'y', b'19991231', c('', 10)),
    ]
    seeds = {
        'level3-all-types.dbf': dbf3(fields, rows),
        'level3-cp437.dbf': dbf3(fields[:2], [rec(c('Ñandú', 12, 'cp437'), n(1, 11))], ldid=0x01),
        'level3-cp866.dbf': dbf3(fields[:2], [rec(c('Привет', 12, 'cp866'), n(2, 11))], ldid=0x65),
        'level3-memo-flag.dbf': dbf3(fields[:1], [rec(c('a', 12))], version=0x83),
        'level3-count-too-large.dbf': dbf3(fields[:2], [rec(c('a', 12), n(1, 11))], count=1000),
        'level7-binary-types.dbf': dbf7([('ID', 'I', 4, 0), ('AUTO', '+', 4, 0), ('DOBLE', 'O', 8, 0),
                                         ('MARCA', '@', 8, 0), ('NOMBRE', 'C', 8, 0)], [
            rec(i4(1), i4(-1), o8(43.65), bytes.fromhex('42CC418BA99A0000'), c('uno', 8)),
            rec(bytes(4), bytes(4), bytes(8), bytes(8), c('', 8)),
            rec(i4(2), i4(3), o8(-199.99), bytes(8), c('dos', 8), deleted=True),
        ], driver=b'DB850ES0'),
    }
    seeds.update(soluc_seeds())
    return seeds


def write(folder, files):
    os.makedirs(folder, exist_ok=True)
    for name, data in files.items():
        with open(os.path.join(folder, name), 'wb') as f:
            f.write(data)


write(os.path.join(HERE, 'corpus', 'table'), table_seeds())
write(os.path.join(HERE, 'corpus', 'soluc'), soluc_seeds())
