// The return run: the timetable Horalis left in SOLUC becomes the result
// document beside the chosen exchange document.
//
// RunReturn checks that the document and SOLUC exist, finishes a forward
// run's interrupted commit if one was left, opens SOLUC, GRUPOST, PROFT,
// AULAT, ASIGNOMT and ASIGT exclusively, loads the document and rebuilds its
// root, adds one dsolucion per placed lesson of SOLUC (in stored order), and
// saves the result atomically as ResultadoHoralis<document> beside the
// document, which itself is never written. Every table it opened is closed on
// every path out. It shows nothing and asks nothing: the front ends do.
//
// A value for a dsolucion attribute that holds a character XML 1.0 cannot
// hold (a control character other than tab, line feed and carriage return,
// as a table written by another program may carry) is written with '?' in
// its place, and the report notes the SOLUC record and the value.
#pragma once

#include "run/RunReport.h"

#include <QString>

namespace puente {

// Throws Error (NoInput, "No existe archivo XML o Solución.") when no regular
// file stands at `document` or, only when one does, no SOLUC.DBF (any letter
// case) in `workingDirectory`.
void CheckReturnInput(const QString& document, const QString& workingDirectory);

// The whole run. Returns what it wrote; throws Error on failure: NoInput as
// CheckReturnInput, the document's own kinds (NotWellFormed,
// NotExchangeDocument, InputOutput), InputOutput or HeldElsewhere for a table
// that cannot be opened, DamagedTable for one that cannot be read. A failed
// run writes no result document.
ReturnReport RunReturn(const QString& document, const QString& workingDirectory);

}  // namespace puente
