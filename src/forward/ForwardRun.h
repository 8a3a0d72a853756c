// The forward run: an exchange document from ZELTA becomes the six Horalis
// tables of the working directory.
//
// RunForward checks that the document exists, loads it, and rebuilds
// ASIGNOMT, PROFT, AULAT, GRUPOST, DIASHORAST and ASIGT in that order. All or
// nothing: while holding the working directory's lock, it builds the tables
// in a staging folder inside the working directory and replaces the old ones
// only once all six are complete, after checking that no other program holds
// one of them; a run that ends by an error leaves every file of the working
// directory as it was. It shows nothing and asks nothing: the front ends do.
#pragma once

#include "run/RunReport.h"

#include <QString>

namespace puente {

// Throws Error (NoInput, "No existe archivo") when no regular file stands at
// `document` (an empty path, a folder and a name of no file all count).
void CheckForwardInput(const QString& document);

// The whole run. Returns what it wrote; throws Error on failure: NoInput as
// CheckForwardInput or when the working directory does not exist, the document's own kinds (NotWellFormed,
// NotExchangeDocument, InputOutput), HeldElsewhere when a table or the
// working directory is in use, BadValue when a field refuses a value.
ForwardReport RunForward(const QString& document, const QString& workingDirectory);

}  // namespace puente
