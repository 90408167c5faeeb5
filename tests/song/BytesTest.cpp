#include <gtest/gtest.h>

#include <vector>

#include "song/Bytes.h"

namespace quaverly {
namespace {

ByteBuffer Encoded(int32_t v) {
  ByteBuffer out;
  WriteVarLen(out, v);
  return out;
}

TEST(VarLen, EncodesAtEveryLengthBoundaryAndDropsBitsAbove28) {
  EXPECT_EQ(Encoded(0), (ByteBuffer{0x00}));
  EXPECT_EQ(Encoded(127), (ByteBuffer{0x7F}));
  EXPECT_EQ(Encoded(128), (ByteBuffer{0x81, 0x00}));
  EXPECT_EQ(Encoded(16383), (ByteBuffer{0xFF, 0x7F}));
  EXPECT_EQ(Encoded(16384), (ByteBuffer{0x81, 0x80, 0x00}));
  EXPECT_EQ(Encoded(2097151), (ByteBuffer{0xFF, 0xFF, 0x7F}));
  EXPECT_EQ(Encoded(2097152), (ByteBuffer{0x81, 0x80, 0x80, 0x00}));
  EXPECT_EQ(Encoded(0x0FFFFFFF), (ByteBuffer{0xFF, 0xFF, 0xFF, 0x7F}));
  EXPECT_EQ(Encoded(0x10000000), (ByteBuffer{0x80, 0x80, 0x80, 0x00}));
  for (int32_t v : {0, 1, 127, 128, 300, 16383, 16384, 2097151, 2097152, 0x0FFFFFFF}) {
    EXPECT_EQ(DecodeVarLen(EncodeVarLen(v)), v) << v;
  }
  EXPECT_EQ(DecodeVarLen(VarLenBytes{{0x81, 0x00}, 2}), 128);
  EXPECT_EQ(DecodeVarLen(VarLenBytes{}), 0);
}

TEST(VarLen, ReadStopsAfterFourBytesLeavingTheRest) {
  const std::vector<uint8_t> bytes{0xFF, 0xFF, 0xFF, 0xFF, 0x7F};
  ByteCursor in(bytes);
  VarLenBytes v;
  ASSERT_TRUE(ReadVarLen(in, v));
  EXPECT_EQ(v.Count, 4);
  EXPECT_EQ(DecodeVarLen(v), 268435455);
  EXPECT_EQ(in.Position(), 4u);

  const std::vector<uint8_t> cut{0x81, 0x80};
  ByteCursor short_in(cut);
  EXPECT_FALSE(ReadVarLen(short_in, v));
}

TEST(BigEndian, WordsAndLongsRoundTripIncludingNegativeDivision) {
  ByteBuffer out;
  WriteLong(out, 6);
  WriteLong(out, 70000);
  WriteWord(out, static_cast<int16_t>(0xE728));  // SMPTE 25 fps, 40 ticks per frame
  EXPECT_EQ(out, (ByteBuffer{0, 0, 0, 6, 0x00, 0x01, 0x11, 0x70, 0xE7, 0x28}));
  ByteCursor in(out);
  int32_t a = 0, b = 0;
  int16_t w = 0;
  ASSERT_TRUE(ReadLong(in, a) && ReadLong(in, b) && ReadWord(in, w));
  EXPECT_EQ(a, 6);
  EXPECT_EQ(b, 70000);
  EXPECT_EQ(w, static_cast<int16_t>(0xE728));
  EXPECT_FALSE(ReadWord(in, w));
}

TEST(EventHeader, MetaRunningStatusAndTempoNumber) {
  const std::vector<uint8_t> eot{0x00, 0xFF, 0x2F, 0x00};
  ByteCursor in(eot);
  EventHeader h;
  ASSERT_TRUE(ReadEventHeader(in, h));
  EXPECT_EQ(h.Delta, 0);
  EXPECT_EQ(h.StatusByte, 255);
  EXPECT_EQ(h.MetaType, 47);
  EXPECT_EQ(h.DataLength, 0);

  const std::vector<uint8_t> running{0x00, 0x3C, 0x40};
  ByteCursor rs(running);
  ASSERT_TRUE(ReadEventHeader(rs, h));
  EXPECT_EQ(h.StatusByte, 60);
  EXPECT_EQ(h.DataLength, 0);
  EXPECT_EQ(rs.Position(), 2u);

  EXPECT_EQ(TextToNumber24(std::string("\x07\xA1\x20", 3)), 500000);
}

}  // namespace
}  // namespace quaverly
