#pragma once
// Small MIDI files and folder trees for the batch tests.

#include <filesystem>
#include <string>
#include <vector>

#include "MidiBuilder.h"
#include "TempDir.h"

namespace quaverly::testing {

// Format 1: a conductor track with tempo 120, 4/4 and C major, then tracks - 1 note tracks;
// with karaoke the second track holds the "@K" text event.
inline std::vector<uint8_t> Format1Song(int tracks = 2, bool karaoke = false) {
  MidiBuilder b;
  b.Header(1, tracks, 480);
  b.BeginTrack().Tempo(0, 500000).Meta(0, 0x58, "\x04\x02\x18\x08");
  b.Meta(0, 0x59, std::string("\x00\x00", 2)).EndTrack();
  for (int t = 1; t < tracks; ++t) {
    b.BeginTrack();
    if (karaoke && t == 1) b.Meta(0, 0x01, "@KMIDI KARAOKE FILE");
    b.Event(0, {0x90, 60, 100}).Event(480, {0x80, 60, 0}).EndTrack();
  }
  return b.bytes();
}

// Format 0 with the karaoke mark: never renamed.
inline std::vector<uint8_t> Format0Karaoke() {
  MidiBuilder b;
  b.Header(0, 1, 96);
  b.BeginTrack().Meta(0, 0x01, "@KMIDI KARAOKE FILE").Tempo(0, 500000);
  b.Event(0, {0x90, 60, 100}).Event(96, {0x80, 60, 0}).EndTrack();
  return b.bytes();
}

inline void WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::filesystem::create_directories(path.parent_path());
  WriteBytes(path, bytes);
}

inline void WriteText(const std::filesystem::path& path, const std::string& text) {
  std::filesystem::create_directories(path.parent_path());
  WriteBytes(path, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

// Lines of a CR LF text, without their line ends; fails on a bare LF.
inline std::vector<std::string> CrLfLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  if (start != text.size()) lines.push_back("<unterminated>" + text.substr(start));
  return lines;
}

}  // namespace quaverly::testing
