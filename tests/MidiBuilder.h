#pragma once
// Builds MIDI file bytes in tests, so that each test shows the bytes it means.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace quaverly::testing {

class MidiBuilder {
 public:
  // "MThd", length, format, track count, division; a length above 6 adds zero bytes.
  MidiBuilder& Header(int format, int tracks, int division, int32_t length = 6) {
    Tag("MThd");
    Long(static_cast<uint32_t>(length));
    Word(format);
    Word(tracks);
    Word(division);
    for (int32_t i = 6; i < length; ++i) bytes_.push_back(0);
    return *this;
  }
  // "MTrk" and a length that EndTrack or EndChunk patches.
  MidiBuilder& BeginTrack() { return BeginChunk("MTrk"); }
  MidiBuilder& BeginChunk(std::string_view tag) {
    Tag(tag);
    chunk_start_ = bytes_.size();
    Long(0);
    return *this;
  }
  // Patches the open chunk's length to the bytes written since BeginChunk.
  MidiBuilder& EndChunk() {
    const auto len = static_cast<uint32_t>(bytes_.size() - chunk_start_ - 4);
    for (int i = 0; i < 4; ++i) bytes_[chunk_start_ + i] = static_cast<uint8_t>(len >> (24 - 8 * i));
    return *this;
  }
  // Delta-time, FF 2F 00, and the chunk's length.
  MidiBuilder& EndTrack(uint32_t delta = 0) {
    Event(delta, {0xFF, 0x2F, 0x00});
    return EndChunk();
  }
  MidiBuilder& Event(uint32_t delta, std::initializer_list<int> raw) {
    VarLen(delta);
    return Raw(raw);
  }
  MidiBuilder& Meta(uint32_t delta, int type, std::string_view data) {
    VarLen(delta);
    bytes_.push_back(0xFF);
    bytes_.push_back(static_cast<uint8_t>(type));
    VarLen(static_cast<uint32_t>(data.size()));
    return Text(data);
  }
  MidiBuilder& SysEx(uint32_t delta, int status, std::string_view data) {
    VarLen(delta);
    bytes_.push_back(static_cast<uint8_t>(status));
    VarLen(static_cast<uint32_t>(data.size()));
    return Text(data);
  }
  MidiBuilder& Tempo(uint32_t delta, uint32_t micros) {
    return Meta(delta, 0x51, std::string{static_cast<char>(micros >> 16),
                                         static_cast<char>((micros >> 8) & 0xFF),
                                         static_cast<char>(micros & 0xFF)});
  }
  MidiBuilder& Raw(std::initializer_list<int> raw) {
    for (int b : raw) bytes_.push_back(static_cast<uint8_t>(b));
    return *this;
  }
  MidiBuilder& Text(std::string_view data) {
    bytes_.insert(bytes_.end(), data.begin(), data.end());
    return *this;
  }
  MidiBuilder& VarLen(uint32_t v) {
    uint8_t groups[5];
    int n = 0;
    do {
      groups[n++] = static_cast<uint8_t>(v & 0x7F);
      v >>= 7;
    } while (v != 0 && n < 5);
    while (n > 1) bytes_.push_back(static_cast<uint8_t>(groups[--n] | 0x80));
    bytes_.push_back(groups[0]);
    return *this;
  }
  MidiBuilder& Long(uint32_t v) {
    for (int i = 3; i >= 0; --i) bytes_.push_back(static_cast<uint8_t>(v >> (8 * i)));
    return *this;
  }
  MidiBuilder& Word(int v) {
    bytes_.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
    bytes_.push_back(static_cast<uint8_t>(v & 0xFF));
    return *this;
  }
  MidiBuilder& Tag(std::string_view tag) { return Text(tag); }

  const std::vector<uint8_t>& bytes() const { return bytes_; }
  std::string str() const { return std::string(bytes_.begin(), bytes_.end()); }

 private:
  std::vector<uint8_t> bytes_;
  size_t chunk_start_ = 0;
};

}  // namespace quaverly::testing
