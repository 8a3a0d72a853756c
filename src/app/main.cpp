// PuenteHoralisZelta: the desktop converter between ZELTA and Horalis.
//
// Started without parameters it shows its window for the person to choose a
// run; started by Horalis as "PuenteHoralisZelta exportar X" or "... importar
// X" it runs that direction by itself and reports the outcome in Horalis.ini
// beside the executable. The exit code is always 0: Horalis reads the outcome
// from the INI file only.
#include "app/Dialogs.h"
#include "app/MainForm.h"
#include "app/Translations.h"
#include "platform/CommandLine.h"
#include "platform/Paths.h"
#include "platform/Signals.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    puente::IgnoreFileSizeSignal();
    // Counted as given, before the application object takes Qt's own
    // options (-reverse, -style X ...) out of argv.
    const QStringList parameters = puente::ProgramParameters(argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QLatin1StringView(puente::kApplicationTitle));
    QApplication::setApplicationVersion(QStringLiteral(PUENTE_VERSION));
    // Without the file Qt's dialogs speak English; the program works the same.
    puente::InstallSpanishTranslation(app);

    puente::TMForm MForm(parameters, puente::DefaultWorkingDirectory());
    // The automatic run of command-line mode happens here, before the window
    // is seen; when it closes the window there is nothing left to do.
    MForm.show();
    if (!MForm.hasClosed()) app.exec();
    return 0;
}
