#!/usr/bin/python3
"""Smoke run of the benchmark at scale 1: bench/run goes through, and what it
measured was real work. No timing is asserted.

    tests/bench/smoke.py --build BUILD --work DIR

Runs `bench/run --scales 1 --runs 3`, then checks in DIR/scale-1:
- the exchange document and the result document are well formed (xmllint);
- the six Horalis tables and SOLUC are dBase tables, with the counts the
  generator promises (150 subjects less the one whose abrev equals its
  activity code, plus the lective row; 120 teachers; 60 rooms; 50 groups;
  an empty DIASHORAST; 12,000 SOLUC records);
- every code in SOLUC but the deliberately unknown ones is one the forward
  run wrote, so the generator's SOLUC matches `puente exportar`;
- the result document holds one dsolucion per placed SOLUC record whose
  subject is in ASIGNOMT, each translated back to the document's identifiers.
"""
import argparse
import os
import subprocess
import sys
import xml.etree.ElementTree as ET

import dbfread

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
        print("FALLO: " + message, file=sys.stderr)


def rows(directory, name):
    return list(dbfread.DBF(os.path.join(directory, name + ".DBF"), encoding="cp1252", char_decode_errors="strict"))


def well_formed(path):
    done = subprocess.run(["xmllint", "--noout", path], stderr=subprocess.PIPE)
    check(done.returncode == 0, "%s no es XML bien formado: %s" % (path, done.stderr.decode(errors="replace")[:500]))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--work", required=True)
    args = parser.parse_args()

    done = subprocess.run([os.path.join(ROOT, "bench", "run"), "--scales", "1", "--runs", "3",
                           "--build", args.build, "--work", args.work],
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    output = done.stdout.decode("utf-8", "replace")
    print(output)
    if done.returncode != 0:
        sys.exit("bench/run terminó con %d:\n%s" % (done.returncode, done.stderr.decode("utf-8", "replace")))
    lines = [" ".join(line.split()) for line in output.splitlines()]
    for run in ("puente exportar", "puente importar", "xmllint --noout"):
        check(any(line.startswith("| 1 | " + run + " |") for line in lines), "falta la fila «%s» en la tabla" % run)

    folder = os.path.join(args.work, "scale-1")
    htemp = os.path.join(folder, "HTEMP")
    document = os.path.join(folder, "centro.xml")
    result = os.path.join(folder, "ResultadoHoraliscentro.xml")
    well_formed(document)
    well_formed(result)

    tables = {name: rows(htemp, name) for name in ("ASIGNOMT", "PROFT", "AULAT", "GRUPOST", "DIASHORAST", "ASIGT")}
    soluc = rows(htemp, "SOLUC")
    expected = {"ASIGNOMT": 150 - 1 + 1, "PROFT": 120, "AULAT": 60, "GRUPOST": 50, "DIASHORAST": 0}
    for name, count in expected.items():
        check(len(tables[name]) == count, "%s tiene %d filas y deberían ser %d" % (name, len(tables[name]), count))
    check(2000 < len(tables["ASIGT"]) < 2500, "ASIGT tiene %d filas" % len(tables["ASIGT"]))
    check(len(soluc) == 12000, "SOLUC tiene %d registros y deberían ser 12000" % len(soluc))

    subjects = {}
    for r in tables["ASIGNOMT"]:
        subjects.setdefault(r["COD"], r["IDASIG"])
    groups = {}
    for r in tables["GRUPOST"]:
        groups.setdefault(r["ABREV"], (r["IDGRUPO"], r["CURSO"]))
    teachers = {}
    for r in tables["PROFT"]:
        teachers.setdefault(r["ABREV"], r["IDPROF"])
    rooms = {}
    for r in tables["AULAT"]:
        rooms.setdefault(r["ABREV"], r["IDAULA"])
    for name, key in (("ASIGNOMT", "COD"), ("PROFT", "ABREV"), ("AULAT", "ABREV"), ("GRUPOST", "ABREV")):
        codes = [r[key] for r in tables[name]]
        check(len(set(codes)) == len(codes), "%s tiene códigos repetidos" % name)

    unknown = [r for r in soluc if r["CODGRUPO"] not in groups or (r["PROF"] and r["PROF"] not in teachers)
               or (r["AULA"] and r["AULA"] not in rooms) or (r["ASIG"] not in subjects and r["ASIG"] != "BORRADA")]
    check(not unknown, "%d registros de SOLUC con códigos que exportar no escribió, p. ej. %s"
          % (len(unknown), unknown[:1]))

    expected_entries = []
    for r in soluc:
        if not r["DIA"] or not r["HORA"] or r["ASIG"] not in subjects:
            continue
        group = groups.get(r["CODGRUPO"], ("", ""))
        task = subjects.get(r["TAREA"], r["TAREA"])
        expected_entries.append({"casig": subjects[r["ASIG"]], "cgrupo": group[0], "cprofe": teachers.get(r["PROF"], ""),
                                 "caula": rooms.get(r["AULA"], ""), "cactiv": task, "dia": str(r["DIA"]),
                                 "hora": str(r["HORA"]), "sesiones": r["SESIONES"], "idcurso": group[1]})
    root = ET.parse(result).getroot()
    check(root.tag == "centro", "la raíz del resultado es %s" % root.tag)
    entries = [e.attrib for e in root.iter("dsolucion")]
    check(len(entries) == len(expected_entries),
          "el resultado tiene %d dsolucion y deberían ser %d" % (len(entries), len(expected_entries)))
    mismatches = [(a, b) for a, b in zip(entries, expected_entries) if a != b]
    check(not mismatches, "%d dsolucion no son la traducción de su registro, p. ej. %s"
          % (len(mismatches), mismatches[:1]))
    check(10000 < len(entries) < 12000, "%d dsolucion" % len(entries))

    ids = {e.get("codigo") for e in ET.parse(document).getroot().iter()}
    check(all(e["casig"] in ids or e["casig"] == "LECT" for e in entries), "casig que no está en el documento")

    if failures:
        sys.exit("%d comprobaciones fallaron" % len(failures))
    print("bench smoke: correcto (%d filas en ASIGT, %d dsolucion)" % (len(tables["ASIGT"]), len(entries)))


if __name__ == "__main__":
    main()
