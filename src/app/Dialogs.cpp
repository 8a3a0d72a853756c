#include "app/Dialogs.h"

#include "platform/Help.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QUrl>

namespace puente {

QString ErrorDisplayText(const QString& message) {
    if (!message.isEmpty() && message.back().unicode() > u'.') return message + u'.';
    return message;
}

namespace {

// A message box that shows itself centred on the screen (the screen of its
// parent window, if it has one), never on the window: Qt centres a dialog
// on its parent, and on the screen only a little above and left of centre.
class ScreenCentredBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent* event) override {
        QMessageBox::showEvent(event);  // sets the box's final size
        const QScreen* screen = parentWidget() ? parentWidget()->window()->screen() : this->screen();
        if (!screen) screen = QGuiApplication::primaryScreen();
        if (!screen) return;
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
};

std::unique_ptr<QMessageBox> MakeBox(QWidget* parent, const QString& text, QMessageBox::Icon icon) {
    auto box =
        std::make_unique<ScreenCentredBox>(icon, QString::fromLatin1(kApplicationTitle), text, QMessageBox::Ok, parent);
    box->setTextFormat(Qt::PlainText);
    // "OK" is the system's own word on its boxes, in any language Qt speaks.
    box->button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
    box->setWindowModality(Qt::ApplicationModal);
    return box;
}

}  // namespace

std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* parent, const QString& text, const QString& details) {
    auto box = MakeBox(parent, text, QMessageBox::NoIcon);
    if (!details.isEmpty()) box->setDetailedText(details);
    return box;
}

std::unique_ptr<QMessageBox> MakeErrorBox(QWidget* parent, const QString& text) {
    return MakeBox(parent, text, QMessageBox::Critical);
}

std::unique_ptr<QMessageBox> MakeRetryBox(QWidget* parent, const QString& text) {
    auto box = MakeBox(parent, text, QMessageBox::Critical);
    box->setStandardButtons(QMessageBox::Retry | QMessageBox::Close);
    box->button(QMessageBox::Retry)->setText(QStringLiteral("Reintentar"));
    box->button(QMessageBox::Close)->setText(QStringLiteral("Cerrar"));
    box->setDefaultButton(QMessageBox::Retry);
    box->setEscapeButton(QMessageBox::Close);
    return box;
}

bool QtDialogs::ChooseFile(QFileDialog& dialog, QString& path) {
    if (dialog.exec() != QDialog::Accepted) return false;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) return false;
    path = chosen.first();
    return true;
}

void QtDialogs::ShowMessage(QWidget* parent, const QString& text, const QString& details) {
    MakeMessageBox(parent, text, details)->exec();
}

void QtDialogs::ShowError(QWidget* parent, const QString& text) { MakeErrorBox(parent, text)->exec(); }

bool QtDialogs::AskRetry(QWidget* parent, const QString& text) {
    auto box = MakeRetryBox(parent, text);
    box->exec();
    return box->clickedButton() == box->button(QMessageBox::Retry);
}

bool QtDialogs::OpenInBrowser(const QUrl& url) { return QDesktopServices::openUrl(url); }

bool QtDialogs::OpenHelp(const QString& file, int context) {
    if (OpenWithHelpViewer(file, context)) return true;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}

}  // namespace puente
