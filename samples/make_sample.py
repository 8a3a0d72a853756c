#!/usr/bin/python3
"""Writes samples/centro.xml: the exchange document of a realistic Spanish
secondary school, encoded ISO-8859-1, with a few of each special case:
repeated abbreviations, subjects without abbreviation, a subject whose abrev
equals its activity code, rooms without capacity, tutors, an assignment to an
unknown group, lective assignments. Deterministic: the same file every time.

    /usr/bin/python3 samples/make_sample.py samples/centro.xml
"""
import random
import sys
from xml.sax.saxutils import quoteattr

rng = random.Random(2026)

SUBJECTS = [
    ("MAT", "Matemáticas"), ("LCL", "Lengua Castellana y Literatura"), ("ING", "Inglés"),
    ("FRA", "Francés"), ("BYG", "Biología y Geología"), ("FYQ", "Física y Química"),
    ("GEH", "Geografía e Historia"), ("EF", "Educación Física"), ("MUS", "Música"),
    ("EPV", "Educación Plástica, Visual y Audiovisual"), ("TEC", "Tecnología"),
    ("REL", "Religión"), ("VAL", "Valores Éticos"), ("LAT", "Latín"), ("GRI", "Griego"),
    ("ECO", "Economía"), ("FIL", "Filosofía"), ("HES", "Historia de España"),
    ("DIB", "Dibujo Técnico"), ("QUI", "Química"), ("FIS", "Física"), ("BIO", "Biología"),
    ("", "Ciencias de la Tierra y del Medio Ambiente"), ("", "Tecnología de la Información y la Comunicación"),
    ("MAT", "Matemáticas Aplicadas a las Ciencias Sociales"), ("MAT", "Matemáticas Académicas"),
    ("ING", "Inglés Avanzado"), ("CUC", "Cultura Clásica"), ("CCI", "Cultura Científica"),
    ("PSI", "Psicología"), ("", "Economía de la Empresa"), ("GEO", "Geografía"),
    ("HAR", "Historia del Arte"), ("ALE", "Alemán"), ("TIN", "Tecnología Industrial"),
    ("ANA", "Anatomía Aplicada"), ("EDUCACIONFISICA", "Educación Física y Deportes"),
    ("IAE", "Iniciación a la Actividad Emprendedora"), ("", "Oratoria"),
    ("TUT", "Tutoría"),  # abrev equals its activity code: no row
]
FIRST = ["María", "José", "Ana", "Juan", "Lucía", "Javier", "Carmen", "Íñigo", "Pilar", "Sergio",
         "Begoña", "Óscar", "Nuria", "Raúl", "Elena", "Álvaro", "Marta", "Andrés", "Rocío", "Jesús"]
LAST = ["García", "Martínez", "López", "Sánchez", "Pérez", "Gómez", "Martín", "Jiménez", "Ruiz",
        "Hernández", "Díaz", "Moreno", "Muñoz", "Álvarez", "Romero", "Alonso", "Gutiérrez", "Navarro",
        "Torres", "Domínguez", "Vázquez", "Ramos", "Gil", "Ramírez", "Serrano", "Blanco", "Suárez", "Peña"]
DEPARTMENTS = ["Matemáticas", "Lengua Castellana", "Inglés", "Ciencias Naturales", "Física y Química",
               "Geografía e Historia", "Educación Física", "Música", "Dibujo", "Tecnología", "Filosofía",
               "Clásicas", "Economía", "Francés"]
ROOMS = [("Aula 1", "30"), ("Aula 2", "30"), ("Aula 3", "28"), ("Aula 12", "32"),
         ("Aula de Informática", "24"), ("Aula de Informática", "20"), ("Laboratorio", "24"),
         ("Laboratorio de Física", ""), ("Gimnasio", ""), ("Sala de Usos Múltiples", "60"),
         ("Aula de Música", "30"), ("Aula de Dibujo", "25"), ("Taller de Tecnología", "24"),
         ("Biblioteca", ""), ("Aula de Idiomas", "18")]
GROUPS = [("1ESO A", "ESO", "1"), ("1ESO B", "ESO", "1"), ("1ESO C", "ESO", "1"),
          ("2ESO A", "ESO", "2"), ("2ESO B", "ESO", "2"), ("3ESO A", "ESO", "3"),
          ("3ESO B", "ESO", "3"), ("4ESO A", "ESO", "4"), ("4ESO B", "ESO", "4"),
          ("1BACH A", "BACH", "1"), ("2BACH A", "BACH", "2"), ("1BACH A", "BACH", "1")]


def attrs(**kw):
    return " ".join("%s=%s" % (k, quoteattr(v)) for k, v in kw.items())


def main(path):
    out = ['<?xml version="1.0" encoding="ISO-8859-1"?>',
           "<!-- Documento de intercambio de ZELTA: IES Ejemplo (datos ficticios) -->",
           '<centro %s>' % attrs(codigo_interno="28099999", nombre="IES Ejemplo de Alcalá",
                                 curso="2026/2027", version="2.1")]
    out.append("  <materias>")
    subject_ids = []
    for i, (abrev, name) in enumerate(SUBJECTS, 1):
        code = "MAT%03d" % i
        activity = "TUT" if abrev == "TUT" else "DOC%02d" % (i % 7)
        level = "BACH" if i % 3 == 0 else "ESO"
        out.append("    <dmaterias %s/>" % attrs(abrev=abrev, nombre=name, codigo_actividad=activity,
                                                  denivel=level, decurso=str(1 + i % 4), codigo=code))
        subject_ids.append(code)
    out.append("  </materias>")

    out.append("  <profesores>")
    teacher_ids = []
    for i in range(1, 31):
        first, last1, last2 = rng.choice(FIRST), rng.choice(LAST), rng.choice(LAST)
        abrev = (first[0] + last1[:2]).upper()
        if i in (7, 19):
            abrev = "PGR"  # repeated abbreviation
        if i == 23:
            abrev = ""
        code = "PROF%03d" % i
        out.append("    <profesor %s/>" % attrs(abrev=abrev, nombre=first, apellido1=last1,
                                                 apellido2="" if i == 11 else last2,
                                                 departamen=rng.choice(DEPARTMENTS),
                                                 documento="%08d%s" % (rng.randrange(10**7, 10**8), "TRWAGMYFPDXBNJZSQVHLCKE"[i % 23]),
                                                 codigo=code))
        teacher_ids.append(code)
    out.append("  </profesores>")

    out.append("  <aulas>")
    for i, (name, capacity) in enumerate(ROOMS, 1):
        out.append("    <daula %s/>" % attrs(nombre=name, capacidad_alumnos=capacity, codigo="AULA%02d" % i))
    out.append("  </aulas>")

    out.append("  <grupos>")
    group_ids = []
    for i, (name, level, course) in enumerate(GROUPS, 1):
        code = "GRP%02d" % i
        tutor = teacher_ids[i * 2] if i != 5 else "PROF999"  # one tutor that is no teacher
        out.append("    <dgrupo %s/>" % attrs(nombre=name, codigo_nivel=level, turno="T" if i == 11 else "M",
                                               curso=course, codigo_tutor=tutor, codigo=code))
        group_ids.append(code)
    out.append("  </grupos>")

    out.append("  <asignaturas>")
    for i in range(200):
        group = group_ids[i % len(group_ids)]
        if i == 17:
            group = "GRP99"  # unknown group
        subject = rng.choice(subject_ids[:-1])
        if i % 25 == 3:
            subject = "LECT"  # lective teaching
        # Whole hours only: fractional hours are read with the user's decimal
        # separator, and the sample must convert the same on every system.
        hours = rng.choice(["1", "2", "3", "4", "5"]) if i != 40 else "15"
        out.append("    <dasignatura %s/>" % attrs(cgrupo=group, casig=subject, cprofe=rng.choice(teacher_ids),
                                                    nhoras=hours))
    out.append("  </asignaturas>")
    out.append("</centro>")
    with open(path, "w", encoding="iso-8859-1", newline="\r\n") as f:
        f.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main(sys.argv[1])
