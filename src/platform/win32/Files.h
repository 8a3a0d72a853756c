// Files through the Win32 API, with wide paths.
//
// A table file is held through the share mode of its handle: an open with
// Sharing::None refuses, and is refused by, every other open of the file, by
// any program; opens with Sharing::ReadWrite may be held together. A refused
// open gives ERROR_SHARING_VIOLATION at once: nothing waits.
//
// Reads and writes take an offset and do not move a file pointer, so that
// they can be mixed freely. A write either writes every byte or gives the
// error (a disk that is full is ERROR_DISK_FULL, never a short write).
#pragma once

#include "platform/win32/Win32Types.h"

#include <cstdint>
#include <string>

namespace puente::win32 {

enum class Sharing {
    None,       // no other open of the file while this one is held
    ReadWrite,  // other opens that share reading and writing are allowed
};

// Opens the file at path (a full path; "/" and "\" both separate) for reading,
// or for reading and writing, with the given sharing. create: make the file
// when it is missing (write only); an existing file is kept as it is. On
// success *handle is the open file; on failure it is nullptr.
ErrorCode OpenFile(const wchar_t* path, bool write, Sharing sharing, bool create, FileHandle* handle);
// Closes a handle from OpenFile; nullptr is fine.
void CloseFile(FileHandle handle);

// What an open's error code means for the caller.
enum class OpenFailure {
    NotFound,  // no such file or folder (and create was not asked)
    InUse,     // another open holds the file: sharing or lock violation
    Denied,    // no permission, a read-only file or disk
    Other,
};
OpenFailure ClassifyOpenError(ErrorCode code, bool create);

ErrorCode FileSize(FileHandle handle, std::int64_t* size);
// Reads up to size bytes at offset into data; *done is the number read, less
// than size only at the end of the file.
ErrorCode ReadAt(FileHandle handle, std::int64_t offset, char* data, std::int64_t size, std::int64_t* done);
// Writes all size bytes at offset (past the end, the file grows).
ErrorCode WriteAt(FileHandle handle, std::int64_t offset, const char* data, std::int64_t size);
// Makes the file exactly size bytes long.
ErrorCode Resize(FileHandle handle, std::int64_t size);

// Flushes the file at path to the disk (FlushFileBuffers). The file is
// opened for that with read and write sharing: it may be open elsewhere with
// sharing too, but an open with Sharing::None gives ERROR_SHARING_VIOLATION.
ErrorCode FlushFile(const wchar_t* path);

// Whether some open holds the file at path so that an open with
// Sharing::None is refused. A missing or unreadable file is held by nobody.
bool IsHeldElsewhere(const wchar_t* path);

// The system's own words for an error code (FormatMessageW, in the user's
// language), without the line break at the end; empty when it has none.
std::wstring SystemMessage(ErrorCode code);

}  // namespace puente::win32
