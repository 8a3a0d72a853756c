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

QStringList ProgramParameters([[maybe_unused]] int argc, [[maybe_unused]] const char* const* argv) {
#ifdef _WIN32
    QStringList words;
    for (const std::u16string& w : win32::ProgramWords()) words.append(QString::fromStdU16String(w));
    return words;
#else
    // Decoded as QCoreApplication decodes them.
    QStringList words;
    for (int i = 1; i < argc && argv[i]; ++i) {
        if (argv[i][0] != '\0') words.append(QString::fromLocal8Bit(argv[i]));
    }
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
