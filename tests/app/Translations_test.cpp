// Qt's own texts in Spanish: the file dialog, the standard buttons and the
// details button of "Proceso finalizado"; the system's own texts unchanged.
#include "AppTestSupport.h"

#include "app/Translations.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QTranslator>

namespace puente {
namespace {

using test::WindowFixture;

bool SpanishTranslationAvailable() {
    for (const QString& d : QtTranslationDirectories())
        if (!d.isEmpty() && QFileInfo::exists(QDir(d).filePath("qtbase_es.qm"))) return true;
    return false;
}

// Installs the translation for one test and takes it away after, so that the
// other tests see Qt as it was.
class SpanishTest : public WindowFixture {
protected:
    void SetUp() override {
        if (!SpanishTranslationAvailable())
            GTEST_SKIP() << "qtbase_es.qm is not installed (Debian: qt6-translations-l10n)";
        ASSERT_TRUE(InstallSpanishTranslation(*qApp, QtTranslationDirectories(), &from_));
    }
    void TearDown() override {
        for (QTranslator* t : qApp->findChildren<QTranslator*>(Qt::FindDirectChildrenOnly)) {
            QCoreApplication::removeTranslator(t);
            delete t;
        }
    }
    QString from_;
};

TEST_F(SpanishTest, StandardButtonsSpeakSpanish) {
    EXPECT_TRUE(QFileInfo::exists(QDir(from_).filePath("qtbase_es.qm")));
    QDialogButtonBox buttons(QDialogButtonBox::Cancel | QDialogButtonBox::Open | QDialogButtonBox::Close |
                             QDialogButtonBox::Retry);
    const struct {
        QDialogButtonBox::StandardButton button;
        const char* text;
    } cases[] = {{QDialogButtonBox::Cancel, "Cancelar"},
                 {QDialogButtonBox::Open, "Abrir"},
                 {QDialogButtonBox::Close, "Cerrar"},
                 {QDialogButtonBox::Retry, "Reintentar"}};
    for (const auto& c : cases) EXPECT_EQ(buttons.button(c.button)->text().remove('&'), QString::fromUtf8(c.text));
}

TEST_F(SpanishTest, ProcesoFinalizadoKeepsItsWordsAndOffersSpanishDetails) {
    auto box = MakeMessageBox(nullptr, "Proceso finalizado", "ASIGNOMT: 3 filas\nPROFT: 2 filas");
    box->show();  // the details button takes its text when the box is shown
    EXPECT_EQ(box->text(), "Proceso finalizado");
    EXPECT_EQ(box->detailedText(), "ASIGNOMT: 3 filas\nPROFT: 2 filas");
    QStringList texts;
    for (QAbstractButton* b : box->buttons()) texts << b->text().remove('&');
    EXPECT_TRUE(texts.contains("OK")) << texts.join('|').toStdString();
    // The details button in Qt's Spanish words ("Mostrar los detalles..." in
    // Debian's qtbase_es.qm), not in English.
    const QString details = QCoreApplication::translate("QMessageBox", "Show Details...");
    EXPECT_TRUE(details.startsWith("Mostrar")) << details.toStdString();
    EXPECT_TRUE(texts.contains(details)) << texts.join('|').toStdString();
    box->hide();
}

TEST_F(SpanishTest, TheRetryQuestionOffersReintentarAndCerrar) {
    auto box = MakeRetryBox(nullptr, "No se puede escribir el archivo.");
    QStringList texts;
    for (QAbstractButton* b : box->buttons()) texts << b->text().remove('&');
    texts.sort();
    EXPECT_EQ(texts, (QStringList{"Cerrar", "Reintentar"}));
    EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::Retry));
    EXPECT_EQ(box->escapeButton(), box->button(QMessageBox::Close));
}

// The window's file dialog (Qt's own outside Windows) labels in Spanish.
TEST_F(SpanishTest, TheFileDialogSpeaksSpanish) {
    auto form = MakeWindow({});
    QFileDialog& dialog = *form->OpenDialogXML;
    dialog.show();
    QStringList labels;
    for (QLabel* l : dialog.findChildren<QLabel*>()) labels << l->text().remove('&');
    QStringList buttons;
    for (QPushButton* b : dialog.findChildren<QPushButton*>()) buttons << b->text().remove('&');
    dialog.hide();
    const QString lookIn = QCoreApplication::translate("QFileDialog", "Look in:");
    EXPECT_NE(lookIn, "Look in:");
    EXPECT_TRUE(labels.contains(QString(lookIn).remove('&'))) << labels.join('|').toStdString();
    EXPECT_FALSE(labels.contains("File name:")) << labels.join('|').toStdString();
    EXPECT_TRUE(buttons.contains("Cancelar")) << buttons.join('|').toStdString();
    EXPECT_TRUE(buttons.contains("Abrir")) << buttons.join('|').toStdString();
    EXPECT_EQ(dialog.windowTitle(), "Seleccionar Archivo XML obtenido de ZELTA");
}

TEST(SpanishTranslation, AFolderWithoutTheFileInstallsNothing) {
    QTemporaryDir empty;
    const qsizetype before = qApp->findChildren<QTranslator*>(Qt::FindDirectChildrenOnly).size();
    QString from = "unchanged";
    EXPECT_FALSE(InstallSpanishTranslation(*qApp, {empty.path(), QString()}, &from));
    EXPECT_EQ(from, "unchanged");
    EXPECT_EQ(qApp->findChildren<QTranslator*>(Qt::FindDirectChildrenOnly).size(), before);
    QDialogButtonBox buttons(QDialogButtonBox::Cancel);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text().remove('&'), "Cancel");
}

}  // namespace
}  // namespace puente
