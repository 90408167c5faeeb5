#pragma once
// The file layer: loads a whole file into memory and stores bytes safely. Parsers never see
// a file, only bytes. Failures come back as messages that name the path and the reason.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "song/Bytes.h"

namespace quaverly {

struct LoadResult {
  ByteBuffer bytes;
  std::string error;  // "cannot open PATH: reason"; empty on success
  bool ok() const { return error.empty(); }
};

// Reads the whole file. A missing file, anything but a regular file (a folder, a FIFO, a
// device) and a file over 1 GiB are errors; nothing is ever created.
LoadResult LoadFile(const std::filesystem::path& path);

// A file written under a hidden temporary name in the target's folder and renamed over the
// target by Commit only once it is complete, so a failure leaves any old file as it was. An
// existing file's permission bits are kept; a symbolic link is written through. Errors read
// "cannot write PATH: reason"; once one happened every later call returns it.
class AtomicFile {
 public:
  // Creates the temporary file; on failure error() says why.
  explicit AtomicFile(std::filesystem::path path);
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;
  // Removes the temporary file unless Commit succeeded.
  ~AtomicFile();

  // Empty on success, else the error.
  std::string Write(std::span<const uint8_t> bytes);
  std::string Write(std::string_view text) {
    return Write({reinterpret_cast<const uint8_t*>(text.data()), text.size()});
  }
  // Flushes to disk and renames over the target. Empty on success, else the error.
  std::string Commit();
  const std::string& error() const { return error_; }

 private:
  void Fail(int err);

  std::filesystem::path path_;    // the target as asked for
  std::filesystem::path target_;  // the target with a symbolic link resolved
  std::filesystem::path temp_;
  int fd_ = -1;
  std::string error_;
  bool committed_ = false;
};

// The whole of bytes through an AtomicFile. Empty on success, else "cannot write PATH: reason".
std::string StoreFileAtomically(const std::filesystem::path& path, std::span<const uint8_t> bytes);

}  // namespace quaverly
