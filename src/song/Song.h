#pragma once
// The song: one Standard MIDI File held in memory as a value that its caller owns.
// A header, then one event list per "MTrk" chunk. Meta and system-exclusive data stay raw
// bytes (one char per byte) so that every byte survives a read and a write unchanged.
// Readers build songs, the writer serialises them, the lyrics conversions edit them.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quaverly {

struct MidiHeader {
  int32_t Length = 6;  // header chunk length as read; the writer always writes 6
  int16_t Format = 0;
  int16_t TrackCount = 0;  // as announced by the header; rows beyond Song::Tracks are empty
  int16_t Division = 0;    // ticks per quarter note when positive; SMPTE when negative
  friend bool operator==(const MidiHeader&, const MidiHeader&) = default;
};

// Values of MidiEvent::Status. Classes 0..7 stand for the status byte (Status + 8) * 16 +
// Channel; the others are the status byte itself.
inline constexpr uint8_t kNoteOff = 0;
inline constexpr uint8_t kNoteOn = 1;
inline constexpr uint8_t kKeyPressure = 2;
inline constexpr uint8_t kControlChange = 3;
inline constexpr uint8_t kProgramChange = 4;
inline constexpr uint8_t kChannelPressure = 5;
inline constexpr uint8_t kPitchBend = 6;
inline constexpr uint8_t kSystemMessage = 7;  // 0xF1..0xFE except 0xF7, no data bytes
inline constexpr uint8_t kSysEx = 240;
inline constexpr uint8_t kSysExEscape = 247;
inline constexpr uint8_t kMeta = 255;

// Meta types, held in MidiEvent::Channel of a meta event.
namespace meta {
inline constexpr uint8_t kSequenceNumber = 0;
inline constexpr uint8_t kText = 1;
inline constexpr uint8_t kCopyright = 2;
inline constexpr uint8_t kTrackName = 3;
inline constexpr uint8_t kInstrument = 4;
inline constexpr uint8_t kLyric = 5;
inline constexpr uint8_t kMarker = 6;
inline constexpr uint8_t kCuePoint = 7;
inline constexpr uint8_t kChannelPrefix = 32;
inline constexpr uint8_t kPort = 33;
inline constexpr uint8_t kEndOfTrack = 47;
inline constexpr uint8_t kTempo = 81;
inline constexpr uint8_t kSmpteOffset = 84;
inline constexpr uint8_t kTimeSignature = 88;
inline constexpr uint8_t kKeySignature = 89;
inline constexpr uint8_t kSequencerSpecific = 127;
}  // namespace meta

struct MidiEvent {
  // Running tick of the track before this event's own delta-time, that is the tick of the
  // event before it (0 for the first event). The event itself stands at the Time of the
  // next event, or at the track's EndTime when it is the last one.
  int32_t Time = 0;
  uint8_t Status = 0;   // message class, see the constants above
  uint8_t Channel = 0;  // channel 0..15; meta type for meta events; 0 for sysex
  uint8_t Data1 = 0;
  uint8_t Data2 = 0;  // 0 for one-byte messages
  std::string Text;   // meta or sysex data, one char per byte; empty for channel messages

  bool IsMeta(uint8_t type) const { return Status == kMeta && Channel == type; }
  friend bool operator==(const MidiEvent&, const MidiEvent&) = default;
};

struct Track {
  std::vector<MidiEvent> Events;
  // Running tick after the last event's delta-time: the tick at which the last event stands.
  // Kept so that the last event is written with its true delta-time.
  int32_t EndTime = 0;
  // Text of the track's last sequence/track name event, if it has one.
  std::optional<std::string> Name;

  // Tick at which event i stands (see MidiEvent::Time).
  int32_t TickOf(std::size_t i) const {
    return i + 1 < Events.size() ? Events[i + 1].Time : EndTime;
  }
  friend bool operator==(const Track&, const Track&) = default;
};

struct Song {
  MidiHeader Header;
  // One row per "MTrk" chunk read, in file order. A header may announce more tracks than the
  // file holds; rows from Tracks.size() up to Header.TrackCount are empty.
  std::vector<Track> Tracks;
  int16_t ListTrackCount = 0;  // tracks the lyrics dialog lists; follows TrackCount

  // Row t, or an empty track for a row the file did not fill.
  const Track& Row(int t) const;
  // Row t, growing Tracks as needed.
  Track& MutableRow(int t);
  // The dialog label of track t: its number as number text, a space and its name;
  // empty when the track has no name event.
  std::string TrackNameEntry(int t) const;

  friend bool operator==(const Song&, const Song&) = default;
};

}  // namespace quaverly
