// Atomic file replacement on POSIX: new file, write, fsync, rename, through the FileCalls seam; a
// name claimed by creating it.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "storage/atomic_file.h"
#include "storage/atomic_file_parts.h"
#include "storage/file_calls.h"
#include "storage/file_error.h"

namespace quorvex {

namespace {

using atomic::Fail;

class FdGuard {
 public:
  FdGuard(FileCalls& calls, int fd) : calls_(calls), fd_(fd) {}
  ~FdGuard() {
    if (fd_ >= 0) calls_.Close(fd_);
  }
  FdGuard(const FdGuard&) = delete;
  FdGuard& operator=(const FdGuard&) = delete;
  int Get() const { return fd_; }
  // Closes now and reports the result: on some file systems a full disk shows only here.
  bool Close() {
    const int result = calls_.Close(fd_);
    fd_ = -1;
    // On Linux the descriptor is gone even after EINTR, and fsync has already reported any
    // failure to store the data.
    return result == 0 || errno == EINTR;
  }

 private:
  FileCalls& calls_;
  int fd_;
};

// Hidden beside the target, so a file browser does not show it while it exists.
std::string TemporaryName(const std::string& target, unsigned attempt) {
  const auto slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
  return folder + "." + name + ".~" + atomic::RandomSuffix(attempt);
}

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

// Creates a new file under a name no one uses yet. A signal that interrupts the open is no
// reason to give up the save: the same name is tried again.
int CreateTemporary(FileCalls& calls, const std::string& target, const std::string& path,
                    std::string& temporary) {
  for (unsigned attempt = 0; attempt < atomic::kTemporaryNameAttempts; ++attempt) {
    temporary = TemporaryName(target, attempt);
    for (;;) {
      const int created =
          calls.Open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
      if (created >= 0) return created;
      if (errno == EEXIST) break;
      if (errno != EINTR) Fail(errno, path);
    }
  }
  Fail(EEXIST, path);
}

}  // namespace

int SystemFileCalls::Open(const char* path, int flags, mode_t mode) {
  return ::open(path, flags, mode);
}

ssize_t SystemFileCalls::Write(int fd, const void* data, std::size_t size) {
  return ::write(fd, data, size);
}

int SystemFileCalls::Fsync(int fd) {
  return ::fsync(fd);
}

int SystemFileCalls::Close(int fd) {
  return ::close(fd);
}

int SystemFileCalls::Rename(const char* from, const char* to) {
  return ::rename(from, to);
}

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
      return atomic::IoErrorMessage(code);
  }
}

std::string ReadFileStart(const std::string& path, std::size_t limit) {
  SystemFileCalls calls;
  // Non-blocking open, so a named pipe given as file name cannot hang the window.
  FdGuard file(calls, calls.Open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0));
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

bool CreateNewFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0644);
  if (fd < 0) {
    if (errno == EEXIST) return false;
    throw FileError(path + ": " + FileErrorMessage(errno, path));
  }
  ::close(fd);
  return true;
}

void RemoveFile(const std::string& path) {
  ::unlink(path.c_str());
}

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
  SystemFileCalls calls;
  WriteFileAtomically(path, bytes, calls);
}

void WriteFileAtomically(const std::string& path, std::string_view bytes, FileCalls& calls) {
  const std::string target = ResolveLink(path);

  // Replacing by rename would ignore a write-protected file; refuse as overwriting it would.
  struct stat existing {};
  const bool exists = ::stat(target.c_str(), &existing) == 0;
  if (exists && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) Fail(errno, path);

  std::string temporary;
  FdGuard file(calls, CreateTemporary(calls, target, path, temporary));
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
    const ssize_t written = calls.Write(file.Get(), bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      Fail(errno, path);
    }
    if (written == 0) Fail(ENOSPC, path);
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  if (calls.Fsync(file.Get()) != 0) Fail(errno, path);
  if (!file.Close()) Fail(errno, path);
  if (calls.Rename(temporary.c_str(), target.c_str()) != 0) Fail(errno, path);
  committed = true;

  // The rename is done and the data is on disk; a folder that cannot be synced (some file
  // systems refuse) only leaves the new name less durable, which is no reason to report the save
  // as failed.
  FdGuard folder(calls,
                 calls.Open(ParentFolder(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0));
  if (folder.Get() >= 0) (void)calls.Fsync(folder.Get());
}

}  // namespace quorvex
