#pragma once
// The batch walk: visits the "*.mid" files of a folder and, by choice, of every folder below
// it, writes each file's catalog record and applies the file-name rules. It reads each file
// into a song of its own and touches nothing else; progress and cancelling go through a
// listener, so a window can run the walk on a worker thread.

#include <filesystem>
#include <string>
#include <vector>

#include "batch/CatalogFile.h"
#include "batch/FileNames.h"

namespace quaverly {

struct BatchOptions {
  bool catalog = true;             // read each file and write its record
  bool include_subfolders = true;  // descend, depth first
  bool rename_karaoke = true;      // only with catalog on: karaoke files get ".kar.mid"
  bool convert_spaces = false;
  SpaceDirection spaces = SpaceDirection::kUnderscoreToSpace;
};

// Called from the thread that runs the walk.
class BatchListener {
 public:
  virtual ~BatchListener() = default;
  // Before each file; files_done counts the files finished so far.
  virtual void FileStarted(int files_done, const std::filesystem::path& file) = 0;
  // Asked after each file and before each folder; true stops the walk there.
  virtual bool CancelRequested() = 0;
};

struct BatchResult {
  int files_visited = 0;
  int files_read = 0;
  int not_midi = 0;  // read, but "Midi Header Not Found!"
  int damaged = 0;
  int renamed = 0;                         // files renamed by at least one rule
  std::vector<std::string> refused;        // one message per refused rename
  std::vector<std::string> folder_errors;  // folders that could not be listed
  bool cancelled = false;
  std::string error;  // the run stopped: the start folder or the catalog failed
  bool ok() const { return error.empty(); }
};

// Walks from folder (written in the folder block as given). catalog may be null when
// options.catalog is off; listener may be null. Stops at the first catalog write failure.
BatchResult ProcessFolder(const std::filesystem::path& folder, const BatchOptions& options,
                          CatalogSink* catalog, BatchListener* listener);

// A whole run: checks the start folder, writes the catalog's head lines to catalog_path (when
// options.catalog is on), walks, and puts the catalog in place, also after a cancel. The
// start folder is made absolute first. On error the old file at catalog_path is untouched.
BatchResult RunBatch(const std::filesystem::path& start, const BatchOptions& options,
                     const std::filesystem::path& catalog_path, BatchListener* listener);

}  // namespace quaverly
