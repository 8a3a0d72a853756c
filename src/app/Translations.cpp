#include "app/Translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

namespace puente {

QStringList QtTranslationDirectories() {
    return {QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("translations")),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
}

bool InstallSpanishTranslation(QCoreApplication& app, const QStringList& directories, QString* loadedFrom) {
    const QString name = QLatin1StringView(kQtSpanishTranslation);
    for (const QString& directory : directories) {
        if (directory.isEmpty()) continue;
        auto* translator = new QTranslator(&app);
        if (translator->load(name, directory) && QCoreApplication::installTranslator(translator)) {
            if (loadedFrom) *loadedFrom = directory;
            return true;
        }
        delete translator;
    }
    return false;
}

}  // namespace puente
