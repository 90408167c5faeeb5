#pragma once
// The catalog text file of a batch run: its head lines, folder blocks and the one-line
// description of each MIDI file. Lines end with CR LF and hold file names as raw bytes.
// The file is written beside its target under a hidden temporary name and put in place only
// when complete, so a failed run never leaves a half-written catalog over the user's file.

#include <filesystem>
#include <string>
#include <string_view>

#include "reader/ReadMidiFile.h"
#include "song/FileIo.h"

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
  // Creates the temporary file; on failure every write returns why.
  explicit CatalogFile(std::filesystem::path path) : file_(std::move(path)) {}

  std::string WriteLine(std::string_view line) override;
  // Writes what is buffered and puts the file in place. Returns an empty string on success,
  // else "cannot write PATH: reason" with the target left as it was.
  std::string Commit();

 private:
  AtomicFile file_;
  std::string buffer_;
};

}  // namespace quaverly
