#include "Commands.h"

namespace quaverly::cli {

// Placeholders until the reader is in the core library.
namespace {
int NotYet(const Args& args, std::size_t count, std::ostream& err) {
  if (args.size() != count) {
    err << "quaverly-cli: wrong number of arguments (try --help)\n";
    return kExitUsage;
  }
  err << "quaverly-cli: " << args.front() << ": reading is not available in this build\n";
  return kExitFileError;
}
}  // namespace

int RunInfo(const Args& args, std::ostream& /*out*/, std::ostream& err) {
  return NotYet(args, 1, err);
}
int RunCsv(const Args& args, std::ostream& /*out*/, std::ostream& err) {
  return NotYet(args, 1, err);
}
int RunCopy(const Args& args, std::ostream& /*out*/, std::ostream& err) {
  return NotYet(args, 2, err);
}

}  // namespace quaverly::cli
