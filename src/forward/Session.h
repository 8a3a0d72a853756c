// The state that lives as long as the program and that both runs share.
#pragma once

#include <QString>

#include <memory>

namespace puente {

class Document;

struct Session {
    Session();
    ~Session();

    // On when the program was started with exactly two parameters.
    bool commandLineMode = false;
    // 0 nothing finished, 1 a run went through, -1 no input (command-line
    // mode only). Written to Horalis.ini when the window closes.
    qint32 outcome = 0;
    // The exchange document chosen last, by either run; empty at start.
    QString filenameXML;
    // The Horalis working directory (C:\HTEMP on Windows).
    QString workingDirectory;
    // The document loaded by the last run, of either direction.
    std::unique_ptr<Document> document;
};

}  // namespace puente
