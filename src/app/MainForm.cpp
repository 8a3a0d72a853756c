#include "app/MainForm.h"

#include "app/GradientPanel.h"
#include "common/Messages.h"
#include "forward/ForwardRun.h"
#include "platform/Help.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "return/ReturnRun.h"
#include "run/RunLog.h"
#include "run/RunSummary.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QUrl>

#include <exception>

// The images of the window (icon and glyphs) live in the static library; they
// must be registered by name from outside any namespace.
static void InitWindowResources() { Q_INIT_RESOURCE(resources); }

namespace puente {

namespace {

// The outcome report.
constexpr char kReportSection[] = "Transformadores";
constexpr char kReportKey[] = "Transformado";

// The front end's name in the run log and in the backups' descriptions.
constexpr char kFrontEnd[] = "ventana";

// The part of the own help page about the window, opened by F1.
constexpr char kWindowHelpFragment[] = "ventana";

QFont PixelFont(const QString& family, int pixels, bool bold) {
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, const QRect& geometry) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1StringView(name));
    label->setGeometry(geometry);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setAutoFillBackground(false);  // transparent: the gradient shows through
    return label;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text, const QRect& geometry,
                        const char* glyph) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1StringView(name));
    button->setGeometry(geometry);
    if (glyph) button->setIcon(QIcon(QLatin1StringView(glyph)));
    return button;
}

}  // namespace

QStringList OwnHelpPagePaths() {
    const QDir exe(QCoreApplication::applicationDirPath());
    return {QDir::cleanPath(exe.filePath(QStringLiteral("ayuda/ayuda.html"))),
            QDir::cleanPath(exe.filePath(QStringLiteral("../share/puentehoraliszelta/ayuda/ayuda.html")))};
}

TMForm::TMForm(const QStringList& parameters, const QString& workingDirectory, Dialogs* dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      dialogs_(dialogs),
      reportPath_(OutcomeReportPath()),
      ownHelpPages_(OwnHelpPagePaths()) {
    InitWindowResources();
    if (!dialogs_) {
        ownDialogs_ = std::make_unique<QtDialogs>();
        dialogs_ = ownDialogs_.get();
    }
    workingDirectory_ = workingDirectory;

    setObjectName(QStringLiteral("MForm"));
    setWindowTitle(QStringLiteral("Exportar e importar datos entre Horalis y ZELTA"));
    setWindowIcon(QIcon(QStringLiteral(":/images/puente.xpm")));
    setFont(PixelFont(QStringLiteral("MS Sans Serif"), 11, false));
    setFixedSize(kClientWidth, kClientHeight);

    // The bottom panel first, so that the forward and return panels lie above it.
    Draw3D1 = new GradientPanel(QColor(0xC2CDFE), QColor(0xCFF2FE), QColor(0xCCD8E6), this);
    Draw3D1->setObjectName(QStringLiteral("Draw3D1"));
    Draw3D1->setGeometry(0, 168, 633, 97);
    Label1 = MakeLabel(Draw3D1, "Label1", QStringLiteral("PuenteHoralisZELTA para HX18 V-1.0"), QRect(8, 72, 225, 13));
    Label1->setFont(PixelFont(QStringLiteral("MS Sans Serif"), 11, true));
    QPalette red = Label1->palette();
    red.setColor(QPalette::WindowText, QColor(0xFF0000));
    Label1->setPalette(red);
    // The label sizes itself to its text (225 x 13 in MS Sans Serif); where
    // that font is missing and the one in its place is wider, it grows to the
    // right rather than cut the text.
    Label1->resize(Label1->size().expandedTo(Label1->sizeHint()));
    Button1 = MakeButton(Draw3D1, "Button1", QStringLiteral("F1 Ayuda"), QRect(48, 40, 75, 25), nullptr);
    BClose = MakeButton(Draw3D1, "BClose", QStringLiteral("&Salir"), QRect(256, 32, 89, 25), ":/images/salir.xpm");

    const QFont labelFont = PixelFont(QStringLiteral("Arial"), 16, true);
    Draw3D2 = new GradientPanel(QColor(0xF9D37D), QColor(0xFFFFFF), QColor(0xFFEEDD), this);
    Draw3D2->setObjectName(QStringLiteral("Draw3D2"));
    Draw3D2->setGeometry(0, 0, 315, 169);
    Label3 = MakeLabel(Draw3D2, "Label3", QStringLiteral("Transformar datos desde ZELTA hacia Horalis "),
                       QRect(24, 24, 265, 57));
    Label3->setFont(labelFont);
    Label3->setWordWrap(true);
    BExportar = MakeButton(Draw3D2, "BExportar", QStringLiteral("OK"), QRect(96, 120, 89, 25), ":/images/ok.xpm");

    Draw3D3 = new GradientPanel(QColor(0xF9D37D), QColor(0xFFFFFF), QColor(0xFFEEDD), this);
    Draw3D3->setObjectName(QStringLiteral("Draw3D3"));
    Draw3D3->setGeometry(316, 0, 317, 169);
    Label4 = MakeLabel(Draw3D3, "Label4", QStringLiteral("Transformar datos desde Horalis hacia ZELTA"),
                       QRect(8, 24, 305, 57));
    Label4->setFont(labelFont);
    Label4->setWordWrap(true);
    BImportar = MakeButton(Draw3D3, "BImportar", QStringLiteral("OK"), QRect(96, 120, 89, 25), ":/images/ok.xpm");

    // The file dialog of both runs. Qt's own dialog, so that the default
    // suffix applies and a typed name of a file that does not exist is
    // accepted (the run checks it); on Windows the system's own dialog,
    // which does both itself.
    OpenDialogXML = new QFileDialog(this, QStringLiteral("Seleccionar Archivo XML obtenido de ZELTA"));
    OpenDialogXML->setObjectName(QStringLiteral("OpenDialogXML"));
#ifndef _WIN32
    OpenDialogXML->setOption(QFileDialog::DontUseNativeDialog);
#endif
    OpenDialogXML->setAcceptMode(QFileDialog::AcceptOpen);
    OpenDialogXML->setFileMode(QFileDialog::AnyFile);
    OpenDialogXML->setNameFilter(QStringLiteral("*.xml (*.xml)"));
    OpenDialogXML->setDefaultSuffix(QStringLiteral("xml"));

    connect(BExportar, &QPushButton::clicked, this, [this] { BExportarClick(); });
    connect(BImportar, &QPushButton::clicked, this, [this] { BImportarClick(); });
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(BClose, &QPushButton::clicked, this, [this] { close(); });
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    f1->setContext(Qt::WindowShortcut);
    connect(f1, &QShortcut::activated, this, [this] { ShowHelp(kMainWindowHelpContext); });

    // Centred on the screen when first shown.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(0, 0), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }

    FormCreate(parameters);
}

TMForm::~TMForm() { SetWaitCursor(false); }

void TMForm::FormCreate(const QStringList& parameters) {
    outcome_ = 0;
    mode_ = ModeFromParameters(parameters);
    const QRect clientArea(0, 0, kClientWidth, kClientHeight);
    if (mode_.command == Command::Importar) {
        Draw3D2->hide();
        Draw3D3->setGeometry(clientArea);
    } else if (mode_.command == Command::Exportar) {
        Draw3D3->hide();
        Draw3D2->setGeometry(clientArea);
    }
}

void TMForm::setVisible(bool visible) {
    if (visible && !shown_) {
        shown_ = true;
        FormShow();
        if (closed_) return;  // the automatic run ended the program
    }
    QWidget::setVisible(visible);
}

void TMForm::FormShow() {
    if (mode_.command == Command::Importar)
        BImportarClick();
    else if (mode_.command == Command::Exportar)
        BExportarClick();
}

bool TMForm::WriteOutcome(QString& reason) {
    try {
        WriteIniValue(reportPath_, QLatin1StringView(kReportSection), QLatin1StringView(kReportKey),
                      QString::number(outcome_));
        return true;
    } catch (const Error& error) {
        reason = error.message();
    } catch (const std::exception& error) {
        reason = QString::fromUtf8(error.what());
    }
    return false;
}

void TMForm::closeEvent(QCloseEvent* event) {
    if (mode_.commandLine) {
        // A window can always be closed: the person tries again as often as
        // they like, or closes without the report.
        QString reason;
        while (!WriteOutcome(reason)) {
            SetWaitCursor(false);
            if (!dialogs_->AskRetry(BoxParent(), messages::OutcomeNotWritten(ErrorDisplayText(reason)))) break;
        }
    }
    closed_ = true;
    event->accept();
}

void TMForm::AppendToRunLog(const RunLogEntry& entry) {
    // A log that cannot be written never fails a run, and the window has no
    // place to tell it: the reason is dropped.
    QString reason;
    AppendRunLog(workingDirectory_, entry, &reason);
}

template <class Run>
void TMForm::RunGuarded(const QString& direction, Run run) {
    QString failure;
    try {
        run();
        return;
    } catch (const Error& error) {
        AppendToRunLog(LogEntryOf(direction, filenameXML, QLatin1StringView(kFrontEnd), error));
        if (error.kind() == ErrorKind::NoInput) {
            SetWaitCursor(false);
            ShowMessage(error.message());
            if (mode_.commandLine) {
                outcome_ = -1;
                close();
            }
            return;
        }
        failure = error.message();
    } catch (const std::exception& error) {
        failure = QString::fromUtf8(error.what());
        AppendToRunLog(
            LogEntryOf(direction, filenameXML, QLatin1StringView(kFrontEnd), Error(ErrorKind::Internal, failure)));
    }
    SetWaitCursor(false);
    ShowError(failure);
}

void TMForm::ChooseDocument() {
    // The dialog opens in the folder of the document chosen last.
    if (!filenameXML.isEmpty()) {
        const QFileInfo last(filenameXML);
        if (last.absoluteDir().exists()) OpenDialogXML->setDirectory(last.absolutePath());
    }
    QString chosen;
    if (dialogs_->ChooseFile(*OpenDialogXML, chosen)) filenameXML = chosen;
}

void TMForm::RunDone(const QStringList& summary) {
    outcome_ = 1;
    dialogs_->ShowMessage(BoxParent(), messages::kProcesoFinalizado, summary.join(u'\n'));
    if (mode_.commandLine) close();
}

void TMForm::BExportarClick() {
    RunGuarded(messages::kLogDirectionForward, [this] {
        ChooseDocument();
        CheckForwardInput(filenameXML);
        SetWaitCursor(true);
        const ForwardReport report =
            RunForward(filenameXML, workingDirectory_, ForwardOptions{false, QLatin1StringView(kFrontEnd)});
        AppendToRunLog(LogEntryOf(report, QLatin1StringView(kFrontEnd)));
        SetWaitCursor(false);
        RunDone(ForwardSummary(report));
    });
}

void TMForm::BImportarClick() {
    RunGuarded(messages::kLogDirectionReturn, [this] {
        ShowMessage(messages::kReturnReminder);
        ChooseDocument();
        CheckReturnInput(filenameXML, workingDirectory_);
        SetWaitCursor(true);
        const ReturnReport report = RunReturn(filenameXML, workingDirectory_);
        AppendToRunLog(LogEntryOf(report, QLatin1StringView(kFrontEnd)));
        SetWaitCursor(false);
        RunDone(ReturnSummary(report));
    });
}

void TMForm::Button1Click() { ShowHelp(kHelpStartPage); }

void TMForm::ShowHelp(int context) {
    const QString name = QLatin1StringView(kHelpFileName);
    const QString file = FindHelpFile(name, HelpDirectories());
    QString helpProblem;
    if (file.isEmpty())
        helpProblem = messages::HelpFileMissing(name);
    else if (dialogs_->OpenHelp(file, context))
        return;
    else
        helpProblem = messages::HelpViewerMissing(file);

    // The program's own page in its place.
    QString page;
    for (const QString& candidate : ownHelpPages_) {
        if (QFileInfo(candidate).isFile()) {
            page = candidate;
            break;
        }
    }
    if (page.isEmpty()) {
        ShowError(messages::OwnHelpMissing(helpProblem, ownHelpPages_.value(0, QStringLiteral("ayuda/ayuda.html"))));
        return;
    }
    QUrl url = QUrl::fromLocalFile(QFileInfo(page).absoluteFilePath());
    if (context == kMainWindowHelpContext) url.setFragment(QLatin1StringView(kWindowHelpFragment));
    if (!dialogs_->OpenInBrowser(url)) ShowError(messages::OwnHelpNotOpened(helpProblem, page));
}

QWidget* TMForm::BoxParent() { return isVisible() ? this : nullptr; }

void TMForm::ShowError(const QString& message) { dialogs_->ShowError(BoxParent(), ErrorDisplayText(message)); }

void TMForm::ShowMessage(const QString& text) { dialogs_->ShowMessage(BoxParent(), text); }

void TMForm::SetWaitCursor(bool on) {
    if (on == waitCursor_) return;
    waitCursor_ = on;
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

}  // namespace puente
