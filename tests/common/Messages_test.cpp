// Every error the system makes carries the kind its callers act on, and the
// fixed texts stay exactly as Horalis users know them.
#include "common/Messages.h"

#include <QDir>

#include <gtest/gtest.h>

#include <functional>

namespace puente {
namespace {

using namespace messages;

struct KindCase {
    const char* name;
    std::function<Error()> make;
    ErrorKind kind;
    QString message;  // empty: not checked here
};
void PrintTo(const KindCase& c, std::ostream* os) { *os << c.name; }

class ErrorKinds : public ::testing::TestWithParam<KindCase> {};

TEST_P(ErrorKinds, EachErrorHasItsKindAndWording) {
    const KindCase& c = GetParam();
    const Error e = c.make();
    EXPECT_EQ(e.kind(), c.kind) << KindName(e.kind());
    if (!c.message.isEmpty()) {
        EXPECT_EQ(e.message(), c.message);
    }
    EXPECT_EQ(QString::fromUtf8(e.what()), e.message());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ErrorKinds,
    ::testing::Values(
        KindCase{"no forward document", [] { return NoForwardDocument("/d/c.xml"); }, ErrorKind::NoInput,
                 "No existe archivo"},
        KindCase{"no return input", [] { return NoReturnInput("/h/SOLUC.DBF"); }, ErrorKind::NoInput,
                 "No existe archivo XML o Solución."},
        KindCase{"field not found", [] { return FieldNotFound("DIA"); }, ErrorKind::DamagedTable,
                 "Field 'DIA' not found"},
        KindCase{"not an integer", [] { return NotAnInteger("25 alumnos", "MAXALUM"); }, ErrorKind::BadValue,
                 "'25 alumnos' is not a valid integer value for field 'MAXALUM'"},
        KindCase{"not a float", [] { return NotAFloat("cuatro"); }, ErrorKind::BadValue,
                 "'cuatro' is not a valid floating point value"},
        KindCase{"no backups", [] { return NoBackups("/h"); }, ErrorKind::NoInput,
                 "No hay copias de seguridad en la carpeta de trabajo '" + QDir::toNativeSeparators("/h") + "'."},
        KindCase{"no such backup", [] { return NoSuchBackup("20260110-093005", "/h"); }, ErrorKind::NoInput,
                 "No existe la copia de seguridad '20260110-093005' en la carpeta de trabajo '" +
                     QDir::toNativeSeparators("/h") + "'."},
        KindCase{"backup not made", [] { return BackupNotMade("PROFT", "/h/x", "disco lleno"); },
                 ErrorKind::InputOutput, ""},
        KindCase{"backup not placed", [] { return BackupNotPlaced("20260110-093005", "/h", "x"); },
                 ErrorKind::InputOutput, ""},
        KindCase{"table in use", [] { return TableInUse("PROFT", "/h/PROFT.DBF"); }, ErrorKind::HeldElsewhere, ""},
        KindCase{"another conversion", [] { return AnotherConversionRunning("/h"); }, ErrorKind::HeldElsewhere, ""},
        KindCase{"not dBase", [] { return NotADbaseTable("/h/X.DBF", "corto"); }, ErrorKind::DamagedTable, ""},
        KindCase{"record without flag", [] { return RecordWithoutFlag("/h/X.DBF", 3); }, ErrorKind::DamagedTable, ""},
        KindCase{"not centro", [] { return NotCentro("/d/c.xml", "otro"); }, ErrorKind::NotExchangeDocument, ""},
        KindCase{"centro lacks attribute", [] { return CentroLacksAttribute("version"); },
                 ErrorKind::NotExchangeDocument,
                 "El documento no sirve para la importación: al elemento 'centro' le falta el atributo 'version'. "
                 "No se ha escrito nada."},
        KindCase{"document not saved", [] { return DocumentNotSaved("/d/r.xml", "disco lleno"); },
                 ErrorKind::InputOutput, ""},
        KindCase{"table not open", [] { return TableNotOpen("SOLUC"); }, ErrorKind::Internal, ""}));

struct PositionCase {
    const char* name;
    int line, column;
    QString message;
};
void PrintTo(const PositionCase& c, std::ostream* os) { *os << c.name; }

class NotWellFormed : public ::testing::TestWithParam<PositionCase> {};

TEST_P(NotWellFormed, NamesTheDocumentAndWhereKnownThePosition) {
    const PositionCase& c = GetParam();
    const Error e = DocumentNotWellFormed("/datos/centro.xml", "Document is empty", c.line, c.column);
    EXPECT_EQ(e.kind(), ErrorKind::NotWellFormed);
    EXPECT_EQ(e.message(), QString(c.message).replace("{doc}", QDir::toNativeSeparators("/datos/centro.xml")));
    EXPECT_EQ(e.place().path, "/datos/centro.xml");
    EXPECT_EQ(e.place().line, c.line);
    EXPECT_EQ(e.place().column, c.column);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NotWellFormed,
    ::testing::Values(
        PositionCase{"line and column", 1, 1,
                     "El archivo '{doc}' no es un documento XML válido: Document is empty (línea 1, columna 1). No se "
                     "ha modificado ninguna tabla."},
        PositionCase{"line only", 7, 0,
                     "El archivo '{doc}' no es un documento XML válido: Document is empty (línea 7). No se ha "
                     "modificado ninguna tabla."},
        PositionCase{"no position", 0, 0,
                     "El archivo '{doc}' no es un documento XML válido: Document is empty. No se ha modificado "
                     "ninguna tabla."}));

TEST(FixedTexts, AreExactlyTheProgramsOwn) {
    EXPECT_EQ(kNoExisteArchivo, "No existe archivo");
    EXPECT_EQ(kNoExisteArchivoXmlOSolucion, "No existe archivo XML o Solución.");
    EXPECT_EQ(kProcesoFinalizado, "Proceso finalizado");
    EXPECT_EQ(kReturnReminder,
              "Deberá Abrir el fichero XML de ZELTA,\r\ndesde el cual realizó la Importación a Horalis");
}

TEST(HelpMessages, NameTheFile) {
    EXPECT_EQ(HelpFileMissing("ZELTA.chm"),
              "No se encuentra el archivo de ayuda \"ZELTA.chm\" junto al programa ni en la carpeta de trabajo.");
    EXPECT_EQ(HelpViewerMissing("/opt/p/ZELTA.chm"),
              "No se puede abrir el archivo de ayuda \"" + QDir::toNativeSeparators("/opt/p/ZELTA.chm") +
                  "\": no hay ningún visor de archivos CHM instalado (por ejemplo xchm).");
}

}  // namespace
}  // namespace puente
