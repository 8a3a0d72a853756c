// The headless tool `puente`: the forward and return runs without dialogs.
//
//   puente exportar DOC.xml [--htemp DIR]
//   puente importar DOC.xml [--htemp DIR]
//   puente --help | --version
//
// A short Spanish summary goes to `out`; messages and errors to `err`.
// Exit status: 0 the run went through; 1 it ended by an error; 2 no input
// ("No existe archivo", "No existe archivo XML o Solución."); 64 wrong usage.
#pragma once

#include <QStringList>
#include <QTextStream>

namespace puente {

constexpr int kExitDone = 0;
constexpr int kExitError = 1;
constexpr int kExitNoInput = 2;
constexpr int kExitUsage = 64;

// `args` without the program name.
int RunCli(const QStringList& args, QTextStream& out, QTextStream& err);

}  // namespace puente
