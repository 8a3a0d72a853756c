#include "platform/CommandLine.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace puente {

namespace {

constexpr char16_t kQuote = u'"';

bool IsSeparator(QChar c) { return c.unicode() >= 1 && c.unicode() <= 32; }

}  // namespace

QStringList SplitCommandLine(QStringView line) {
    QStringList words;
    qsizetype i = 0;
    const qsizetype n = line.size();
    // A NUL ends the command line, as it ends the string Windows hands over.
    auto at = [&](qsizetype k) -> char16_t { return k < n ? line[k].unicode() : u'\0'; };
    while (true) {
        // Separators and empty quote pairs before the word.
        while (true) {
            while (at(i) != u'\0' && IsSeparator(QChar(at(i)))) ++i;
            if (at(i) == kQuote && at(i + 1) == kQuote)
                i += 2;
            else
                break;
        }
        if (at(i) == u'\0') break;
        QString word;
        while (at(i) != u'\0' && !IsSeparator(QChar(at(i)))) {
            if (at(i) == kQuote) {
                ++i;
                while (at(i) != u'\0' && at(i) != kQuote) word.append(QChar(at(i++)));
                if (at(i) == kQuote) ++i;
            } else {
                word.append(QChar(at(i++)));
            }
        }
        // Only a lone quote at the very end gives an empty word; it ends the
        // line and is not counted.
        if (word.isEmpty()) break;
        words.append(word);
    }
    return words;
}

QStringList ProgramParameters([[maybe_unused]] int argc, [[maybe_unused]] const char* const* argv) {
#ifdef _WIN32
    const wchar_t* raw = GetCommandLineW();
    QStringList words = SplitCommandLine(QStringView(reinterpret_cast<const char16_t*>(raw)));
    if (!words.isEmpty()) words.removeFirst();
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
