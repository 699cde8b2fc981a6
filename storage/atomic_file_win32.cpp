// Atomic file replacement on Windows with the Win32 file calls; a name claimed by creating it.
#include <windows.h>

#include <algorithm>
#include <string>

#include "storage/atomic_file.h"
#include "storage/atomic_file_parts.h"
#include "storage/file_error.h"

namespace quorvex {

namespace {

using atomic::Fail;

std::string TemporaryName(const std::string& target, unsigned attempt) {
  return target + ".~" + atomic::RandomSuffix(attempt);
}

}  // namespace

std::string FileErrorMessage(int code, const std::string& /*path*/) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
      return "File not found";
    case ERROR_PATH_NOT_FOUND:
      return "Invalid filename";
    case ERROR_TOO_MANY_OPEN_FILES:
      return "Too many open files";
    case ERROR_ACCESS_DENIED:
      return "File access denied";
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_DISK_FULL:
      return "Disk full";
    default:
      return atomic::IoErrorMessage(code);
  }
}

namespace {

class HandleGuard {
 public:
  explicit HandleGuard(HANDLE handle) : handle_(handle) {}
  ~HandleGuard() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  HandleGuard(const HandleGuard&) = delete;
  HandleGuard& operator=(const HandleGuard&) = delete;
  HANDLE Get() const { return handle_; }
  // Closes now and reports the result; the guard then has nothing left to do.
  bool Close() {
    const BOOL ok = CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    return ok != 0;
  }

 private:
  HANDLE handle_;
};

int LastError() {
  return static_cast<int>(GetLastError());
}

}  // namespace

std::wstring WidePath(const std::string& path) {
  if (path.empty()) return {};
  const int size = static_cast<int>(path.size());
  const int units =
      MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.data(), size, nullptr, 0);
  if (units <= 0) Fail(LastError(), path);
  std::wstring wide(static_cast<std::size_t>(units), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.data(), size, wide.data(), units);
  return wide;
}

std::string Utf8FromWide(std::wstring_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int bytes =
      WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<std::size_t>(std::max(bytes, 0)), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), size, narrow.data(), bytes, nullptr, nullptr);
  return narrow;
}

std::string ReadFileStart(const std::string& path, std::size_t limit) {
  HandleGuard file(CreateFileW(WidePath(path).c_str(), GENERIC_READ,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.Get() == INVALID_HANDLE_VALUE) Fail(LastError(), path);
  std::string bytes;
  char buffer[65536];
  while (bytes.size() < limit) {
    const DWORD wanted =
        static_cast<DWORD>(std::min<std::size_t>(sizeof buffer, limit - bytes.size()));
    DWORD got = 0;
    if (!ReadFile(file.Get(), buffer, wanted, &got, nullptr)) Fail(LastError(), path);
    if (got == 0) break;
    bytes.append(buffer, got);
  }
  return bytes;
}

bool PathExists(const std::string& path) {
  return GetFileAttributesW(WidePath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsRegularFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool CreateNewFile(const std::string& path) {
  HANDLE file = CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const int error = LastError();
    if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) return false;
    throw FileError(path + ": " + FileErrorMessage(error, path));
  }
  CloseHandle(file);
  return true;
}

void RemoveFile(const std::string& path) {
  DeleteFileW(WidePath(path).c_str());
}

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
  std::string temporary;
  std::wstring wideTemporary;
  HANDLE created = INVALID_HANDLE_VALUE;
  for (unsigned attempt = 0; attempt < atomic::kTemporaryNameAttempts; ++attempt) {
    temporary = TemporaryName(path, attempt);
    wideTemporary = WidePath(temporary);
    created = CreateFileW(wideTemporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (created != INVALID_HANDLE_VALUE) break;
    const int error = LastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) Fail(error, path);
  }
  if (created == INVALID_HANDLE_VALUE) Fail(ERROR_FILE_EXISTS, path);

  HandleGuard file(created);
  bool committed = false;
  struct Remover {
    const std::wstring& name;
    const bool& committed;
    ~Remover() {
      if (!committed) DeleteFileW(name.c_str());
    }
  } remover{wideTemporary, committed};

  while (!bytes.empty()) {
    const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
    DWORD written = 0;
    if (!WriteFile(file.Get(), bytes.data(), wanted, &written, nullptr)) Fail(LastError(), path);
    if (written == 0) Fail(ERROR_DISK_FULL, path);
    bytes.remove_prefix(written);
  }
  if (!FlushFileBuffers(file.Get())) Fail(LastError(), path);
  if (!file.Close()) Fail(LastError(), path);
  if (!MoveFileExW(wideTemporary.c_str(), WidePath(path).c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    Fail(LastError(), path);
  }
  committed = true;
}

}  // namespace quorvex
