#include "platform/Help.h"

#include "platform/CommandLine.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#ifdef _WIN32
#include <windows.h>

#include <string>
#endif

namespace puente {

QString FindHelpFile(const QString& name, const QStringList& directories) {
    for (const QString& d : directories) {
        if (d.isEmpty()) continue;
        const QDir dir(d);
        const QFileInfo exact(dir.filePath(name));
        if (exact.isFile()) return exact.absoluteFilePath();
        const QString folded = FoldAsciiLower(name);
        const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
        for (const QString& e : entries) {
            if (FoldAsciiLower(e) == folded) return QFileInfo(dir.filePath(e)).absoluteFilePath();
        }
    }
    return QString();
}

QStringList HelpDirectories() { return {ExecutableDirectory(), QDir::currentPath()}; }

QStringList XchmArguments(const QString& file, int context) {
    if (context == kHelpStartPage) return {file};
    return {QStringLiteral("--contextid=%1").arg(context), file};
}

#ifdef _WIN32

namespace {

// From htmlhelp.h.
constexpr UINT kHhDisplayTopic = 0x0000;
constexpr UINT kHhHelpContext = 0x000F;

using HtmlHelpWFn = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);

HtmlHelpWFn HtmlHelpEntry() {
    static HtmlHelpWFn entry = [] {
        HMODULE module = LoadLibraryW(L"hhctrl.ocx");
        if (!module) return HtmlHelpWFn(nullptr);
        // Through void (*)(), the one function type that converts to any other without a warning.
        return reinterpret_cast<HtmlHelpWFn>(reinterpret_cast<void (*)()>(GetProcAddress(module, "HtmlHelpW")));
    }();
    return entry;
}

}  // namespace

bool OpenWithHelpViewer(const QString& file, int context) {
    HtmlHelpWFn htmlHelp = HtmlHelpEntry();
    if (!htmlHelp) return false;
    const std::wstring path = QDir::toNativeSeparators(file).toStdWString();
    const HWND shown = context == kHelpStartPage
                           ? htmlHelp(nullptr, path.c_str(), kHhDisplayTopic, 0)
                           : htmlHelp(nullptr, path.c_str(), kHhHelpContext, static_cast<DWORD_PTR>(context));
    return shown != nullptr;
}

#else

bool OpenWithHelpViewer(const QString& file, int context) {
    const QString xchm = QStandardPaths::findExecutable(QStringLiteral("xchm"));
    if (xchm.isEmpty()) return false;
    return QProcess::startDetached(xchm, XchmArguments(file, context));
}

#endif

}  // namespace puente
