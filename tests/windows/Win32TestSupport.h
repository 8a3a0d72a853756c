// Shared set-up for the tests of the Win32 pieces: a scratch folder whose
// name is not ASCII, whole-file reads and writes with wide paths, and the
// test program started again as a child.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace puente::win32test {

// A new folder "<temp>\puente-win32-<pid>-<n>\Año" (removed with all it holds
// at the end). path() gives it with "/" separators, as Qt hands paths over.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::u16string& path() const { return path_; }
    // path() + "/" + name.
    std::u16string File(std::u16string_view name) const;

private:
    std::filesystem::path root_;
    std::u16string path_;
};

const wchar_t* Wide(const std::u16string& text);

// The whole file's bytes; fails the test when it cannot be read.
std::string ReadBytes(const std::u16string& path);
// Replaces the file's bytes; fails the test when it cannot be written.
void WriteBytes(const std::u16string& path, std::string_view bytes);
bool Exists(const std::u16string& path);

// Starts this test program again as `"<program>" <arguments>`, with its
// standard output going to the file `output`, waits for it and gives its
// exit code. The command line is passed as it is (quotes and all).
unsigned long RunSelf(const std::u16string& arguments, const std::u16string& output);

}  // namespace puente::win32test
