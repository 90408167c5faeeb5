#include "song/FileIo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>

namespace quaverly {
namespace {

// Far beyond any real MIDI file; a larger one is refused rather than loaded.
constexpr off_t kMaxFileSize = off_t{1} << 30;

std::string Describe(const char* what, const std::filesystem::path& path, int err) {
  return std::string("cannot ") + what + " " + path.string() + ": " + std::strerror(err);
}

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  // Closes now and reports the error, which for writes may be the first sign of a full disk.
  int Close() {
    const int rc = ::close(fd_);
    fd_ = -1;
    return rc;
  }

 private:
  int fd_;
};

}  // namespace

LoadResult LoadFile(const std::filesystem::path& path) {
  LoadResult result;
  // Non-blocking, so that opening a FIFO cannot hang; only regular files are read.
  FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (fd.get() < 0) {
    result.error = Describe("open", path, errno);
    return result;
  }
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) {
    result.error = Describe("read", path, errno);
    return result;
  }
  if (!S_ISREG(st.st_mode)) {
    // A device such as /dev/zero never ends; a folder has no bytes.
    result.error = "cannot read " + path.string() + ": " +
                   (S_ISDIR(st.st_mode) ? std::strerror(EISDIR) : "Not a regular file");
    return result;
  }
  if (st.st_size > kMaxFileSize) {
    result.error = "cannot read " + path.string() + ": " + std::strerror(EFBIG);
    return result;
  }
  // The size is a hint only: the file may change while it is read.
  result.bytes.reserve(static_cast<size_t>(st.st_size));
  uint8_t chunk[1 << 16];
  for (;;) {
    const ssize_t n = ::read(fd.get(), chunk, sizeof chunk);
    if (n < 0) {
      if (errno == EINTR) continue;
      result.error = Describe("read", path, errno);
      result.bytes.clear();
      return result;
    }
    if (n == 0) break;
    if (result.bytes.size() + static_cast<size_t>(n) > static_cast<size_t>(kMaxFileSize)) {
      result.error = "cannot read " + path.string() + ": " + std::strerror(EFBIG);
      result.bytes.clear();
      return result;
    }
    result.bytes.insert(result.bytes.end(), chunk, chunk + n);
  }
  return result;
}

std::string StoreFileAtomically(const std::filesystem::path& requested,
                                std::span<const uint8_t> bytes) {
  std::error_code ec;
  std::filesystem::path path = requested;
  if (std::filesystem::is_symlink(requested, ec)) {
    path = std::filesystem::weakly_canonical(requested, ec);
    if (ec) return Describe("write", requested, ec.value());
  }
  if (path.filename().empty()) return Describe("write", requested, EISDIR);

  struct stat old {};
  const bool had_old = ::stat(path.c_str(), &old) == 0;
  if (had_old && S_ISDIR(old.st_mode)) return Describe("write", requested, EISDIR);

  const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
  std::random_device seed;
  std::mt19937_64 rng(seed());
  std::filesystem::path temp;
  int raw_fd = -1;
  for (int attempt = 0; attempt < 100 && raw_fd < 0; ++attempt) {
    std::string name = ".";
    name += path.filename().string();
    name += '.';
    name += std::to_string(rng() % 1000000000);
    name += ".tmp";
    temp = folder / name;
    raw_fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (raw_fd < 0 && errno != EEXIST) return Describe("write", requested, errno);
  }
  if (raw_fd < 0) return Describe("write", requested, EEXIST);
  FileDescriptor fd(raw_fd);

  const auto fail = [&](int err) {
    ::unlink(temp.c_str());
    return Describe("write", requested, err);
  };
  if (had_old) ::fchmod(fd.get(), old.st_mode & 07777);
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd.get(), bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return fail(errno);
    }
    done += static_cast<size_t>(n);
  }
  if (::fsync(fd.get()) != 0) return fail(errno);
  if (fd.Close() != 0) return fail(errno);
  if (::rename(temp.c_str(), path.c_str()) != 0) return fail(errno);
  return {};
}

}  // namespace quaverly
