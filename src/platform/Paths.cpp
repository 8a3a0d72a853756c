#include "platform/Paths.h"

#include <QCoreApplication>
#include <QDir>

namespace puente {

QString DefaultWorkingDirectory() {
#ifdef _WIN32
    return QStringLiteral("C:\\HTEMP");
#else
    return DefaultWorkingDirectoryUnderWine(qEnvironmentVariable("WINEPREFIX"), QDir::homePath());
#endif
}

QString DefaultWorkingDirectoryUnderWine(const QString& winePrefix, const QString& home) {
    const QString prefix = winePrefix.isEmpty() ? QDir(home).filePath(QStringLiteral(".wine")) : winePrefix;
    return QDir(prefix).filePath(QStringLiteral("drive_c/HTEMP"));
}

QString ExecutableDirectory() { return QCoreApplication::applicationDirPath(); }

QString OutcomeReportPath() { return QDir(ExecutableDirectory()).filePath(QLatin1StringView(kOutcomeReportName)); }

}  // namespace puente
