#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MidiBuilder.h"
#include "cli/RunProcess.h"
#include "lyrics/Lyrics.h"
#include "reader/ReadMidiFile.h"

namespace quaverly {
namespace {

using Lines = std::vector<std::string>;
using testing::RunCli;

// Events as "tick kind:text": T text, L lyric, N track name, E end of track, X a note on.
constexpr std::string_view kKinds = "TLNE", kTypes = "\x01\x05\x03\x2F";

Track At(const Lines& events) {
  Track t;
  for (const std::string& s : events) {
    const std::size_t kind = kKinds.find(s[s.find(' ') + 1]);
    MidiEvent e{std::exchange(t.EndTime, std::stoi(s)), kNoteOn, 0, 60, 100, ""};
    if (kind != kKinds.npos)
      e = {e.Time, kMeta, static_cast<uint8_t>(kTypes[kind]), 0, 0, s.substr(s.find(':') + 1)};
    if (e.IsMeta(meta::kTrackName)) t.Name = e.Text;
    t.Events.push_back(std::move(e));
  }
  return t;
}
Lines Show(const Track& t) {
  Lines out;
  for (std::size_t i = 0; i < t.Events.size(); ++i) {
    const MidiEvent& e = t.Events[i];
    const std::size_t type = kTypes.find(static_cast<char>(e.Channel));
    const char kind = e.Status == kMeta && type != kTypes.npos ? kKinds[type] : 'X';
    out.push_back(std::to_string(t.TickOf(i)) + ' ' + kind + ':' + e.Text);
  }
  return out;
}
Track Named(const std::string& name) { return At({"0 N:" + name, "0 E:"}); }
Song SongOf(std::vector<Track> tracks) {
  const auto count = static_cast<int16_t>(tracks.size());
  return {{.TrackCount = count}, std::move(tracks), count};
}

TEST(Lyrics, TextToLyricsInPlace) {
  Song song = SongOf({Named("Tempo"), At({"0 T:/first", "10 T:\\Hel", "20 T:lo", "30 T:/world",
                                          "40 X:", "40 T:\\Next", "50 T:/", "60 T:", "70 T: world",
                                          "80 T:@LENGL", "90 E:"})});
  ASSERT_TRUE(TextToLyrics(song, 1, false));
  // A break mark ends the previous lyric, but never the fragment at index 0.
  EXPECT_EQ(Show(song.Tracks[1]),
            (Lines{"0 L:first ", "10 L:Hel ", "20 L:lo \r", "30 L:world \n\r", "40 X:",
                   "40 L:Next \r", "50 L: ", "60 L: ", "70 L: world ", "80 L:@LENGL \r", "90 E:"}));
  EXPECT_FALSE(TextToLyrics(song, 2, true) || TextToLyrics(song, -1, false));
}

TEST(Lyrics, InsertTwoTracksAndCopyTrack) {
  Song song = SongOf({Named("Tempo"), Named("Piano"), Named("Bass")});
  const std::vector<Track> before = song.Tracks;
  ASSERT_TRUE(InsertTwoTracks(song, 0));
  ASSERT_TRUE(InsertTwoTracks(song, 4));  // after the last track
  EXPECT_EQ(song.Tracks, (std::vector<Track>{before[0], {}, {}, before[1], before[2], {}, {}}));
  EXPECT_EQ(song.Header.TrackCount + song.ListTrackCount, 14);
  EXPECT_EQ(song.TrackNameEntry(3) + song.TrackNameEntry(1), " 3 Piano");  // names move along
  EXPECT_FALSE(InsertTwoTracks(song, 7));
  song.Header.TrackCount = 32766;
  EXPECT_FALSE(InsertTwoTracks(song, 0));

  CopyTrack(song, 0, 1);
  EXPECT_EQ(song.Tracks[1], before[0]);
}

TEST(Lyrics, LyricsToText) {
  Song song;
  // The text events of "Words" after its seven header records.
  const auto words = [&song](const Lines& lyrics) {
    song = SongOf({Named("Tempo"), At(lyrics)});
    EXPECT_TRUE(LyricsToText(song, 1, KaraokeInfo{}));
    const Lines shown = Show(song.Tracks[2]);
    return Lines(shown.begin() + 7, shown.end());
  };
  EXPECT_EQ(words({"5 X:", "9 L:la"}), (Lines{"9 T:\\la", "9 E:"}));
  EXPECT_EQ(song.Tracks[3], At({"5 X:", "9 L:la"}));
  EXPECT_EQ(song.TrackNameEntry(1) + song.TrackNameEntry(2), " 1 Soft Karaoke 2 Words");
  // The tracks grow: converting again needs no fresh read. Format 0 becomes 1.
  song.Header.Format = 0;
  ASSERT_TRUE(LyricsToText(song, 3, KaraokeInfo{}));
  EXPECT_FALSE(LyricsToText(song, 6, KaraokeInfo{}));
  EXPECT_EQ(song.Header, (MidiHeader{.Format = 1, .TrackCount = 6}));
  EXPECT_EQ(Show(song.Tracks[2])[7], "9 T:\\la");

  // Line ends at one tick (or at tick 0) make a paragraph mark "\", else a line mark "/". A
  // lone line end leaves no event; blank lyrics stay only while a mark is pending.
  EXPECT_EQ(words({"100 L:Hel", "200 L:lo\r", "300 L: world"}),
            (Lines{"100 T:\\Hel", "200 T:lo", "300 T:/ world", "300 E:"}));
  EXPECT_EQ(words({"500 L:end\r", "500 L:\r", "550 X:", "600 L:Next"}),
            (Lines{"500 T:\\end", "500 T:/", "600 T:\\Next", "600 E:"}));
  EXPECT_EQ(words({"300 L: ", "400 L:word", "450 L:\r", "600 L:Next"}),
            (Lines{"300 T:\\ ", "400 T:word", "600 T:/Next", "600 E:"}));
  EXPECT_EQ(words({"0 L:a\r", "10 L: b\n\r", "20 L:c\r\r", "30 L:d"}),
            (Lines{"0 T:\\a", "10 T:\\ b\n", "20 T:/c \r", "30 T:/d", "30 E:"}));
  EXPECT_EQ(words({"10 L:a", "20 L:   ", "30 L:", "40 L:b\r", "50 L:  ", "60 L: world",
                   "70 T:not a lyric"}),
            (Lines{"10 T:\\a", "40 T:b", "50 T:/  ", "60 T: world", "60 E:"}));
}

TEST(Lyrics, ProposedWordsIndex) {
  const std::vector<std::pair<Lines, int>> cases = {
      {{"Tempo", "Vocal", "Piano", "Chords", "Choir"}, 2},  // "ords" before "oc" and "oi"
      {{"Tempo", "Choir", "Bass", "Piano", "Voice"}, 3},    // the last match
      {{"Tempo", "Words", "Bass", "Piano"}, 1},             // a match on track 1 is none
      {{"Tempo", "WORDS", "VOCALS", "Piano"}, 1},
      {{"Tempo", "Piano"}, -1}};
  for (const auto& [names, index] : cases) {
    std::vector<Track> tracks;
    for (const std::string& n : names) tracks.push_back(Named(n));
    EXPECT_EQ(ProposedWordsIndex(SongOf(std::move(tracks))), index) << names.back();
  }
}

// Each converted event is written at its own tick; each new track ends with an end of track.
TEST(Lyrics, SoftKaraokeFileThroughQuaverlyCli) {
  testing::MidiBuilder b;
  b.Header(1, 3, 96);
  b.BeginTrack().Meta(0, 3, "Tempo").Tempo(0, 500000).EndTrack(384);
  b.BeginTrack().Meta(0, 3, "Soft Karaoke").Meta(0, 1, "@KMIDI KARAOKE FILE").EndTrack();
  b.BeginTrack().Meta(0, 3, "Words").Meta(0, 1, "@LENGL").Event(96, {0x90, 60, 100});
  b.Meta(0, 1, "\\Twin").Event(48, {0x80, 60, 0}).Meta(48, 1, "kle").Meta(96, 1, "/lit");
  b.Event(10, {0x90, 62, 100}).Meta(86, 1, "tle").EndTrack(96);
  testing::TempDir dir;
  const std::string in = (dir / "in.kar").string(), kept = (dir / "kept.mid").string(),
                    lyr = (dir / "lyr.mid").string(), kar = (dir / "kar.mid").string();
  testing::WriteBytes(in, b.bytes());
  const auto track = [](const std::string& file, int t) {
    return Show(ReadMidiFile(file, ReadMode::kDisplay).song.Row(t));
  };
  ASSERT_EQ(RunCli({"kar2lyrics", in, lyr}).status, 0);
  EXPECT_EQ(track(lyr, 2), (Lines{"0 N:Words", "0 L:@LENGL \r\n\r", "96 X:", "96 L:Twin ", "144 X:",
                                  "192 L:kle \r", "288 L:lit ", "298 X:", "384 L:tle ", "480 E:"}));
  ASSERT_EQ(RunCli({"kar2lyrics", in, kept, "--keep-text"}).status, 0);
  EXPECT_EQ(track(kept, 2),
            (Lines{"0 N:Words", "0 T:@LENGL", "0 L:@LENGL \r\n\r", "96 X:", "96 T:\\Twin",
                   "96 L:Twin ", "144 X:", "192 T:kle", "192 L:kle \r", "288 T:/lit", "288 L:lit ",
                   "298 X:", "384 T:tle", "384 L:tle ", "480 E:"}));
  ASSERT_EQ(RunCli({"lyrics2kar", lyr, kar, "--title", "  Twinkle ", "--artist="}).status, 0);
  EXPECT_EQ(track(kar, 1), (Lines{"0 N:Soft Karaoke", "0 T:@KMIDI KARAOKE FILE", "0 E:"}));
  EXPECT_EQ(track(kar, 2),
            (Lines{"0 N:Words", "0 T:@LENGL", "0 T:@TTwinkle", "0 T:@T",
                   "0 T:@TLyrics converted automaticly from lyric events",
                   "0 T:@TBy: Quaverly (Alpha Version)",
                   "0 T:@TContact quaverly@example.org for more information", "0 T:\\@LENGL  \n\r",
                   "96 T:\\Twin ", "192 T:kle", "288 T:/lit ", "384 T:tle ", "384 E:"}));

  // Usage errors exit with 2; input not MIDI, unwritable output or no lyrics with 1.
  const std::string lyr_bytes = testing::ReadAll(lyr);
  testing::WriteBytes(kar + ".txt", std::vector<uint8_t>{'h', 'e', 'l', 'l', 'o'});
  const std::vector<std::pair<Lines, int>> failures = {
      {{"kar2lyrics", in}, 2},
      {{"kar2lyrics", in, lyr, "--track", "9"}, 2},
      {{"lyrics2kar", in, lyr, "--keep-text"}, 2},
      {{"kar2lyrics", kar + ".txt", lyr}, 1},
      {{"lyrics2kar", in, (dir / "no/such/dir.mid").string()}, 1},
      {{"lyrics2kar", in, lyr}, 1}};
  for (const auto& [args, status] : failures) {
    EXPECT_EQ(RunCli(args).status, status) << ::testing::PrintToString(args);
  }
  EXPECT_EQ(testing::ReadAll(lyr), lyr_bytes);
}

}  // namespace
}  // namespace quaverly
