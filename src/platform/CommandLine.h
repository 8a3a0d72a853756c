// The program's parameters and the run mode that they select.
//
// Horalis starts the program as `PuenteHoralisZelta exportar X` or
// `PuenteHoralisZelta importar X`: exactly two parameters select command-line
// mode, the first being the command word. The word is compared with only the
// letters A to Z folded to lower case, the same under every locale ("İMPORTAR"
// is not "importar"). The second parameter must be there but is not read.
//
// Parameters are counted from the whole command line by these rules, which
// differ from the C runtime's argv on Windows: characters with
// codes 1 to 32 separate parameters; double quotes group characters (spaces
// included) into one parameter and are themselves dropped; a pair of double
// quotes at the start of a parameter is a separator, so empty parameters are
// never counted. A backslash has no special meaning.
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

namespace puente {

// Splits a whole command line (program name first) into its words, as
// described above. The program name is the first element when there is one.
QStringList SplitCommandLine(QStringView commandLine);

// The parameters the program was started with, program name excluded, empty
// ones left out, every one counted as given: Qt's own options (-reverse,
// -style X, -platform X ...) too, which the application object takes out of
// argv. On Windows they come from GetCommandLineW through SplitCommandLine;
// elsewhere from `argc` and `argv` as main() received them, so they must be
// taken before the application object is made.
QStringList ProgramParameters(int argc, const char* const* argv);

// The text with the letters A to Z turned into a to z and every other
// character left as it is.
QString FoldAsciiLower(QStringView text);

enum class Command {
    None,      // interactive mode: not exactly two parameters
    Exportar,  // command-line mode, forward run
    Importar,  // command-line mode, return run
    Other,     // command-line mode with another word: no automatic run
};

struct RunMode {
    bool commandLine = false;
    Command command = Command::None;
};

// The mode that these parameters (program name excluded, empty ones already
// left out) select.
RunMode ModeFromParameters(const QStringList& parameters);

}  // namespace puente
