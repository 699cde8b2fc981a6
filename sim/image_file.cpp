// The simulator's register image in a file: loaded whole, replaced by rename.
#include "sim/image_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>
#include <vector>

namespace quorvex::sim {

namespace {

std::string Failure(const std::string& what, const std::string& path) {
  return what + " " + path + ": " + std::strerror(errno);
}

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int Get() const { return fd_; }
  int Release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

}  // namespace

std::optional<RegisterImage> LoadImageFile(const std::string& path) {
  Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.Get() < 0) {
    if (errno == ENOENT) return std::nullopt;
    throw ImageFileError(Failure("cannot open image file", path));
  }
  std::vector<std::uint8_t> bytes;
  std::uint8_t buffer[256];
  for (;;) {
    const ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw ImageFileError(Failure("cannot read image file", path));
    if (n == 0) break;
    bytes.insert(bytes.end(), buffer, buffer + n);
    if (bytes.size() > kRegisterCount) break;
  }
  if (bytes.size() != kRegisterCount) {
    throw ImageFileError("image file " + path + " is " +
                         (bytes.size() > kRegisterCount
                              ? "longer than"
                              : std::to_string(bytes.size()) + " bytes long, not") +
                         " " + std::to_string(kRegisterCount) + " bytes (a .KFG file)");
  }
  RegisterImage image{};
  std::copy(bytes.begin(), bytes.end(), image.begin());
  return image;
}

void SaveImageFile(const std::string& path, const RegisterImage& image) {
  std::string temp = path + ".XXXXXX";
  Descriptor fd(::mkostemp(temp.data(), O_CLOEXEC));
  if (fd.Get() < 0) throw ImageFileError(Failure("cannot create a temporary file beside", path));

  // The first error decides the message; the temporary file never outlives a failure.
  const auto fail = [&](const char* what) {
    const std::string message = Failure(what, path);
    if (fd.Get() >= 0) ::close(fd.Release());
    ::unlink(temp.c_str());
    throw ImageFileError(message);
  };
  struct stat existing {};
  const mode_t mode = ::stat(path.c_str(), &existing) == 0 ? existing.st_mode & 07777 : 0644;
  if (::fchmod(fd.Get(), mode) != 0) fail("cannot set the mode of the new");
  std::size_t written = 0;
  while (written < image.size()) {
    const ssize_t n = ::write(fd.Get(), image.data() + written, image.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) fail("cannot write image file");
    written += static_cast<std::size_t>(n);
  }
  if (::fsync(fd.Get()) != 0) fail("cannot write image file");
  if (::close(fd.Release()) != 0) fail("cannot write image file");
  if (::rename(temp.c_str(), path.c_str()) != 0) fail("cannot replace image file");
}

}  // namespace quorvex::sim
