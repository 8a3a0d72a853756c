// puente: the headless front end. See cli/Cli.h for its usage.
#include "cli/Cli.h"
#include "platform/Signals.h"
#include "platform/StandardStreams.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
    puente::IgnoreFileSizeSignal();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("puente");
    // Spanish text reaches a Windows console as UTF-16 (StandardStreams.h).
    puente::StandardStreams streams;
    // On Windows Qt takes the arguments from GetCommandLineW: wide text.
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    return puente::RunCli(args, streams.out(), streams.err());
}
