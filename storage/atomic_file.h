// File access shared by both files: operator's error texts, reads, atomic replacement.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quorvex {

// File access shared by the configuration file and the settings file. Failures throw FileError
// (storage/file_error.h) with the operator's message for the platform error code.

// The operator's message for a platform error code (errno, or GetLastError on Windows) met while
// working on `path`: "File not found", "Invalid filename", "Too many open files",
// "File access denied", "Disk full" or "I/O error <code>". The path tells a missing file from a
// missing folder where the platform reports both alike.
std::string FileErrorMessage(int code, const std::string& path);

// Up to `limit` bytes from the start of an existing file, opened for reading only.
std::string ReadFileStart(const std::string& path, std::size_t limit);

#ifdef _WIN32
// Our paths are UTF-8 everywhere (Qt's file dialogs, the settings file, quorvex-cli's arguments);
// an ANSI call of Windows would read them in the system's code page and turn "Müller.KFG" into
// another file's name. The wide calls take them as UTF-16: `path` so, throwing FileError when it
// is not UTF-8.
std::wstring WidePath(const std::string& path);
// What Windows hands over in UTF-16 (the command line) as UTF-8; a lone surrogate becomes U+FFFD.
std::string Utf8FromWide(std::wstring_view text);
#endif

// True when something (file, folder, link) exists under the path.
bool PathExists(const std::string& path);
// True when the path names an existing regular file (after following links).
bool IsRegularFile(const std::string& path);

// Makes an empty file under `path` if nothing is there yet: true when this call made it, false
// when the name is taken. A caller claims a name with it before writing, so that nothing is ever
// replaced. Other failures throw FileError naming the path.
bool CreateNewFile(const std::string& path);
// Removes the file; one that is gone already or cannot be removed is left as it is.
void RemoveFile(const std::string& path);

// Replaces the file's content with `bytes` so that a reader sees either the old or the new
// content, never a mixture: the bytes go to a new file in the same folder, reach the disk, and
// the new file is renamed over the old. On failure the old file is untouched and the new one
// removed. An existing file keeps its permissions.
void WriteFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace quorvex
