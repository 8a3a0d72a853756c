// The return run: the timetable Horalis left in SOLUC becomes the result
// document beside the chosen exchange document.
//
// ImportRun shows the reminder, asks for the document (sticky
// session.filenameXML), checks that it and SOLUC exist, opens SOLUC, GRUPOST,
// PROFT, AULAT, ASIGNOMT and ASIGT exclusively, rebuilds the document's root
// and adds one dsolucion per placed lesson, and saves the result atomically.
//
// Ends: Done (outcome 1, "Proceso finalizado", window closed in command-line
// mode); NoInput ("No existe archivo XML o Solución."; in command-line mode
// outcome -1 and window closed). Any other failure throws puente::Error; every
// table the run opened is closed and the cursor restored.
//
// A value for a dsolucion attribute that holds a character XML 1.0 cannot
// hold (a control character other than tab, line feed and carriage return,
// as a table written by another program may carry) is written with '?' in
// its place, and the report notes the SOLUC record and the value.
#pragma once

#include "forward/ForwardRun.h"

#include <QString>
#include <QStringList>

namespace puente {

struct ImportReport {
    QString resultPath;
    int entries = 0;       // dsolucion elements written
    int filteredOut = 0;   // SOLUC records with day or hour 0
    int untranslated = 0;  // records whose subject code was not found
    QStringList notes;     // values written with '?' for characters XML cannot hold
};

RunEnd ImportRun(Session& session, UserInterface& ui, ImportReport* report = nullptr);

}  // namespace puente
