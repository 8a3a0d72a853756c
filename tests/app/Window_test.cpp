// The window as it is built: components, texts, colours, fonts, and what
// each mode shows.
#include "AppTestSupport.h"

#include "app/GradientPanel.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QPushButton>

namespace puente {
namespace {

using test::WindowFixture;

struct Component {
    const char* name;
    const char* parent;
    QRect geometry;
    const char* text;  // caption or label text; nullptr for panels
};

void PrintTo(const Component& c, std::ostream* os) { *os << c.name; }

const Component kComponents[] = {
    {"Draw3D2", "MForm", {0, 0, 315, 169}, nullptr},
    {"Label3", "Draw3D2", {24, 24, 265, 57}, "Transformar datos desde ZELTA hacia Horalis "},
    {"BExportar", "Draw3D2", {96, 120, 89, 25}, "OK"},
    {"Draw3D3", "MForm", {316, 0, 317, 169}, nullptr},
    {"Label4", "Draw3D3", {8, 24, 305, 57}, "Transformar datos desde Horalis hacia ZELTA"},
    {"BImportar", "Draw3D3", {96, 120, 89, 25}, "OK"},
    {"Draw3D1", "MForm", {0, 168, 633, 97}, nullptr},
    {"Label1", "Draw3D1", {8, 72, 225, 13}, "PuenteHoralisZELTA para HX18 V-1.0"},
    {"Button1", "Draw3D1", {48, 40, 75, 25}, "F1 Ayuda"},
    {"BClose", "Draw3D1", {256, 32, 89, 25}, "&Salir"},
};

class ComponentTest : public WindowFixture, public ::testing::WithParamInterface<Component> {};

TEST_P(ComponentTest, StandsWhereItBelongs) {
    const Component& c = GetParam();
    auto form = MakeWindow({});
    auto* w = form->findChild<QWidget*>(c.name);
    ASSERT_NE(w, nullptr) << c.name;
    EXPECT_EQ(w->parentWidget()->objectName(), c.parent);
    if (w == form->Label1) {
        // Sized to its text: as given where the font allows, wider where the
        // font in place of MS Sans Serif needs more room.
        EXPECT_EQ(w->pos(), c.geometry.topLeft());
        EXPECT_GE(w->width(), c.geometry.width());
        EXPECT_GE(w->height(), c.geometry.height());
        EXPECT_LE(w->sizeHint().width(), w->width());
    } else {
        EXPECT_EQ(w->geometry(), c.geometry);
    }
    EXPECT_FALSE(w->isHidden());
    if (auto* label = qobject_cast<QLabel*>(w)) {
        EXPECT_EQ(label->text(), c.text);
    }
    if (auto* button = qobject_cast<QPushButton*>(w)) {
        EXPECT_EQ(button->text(), c.text);
    }
}

INSTANTIATE_TEST_SUITE_P(Layout, ComponentTest, ::testing::ValuesIn(kComponents),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowFixture, IsAFixedDialogWindowWithItsCaption) {
    auto form = MakeWindow({});
    EXPECT_EQ(form->objectName(), "MForm");
    EXPECT_EQ(form->windowTitle(), "Exportar e importar datos entre Horalis y ZELTA");
    EXPECT_EQ(form->size(), QSize(632, 266));
    EXPECT_EQ(form->minimumSize(), QSize(632, 266));
    EXPECT_EQ(form->maximumSize(), QSize(632, 266));
    const Qt::WindowFlags flags = form->windowFlags();
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(form->windowIcon().isNull());
    EXPECT_EQ(form->font().family(), "MS Sans Serif");
    EXPECT_EQ(form->font().pixelSize(), 11);
}

TEST_F(WindowFixture, IsCentredOnTheScreen) {
    auto form = MakeWindow({});
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(form->geometry().center(), screen.center());
}

// Two colours that differ by at most 3 in each channel (a pixel's centre
// lies half a row away from the stop).
bool Near(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) <= 3 && std::abs(qGreen(a) - qGreen(b)) <= 3 &&
           std::abs(qBlue(a) - qBlue(b)) <= 3;
}

TEST_F(WindowFixture, PanelsHaveTheirGradients) {
    auto form = MakeWindow({});
    struct Expected {
        GradientPanel* panel;
        QRgb start, middle, end;
    };
    for (const Expected& e :
         {Expected{form->Draw3D2, 0xF9D37D, 0xFFFFFF, 0xFFEEDD}, Expected{form->Draw3D3, 0xF9D37D, 0xFFFFFF, 0xFFEEDD},
          Expected{form->Draw3D1, 0xC2CDFE, 0xCFF2FE, 0xCCD8E6}}) {
        const std::string name = e.panel->objectName().toStdString();
        EXPECT_EQ(e.panel->startColor(), QColor(e.start)) << name;
        EXPECT_EQ(e.panel->middleColor(), QColor(e.middle)) << name;
        EXPECT_EQ(e.panel->endColor(), QColor(e.end)) << name;
        // Vertical, from the top to the bottom of the panel.
        const QLinearGradient g = e.panel->gradient();
        EXPECT_EQ(g.start(), QPointF(0, 0)) << name;
        EXPECT_EQ(g.finalStop(), QPointF(0, e.panel->height())) << name;
        // And painted so: top, middle and bottom rows of the panel's own image.
        const QImage image = e.panel->grab().toImage();
        const int x = 2;  // left of every child
        EXPECT_TRUE(Near(image.pixel(x, 0), e.start)) << name;
        EXPECT_TRUE(Near(image.pixel(x, image.height() / 2), e.middle)) << name;
        EXPECT_TRUE(Near(image.pixel(x, image.height() - 1), e.end)) << name;
    }
}

TEST_F(WindowFixture, LabelsHaveTheirFontsAndColours) {
    auto form = MakeWindow({});
    for (QLabel* label : {form->Label3, form->Label4}) {
        const std::string name = label->objectName().toStdString();
        EXPECT_EQ(label->font().family(), "Arial") << name;
        EXPECT_EQ(label->font().pixelSize(), 16) << name;
        EXPECT_TRUE(label->font().bold()) << name;
        EXPECT_TRUE(label->wordWrap()) << name;
        EXPECT_FALSE(label->autoFillBackground()) << name;
    }
    EXPECT_TRUE(form->Label1->font().bold());
    EXPECT_EQ(form->Label1->font().pixelSize(), 11);
    EXPECT_FALSE(form->Label1->autoFillBackground());
    EXPECT_EQ(form->Label1->palette().color(QPalette::WindowText), QColor(0xFF0000));
    EXPECT_EQ(form->BExportar->font().family(), "MS Sans Serif");
}

TEST_F(WindowFixture, OkButtonsCarryAGlyph) {
    auto form = MakeWindow({});
    EXPECT_FALSE(form->BExportar->icon().isNull());
    EXPECT_FALSE(form->BImportar->icon().isNull());
    EXPECT_FALSE(form->BClose->icon().isNull());
}

TEST_F(WindowFixture, OpenDialogXmlAcceptsAnyNameWithTheXmlFilter) {
    auto form = MakeWindow({});
    QFileDialog* d = form->OpenDialogXML;
    EXPECT_EQ(d->objectName(), "OpenDialogXML");
    EXPECT_EQ(d->windowTitle(), "Seleccionar Archivo XML obtenido de ZELTA");
    EXPECT_EQ(d->nameFilters(), QStringList{"*.xml (*.xml)"});
    EXPECT_EQ(d->defaultSuffix(), "xml");
    EXPECT_EQ(d->fileMode(), QFileDialog::AnyFile);  // a name of a file that does not exist is accepted
    EXPECT_EQ(d->acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_TRUE(d->testOption(QFileDialog::DontUseNativeDialog));
}

// What each command line shows. Nothing runs here: the window is built, not shown.
struct ModeCase {
    const char* name;
    QStringList parameters;
    bool commandLine;
    bool forwardShown, returnShown;
    QRect forward, ret;
};

void PrintTo(const ModeCase& c, std::ostream* os) { *os << c.name; }

const QRect kForward(0, 0, 315, 169), kReturn(316, 0, 317, 169), kWhole(0, 0, 632, 266);

class ModeTest : public WindowFixture, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(ModeTest, ShowsThePanelsOfTheMode) {
    const ModeCase& c = GetParam();
    auto form = MakeWindow(c.parameters);
    EXPECT_EQ(form->commandLineMode(), c.commandLine);
    EXPECT_EQ(form->outcome(), 0);
    EXPECT_EQ(!form->Draw3D2->isHidden(), c.forwardShown);
    EXPECT_EQ(!form->Draw3D3->isHidden(), c.returnShown);
    EXPECT_FALSE(form->Draw3D1->isHidden());
    if (c.forwardShown) {
        EXPECT_EQ(form->Draw3D2->geometry(), c.forward);
    }
    if (c.returnShown) {
        EXPECT_EQ(form->Draw3D3->geometry(), c.ret);
    }
    // What lies on top where the bottom panel's buttons are.
    for (QWidget* w : {static_cast<QWidget*>(form->BClose), static_cast<QWidget*>(form->Button1),
                       static_cast<QWidget*>(form->Label1)}) {
        const QPoint centre = w->mapTo(form.get(), w->rect().center());
        QWidget* top = form->childAt(centre);
        const bool covered = c.forwardShown != c.returnShown;
        EXPECT_EQ(top == w, !covered) << w->objectName().toStdString();
        if (covered) {
            EXPECT_TRUE(top == form->Draw3D2 || top == form->Draw3D3) << w->objectName().toStdString();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ModeTest,
    ::testing::Values(ModeCase{"interactive", {}, false, true, true, kForward, kReturn},
                      ModeCase{"exportar", {"exportar", "x"}, true, true, false, kWhole, {}},
                      ModeCase{"EXPORTAR", {"EXPORTAR", "x"}, true, true, false, kWhole, {}},
                      ModeCase{"importar", {"importar", "x"}, true, false, true, {}, kWhole},
                      ModeCase{"Importar", {"Importar", "x"}, true, false, true, {}, kWhole},
                      ModeCase{"other_word", {"otra", "x"}, true, true, true, kForward, kReturn},
                      ModeCase{"one_parameter", {"exportar"}, false, true, true, kForward, kReturn},
                      ModeCase{"three_parameters", {"importar", "x", "y"}, false, true, true, kForward, kReturn}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowFixture, ForwardAndReturnPanelsLieAboveTheBottomPanel) {
    auto form = MakeWindow({});
    // The bottom panel's first row is shared with the upper panels.
    EXPECT_EQ(form->childAt(10, 168), form->Draw3D2);
    EXPECT_EQ(form->childAt(400, 168), form->Draw3D3);
    EXPECT_EQ(form->childAt(10, 169), form->Draw3D1);
}

}  // namespace
}  // namespace puente
