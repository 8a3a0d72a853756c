// The program's one window, MForm of the class TMForm.
//
// It offers both runs to the person in front of it: the forward panel
// (Draw3D2, "Transformar datos desde ZELTA hacia Horalis", button BExportar)
// and the return panel (Draw3D3, button BImportar) above the bottom panel
// (Draw3D1: the version label, "F1 Ayuda" and "Salir").
//
// Modes, taken from the parameters when the window is created (FormCreate):
//   - interactive (not exactly two parameters): both panels; nothing runs by
//     itself, the runs leave the window open and nothing is reported;
//   - command-line mode, "exportar" or "importar" (only A to Z folded): only
//     that direction's panel, filling the window and covering the bottom
//     panel; its run starts once by itself just before the window becomes
//     visible (FormShow); a run that goes through, or finds no input, closes
//     the window;
//   - command-line mode with another word: both panels, no automatic run, but
//     runs close the window as above.
// In command-line mode every close (FormClose) writes the outcome value (1, -1
// or 0) to "Horalis.ini" beside the executable, section "Transformadores",
// key "Transformado". When that file cannot be written the error display
// names it and the close is abandoned: the window stays open, so that the
// person can mend the cause and close again.
//
// The window holds the dialogue of both runs (the reminder, the file dialog
// and its sticky choice filenameXML, the existence checks and their messages,
// the wait cursor, "Proceso finalizado", the outcome value, the close in
// command-line mode) and calls the core (RunForward, RunReturn) for the
// conversion itself. An error that a run throws ends the run and is shown by
// the error display, and the window goes on answering.
#pragma once

#include "app/Dialogs.h"
#include "platform/CommandLine.h"

#include <QStringList>
#include <QWidget>

#include <memory>

class QFileDialog;
class QLabel;
class QPushButton;

namespace puente {

class GradientPanel;

class TMForm : public QWidget {
    Q_OBJECT

public:
    // The client area, in pixels.
    static constexpr int kClientWidth = 632;
    static constexpr int kClientHeight = 266;

    // `parameters`: the program's parameters without the program name and
    // without empty ones (ProgramParameters(argc, argv)). `workingDirectory`: the Horalis
    // working directory. `dialogs`: the dialogs to show, QtDialogs when null;
    // not owned.
    TMForm(const QStringList& parameters, const QString& workingDirectory, Dialogs* dialogs = nullptr,
           QWidget* parent = nullptr);
    ~TMForm() override;

    // Components.
    GradientPanel* Draw3D2 = nullptr;  // forward panel
    QLabel* Label3 = nullptr;
    QPushButton* BExportar = nullptr;
    GradientPanel* Draw3D3 = nullptr;  // return panel
    QLabel* Label4 = nullptr;
    QPushButton* BImportar = nullptr;
    GradientPanel* Draw3D1 = nullptr;  // bottom panel
    QLabel* Label1 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* BClose = nullptr;
    QFileDialog* OpenDialogXML = nullptr;

    // The exchange document chosen last, by either run; empty at start. A
    // cancelled dialog keeps it.
    QString filenameXML;

    // On when the program was started with exactly two parameters.
    bool commandLineMode() const { return mode_.commandLine; }
    RunMode mode() const { return mode_; }
    // 0 nothing finished, 1 a run went through, -1 no input (command-line
    // mode only). Written to Horalis.ini when the window closes in
    // command-line mode.
    qint32 outcome() const { return outcome_; }
    // The runs set it; a test may set it to try the close.
    void setOutcome(qint32 value) { outcome_ = value; }
    const QString& workingDirectory() const { return workingDirectory_; }

    // Where FormClose writes the outcome report: OutcomeReportPath() (beside
    // the executable) unless set otherwise.
    QString outcomeReportPath() const { return reportPath_; }
    void setOutcomeReportPath(const QString& path) { reportPath_ = path; }

    // True once a close has gone through (FormClose did not abandon it).
    bool hasClosed() const { return closed_; }

    // The first show runs FormShow before the window becomes visible; when
    // the automatic run closes the window, it is never shown.
    void setVisible(bool visible) override;

    // The handlers.
    void BExportarClick();  // the forward run
    void BImportarClick();  // the return run
    void Button1Click();    // help, start page
    // Opens the help file at a context number (kHelpStartPage for the start
    // page); a missing file or viewer is told by the error display.
    void ShowHelp(int context);

protected:
    void closeEvent(QCloseEvent* event) override;  // FormClose

private:
    void FormCreate(const QStringList& parameters);
    void FormShow();
    void ShowError(const QString& message);
    QWidget* BoxParent();
    void ShowMessage(const QString& text);
    void SetWaitCursor(bool on);
    // Shows OpenDialogXML; a confirmed choice replaces filenameXML.
    void ChooseDocument();
    // The end of a run that went through: outcome 1, "Proceso finalizado",
    // and the close in command-line mode.
    void RunDone();
    // Runs `run`, the dialogue and the call into the core. Missing input
    // (Error NoInput) shows its message; in command-line mode the outcome
    // becomes -1 and the window closes. Any other error reaches the error
    // display with the outcome unchanged and the window open. The cursor is
    // restored on every path.
    template <class Run>
    void RunGuarded(Run run);

    std::unique_ptr<QtDialogs> ownDialogs_;
    Dialogs* dialogs_;
    QString workingDirectory_;
    qint32 outcome_ = 0;
    RunMode mode_;
    QString reportPath_;
    bool shown_ = false;
    bool closed_ = false;
    bool waitCursor_ = false;
};

}  // namespace puente
