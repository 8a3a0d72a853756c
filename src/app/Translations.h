// Qt's own texts in Spanish: the file dialog, the standard buttons of the
// message boxes ("Cancelar", "Cerrar", the details button) and the rest of
// what Qt Widgets says, whatever the language of the desktop.
//
// The translation is Qt's file "qtbase_es.qm", looked for first in the
// folder "translations" beside the executable (where the Windows package
// puts it), then in Qt's own translations folder
// (QLibraryInfo::TranslationsPath; on Debian from qt6-translations-l10n).
// The system's own texts are written in Spanish already and are not
// translated.
#pragma once

#include <QString>
#include <QStringList>

class QCoreApplication;

namespace puente {

inline constexpr char kQtSpanishTranslation[] = "qtbase_es";

// The folders looked in, in order.
QStringList QtTranslationDirectories();

// Loads "qtbase_es.qm" from the first of `directories` that holds it and
// installs it in `app` (which owns it from then on). True when installed,
// with the file's folder in `loadedFrom` when given; false when no folder
// holds a loadable file (Qt then speaks English and nothing else changes).
bool InstallSpanishTranslation(QCoreApplication& app, const QStringList& directories = QtTranslationDirectories(),
                               QString* loadedFrom = nullptr);

}  // namespace puente
