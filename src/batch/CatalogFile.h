#pragma once
// The catalog text file of a batch run: its head lines, folder blocks and the one-line
// description of each MIDI file. Lines end with CR LF and hold file names as raw bytes.
// The file is written beside its target under a hidden temporary name and put in place only
// when complete, so a failed run never leaves a half-written catalog over the user's file.

#include <filesystem>
#include <string>
#include <string_view>

#include "reader/ReadMidiFile.h"

namespace quaverly {

inline constexpr const char* kCatalogTitle = "------- Catalog of Midi Information -------";
inline constexpr const char* kHeaderNotFound = "Midi Header Not Found!";

// The information line for the catalog strings of one file.
std::string InformationLine(const CatalogStrings& info);

// Where a walk writes its catalog lines. WriteLine returns an empty string on success, else a
// message naming the file and the reason; a sink that failed once keeps failing.
class CatalogSink {
 public:
  virtual ~CatalogSink() = default;
  virtual std::string WriteLine(std::string_view line) = 0;
};

class CatalogFile : public CatalogSink {
 public:
  // Creates the temporary file; on failure error() says why and every write fails.
  explicit CatalogFile(std::filesystem::path path);
  CatalogFile(const CatalogFile&) = delete;
  CatalogFile& operator=(const CatalogFile&) = delete;
  // Removes the temporary file unless Commit succeeded.
  ~CatalogFile() override;

  std::string WriteLine(std::string_view line) override;
  // Writes what is buffered, syncs, and renames the file over the target. Returns an empty
  // string on success, else "cannot write PATH: reason" with the target left as it was.
  std::string Commit();
  const std::string& error() const { return error_; }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::string Flush();
  void Fail(int err);

  std::filesystem::path path_;    // the target as asked for
  std::filesystem::path target_;  // the target with a symbolic link resolved
  std::filesystem::path temp_;
  int fd_ = -1;
  std::string buffer_;
  std::string error_;
  bool committed_ = false;
};

}  // namespace quaverly
