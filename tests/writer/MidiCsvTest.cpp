#include <gtest/gtest.h>

#include <string>

#include "writer/MidiCsv.h"

namespace quaverly {
namespace {

MidiEvent Event(int32_t time, uint8_t status, uint8_t channel, std::string text = {},
                uint8_t d1 = 0, uint8_t d2 = 0) {
  return MidiEvent{time, status, channel, d1, d2, std::move(text)};
}

TEST(MidiCsv, EveryKindOfEventAtItsTick) {
  Song song;
  song.Header = MidiHeader{6, 1, 3, -6360};
  Track& t = song.MutableRow(0);
  t.Events = {
      Event(0, kMeta, meta::kTrackName, std::string("a\"b\\c\x01\x7F\xA0\xA1\xFF", 10)),
      Event(0, kMeta, meta::kKeySignature, "\xFD\x01"),
      Event(0, kMeta, meta::kKeySignature, "\x07\x00"),
      Event(0, kMeta, meta::kSequenceNumber, "\x01\x02"),
      Event(0, kMeta, meta::kTempo, "\x07\xA1\x20"),
      Event(0, kMeta, meta::kSmpteOffset, std::string("\x60\x01\x02\x03\x04", 5)),
      Event(0, kMeta, 0x4B, "xy"),
      Event(0, kSysEx, 0, "\x43\xF7"),
      Event(10, kPitchBend, 3, {}, 0x7F, 0x7F),
      Event(20, kSystemMessage, 14),
      Event(20, kProgramChange, 2, {}, 5),
      Event(20, kMeta, meta::kEndOfTrack),
      Event(30, kNoteOn, 0, {}, 60, 1),  // after the end of track: not listed
  };
  t.EndTime = 40;
  song.MutableRow(1).Events = {Event(0, kNoteOff, 15, {}, 60, 0)};
  song.MutableRow(1).EndTime = 7;  // no end of track event
  // Row 2 is announced but absent.
  EXPECT_EQ(MidiCsv(song),
            "0, 0, Header, 1, 3, -6360\n"
            "1, 0, Start_track\n"
            "1, 0, Title_t, \"a\"\"b\\\\c\\001\\177\\240\xA1\xFF\"\n"
            "1, 0, Key_signature, -3, \"minor\"\n"
            "1, 0, Key_signature, 7, \"major\"\n"
            "1, 0, Sequence_number, 258\n"
            "1, 0, Tempo, 500000\n"
            "1, 0, SMPTE_offset, 96, 1, 2, 3, 4\n"
            "1, 0, Unknown_meta_event, 75, 2, 120, 121\n"
            "1, 10, System_exclusive, 2, 67, 247\n"
            "1, 20, Pitch_bend_c, 3, 16383\n"
            "1, 20, Unknown_event, FEx\n"
            "1, 20, Program_c, 2, 5\n"
            "1, 30, End_track\n"
            "2, 0, Start_track\n"
            "2, 7, Note_off_c, 15, 60, 0\n"
            "2, 7, End_track\n"
            "3, 0, Start_track\n"
            "3, 0, End_track\n"
            "0, 0, End_of_file\n");
}

TEST(MidiCsv, ShortFixedFieldsReadAsZero) {
  Song song;
  song.Header = MidiHeader{6, 0, 1, 96};
  song.MutableRow(0).Events = {Event(0, kMeta, meta::kTempo, "\x07"),
                               Event(0, kMeta, meta::kTimeSignature, ""),
                               Event(0, kMeta, meta::kEndOfTrack)};
  EXPECT_EQ(MidiCsv(song),
            "0, 0, Header, 0, 1, 96\n1, 0, Start_track\n1, 0, Tempo, 458752\n"
            "1, 0, Time_signature, 0, 0, 0, 0\n1, 0, End_track\n0, 0, End_of_file\n");
}

TEST(MidiCsv, ListingsAndFieldsLongerThanTheBuffer) {
  Song song;
  song.Header = MidiHeader{6, 0, 1, 96};
  Track& t = song.MutableRow(0);
  std::string expected = "0, 0, Header, 0, 1, 96\n1, 0, Start_track\n";
  for (int i = 0; i < 60000; ++i) {
    t.Events.push_back(Event(i * 1000, kNoteOn, 9, {}, static_cast<uint8_t>(i % 128), 100));
    expected += "1, " + std::to_string((i + 1) * 1000) + ", Note_on_c, 9, " +
                std::to_string(i % 128) + ", 100\n";
  }
  t.Events.push_back(Event(60000000, kMeta, meta::kLyric, std::string(700000, '\x01')));
  t.EndTime = 60000001;
  expected += "1, 60000001, Lyric_t, \"";
  for (int i = 0; i < 700000; ++i) expected += "\\001";
  expected += "\"\n1, 60000001, End_track\n0, 0, End_of_file\n";
  EXPECT_TRUE(MidiCsv(song) == expected);  // too long to print on failure
}

}  // namespace
}  // namespace quaverly
