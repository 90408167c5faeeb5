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

AtomicFile::AtomicFile(std::filesystem::path path) : path_(std::move(path)), target_(path_) {
  std::error_code ec;
  if (std::filesystem::is_symlink(path_, ec)) {
    target_ = std::filesystem::weakly_canonical(path_, ec);
    if (ec) {
      Fail(ec.value());
      return;
    }
  }
  if (target_.filename().empty()) {
    Fail(EISDIR);
    return;
  }
  struct stat old {};
  const bool had_old = ::stat(target_.c_str(), &old) == 0;
  if (had_old && S_ISDIR(old.st_mode)) {
    Fail(EISDIR);
    return;
  }
  const std::filesystem::path folder = target_.has_parent_path() ? target_.parent_path() : ".";
  std::random_device seed;
  std::mt19937_64 rng(seed());
  int err = EEXIST;
  for (int attempt = 0; attempt < 100 && fd_ < 0 && err == EEXIST; ++attempt) {
    std::string name = ".";
    name += target_.filename().string();
    name += '.';
    name += std::to_string(rng() % 1000000000);
    name += ".tmp";
    temp_ = folder / name;
    fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ < 0) err = errno;
  }
  if (fd_ < 0) {
    temp_.clear();
    Fail(err);
    return;
  }
  if (had_old) ::fchmod(fd_, old.st_mode & 07777);
}

AtomicFile::~AtomicFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!committed_ && !temp_.empty()) ::unlink(temp_.c_str());
}

void AtomicFile::Fail(int err) {
  if (error_.empty()) error_ = Describe("write", path_, err);
}

std::string AtomicFile::Write(std::span<const uint8_t> bytes) {
  size_t done = 0;
  while (error_.empty() && done < bytes.size()) {
    const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
    if (n >= 0) {
      done += static_cast<size_t>(n);
    } else if (errno != EINTR) {
      Fail(errno);
    }
  }
  return error_;
}

std::string AtomicFile::Commit() {
  if (committed_ || !error_.empty()) return error_;
  if (::fsync(fd_) != 0) Fail(errno);
  const int rc = ::close(fd_);
  fd_ = -1;
  if (rc != 0) Fail(errno);
  if (error_.empty() && ::rename(temp_.c_str(), target_.c_str()) != 0) Fail(errno);
  committed_ = error_.empty();
  return error_;
}

std::string StoreFileAtomically(const std::filesystem::path& path, std::span<const uint8_t> bytes) {
  AtomicFile file(path);
  file.Write(bytes);
  return file.Commit();
}

}  // namespace quaverly
