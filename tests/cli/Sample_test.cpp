// The bundled sample school, both directions, through the real `puente`
// program: every field of the six tables against the expected dump (made and
// read by an independent dBase reader), and the return run over the sample
// SOLUC.
#include "cli/Cli.h"

#include "support/TestSupport.h"

#include <QProcess>
#include <QTemporaryDir>

namespace puente {
namespace {

const QString kSampleDoc = QString(PUENTE_SOURCE_DIR) + "/samples/centro.xml";
const QStringList kTables = {"ASIGNOMT", "PROFT", "AULAT", "GRUPOST", "DIASHORAST", "ASIGT"};

// The tables as this engine reads them, in the dump's format.
QString DumpWithEngine(const QString& dir) {
    QStringList out;
    for (const QString& name : kTables) {
        Table t(dir, name);
        t.Open(OpenMode::Shared);
        out << "== " + name;
        QStringList fields;
        for (const FieldInfo& f : t.Fields())
            fields << QString("%1:%2:%3:%4").arg(f.name).arg(QChar(f.type)).arg(f.width).arg(f.decimals);
        out << fields.join(' ');
        for (const QStringList& row : test::ReadRows(dir, name)) out << row.join('|');
    }
    return out.join('\n') + '\n';
}

struct Process {
    int status;
    QString out, err;
};

Process Start(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(120000)) ADD_FAILURE() << program.toStdString() << " did not finish";
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

class SampleTest : public ::testing::Test {
protected:
    void SetUp() override {
        doc_ = work_.filePath("centro.xml");
        htemp_ = work_.filePath("HTEMP");
        ASSERT_TRUE(QDir().mkpath(htemp_));
        ASSERT_TRUE(QFile::copy(kSampleDoc, doc_));
        const Process r = Start(QString(PUENTE_BIN_DIR) + "/puente", {"exportar", doc_, "--htemp", htemp_});
        ASSERT_EQ(r.status, kExitDone) << r.err.toStdString();
        exportSummary_ = r.out;
    }
    QTemporaryDir work_;
    QString doc_, htemp_, exportSummary_;
};

TEST_F(SampleTest, TheSixTablesHoldExactlyTheExpectedValues) {
    const QString expected = QString::fromUtf8(test::ReadFile(QString(PUENTE_TEST_DATA) + "/cli/sample-tables.txt"));
    ASSERT_FALSE(expected.isEmpty());
    EXPECT_EQ(DumpWithEngine(htemp_), expected);

    const Process dbfread = Start(DEBIAN_PYTHON, {QString(PUENTE_SOURCE_DIR) + "/tests/cli/dump_tables.py", htemp_});
    ASSERT_EQ(dbfread.status, 0) << dbfread.err.toStdString();
    EXPECT_EQ(dbfread.out, expected);

    EXPECT_TRUE(exportSummary_.contains("ASIGNOMT: 40 filas\n")) << exportSummary_.toStdString();
    EXPECT_TRUE(exportSummary_.contains("ASIGT: 199 filas\n")) << exportSummary_.toStdString();
    EXPECT_TRUE(exportSummary_.contains("  - Asignatura 18: ningún grupo tiene el código 'GRP99'; no se escribe.\n"));
}

TEST_F(SampleTest, TheSampleTimetableComesBack) {
    ASSERT_TRUE(QFile::copy(QString(PUENTE_SOURCE_DIR) + "/samples/SOLUC.DBF", htemp_ + "/SOLUC.DBF"));
    const Process r = Start(QString(PUENTE_BIN_DIR) + "/puente", {"importar", doc_, "--htemp", htemp_});
    ASSERT_EQ(r.status, kExitDone) << r.err.toStdString();
    const QString result = work_.filePath("ResultadoHoraliscentro.xml");
    EXPECT_EQ(r.out, QString("Resultado: %1\nEntradas dsolucion escritas: 583\n"
                             "Registros de SOLUC sin día u hora (pasados por alto): 20\n"
                             "Registros de SOLUC cuya materia no está en ASIGNOMT (sin entrada): 1\n")
                         .arg(result));
    Document doc;
    ASSERT_TRUE(doc.load(result).ok());
    EXPECT_EQ(doc.encoding(), "ISO-8859-1");
    EXPECT_EQ(doc.documentElement().attribute("nombre"), QString("IES Ejemplo de Alcalá"));
    const QList<Element> entries = doc.selectNodes("/centro/solucion_horario/dsolucion");
    ASSERT_EQ(entries.size(), 583);
    // Every entry names a subject of the document and a group or nothing.
    QSet<QString> subjects, groups;
    Document source;
    ASSERT_TRUE(source.load(kSampleDoc).ok());
    for (const Element& e : source.selectNodes("/centro/materias/dmaterias")) subjects << *e.attribute("codigo");
    for (const Element& e : source.selectNodes("/centro/grupos/dgrupo")) groups << *e.attribute("codigo");
    subjects << "LECT";
    for (const Element& e : entries) {
        EXPECT_TRUE(subjects.contains(*e.attribute("casig"))) << e.attribute("casig")->toStdString();
        EXPECT_TRUE(groups.contains(*e.attribute("cgrupo"))) << e.attribute("cgrupo")->toStdString();
        EXPECT_NE(e.attribute("dia"), QString("0"));
    }
}

}  // namespace
}  // namespace puente
