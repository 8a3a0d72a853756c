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
// says so with the reason and offers "Reintentar" (write again) and "Cerrar"
// (close without the report); the window closes either way, once the report
// is written or the person gives up.
//
// The window holds the dialogue of both runs (the reminder, the file dialog
// and its sticky choice filenameXML, the existence checks and their messages,
// the wait cursor, "Proceso finalizado" with the run's summary as its
// details, the outcome value, the close in command-line mode) and calls the
// core (RunForward, RunReturn) for the conversion itself. An error that a run
// throws ends the run and is shown by the error display, and the window goes
// on answering. Every run, however it ends, appends an entry to the run log
// of the working directory (front end "ventana"); a log that cannot be
// written is passed over in silence.
//
// Help: the help file ZELTA.chm; when it is missing or no viewer opens it,
// the program's own Spanish help page (OwnHelpPagePaths) in the browser.
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
struct RunLogEntry;

// Where the program's own help page is looked for, in order: "ayuda/ayuda.html"
// beside the executable, then "../share/puentehoraliszelta/ayuda/ayuda.html"
// from the executable's folder (an installed program).
QStringList OwnHelpPagePaths();

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
    // page); when the file is missing or no viewer opens it, the first of
    // ownHelpPages() that exists in the browser (at its part on the window
    // for kMainWindowHelpContext). When that fails too, the error display
    // tells both.
    void ShowHelp(int context);

    // The candidates for the program's own help page: OwnHelpPagePaths()
    // unless set otherwise.
    QStringList ownHelpPages() const { return ownHelpPages_; }
    void setOwnHelpPages(const QStringList& pages) { ownHelpPages_ = pages; }

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
    // The end of a run that went through: outcome 1, "Proceso finalizado"
    // with `summary` as its details, and the close in command-line mode.
    void RunDone(const QStringList& summary);
    // Runs `run`, the dialogue and the call into the core, which gives the
    // run log's entry of a run that went through. Missing input (Error
    // NoInput) shows its message; in command-line mode the outcome becomes
    // -1 and the window closes. Any other error reaches the error display
    // with the outcome unchanged and the window open. The cursor is restored
    // on every path. The entry (or that of the error, for `direction` and
    // filenameXML) is appended to the run log before anything is shown.
    template <class Run>
    void RunGuarded(const QString& direction, Run run);
    void AppendToRunLog(const RunLogEntry& entry);
    // Writes the outcome report; false with the reason when it cannot.
    bool WriteOutcome(QString& reason);

    std::unique_ptr<QtDialogs> ownDialogs_;
    Dialogs* dialogs_;
    QString workingDirectory_;
    qint32 outcome_ = 0;
    RunMode mode_;
    QString reportPath_;
    QStringList ownHelpPages_;
    bool shown_ = false;
    bool closed_ = false;
    bool waitCursor_ = false;
};

}  // namespace puente
