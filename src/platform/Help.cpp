#include "platform/Help.h"

#include "platform/CommandLine.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#ifdef _WIN32
#include "platform/win32/HtmlHelp.h"

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

bool OpenWithHelpViewer(const QString& file, int context) {
    const std::wstring path = QDir::toNativeSeparators(file).toStdWString();
    return win32::ShowHtmlHelp(path.c_str(), context == kHelpStartPage ? 0 : context) == win32::kOk;
}

#else

bool OpenWithHelpViewer(const QString& file, int context) {
    const QString xchm = QStandardPaths::findExecutable(QStringLiteral("xchm"));
    if (xchm.isEmpty()) return false;
    return QProcess::startDetached(xchm, XchmArguments(file, context));
}

#endif

}  // namespace puente
