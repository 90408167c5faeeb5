// catalog and create-db: the batch walk and the catalog database from a shell.

#include <unistd.h>

#include <chrono>
#include <csignal>
#include <iostream>
#include <string>

#include "Commands.h"
#include "batch/ProcessFolder.h"
#include "catalogdb/CatalogDatabase.h"

namespace quaverly::cli {
namespace {

// Set by SIGINT and SIGTERM so that an interrupted run stops after its current file with the
// catalog in place; a signal handler can reach nothing else.
volatile std::sig_atomic_t interrupted = 0;

extern "C" void OnInterrupt(int) { interrupted = 1; }

class ScopedInterrupt {
 public:
  ScopedInterrupt() {
    interrupted = 0;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &old_int_);
    sigaction(SIGTERM, &action, &old_term_);
  }
  ~ScopedInterrupt() {
    sigaction(SIGINT, &old_int_, nullptr);
    sigaction(SIGTERM, &old_term_, nullptr);
  }
  ScopedInterrupt(const ScopedInterrupt&) = delete;
  ScopedInterrupt& operator=(const ScopedInterrupt&) = delete;

 private:
  struct sigaction old_int_ {};
  struct sigaction old_term_ {};
};

class Progress : public BatchListener {
 public:
  explicit Progress(std::ostream* terminal) : terminal_(terminal) {}
  ~Progress() override { Clear(); }
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;

  void FileStarted(int files_done, const std::filesystem::path& file) override {
    if (terminal_ == nullptr) return;
    // A few updates a second are enough to read; thousands would only slow the run.
    const auto now = std::chrono::steady_clock::now();
    if (shown_ && now - last_ < std::chrono::milliseconds(100)) return;
    last_ = now;
    std::string line = std::to_string(files_done) + " done: " + file.string();
    if (line.size() > 100) line = line.substr(0, 48) + "..." + line.substr(line.size() - 49);
    *terminal_ << "\r\033[K" << line << std::flush;
    shown_ = true;
  }
  bool CancelRequested() override { return interrupted != 0; }

 private:
  void Clear() {
    if (shown_) *terminal_ << "\r\033[K" << std::flush;
  }
  std::ostream* terminal_;
  bool shown_ = false;
  std::chrono::steady_clock::time_point last_;
};

int CatalogUsage(std::ostream& err, const std::string& problem) {
  err << "quaverly-cli: " << problem
      << "\nUsage: quaverly-cli catalog DIR [--no-subfolders] [--output FILE] "
         "[--rename-karaoke]\n"
         "                   [--underscores-to-spaces | --spaces-to-underscores]\n";
  return kExitUsage;
}

}  // namespace

int RunCatalog(const Args& args, std::ostream& out, std::ostream& err) {
  BatchOptions options;
  options.rename_karaoke = false;
  std::string folder;
  std::string output = "FileInfo.TXT";
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--no-subfolders") {
      options.include_subfolders = false;
    } else if (arg == "--rename-karaoke") {
      options.rename_karaoke = true;
    } else if (arg == "--underscores-to-spaces" || arg == "--spaces-to-underscores") {
      const auto direction = arg == "--underscores-to-spaces" ? SpaceDirection::kUnderscoreToSpace
                                                              : SpaceDirection::kSpaceToUnderscore;
      if (options.convert_spaces && options.spaces != direction) {
        return CatalogUsage(err,
                            "choose one of --underscores-to-spaces and "
                            "--spaces-to-underscores");
      }
      options.convert_spaces = true;
      options.spaces = direction;
    } else if (arg == "--output" || arg == "-o") {
      if (++i == args.size() || args[i].empty()) return CatalogUsage(err, "--output needs a file");
      output = args[i];
    } else if (arg.starts_with("-") && arg != "-") {
      return CatalogUsage(err, "unknown option '" + arg + "'");
    } else if (folder.empty()) {
      folder = arg;
    } else {
      return CatalogUsage(err, "expected one folder");
    }
  }
  if (folder.empty()) return CatalogUsage(err, "expected a folder");

  BatchResult result;
  {
    ScopedInterrupt interrupt;
    Progress progress(&err == &std::cerr && ::isatty(STDERR_FILENO) ? &err : nullptr);
    result = RunBatch(folder, options, output, &progress);
  }
  for (const std::string& refused : result.refused) err << "quaverly-cli: " << refused << '\n';
  for (const std::string& failed : result.folder_errors) err << "quaverly-cli: " << failed << '\n';
  if (!result.ok()) {
    err << "quaverly-cli: " << result.error << '\n';
    return kExitFileError;
  }
  out << "catalog " << output << (result.cancelled ? " (interrupted)" : "") << ": "
      << result.files_read << " files read, " << result.damaged << " damaged, " << result.not_midi
      << " without a MIDI header, " << result.renamed << " renamed, " << result.refused.size()
      << " renames refused\n";
  const bool whole = result.refused.empty() && result.folder_errors.empty() && !result.cancelled;
  return whole ? kExitOk : kExitFileError;
}

int RunCreateDb(const Args& args, std::ostream& out, std::ostream& err) {
  if (args.size() > 1 || (args.size() == 1 && args[0].starts_with("-"))) {
    err << "quaverly-cli: expected at most one folder\nUsage: quaverly-cli create-db [FOLDER]\n";
    return kExitUsage;
  }
  const std::filesystem::path folder = args.empty() ? "." : args[0];
  const std::string error = CreateCatalogDatabase(folder);
  if (!error.empty()) {
    err << "quaverly-cli: " << error << '\n';
    return kExitFileError;
  }
  out << "created " << (folder / kCatalogDatabaseName).string() << '\n';
  return kExitOk;
}

}  // namespace quaverly::cli
