#include <cstdio>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "Commands.h"
#include "song/Allocator.h"

namespace {

using quaverly::cli::Args;

struct Command {
  std::string_view name;
  std::string_view usage;  // the line --help shows
  int (*run)(const Args& args, std::ostream& out, std::ostream& err);
};

// One line per subcommand; add yours here and it shows up in --help.
constexpr Command kCommands[] = {
    {"info", "info FILE        the summary, chunk report, text, lyrics and markers of FILE",
     quaverly::cli::RunInfo},
    {"csv", "csv FILE         every event of FILE as midicsv(1) lists it", quaverly::cli::RunCsv},
    {"copy", "copy IN OUT      read IN and write it to OUT as Save does", quaverly::cli::RunCopy},
    {"kar2lyrics",
     "kar2lyrics IN OUT [--track N] [--keep-text]\n                   karaoke text events of track "
     "N to lyric events",
     quaverly::cli::RunKar2Lyrics},
    {"lyrics2kar",
     "lyrics2kar IN OUT [--track N] [--language L] [--title T] [--artist A]\n                   "
     "lyric events of track N to Soft Karaoke text tracks",
     quaverly::cli::RunLyrics2Kar},
    {"catalog",
     "catalog DIR [--no-subfolders] [--output FILE] [--rename-karaoke]\n"
     "                   [--underscores-to-spaces | --spaces-to-underscores]\n"
     "                   a catalog of the *.mid files under DIR (default FileInfo.TXT)",
     quaverly::cli::RunCatalog},
    {"create-db", "create-db [FOLDER] an empty catalog database Midi1.db in FOLDER",
     quaverly::cli::RunCreateDb},
};

void PrintHelp(std::ostream& out) {
  out << "Usage: quaverly-cli COMMAND [ARGUMENTS]\n"
         "       quaverly-cli --help | --version\n\n"
         "Commands:\n";
  for (const Command& c : kCommands) out << "  " << c.usage << '\n';
  out << "\nExit status: 0 success, 1 a file that is not MIDI, damaged or unwritable,\n"
         "2 a usage error.\n";
}

}  // namespace

int main(int argc, char** argv) {
  quaverly::KeepFreedMemoryForReuse();
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> all(argv + 1, argv + argc);
  if (all.empty()) {
    PrintHelp(std::cerr);
    return quaverly::cli::kExitUsage;
  }
  const std::string& name = all.front();
  if (name == "--help" || name == "-h" || name == "help") {
    PrintHelp(std::cout);
    return quaverly::cli::kExitOk;
  }
  if (name == "--version") {
    std::cout << "quaverly-cli " QUAVERLY_VERSION "\n";
    return quaverly::cli::kExitOk;
  }
  for (const Command& c : kCommands) {
    if (c.name == name) {
      const int status = c.run(Args(all.begin() + 1, all.end()), std::cout, std::cerr);
      std::cout.flush();
      return status;
    }
  }
  std::cerr << "quaverly-cli: unknown command '" << name << "' (try --help)\n";
  return quaverly::cli::kExitUsage;
}
