// The summary of a run as lines of text, the same for every front end: the
// document and working directory, each table with its rows and notes, or the
// result document and its counts.
#pragma once

#include "run/RunReport.h"

#include <QStringList>

namespace puente {

// "Documento: …", "Carpeta de trabajo: …", then per table "NAME: n filas"
// followed by its notes, each as "  - note".
QStringList ForwardSummary(const ForwardReport& report);

// "Resultado: …", then the entries written and the records passed over,
// then the notes, each as "  - note".
QStringList ReturnSummary(const ReturnReport& report);

}  // namespace puente
