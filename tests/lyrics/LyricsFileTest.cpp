// The conversions through the writer and the reader, in process and with quaverly-cli.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "MidiBuilder.h"
#include "TempDir.h"
#include "lyrics/Lyrics.h"
#include "reader/ReadMidiFile.h"
#include "writer/WriteMidiFile.h"

namespace quaverly {
namespace {

using testing::MidiBuilder;
using testing::TempDir;

// (tick, text) of every meta event of `type` in a track.
using Placed = std::vector<std::pair<int32_t, std::string>>;
Placed MetaAt(const Track& t, uint8_t type) {
  Placed out;
  for (std::size_t i = 0; i < t.Events.size(); ++i) {
    if (t.Events[i].IsMeta(type)) out.emplace_back(t.TickOf(i), t.Events[i].Text);
  }
  return out;
}

Song WrittenAndRead(const Song& song) {
  const ByteBuffer bytes = SerializeMidi(song);
  ReadResult back = ReadMidiBytes(bytes, ReadMode::kDisplay);
  EXPECT_EQ(back.outcome, ReadOutcome::kComplete);
  return std::move(back.song);
}

// A small Soft Karaoke file: tempo track, karaoke marker track, words among notes.
MidiBuilder KaraokeFile() {
  MidiBuilder b;
  b.Header(1, 3, 96);
  b.BeginTrack().Meta(0, 3, "Tempo").Tempo(0, 500000).EndTrack(384);
  b.BeginTrack().Meta(0, 3, "Soft Karaoke").Meta(0, 1, "@KMIDI KARAOKE FILE").EndTrack();
  b.BeginTrack()
      .Meta(0, 3, "Words")
      .Meta(0, 1, "@LENGL")
      .Event(96, {0x90, 60, 100})
      .Meta(0, 1, "\\Twin")
      .Event(48, {0x80, 60, 0})
      .Meta(48, 1, "kle")
      .Meta(96, 1, "/lit")
      .Event(10, {0x90, 62, 100})
      .Meta(86, 1, "tle")
      .EndTrack(96);
  return b;
}

TEST(LyricsThroughFiles, EveryConvertedEventIsWrittenAtItsOwnTick) {
  ReadResult read = ReadMidiBytes(KaraokeFile().bytes(), ReadMode::kDisplay);
  ASSERT_EQ(read.outcome, ReadOutcome::kComplete);
  const Song original = read.song;
  const Placed texts = MetaAt(original.Tracks[2], meta::kText);
  ASSERT_EQ(texts,
            (Placed{{0, "@LENGL"}, {96, "\\Twin"}, {192, "kle"}, {288, "/lit"}, {384, "tle"}}));

  Song kept = original;
  ASSERT_TRUE(TextToLyrics(kept, 2, true));
  const Song kept_back = WrittenAndRead(kept);
  EXPECT_EQ(MetaAt(kept_back.Tracks[2], meta::kText), texts);
  EXPECT_EQ(
      MetaAt(kept_back.Tracks[2], meta::kLyric),
      (Placed{{0, "@LENGL \r\n\r"}, {96, "Twin "}, {192, "kle \r"}, {288, "lit "}, {384, "tle "}}));
  // Notes and the end of track stay where they were.
  EXPECT_EQ(MetaAt(kept_back.Tracks[2], meta::kEndOfTrack), (Placed{{480, ""}}));
  EXPECT_EQ(kept_back.Tracks[2].TickOf(3), 96);  // the note on after "@LENGL" and its copy

  Song lyrics = original;
  ASSERT_TRUE(TextToLyrics(lyrics, 2, false));

  // Back to karaoke text: each text event at its lyric's tick, both new tracks ended.
  Song karaoke = lyrics;
  ASSERT_TRUE(LyricsToText(karaoke, 2, KaraokeInfo{}));
  const Song karaoke_back = WrittenAndRead(karaoke);
  ASSERT_EQ(karaoke_back.Header.TrackCount, 5);
  const Placed words = MetaAt(karaoke_back.Tracks[2], meta::kText);
  ASSERT_EQ(words.size(), 11u);
  EXPECT_EQ(
      Placed(words.begin() + 6, words.end()),
      (Placed{
          {0, "\\@LENGL  \n\r"}, {96, "\\Twin "}, {192, "kle"}, {288, "/lit "}, {384, "tle "}}));
  EXPECT_EQ(MetaAt(karaoke_back.Tracks[1], meta::kEndOfTrack), (Placed{{0, ""}}));
  EXPECT_EQ(MetaAt(karaoke_back.Tracks[2], meta::kEndOfTrack), (Placed{{384, ""}}));
  EXPECT_EQ(karaoke_back.Tracks[4].Events, WrittenAndRead(lyrics).Tracks[2].Events);
}

struct CliRun {
  int status = -1;
  std::string out;
};

CliRun Cli(const std::string& arguments) {
  CliRun run;
  const std::string command = std::string(QUAVERLY_CLI) + " " + arguments + " 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  std::size_t n = 0;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
  const int raw = pclose(pipe);
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return run;
}

// The csv lines of one listed track (numbered from 1) whose type is `type`.
std::vector<std::string> CsvLines(const std::string& csv, int track, const std::string& type) {
  std::vector<std::string> lines;
  std::istringstream in(csv);
  const std::string prefix = std::to_string(track) + ", ";
  for (std::string line; std::getline(in, line);) {
    const std::size_t at = line.find(", " + type);
    const std::size_t end = at + 2 + type.size();
    if (line.rfind(prefix, 0) == 0 && at != std::string::npos &&
        (end == line.size() || line[end] == ',')) {
      lines.push_back(line.substr(prefix.size()));
    }
  }
  return lines;
}

TEST(LyricsThroughFiles, CliRoundTripOfASoftKaraokeFile) {
  TempDir dir;
  const auto in = dir / "song.kar";
  testing::WriteBytes(in, KaraokeFile().bytes());
  const std::string lyr = (dir / "song.lyr.mid").string();
  const std::string kar = (dir / "song.kar.mid").string();

  const CliRun to_lyrics = Cli("kar2lyrics " + in.string() + " " + lyr);
  ASSERT_EQ(to_lyrics.status, 0);
  EXPECT_EQ(to_lyrics.out.rfind("Track 2: 5 text events converted", 0), 0u) << to_lyrics.out;
  const std::string lyr_csv = Cli("csv " + lyr).out;
  EXPECT_TRUE(CsvLines(lyr_csv, 3, "Text_t").empty());
  EXPECT_EQ(CsvLines(lyr_csv, 3, "Lyric_t"),
            (std::vector<std::string>{"0, Lyric_t, \"@LENGL \\015\\012\\015\"",
                                      "96, Lyric_t, \"Twin \"", "192, Lyric_t, \"kle \\015\"",
                                      "288, Lyric_t, \"lit \"", "384, Lyric_t, \"tle \""}));

  ASSERT_EQ(Cli("lyrics2kar " + lyr + " " + kar + " --title 'Twinkle' --artist=Trad").status, 0);
  const std::string kar_csv = Cli("csv " + kar).out;
  EXPECT_EQ(kar_csv.rfind("0, 0, Header, 1, 5, 96", 0), 0u);
  EXPECT_EQ(CsvLines(kar_csv, 2, "Text_t"),
            (std::vector<std::string>{"0, Text_t, \"@KMIDI KARAOKE FILE\""}));
  const std::vector<std::string> words = CsvLines(kar_csv, 3, "Text_t");
  ASSERT_EQ(words.size(), 11u);
  EXPECT_EQ(words[1], "0, Text_t, \"@TTwinkle\"");
  EXPECT_EQ(words[2], "0, Text_t, \"@TTrad\"");
  EXPECT_EQ(words[5], "0, Text_t, \"@TContact quaverly@example.org for more information\"");
  EXPECT_EQ(words[7], "96, Text_t, \"\\\\Twin \"");
  EXPECT_EQ(words[9], "288, Text_t, \"/lit \"");
  EXPECT_EQ(CsvLines(kar_csv, 3, "End_track"), (std::vector<std::string>{"384, End_track"}));

  // Failures: usage 2; not MIDI, unreadable or unwritable 1, and OUT is left alone.
  EXPECT_EQ(Cli("kar2lyrics " + in.string()).status, 2);
  EXPECT_EQ(Cli("kar2lyrics " + in.string() + " x.mid --track 9").status, 2);
  EXPECT_EQ(Cli("kar2lyrics " + in.string() + " x.mid --track two").status, 2);
  EXPECT_EQ(Cli("lyrics2kar " + in.string() + " x.mid --keep-text").status, 2);
  testing::WriteBytes(dir / "text.mid", std::vector<uint8_t>{'h', 'e', 'l', 'l', 'o'});
  EXPECT_EQ(Cli("kar2lyrics " + (dir / "text.mid").string() + " " + lyr).status, 1);
  EXPECT_EQ(Cli("lyrics2kar " + (dir / "missing.mid").string() + " " + lyr).status, 1);
  EXPECT_EQ(Cli("lyrics2kar " + in.string() + " " + (dir / "no/such/dir.mid").string()).status, 1);
  EXPECT_EQ(Cli("lyrics2kar " + in.string() + " " + lyr).status, 1);  // no lyric events
  EXPECT_EQ(Cli("csv " + lyr).out, lyr_csv);
}

// Real karaoke files: both conversions keep every converted event at its own tick.
TEST(LyricsThroughFiles, CorpusKaraokeFilesConvertInTime) {
  const std::filesystem::path corpus = QUAVERLY_CORPUS;
  const std::vector<std::filesystem::path> files = {
      corpus / "dmidiplayer-examples/examples/twinkle.kar",
      corpus / "dmidiplayer-examples/examples/Negra_Sombra.kar",
      corpus / "jazz-soft-test-midi-files/midi/test-karaoke-kar.mid"};
  if (!std::filesystem::exists(files[0])) GTEST_SKIP() << "no corpus at " << corpus;
  for (const auto& path : files) {
    SCOPED_TRACE(path.string());
    const ReadResult read = ReadMidiFile(path, ReadMode::kDisplay);
    ASSERT_EQ(read.outcome, ReadOutcome::kComplete);
    int words = 0;
    for (int t = 0; t < read.song.Header.TrackCount; ++t) {
      if (CountMeta(read.song, t, meta::kText) > CountMeta(read.song, words, meta::kText)) {
        words = t;
      }
    }
    std::map<int32_t, int> text_ticks;
    for (const auto& [tick, text] : MetaAt(read.song.Tracks[words], meta::kText)) {
      ++text_ticks[tick];
    }

    Song kept = read.song;
    ASSERT_TRUE(TextToLyrics(kept, words, true));
    const Song back = WrittenAndRead(kept);
    std::map<int32_t, int> lyric_ticks;
    for (const auto& [tick, text] : MetaAt(back.Tracks[words], meta::kLyric)) ++lyric_ticks[tick];
    EXPECT_EQ(lyric_ticks, text_ticks);
    EXPECT_EQ(MetaAt(back.Tracks[words], meta::kText),
              MetaAt(read.song.Tracks[words], meta::kText));

    Song karaoke = back;
    ASSERT_TRUE(LyricsToText(karaoke, words, KaraokeInfo{}));
    const Song karaoke_back = WrittenAndRead(karaoke);
    std::map<int32_t, int> word_ticks;
    const Placed converted = MetaAt(karaoke_back.Tracks[2], meta::kText);
    for (std::size_t i = 6; i < converted.size(); ++i) ++word_ticks[converted[i].first];
    for (const auto& [tick, count] : word_ticks) EXPECT_TRUE(lyric_ticks.contains(tick)) << tick;
  }
}

}  // namespace
}  // namespace quaverly
