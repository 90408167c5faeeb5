#include "batch/CatalogFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

#include "song/NumberText.h"

namespace quaverly {
namespace {

constexpr size_t kFlushSize = 64 * 1024;

}  // namespace

std::string InformationLine(const CatalogStrings& info) {
  if (info[0].empty()) return kHeaderNotFound;
  std::string line;
  line.reserve(64);
  line.append(" Type:").append(info[0]).append(info[7]).append(info[3]).append("BPM");
  line.append(" ").append(info[5]).append(" Key:").append(info[4]);
  line.append(" Res:").append(info[2]).append(" Tracks:").append(info[1]);
  return line;
}

CatalogFile::CatalogFile(std::filesystem::path path) : path_(std::move(path)), target_(path_) {
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
  for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
    std::string name(".");
    name.append(target_.filename().string()).append(".");
    name.append(std::to_string(rng() % 1000000000)).append(".tmp");
    temp_ = folder / name;
    fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ < 0 && errno != EEXIST) break;
  }
  if (fd_ < 0) {
    temp_.clear();
    Fail(errno);
    return;
  }
  if (had_old) ::fchmod(fd_, old.st_mode & 07777);
}

CatalogFile::~CatalogFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!committed_ && !temp_.empty()) ::unlink(temp_.c_str());
}

void CatalogFile::Fail(int err) {
  if (error_.empty()) error_ = "cannot write " + path_.string() + ": " + std::strerror(err);
}

std::string CatalogFile::WriteLine(std::string_view line) {
  if (!error_.empty()) return error_;
  buffer_.append(line).append(kLineBreak);
  if (buffer_.size() >= kFlushSize) return Flush();
  return {};
}

std::string CatalogFile::Flush() {
  if (!error_.empty()) return error_;
  size_t done = 0;
  while (done < buffer_.size()) {
    const ssize_t n = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail(errno);
      return error_;
    }
    done += static_cast<size_t>(n);
  }
  buffer_.clear();
  return {};
}

std::string CatalogFile::Commit() {
  if (committed_) return {};
  if (!Flush().empty()) return error_;
  if (::fsync(fd_) != 0) Fail(errno);
  const int rc = ::close(fd_);
  fd_ = -1;
  if (rc != 0) Fail(errno);
  if (!error_.empty()) return error_;
  if (std::rename(temp_.c_str(), target_.c_str()) != 0) {
    Fail(errno);
    return error_;
  }
  committed_ = true;
  return {};
}

}  // namespace quaverly
