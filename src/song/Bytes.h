#pragma once
// The byte-level encodings of a Standard MIDI File: big-endian 16- and 32-bit numbers,
// variable-length quantities (VLQ, at most four bytes), the per-event header and the
// 24-bit tempo number. Readers work on a ByteCursor over bytes already in memory; every
// Read* returns false, leaving the cursor at the end, when the bytes run out first.
// Writers append to a byte buffer.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "song/Song.h"

namespace quaverly {

using ByteBuffer = std::vector<uint8_t>;

struct VarLenBytes {
  std::array<uint8_t, 4> Bytes{};  // in file order, most significant group first
  uint8_t Count = 0;               // bytes in use, 1..4
};

struct EventHeader {
  int32_t Delta = 0;
  int32_t StatusByte = 0;  // 0..255; below 128 the first data byte of running status
  int16_t MetaType = 0;    // meta type when StatusByte is 255, else 0
  int32_t DataLength = 0;  // data length of meta and sysex events, else 0
};

// Read position over an immutable byte span.
class ByteCursor {
 public:
  explicit ByteCursor(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  std::size_t Position() const { return pos_; }
  std::size_t Size() const { return bytes_.size(); }
  std::size_t Remaining() const { return bytes_.size() - pos_; }
  bool AtEnd() const { return pos_ >= bytes_.size(); }
  // Moves to pos, or to the end when pos lies beyond it.
  void Seek(std::size_t pos) { pos_ = pos < bytes_.size() ? pos : bytes_.size(); }

  bool ReadByte(uint8_t& out) {
    if (pos_ >= bytes_.size()) return false;
    out = bytes_[pos_++];
    return true;
  }
  // Replaces out with the next n bytes, one char per byte.
  bool ReadText(std::size_t n, std::string& out);
  bool Skip(std::size_t n);

 private:
  std::span<const uint8_t> bytes_;
  std::size_t pos_ = 0;
};

// Bits above the 28th are dropped; negative values are encoded from their low 28 bits.
VarLenBytes EncodeVarLen(int32_t v);
// Counts outside 1..4 decode to 0.
int32_t DecodeVarLen(const VarLenBytes& b);
// Reads at most four bytes: a longer quantity leaves its remaining bytes unread.
bool ReadVarLen(ByteCursor& in, VarLenBytes& out);
bool ReadWord(ByteCursor& in, int16_t& out);
bool ReadLong(ByteCursor& in, int32_t& out);
// Format, TrackCount and Division; Length is set to 0.
bool ReadHeaderWords(ByteCursor& in, MidiHeader& out);
// Delta, status byte, meta type and data length; channel data bytes are left unread.
bool ReadEventHeader(ByteCursor& in, EventHeader& out);

void WriteVarLen(ByteBuffer& out, int32_t v);
// Negative values are written as their 16-bit two's complement (SMPTE divisions).
void WriteWord(ByteBuffer& out, int16_t v);
void WriteLong(ByteBuffer& out, int32_t v);

// c0 * 65536 + c1 * 256 + c2 of the first three bytes; s must hold at least three.
int32_t TextToNumber24(std::string_view s);

}  // namespace quaverly
