#include "app/Dialogs.h"

#include "platform/Help.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
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
    auto box = std::make_unique<ScreenCentredBox>(icon, QString::fromLatin1(kApplicationTitle), text,
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
