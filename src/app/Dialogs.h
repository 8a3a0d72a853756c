// The window's dialogs and displays, behind a seam that tests answer.
//
// Everything modal that the window shows goes through a Dialogs object: the
// file dialog OpenDialogXML, the message box, the error display, and the help
// viewer. QtDialogs shows the real ones; tests hand the window a script of
// answers instead, and drive the real widgets of the window themselves.
//
// The message box is plain: the text, no icon, one button "OK", titled
// "PuenteHoralisZelta", centred on the screen whether or not the window is
// visible and wherever it stands; details, when given, sit behind the box's
// details button ("Mostrar los detalles..." in Qt's Spanish). The error
// display is the same box with the error icon, and shows ErrorDisplayText of
// the error's message. The retry question is the error display with the
// buttons "Reintentar" and "Cerrar".
#pragma once

#include <QString>

#include <memory>

class QFileDialog;
class QMessageBox;
class QUrl;
class QWidget;

namespace puente {

// The caption of every message and error box.
inline constexpr char kApplicationTitle[] = "PuenteHoralisZelta";

// The text that the error display shows for an error's message: a full stop
// is added when the code of the last character is above that of "." (U+002E):
// "No existe" and "¿Seguro?" gain one, "Fin.", "(1)" and "¡Hecho!" do not; an
// empty text stays empty.
QString ErrorDisplayText(const QString& message);

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // Shows the file dialog (modal). True, with path set, when a file was
    // confirmed (it need not exist); false, path untouched, when cancelled.
    virtual bool ChooseFile(QFileDialog& dialog, QString& path) = 0;
    // The message box (modal), over parent when it is given; `details`, when
    // not empty, are offered behind the box's details button.
    virtual void ShowMessage(QWidget* parent, const QString& text, const QString& details = QString()) = 0;
    // The error display (modal); `text` is already ErrorDisplayText.
    virtual void ShowError(QWidget* parent, const QString& text) = 0;
    // The error display asking whether to try again (modal): true for
    // "Reintentar", false for "Cerrar" or when the box is dismissed.
    virtual bool AskRetry(QWidget* parent, const QString& text) = 0;
    // Opens the help file (which exists) at the start page (context 0) or at
    // a context number; false when no viewer could open it.
    virtual bool OpenHelp(const QString& file, int context) = 0;
    // Opens a page in the person's web browser; false when none could.
    virtual bool OpenInBrowser(const QUrl& url) = 0;
};

// The real dialogs.
class QtDialogs final : public Dialogs {
public:
    bool ChooseFile(QFileDialog& dialog, QString& path) override;
    void ShowMessage(QWidget* parent, const QString& text, const QString& details = QString()) override;
    void ShowError(QWidget* parent, const QString& text) override;
    bool AskRetry(QWidget* parent, const QString& text) override;
    // The help viewer of the system (platform/Help), else the desktop's
    // handler for the file.
    bool OpenHelp(const QString& file, int context) override;
    // QDesktopServices::openUrl.
    bool OpenInBrowser(const QUrl& url) override;
};

// The boxes that QtDialogs shows, built but not shown; once shown they stand
// centred on the screen.
std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* parent, const QString& text, const QString& details = QString());
std::unique_ptr<QMessageBox> MakeErrorBox(QWidget* parent, const QString& text);
// The retry question: the error box with "Reintentar" (its default button)
// and "Cerrar" (also its escape button) in place of "OK".
std::unique_ptr<QMessageBox> MakeRetryBox(QWidget* parent, const QString& text);

}  // namespace puente
