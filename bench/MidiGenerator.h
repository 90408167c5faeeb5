#pragma once
// Deterministic Standard MIDI Files of realistic shape for benchmarks: a format-1 song of
// 16 tracks (a tempo map with tempo, key, time-signature, marker and text events, then
// instrument tracks of notes in running status, controllers, pitch bends and lyrics) grown
// to a target size, and small files like those a catalog run meets.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "MidiBuilder.h"

namespace quaverly::bench {

// A fixed-seed xorshift generator: the same seed gives the same file on every machine.
class Random {
 public:
  explicit Random(uint32_t seed) : state_(seed ? seed : 1) {}
  uint32_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  int Below(int n) { return static_cast<int>(Next() % static_cast<uint32_t>(n)); }

 private:
  uint32_t state_;
};

// Channel messages in running status, and meta events, over the tests' byte builder.
class TrackBytes {
 public:
  explicit TrackBytes(testing::MidiBuilder& file) : file_(file) {
    file_.BeginTrack();
    start_ = file_.bytes().size();
  }
  void Channel(uint32_t delta, int status, int d1, int d2 = -1) {
    file_.VarLen(delta);
    if (status != running_) file_.Raw({status});
    running_ = status;
    file_.Raw({d1});
    if (d2 >= 0) file_.Raw({d2});
  }
  void Meta(uint32_t delta, int type, std::string_view data) {
    file_.Meta(delta, type, data);
    running_ = -1;  // as most writers do, though readers keep running status across metas
  }
  void Tempo(uint32_t delta, uint32_t micros) {
    file_.Tempo(delta, micros);
    running_ = -1;
  }
  void End(uint32_t delta) { file_.EndTrack(delta); }
  std::size_t Size() const { return file_.bytes().size() - start_; }

 private:
  testing::MidiBuilder& file_;
  std::size_t start_ = 0;
  int running_ = -1;
};

// A format-1 song of `tracks` tracks (at least 2) of about target_bytes bytes in all.
inline std::vector<uint8_t> GenerateSong(std::size_t target_bytes, int tracks = 16,
                                         uint32_t seed = 1) {
  constexpr int kDivision = 480;
  Random random(seed);
  testing::MidiBuilder file;
  file.Header(1, tracks, kDivision);
  const std::size_t per_track = target_bytes / static_cast<std::size_t>(tracks);

  // Notes per track, so that the tempo map spans the same length as the music.
  const std::size_t notes = per_track / 7;
  const uint32_t song_ticks = static_cast<uint32_t>(notes) * kDivision / 2;

  TrackBytes map(file);
  map.Meta(0, 0x03, "Generated Song");
  map.Meta(0, 0x02, "(c) Quaverly benchmarks");
  map.Meta(0, 0x58, "\x04\x02\x18\x08");
  map.Meta(0, 0x59, std::string_view("\x00\x00", 2));
  map.Tempo(0, 500000);
  map.Meta(0, 0x01, "@KMIDI KARAOKE FILE");
  uint32_t map_ticks = 0;
  for (int bar = 1; map_ticks + 4 * kDivision < song_ticks; ++bar) {
    map.Tempo(4 * kDivision, 400000 + static_cast<uint32_t>(random.Below(200000)));
    map_ticks += 4 * kDivision;
    if (bar % 16 == 0) map.Meta(0, 0x06, "Verse " + std::to_string(bar / 16));
    if (bar % 64 == 0) map.Meta(0, 0x58, bar % 128 == 0 ? "\x04\x02\x18\x08" : "\x03\x02\x18\x08");
  }
  map.End(0);

  const std::size_t used = file.bytes().size() + 8 * static_cast<std::size_t>(tracks - 1);
  const std::size_t per_instrument =
      target_bytes > used ? (target_bytes - used) / static_cast<std::size_t>(tracks - 1) : 0;
  static constexpr std::string_view kWords[] = {"Hel",  "lo ",  "dar",  "ling ", "/how ",
                                                "are ", "you ", "\\to", "night "};
  for (int t = 1; t < tracks; ++t) {
    TrackBytes track(file);
    const int channel = (t - 1) % 16;
    track.Meta(0, 0x03, "Instrument " + std::to_string(t));
    track.Channel(0, 0xC0 | channel, random.Below(128));
    track.Channel(0, 0xB0 | channel, 7, 100);
    track.Channel(0, 0xB0 | channel, 10, random.Below(128));
    uint32_t pending = 0;
    while (track.Size() + 16 < per_instrument) {
      const int key = 36 + random.Below(60);
      track.Channel(pending, 0x90 | channel, key, 40 + random.Below(80));
      if (t == 2 && random.Below(4) == 0) {
        track.Meta(0, 0x05, kWords[random.Below(9)]);
      } else if (random.Below(16) == 0) {
        track.Channel(0, 0xE0 | channel, random.Below(128), random.Below(128));
      }
      const uint32_t length = static_cast<uint32_t>(kDivision / 4 * (1 + random.Below(4)));
      track.Channel(length, 0x90 | channel, key, 0);  // note off as a note on of velocity 0
      pending = static_cast<uint32_t>(kDivision / 2) - length % (kDivision / 2);
    }
    track.End(pending);
  }
  return file.bytes();
}

// A small format-0 file (about 3 KB) with tempo, key and time signature at its start.
inline std::vector<uint8_t> GenerateSmallFile(uint32_t seed = 7) {
  Random random(seed);
  testing::MidiBuilder file;
  file.Header(0, 1, 96);
  TrackBytes track(file);
  track.Meta(0, 0x03, "Small Song");
  track.Tempo(0, 600000);
  track.Meta(0, 0x59, std::string_view("\x02\x00", 2));
  track.Meta(0, 0x58, "\x03\x02\x18\x08");
  for (int i = 0; i < 400; ++i) {
    const int key = 48 + random.Below(24);
    track.Channel(24, 0x90 | (i % 4), key, 90);
    track.Channel(24, 0x90 | (i % 4), key, 0);
  }
  track.End(0);
  return file.bytes();
}

}  // namespace quaverly::bench
