// kar2lyrics and lyrics2kar: the two lyrics conversions of the Convert Lyrics dialog, run
// on a file. Without --track they take the track the dialog would propose, or else the track
// that holds the most events to convert.

#include <charconv>
#include <optional>
#include <string>
#include <system_error>

#include "Commands.h"
#include "lyrics/Lyrics.h"
#include "reader/ReadMidiFile.h"
#include "writer/WriteMidiFile.h"

namespace quaverly::cli {
namespace {

struct LyricsArgs {
  std::string in;
  std::string out;
  std::optional<int> track;
  bool keep_text = false;
  KaraokeInfo info;
};

std::optional<int> ParseTrack(const std::string& s) {
  int value = 0;
  const char* end = s.data() + s.size();
  const auto [ptr, ec] = std::from_chars(s.data(), end, value);
  if (ec != std::errc() || ptr != end || value < 0) return std::nullopt;
  return value;
}

// Returns an empty string on success, else what is wrong with the arguments.
std::string ParseArgs(const Args& args, bool to_text, LyricsArgs& parsed) {
  int positional = 0;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    std::string name = a;
    std::optional<std::string> value;
    if (a.rfind("--", 0) == 0) {
      if (const std::size_t eq = a.find('='); eq != std::string::npos) {
        name = a.substr(0, eq);
        value = a.substr(eq + 1);
      }
    } else {
      if (positional == 0) parsed.in = a;
      if (positional == 1) parsed.out = a;
      if (++positional > 2) return "too many arguments";
      continue;
    }
    const bool takes_value =
        name == "--track" ||
        (to_text && (name == "--language" || name == "--title" || name == "--artist"));
    if (!takes_value) {
      if (name == "--keep-text" && !to_text && !value) {
        parsed.keep_text = true;
        continue;
      }
      return "unknown option '" + a + "'";
    }
    if (!value) {
      if (i + 1 >= args.size()) return name + " needs a value";
      value = args[++i];
    }
    if (name == "--track") {
      parsed.track = ParseTrack(*value);
      if (!parsed.track) return "--track needs a track number, not '" + *value + "'";
    } else if (name == "--language") {
      parsed.info.Language = *value;
    } else if (name == "--title") {
      parsed.info.Title = *value;
    } else {
      parsed.info.Artist = *value;
    }
  }
  if (positional < 2) return "IN and OUT are needed";
  return {};
}

// The dialog's proposal when it holds events of `type`, else the track holding the most
// (the first of equals); -1 when no track holds any.
int DefaultTrack(const Song& song, uint8_t type) {
  const int proposed = ProposedWordsIndex(song) + 1;
  if (proposed > 0 && CountMeta(song, proposed, type) > 0) return proposed;
  int best = -1;
  int best_count = 0;
  for (int t = 0; t < song.Header.TrackCount; ++t) {
    const int count = CountMeta(song, t, type);
    if (count > best_count) {
      best = t;
      best_count = count;
    }
  }
  return best;
}

int RunConversion(const Args& args, bool to_text, std::ostream& out, std::ostream& err) {
  LyricsArgs parsed;
  if (const std::string problem = ParseArgs(args, to_text, parsed); !problem.empty()) {
    err << "quaverly-cli: " << problem << " (try --help)\n";
    return kExitUsage;
  }
  ReadResult read = ReadMidiFile(parsed.in, ReadMode::kDisplay);
  if (!ReadWhole(read, parsed.in, err)) return kExitFileError;
  Song& song = read.song;
  const uint8_t from_type = to_text ? meta::kLyric : meta::kText;
  const char* from_what = to_text ? "lyric events" : "text events";
  int track = 0;
  if (parsed.track) {
    track = *parsed.track;
    if (track >= song.Header.TrackCount) {
      err << "quaverly-cli: " << parsed.in << " has no track " << track << " (tracks 0 to "
          << song.Header.TrackCount - 1 << ")\n";
      return kExitUsage;
    }
  } else {
    track = DefaultTrack(song, from_type);
    if (track < 0) {
      err << "quaverly-cli: " << parsed.in << ": no " << from_what << " to convert\n";
      return kExitFileError;
    }
  }
  const int count = CountMeta(song, track, from_type);
  const bool done = to_text ? LyricsToText(song, track, parsed.info)
                            : TextToLyrics(song, track, parsed.keep_text);
  if (!done) {
    err << "quaverly-cli: " << parsed.in << ": no room for two more tracks\n";
    return kExitFileError;
  }
  if (const std::string error = WriteMidiFile(song, parsed.out); !error.empty()) {
    err << "quaverly-cli: " << error << '\n';
    return kExitFileError;
  }
  out << "Track " << track << ": " << count << ' ' << from_what << " converted"
      << (to_text ? " into the tracks \"Soft Karaoke\" and \"Words\"" : "") << "; wrote "
      << parsed.out << '\n';
  return kExitOk;
}

}  // namespace

int RunKar2Lyrics(const Args& args, std::ostream& out, std::ostream& err) {
  return RunConversion(args, false, out, err);
}

int RunLyrics2Kar(const Args& args, std::ostream& out, std::ostream& err) {
  return RunConversion(args, true, out, err);
}

}  // namespace quaverly::cli
