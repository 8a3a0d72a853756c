// What the window tests share: a scripted stand-in for the window's dialogs
// and a fresh window in a temporary place.
#pragma once

#include "app/Dialogs.h"
#include "app/GradientPanel.h"
#include "app/MainForm.h"
#include "support/TestSupport.h"

#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUrl>

#include <deque>
#include <functional>
#include <optional>

namespace puente::test {

// Answers the window's dialogs from a script and logs every step:
//   "file"                 the file dialog (answered by the next entry of
//                          `files`: a path, or nullopt for "cancel"; an empty
//                          script cancels)
//   "message:<text>"       the message box (its details, empty when none, in
//                          `details`, one per message)
//   "error:<text>"         the error display, with the text it shows
//   "retry:<text>"         the retry question (answered by the next entry of
//                          `retries`; an empty script answers "Cerrar")
//   "help:<file>:<n>"      the help viewer asked for a context number
//   "browser:<url>"        a page opened in the browser
class ScriptedDialogs : public Dialogs {
public:
    std::deque<std::optional<QString>> files;
    std::deque<bool> retries;
    bool helpViewerWorks = true;
    bool browserWorks = true;
    QStringList log;
    QStringList details;
    // The folder the file dialog was in, each time it was shown.
    QStringList dialogDirectories;
    // Called when the error display is shown (e.g. to mend what failed).
    std::function<void()> onError;
    // Called when the retry question is asked, before it is answered.
    std::function<void()> onRetry;

    bool ChooseFile(QFileDialog& dialog, QString& path) override {
        log << "file";
        dialogTitle = dialog.windowTitle();
        dialogDirectories << dialog.directory().absolutePath();
        if (files.empty()) return false;
        const std::optional<QString> answer = files.front();
        files.pop_front();
        if (!answer) return false;
        path = *answer;
        return true;
    }
    void ShowMessage(QWidget*, const QString& text, const QString& messageDetails) override {
        log << "message:" + text;
        details << messageDetails;
    }
    void ShowError(QWidget*, const QString& text) override {
        log << "error:" + text;
        if (onError) onError();
    }
    bool AskRetry(QWidget*, const QString& text) override {
        log << "retry:" + text;
        if (onRetry) onRetry();
        if (retries.empty()) return false;
        const bool answer = retries.front();
        retries.pop_front();
        return answer;
    }
    bool OpenInBrowser(const QUrl& url) override {
        log << "browser:" + url.toString();
        return browserWorks;
    }
    bool OpenHelp(const QString& file, int context) override {
        log << QString("help:%1:%2").arg(file).arg(context);
        return helpViewerWorks;
    }

    QString dialogTitle;
};

// Reads a file, or "<none>" when there is none.
inline QByteArray ReportBytes(const QString& path) {
    return QFile::exists(path) ? ReadFile(path) : QByteArray("<none>");
}

// A window on a temporary working directory, with its outcome report in a
// temporary folder of its own.
class WindowFixture : public ::testing::Test {
protected:
    std::unique_ptr<TMForm> MakeWindow(const QStringList& parameters) {
        auto form = std::make_unique<TMForm>(parameters, htemp_.path(), &dialogs_);
        form->setOutcomeReportPath(ReportPath());
        return form;
    }
    QString ReportPath() const { return reportDir_.filePath("Horalis.ini"); }
    QByteArray Report() const { return ReportBytes(ReportPath()); }

    QTemporaryDir htemp_, reportDir_, docs_;
    ScriptedDialogs dialogs_;
};

}  // namespace puente::test
