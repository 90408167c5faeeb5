#pragma once
// Small MIDI files, each showing one feature the reader must handle. The reader tests use
// them and the fuzz seed corpus is written from them.

#include <string>
#include <utility>
#include <vector>

#include "MidiBuilder.h"

namespace quaverly::testing {

// Format 1, division 96: a named tempo map with key and time signature, then a named
// melody track using running status, a sysex and a marker.
inline MidiBuilder TwoTrackSong() {
  MidiBuilder b;
  b.Header(1, 2, 96)
      .BeginTrack()
      .Meta(0, 3, "Tempo Map")
      .Raw({0x00, 0xFF, 0x58, 0x04, 0x03, 0x02, 0x18, 0x08})
      .Raw({0x00, 0xFF, 0x59, 0x02, 0xFD, 0x00})
      .Tempo(0, 500000)
      .EndTrack(384)
      .BeginTrack()
      .Meta(0, 3, "Melody")
      .Event(0, {0xC3, 0x05})
      .Event(0, {0x93, 0x3C, 0x40})
      .Event(48, {0x3E, 0x40})
      .SysEx(0, 0xF0, std::string("\x7E\x7F\x09\x01\xF7", 5))
      .Meta(0, 6, "Verse")
      .Event(48, {0x3C, 0x00})
      .Event(0, {0x3E, 0x00})
      .EndTrack(96);
  return b;
}

// Format 0 holding tempo, key and time signature at its start, then notes.
inline MidiBuilder SignaturesFirstFormat0() {
  MidiBuilder b;
  b.Header(0, 1, 480)
      .BeginTrack()
      .Tempo(0, 600000)
      .Raw({0x00, 0xFF, 0x59, 0x02, 0x02, 0x01})
      .Raw({0x00, 0xFF, 0x58, 0x04, 0x06, 0x03, 0x18, 0x08})
      .Event(0, {0x90, 0x3C, 0x40})
      .Event(480, {0x80, 0x3C, 0x40})
      .EndTrack();
  return b;
}

// Soft Karaoke: "@" header lines, then syllables with "\" and "/" breaks, and lyric events.
inline MidiBuilder KaraokeSong() {
  MidiBuilder b;
  b.Header(1, 3, 120)
      .BeginTrack()
      .Tempo(0, 400000)
      .EndTrack()
      .BeginTrack()
      .Meta(0, 1, "@KMIDI KARAOKE FILE")
      .Meta(0, 1, "@TTwinkle")
      .Meta(10, 1, "\\Twin")
      .Meta(10, 1, "kle")
      .Meta(10, 1, "/lit")
      .Meta(10, 5, "Twin")
      .Meta(0, 5, "kle")
      .Meta(0, 5, "\r")
      .EndTrack()
      .BeginTrack()
      .Event(0, {0x90, 0x40, 0x50})
      .EndTrack();
  return b;
}

// Foreign chunks around tracks, every channel class, a five-byte quantity, many tempos.
inline MidiBuilder OddChunks() {
  MidiBuilder b;
  b.Header(2, 2, -7688, 8)
      .BeginChunk("XFIH")
      .Text("foreign")
      .EndChunk()
      .BeginTrack()
      .Event(0, {0x80, 0x3C, 0x40, 0x00, 0xA1, 0x3C, 0x10, 0x00, 0xB2, 0x07, 0x64})
      .Event(0, {0xC3, 0x05, 0x00, 0x06, 0x00, 0xD4, 0x20, 0x00, 0xE5, 0x00, 0x40})
      .Event(0, {0xF8, 0x00, 0x01, 0x00, 0xF7, 0x01, 0xF7})
      .Raw({0xFF, 0xFF, 0xFF, 0xFF, 0x7F})
      .Meta(0, 0x54, std::string("\x60\x00\x03\x00\x00", 5))
      .Meta(0, 0x20, std::string(1, '\0'))
      .EndTrack()
      .BeginChunk("junk")
      .EndChunk()
      .BeginTrack();
  for (int i = 0; i < 12; ++i) b.Tempo(1, 500000 - 1000 * static_cast<uint32_t>(i));
  b.EndTrack();
  return b;
}

inline std::vector<std::pair<std::string, std::vector<uint8_t>>> SampleFiles() {
  return {{"two-track", TwoTrackSong().bytes()},
          {"signatures-format0", SignaturesFirstFormat0().bytes()},
          {"karaoke", KaraokeSong().bytes()},
          {"odd-chunks", OddChunks().bytes()}};
}

}  // namespace quaverly::testing
