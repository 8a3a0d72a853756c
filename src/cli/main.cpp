// puente: the headless front end. See cli/Cli.h for its usage.
#include "cli/Cli.h"
#include "platform/Signals.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv) {
    puente::IgnoreFileSizeSignal();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("puente");
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    return puente::RunCli(args, out, err);
}
