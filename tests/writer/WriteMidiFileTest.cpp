#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "TempDir.h"
#include "writer/MidiCsv.h"
#include "writer/WriteMidiFile.h"

namespace quaverly {
namespace {

using Bytes = std::vector<uint8_t>;

MidiEvent Meta(int32_t time, uint8_t type, std::string text = {}) {
  return MidiEvent{time, kMeta, type, 0, 0, std::move(text)};
}
MidiEvent Msg(int32_t time, uint8_t status, uint8_t channel, uint8_t d1, uint8_t d2 = 0) {
  return MidiEvent{time, status, channel, d1, d2, {}};
}
// "4D 54 ..." as bytes; spaces are ignored.
Bytes Hex(std::string_view hex) {
  Bytes out;
  for (std::size_t i = 0; i < hex.size(); ++i) {
    if (hex[i] == ' ') continue;
    out.push_back(static_cast<uint8_t>(std::stoi(std::string(hex.substr(i++, 2)), nullptr, 16)));
  }
  return out;
}
// Tracks as their events and end tick.
Song MakeSong(MidiHeader header, std::vector<std::pair<std::vector<MidiEvent>, int32_t>> tracks) {
  Song song;
  song.Header = header;
  for (auto& [events, end] : tracks) song.Tracks.push_back({std::move(events), end, {}});
  return song;
}

TEST(WriteMidiFile, WorkedExampleByteForByte) {
  // The end of track's delta-time is 0 only by EndTime; a Time of 0 keeps the status byte.
  const Song song =
      MakeSong({6, 0, 1, 96}, {{{Meta(0, meta::kTrackName, "Hi"), Msg(0, kNoteOn, 0, 60, 100),
                                 Msg(0, kNoteOn, 0, 60, 0), Meta(96, meta::kEndOfTrack)},
                                96}});
  EXPECT_EQ(SerializeMidi(song), Hex("4D546864 00000006 0000 0001 0060 4D54726B 00000012"
                                     "00 FF 03 02 48 69 00 90 3C 64 60 90 3C 00 00 FF 2F 00"));
}

TEST(WriteMidiFile, RunningStatusDeltaTimesAndHeader) {
  const Song song =
      MakeSong({8, 2, 4, -7656},  // a stored header length of 8 is written as 6; SMPTE division
               {{{Msg(0, kNoteOn, 0, 60, 100), Msg(96, kNoteOn, 0, 62, 100),
                  Meta(96, meta::kTempo, "\x07\xA1\x20"), Msg(96, kNoteOn, 0, 65, 100),
                  MidiEvent{96, kSysEx, 0, 0, 0, "\x01\xF7"}, Msg(96, kNoteOn, 0, 67, 100),
                  Msg(96, kNoteOn, 1, 67, 100), Msg(96, kProgramChange, 1, 5, 99),
                  Msg(96, kProgramChange, 1, 6, 99), Msg(96, kPitchBend, 1, 0, 64),
                  Msg(96, kSystemMessage, 1, 0), Msg(96, kSystemMessage, 1, 0),
                  Msg(50, kControlChange, 0, 7, 100), Meta(50, meta::kEndOfTrack, "junk")},
                 1045},
                {{Msg(0, kNoteOn, 0, 60, 1), Msg(10, kNoteOn, 0, 61, 1)}, 20},
                {{Msg(5, kNoteOn, 0, 61, 1)}, 5}});  // row 3 is absent: an empty chunk
  EXPECT_EQ(SerializeMidi(song),
            Hex("4D546864 00000006 0002 0004 E218"  // length 6 whatever was read; SMPTE division
                "4D54726B 00000035 60 90 3C 64"
                "00 3E 64"                    // running status
                "00 FF 51 03 07 A1 20"        // tempo
                "00 90 41 64"                 // the status again after a meta event
                "00 F0 02 01 F7"              // sysex length from Text
                "00 90 43 64 00 91 43 64"     // the status again after sysex, and for a new channel
                "00 C1 05 00 06 00 E1 00 40"  // one data byte, then two
                "00 F1 00 F1"                 // system messages never run on
                "00 B0 07 64"                 // Time goes back to 50: the delta-time before it is 0
                "87 63 FF 2F 00"  // the last event keeps its true delta-time (995), not its Text
                "4D54726B 00000007 0A 90 3C 01 0A 3D 01"
                "4D54726B 00000004 00 90 3D 01"  // each track starts without running status
                "4D54726B 00000000"));

  // No chunk for a negative track count, whatever Tracks holds.
  EXPECT_EQ(SerializeMidi(MakeSong({6, 0, -3, 480}, {{{Msg(0, kNoteOn, 0, 60, 1)}, 0}})),
            Hex("4D546864 00000006 0000 FFFD 01E0"));
}

TEST(WriteMidiFile, AFailedWriteLeavesTheOldFile) {
  testing::TempDir dir;
  const Song song = MakeSong({6, 0, 1, 96}, {{{Meta(0, meta::kEndOfTrack)}, 0}});
  const auto path = dir / "song.mid";
  // The write fails part way at a file size limit, which binds root too.
  testing::WriteBytes(path, Bytes{1, 2, 3});
  rlimit old_limit{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
  const rlimit small{16, old_limit.rlim_max};
  std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const std::string error = WriteMidiFile(song, path);
  setrlimit(RLIMIT_FSIZE, &old_limit);
  EXPECT_NE(error.find(path.string()), std::string::npos) << error;
  EXPECT_EQ(testing::ReadAll(path), "\x01\x02\x03");
}

// Well-formed files are listed as midicsv lists them (the command-line tests compare the two);
// these are the cases midicsv cannot show.
TEST(MidiCsv, WhatMidicsvCannotShow) {
  const Song song = MakeSong(
      {6, 1, 3, 96},
      {{{Meta(0, meta::kTempo, "\x07"), Meta(0, meta::kTimeSignature, ""),
         Meta(10, meta::kEndOfTrack), Msg(30, kNoteOn, 0, 60, 1)},  // after the end: not listed
        40},
       {{Msg(0, kNoteOff, 15, 60, 0)}, 7}});  // no end of track event; row 2 absent
  EXPECT_EQ(MidiCsv(song),
            "0, 0, Header, 1, 3, 96\n1, 0, Start_track\n1, 0, Tempo, 458752\n"
            "1, 10, Time_signature, 0, 0, 0, 0\n1, 30, End_track\n2, 0, Start_track\n"
            "2, 7, Note_off_c, 15, 60, 0\n2, 7, End_track\n3, 0, Start_track\n3, 0, End_track\n"
            "0, 0, End_of_file\n");

  // Corpus files list beyond the listing's buffer; a single field can be longer than it.
  const Song long_field =
      MakeSong({6, 0, 1, 96},
               {{{Msg(0, kNoteOn, 9, 60, 100), Meta(0, meta::kLyric, std::string(700000, 1))}, 5}});
  std::string expected =
      "0, 0, Header, 0, 1, 96\n1, 0, Start_track\n1, 0, Note_on_c, 9, 60, 100\n"
      "1, 5, Lyric_t, \"";
  for (int i = 0; i < 700000; ++i) expected += "\\001";
  expected += "\"\n1, 5, End_track\n0, 0, End_of_file\n";
  EXPECT_TRUE(MidiCsv(long_field) == expected);  // too long to print
}

}  // namespace
}  // namespace quaverly
