// One SOLUC record, translated back into ZELTA identifiers, and the result
// document that carries the entries to ZELTA.
#pragma once

#include "exchange/Document.h"
#include "exchange/DocumentStream.h"
#include "tablestore/Table.h"

#include <QString>

#include <optional>

namespace puente {

// The nine values of one dsolucion element.
struct DsolucionEntry {
    QString casig;     // ZELTA subject identifier
    QString cgrupo;    // ZELTA group identifier
    QString cprofe;    // ZELTA teacher identifier
    QString caula;     // ZELTA room identifier
    QString cactiv;    // ZELTA task identifier, or the Horalis task code itself
    qint32 dia = 0;    // SOLUC.DIA
    QString hora;      // SOLUC.HORA as text
    QString sesiones;  // SOLUC.SESIONES
    QString idcurso;   // the group's course
    bool operator==(const DsolucionEntry&) const = default;
};

// The open tables a translation reads.
struct SolucTables {
    Table& soluc;       // positioned on the record to translate
    Table& grupos;      // GRUPOST
    Table& profesores;  // PROFT
    Table& aulas;       // AULAT
    Table& materias;    // ASIGNOMT
};

// Translates the current SOLUC record: every code is looked up afresh (first
// record in stored order, exact, letter case included). No entry when the
// subject code ASIG is not found in ASIGNOMT. Moves the lookup tables'
// cursors, never SOLUC's.
std::optional<DsolucionEntry> TranslateSolucRow(SolucTables& tables);

// The same for record after record: each field is found by name once, the
// first time it is read (a missing one raises then, as it would in
// TranslateSolucRow), on tables that stay open while the translator lives.
class SolucTranslator {
public:
    explicit SolucTranslator(SolucTables& tables) : t_(tables) {}
    std::optional<DsolucionEntry> Translate();  // the current SOLUC record

private:
    // A field of `table`, found on first use.
    struct LazyField {
        explicit LazyField(const char* n) : name(n) {}
        const char* name;
        std::optional<Field> field;
        Field& in(Table& table) {
            if (!field) field = table.FieldByName(QString::fromLatin1(name));
            return *field;
        }
    };
    SolucTables& t_;
    LazyField dia_{"DIA"}, hora_{"HORA"}, sesiones_{"SESIONES"}, codgrupo_{"CODGRUPO"}, asig_{"ASIG"}, tarea_{"TAREA"},
        prof_{"PROF"}, aula_{"AULA"};
    LazyField grupoId_{"IDGRUPO"}, grupoCurso_{"CURSO"}, materiaId_{"IDASIG"}, profId_{"IDPROF"}, aulaId_{"IDAULA"};
};

// The attributes of the result's root `centro`, in their written order:
// codigo_interno, nombre and curso of the document's root (trimmed),
// fecha_exportacion (now) and version (trimmed). A root that is not `centro`
// or lacks one of the four attributes throws Error.
struct CentroValues {
    QString codigoInterno, nombre, curso, fechaExportacion, version;
};
CentroValues ResultCentro(const Document& document);

// The result document written as its entries come: the nodes outside the
// root of `head` (the exchange document, read whole or only its head), then
// `centro` with one `solucion_horario` holding one dsolucion per append().
// The bytes are those that the document's tree gives when saved with its
// root replaced by that `centro` and those entries. Nothing is at `path` until
// commit(); a writer destroyed uncommitted leaves an earlier file there as
// it was.
class ResultWriter {
public:
    ResultWriter(const Document& head, const QString& path, const CentroValues& centro);
    void append(const DsolucionEntry& entry);
    void commit();

private:
    DocumentStream stream_;
};

// The user's short date, a space, and the time with hours, minutes and seconds.
QString ExportTimestamp();

enum class PathStyle { Windows, Posix };
// Where the result of the chosen document is saved: its folder, then
// "ResultadoHoralis" and its file name. Windows paths split at the last
// backslash, slash or drive colon; POSIX paths at the last slash.
QString ResultadoPath(const QString& chosen, PathStyle style);
QString ResultadoPath(const QString& chosen);  // in this system's style

}  // namespace puente
