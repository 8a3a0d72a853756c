// The headless tool `puente`: the forward and return runs without dialogs.
//
//   puente exportar DOC.xml [--htemp DIR] [--json | --quiet]
//   puente importar DOC.xml [--htemp DIR] [--json | --quiet]
//   puente --help | --version
//
// Options may stand anywhere; "--" ends them. The summary goes to `out`
// (with --json one JSON object instead, also when the run fails; with
// --quiet nothing); messages and errors go to `err`, "Proceso finalizado"
// after the summary. Unlike the window, the headless tool shows no reminder
// and names each missing input with its path. A working directory that does
// not exist is refused, never created.
//
// Exit status: 0 the run went through; 1 it ended by an error; 2 no input
// (the document, SOLUC or the working directory is not there); 64 wrong
// usage; 74 standard output could not be written; 75 a table or the working
// directory is held by another program (try again later).
#pragma once

#include <QStringList>
#include <QTextStream>

namespace puente {

constexpr int kExitDone = 0;
constexpr int kExitError = 1;
constexpr int kExitNoInput = 2;
constexpr int kExitUsage = 64;
constexpr int kExitOutputFailed = 74;
constexpr int kExitBusy = 75;

// `args` without the program name.
int RunCli(const QStringList& args, QTextStream& out, QTextStream& err);

}  // namespace puente
