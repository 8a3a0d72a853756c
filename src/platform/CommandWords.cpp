#include "platform/CommandWords.h"

namespace puente {

namespace {

constexpr char16_t kQuote = u'"';

bool IsSeparator(char16_t c) { return c >= 1 && c <= 32; }

}  // namespace

std::vector<std::u16string> SplitCommandWords(std::u16string_view line) {
    std::vector<std::u16string> words;
    std::size_t i = 0;
    const std::size_t n = line.size();
    // A NUL ends the command line, as it ends the string Windows hands over.
    auto at = [&](std::size_t k) -> char16_t { return k < n ? line[k] : u'\0'; };
    while (true) {
        // Separators and empty quote pairs before the word.
        while (true) {
            while (at(i) != u'\0' && IsSeparator(at(i))) ++i;
            if (at(i) == kQuote && at(i + 1) == kQuote)
                i += 2;
            else
                break;
        }
        if (at(i) == u'\0') break;
        std::u16string word;
        while (at(i) != u'\0' && !IsSeparator(at(i))) {
            if (at(i) == kQuote) {
                ++i;
                while (at(i) != u'\0' && at(i) != kQuote) word.push_back(at(i++));
                if (at(i) == kQuote) ++i;
            } else {
                word.push_back(at(i++));
            }
        }
        // Only a lone quote at the very end gives an empty word; it ends the
        // line and is not counted.
        if (word.empty()) break;
        words.push_back(std::move(word));
    }
    return words;
}

}  // namespace puente
