// puente-make-school: a synthetic school at a given scale, for the benchmark.
//
//   puente-make-school --scale N [--seed S] OUTDIR
//
// Writes OUTDIR/centro.xml, the exchange document of a very large school
// multiplied by N (150 subjects, 120 teachers, 60 rooms, 50 groups and 2,500
// teaching assignments at scale 1), encoded ISO-8859-1 with accented names,
// some repeated abbreviations, subjects without abbreviation, one subject
// whose abrev equals its activity code, rooms without capacity, unknown
// tutors, groups and teachers, and lective assignments.
//
// Then it runs the forward conversion itself on that document, in a
// temporary working directory, and writes OUTDIR/SOLUC.DBF with our engine:
// 12,000 x N timetable records made from the ASIGT rows the conversion
// wrote, so every code in SOLUC is one that `puente exportar` gives for the
// document. A few records are left unplaced (day 0), name an unknown subject
// or task, or carry no teacher or room. The same scale and seed give the
// same document and the same records (the table header keeps today's date).
#include "common/Error.h"
#include "forward/ForwardRun.h"
#include "tablestore/Table.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Counts at scale 1.
constexpr int kSubjects = 150;
constexpr int kTeachers = 120;
constexpr int kRooms = 60;
constexpr int kGroups = 50;
constexpr int kAssignments = 2500;
constexpr int kSolucRecords = 12000;

// SplitMix64: the same numbers on every platform and compiler.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int Below(int n) { return int(Next() % std::uint64_t(n)); }
    // True with probability per / 1000.
    bool Chance(int perMille) { return Below(1000) < perMille; }
    template <typename T>
    const T& Pick(const QList<T>& list) {
        return list[Below(int(list.size()))];
    }

private:
    std::uint64_t state_;
};

struct Subject {
    const char* abrev;
    const char* nombre;
};

const QList<Subject> kSubjectNames = {
    {"MAT", "Matemáticas"},
    {"LCL", "Lengua Castellana y Literatura"},
    {"ING", "Inglés"},
    {"FRA", "Francés"},
    {"BYG", "Biología y Geología"},
    {"FYQ", "Física y Química"},
    {"GEH", "Geografía e Historia"},
    {"EF", "Educación Física"},
    {"MUS", "Música"},
    {"EPV", "Educación Plástica, Visual y Audiovisual"},
    {"TEC", "Tecnología"},
    {"REL", "Religión"},
    {"VAL", "Valores Éticos"},
    {"LAT", "Latín"},
    {"GRI", "Griego"},
    {"ECO", "Economía"},
    {"FIL", "Filosofía"},
    {"HES", "Historia de España"},
    {"DIB", "Dibujo Técnico"},
    {"QUI", "Química"},
    {"FIS", "Física"},
    {"BIO", "Biología"},
    {"CTM", "Ciencias de la Tierra y del Medio Ambiente"},
    {"TIC", "Tecnología de la Información y la Comunicación"},
    {"CUC", "Cultura Clásica"},
    {"CCI", "Cultura Científica"},
    {"PSI", "Psicología"},
    {"EMP", "Economía de la Empresa"},
    {"GEO", "Geografía"},
    {"HAR", "Historia del Arte"},
    {"ALE", "Alemán"},
    {"TIN", "Tecnología Industrial"},
    {"ANA", "Anatomía Aplicada"},
    {"IAE", "Iniciación a la Actividad Emprendedora"},
    {"ORA", "Oratoria"},
    {"ROB", "Robótica y Programación"},
    {"ART", "Artes Escénicas y Danza"},
    {"FOL", "Formación y Orientación Laboral"},
    {"CAT", "Català"},
    {"GAL", "Galego"},
};
const QList<QString> kLevels = {"ESO", "BACH", "FPB"};
const QList<QString> kFirst = {"María", "José",   "Ana",    "Juan",  "Lucía",   "Javier", "Carmen", "Íñigo",
                               "Pilar", "Sergio", "Begoña", "Óscar", "Nuria",   "Raúl",   "Elena",  "Álvaro",
                               "Marta", "Andrés", "Rocío",  "Jesús", "Ángeles", "Maite",  "Chus",   "Ainhoa"};
const QList<QString> kLast = {"García",  "Martínez", "López",     "Sánchez", "Pérez",  "Gómez",     "Martín",
                              "Jiménez", "Ruiz",     "Hernández", "Díaz",    "Moreno", "Muñoz",     "Álvarez",
                              "Romero",  "Alonso",   "Gutiérrez", "Navarro", "Torres", "Domínguez", "Vázquez",
                              "Ramos",   "Gil",      "Ramírez",   "Serrano", "Blanco", "Suárez",    "Peña",
                              "Ibáñez",  "Núñez",    "O'Neill"};
const QList<QString> kDepartments = {"Matemáticas",      "Lengua Castellana",
                                     "Inglés",           "Ciencias Naturales",
                                     "Física y Química", "Geografía e Historia",
                                     "Educación Física", "Música",
                                     "Dibujo",           "Tecnología",
                                     "Filosofía",        "Clásicas",
                                     "Economía",         "Francés",
                                     "Orientación",      "Formación & Orientación Laboral"};
const QList<QString> kRoomKinds = {"Aula",
                                   "Aula de Informática",
                                   "Laboratorio de Física",
                                   "Laboratorio",
                                   "Taller de Tecnología",
                                   "Aula de Música",
                                   "Aula de Dibujo",
                                   "Gimnasio",
                                   "Sala de Usos Múltiples",
                                   "Aula de Idiomas",
                                   "Biblioteca",
                                   "Aula Ñandú & Cía"};

QByteArray Escaped(const QString& value) {
    QByteArray out;
    for (const QChar c : value) {
        switch (c.unicode()) {
        case u'&': out += "&amp;"; break;
        case u'<': out += "&lt;"; break;
        case u'>': out += "&gt;"; break;
        case u'"': out += "&quot;"; break;
        default:
            if (c.unicode() > 0xFF)
                out += "&#" + QByteArray::number(c.unicode()) + ';';
            else
                out += char(c.unicode());  // ISO-8859-1
        }
    }
    return out;
}

// One element on a line of its own: <name a="v" .../>
class Line {
public:
    Line(QByteArray& out, const char* indent, const char* name) : out_(out) {
        out_ += indent;
        out_ += '<';
        out_ += name;
    }
    Line& operator()(const char* attribute, const QString& value) {
        out_ += ' ';
        out_ += attribute;
        out_ += "=\"";
        out_ += Escaped(value);
        out_ += '"';
        return *this;
    }
    ~Line() { out_ += "/>\n"; }

private:
    QByteArray& out_;
};

QString Id(char letter, int n) { return QString("%1%2").arg(QChar(letter)).arg(n, 6, 10, QChar(u'0')); }

struct Ids {
    QStringList subjects, teachers, groups;
};

void WriteSubjects(QByteArray& out, Random& rng, int count, Ids& ids) {
    out += "  <materias>\n";
    QStringList given;
    for (int i = 0; i < count; ++i) {
        const Subject& s = kSubjectNames[i % kSubjectNames.size()];
        const int round = i / int(kSubjectNames.size());
        const QString level = kLevels[round % kLevels.size()];
        const int course = 1 + (round / int(kLevels.size())) % 4;
        const int series = round / (int(kLevels.size()) * 4);
        QString nombre = QString("%1 %2º %3").arg(QString::fromUtf8(s.nombre)).arg(course).arg(level);
        if (series > 0) nombre += QString(" (%1)").arg(series + 1);
        QString abrev = QString::fromUtf8(s.abrev) + QString::number(course) + level.left(1);
        if (series > 0) abrev += QString::number(series);
        QString activity = QString("DOC%1").arg(i % 7, 2, 10, QChar(u'0'));
        if (i % 150 == 149)
            abrev = activity;  // no row
        else if (i % 50 == 7)
            abrev.clear();  // code from the name
        else if (i % 25 == 3 && !given.isEmpty())
            abrev = rng.Pick(given);  // repeated
        else if (i % 40 == 11)
            abrev = abrev.toLower();  // differs only in case
        else if (i % 60 == 13)
            abrev = "  " + abrev + " X ";  // spaces to trim and remove
        if (!abrev.isEmpty() && abrev != activity) given << abrev;
        const QString id = Id('M', i + 1);
        ids.subjects << id;
        Line(out, "    ", "dmaterias")("abrev", abrev)("nombre", nombre)("codigo_actividad", activity)(
            "denivel", level)("decurso", QString::number(course))("codigo", id);
    }
    out += "  </materias>\n";
}

void WriteTeachers(QByteArray& out, Random& rng, int count, Ids& ids) {
    out += "  <profesores>\n";
    for (int i = 0; i < count; ++i) {
        const QString nombre = rng.Pick(kFirst);
        const QString apellido1 = rng.Pick(kLast);
        const QString apellido2 = i % 30 == 5 ? QString() : rng.Pick(kLast);
        // Initials, as schools make them: repeated now and then, in any case.
        QString abrev = nombre.left(1) + apellido1.left(2) + apellido2.left(1);
        if (i % 3 == 1) abrev = abrev.toUpper();
        if (i % 45 == 8) abrev.clear();
        if (i % 70 == 9) abrev = " " + abrev + " ";
        const QString id = Id('P', i + 1);
        ids.teachers << id;
        Line(out, "    ", "profesor")("abrev", abrev)("nombre", nombre)("apellido1", apellido1)("apellido2", apellido2)(
            "departamen", rng.Pick(kDepartments))(
            "documento", QString("%1%2").arg(10000000 + i * 7919 % 89999999).arg(QChar(u'A' + i % 23)))("codigo", id);
    }
    out += "  </profesores>\n";
}

void WriteRooms(QByteArray& out, Random& rng, int count) {
    out += "  <aulas>\n";
    for (int i = 0; i < count; ++i) {
        const QString kind = kRoomKinds[i % kRoomKinds.size()];
        const int number = 1 + i / int(kRoomKinds.size());
        const QString nombre =
            kind == "Aula" ? QString("Aula %1").arg(100 + number) : QString("%1 %2").arg(kind).arg(number);
        const QString capacity = i % 10 == 4 ? QString() : QString::number(16 + rng.Below(20));
        Line(out, "    ", "daula")("nombre", nombre)("capacidad_alumnos", capacity)("codigo", Id('A', i + 1));
    }
    out += "  </aulas>\n";
}

void WriteGroups(QByteArray& out, Random& rng, int count, Ids& ids) {
    // 50 groups: ESO 1-4 with letters A-H, BACH 1-2 with A-E, FPB 1-2 with A-D.
    struct Kind {
        const char* level;
        int courses;
        int letters;
    };
    const Kind kinds[] = {{"ESO", 4, 8}, {"BACH", 2, 5}, {"FPB", 2, 4}};
    out += "  <grupos>\n";
    int i = 0;
    for (int round = 0; i < count; ++round) {
        for (const Kind& k : kinds) {
            for (int course = 1; course <= k.courses && i < count; ++course) {
                for (int letter = 0; letter < k.letters && i < count; ++letter, ++i) {
                    const QString nombre =
                        QString("%1%2 %3").arg(course).arg(QString::fromUtf8(k.level)).arg(QChar(u'A' + letter));
                    const QString turno = round % 2 == 0 ? (k.level[0] == 'F' ? "T" : "M") : "V";
                    QString tutor = ids.teachers.isEmpty() ? QString() : rng.Pick(ids.teachers);
                    if (i % 20 == 6) tutor = "PX" + QString::number(i);  // no such teacher
                    const QString id = Id('G', i + 1);
                    ids.groups << id;
                    Line(out, "    ", "dgrupo")("nombre", nombre)("codigo_nivel", QString::fromUtf8(k.level))(
                        "turno", turno)("curso", QString::number(course))("codigo_tutor", tutor)("codigo", id);
                }
            }
        }
    }
    out += "  </grupos>\n";
}

void WriteAssignments(QByteArray& out, Random& rng, int count, const Ids& ids) {
    out += "  <asignaturas>\n";
    for (int i = 0; i < count; ++i) {
        QString group = ids.groups[i % ids.groups.size()];
        if (i % 200 == 17) group = "GX" + QString::number(i);  // unknown group: no record
        QString subject = rng.Pick(ids.subjects);
        if (i % 40 == 21) subject = "LECT";  // lective teaching
        QString teacher = rng.Pick(ids.teachers);
        if (i % 60 == 33)
            teacher.clear();
        else if (i % 90 == 34)
            teacher = "PX" + QString::number(i);
        const QString hours = QString::number(1 + rng.Below(9));
        Line(out, "    ", "dasignatura")("cgrupo", " " + group)("casig", subject)("cprofe", teacher)("nhoras", hours);
    }
    out += "  </asignaturas>\n";
}

QByteArray ExchangeDocument(int scale, Random& rng) {
    QByteArray out = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n";
    out += "<!-- " + Escaped(QString("Documento de intercambio sintético para medir PuenteHoralisZelta")) + " -->\n";
    {
        out += "<centro";
        out += " codigo_interno=\"28099999\"";
        out += " nombre=\"" + Escaped(QString("IES Sintético de Alcalá (escala %1)").arg(scale)) + "\"";
        out += " curso=\"2026/2027\" version=\"2.1\">\n";
    }
    Ids ids;
    WriteSubjects(out, rng, kSubjects * scale, ids);
    WriteTeachers(out, rng, kTeachers * scale, ids);
    WriteRooms(out, rng, kRooms * scale);
    WriteGroups(out, rng, kGroups * scale, ids);
    WriteAssignments(out, rng, kAssignments * scale, ids);
    out += "</centro>\n";
    return out;
}

struct Lesson {
    QString group, subject, task, teacher;
    int hours;
};

QList<Lesson> ReadLessons(const QString& directory, QStringList* subjectCodes, QStringList* roomCodes) {
    using puente::Table;
    Table asignomt(directory, "ASIGNOMT");
    asignomt.Open();
    for (asignomt.First(); !asignomt.Eof(); asignomt.Next()) *subjectCodes << asignomt.FieldByName("COD").AsString();
    Table aulat(directory, "AULAT");
    aulat.Open();
    for (aulat.First(); !aulat.Eof(); aulat.Next()) *roomCodes << aulat.FieldByName("ABREV").AsString();
    QList<Lesson> lessons;
    Table asigt(directory, "ASIGT");
    asigt.Open();
    for (asigt.First(); !asigt.Eof(); asigt.Next())
        lessons.append({asigt.FieldByName("CGRUP").AsString(), asigt.FieldByName("CASIG").AsString(),
                        asigt.FieldByName("CTAREA").AsString(), asigt.FieldByName("CPROF").AsString(),
                        qMax(1, int(asigt.FieldByName("HORAS").AsFloat()))});
    return lessons;
}

void WriteSoluc(const QString& outdir, int records, Random& rng, const QList<Lesson>& lessons,
                const QStringList& subjectCodes, const QStringList& roomCodes) {
    using puente::FieldKind;
    if (lessons.isEmpty())
        throw puente::Error(puente::ErrorKind::Internal, "La conversión no escribió ninguna fila en ASIGT.");
    QFile::remove(QDir(outdir).filePath("SOLUC.DBF"));
    puente::Table soluc(outdir, "SOLUC");
    soluc.CreateTable({{"DIA", FieldKind::Integer},
                       {"HORA", FieldKind::Integer},
                       {"SESIONES", FieldKind::Character, 20},
                       {"CODGRUPO", FieldKind::Character, 10},
                       {"ASIG", FieldKind::Character, 10},
                       {"TAREA", FieldKind::Character, 10},
                       {"PROF", FieldKind::Character, 10},
                       {"AULA", FieldKind::Character, 10},
                       {"MARCO", FieldKind::Character, 1}});
    soluc.Open(puente::OpenMode::Exclusive);
    puente::Field dia = soluc.FieldByName("DIA"), hora = soluc.FieldByName("HORA"),
                  sesiones = soluc.FieldByName("SESIONES"), grupo = soluc.FieldByName("CODGRUPO"),
                  asig = soluc.FieldByName("ASIG"), tarea = soluc.FieldByName("TAREA"),
                  prof = soluc.FieldByName("PROF"), aula = soluc.FieldByName("AULA"),
                  marco = soluc.FieldByName("MARCO");
    int written = 0;
    for (qsizetype l = 0; written < records; l = (l + 1) % lessons.size()) {
        const Lesson& lesson = lessons[l];
        for (int h = 0; h < lesson.hours && written < records; ++h, ++written) {
            const bool placed = !rng.Chance(30);
            soluc.Append();
            dia.SetAsString(QString::number(placed ? 1 + written % 5 : 0));
            hora.SetAsString(QString::number(placed ? 1 + (written / 5) % 7 : 0));
            sesiones.SetAsString("1");
            grupo.SetAsString(lesson.group);
            asig.SetAsString(rng.Chance(5) ? QString("BORRADA") : lesson.subject);
            const int t = rng.Below(1000);
            tarea.SetAsString(t < 50 ? rng.Pick(subjectCodes) : t < 70 ? QString("GUARDIA") : QString("LECT"));
            prof.SetAsString(lesson.teacher);
            aula.SetAsString(rng.Chance(50) ? QString() : rng.Pick(roomCodes));
            marco.SetAsString("0");
            soluc.Post();
        }
    }
    soluc.Close();
}

[[noreturn]] void Usage(const char* problem) {
    std::fprintf(stderr, "%s\nUso: puente-make-school --scale N [--seed S] CARPETA\n", problem);
    std::exit(64);
}

}  // namespace

int main(int argc, char** argv) {
    int scale = 0;
    std::uint64_t seed = 2026;
    QString outdir;
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (std::strcmp(a, "--scale") == 0 && i + 1 < argc)
            scale = std::atoi(argv[++i]);
        else if (std::strcmp(a, "--seed") == 0 && i + 1 < argc)
            seed = std::strtoull(argv[++i], nullptr, 10);
        else if (a[0] == '-')
            Usage("Opción desconocida.");
        else if (outdir.isEmpty())
            outdir = QString::fromLocal8Bit(a);
        else
            Usage("Sobra un argumento.");
    }
    if (scale < 1) Usage("Falta --scale N (un entero de 1 en adelante).");
    if (outdir.isEmpty()) Usage("Falta la carpeta de salida.");
    try {
        if (!QDir().mkpath(outdir))
            throw puente::Error(puente::ErrorKind::InputOutput,
                                QString("No se puede crear la carpeta '%1'.").arg(outdir));
        outdir = QDir(outdir).absolutePath();
        Random rng(seed);
        const QString document = QDir(outdir).filePath("centro.xml");
        QFile file(document);
        const QByteArray bytes = ExchangeDocument(scale, rng);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size() ||
            !file.flush())
            throw puente::Error(puente::ErrorKind::InputOutput, QString("No se puede escribir '%1'.").arg(document));
        file.close();

        QTemporaryDir work(QDir(outdir).filePath(".htemp-XXXXXX"));
        if (!work.isValid())
            throw puente::Error(puente::ErrorKind::InputOutput, "No se puede crear la carpeta de trabajo temporal.");
        puente::RunForward(document, work.path());
        QStringList subjectCodes, roomCodes;
        const QList<Lesson> lessons = ReadLessons(work.path(), &subjectCodes, &roomCodes);
        WriteSoluc(outdir, kSolucRecords * scale, rng, lessons, subjectCodes, roomCodes);
        std::printf(
            "%s: %d materias, %d profesores, %d aulas, %d grupos, %d asignaturas (%lld en ASIGT), %d registros "
            "en SOLUC\n",
            qPrintable(outdir), kSubjects * scale, kTeachers * scale, kRooms * scale, kGroups * scale,
            kAssignments * scale, static_cast<long long>(lessons.size()), kSolucRecords * scale);
        return 0;
    } catch (const puente::Error& e) {
        std::fprintf(stderr, "Error: %s\n", qPrintable(e.message()));
        return 1;
    }
}
