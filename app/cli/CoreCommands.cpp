// info, csv and copy: the core's reader, report and writer from a shell.

#include <string>

#include "Commands.h"
#include "reader/InfoText.h"
#include "reader/ReadMidiFile.h"
#include "writer/MidiCsv.h"
#include "writer/WriteMidiFile.h"

namespace quaverly::cli {
namespace {

bool Usage(const Args& args, std::size_t count, std::ostream& err) {
  if (args.size() == count) return true;
  err << "quaverly-cli: expected " << count << (count == 1 ? " file" : " files")
      << " (try --help)\n";
  return false;
}

}  // namespace

bool ReadWhole(const ReadResult& result, const std::string& path, std::ostream& err) {
  switch (result.outcome) {
    case ReadOutcome::kComplete:
      return true;
    case ReadOutcome::kNotMidi:
      if (!result.error.empty()) {
        err << "quaverly-cli: " << result.error << '\n';
      } else {
        err << "quaverly-cli: " << path << ": " << kNotMidiText << '\n';
      }
      return false;
    case ReadOutcome::kDamaged:
      err << "quaverly-cli: " << path << ": " << kDamagedText << '\n';
      return false;
  }
  return false;
}

int RunInfo(const Args& args, std::ostream& out, std::ostream& err) {
  if (!Usage(args, 1, err)) return kExitUsage;
  const ReadResult result = ReadMidiFile(args[0], ReadMode::kDisplay);
  if (!result.error.empty()) {
    err << "quaverly-cli: " << result.error << '\n';
    return kExitFileError;
  }
  // A file that is not whole is still described, as the window describes it.
  const std::string text = InfoText(result.report);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  return ReadWhole(result, args[0], err) ? kExitOk : kExitFileError;
}

int RunCsv(const Args& args, std::ostream& out, std::ostream& err) {
  if (!Usage(args, 1, err)) return kExitUsage;
  const ReadResult result = ReadMidiFile(args[0], ReadMode::kDisplay);
  if (!ReadWhole(result, args[0], err)) return kExitFileError;
  WriteMidiCsv(result.song, out);
  out.flush();
  if (!out) {
    err << "quaverly-cli: cannot write the listing of " << args[0] << '\n';
    return kExitFileError;
  }
  return kExitOk;
}

int RunCopy(const Args& args, std::ostream& /*out*/, std::ostream& err) {
  if (!Usage(args, 2, err)) return kExitUsage;
  const ReadResult result = ReadMidiFile(args[0], ReadMode::kDisplay);
  // A partial song is not written: it would replace OUT with a truncated file.
  if (!ReadWhole(result, args[0], err)) return kExitFileError;
  const std::string error = WriteMidiFile(result.song, args[1]);
  if (!error.empty()) {
    err << "quaverly-cli: " << error << '\n';
    return kExitFileError;
  }
  return kExitOk;
}

}  // namespace quaverly::cli
