// The six table conversions of the forward run, in their binding order.
//
// Each rebuilds one Horalis table in `ctx.directory` from the loaded exchange
// document: the old NAME.DBF and NAME.MDX are deleted, the table is created
// with its fields, and one row is appended per element of its path, in
// document order; `report` receives the rows written and the notes (elements
// passed over and why, codes renumbered). Groups look up tutors in the PROFT
// written just before; assignments look up groups, subjects and teachers in
// the GRUPOST, ASIGNOMT and PROFT of the same run, so the order is binding.
//
// Every attribute is read through TrimSpaces; an attribute that an element
// lacks reads as the empty text. A value that a field refuses throws Error
// (BadValue: "'%s' is not a valid integer value for field '%s'", "'%s' is not
// a valid floating point value"); the rows posted before it stay in the table
// (the forward run discards the whole set then).
#pragma once

#include "run/RunReport.h"
#include "run/TableNames.h"

#include <QString>
#include <QStringList>

namespace puente {

class CodeRegistry;
class Document;
class Element;
class Field;

struct ForwardContext {
    const Document& document;
    QString directory;  // where the tables are written and looked up
};

void ExportarMaterias(const ForwardContext& ctx, TableReport& report);     // ASIGNOMT
void ExportarProfesores(const ForwardContext& ctx, TableReport& report);   // PROFT
void ExportarAulas(const ForwardContext& ctx, TableReport& report);        // AULAT
void ExportarGrupos(const ForwardContext& ctx, TableReport& report);       // GRUPOST
void ExportarDiasHoras(const ForwardContext& ctx, TableReport& report);    // DIASHORAST
void ExportarAsignaturas(const ForwardContext& ctx, TableReport& report);  // ASIGT

// One conversion: the table it rebuilds and the function that does it.
struct TableConversion {
    const char* table;
    void (*convert)(const ForwardContext& ctx, TableReport& report);
};

// The six, in the order the forward run calls them.
inline constexpr TableConversion kForwardConversions[] = {
    {tables::kAsignomt, ExportarMaterias},    {tables::kProft, ExportarProfesores},
    {tables::kAulat, ExportarAulas},          {tables::kGrupost, ExportarGrupos},
    {tables::kDiashorast, ExportarDiasHoras}, {tables::kAsigt, ExportarAsignaturas},
};

// The names of the six tables, in that order.
QStringList ForwardTableNames();

// Runs the six conversions in order, each appending its table's report to
// `report.tables` before it starts (so a conversion that fails leaves its
// partial report last). Throws what a conversion throws.
void RunConversions(const ForwardContext& ctx, ForwardReport& report);

// The attribute's value, trimmed; the empty text when the element lacks it.
QString ReadAttribute(const Element& element, const QString& name);

// An element of the document as the report's notes name it ("Profesor 3"):
// the wording of its kind and its number, put together only when a note
// needs it.
struct ItemName {
    QString (*wording)(qsizetype item);
    qsizetype item;
    QString text() const { return wording(item); }
};

// Writes a text of the document to the character field `field` of a new
// table (code page 1252). When Windows-1252 lacks some of its characters
// (the field stores '?' for each), `report` gets a note naming `element`
// ("Profesor 3"), the field and the text as given.
void SetText(Field& field, const QString& text, const ItemName& element, TableReport& report);
// The same for a code that a CodeRegistry gave in its stored form
// (`written`) for the code made from the document (`given`): the note names
// `given` when Windows-1252 lacks some of its characters, unless the code
// was `numbered` (its note of a repeated code tells how it is stored).
void SetCode(Field& field, const QString& written, const QString& given, bool numbered, const ItemName& element,
             TableReport& report);

// A repeated code as the report notes name it: 'code', followed by what the
// table stores for it when that differs (" (se guarda como '?')").
QString RepeatedCode(const CodeRegistry& registry, const QString& code);

// The sessions text of SESIONES for the given hours: the hours rounded up as
// that many "1" (at most 13, the excess written in front as a number);
// fractional hours give the text of their whole part followed by "½".
QString SessionsText(float hours);

}  // namespace puente
