#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "lyrics/Lyrics.h"

namespace quaverly {
namespace {

MidiEvent Meta(uint8_t type, std::string text) {
  MidiEvent e;
  e.Status = kMeta;
  e.Channel = type;
  e.Text = std::move(text);
  return e;
}
MidiEvent Text(std::string s) { return Meta(meta::kText, std::move(s)); }
MidiEvent Lyric(std::string s) { return Meta(meta::kLyric, std::move(s)); }
MidiEvent NoteOn(uint8_t key) {
  MidiEvent e;
  e.Status = kNoteOn;
  e.Data1 = key;
  e.Data2 = 100;
  return e;
}

// A track whose events stand at the given ticks.
Track At(std::vector<std::pair<int32_t, MidiEvent>> placed) {
  Track t;
  int32_t previous = 0;
  for (auto& [tick, e] : placed) {
    e.Time = previous;
    previous = tick;
    if (e.IsMeta(meta::kTrackName)) t.Name = e.Text;
    t.Events.push_back(std::move(e));
  }
  t.EndTime = previous;
  return t;
}

Song SongOf(std::vector<Track> tracks) {
  Song s;
  s.Header.Format = 1;
  s.Header.Division = 96;
  s.Header.TrackCount = static_cast<int16_t>(tracks.size());
  s.ListTrackCount = s.Header.TrackCount;
  s.Tracks = std::move(tracks);
  return s;
}

Track Named(const std::string& name) {
  return At({{0, Meta(meta::kTrackName, name)}, {0, Meta(meta::kEndOfTrack, "")}});
}

std::vector<std::string> Texts(const Track& t) {
  std::vector<std::string> out;
  for (const MidiEvent& e : t.Events) out.push_back(e.Text);
  return out;
}
std::vector<int32_t> Ticks(const Track& t) {
  std::vector<int32_t> out;
  for (std::size_t i = 0; i < t.Events.size(); ++i) out.push_back(t.TickOf(i));
  return out;
}

TEST(TextToLyrics, InPlaceTranslatesBreakMarksOntoThePreviousLyric) {
  Song song = SongOf({Named("Tempo"), At({{0, Meta(meta::kTrackName, "Words")},
                                          {10, Text("Hel")},
                                          {20, Text("lo")},
                                          {30, Text("/world")},
                                          {40, NoteOn(60)},
                                          {40, Text("\\Next")},
                                          {50, Text("/")},
                                          {60, Text("")},
                                          {70, Text(" world")},
                                          {80, Text("@LENGL")},
                                          {90, Meta(meta::kEndOfTrack, "")}})});
  const Track before = song.Tracks[1];
  ASSERT_TRUE(TextToLyrics(song, 1, false));
  const Track& t = song.Tracks[1];
  EXPECT_EQ(Texts(t), (std::vector<std::string>{"Words", "Hel ", "lo \r", "world \n\r", "",
                                                "Next \r", " ", " ", " world ", "@LENGL \r", ""}));
  EXPECT_EQ(t.Events[4], before.Events[4]);
  EXPECT_EQ(Ticks(t), Ticks(before));  // in place, nothing moves
  EXPECT_EQ(song.Tracks[0], Named("Tempo"));

  // Done again, nothing is left to convert.
  const Track once = t;
  ASSERT_TRUE(TextToLyrics(song, 1, false));
  EXPECT_EQ(song.Tracks[1], once);
}

TEST(TextToLyrics, MarksBeforeAnyLyricAndAtIndexZeroGoNowhere) {
  // The fragment at index 0 is never the "previous lyric" of a break mark.
  Song song = SongOf({Named("Tempo"), At({{0, Text("/first")},
                                          {5, Text("\\second")},
                                          {6, Text("/third")},
                                          {7, Meta(meta::kEndOfTrack, "")}})});
  ASSERT_TRUE(TextToLyrics(song, 1, false));
  EXPECT_EQ(Texts(song.Tracks[1]), (std::vector<std::string>{"first ", "second \r", "third ", ""}));
  EXPECT_FALSE(TextToLyrics(song, 2, false));
  EXPECT_FALSE(TextToLyrics(song, -1, true));
}

TEST(TextToLyrics, KeepTextAddsALyricCopyAtEachTextEventsOwnTick) {
  Song song = SongOf({Named("Tempo"), At({{0, Meta(meta::kTrackName, "Words")},
                                          {0, Meta(meta::kTempo, "\x07\xA1\x20")},
                                          {96, NoteOn(60)},
                                          {100, Text("Hel")},
                                          {150, Meta(meta::kMarker, "m")},
                                          {200, Text("lo")},
                                          {240, NoteOn(62)},
                                          {300, Text("/world")},
                                          {400, Text("\\Next")},
                                          {480, Meta(meta::kEndOfTrack, "")}})});
  ASSERT_TRUE(TextToLyrics(song, 1, true));
  const Track& t = song.Tracks[1];
  ASSERT_EQ(t.Events.size(), 14u);
  EXPECT_EQ(Texts(t),
            (std::vector<std::string>{"Words", "\x07\xA1\x20", "", "Hel", "Hel ", "m", "lo",
                                      "lo \r", "", "/world", "world \n\r", "\\Next", "Next ", ""}));
  EXPECT_EQ(Ticks(t), (std::vector<int32_t>{0, 0, 96, 100, 100, 150, 200, 200, 240, 300, 300, 400,
                                            400, 480}));
  EXPECT_EQ(t.Events[3].Channel, meta::kText);
  EXPECT_EQ(t.Events[4].Channel, meta::kLyric);
  EXPECT_EQ(t.Name, "Words");

  // Again: each retained text event gains a second lyric copy, still at its tick.
  ASSERT_TRUE(TextToLyrics(song, 1, true));
  const Track& twice = song.Tracks[1];
  ASSERT_EQ(twice.Events.size(), 18u);
  EXPECT_EQ(Texts(twice)[3], "Hel");
  EXPECT_EQ(Texts(twice)[4], "Hel ");
  EXPECT_EQ(Texts(twice)[5], "Hel ");
  EXPECT_EQ(Ticks(twice)[5], 100);
  EXPECT_EQ(twice.TickOf(twice.Events.size() - 1), 480);
}

TEST(InsertTwoTracks, MovesLaterTracksAndTheirNamesUpByTwo) {
  Song song = SongOf({Named("Tempo"), Named("Piano"), Named("Bass")});
  const Song before = song;
  ASSERT_TRUE(InsertTwoTracks(song, 0));
  EXPECT_EQ(song.Header.TrackCount, 5);
  EXPECT_EQ(song.ListTrackCount, 5);
  EXPECT_EQ(song.Tracks[0], before.Tracks[0]);
  EXPECT_TRUE(song.Tracks[1].Events.empty());
  EXPECT_TRUE(song.Tracks[2].Events.empty());
  EXPECT_EQ(song.Tracks[3], before.Tracks[1]);
  EXPECT_EQ(song.Tracks[4], before.Tracks[2]);
  EXPECT_EQ(song.TrackNameEntry(3), " 3 Piano");
  EXPECT_EQ(song.TrackNameEntry(1), "");

  // After the last track: two empty tracks are appended, nothing moves.
  ASSERT_TRUE(InsertTwoTracks(song, 4));
  EXPECT_EQ(song.Header.TrackCount, 7);
  EXPECT_EQ(song.Tracks[4], before.Tracks[2]);
  EXPECT_TRUE(song.Row(5).Events.empty() && song.Row(6).Events.empty());

  EXPECT_FALSE(InsertTwoTracks(song, 7));
  song.Header.TrackCount = 32766;
  EXPECT_FALSE(InsertTwoTracks(song, 0));

  // A header may announce tracks the file did not hold.
  Song sparse = SongOf({Named("A")});
  sparse.Header.TrackCount = sparse.ListTrackCount = 3;
  ASSERT_TRUE(InsertTwoTracks(sparse, 2));
  EXPECT_EQ(sparse.Header.TrackCount, 5);
  EXPECT_EQ(sparse.Row(0), Named("A"));

  Song copy = SongOf({Named("Short"), At({{0, NoteOn(1)}, {5, NoteOn(2)}, {9, NoteOn(3)}})});
  CopyTrack(copy, 0, 1);
  EXPECT_EQ(copy.Tracks[1], copy.Tracks[0]);
  CopyTrack(copy, 7, 0);  // an empty row makes the destination empty
  EXPECT_TRUE(copy.Tracks[0].Events.empty());
  EXPECT_FALSE(copy.Tracks[0].Name);
}

class LyricsToTextTest : public ::testing::Test {
 protected:
  // Track 1 holds the lyrics; after the conversion it is track 3.
  std::vector<std::string> Convert(std::vector<std::pair<int32_t, MidiEvent>> lyrics,
                                   std::vector<int32_t>* ticks = nullptr) {
    lyrics.push_back({lyrics.empty() ? 0 : lyrics.back().first + 10, Meta(meta::kEndOfTrack, "")});
    song_ = SongOf({Named("Tempo"), At(std::move(lyrics))});
    source_ = song_.Tracks[1];
    EXPECT_TRUE(LyricsToText(song_, 1, info_));
    const Track& words = song_.Tracks[2];
    std::vector<std::string> texts = Texts(words);
    EXPECT_EQ(texts.back(), "");
    EXPECT_TRUE(words.Events.back().IsMeta(meta::kEndOfTrack));
    texts.pop_back();
    texts.erase(texts.begin(), texts.begin() + 7);
    if (ticks) {
      *ticks = Ticks(words);
      ticks->erase(ticks->begin(), ticks->begin() + 7);
      ticks->pop_back();
    }
    return texts;
  }

  Song song_;
  Track source_;
  KaraokeInfo info_;
};

TEST_F(LyricsToTextTest, BuildsTheTwoKaraokeTracksWithTheirHeaderLines) {
  info_.Title = "  My Song ";
  info_.Artist = "";
  EXPECT_TRUE(Convert({{5, NoteOn(60)}}).empty());
  ASSERT_EQ(song_.Header.TrackCount, 4);
  EXPECT_EQ(song_.ListTrackCount, 4);
  EXPECT_EQ(song_.Tracks[3], source_);

  const Track& karaoke = song_.Tracks[1];
  EXPECT_EQ(Texts(karaoke), (std::vector<std::string>{"Soft Karaoke", "@KMIDI KARAOKE FILE", ""}));
  EXPECT_TRUE(karaoke.Events[0].IsMeta(meta::kTrackName));
  EXPECT_TRUE(karaoke.Events[1].IsMeta(meta::kText));
  EXPECT_TRUE(karaoke.Events[2].IsMeta(meta::kEndOfTrack));
  EXPECT_EQ(Ticks(karaoke), (std::vector<int32_t>{0, 0, 0}));

  const Track& words = song_.Tracks[2];
  EXPECT_EQ(Texts(words),
            (std::vector<std::string>{"Words", "@LENGL", "@TMy Song", "@T",
                                      "@TLyrics converted automaticly from lyric events",
                                      "@TBy: Quaverly (Alpha Version)",
                                      "@TContact quaverly@example.org for more information", ""}));
  EXPECT_TRUE(words.Events[0].IsMeta(meta::kTrackName));
  for (int i = 1; i < 7; ++i) EXPECT_TRUE(words.Events[i].IsMeta(meta::kText));
  EXPECT_EQ(song_.TrackNameEntry(1), " 1 Soft Karaoke");
  EXPECT_EQ(song_.TrackNameEntry(2), " 2 Words");
  EXPECT_EQ(song_.TrackNameEntry(0), " 0 Tempo");

  // The tracks grow: a second conversion of the same lyrics needs no fresh read.
  ASSERT_TRUE(LyricsToText(song_, 3, KaraokeInfo{}));
  EXPECT_EQ(song_.Header.TrackCount, 6);
  EXPECT_EQ(Texts(song_.Tracks[2])[2], "@TYOUR SONG");
  EXPECT_EQ(song_.Tracks[5], source_);
  EXPECT_FALSE(LyricsToText(song_, 6, KaraokeInfo{}));
  EXPECT_EQ(song_.Header.TrackCount, 6);

  // A single-track file cannot hold three tracks: it becomes format 1.
  Song single = SongOf({At({{10, Lyric("la")}, {20, Meta(meta::kEndOfTrack, "")}})});
  single.Header.Format = 0;
  ASSERT_TRUE(LyricsToText(single, 0, KaraokeInfo{}));
  EXPECT_EQ(single.Header.Format, 1);
  EXPECT_EQ(Texts(single.Tracks[2])[7], "\\la");
  EXPECT_EQ(single.Tracks[0].Events.size(), 2u);
}

TEST_F(LyricsToTextTest, CarriageReturnsBecomeLineAndParagraphMarks) {
  std::vector<int32_t> ticks;
  EXPECT_EQ(Convert({{100, Lyric("Hel")}, {200, Lyric("lo\r")}, {300, Lyric("world")}}, &ticks),
            (std::vector<std::string>{"\\Hel", "lo", "/world"}));
  EXPECT_EQ(ticks, (std::vector<int32_t>{100, 200, 300}));

  // Two line ends at one tick make a paragraph; a lone one with a mark pending stays.
  EXPECT_EQ(Convert({{480, NoteOn(1)},
                     {500, Lyric("end\r")},
                     {500, Lyric("\r")},
                     {550, NoteOn(2)},
                     {600, Lyric("Next")}},
                    &ticks),
            (std::vector<std::string>{"\\end", "/", "\\Next"}));
  EXPECT_EQ(ticks, (std::vector<int32_t>{500, 500, 600}));

  // With no mark pending a lone line end leaves no event; its mark moves on.
  EXPECT_EQ(
      Convert({{300, Lyric("x")}, {400, Lyric("word")}, {450, Lyric("\r")}, {600, Lyric("Next")}},
              &ticks),
      (std::vector<std::string>{"\\x", "word", "/Next"}));
  EXPECT_EQ(ticks, (std::vector<int32_t>{300, 400, 600}));

  // A line end at tick 0 counts as a paragraph end; line feeds and a second CR stay.
  EXPECT_EQ(
      Convert({{0, Lyric("a\r")}, {10, Lyric(" b\n\r")}, {20, Lyric("c\r\r")}, {30, Lyric("d")}}),
      (std::vector<std::string>{"\\a", "\\ b\n", "/c \r", "/d"}));
}

TEST_F(LyricsToTextTest, BlankLyricsAreDroppedUnlessAMarkIsPending) {
  std::vector<int32_t> ticks;
  EXPECT_EQ(Convert({{10, Lyric("a")},
                     {20, Lyric("   ")},
                     {30, Lyric("")},
                     {40, Lyric("b\r")},
                     {50, Lyric("  ")},
                     {60, Lyric(" world")},
                     {70, Text("not a lyric")}},
                    &ticks),
            (std::vector<std::string>{"\\a", "b", "/  ", " world"}));
  EXPECT_EQ(ticks, (std::vector<int32_t>{10, 40, 50, 60}));
  EXPECT_EQ(Convert({{10, Lyric(" ")}}), (std::vector<std::string>{"\\ "}));
  EXPECT_EQ(Convert({{10, Lyric("a\r")}, {20, Lyric(" world")}}),
            (std::vector<std::string>{"\\a", "/ world"}));
}

TEST(ProposedWordsIndex, PrefersWordsThenVocalAndSkipsTrackOne) {
  auto propose = [](std::vector<std::string> names) {
    std::vector<Track> tracks;
    for (const std::string& n : names) tracks.push_back(n.empty() ? Track{} : Named(n));
    return ProposedWordsIndex(SongOf(std::move(tracks)));
  };
  EXPECT_EQ(propose({"Tempo", "Soft Karaoke", "Words", "Melody"}), 1);
  EXPECT_EQ(propose({"Tempo", "Piano", "Bass", "Vocal"}), 2);
  EXPECT_EQ(propose({"Tempo", "Vocal", "Piano", "Chords", "Choir"}), 2);  // words first
  EXPECT_EQ(propose({"Tempo", "Choir", "Bass", "Piano", "Voice"}), 3);    // last match wins
  EXPECT_EQ(propose({"Tempo", "Words", "Bass", "Piano"}), 1);  // a match on track 1 is none
  EXPECT_EQ(propose({"Tempo", "WORDS", "VOCALS", "Piano"}), 1);
  EXPECT_EQ(propose({"Tempo", "Piano"}), -1);
  EXPECT_EQ(propose({"Tempo", "Piano", "", "Words"}), 2);
  EXPECT_EQ(propose({"Tempo"}), -1);
}

}  // namespace
}  // namespace quaverly
