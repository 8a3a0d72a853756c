#include "return/ReturnRun.h"

#include "common/Error.h"
#include "forward/ForwardRun.h"
#include "return/Solution.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>

namespace puente {
namespace {

using test::Snapshot;

// The working directory after the forward run of small.xml, and a copy of
// that document in a folder of its own.
class ReturnRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        doc_ = docs_.filePath("centro.xml");
        ASSERT_TRUE(QFile::copy(QString(PUENTE_TEST_DATA) + "/forward/small.xml", doc_));
        RunForward(doc_, htemp_.path());
    }
    ReturnReport Run() { return RunReturn(doc_, htemp_.path()); }
    void UseSoluc(const QString& fixture) {
        ASSERT_TRUE(QFile::copy(QString(PUENTE_TEST_DATA) + "/return/" + fixture, htemp_.filePath("SOLUC.DBF")));
    }
    // A run that must end by an error: the error.
    Error FailingRun() {
        try {
            Run();
        } catch (const Error& e) {
            return e;
        }
        ADD_FAILURE() << "the run did not fail";
        return Error(ErrorKind::Internal, QString());
    }
    // Every table of the working directory can be opened exclusively again.
    void ExpectNoTableHeld() {
        for (const char* t : {"SOLUC", "GRUPOST", "PROFT", "AULAT", "ASIGNOMT", "ASIGT"}) {
            if (!QFile::exists(htemp_.filePath(QString(t) + ".DBF"))) continue;
            Table table(htemp_.path(), t);
            EXPECT_NO_THROW(table.Open(OpenMode::Exclusive)) << t;
        }
    }
    QString Result() const { return docs_.filePath("ResultadoHoraliscentro.xml"); }

    QTemporaryDir htemp_, docs_;
    QString doc_;
};

QStringList Attributes(const Element& e) {
    QStringList l;
    for (const QString& name : e.attributeNames()) l << name + "=" + e.attribute(name).value_or("?");
    return l;
}

TEST_F(ReturnRunTest, WritesOneEntryPerPlacedLesson) {
    UseSoluc("soluc_dbase3.dbf");
    const ReturnReport report = Run();
    EXPECT_EQ(report.document, doc_);
    EXPECT_EQ(report.workingDirectory, htemp_.path());
    EXPECT_EQ(report.resultPath, Result());
    EXPECT_EQ(report.entries, 3);
    EXPECT_EQ(report.withoutDayOrHour, 3);
    EXPECT_EQ(report.subjectNotFound, 1);
    ExpectNoTableHeld();

    Document result;
    ASSERT_TRUE(result.load(Result()).ok());
    EXPECT_EQ(result.encoding(), "ISO-8859-1");
    const Element root = result.documentElement();
    const QStringList rootAttributes = Attributes(root);
    ASSERT_EQ(rootAttributes.size(), 5);
    EXPECT_EQ(rootAttributes[0], "codigo_interno=28000001");
    EXPECT_EQ(rootAttributes[1], "nombre=IES Prueba");
    EXPECT_EQ(rootAttributes[2], "curso=2026");
    EXPECT_TRUE(rootAttributes[3].startsWith("fecha_exportacion=")) << rootAttributes[3].toStdString();
    EXPECT_EQ(rootAttributes[4], "version=3");
    ASSERT_EQ(root.childElements().size(), 1);
    const QList<Element> entries = result.selectNodes("/centro/solucion_horario/dsolucion");
    ASSERT_EQ(entries.size(), 3);
    EXPECT_EQ(Attributes(entries[0]), (QStringList{"casig=M1", "cgrupo=G1", "cprofe=P1", "caula=A1", "cactiv=LECT",
                                                   "dia=1", "hora=1", "sesiones=1", "idcurso=1"}));
    EXPECT_EQ(Attributes(entries[1]), (QStringList{"casig=M2", "cgrupo=", "cprofe=", "caula=", "cactiv=", "dia=3",
                                                   "hora=2", "sesiones=1", "idcurso="}));
    EXPECT_EQ(Attributes(entries[2]), (QStringList{"casig=M2", "cgrupo=G2", "cprofe=P2", "caula=A2", "cactiv=TXX",
                                                   "dia=5", "hora=6", "sesiones=111", "idcurso=1"}));
    // The chosen document itself is not written.
    EXPECT_EQ(test::ReadFile(doc_), test::ReadFile(QString(PUENTE_TEST_DATA) + "/forward/small.xml"));
}

// A SOLUC written by this engine, one record per case.
struct TranslationCase {
    const char* name;
    QStringList soluc;                 // CODGRUPO, ASIG, TAREA, PROF, AULA
    std::optional<QStringList> entry;  // casig, cgrupo, cprofe, caula, cactiv, idcurso
};
void PrintTo(const TranslationCase& c, std::ostream* os) { *os << c.name; }

class Translation : public ReturnRunTest, public ::testing::WithParamInterface<TranslationCase> {};

TEST_P(Translation, FollowsTheLookups) {
    const TranslationCase& c = GetParam();
    Table soluc(htemp_.path(), "SOLUC");
    soluc.CreateTable(test::kSolucFields);
    soluc.Open(OpenMode::Exclusive);
    soluc.Append();
    soluc.FieldByName("DIA").SetAsString("2");
    soluc.FieldByName("HORA").SetAsFloat(3);
    soluc.FieldByName("SESIONES").SetAsString("11");
    const QStringList fields = {"CODGRUPO", "ASIG", "TAREA", "PROF", "AULA"};
    for (int i = 0; i < fields.size(); ++i) soluc.FieldByName(fields[i]).SetAsString(c.soluc[i]);
    soluc.Post();
    soluc.First();

    Table grupos(htemp_.path(), "GRUPOST"), profesores(htemp_.path(), "PROFT"), aulas(htemp_.path(), "AULAT"),
        materias(htemp_.path(), "ASIGNOMT");
    for (Table* t : {&grupos, &profesores, &aulas, &materias}) t->Open(OpenMode::Exclusive);
    SolucTables tables{soluc, grupos, profesores, aulas, materias};
    const std::optional<DsolucionEntry> entry = TranslateSolucRow(tables);
    ASSERT_EQ(entry.has_value(), c.entry.has_value()) << c.name;
    if (!entry) return;
    const QStringList& e = *c.entry;
    EXPECT_EQ(*entry, (DsolucionEntry{e[0], e[1], e[2], e[3], e[4], 2, "3", "11", e[5]})) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Translation,
    ::testing::Values(
        TranslationCase{"everything found",
                        {"M1ESOA", "MAT", "LCyL", "PGR", "AdI"},
                        QStringList{"M1", "G1", "P1", "A1", "M2", "1"}},
        TranslationCase{"subject not found", {"M1ESOA", "XX", "MAT", "PGR", "AdI"}, std::nullopt},
        TranslationCase{"subject in another letter case", {"M1ESOA", "Mat", "", "", ""}, std::nullopt},
        TranslationCase{"subject with a leading space", {"M1ESOA", " MAT", "", "", ""}, std::nullopt},
        TranslationCase{"group not found", {"M9", "MAT", "", "PGR", "AdI"}, QStringList{"M1", "", "P1", "A1", "", ""}},
        TranslationCase{"teacher and room not found",
                        {"M1ESOA", "MAT", "LECT", "pgr", "Aula"},
                        QStringList{"M1", "G1", "", "", "LECT", "1"}},
        TranslationCase{"task not found keeps its code",
                        {"M1ESOB", "LCyL", "T-99", "ANA", "Laborato"},
                        QStringList{"M2", "G2", "P2", "A2", "T-99", "1"}}));

// Codes that would read back alike from the tables (teachers Ω and Δ, both
// stored "?"; rooms "Abcdefg h" and "Abcdefg", both read back "Abcdefg")
// are numbered by the forward run, so each comes back as its own identifier.
TEST_F(ReturnRunTest, CodesStoredAlikeComeBackAsTheirOwnIdentifiers) {
    const QString doc = test::WriteFile(
        docs_.path(), "alike.xml",
        QString("<centro codigo_interno='1' nombre='N' curso='C' version='1'>"
                "<materias><dmaterias abrev='MAT' nombre='M' codigo_actividad='T' codigo='M1'/></materias>"
                "<profesores><profesor abrev='Ω' codigo='P1'/><profesor abrev='Δ' codigo='P2'/></profesores>"
                "<aulas><daula nombre='Abcdefg h' codigo='A1'/><daula nombre='Abcdefg' codigo='A2'/></aulas>"
                "</centro>")
            .toUtf8());
    RunForward(doc, htemp_.path());

    Table soluc(htemp_.path(), "SOLUC");
    soluc.CreateTable(test::kSolucFields);
    soluc.Open(OpenMode::Exclusive);
    for (const auto& [prof, aula] : {std::pair{"?", "Abcdefg"}, std::pair{"?1", "Abcdefg1"}}) {
        soluc.Append();
        soluc.FieldByName("DIA").SetAsString("1");
        soluc.FieldByName("HORA").SetAsString("1");
        soluc.FieldByName("ASIG").SetAsString("MAT");
        soluc.FieldByName("PROF").SetAsString(prof);
        soluc.FieldByName("AULA").SetAsString(aula);
        soluc.Post();
    }
    soluc.Close();

    RunReturn(doc, htemp_.path());
    Document result;
    ASSERT_TRUE(result.load(docs_.filePath("ResultadoHoralisalike.xml")).ok());
    QStringList got;
    for (const Element& e : result.selectNodes("/centro/solucion_horario/dsolucion"))
        got << e.attribute("cprofe").value_or("?") + " " + e.attribute("caula").value_or("?");
    EXPECT_EQ(got, (QStringList{"P1 A1", "P2 A2"}));
}

// SOLUC (and lookup tables) written by other programs: character fields
// padded with NULs end there, and any other character that XML cannot hold
// is written as '?' with a note naming the record, instead of stopping the
// run.
struct UnfitCase {
    const char* name;
    QList<QByteArray> soluc;  // CODGRUPO, ASIG, TAREA, PROF, AULA, SESIONES of record 2 (record 1 is not placed)
    QStringList entry;        // cgrupo, casig, cprofe, caula, cactiv, sesiones
    QStringList notes;
};
void PrintTo(const UnfitCase& c, std::ostream* os) { *os << c.name; }

class UnfitValues : public ReturnRunTest, public ::testing::WithParamInterface<UnfitCase> {};

TEST_P(UnfitValues, AreCutAtTheNulOrWrittenWithQuestionMarks) {
    const UnfitCase& c = GetParam();
    {
        // A room whose identifier holds a control character.
        Table aulas(htemp_.path(), "AULAT");
        aulas.Open(OpenMode::Exclusive);
        aulas.Append();
        aulas.FieldByName("ABREV").SetAsString("ZZ");
        aulas.FieldByName("IDAULA").SetAsString(QString::fromLatin1("A\x02"));
        aulas.Post();
    }
    Table soluc(htemp_.path(), "SOLUC");
    soluc.CreateTable({{"DIA", FieldKind::Integer, 0},
                       {"HORA", FieldKind::Integer, 0},
                       {"CODGRUPO", FieldKind::Character, 10},
                       {"ASIG", FieldKind::Character, 10},
                       {"TAREA", FieldKind::Character, 10},
                       {"PROF", FieldKind::Character, 10},
                       {"AULA", FieldKind::Character, 10},
                       {"SESIONES", FieldKind::Character, 20}});
    soluc.Open(OpenMode::Exclusive);
    soluc.Append();
    soluc.FieldByName("DIA").SetAsString("0");
    soluc.Post();
    soluc.Append();
    soluc.FieldByName("DIA").SetAsString("2");
    soluc.FieldByName("HORA").SetAsString("3");
    const QStringList fields = {"CODGRUPO", "ASIG", "TAREA", "PROF", "AULA", "SESIONES"};
    for (int i = 0; i < fields.size(); ++i) soluc.FieldByName(fields[i]).SetAsString(QString::fromLatin1(c.soluc[i]));
    soluc.Post();
    soluc.Close();

    const ReturnReport report = Run();
    EXPECT_EQ(report.notes, c.notes);
    Document result;
    ASSERT_TRUE(result.load(Result()).ok());
    const QList<Element> entries = result.selectNodes("/centro/solucion_horario/dsolucion");
    ASSERT_EQ(entries.size(), 1);
    QStringList entry;
    for (const char* a : {"cgrupo", "casig", "cprofe", "caula", "cactiv", "sesiones"})
        entry << entries[0].attribute(a).value_or("<none>");
    EXPECT_EQ(entry, c.entry);
}

const QByteArray kNul(1, '\0');

INSTANTIATE_TEST_SUITE_P(
    Cases, UnfitValues,
    ::testing::Values(
        UnfitCase{"NUL padding ends every value",
                  {"M1ESOA" + kNul + "xx", "MAT" + kNul + kNul + "LEN", "LECT" + kNul + "!", "PGR" + kNul + "\x01",
                   "AdI" + kNul + "ZZ", "11" + kNul + " 9"},
                  {"G1", "M1", "P1", "A1", "LECT", "11"},
                  {}},
        UnfitCase{"a control character in SESIONES",
                  {"M1ESOA", "MAT", "LECT", "PGR", "AdI",
                   "1\x01"
                   "1"},
                  {"G1", "M1", "P1", "A1", "LECT", "1?1"},
                  {"Registro 2 de SOLUC: el valor de sesiones (SESIONES de SOLUC) tiene caracteres que XML no "
                   "admite; se escribe '1?1'."}},
        UnfitCase{"control characters in a task code not found",
                  {"M1ESOA", "MAT", "T\x1b\x0c", "PGR", "AdI", "1"},
                  {"G1", "M1", "P1", "A1",
                   "T?"
                   "?",
                   "1"},
                  {"Registro 2 de SOLUC: el valor de cactiv (TAREA de SOLUC, o IDASIG de ASIGNOMT) tiene caracteres "
                   "que XML no admite; se escribe 'T?"
                   "?'."}},
        UnfitCase{"a control character in a lookup table",
                  {"M1ESOA", "MAT", "LECT", "PGR", "ZZ", "1"},
                  {"G1", "M1", "P1", "A?", "LECT", "1"},
                  {"Registro 2 de SOLUC: el valor de caula (IDAULA de AULAT) tiene caracteres que XML no admite; se "
                   "escribe 'A?'."}}));

struct NoInputCase {
    const char* name;
    bool documentThere;
    bool solucThere;
};
void PrintTo(const NoInputCase& c, std::ostream* os) { *os << c.name; }

class ReturnNoInput : public ReturnRunTest, public ::testing::WithParamInterface<NoInputCase> {};

TEST_P(ReturnNoInput, SaysSoAndWritesNothing) {
    const NoInputCase& c = GetParam();
    if (c.solucThere) UseSoluc("soluc_dbase3.dbf");
    const QString document = c.documentThere ? doc_ : docs_.filePath("falta.xml");
    const QMap<QString, QByteArray> before = Snapshot(htemp_.path());
    try {
        RunReturn(document, htemp_.path());
        ADD_FAILURE() << "the run did not fail";
    } catch (const Error& e) {
        EXPECT_EQ(e.kind(), ErrorKind::NoInput);
        EXPECT_EQ(e.message(), "No existe archivo XML o Solución.");
        EXPECT_EQ(e.place().path, c.documentThere ? htemp_.filePath("SOLUC.DBF") : document);
    }
    EXPECT_EQ(Snapshot(htemp_.path()), before);
    EXPECT_FALSE(QFile::exists(Result()));
}

INSTANTIATE_TEST_SUITE_P(Cases, ReturnNoInput,
                         ::testing::Values(NoInputCase{"no document", false, true},
                                           NoInputCase{"no SOLUC", true, false}, NoInputCase{"neither", false, false}));

TEST_F(ReturnRunTest, SolucInAnotherLetterCaseIsFound) {
    ASSERT_TRUE(QFile::copy(QString(PUENTE_TEST_DATA) + "/return/soluc_dbase3.dbf", htemp_.filePath("soluc.dbf")));
    EXPECT_EQ(Run().entries, 3);
}

struct FailureCase {
    const char* name;
    QByteArray document;  // empty: the good document
    QString removeTable;  // a table taken away before the run
    ErrorKind kind;
    QString message;  // {doc}: the document's path, {dir}: the working directory;
                      // ending in "...": the message starts so
};
void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

class ReturnFailure : public ReturnRunTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(ReturnFailure, StopsCleanlyAndWritesNothing) {
    const FailureCase& c = GetParam();
    UseSoluc("soluc_dbase3.dbf");
    if (!c.document.isEmpty()) test::WriteFile(docs_.path(), "centro.xml", c.document);
    if (!c.removeTable.isEmpty()) QFile::remove(htemp_.filePath(c.removeTable + ".DBF"));
    test::WriteFile(docs_.path(), "ResultadoHoraliscentro.xml", "an earlier result");
    const QMap<QString, QByteArray> before = Snapshot(htemp_.path());
    const QMap<QString, QByteArray> docsBefore = Snapshot(docs_.path());
    const Error error = FailingRun();
    EXPECT_EQ(error.kind(), c.kind) << KindName(error.kind());
    const QString& message = error.message();
    QString expected = QString(c.message).replace("{doc}", doc_).replace("{dir}", htemp_.path());
    if (expected.endsWith("...")) {
        expected.chop(3);
        EXPECT_TRUE(message.startsWith(expected)) << message.toStdString();
    } else {
        EXPECT_EQ(message, expected);
    }
    EXPECT_EQ(Snapshot(htemp_.path()), before);
    EXPECT_EQ(Snapshot(docs_.path()), docsBefore);
    ExpectNoTableHeld();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReturnFailure,
    ::testing::Values(
        FailureCase{"root not centro", "<escuela/>", "", ErrorKind::NotExchangeDocument,
                    "El archivo '{doc}' no es un documento de intercambio de ZELTA: su elemento raíz es 'escuela' y "
                    "debería ser 'centro'."},
        FailureCase{"root lacks version", "<centro codigo_interno='1' nombre='N' curso='C'/>", "",
                    ErrorKind::NotExchangeDocument,
                    "El documento no sirve para la importación: al elemento 'centro' le falta el atributo 'version'. "
                    "No se ha escrito nada."},
        FailureCase{"not well-formed", "<centro>", "", ErrorKind::NotWellFormed,
                    "El archivo '{doc}' no es un documento XML válido: ..."},
        FailureCase{"ASIGT missing", "", "ASIGT", ErrorKind::InputOutput,
                    "No existe la tabla 'ASIGT' ({dir}/ASIGT.DBF)..."}));

TEST_F(ReturnRunTest, ATableHeldByAnotherProgramStopsTheRun) {
    UseSoluc("soluc_dbase3.dbf");
    QString message;
    {
        test::TableHeldElsewhere held(htemp_.path(), "AULAT", OpenMode::Shared);
        const Error error = FailingRun();
        EXPECT_EQ(error.kind(), ErrorKind::HeldElsewhere);
        message = error.message();
    }
    EXPECT_TRUE(message.contains("AULAT")) << message.toStdString();
    EXPECT_FALSE(QFile::exists(Result()));
    ExpectNoTableHeld();
}

TEST_F(ReturnRunTest, AFailedSaveLeavesTheEarlierResult) {
    UseSoluc("soluc_dbase3.dbf");
    QDir(docs_.path()).mkdir("ResultadoHoraliscentro.xml");  // a folder where the file should go
    const Error error = FailingRun();
    EXPECT_EQ(error.kind(), ErrorKind::InputOutput);
    EXPECT_TRUE(error.message().contains("ResultadoHoraliscentro.xml")) << error.message().toStdString();
    EXPECT_TRUE(QFileInfo(Result()).isDir());
    ExpectNoTableHeld();
}

TEST_F(ReturnRunTest, AnEmptySolucGivesAnEmptySolucionHorario) {
    Table soluc(htemp_.path(), "SOLUC");
    soluc.CreateTable({{"DIA", FieldKind::Integer, 0}, {"HORA", FieldKind::Integer, 0}});
    test::WriteFile(docs_.path(), "centro.xml",
                    "<?xml version='1.0'?>\n<centro codigo_interno=' 7 ' nombre='' curso='c' version='v' otro='x'>"
                    "<materias/><solucion_horario><dsolucion casig='old'/></solucion_horario></centro>\n"
                    "<!-- después -->\n");
    test::WriteFile(docs_.path(), "ResultadoHoraliscentro.xml", "an earlier result");
    EXPECT_EQ(Run().entries, 0);
    const QString result = QString::fromUtf8(test::ReadFile(Result()));
    // The comment that followed the old root now stands before the new one.
    EXPECT_LT(result.indexOf("<!-- después -->"), result.indexOf("<centro")) << result.toStdString();
    Document doc;
    ASSERT_TRUE(doc.load(Result()).ok());
    const QStringList attributes = Attributes(doc.documentElement());
    ASSERT_EQ(attributes.size(), 5);
    EXPECT_EQ(attributes.mid(0, 3), (QStringList{"codigo_interno=7", "nombre=", "curso=c"}));
    EXPECT_EQ(attributes[4], "version=v");
    const QList<Element> children = doc.documentElement().childElements();
    ASSERT_EQ(children.size(), 1);
    EXPECT_EQ(children[0].name(), "solucion_horario");
    EXPECT_TRUE(children[0].childElements().isEmpty());
    EXPECT_FALSE(result.contains("old"));
}

// Root attributes that the document's internal DTD subset gives a value are
// carried like the root's own.
struct RootDefaultCase {
    const char* name;
    QByteArray document;
    QStringList attributes;  // of the result's root, fecha_exportacion left out
};
void PrintTo(const RootDefaultCase& c, std::ostream* os) { *os << c.name; }

class RootDefaults : public ReturnRunTest, public ::testing::WithParamInterface<RootDefaultCase> {};

TEST_P(RootDefaults, AreCarriedIntoTheResult) {
    const RootDefaultCase& c = GetParam();
    Table soluc(htemp_.path(), "SOLUC");
    soluc.CreateTable({{"DIA", FieldKind::Integer, 0}, {"HORA", FieldKind::Integer, 0}});
    test::WriteFile(docs_.path(), "centro.xml", c.document);
    Run();
    Document result;
    ASSERT_TRUE(result.load(Result()).ok());
    QStringList attributes = Attributes(result.documentElement());
    ASSERT_EQ(attributes.size(), 5);
    attributes.removeAt(3);
    EXPECT_EQ(attributes, c.attributes);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RootDefaults,
    ::testing::Values(RootDefaultCase{"a default version",
                                      "<!DOCTYPE centro [<!ATTLIST centro version CDATA \"9\">]>\n"
                                      "<centro codigo_interno='1' nombre='N' curso='C'/>",
                                      {"codigo_interno=1", "nombre=N", "curso=C", "version=9"}},
                      RootDefaultCase{"a fixed course, trimmed",
                                      "<!DOCTYPE centro [<!ATTLIST centro curso CDATA #FIXED \" 2026 \">]>\n"
                                      "<centro codigo_interno='1' nombre='N' version='3'/>",
                                      {"codigo_interno=1", "nombre=N", "curso=2026", "version=3"}},
                      RootDefaultCase{"the root's own value wins",
                                      "<!DOCTYPE centro [<!ATTLIST centro version CDATA \"9\">]>\n"
                                      "<centro codigo_interno='1' nombre='N' curso='C' version='8'/>",
                                      {"codigo_interno=1", "nombre=N", "curso=C", "version=8"}}));

// The result built as a tree: the root replaced by a new `centro` with one
// empty `solucion_horario`, one dsolucion per entry with its nine
// attributes, in order.
Element RebuildCentro(Document& document) {
    const CentroValues values = ResultCentro(document);
    document.removeChild(document.documentElement());
    Element centro = document.createElement("centro");
    centro.setAttribute("codigo_interno", values.codigoInterno);
    centro.setAttribute("nombre", values.nombre);
    centro.setAttribute("curso", values.curso);
    centro.setAttribute("fecha_exportacion", values.fechaExportacion);
    centro.setAttribute("version", values.version);
    document.appendChild(centro);
    Element solucion = document.createElement("solucion_horario");
    centro.appendChild(solucion);
    return solucion;
}

void AppendDsolucion(Document& document, Element solucionHorario, const DsolucionEntry& entry) {
    Element e = document.createElement(QStringLiteral("dsolucion"));
    e.setAttribute(QStringLiteral("casig"), entry.casig);
    e.setAttribute(QStringLiteral("cgrupo"), entry.cgrupo);
    e.setAttribute(QStringLiteral("cprofe"), entry.cprofe);
    e.setAttribute(QStringLiteral("caula"), entry.caula);
    e.setAttribute(QStringLiteral("cactiv"), entry.cactiv);
    e.setAttribute(QStringLiteral("dia"), qint64(entry.dia));
    e.setAttribute(QStringLiteral("hora"), entry.hora);
    e.setAttribute(QStringLiteral("sesiones"), entry.sesiones);
    e.setAttribute(QStringLiteral("idcurso"), entry.idcurso);
    solucionHorario.appendChild(e);
}

// The result written as the entries come equals the one the whole tree
// gives (RebuildCentro, AppendDsolucion, save), the date aside.
QByteArray WithoutDate(QByteArray bytes) {
    const qsizetype at = bytes.indexOf("fecha_exportacion=\"");
    if (at < 0) return bytes;
    const qsizetype end = bytes.indexOf('"', at + 19);
    return bytes.remove(at + 19, end - at - 19);
}

TEST(ResultWriter, WritesWhatTheWholeTreeSaved) {
    const QByteArray kDocuments[] = {
        "<?xml version='1.0' encoding='ISO-8859-1'?>\n<!-- antes \xd1 -->\n<?zelta v='2'?>\n"
        "<centro codigo_interno=' 41 ' nombre='IES \xd1"
        "and\xfa &amp; &lt;x&gt;' curso=' 2025 ' version='1.0'>"
        "<materias><dmaterias codigo='M1'/></materias></centro>\n<!-- despu\xe9s -->\n",
        "<?xml version='1.0' encoding='windows-1252'?>\n<!DOCTYPE centro [<!ATTLIST centro version CDATA '9'>]>\n"
        "<centro codigo_interno='1' nombre='\x80' curso='c'/>",
    };
    const QList<DsolucionEntry> entries = {
        {"M1", "1\u00baA", "P1", "", "T1", 3, "2", "1", "ESO"},
        {"A&B", "<g>", "\"p\"", "tab\tx", "\u20ac \u4e2d", 5, "12.5", "2", "Bachiller \u00d1"},
    };
    for (const QByteArray& bytes : kDocuments) {
        for (qsizetype n : {qsizetype(0), entries.size()}) {
            QTemporaryDir dir;
            Document whole;
            ASSERT_TRUE(whole.loadFromBytes(bytes).ok());
            Element solucion = RebuildCentro(whole);
            for (qsizetype i = 0; i < n; ++i) AppendDsolucion(whole, solucion, entries[i]);
            whole.save(dir.filePath("whole.xml"));

            Document head;
            ASSERT_TRUE(head.loadFromBytes(bytes, QString(), Reading::HeadOnly).ok());
            ResultWriter writer(head, dir.filePath("streamed.xml"), ResultCentro(head));
            for (qsizetype i = 0; i < n; ++i) writer.append(entries[i]);
            writer.commit();
            EXPECT_EQ(WithoutDate(test::ReadFile(dir.filePath("streamed.xml"))),
                      WithoutDate(test::ReadFile(dir.filePath("whole.xml"))));
        }
    }
}

struct PathCase {
    const char* name;
    PathStyle style;
    QString chosen;
    QString result;
};

TEST(ResultadoPath, PutsTheResultBesideTheChosenDocument) {
    const QList<PathCase> cases = {
        {"windows folder", PathStyle::Windows, "D:\\Datos\\centro.xml", "D:\\Datos\\ResultadoHoraliscentro.xml"},
        {"windows drive only", PathStyle::Windows, "D:centro.xml", "D:ResultadoHoraliscentro.xml"},
        {"windows slash", PathStyle::Windows, "C:/Datos/centro.XML", "C:/Datos/ResultadoHoraliscentro.XML"},
        {"bare name", PathStyle::Windows, "centro.xml", "ResultadoHoraliscentro.xml"},
        {"posix", PathStyle::Posix, "/home/ana/centro.XML", "/home/ana/ResultadoHoraliscentro.XML"},
        {"posix keeps backslashes in names", PathStyle::Posix, "/tmp/a\\b.xml", "/tmp/ResultadoHoralisa\\b.xml"},
        {"posix colon", PathStyle::Posix, "/tmp/c:d.xml", "/tmp/ResultadoHoralisc:d.xml"},
    };
    for (const PathCase& c : cases) EXPECT_EQ(ResultadoPath(c.chosen, c.style), c.result) << c.name;
}

}  // namespace
}  // namespace puente
