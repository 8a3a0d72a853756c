#include "app/Dialogs.h"

#include "platform/Help.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

namespace puente {

QString ErrorDisplayText(const QString& message) {
    if (!message.isEmpty() && message.back().unicode() > u'.') return message + u'.';
    return message;
}

namespace {

std::unique_ptr<QMessageBox> MakeBox(QWidget* parent, const QString& text, QMessageBox::Icon icon) {
    auto box = std::make_unique<QMessageBox>(icon, QString::fromLatin1(kApplicationTitle), text,
                                             QMessageBox::Ok, parent);
    box->setTextFormat(Qt::PlainText);
    box->setWindowModality(Qt::ApplicationModal);
    return box;
}

}  // namespace

std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* parent, const QString& text) {
    return MakeBox(parent, text, QMessageBox::NoIcon);
}

std::unique_ptr<QMessageBox> MakeErrorBox(QWidget* parent, const QString& text) {
    return MakeBox(parent, text, QMessageBox::Critical);
}

bool QtDialogs::ChooseFile(QFileDialog& dialog, QString& path) {
    if (dialog.exec() != QDialog::Accepted) return false;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) return false;
    path = chosen.first();
    return true;
}

void QtDialogs::ShowMessage(QWidget* parent, const QString& text) { MakeMessageBox(parent, text)->exec(); }

void QtDialogs::ShowError(QWidget* parent, const QString& text) { MakeErrorBox(parent, text)->exec(); }

bool QtDialogs::OpenHelp(const QString& file, int context) {
    if (OpenWithHelpViewer(file, context)) return true;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}

}  // namespace puente
