// What a run needs from the person in front of it.
//
// The window implements this with real dialogs; `puente` implements it without
// any (the file is given on the command line); tests implement it with a
// script of answers. Every call is modal: it returns once the person answered.
#pragma once

#include <QString>

namespace puente {

class UserInterface {
public:
    virtual ~UserInterface() = default;

    // The file dialog "Seleccionar Archivo XML obtenido de ZELTA" (filter
    // "*.xml", default extension "xml"). Returns true and sets `path` when the
    // person confirms a file (which need not exist); false when cancelled.
    virtual bool ChooseExchangeFile(QString& path) = 0;
    // A plain message box titled "PuenteHoralisZelta" with one button "OK".
    virtual void ShowMessage(const QString& text) = 0;
    // The application-wide wait cursor, on or off.
    virtual void SetWaitCursor(bool on) = 0;
    // Closes the main window (command-line mode, at the end of a run).
    virtual void CloseWindow() = 0;
};

}  // namespace puente
