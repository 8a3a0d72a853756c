// puente: the headless front end. See cli/Cli.h for its usage.
#include "cli/Cli.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>

int main(int argc, char** argv) {
#ifdef SIGXFSZ
    // Past a file-size limit a write then fails with an error that the run
    // reports, leaving every file as it was, instead of ending the program
    // on the spot.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("puente");
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    return puente::RunCli(args, out, err);
}
