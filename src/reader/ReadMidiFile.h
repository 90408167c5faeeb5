#pragma once
// The reader: parses a Standard MIDI File into a new Song and describes what it found, as
// the texts the main window shows (summary labels, the chunk report, the text, lyric and
// marker texts) and, in catalog mode, the eight catalog strings. It never prints and never
// calls a window: callers render the result.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

#include "song/Song.h"

namespace quaverly {

// Bits of ReadResult::FoundFlags.
inline constexpr uint16_t kFoundTempo = 1;
inline constexpr uint16_t kFoundKey = 2;
inline constexpr uint16_t kFoundTimeSig = 4;
inline constexpr uint16_t kFoundKaraoke = 16;  // a text event holding "@K"
inline constexpr uint16_t kFoundLyric = 32;

enum class ReadMode {
  kDisplay = 0,  // read every chunk (Open)
  kCatalog = 2,  // batch catalog: stop early, fill CatalogInfo
};

enum class ReadOutcome {
  kComplete,  // read to its end, or to a catalog stop point
  kNotMidi,   // no "MThd" tag, or the file could not be opened
  kDamaged,   // the read stopped at a fault; what was read before it is kept
};

// The report texts of one read. Labels hold a value only when the read set them; the texts
// are what the read appends to the boxes (CR LF line ends). On a damaged read FileInfo is
// exactly "Cound not read entire file!".
struct ReadReport {
  std::optional<std::string> FType;     // "Type 1"
  std::optional<std::string> FTracks;   // " 2"
  std::optional<std::string> FCopyTxt;  // last copyright text (raw bytes)
  std::optional<std::string> FTempo;    // "120 BPM" (the tenth tempo event at most)
  std::optional<std::string> FTimeSig;  // "4/4"
  std::optional<std::string> FKeySig;   // "Eb", "D Minor"
  std::string FileInfo;
  std::string GenText;
  std::string Lyrics;
  std::string Markers;
};

using CatalogStrings = std::array<std::string, 8>;

struct ReadResult {
  Song song;  // whatever was read; an empty song when the file is not MIDI
  ReadOutcome outcome = ReadOutcome::kNotMidi;
  uint16_t FoundFlags = 0;
  ReadReport report;
  // Catalog mode: entries 0..5 (and 7 for formats 1 and 2) once a stop point was reached;
  // entry 0 is "?Damaged?" on a damaged read; all empty otherwise.
  CatalogStrings CatalogInfo;
  bool catalog_filled = false;
  // Why the file could not be opened ("cannot open PATH: reason"); empty otherwise.
  std::string error;
};

inline constexpr const char* kNotMidiText = "Not a standard MIDI file.";
inline constexpr const char* kDamagedText = "Cound not read entire file!";
inline constexpr const char* kDamagedCatalog = "?Damaged?";

// Parses bytes already in memory.
ReadResult ReadMidiBytes(std::span<const uint8_t> bytes, ReadMode mode);
// Loads the file and parses it. A file that cannot be opened takes the not-MIDI outcome with
// `error` set; nothing is ever created.
ReadResult ReadMidiFile(const std::filesystem::path& path, ReadMode mode);

// Name of a key signature: sharps or flats (-7..7, or 0..255 as read) and mode (1 = minor).
std::string KeySignatureName(int sharps_or_flats, int mode);

}  // namespace quaverly
