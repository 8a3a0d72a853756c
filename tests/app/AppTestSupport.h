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

#include <deque>
#include <functional>
#include <optional>

namespace puente::test {

// Answers the window's dialogs from a script and logs every step:
//   "file"                 the file dialog (answered by the next entry of
//                          `files`: a path, or nullopt for "cancel"; an empty
//                          script cancels)
//   "message:<text>"       the message box
//   "error:<text>"         the error display, with the text it shows
//   "help:<file>:<n>"      the help viewer asked for a context number
class ScriptedDialogs : public Dialogs {
public:
    std::deque<std::optional<QString>> files;
    bool helpViewerWorks = true;
    QStringList log;
    // Called when the error display is shown (e.g. to mend what failed).
    std::function<void()> onError;

    bool ChooseFile(QFileDialog& dialog, QString& path) override {
        log << "file";
        dialogTitle = dialog.windowTitle();
        if (files.empty()) return false;
        const std::optional<QString> answer = files.front();
        files.pop_front();
        if (!answer) return false;
        path = *answer;
        return true;
    }
    void ShowMessage(QWidget*, const QString& text) override { log << "message:" + text; }
    void ShowError(QWidget*, const QString& text) override {
        log << "error:" + text;
        if (onError) onError();
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
