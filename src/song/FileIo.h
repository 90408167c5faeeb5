#pragma once
// The file layer: loads a whole file into memory and stores bytes safely. Parsers never see
// a file, only bytes. Failures come back as messages that name the path and the reason.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

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

// Writes bytes to a new temporary file in the target's folder, flushes it to disk, and
// renames it over path only once it is complete, so a failure leaves any old file as it
// was. An existing file's permission bits are kept; a symbolic link is written through.
// Returns an empty string on success, else "cannot write PATH: reason".
std::string StoreFileAtomically(const std::filesystem::path& path, std::span<const uint8_t> bytes);

}  // namespace quaverly
