// File access for both files: operator's error texts and replacement by temp file and rename.
#include "storage/atomic_file.h"

#include <algorithm>
#include <random>

#include "storage/kfg_file.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#endif

namespace quorvex {

namespace {

std::string IoErrorMessage(int code) {
  return "I/O error " + std::to_string(code);
}

[[noreturn]] void Fail(int code, const std::string& path) {
  throw FileError(FileErrorMessage(code, path));
}

// A name for the new file that no one else is likely to pick; creation still refuses to reuse
// an existing one.
std::string TemporaryName(const std::string& target, unsigned attempt) {
  static constexpr const char* kDigits = "0123456789abcdef";
  std::random_device random;
  unsigned value = random() ^ (attempt * 2654435761u);
  std::string suffix;
  for (int i = 0; i < 8; ++i, value >>= 4) suffix += kDigits[value & 0xFu];
#ifdef _WIN32
  return target + ".~" + suffix;
#else
  // Hidden beside the target, so a file browser does not show it while it exists.
  const auto slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
  return folder + "." + name + ".~" + suffix;
#endif
}

constexpr unsigned kTemporaryNameAttempts = 100;

}  // namespace

#ifdef _WIN32

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
      return IoErrorMessage(code);
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

std::string ReadFileStart(const std::string& path, std::size_t limit) {
  HandleGuard file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
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
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsRegularFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
  std::string temporary;
  HANDLE created = INVALID_HANDLE_VALUE;
  for (unsigned attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
    temporary = TemporaryName(path, attempt);
    created = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (created != INVALID_HANDLE_VALUE) break;
    const int error = LastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) Fail(error, path);
  }
  if (created == INVALID_HANDLE_VALUE) Fail(ERROR_FILE_EXISTS, path);

  HandleGuard file(created);
  bool committed = false;
  struct Remover {
    const std::string& name;
    const bool& committed;
    ~Remover() {
      if (!committed) DeleteFileA(name.c_str());
    }
  } remover{temporary, committed};

  while (!bytes.empty()) {
    const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
    DWORD written = 0;
    if (!WriteFile(file.Get(), bytes.data(), wanted, &written, nullptr)) Fail(LastError(), path);
    if (written == 0) Fail(ERROR_DISK_FULL, path);
    bytes.remove_prefix(written);
  }
  if (!FlushFileBuffers(file.Get())) Fail(LastError(), path);
  if (!file.Close()) Fail(LastError(), path);
  if (!MoveFileExA(temporary.c_str(), path.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    Fail(LastError(), path);
  }
  committed = true;
}

#else  // POSIX

namespace {

class FdGuard {
 public:
  explicit FdGuard(int fd) : fd_(fd) {}
  ~FdGuard() {
    if (fd_ >= 0) ::close(fd_);
  }
  FdGuard(const FdGuard&) = delete;
  FdGuard& operator=(const FdGuard&) = delete;
  int Get() const { return fd_; }
  // Closes now and reports the result: on some file systems a full disk shows only here.
  bool Close() {
    const int result = ::close(fd_);
    fd_ = -1;
    // On Linux the descriptor is gone even after EINTR, and fsync has already reported any
    // failure to store the data.
    return result == 0 || errno == EINTR;
  }

 private:
  int fd_;
};

std::string ParentFolder(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

bool IsFolder(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Writing goes to the file a link points at, so a linked settings or configuration file stays
// linked.
std::string ResolveLink(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
  char resolved[PATH_MAX];
  return ::realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : path;
}

}  // namespace

std::string FileErrorMessage(int code, const std::string& path) {
  switch (code) {
    case ENOENT:
      // The platform reports a missing folder in the path like a missing file.
      return IsFolder(ParentFolder(path)) ? "File not found" : "Invalid filename";
    case ENOTDIR:
    case ENAMETOOLONG:
      return "Invalid filename";
    case EMFILE:
    case ENFILE:
      return "Too many open files";
    case EACCES:
    case EPERM:
    case EROFS:
      return "File access denied";
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return "Disk full";
    default:
      return IoErrorMessage(code);
  }
}

std::string ReadFileStart(const std::string& path, std::size_t limit) {
  // Non-blocking open, so a named pipe given as file name cannot hang the window.
  FdGuard file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  if (file.Get() < 0) Fail(errno, path);
  std::string bytes;
  char buffer[65536];
  while (bytes.size() < limit) {
    const std::size_t wanted = std::min(sizeof buffer, limit - bytes.size());
    const ssize_t got = ::read(file.Get(), buffer, wanted);
    if (got < 0) {
      if (errno == EINTR) continue;
      Fail(errno, path);
    }
    if (got == 0) break;
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
  return bytes;
}

bool PathExists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

bool IsRegularFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
  const std::string target = ResolveLink(path);

  // Replacing by rename would ignore a write-protected file; refuse as overwriting it would.
  struct stat existing {};
  const bool exists = ::stat(target.c_str(), &existing) == 0;
  if (exists && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) Fail(errno, path);

  std::string temporary;
  int created = -1;
  for (unsigned attempt = 0; attempt < kTemporaryNameAttempts && created < 0; ++attempt) {
    temporary = TemporaryName(target, attempt);
    created = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
    if (created < 0 && errno != EEXIST) Fail(errno, path);
  }
  if (created < 0) Fail(EEXIST, path);

  FdGuard file(created);
  bool committed = false;
  struct Remover {
    const std::string& name;
    const bool& committed;
    ~Remover() {
      if (!committed) ::unlink(name.c_str());
    }
  } remover{temporary, committed};

  // Best effort: some file systems have no permissions to keep.
  if (exists && S_ISREG(existing.st_mode)) (void)::fchmod(file.Get(), existing.st_mode & 07777);

  while (!bytes.empty()) {
    const ssize_t written = ::write(file.Get(), bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      Fail(errno, path);
    }
    if (written == 0) Fail(ENOSPC, path);
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  if (::fsync(file.Get()) != 0) Fail(errno, path);
  if (!file.Close()) Fail(errno, path);
  if (::rename(temporary.c_str(), target.c_str()) != 0) Fail(errno, path);
  committed = true;

  // The rename is done and the data is on disk; a folder that cannot be synced (some file
  // systems refuse) only leaves the new name less durable, which is no reason to report the save
  // as failed.
  FdGuard folder(::open(ParentFolder(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder.Get() >= 0) (void)::fsync(folder.Get());
}

#endif

}  // namespace quorvex
