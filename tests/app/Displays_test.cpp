// The message box and the error display.
#include "AppTestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace puente {
namespace {

struct StopCase {
    const char* name;
    QString message;
    QString shown;
};

void PrintTo(const StopCase& c, std::ostream* os) { *os << c.name; }

class ErrorDisplayTextTest : public ::testing::TestWithParam<StopCase> {};

TEST_P(ErrorDisplayTextTest, AddsAFullStopAboveTheCodeOfTheFullStop) {
    const StopCase& c = GetParam();
    EXPECT_EQ(ErrorDisplayText(c.message), c.shown) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ErrorDisplayTextTest,
    ::testing::Values(StopCase{"a letter", "No existe", "No existe."}, StopCase{"a full stop already", "Fin.", "Fin."},
                      StopCase{"empty text", "", ""}, StopCase{"a digit (above the full stop)", "Línea 3", "Línea 3."},
                      StopCase{"a slash, U+002F", "C:/HTEMP/", "C:/HTEMP/."},
                      StopCase{"a hyphen, U+002D", "a -", "a -"}, StopCase{"a closing bracket, U+0029", "(1)", "(1)"},
                      StopCase{"an exclamation mark, U+0021", "¡Hecho!", "¡Hecho!"},
                      StopCase{"a question mark, U+003F", "¿Seguro?", "¿Seguro?."},
                      StopCase{"a closing quote, U+0022", "\"a\"", "\"a\""}, StopCase{"a space", "Fin ", "Fin "},
                      StopCase{"a line break", "Fin\n", "Fin\n"},
                      StopCase{"a letter above ASCII", QString::fromUtf8("Solución"), QString::fromUtf8("Solución.")},
                      StopCase{"an ellipsis character", QString::fromUtf8("Espere…"), QString::fromUtf8("Espere….")}));

TEST(DisplaysTest, MessageBoxIsPlainWithOneOkButton) {
    auto box = MakeMessageBox(nullptr, "Proceso finalizado");
    EXPECT_EQ(box->windowTitle(), "PuenteHoralisZelta");
    EXPECT_EQ(box->text(), "Proceso finalizado");
    EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    ASSERT_EQ(box->buttons().size(), 1);
    EXPECT_EQ(box->standardButton(box->buttons().first()), QMessageBox::Ok);
    EXPECT_EQ(box->buttons().first()->text().remove('&'), "OK");
    EXPECT_EQ(box->windowModality(), Qt::ApplicationModal);
}

TEST(DisplaysTest, ErrorDisplayHasTheErrorIcon) {
    auto box = MakeErrorBox(nullptr, "Field 'COD' not found.");
    EXPECT_EQ(box->windowTitle(), "PuenteHoralisZelta");
    EXPECT_EQ(box->text(), "Field 'COD' not found.");
    EXPECT_EQ(box->icon(), QMessageBox::Critical);
    ASSERT_EQ(box->buttons().size(), 1);
    EXPECT_EQ(box->standardButton(box->buttons().first()), QMessageBox::Ok);
    EXPECT_EQ(box->windowModality(), Qt::ApplicationModal);
}

// The real boxes, shown modally as the runs show them: centred on the screen,
// whether over a visible window that stands elsewhere or with no window.
struct CentreCase {
    const char* name;
    bool error;       // the error display, else the message box
    bool overWindow;  // over the window, shown away from the centre
};

void PrintTo(const CentreCase& c, std::ostream* os) { *os << c.name; }

class BoxPlacement : public test::WindowFixture, public ::testing::WithParamInterface<CentreCase> {};

TEST_P(BoxPlacement, IsCentredOnTheScreen) {
    const CentreCase& c = GetParam();
    auto form = MakeWindow({});
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    if (c.overWindow) {
        form->show();
        form->move(screen.topLeft());
        QApplication::processEvents();
        ASSERT_NE(form->frameGeometry().center(), screen.center());
    }

    // Answers the box once it is shown, noting where it stands.
    QRect shown;
    QTimer answer;
    answer.setInterval(10);
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) return;
        shown = box->frameGeometry();
        box->button(QMessageBox::Ok)->click();
    });
    answer.start();
    QtDialogs dialogs;
    QWidget* parent = c.overWindow ? form.get() : nullptr;
    if (c.error)
        dialogs.ShowError(parent, "Field 'COD' not found.");
    else
        dialogs.ShowMessage(parent, "Proceso finalizado");
    answer.stop();

    ASSERT_FALSE(shown.isEmpty());
    EXPECT_EQ(shown.center(), screen.center())
        << "box centre at " << shown.center().x() << "," << shown.center().y() << "; screen centre at "
        << screen.center().x() << "," << screen.center().y();
}

INSTANTIATE_TEST_SUITE_P(Cases, BoxPlacement,
                         ::testing::Values(CentreCase{"message over the window", false, true},
                                           CentreCase{"message without a window", false, false},
                                           CentreCase{"error over the window", true, true},
                                           CentreCase{"error without a window", true, false}));

}  // namespace
}  // namespace puente
