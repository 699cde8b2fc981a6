// The system calls of an atomic save behind an interface, so tests can make each one fail.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace quorvex {

// The system calls an atomic save makes (POSIX), behind one small interface so that a test can
// make any of them fail the way a full or broken disk would, without root and without a special
// mount. Each returns what the system call returns and leaves its error in errno.
class FileCalls {
 public:
  virtual ~FileCalls() = default;
  virtual int Open(const char* path, int flags, mode_t mode) = 0;
  virtual ssize_t Write(int fd, const void* data, std::size_t size) = 0;
  virtual int Fsync(int fd) = 0;
  virtual int Close(int fd) = 0;
  virtual int Rename(const char* from, const char* to) = 0;
};

// The operating system's calls themselves.
class SystemFileCalls : public FileCalls {
 public:
  int Open(const char* path, int flags, mode_t mode) override;
  ssize_t Write(int fd, const void* data, std::size_t size) override;
  int Fsync(int fd) override;
  int Close(int fd) override;
  int Rename(const char* from, const char* to) override;
};

// WriteFileAtomically (storage/atomic_file.h) with its system calls made through `calls`.
void WriteFileAtomically(const std::string& path, std::string_view bytes, FileCalls& calls);

}  // namespace quorvex
