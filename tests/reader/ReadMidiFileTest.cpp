#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MidiBuilder.h"
#include "ReaderSamples.h"
#include "TempDir.h"
#include "reader/ReadMidiFile.h"

namespace quaverly {
namespace {

using testing::MidiBuilder;

ReadResult Read(const MidiBuilder& b, ReadMode mode = ReadMode::kDisplay) {
  return ReadMidiBytes(b.bytes(), mode);
}

void ExpectDamaged(const ReadResult& r) {
  EXPECT_EQ(r.outcome, ReadOutcome::kDamaged);
  EXPECT_EQ(r.report.FileInfo, "Cound not read entire file!");
  EXPECT_EQ(r.CatalogInfo[0], "?Damaged?");
  EXPECT_FALSE(r.catalog_filled);
}

// A one-track format-0 file around the given events, without end of track.
MidiBuilder OneTrack(std::initializer_list<int> raw) {
  MidiBuilder b;
  b.Header(0, 1, 96).BeginTrack().Raw(raw).EndChunk();
  return b;
}

TEST(ReadMidiFile, ReportTextsOfATwoTrackFile) {
  const ReadResult r = Read(testing::TwoTrackSong());
  ASSERT_EQ(r.outcome, ReadOutcome::kComplete);
  EXPECT_EQ(r.report.FType, "Type 1");
  EXPECT_EQ(r.report.FTracks, " 2");
  EXPECT_EQ(r.report.FTempo, "120 BPM");
  EXPECT_EQ(r.report.FTimeSig, "3/4");
  EXPECT_EQ(r.report.FKeySig, "Eb");
  EXPECT_FALSE(r.report.FCopyTxt);
  EXPECT_EQ(r.report.FileInfo,
            "Delta Time format 96 Ticks per Quarter Note (If Positive)\r\n"
            "Track 0  Length: 39\r\n"
            "Sequence/Track Name: Tempo Map\r\n"
            "Track 1  Length: 47\r\n"
            "Sequence/Track Name: Melody\r\n");
  EXPECT_EQ(r.report.Markers, "Verse\r\n");
  EXPECT_EQ(r.FoundFlags, kFoundTempo | kFoundKey | kFoundTimeSig);
  EXPECT_EQ(r.song.TrackNameEntry(0), " 0 Tempo Map");
  EXPECT_EQ(r.song.TrackNameEntry(1), " 1 Melody");
  EXPECT_EQ(r.song.ListTrackCount, 2);
  EXPECT_EQ(r.song.Header, (MidiHeader{6, 1, 2, 96}));
  // Display reads never touch the catalog strings.
  EXPECT_FALSE(r.catalog_filled);
  EXPECT_EQ(r.CatalogInfo, CatalogStrings{});
}

TEST(ReadMidiFile, EventFieldsTimesAndEndTick) {
  const ReadResult r = Read(testing::TwoTrackSong());
  ASSERT_EQ(r.song.Tracks.size(), 2u);
  const Track& tempo_map = r.song.Tracks[0];
  ASSERT_EQ(tempo_map.Events.size(), 5u);
  EXPECT_EQ(tempo_map.Events[3], (MidiEvent{0, kMeta, meta::kTempo, 0, 0, "\x07\xA1\x20"}));
  EXPECT_EQ(tempo_map.Events[4], (MidiEvent{0, kMeta, meta::kEndOfTrack, 0, 0, ""}));
  EXPECT_EQ(tempo_map.EndTime, 384);

  const std::vector<MidiEvent> melody = {
      {0, kMeta, meta::kTrackName, 0, 0, "Melody"},
      {0, kProgramChange, 3, 5, 0, ""},
      {0, kNoteOn, 3, 60, 64, ""},
      {0, kNoteOn, 3, 62, 64, ""},  // running status
      {48, kSysEx, 0, 0, 0, std::string("\x7E\x7F\x09\x01\xF7", 5)},
      {48, kMeta, meta::kMarker, 0, 0, "Verse"},
      {48, kNoteOn, 3, 60, 0, ""},  // running status after sysex and meta
      {96, kNoteOn, 3, 62, 0, ""},
      {96, kMeta, meta::kEndOfTrack, 0, 0, ""},
  };
  EXPECT_EQ(r.song.Tracks[1].Events, melody);
  EXPECT_EQ(r.song.Tracks[1].EndTime, 192);
  // Each track's vector holds exactly its events.
  for (const Track& t : r.song.Tracks) EXPECT_EQ(t.Events.capacity(), t.Events.size());
}

TEST(ReadMidiFile, RunningStatusClassResetsPerChunkChannelCarriesOver) {
  MidiBuilder b;
  b.Header(1, 3, 96)
      .BeginTrack()
      .Raw({0x00, 0x40, 0x7F})  // no status yet: note off on channel 0
      .Event(0, {0xB5, 0x07, 0x64})
      .Raw({0x00, 0x0A, 0x20})  // running control change
      .EndTrack()
      .BeginTrack()
      .Raw({0x00, 0x3C, 0x00})  // class back to note off, channel 5 kept
      .Event(0, {0xC2, 0x10})
      .Raw({0x00, 0x11})  // running program change: one byte
      .Event(0, {0xF8})   // class 7: no data, and it becomes the running class
      .Raw({0x00, 0x22})
      .Event(0, {0xE1, 0x00, 0x40})
      .Raw({0x00, 0x7F, 0x7F})
      .EndTrack()
      .BeginTrack()
      .Event(0, {0xF0, 0x01, 0x01})  // sysex changes neither class nor channel
      .Raw({0x00, 0x30, 0x31})
      .EndTrack();
  const ReadResult r = Read(b);
  ASSERT_EQ(r.outcome, ReadOutcome::kComplete);
  ASSERT_EQ(r.song.Tracks.size(), 3u);
  const auto& t0 = r.song.Tracks[0].Events;
  EXPECT_EQ(t0[0], (MidiEvent{0, kNoteOff, 0, 0x40, 0x7F, ""}));
  EXPECT_EQ(t0[2], (MidiEvent{0, kControlChange, 5, 0x0A, 0x20, ""}));
  const auto& t1 = r.song.Tracks[1].Events;
  ASSERT_EQ(t1.size(), 8u);
  EXPECT_EQ(t1[0], (MidiEvent{0, kNoteOff, 5, 0x3C, 0, ""}));
  EXPECT_EQ(t1[2], (MidiEvent{0, kProgramChange, 2, 0x11, 0, ""}));
  EXPECT_EQ(t1[3], (MidiEvent{0, kSystemMessage, 8, 0, 0, ""}));
  EXPECT_EQ(t1[4], (MidiEvent{0, kSystemMessage, 8, 0, 0, ""}));
  EXPECT_EQ(t1[6], (MidiEvent{0, kPitchBend, 1, 0x7F, 0x7F, ""}));
  const auto& t2 = r.song.Tracks[2].Events;
  EXPECT_EQ(t2[1], (MidiEvent{0, kNoteOff, 1, 0x30, 0x31, ""}));
}

TEST(ReadMidiFile, VariableLengthDeltasUpToFourBytes) {
  MidiBuilder b;
  b.Header(0, 1, 96).BeginTrack();
  const std::vector<uint32_t> deltas = {0, 127, 128, 16383, 16384, 2097151, 2097152};
  for (uint32_t d : deltas) b.Event(d, {0x90, 0x3C, 0x40});
  b.EndTrack(0x0FFFFFFF);
  const ReadResult r = Read(b);
  ASSERT_EQ(r.outcome, ReadOutcome::kComplete);
  const Track& t = r.song.Tracks[0];
  int32_t tick = 0;
  for (std::size_t i = 0; i < deltas.size(); ++i) {
    EXPECT_EQ(t.Events[i].Time, tick);
    tick += static_cast<int32_t>(deltas[i]);
  }
  EXPECT_EQ(t.EndTime, tick + 0x0FFFFFFF);

  // A five-byte quantity: four bytes make the delta, the fifth is read as a running-status
  // data byte.
  const ReadResult five = Read(OneTrack(
      {0x00, 0x90, 0x3C, 0x40, 0xFF, 0xFF, 0xFF, 0xFF, 0x3E, 0x41, 0x00, 0xFF, 0x2F, 0x00}));
  ASSERT_EQ(five.outcome, ReadOutcome::kComplete);
  const auto& e = five.song.Tracks[0].Events;
  ASSERT_EQ(e.size(), 3u);
  EXPECT_EQ(e[1], (MidiEvent{0, kNoteOn, 0, 0x3E, 0x41, ""}));
  EXPECT_EQ(e[2].Time, 0x0FFFFFFF);

  // Eight maximal deltas overflow the 32-bit running time.
  MidiBuilder overflow;
  overflow.Header(0, 1, 96).BeginTrack();
  for (int i = 0; i < 9; ++i) overflow.Event(0x0FFFFFFF, {0x90, 0x3C, 0x40});
  overflow.EndTrack();
  const ReadResult o = Read(overflow);
  ExpectDamaged(o);
  EXPECT_EQ(o.song.Tracks[0].Events.size(), 8u);
  EXPECT_EQ(o.song.Tracks[0].EndTime, 8 * 0x0FFFFFFF);
}

TEST(ReadMidiFile, MetaTextsGoToTheirBoxes) {
  const ReadResult r = Read(testing::KaraokeSong());
  ASSERT_EQ(r.outcome, ReadOutcome::kComplete);
  EXPECT_EQ(r.report.GenText, " @KMIDI KARAOKE FILE\r\n @TTwinkle\r\n\r\n\r\n \\Twin kle\r\n /lit");
  EXPECT_EQ(r.report.Lyrics, "Twinkle\r\n");
  EXPECT_EQ(r.report.FTempo, "150 BPM");
  EXPECT_EQ(r.FoundFlags, kFoundTempo | kFoundKaraoke | kFoundLyric);

  MidiBuilder b;
  b.Header(0, 1, 96)
      .BeginTrack()
      .Meta(0, 2, "(c) first")
      .Meta(0, 4, "Piano")
      .Meta(0, 7, "Go")
      .Meta(0, 1, "")
      .Meta(0, 1, "plain")
      .Meta(0, 5, "a\nb")
      .Meta(0, 2, std::string("\xA9 2\0", 4))
      .Meta(0, 6, "")
      .Meta(0, 3, "First")
      .Meta(0, 3, "Second")
      .Meta(0, 0x7F, "xyz")
      .EndTrack();
  const ReadResult m = Read(b);
  EXPECT_EQ(m.report.FCopyTxt, std::string("\xA9 2\0", 4));
  EXPECT_EQ(m.report.FileInfo,
            "Delta Time format 96 Ticks per Quarter Note (If Positive)\r\n"
            "Track 0  Length: " +
                std::to_string(b.bytes().size() - 22) +
                "\r\n"
                "Copyright Text: (c) first\r\nInstrument: Piano\r\nCue Point: Go\r\n" +
                std::string("Copyright Text: \xA9 2\0\r\n", 22) +
                "Sequence/Track Name: First\r\nSequence/Track Name: Second\r\n");
  EXPECT_EQ(m.report.GenText, "  plain");
  EXPECT_EQ(m.report.Lyrics, "\r\n");
  EXPECT_EQ(m.report.Markers, "\r\n");
  EXPECT_EQ(m.FoundFlags, kFoundLyric);
  EXPECT_EQ(m.song.Tracks[0].Name, "Second");
  EXPECT_EQ(m.song.Tracks[0].Events[10].Text, "xyz");
  EXPECT_FALSE(m.report.FTempo);
  EXPECT_FALSE(m.report.FKeySig);
}

TEST(ReadMidiFile, FirstTempoShownTenTimesAndMoreLineOnce) {
  MidiBuilder b;
  b.Header(0, 1, 96).BeginTrack().Tempo(0, 500000);
  for (int i = 0; i < 11; ++i) b.Tempo(10, 400000 + static_cast<uint32_t>(i));
  b.Meta(0, 0x51, "\x01");  // later tempo events are not checked
  b.EndTrack();
  const ReadResult r = Read(b);
  ASSERT_EQ(r.outcome, ReadOutcome::kComplete);
  EXPECT_EQ(r.report.FTempo, "120 BPM");
  const std::string more = "More Tempo Events ...\r\n";
  const std::string& info = r.report.FileInfo;
  ASSERT_GE(info.size(), more.size());
  EXPECT_EQ(info.substr(info.size() - more.size()), more);
  EXPECT_EQ(info.find(more), info.size() - more.size());

  // Ten tempo events stay silent.
  MidiBuilder ten;
  ten.Header(0, 1, 96).BeginTrack();
  for (int i = 0; i < 10; ++i) ten.Tempo(0, 1832);  // the smallest tempo in 16 bits
  ten.EndTrack();
  const ReadResult t = Read(ten);
  EXPECT_EQ(t.report.FTempo, "32751 BPM");
  EXPECT_EQ(t.report.FileInfo.find("More"), std::string::npos);
}

TEST(ReadMidiFile, FirstSignaturesWin) {
  MidiBuilder b;
  b.Header(0, 1, 96)
      .BeginTrack()
      .Raw({0x00, 0xFF, 0x58, 0x02, 0x03, 0x02})
      .Raw({0x00, 0xFF, 0x58, 0x04, 0x04, 0x0F, 0x18, 0x08})  // not examined: already seen
      .Raw({0x00, 0xFF, 0x59, 0x02, 0x07, 0x01})
      .Raw({0x00, 0xFF, 0x59, 0x01, 0x00})
      .EndTrack();
  const ReadResult r = Read(b);
  ASSERT_EQ(r.outcome, ReadOutcome::kComplete);
  EXPECT_EQ(r.report.FTimeSig, "3/4");
  EXPECT_EQ(r.report.FKeySig, "C# Minor");
  EXPECT_EQ(r.FoundFlags, kFoundKey | kFoundTimeSig);
}

TEST(KeySignatureName, NamesMajorKeysAndMarksMinor) {
  EXPECT_EQ(KeySignatureName(0xFD, 0), "Eb");
  EXPECT_EQ(KeySignatureName(2, 1), "D Minor");
  EXPECT_EQ(KeySignatureName(8, 0), "Unknown");
  EXPECT_EQ(KeySignatureName(0xF9, 0), "Cb");
  EXPECT_EQ(KeySignatureName(7, 1), "C# Minor");
  EXPECT_EQ(KeySignatureName(-1, 1), "F Minor");
  EXPECT_EQ(KeySignatureName(0, 2), "C");
  EXPECT_EQ(KeySignatureName(6, 0), "F#");
  EXPECT_EQ(KeySignatureName(0xF8, 1), "Unknown Minor");
}

TEST(ReadMidiFile, DamagedCausesKeepWhatWasRead) {
  const std::vector<std::pair<const char*, std::vector<int>>> cases = {
      {"tempo 0", {0xFF, 0x51, 0x03, 0x00, 0x00, 0x00}},
      {"tempo beyond 16-bit BPM", {0xFF, 0x51, 0x03, 0x00, 0x07, 0x27}},  // 1831
      {"tempo with two bytes", {0xFF, 0x51, 0x02, 0x07, 0xA1}},
      {"time signature exponent 15", {0xFF, 0x58, 0x04, 0x04, 0x0F, 0x18, 0x08}},
      {"time signature of one byte", {0xFF, 0x58, 0x01, 0x04}},
      {"key signature of one byte", {0xFF, 0x59, 0x01, 0x00}},
      {"meta data beyond the file", {0xFF, 0x01, 0x7F, 0x41}},
      {"sysex beyond the file", {0xF0, 0x05, 0x01}},
      {"missing data byte", {0x90, 0x3C}},
  };
  for (const auto& [name, raw] : cases) {
    SCOPED_TRACE(name);
    MidiBuilder b;
    b.Header(1, 1, 96).BeginTrack().Event(5, {0x90, 0x3C, 0x40}).Raw({0x07});
    for (int byte : raw) b.Raw({byte});
    b.EndChunk();
    for (ReadMode mode : {ReadMode::kDisplay, ReadMode::kCatalog}) {
      const ReadResult r = Read(b, mode);
      ExpectDamaged(r);
      ASSERT_EQ(r.song.Tracks.size(), 1u);
      EXPECT_EQ(r.song.Tracks[0].Events, (std::vector<MidiEvent>{{0, kNoteOn, 0, 60, 64, ""}}));
      EXPECT_EQ(r.song.Header.TrackCount, 1);
      EXPECT_EQ(r.report.FType, "Type 1");
    }
  }

  MidiBuilder negative;
  negative.Header(1, -1, 96).BeginTrack().EndTrack();
  const ReadResult n = Read(negative, ReadMode::kCatalog);
  ExpectDamaged(n);
  EXPECT_EQ(n.report.FTracks, "-1");
  EXPECT_TRUE(n.song.Tracks.empty());
}

TEST(ReadMidiFile, NotMidiOutcomes) {
  for (const std::string& bytes : {std::string(), std::string("MTh"), std::string("RIFF1234"),
                                   std::string("mthd\0\0\0\6", 8)}) {
    const std::vector<uint8_t> v(bytes.begin(), bytes.end());
    const ReadResult r = ReadMidiBytes(v, ReadMode::kCatalog);
    EXPECT_EQ(r.outcome, ReadOutcome::kNotMidi);
    EXPECT_EQ(r.report.FileInfo, "Not a standard MIDI file.");
    EXPECT_EQ(r.CatalogInfo, CatalogStrings{});
    EXPECT_FALSE(r.report.FType);
    EXPECT_TRUE(r.error.empty());
  }

  testing::TempDir dir;
  const auto missing = dir / "missing.mid";
  const ReadResult r = ReadMidiFile(missing, ReadMode::kDisplay);
  EXPECT_EQ(r.outcome, ReadOutcome::kNotMidi);
  EXPECT_EQ(r.report.FileInfo, "Not a standard MIDI file.");
  EXPECT_NE(r.error.find("missing.mid"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(missing));
  EXPECT_EQ(ReadMidiFile(dir.path() / "no-folder" / "x.mid", ReadMode::kDisplay).outcome,
            ReadOutcome::kNotMidi);

  const auto file = dir / "song.mid";
  testing::WriteBytes(file, testing::TwoTrackSong().bytes());
  const ReadResult ok = ReadMidiFile(file, ReadMode::kDisplay);
  EXPECT_EQ(ok.outcome, ReadOutcome::kComplete);
  EXPECT_EQ(ok.song, Read(testing::TwoTrackSong()).song);
  EXPECT_TRUE(ok.error.empty());
}

TEST(ReadMidiFile, CatalogStopPoints) {
  // Format 0: stops right after the third signature event.
  const ReadResult f0 = Read(testing::SignaturesFirstFormat0(), ReadMode::kCatalog);
  ASSERT_EQ(f0.outcome, ReadOutcome::kComplete);
  ASSERT_TRUE(f0.catalog_filled);
  EXPECT_EQ(f0.song.Tracks[0].Events.size(), 3u);
  EXPECT_EQ(f0.CatalogInfo,
            (CatalogStrings{" 0", " 1", " 480", " 100", "D Minor", " 6/8", "", ""}));
  // The whole file in display mode.
  EXPECT_EQ(Read(testing::SignaturesFirstFormat0()).song.Tracks[0].Events.size(), 6u);

  // Format 0 with a karaoke mark: never exactly the three signatures, so the whole first
  // chunk is read, and entry 7 stays unwritten in this mode.
  MidiBuilder kar;
  kar.Header(0, 2, 96)
      .BeginTrack()
      .Meta(0, 1, "@K")
      .Tempo(0, 500000)
      .Raw({0x00, 0xFF, 0x59, 0x02, 0x00, 0x00})
      .Raw({0x00, 0xFF, 0x58, 0x02, 0x04, 0x02})
      .Event(0, {0x90, 0x3C, 0x40})
      .EndTrack()
      .BeginTrack()
      .EndTrack();
  const ReadResult k = Read(kar, ReadMode::kCatalog);
  ASSERT_TRUE(k.catalog_filled);
  EXPECT_EQ(k.song.Tracks.size(), 1u);
  EXPECT_EQ(k.song.Tracks[0].Events.size(), 6u);
  EXPECT_EQ(k.CatalogInfo, (CatalogStrings{" 0", " 2", " 96", " 120", "C", " 4/4", "", ""}));

  // Format 1: stops after the second track and reports the karaoke mark.
  const ReadResult k1 = Read(testing::KaraokeSong(), ReadMode::kCatalog);
  ASSERT_TRUE(k1.catalog_filled);
  EXPECT_EQ(k1.song.Tracks.size(), 2u);
  EXPECT_EQ(k1.CatalogInfo, (CatalogStrings{" 1", " 3", " 120", " 150", "C", " 0/0", "", "kar"}));

  // Format 1 with one track reaches the end of the file first: nothing filled.
  MidiBuilder one;
  one.Header(1, 1, 96).BeginTrack().Tempo(0, 500000).EndTrack();
  const ReadResult o = Read(one, ReadMode::kCatalog);
  EXPECT_EQ(o.outcome, ReadOutcome::kComplete);
  EXPECT_FALSE(o.catalog_filled);
  EXPECT_EQ(o.CatalogInfo, CatalogStrings{});

  // Format 2 with no signatures at all.
  MidiBuilder bare;
  bare.Header(2, 2, -7688).BeginTrack().EndTrack().BeginTrack().EndTrack();
  EXPECT_EQ(Read(bare, ReadMode::kCatalog).CatalogInfo,
            (CatalogStrings{" 2", " 2", "-7688", " 0", "C", " 0/0", "", ""}));
}

TEST(ReadMidiFile, ForeignChunksTakeNoTrackRow) {
  MidiBuilder b;
  b.Header(1, 2, 96)
      .BeginChunk("XFIH")
      .Text("foreign data")
      .EndChunk()
      .BeginTrack()
      .Meta(0, 3, "One")
      .EndTrack()
      .BeginChunk("junk")
      .Raw({1, 2, 3})
      .EndChunk()
      .BeginTrack()
      .Meta(0, 3, "Two")
      .EndTrack();
  const std::vector<uint8_t>& bytes = b.bytes();
  const ReadResult r = ReadMidiBytes(bytes, ReadMode::kDisplay);
  ASSERT_EQ(r.outcome, ReadOutcome::kComplete);
  ASSERT_EQ(r.song.Tracks.size(), 2u);
  EXPECT_EQ(r.song.TrackNameEntry(1), " 1 Two");
  EXPECT_NE(r.report.FileInfo.find("Track 0  Length: 11\r\n"), std::string::npos);
  EXPECT_NE(r.report.FileInfo.find("Track 1  Length: 11\r\n"), std::string::npos);
  const ReadResult c = ReadMidiBytes(bytes, ReadMode::kCatalog);
  EXPECT_TRUE(c.catalog_filled);
  EXPECT_EQ(c.song.Tracks.size(), 2u);

  const ReadResult odd = Read(testing::OddChunks());
  ASSERT_EQ(odd.outcome, ReadOutcome::kComplete);
  ASSERT_EQ(odd.song.Tracks.size(), 2u);
  EXPECT_EQ(odd.song.Tracks[0].Events.size(), 14u);
  EXPECT_EQ(odd.song.Tracks[1].Events.size(), 13u);

  // A header announcing four tracks before three ends normally at the end of the file.
  MidiBuilder short_file;
  short_file.Header(1, 4, 96, 8);
  for (int i = 0; i < 3; ++i) short_file.BeginTrack().EndTrack();
  const ReadResult s = Read(short_file);
  EXPECT_EQ(s.outcome, ReadOutcome::kComplete);
  EXPECT_EQ(s.song.Tracks.size(), 3u);
  EXPECT_EQ(s.song.Header.Length, 8);
  EXPECT_TRUE(s.song.Row(3).Events.empty());
}

TEST(ReadMidiFile, HostileHeadersAllocateOnlyForBytesPresent) {
  MidiBuilder many;
  many.Header(1, 32767, 96).BeginTrack().EndTrack();
  many.BeginChunk("MTrk").Raw({0x00, 0x90, 0x3C, 0x40});  // claims 2 GB
  std::vector<uint8_t> bytes = many.bytes();
  bytes[bytes.size() - 8] = 0x7F;
  for (std::size_t i = bytes.size() - 7; i < bytes.size() - 4; ++i) bytes[i] = 0xFF;
  const ReadResult r = ReadMidiBytes(bytes, ReadMode::kDisplay);
  ExpectDamaged(r);
  ASSERT_EQ(r.song.Tracks.size(), 2u);
  EXPECT_LE(r.song.Tracks.capacity(), bytes.size() / 8);
  EXPECT_EQ(r.song.Tracks[1].Events.size(), 1u);
  EXPECT_EQ(r.song.Tracks[1].Events.capacity(), 1u);

  // A length of 2^31 or more reads as negative.
  bytes[bytes.size() - 8] = 0x80;
  ExpectDamaged(ReadMidiBytes(bytes, ReadMode::kDisplay));

  // A header claiming more than the file holds: its tracks are beyond the end.
  MidiBuilder long_header;
  long_header.Header(1, 1, 96).BeginTrack().EndTrack();
  std::vector<uint8_t> h = long_header.bytes();
  h[4] = 0x7F;
  const ReadResult lh = ReadMidiBytes(h, ReadMode::kDisplay);
  EXPECT_EQ(lh.outcome, ReadOutcome::kComplete);
  EXPECT_TRUE(lh.song.Tracks.empty());
  h[4] = 0xFF;
  ExpectDamaged(ReadMidiBytes(h, ReadMode::kDisplay));

  // A foreign chunk claiming more than the file holds is passed over to the end.
  MidiBuilder foreign;
  foreign.Header(1, 2, 96).BeginTrack().EndTrack().Tag("XXXX").Long(0x7FFFFFFF).Raw({1, 2});
  EXPECT_EQ(Read(foreign).outcome, ReadOutcome::kComplete);
}

TEST(ReadMidiFile, NoLimitOnNamedTracksAndEveryReadStartsWithoutNames) {
  MidiBuilder b;
  b.Header(1, 300, 96);
  for (int t = 0; t < 300; ++t) b.BeginTrack().Meta(0, 3, "T" + std::to_string(t)).EndTrack();
  const ReadResult r = Read(b);
  ASSERT_EQ(r.outcome, ReadOutcome::kComplete);
  ASSERT_EQ(r.song.Tracks.size(), 300u);
  EXPECT_EQ(r.song.TrackNameEntry(299), " 299 T299");

  const ReadResult unnamed = Read(testing::KaraokeSong());
  for (int t = 0; t < 3; ++t) EXPECT_EQ(unnamed.song.TrackNameEntry(t), "");
}

TEST(ReadMidiFile, TruncationAtEveryByte) {
  const std::vector<uint8_t> whole = testing::TwoTrackSong().bytes();
  const std::size_t first_end = 14 + 8 + 39;
  ASSERT_EQ(whole.size(), first_end + 8 + 47);
  for (std::size_t cut = 0; cut < whole.size(); ++cut) {
    SCOPED_TRACE(cut);
    const std::span<const uint8_t> part(whole.data(), cut);
    for (ReadMode mode : {ReadMode::kDisplay, ReadMode::kCatalog}) {
      const ReadResult r = ReadMidiBytes(part, mode);
      if (cut < 4) {
        EXPECT_EQ(r.outcome, ReadOutcome::kNotMidi);
      } else if (cut == 14 || cut == first_end) {
        EXPECT_EQ(r.outcome, ReadOutcome::kComplete);
        EXPECT_EQ(r.song.Tracks.size(), cut == 14 ? 0u : 1u);
        EXPECT_FALSE(r.catalog_filled);
      } else {
        ExpectDamaged(r);
        EXPECT_LE(r.song.Tracks.size(), 2u);
      }
    }
  }
}

}  // namespace
}  // namespace quaverly
