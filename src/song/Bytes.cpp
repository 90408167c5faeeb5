#include "song/Bytes.h"

namespace quaverly {

bool ByteCursor::ReadText(std::size_t n, std::string& out) {
  if (n > Remaining()) {
    pos_ = bytes_.size();
    return false;
  }
  out.assign(reinterpret_cast<const char*>(bytes_.data() + pos_), n);
  pos_ += n;
  return true;
}

bool ByteCursor::Skip(std::size_t n) {
  if (n > Remaining()) {
    pos_ = bytes_.size();
    return false;
  }
  pos_ += n;
  return true;
}

VarLenBytes EncodeVarLen(int32_t value) {
  // The length is chosen from the whole value; only the low 28 bits are encoded.
  const auto v = static_cast<uint32_t>(value);
  VarLenBytes b;
  if (v < 0x80u) {
    b.Bytes[0] = static_cast<uint8_t>(v);
    b.Count = 1;
  } else if (v < 0x4000u) {
    b.Bytes = {static_cast<uint8_t>(((v >> 7) & 0x7F) | 0x80), static_cast<uint8_t>(v & 0x7F)};
    b.Count = 2;
  } else if (v < 0x200000u) {
    b.Bytes = {static_cast<uint8_t>(((v >> 14) & 0x7F) | 0x80),
               static_cast<uint8_t>(((v >> 7) & 0x7F) | 0x80), static_cast<uint8_t>(v & 0x7F)};
    b.Count = 3;
  } else {
    b.Bytes = {static_cast<uint8_t>(((v >> 21) & 0x7F) | 0x80),
               static_cast<uint8_t>(((v >> 14) & 0x7F) | 0x80),
               static_cast<uint8_t>(((v >> 7) & 0x7F) | 0x80), static_cast<uint8_t>(v & 0x7F)};
    b.Count = 4;
  }
  return b;
}

int32_t DecodeVarLen(const VarLenBytes& b) {
  if (b.Count < 1 || b.Count > 4) return 0;
  int32_t v = 0;
  for (int i = 0; i < b.Count; ++i) v = (v << 7) | (b.Bytes[static_cast<std::size_t>(i)] & 0x7F);
  return v;
}

bool ReadVarLen(ByteCursor& in, VarLenBytes& out) {
  out.Count = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    if (!in.ReadByte(out.Bytes[i])) return false;
    ++out.Count;
    if (out.Bytes[i] < 0x80) break;
  }
  return true;
}

bool ReadWord(ByteCursor& in, int16_t& out) {
  uint8_t hi = 0;
  uint8_t lo = 0;
  if (!in.ReadByte(hi) || !in.ReadByte(lo)) return false;
  out = static_cast<int16_t>(static_cast<uint16_t>((hi << 8) | lo));
  return true;
}

bool ReadLong(ByteCursor& in, int32_t& out) {
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i) {
    uint8_t b = 0;
    if (!in.ReadByte(b)) return false;
    v = (v << 8) | b;
  }
  out = static_cast<int32_t>(v);
  return true;
}

bool ReadHeaderWords(ByteCursor& in, MidiHeader& out) {
  out.Length = 0;
  return ReadWord(in, out.Format) && ReadWord(in, out.TrackCount) && ReadWord(in, out.Division);
}

bool ReadEventHeader(ByteCursor& in, EventHeader& out) {
  out = EventHeader{};
  VarLenBytes vlq;
  if (!ReadVarLen(in, vlq)) return false;
  out.Delta = DecodeVarLen(vlq);
  uint8_t status = 0;
  if (!in.ReadByte(status)) return false;
  out.StatusByte = status;
  if (status == 0xFF) {
    uint8_t type = 0;
    if (!in.ReadByte(type)) return false;
    out.MetaType = type;
  }
  if (status == 0xFF || status == 0xF0 || status == 0xF7) {
    if (!ReadVarLen(in, vlq)) return false;
    out.DataLength = DecodeVarLen(vlq);
  }
  return true;
}

void WriteVarLen(ByteBuffer& out, int32_t v) {
  const VarLenBytes b = EncodeVarLen(v);
  out.insert(out.end(), b.Bytes.begin(), b.Bytes.begin() + b.Count);
}

void WriteWord(ByteBuffer& out, int16_t v) {
  const auto u = static_cast<uint16_t>(v);
  out.push_back(static_cast<uint8_t>(u >> 8));
  out.push_back(static_cast<uint8_t>(u & 0xFF));
}

void WriteLong(ByteBuffer& out, int32_t v) {
  const auto u = static_cast<uint32_t>(v);
  out.push_back(static_cast<uint8_t>(u >> 24));
  out.push_back(static_cast<uint8_t>((u >> 16) & 0xFF));
  out.push_back(static_cast<uint8_t>((u >> 8) & 0xFF));
  out.push_back(static_cast<uint8_t>(u & 0xFF));
}

int32_t TextToNumber24(std::string_view s) {
  const auto c = [&](std::size_t i) { return static_cast<int32_t>(static_cast<uint8_t>(s[i])); };
  return c(0) * 65536 + c(1) * 256 + c(2);
}

}  // namespace quaverly
