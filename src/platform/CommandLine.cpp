#include "platform/CommandLine.h"

#include "platform/CommandWords.h"

#include <QCoreApplication>

#ifdef _WIN32
#include "platform/win32/CommandLine.h"
#endif

namespace puente {

QStringList SplitCommandLine(QStringView line) {
    QStringList words;
    for (const std::u16string& w : SplitCommandWords(std::u16string_view(line.utf16(), line.size())))
        words.append(QString::fromStdU16String(w));
    return words;
}

QStringList ProgramParameters() {
#ifdef _WIN32
    QStringList words;
    for (const std::u16string& w : win32::ProgramWords()) words.append(QString::fromStdU16String(w));
    return words;
#else
    QStringList words = QCoreApplication::arguments();
    if (!words.isEmpty()) words.removeFirst();
    words.removeAll(QString());
    return words;
#endif
}

QString FoldAsciiLower(QStringView text) {
    QString folded = text.toString();
    for (QChar& c : folded) {
        if (c.unicode() >= u'A' && c.unicode() <= u'Z') c = QChar(c.unicode() + (u'a' - u'A'));
    }
    return folded;
}

RunMode ModeFromParameters(const QStringList& parameters) {
    if (parameters.size() != 2) return {};
    const QString word = FoldAsciiLower(parameters.first());
    if (word == u"exportar") return {true, Command::Exportar};
    if (word == u"importar") return {true, Command::Importar};
    return {true, Command::Other};
}

}  // namespace puente
