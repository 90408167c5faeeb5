#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "MidiBuilder.h"
#include "TempDir.h"
#include "reader/InfoText.h"
#include "reader/ReadMidiFile.h"

namespace quaverly {
namespace {

using testing::MidiBuilder;
using namespace std::string_literals;

// Samples of what the reader must handle; fuzz/seeds is written from them (see FuzzSeeds).
MidiBuilder TwoTrackSong() {  // named tempo map with signatures, running status, sysex, marker
  MidiBuilder b;
  b.Header(1, 2, 96).BeginTrack().Meta(0, 3, "Tempo Map");
  b.Raw({0x00, 0xFF, 0x58, 0x04, 0x03, 0x02, 0x18, 0x08, 0x00, 0xFF, 0x59, 0x02, 0xFD, 0x00});
  b.Tempo(0, 500000).EndTrack(384).BeginTrack().Meta(0, 3, "Melody");
  b.Event(0, {0xC3, 0x05}).Event(0, {0x93, 0x3C, 0x40}).Event(48, {0x3E, 0x40});
  b.SysEx(0, 0xF0, std::string("\x7E\x7F\x09\x01\xF7", 5)).Meta(0, 6, "Verse");
  b.Event(48, {0x3C, 0x00}).Event(0, {0x3E, 0x00}).EndTrack(96);
  return b;
}
MidiBuilder SignaturesFirstFormat0() {
  MidiBuilder b;
  b.Header(0, 1, 480).BeginTrack().Tempo(0, 600000);
  b.Raw({0x00, 0xFF, 0x59, 0x02, 0x02, 0x01, 0x00, 0xFF, 0x58, 0x04, 0x06, 0x03, 0x18, 0x08});
  b.Event(0, {0x90, 0x3C, 0x40}).Event(480, {0x80, 0x3C, 0x40}).EndTrack();
  return b;
}
MidiBuilder KaraokeSong() {  // "@" header lines, "\" and "/" breaks, lyric events
  MidiBuilder b;
  b.Header(1, 3, 120).BeginTrack().Tempo(0, 400000).EndTrack().BeginTrack();
  b.Meta(0, 1, "@KMIDI KARAOKE FILE").Meta(0, 1, "@TTwinkle").Meta(10, 1, "\\Twin");
  b.Meta(10, 1, "kle").Meta(10, 1, "/lit").Meta(10, 5, "Twin").Meta(0, 5, "kle");
  b.Meta(0, 5, "\r").EndTrack().BeginTrack().Event(0, {0x90, 0x40, 0x50}).EndTrack();
  return b;
}
// Foreign chunks around tracks, every channel class, a five-byte quantity, many tempos.
MidiBuilder OddChunks() {
  MidiBuilder b;
  b.Header(2, 2, -7688, 8).BeginChunk("XFIH").Text("foreign").EndChunk().BeginTrack();
  b.Event(0, {0x80, 0x3C, 0x40, 0x00, 0xA1, 0x3C, 0x10, 0x00, 0xB2, 0x07, 0x64});
  b.Event(0, {0xC3, 0x05, 0x00, 0x06, 0x00, 0xD4, 0x20, 0x00, 0xE5, 0x00, 0x40});
  b.Event(0, {0xF8, 0x00, 0x01, 0x00, 0xF7, 0x01, 0xF7}).Raw({0xFF, 0xFF, 0xFF, 0xFF, 0x7F});
  b.Meta(0, 0x54, std::string("\x60\x00\x03\x00\x00", 5)).Meta(0, 0x20, std::string(1, '\0'));
  b.EndTrack().BeginChunk("junk").EndChunk().BeginTrack();
  for (int i = 0; i < 12; ++i) b.Tempo(1, 500000 - 1000 * static_cast<uint32_t>(i));
  b.EndTrack();
  return b;
}

// QUAVERLY_FUZZ_SEEDS=fuzz/seeds test_reader --gtest_filter='FuzzSeeds.*'
TEST(FuzzSeeds, WrittenWhenAsked) {
  const char* folder = std::getenv("QUAVERLY_FUZZ_SEEDS");
  if (folder == nullptr) GTEST_SKIP() << "QUAVERLY_FUZZ_SEEDS not set";
  std::filesystem::create_directories(folder);
  for (const auto& [name, b] : {std::pair{"two-track", TwoTrackSong()},
                                {"signatures-format0", SignaturesFirstFormat0()},
                                {"karaoke", KaraokeSong()},
                                {"odd-chunks", OddChunks()}}) {
    testing::WriteBytes(std::filesystem::path(folder) / (name + std::string(".mid")), b.bytes());
  }
}

ReadResult Read(const MidiBuilder& b, ReadMode mode = ReadMode::kDisplay) {
  return ReadMidiBytes(b.bytes(), mode);
}

void ExpectDamaged(const ReadResult& r) {
  EXPECT_EQ(r.outcome, ReadOutcome::kDamaged);
  EXPECT_EQ(r.report.FileInfo, "Cound not read entire file!");
  EXPECT_EQ(r.CatalogInfo[0], "?Damaged?");
  EXPECT_FALSE(r.catalog_filled);
}

TEST(ReadMidiFile, TwoTrackFileReport) {
  const ReadResult r = Read(TwoTrackSong());
  ASSERT_EQ(r.outcome, ReadOutcome::kComplete);
  EXPECT_EQ(InfoText(r.report),
            "Format: Type 1\nTracks:  2\nTime Signature: 3/4\nKey Signature: Eb\nTempo: 120 BPM\n"
            "Copyright Text: \n\n[General]\n"
            "Delta Time format 96 Ticks per Quarter Note (If Positive)\r\nTrack 0  Length: 39\r\n"
            "Sequence/Track Name: Tempo Map\r\nTrack 1  Length: 47\r\n"
            "Sequence/Track Name: Melody\r\n\n[Text]\n\n[Lyrics]\n\n[Markers]\nVerse\r\n");
  EXPECT_EQ(r.FoundFlags, kFoundTempo | kFoundKey | kFoundTimeSig);
  EXPECT_EQ(r.CatalogInfo, CatalogStrings{});  // display reads leave the catalog alone
  // Event fields and end ticks are checked against midicsv by the command-line tests.
  for (const Track& t : r.song.Tracks) EXPECT_EQ(t.Events.capacity(), t.Events.size());
}

TEST(ReadMidiFile, RunningStatusClassResetsPerChunkChannelCarriesOver) {
  MidiBuilder b;
  b.Header(1, 3, 96).BeginTrack().Raw({0x00, 0x40, 0x7F});  // no status yet: note off, channel 0
  b.Event(0, {0xB5, 0x07, 0x64}).Raw({0x00, 0x0A, 0x20}).EndTrack().BeginTrack();
  b.Raw({0x00, 0x3C, 0x00});                   // class back to note off, channel 5 kept
  b.Event(0, {0xC2, 0x10}).Raw({0x00, 0x11});  // running program change: one byte
  b.Event(0, {0xF8}).Raw({0x00, 0x22});        // a system message runs on too, without data
  b.Event(0, {0xE1, 0x00, 0x40}).Raw({0x00, 0x7F, 0x7F}).EndTrack().BeginTrack();
  b.Event(0, {0xF0, 0x01, 0x01}).Raw({0x00, 0x30, 0x31}).EndTrack();  // sysex keeps channel 1
  const ReadResult r = Read(b);
  ASSERT_EQ(r.song.Tracks.size(), 3u);
  EXPECT_EQ(r.song.Tracks[0].Events[0], (MidiEvent{0, kNoteOff, 0, 0x40, 0x7F, ""}));
  const auto& t1 = r.song.Tracks[1].Events;
  ASSERT_EQ(t1.size(), 8u);
  EXPECT_EQ(t1[0], (MidiEvent{0, kNoteOff, 5, 0x3C, 0, ""}));
  EXPECT_EQ(t1[2], (MidiEvent{0, kProgramChange, 2, 0x11, 0, ""}));
  EXPECT_EQ(t1[4], (MidiEvent{0, kSystemMessage, 8, 0, 0, ""}));
  EXPECT_EQ(t1[6], (MidiEvent{0, kPitchBend, 1, 0x7F, 0x7F, ""}));
  EXPECT_EQ(r.song.Tracks[2].Events[1], (MidiEvent{0, kNoteOff, 1, 0x30, 0x31, ""}));
}

TEST(ReadMidiFile, VariableLengthQuantitiesStopAtFourBytes) {
  // (Byte boundaries are checked against midicsv.) The fifth byte is a running-status byte.
  MidiBuilder five;
  five.Header(0, 1, 96).BeginTrack().Event(0, {0x90, 0x3C, 0x40});
  const ReadResult f = Read(five.Raw({0xFF, 0xFF, 0xFF, 0xFF, 0x3E, 0x41}).EndTrack());
  ASSERT_EQ(f.song.Tracks[0].Events.size(), 3u);
  EXPECT_EQ(f.song.Tracks[0].Events[1], (MidiEvent{0, kNoteOn, 0, 0x3E, 0x41, ""}));
  EXPECT_EQ(f.song.Tracks[0].Events[2].Time, 0x0FFFFFFF);

  // The ninth maximal delta overflows the 32-bit running time.
  MidiBuilder overflow;
  overflow.Header(0, 1, 96).BeginTrack();
  for (int i = 0; i < 9; ++i) overflow.Event(0x0FFFFFFF, {0x90, 0x3C, 0x40});
  const ReadResult o = Read(overflow.EndTrack());
  ExpectDamaged(o);
  EXPECT_EQ(o.song.Tracks[0].Events.size(), 8u);
  EXPECT_EQ(o.song.Tracks[0].EndTime, 8 * 0x0FFFFFFF);
}

TEST(ReadMidiFile, MetaTextsTempoAndFirstSignatures) {
  const ReadResult k = Read(KaraokeSong());
  EXPECT_EQ(k.report.GenText, " @KMIDI KARAOKE FILE\r\n @TTwinkle\r\n\r\n\r\n \\Twin kle\r\n /lit");
  EXPECT_EQ(k.report.Lyrics, "Twinkle\r\n");
  EXPECT_EQ(k.FoundFlags, kFoundTempo | kFoundKaraoke | kFoundLyric);

  MidiBuilder b;
  b.Header(0, 1, 96).BeginTrack();
  // Ten tempo events show the first tempo, the eleventh adds "More"; later ones go unchecked.
  for (int i = 0; i < 10; ++i) b.Tempo(0, 1832 + static_cast<uint32_t>(i));  // 32751 BPM
  b.Meta(0, 7, "Go").Tempo(0, 1).Meta(0, 4, "Piano").Meta(0, 0x51, "\x01");
  b.Meta(0, 2, "(c) first").Meta(0, 1, "").Meta(0, 1, "plain").Meta(0, 5, "a\nb");
  b.Meta(0, 2, "\xA9 2\0"s).Meta(0, 6, "").Meta(0, 3, "First").Meta(0, 3, "Second");
  // Only the first time and key signatures are examined: the later ones would be damaged.
  b.Raw({0x00, 0xFF, 0x58, 0x02, 0x03, 0x02, 0x00, 0xFF, 0x58, 0x04, 0x04, 0x0F, 0x18, 0x08});
  b.Raw({0x00, 0xFF, 0x59, 0x02, 0x07, 0x01, 0x00, 0xFF, 0x59, 0x01, 0x00}).EndTrack();
  const ReadResult m = Read(b);
  EXPECT_EQ(InfoText(m.report),
            "Format: Type 0\nTracks:  1\nTime Signature: 3/4\nKey Signature: C# Minor\n"
            "Tempo: 32751 BPM\nCopyright Text: \xA9 2\0\n\n[General]\n"
            "Delta Time format 96 Ticks per Quarter Note (If Positive)\r\nTrack 0  Length: 190\r\n"
            "Cue Point: Go\r\nMore Tempo Events ...\r\nInstrument: Piano\r\n"
            "Copyright Text: (c) first\r\nCopyright Text: \xA9 2\0\r\n"
            "Sequence/Track Name: First\r\nSequence/Track Name: Second\r\n"
            "\n[Text]\n  plain\n\n[Lyrics]\nab\r\n\n[Markers]\n\r\n"s);
  EXPECT_EQ(m.FoundFlags, kFoundLyric | kFoundKey | kFoundTimeSig | kFoundTempo);
  EXPECT_EQ(m.song.Tracks[0].Name, "Second");
}

TEST(KeySignatureName, NamesMajorKeysAndMarksMinor) {
  const std::vector<std::tuple<int, int, std::string>> cases = {
      {0xFD, 0, "Eb"},    {2, 1, "D Minor"},  {8, 0, "Unknown"}, {0xF9, 0, "Cb"},
      {7, 1, "C# Minor"}, {-1, 1, "F Minor"}, {0, 2, "C"},       {0xF8, 1, "Unknown Minor"}};
  for (const auto& [key, mode, name] : cases) EXPECT_EQ(KeySignatureName(key, mode), name);
}

TEST(ReadMidiFile, DamagedCausesKeepWhatWasRead) {
  // Tempo 0, tempo over a 16-bit BPM, short tempo, a 2^15 denominator, short signatures;
  // data beyond the file of a meta event, a sysex event and a channel message.
  for (const std::string& raw :
       {"\xFF\x51\x03\x00\x00\x00"s, "\xFF\x51\x03\x00\x07\x27"s, "\xFF\x51\x02\x07\xA1"s,
        "\xFF\x58\x04\x04\x0F\x18\x08"s, "\xFF\x58\x01\x04"s, "\xFF\x59\x01\x00"s,
        "\xFF\x01\x7F\x41"s, "\xF0\x05\x01"s, "\x90\x3C"s}) {
    MidiBuilder b;
    b.Header(1, 1, 96).BeginTrack().Event(5, {0x90, 0x3C, 0x40}).Raw({0x07}).Text(raw);
    const ReadResult r = Read(b.EndChunk(), ReadMode::kCatalog);
    SCOPED_TRACE(::testing::PrintToString(raw));
    ExpectDamaged(r);
    EXPECT_EQ(r.song.Tracks.at(0).Events, (std::vector<MidiEvent>{{0, kNoteOn, 0, 60, 64, ""}}));
  }
  const ReadResult n = Read(MidiBuilder().Header(1, -1, 96).BeginTrack().EndTrack());
  ExpectDamaged(n);
  EXPECT_EQ(n.report.FTracks, "-1");
  EXPECT_TRUE(n.song.Tracks.empty());
}

TEST(ReadMidiFile, NotMidiOutcomes) {
  testing::TempDir dir;  // a missing file is not MIDI, and reading it creates nothing
  std::vector<ReadResult> results = {ReadMidiFile(dir / "missing.mid", ReadMode::kCatalog)};
  EXPECT_NE(results[0].error.find("missing.mid"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir / "missing.mid"));
  for (const std::string& bytes : {"RIFF1234"s, "mthd\0\0\0\6"s}) {  // shorter: see truncation
    results.push_back(Read(MidiBuilder().Text(bytes), ReadMode::kCatalog));
  }
  for (const ReadResult& r : results) {
    EXPECT_EQ(r.outcome, ReadOutcome::kNotMidi);
    EXPECT_EQ(r.report.FileInfo, "Not a standard MIDI file.");
    EXPECT_EQ(r.CatalogInfo, CatalogStrings{});
    EXPECT_FALSE(r.report.FType);
  }
}

TEST(ReadMidiFile, CatalogStopPoints) {
  // Format 0 stops right after the third signature event.
  const ReadResult f0 = Read(SignaturesFirstFormat0(), ReadMode::kCatalog);
  EXPECT_EQ(f0.song.Tracks[0].Events.size(), 3u);
  EXPECT_EQ(f0.CatalogInfo,
            (CatalogStrings{" 0", " 1", " 480", " 100", "D Minor", " 6/8", "", ""}));

  // Format 0 with a karaoke mark never has exactly the three signatures: the whole first
  // chunk is read, and entry 7 stays unwritten for format 0.
  MidiBuilder kar;
  kar.Header(0, 2, 96).BeginTrack().Meta(0, 1, "@K").Tempo(0, 500000);
  kar.Raw({0x00, 0xFF, 0x59, 0x02, 0x00, 0x00, 0x00, 0xFF, 0x58, 0x02, 0x04, 0x02});
  kar.Event(0, {0x90, 0x3C, 0x40}).EndTrack().BeginTrack().EndTrack();
  const ReadResult k = Read(kar, ReadMode::kCatalog);
  ASSERT_EQ(k.song.Tracks.size(), 1u);
  EXPECT_EQ(k.song.Tracks[0].Events.size(), 6u);
  EXPECT_EQ(k.CatalogInfo, (CatalogStrings{" 0", " 2", " 96", " 120", "C", " 4/4", "", ""}));

  // Format 1 stops after the second track and reports the karaoke mark.
  const ReadResult k1 = Read(KaraokeSong(), ReadMode::kCatalog);
  EXPECT_EQ(k1.song.Tracks.size(), 2u);
  EXPECT_EQ(k1.CatalogInfo, (CatalogStrings{" 1", " 3", " 120", " 150", "C", " 0/0", "", "kar"}));
}

TEST(ReadMidiFile, TrackRowsFollowMTrkChunksOnly) {
  // Foreign chunks before and between the two tracks take no row and hide no track.
  const ReadResult r = Read(OddChunks());
  ASSERT_EQ(r.song.Tracks.size(), 2u);
  EXPECT_EQ(r.song.Tracks[1].Events.size(), 13u);
  EXPECT_EQ(Read(OddChunks(), ReadMode::kCatalog).CatalogInfo,
            (CatalogStrings{" 2", " 2", "-7688", " 120", "C", " 0/0", "", ""}));

  // No limit on named tracks, and a read never shows an earlier file's names.
  MidiBuilder many;
  many.Header(1, 300, 96);
  for (int t = 0; t < 300; ++t) many.BeginTrack().Meta(0, 3, "T" + std::to_string(t)).EndTrack();
  EXPECT_EQ(Read(many).song.TrackNameEntry(299), " 299 T299");
  const ReadResult unnamed = Read(KaraokeSong());
  for (int t = 0; t < 3; ++t) EXPECT_EQ(unnamed.song.TrackNameEntry(t), "");
}

TEST(ReadMidiFile, HostileHeadersAllocateOnlyForBytesPresent) {
  MidiBuilder many;
  many.Header(1, 32767, 96).BeginTrack().EndTrack().Tag("MTrk").Long(0x7FFFFFFF);  // 2 GB
  std::vector<uint8_t> bytes = many.Raw({0x00, 0x90, 0x3C, 0x40}).bytes();
  const ReadResult r = ReadMidiBytes(bytes, ReadMode::kDisplay);
  ExpectDamaged(r);
  EXPECT_LE(r.song.Tracks.capacity(), bytes.size() / 8);
  EXPECT_EQ(r.song.Tracks.at(1).Events.size(), 1u);
  EXPECT_EQ(r.song.Tracks.at(1).Events.capacity(), 1u);
  bytes[bytes.size() - 8] = 0x80;  // a length of 2^31 or more reads as negative
  ExpectDamaged(ReadMidiBytes(bytes, ReadMode::kDisplay));

  std::vector<uint8_t> h = MidiBuilder().Header(1, 1, 96).BeginTrack().EndTrack().bytes();
  h[4] = 0x7F;  // a header longer than the file: its tracks lie beyond the end
  EXPECT_TRUE(ReadMidiBytes(h, ReadMode::kDisplay).song.Tracks.empty());
  h[4] = 0xFF;  // and longer than 2^31
  ExpectDamaged(ReadMidiBytes(h, ReadMode::kDisplay));

  // A foreign chunk longer than the file is passed over to the end, where the read ends
  // normally although a track announced is missing.
  MidiBuilder foreign;
  foreign.Header(1, 2, 96).BeginTrack().EndTrack().Tag("XXXX").Long(0x7FFFFFFF).Raw({1, 2});
  const ReadResult f = Read(foreign);
  EXPECT_EQ(f.outcome, ReadOutcome::kComplete);
  EXPECT_EQ(f.song.Tracks.size(), 1u);
}

TEST(ReadMidiFile, TruncationAtEveryByte) {
  const std::vector<uint8_t> whole = TwoTrackSong().bytes();
  for (std::size_t cut = 0; cut < whole.size(); ++cut) {
    SCOPED_TRACE(cut);
    for (ReadMode mode : {ReadMode::kDisplay, ReadMode::kCatalog}) {
      const ReadResult r = ReadMidiBytes(std::span(whole.data(), cut), mode);
      if (cut < 4) {
        EXPECT_EQ(r.outcome, ReadOutcome::kNotMidi);
      } else if (cut == 14 || cut == 14 + 8 + 39) {  // between chunks
        EXPECT_EQ(r.outcome, ReadOutcome::kComplete);
        EXPECT_EQ(r.song.Tracks.size(), cut == 14 ? 0u : 1u);
        EXPECT_EQ(r.CatalogInfo, CatalogStrings{});  // the end came before a stop point
      } else {
        ExpectDamaged(r);
      }
    }
  }
}

}  // namespace
}  // namespace quaverly
