#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "MidiBuilder.h"
#include "TempDir.h"
#include "reader/ReadMidiFile.h"
#include "writer/WriteMidiFile.h"

namespace quaverly {
namespace {

using testing::MidiBuilder;

MidiEvent Meta(int32_t time, uint8_t type, std::string text = {}) {
  MidiEvent e;
  e.Time = time;
  e.Status = kMeta;
  e.Channel = type;
  e.Text = std::move(text);
  return e;
}

MidiEvent Channel(int32_t time, uint8_t status, uint8_t channel, uint8_t d1, uint8_t d2 = 0) {
  return MidiEvent{time, status, channel, d1, d2, {}};
}

Song OneTrackSong(std::vector<MidiEvent> events, int32_t end_time, int16_t division = 96) {
  Song song;
  song.Header = MidiHeader{6, 0, 1, division};
  song.Tracks.push_back(Track{std::move(events), end_time, std::nullopt});
  return song;
}

// The data bytes of the first track chunk of a serialised song.
std::vector<uint8_t> TrackData(const ByteBuffer& file) {
  return std::vector<uint8_t>(file.begin() + 22, file.end());
}

TEST(WriteMidiFile, WorkedExampleByteForByte) {
  // The end of track stands at tick 96 here, so its delta-time is 0 only because EndTime says
  // so; the second note on carries its status byte because its Time is 0.
  const Song song = OneTrackSong({Meta(0, meta::kTrackName, "Hi"), Channel(0, kNoteOn, 0, 60, 100),
                                  Channel(0, kNoteOn, 0, 60, 0), Meta(96, meta::kEndOfTrack)},
                                 96);
  const std::vector<uint8_t> expected = {
      0x4D, 0x54, 0x68, 0x64, 0x00, 0x00, 0x00, 0x06, 0x00, 0x00, 0x00, 0x01, 0x00, 0x60,
      0x4D, 0x54, 0x72, 0x6B, 0x00, 0x00, 0x00, 0x12, 0x00, 0xFF, 0x03, 0x02, 0x48, 0x69,
      0x00, 0x90, 0x3C, 0x64, 0x60, 0x90, 0x3C, 0x00, 0x00, 0xFF, 0x2F, 0x00};
  EXPECT_EQ(SerializeMidi(song), expected);
}

TEST(WriteMidiFile, RunningStatusRule) {
  // Same status at Times 96 and 96: the second drops its status byte. A tempo event and a
  // sysex event clear the memory; a different channel needs a new status byte.
  const Song song = OneTrackSong(
      {Channel(0, kNoteOn, 0, 60, 100), Channel(96, kNoteOn, 0, 62, 100),
       Channel(96, kNoteOn, 0, 64, 100), Meta(96, meta::kTempo, std::string("\x07\xA1\x20", 3)),
       Channel(96, kNoteOn, 0, 65, 100), MidiEvent{96, kSysEx, 0, 0, 0, "\x01\xF7"},
       Channel(96, kNoteOn, 0, 67, 100), Channel(96, kNoteOn, 1, 67, 100),
       Channel(96, kProgramChange, 1, 5, 99), Channel(96, kProgramChange, 1, 6, 99),
       Channel(96, kPitchBend, 1, 0, 64), Channel(96, kSystemMessage, 1, 0),
       Channel(96, kSystemMessage, 1, 0), Meta(96, meta::kEndOfTrack, "junk")},
      96);
  const std::vector<uint8_t> expected = {0x60, 0x90, 0x3C, 0x64,  // first message of the track
                                         0x00, 0x3E, 0x64,        // running status
                                         0x00, 0x40, 0x64,        //
                                         0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,  // tempo
                                         0x00, 0x90, 0x41, 0x64,  // status again after a meta event
                                         0x00, 0xF0, 0x02, 0x01, 0xF7,  // sysex length from Text
                                         0x00, 0x90, 0x43, 0x64,        // status again after sysex
                                         0x00, 0x91, 0x43, 0x64,        // other channel
                                         0x00, 0xC1, 0x05,         // program change: one data byte
                                         0x00, 0x06,               //
                                         0x00, 0xE1, 0x00, 0x40,   //
                                         0x00, 0xF1, 0x00, 0xF1,   // system messages never run on
                                         0x00, 0xFF, 0x2F, 0x00};  // end of track ignores its Text
  EXPECT_EQ(TrackData(SerializeMidi(song)), expected);
}

TEST(WriteMidiFile, EveryTrackStartsWithoutRunningStatus) {
  Song song;
  song.Header = MidiHeader{6, 1, 3, 96};
  song.Tracks.push_back(
      Track{{Channel(0, kNoteOn, 0, 60, 1), Channel(10, kNoteOn, 0, 61, 1)}, 20, std::nullopt});
  song.Tracks.push_back(Track{{Channel(5, kNoteOn, 0, 62, 1)}, 5, std::nullopt});
  // Row 2 is not in Tracks: it is written as an empty chunk.
  const ByteBuffer file = SerializeMidi(song);
  const std::vector<uint8_t> expected_tail = {
      'M', 'T', 'r', 'k', 0,   0, 0, 7, 0x0A, 0x90, 0x3C, 1,    0x0A, 0x3D,
      1,   'M', 'T', 'r', 'k', 0, 0, 0, 4,    0x00, 0x90, 0x3E, 1,  // Time 5, but the first message
      'M', 'T', 'r', 'k', 0,   0, 0, 0};
  EXPECT_EQ(std::vector<uint8_t>(file.begin() + 14, file.end()), expected_tail);
}

TEST(WriteMidiFile, LastEventKeepsItsTickAndTimeDecreaseWritesZero) {
  // Events at ticks 10, 10, 5 (a decrease), end of track at 1000.
  const Song song =
      OneTrackSong({Channel(0, kNoteOn, 0, 60, 1), Channel(10, kNoteOff, 0, 60, 0),
                    Channel(10, kNoteOn, 0, 61, 1), Channel(5, kControlChange, 0, 7, 100),
                    Meta(5, meta::kEndOfTrack)},
                   1000);
  const std::vector<uint8_t> expected = {0x0A, 0x90, 0x3C, 0x01, 0x00, 0x80, 0x3C,
                                         0x00, 0x00, 0x90, 0x3D, 0x01, 0x00, 0xB0,
                                         0x07, 0x64, 0x87, 0x63, 0xFF, 0x2F, 0x00};  // 995 as VLQ
  EXPECT_EQ(TrackData(SerializeMidi(song)), expected);
}

TEST(WriteMidiFile, ReadAndWrittenAgainGivesTheSameBytes) {
  // Every track ends some ticks after its last message, and the SMPTE division is negative:
  // a saved file must keep both.
  MidiBuilder file;
  file.Header(1, 2, -7656)
      .BeginTrack()
      .Tempo(0, 500000)
      .Meta(0, 0x03, "Tempo map")
      .EndTrack(1920)
      .BeginTrack()
      .Event(0, {0x90, 0x3C, 0x64})
      .Event(96, {0x90, 0x3C, 0x00})  // its Time is 0: the status byte stays
      .Event(0x4000, {0x3C, 0x40})
      .Event(0, {0xB0, 0x07, 0x7F})
      .SysEx(0, 0xF0, "\x7E\x7F\x09\x01\xF7")
      .Event(5, {0xB0, 0x0A, 0x40})
      .EndTrack(300);
  const ReadResult read = ReadMidiBytes(file.bytes(), ReadMode::kDisplay);
  ASSERT_EQ(read.outcome, ReadOutcome::kComplete);
  EXPECT_EQ(SerializeMidi(read.song), file.bytes());
}

TEST(WriteMidiFile, HeaderAlwaysSixAndNegativeDivision) {
  Song song = OneTrackSong({Meta(0, meta::kEndOfTrack)}, 0, -7656);  // 0xE218: 30 fps, 24
  song.Header.Length = 8;
  song.Header.Format = 2;
  const ByteBuffer file = SerializeMidi(song);
  const std::vector<uint8_t> header(file.begin(), file.begin() + 14);
  EXPECT_EQ(header, (std::vector<uint8_t>{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 2, 0, 1, 0xE2, 0x18}));
}

TEST(WriteMidiFile, NoTracksGivesTheHeaderOnly) {
  Song song;
  song.Header = MidiHeader{6, 0, 0, 480};
  song.Tracks.push_back(Track{{Channel(0, kNoteOn, 0, 60, 1)}, 0, std::nullopt});  // not written
  EXPECT_EQ(SerializeMidi(song).size(), 14u);
  song.Header.TrackCount = -3;
  EXPECT_EQ(SerializeMidi(song).size(), 14u);
}

TEST(WriteMidiFile, ReplacesTheFileWhole) {
  testing::TempDir dir;
  const auto path = dir / "song.mid";
  testing::WriteBytes(path, std::vector<uint8_t>(1000, 0xAA));
  const Song song = OneTrackSong({Meta(0, meta::kEndOfTrack)}, 0);
  EXPECT_EQ(WriteMidiFile(song, path), "");
  EXPECT_EQ(testing::ReadAll(path).size(), 14u + 8 + 4);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            1);  // no temporary file left behind
}

TEST(WriteMidiFile, FailureLeavesTheOldFileAndNamesThePath) {
  testing::TempDir dir;
  const Song song = OneTrackSong({Meta(0, meta::kEndOfTrack)}, 0);

  const auto missing = dir / "no-such-folder" / "song.mid";
  const std::string error = WriteMidiFile(song, missing);
  EXPECT_NE(error.find(missing.string()), std::string::npos) << error;
  EXPECT_FALSE(std::filesystem::exists(missing));

  const auto folder = dir / "folder.mid";
  std::filesystem::create_directory(folder);
  EXPECT_NE(WriteMidiFile(song, folder), "");
  EXPECT_TRUE(std::filesystem::is_directory(folder));

  if (geteuid() != 0) {  // root writes into read-only folders
    const auto locked = dir / "locked";
    std::filesystem::create_directory(locked);
    const auto old_file = locked / "old.mid";
    testing::WriteBytes(old_file, MidiBuilder().Header(0, 0, 96).bytes());
    std::filesystem::permissions(
        locked, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    const std::string locked_error = WriteMidiFile(song, old_file);
    std::filesystem::permissions(locked, std::filesystem::perms::owner_all);
    EXPECT_NE(locked_error.find(old_file.string()), std::string::npos) << locked_error;
    EXPECT_EQ(testing::ReadAll(old_file), MidiBuilder().Header(0, 0, 96).str());
  }
}

}  // namespace
}  // namespace quaverly
