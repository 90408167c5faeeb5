#include "batch/ProcessFolder.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>
#include <utility>

namespace quaverly {
namespace {

namespace fs = std::filesystem;

char LowerChar(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsMidiName(const std::string& name) {
  if (name.size() < 4) return false;
  const char* tail = name.data() + name.size() - 4;
  return tail[0] == '.' && LowerChar(tail[1]) == 'm' && LowerChar(tail[2]) == 'i' &&
         LowerChar(tail[3]) == 'd';
}

// By name regardless of letter case, as a file manager lists them; names equal but for case
// keep a fixed order.
bool NameBefore(const std::string& a, const std::string& b) {
  const auto lower_less = [](char x, char y) {
    return static_cast<unsigned char>(LowerChar(x)) < static_cast<unsigned char>(LowerChar(y));
  };
  if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), lower_less)) return true;
  if (std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), lower_less))
    return false;
  return a < b;
}

struct Listing {
  std::vector<std::string> files;       // "*.mid" names, sorted
  std::vector<std::string> subfolders;  // names, sorted; never links to folders
  std::string error;
};

Listing ListFolder(const fs::path& folder, bool want_subfolders) {
  Listing listing;
  std::error_code ec;
  fs::directory_iterator it(folder, ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    std::string name = it->path().filename().string();
    if (name.empty() || name[0] == '.') continue;
    std::error_code type_ec;
    const fs::file_type own_type = it->symlink_status(type_ec).type();
    if (own_type == fs::file_type::directory) {
      if (want_subfolders) listing.subfolders.push_back(std::move(name));
      continue;
    }
    if (!IsMidiName(name)) continue;
    // A link to a MIDI file is read like the file; a link to a folder is never followed.
    const fs::file_type type =
        own_type == fs::file_type::symlink ? it->status(type_ec).type() : own_type;
    if (type == fs::file_type::regular) listing.files.push_back(std::move(name));
  }
  if (ec) listing.error = "cannot list " + folder.string() + ": " + ec.message();
  std::sort(listing.files.begin(), listing.files.end(), NameBefore);
  std::sort(listing.subfolders.begin(), listing.subfolders.end(), NameBefore);
  return listing;
}

class Walk {
 public:
  Walk(const BatchOptions& options, CatalogSink* catalog, BatchListener* listener)
      : options_(options), catalog_(options.catalog ? catalog : nullptr), listener_(listener) {}

  BatchResult Run(const fs::path& start) {
    // An explicit stack instead of recursion: a deep tree cannot exhaust the thread's stack.
    struct Frame {
      fs::path folder;
      std::vector<std::string> subfolders;
      size_t next = 0;
    };
    std::vector<Frame> stack;
    std::vector<std::string> subs;
    if (Visit(start, subs)) stack.push_back({start, std::move(subs), 0});
    while (!stack.empty()) {
      Frame& top = stack.back();
      if (top.next == top.subfolders.size()) {
        stack.pop_back();
        continue;
      }
      const fs::path folder = top.folder / top.subfolders[top.next++];
      subs.clear();
      if (!Visit(folder, subs)) break;
      stack.push_back({folder, std::move(subs), 0});
    }
    return std::move(result_);
  }

 private:
  bool Stopped() {
    if (!result_.error.empty() || result_.cancelled) return true;
    if (listener_ != nullptr && listener_->CancelRequested()) result_.cancelled = true;
    return result_.cancelled;
  }

  bool Write(std::string_view line) {
    if (catalog_ == nullptr) return true;
    std::string error = catalog_->WriteLine(line);
    if (error.empty()) return true;
    result_.error = std::move(error);
    return false;
  }

  // Processes the folder's files; hands back its subfolders when the walk descends. False
  // when the walk must stop.
  bool Visit(const fs::path& folder, std::vector<std::string>& subfolders) {
    if (Stopped()) return false;
    Listing listing = ListFolder(folder, options_.include_subfolders);
    if (!listing.error.empty()) result_.folder_errors.push_back(std::move(listing.error));
    if (!Write("") || !Write(folder.string()) || !Write("")) return false;
    for (const std::string& name : listing.files) {
      VisitFile(folder, name);
      if (Stopped()) return false;
    }
    subfolders = std::move(listing.subfolders);
    return true;
  }

  void VisitFile(const fs::path& folder, const std::string& name) {
    fs::path file = folder / name;
    if (listener_ != nullptr) listener_->FileStarted(result_.files_visited, file);
    bool renamed = false;
    const auto apply = [&](RenameStep step) {
      if (!step.error.empty()) result_.refused.push_back(std::move(step.error));
      if (step.renamed) {
        renamed = true;
        file = std::move(step.path);
      }
    };
    if (catalog_ != nullptr) {
      const ReadResult read = ReadMidiFile(file, ReadMode::kCatalog);
      const CatalogStrings& info = read.CatalogInfo;
      ++result_.files_read;
      if (info[0] == kDamagedCatalog) {
        ++result_.damaged;
      } else if (info[0].empty()) {
        ++result_.not_midi;
      }
      if (!Write(name) || !Write(InformationLine(info))) return;
      if (options_.rename_karaoke && info[7] == "kar") apply(RenameKaraokeFile(file));
    }
    if (options_.convert_spaces) apply(ConvertSpaces(file, options_.spaces));
    if (renamed) ++result_.renamed;
    ++result_.files_visited;
  }

  const BatchOptions& options_;
  CatalogSink* catalog_;
  BatchListener* listener_;
  BatchResult result_;
};

fs::path StartFolder(const fs::path& start) {
  std::error_code ec;
  fs::path folder = fs::absolute(start, ec).lexically_normal();
  if (ec) folder = start.lexically_normal();
  if (!folder.has_filename() && folder.has_relative_path()) folder = folder.parent_path();
  return folder;
}

}  // namespace

BatchResult ProcessFolder(const fs::path& folder, const BatchOptions& options, CatalogSink* catalog,
                          BatchListener* listener) {
  return Walk(options, catalog, listener).Run(folder);
}

BatchResult RunBatch(const fs::path& start, const BatchOptions& options,
                     const fs::path& catalog_path, BatchListener* listener) {
  const fs::path folder = StartFolder(start);
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) {
    BatchResult result;
    const int err = ec ? ec.value() : (fs::exists(folder, ec) ? ENOTDIR : ENOENT);
    result.error = "cannot read " + folder.string() + ": " + std::strerror(err);
    return result;
  }
  if (!options.catalog) return ProcessFolder(folder, options, nullptr, listener);

  CatalogFile catalog(catalog_path);
  std::string error = catalog.WriteLine(kCatalogTitle);
  if (error.empty()) error = catalog.WriteLine("Starting from " + folder.string());
  if (!error.empty()) {
    BatchResult result;
    result.error = std::move(error);
    return result;
  }
  BatchResult result = ProcessFolder(folder, options, &catalog, listener);
  if (result.error.empty()) result.error = catalog.Commit();
  return result;
}

}  // namespace quaverly
