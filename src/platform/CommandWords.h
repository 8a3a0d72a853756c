// The splitting of a command line into words, without Qt, so that the
// Windows pieces (src/platform/win32/) and their tests use the very same rule
// as SplitCommandLine (CommandLine.h, which describes it and wraps this).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace puente {

// Splits a whole command line (program name first) into its words: characters
// with codes 1 to 32 separate words; double quotes group characters into one
// word and are dropped; an empty pair of quotes is a separator; a NUL ends the
// line. No word is empty.
std::vector<std::u16string> SplitCommandWords(std::u16string_view line);

}  // namespace puente
