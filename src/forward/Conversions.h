// The six table conversions of the forward run, in their binding order.
//
// Each rebuilds one Horalis table in `ctx.directory` from the loaded exchange
// document: the old NAME.DBF and NAME.MDX are deleted, the table is created
// with its fields, and one row is appended per element of its path, in
// document order. Groups look up tutors in the PROFT written just before;
// assignments look up groups, subjects and teachers in the GRUPOST, ASIGNOMT
// and PROFT of the same run, so the order is binding.
//
// Every attribute is read through TrimSpaces; an attribute that an element
// lacks reads as the empty text. A value that a field refuses raises
// puente::Error ("'%s' is not a valid integer value for field '%s'", "'%s' is
// not a valid floating point value"); the rows posted before it stay in the
// table (the forward run discards the whole set then).
#pragma once

#include "forward/ForwardRun.h"

#include <QString>

namespace puente {

class CodeRegistry;
class Document;
class Element;

struct ForwardContext {
    const Document& document;
    QString directory;               // where the tables are written and looked up
    ForwardReport* report = nullptr; // filled when given
};

void ExportarMaterias(ForwardContext& ctx);     // ASIGNOMT
void ExportarProfesores(ForwardContext& ctx);   // PROFT
void ExportarAulas(ForwardContext& ctx);        // AULAT
void ExportarGrupos(ForwardContext& ctx);       // GRUPOST
void ExportarDiasHoras(ForwardContext& ctx);    // DIASHORAST
void ExportarAsignaturas(ForwardContext& ctx);  // ASIGT

// The six tables in the order the forward run writes them.
const QStringList& ForwardTableNames();

// The attribute's value, trimmed; the empty text when the element lacks it.
QString ReadAttribute(const Element& element, const QString& name);

// A repeated code as the report notes name it: 'code', followed by what the
// table stores for it when that differs (" (se guarda como '?')").
QString RepeatedCode(const CodeRegistry& registry, const QString& code);

// The sessions text of SESIONES for the given hours: the hours rounded up as
// that many "1" (at most 13, the excess written in front as a number);
// fractional hours give the text of their whole part followed by "½".
QString SessionsText(float hours);

}  // namespace puente
