#include "writer/WriteMidiFile.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "song/FileIo.h"

namespace quaverly {
namespace {

// The most bytes one event takes: a 4-byte delta-time, then a meta event's FF, type and
// 4-byte length (channel messages take at most 3), then its data.
std::size_t MaxEventBytes(const MidiEvent& e) { return 10 + e.Text.size(); }

// Writes into a buffer sized once for the whole file; Room() before each event keeps every
// write inside it.
class Emitter {
 public:
  explicit Emitter(std::size_t capacity) : bytes_(capacity) {}

  void Room(std::size_t n) {
    if (size_ + n > bytes_.size()) bytes_.resize(std::max(bytes_.size() * 2, size_ + n));
  }
  void Byte(uint8_t b) { bytes_[size_++] = b; }
  void Bytes(const void* data, std::size_t n) {
    if (n == 0) return;
    std::memcpy(bytes_.data() + size_, data, n);
    size_ += n;
  }
  void VarLen(int32_t v) {
    if (v >= 0 && v < 0x80) {
      Byte(static_cast<uint8_t>(v));
      return;
    }
    const VarLenBytes b = EncodeVarLen(v);
    Bytes(b.Bytes.data(), b.Count);
  }
  void Long(uint32_t v) {
    const uint8_t b[4] = {static_cast<uint8_t>(v >> 24), static_cast<uint8_t>(v >> 16),
                          static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)};
    Bytes(b, 4);
  }
  void Word(int16_t v) {
    const auto u = static_cast<uint16_t>(v);  // SMPTE divisions are negative
    const uint8_t b[2] = {static_cast<uint8_t>(u >> 8), static_cast<uint8_t>(u)};
    Bytes(b, 2);
  }
  void PatchLong(std::size_t at, uint32_t v) {
    bytes_[at] = static_cast<uint8_t>(v >> 24);
    bytes_[at + 1] = static_cast<uint8_t>(v >> 16);
    bytes_[at + 2] = static_cast<uint8_t>(v >> 8);
    bytes_[at + 3] = static_cast<uint8_t>(v);
  }
  std::size_t Size() const { return size_; }
  ByteBuffer Take() && {
    bytes_.resize(size_);
    return std::move(bytes_);
  }

 private:
  ByteBuffer bytes_;
  std::size_t size_ = 0;
};

std::size_t SizeBound(const Song& song, int track_count) {
  std::size_t n = 14;
  for (int t = 0; t < track_count; ++t) {
    n += 8;
    for (const MidiEvent& e : song.Row(t).Events) n += MaxEventBytes(e);
  }
  return n;
}

void WriteTrack(const Track& row, Emitter& out) {
  uint8_t last_status = 0;
  const std::size_t count = row.Events.size();
  for (std::size_t j = 0; j < count; ++j) {
    const MidiEvent& e = row.Events[j];
    out.Room(MaxEventBytes(e));
    const int32_t delta = row.TickOf(j) - e.Time;
    out.VarLen(delta < 0 ? 0 : delta);
    switch (e.Status) {
      case kSysEx:
      case kSysExEscape:
        out.Byte(e.Status);
        out.VarLen(static_cast<int32_t>(e.Text.size()));
        out.Bytes(e.Text.data(), e.Text.size());
        last_status = 0;
        break;
      case kMeta:
        out.Byte(0xFF);
        out.Byte(e.Channel);
        if (e.Channel == meta::kEndOfTrack) {
          out.Byte(0);
        } else {
          out.VarLen(static_cast<int32_t>(e.Text.size()));
          out.Bytes(e.Text.data(), e.Text.size());
        }
        last_status = 0;
        break;
      default: {
        const auto status = static_cast<uint8_t>(128 + 16 * e.Status + e.Channel);
        // A message with Time 0 always carries its status byte, as saved files always have.
        // System messages have no data bytes, so without their status nothing would be left.
        if (e.Time == 0 || status != last_status || e.Status == kSystemMessage) out.Byte(status);
        last_status = status;
        switch (e.Status) {
          case kProgramChange:
          case kChannelPressure:
            out.Byte(e.Data1);
            break;
          case kSystemMessage:
            break;
          default:
            out.Byte(e.Data1);
            out.Byte(e.Data2);
            break;
        }
      }
    }
  }
}

}  // namespace

ByteBuffer SerializeMidi(const Song& song) {
  const int track_count = song.Header.TrackCount < 0 ? 0 : song.Header.TrackCount;
  Emitter out(SizeBound(song, track_count));
  out.Room(14 + 8 * static_cast<std::size_t>(track_count));
  out.Bytes("MThd", 4);
  out.Long(6);  // exactly three words follow, whatever length the file claimed
  out.Word(song.Header.Format);
  out.Word(song.Header.TrackCount);
  out.Word(song.Header.Division);
  for (int t = 0; t < track_count; ++t) {
    out.Room(8);
    out.Bytes("MTrk", 4);
    const std::size_t length_at = out.Size();
    out.Long(0);
    WriteTrack(song.Row(t), out);
    out.PatchLong(length_at, static_cast<uint32_t>(out.Size() - length_at - 4));
  }
  return std::move(out).Take();
}

std::string WriteMidiFile(const Song& song, const std::filesystem::path& path) {
  const ByteBuffer bytes = SerializeMidi(song);
  return StoreFileAtomically(path, bytes);
}

}  // namespace quaverly
