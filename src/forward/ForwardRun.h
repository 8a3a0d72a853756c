// The forward run: an exchange document from ZELTA becomes the six Horalis
// tables of the working directory.
//
// ExportRun asks the person for the document (the choice sticks in
// session.filenameXML, shared with the return run), checks that it exists,
// loads it, and rebuilds ASIGNOMT, PROFT, AULAT, GRUPOST, DIASHORAST and ASIGT
// in that order. All or nothing: the tables are built in a staging folder
// inside the working directory and replace the old ones only once all six are
// complete; a run that ends by an error leaves every file of the working
// directory as it was.
//
// Ends: Done (outcome 1, "Proceso finalizado" shown, window closed in
// command-line mode); NoInput ("No existe archivo" shown; in command-line mode
// outcome -1 and window closed). Any other failure throws puente::Error with
// the outcome unchanged, the cursor restored and every table released.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace puente {

struct Session;
class UserInterface;

// What one table conversion did, for the headless tool's summary.
struct TableReport {
    QString table;      // "ASIGNOMT"
    int rows = 0;       // rows written
    QStringList notes;  // elements passed over and why, codes renumbered
};

struct ForwardReport {
    QString document;  // the path converted
    QList<TableReport> tables;
};

enum class RunEnd { Done, NoInput };

RunEnd ExportRun(Session& session, UserInterface& ui, ForwardReport* report = nullptr);

}  // namespace puente
