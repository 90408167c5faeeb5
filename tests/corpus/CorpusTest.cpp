// Real files that nobody here wrote: each gives a clear outcome in both modes; on well-formed
// ones our listing equals midicsv's and a read-write round trip keeps every event.

#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <map>
#include <string>

#include "cli/RunProcess.h"
#include "reader/ReadMidiFile.h"
#include "writer/MidiCsv.h"
#include "writer/WriteMidiFile.h"

namespace quaverly {
namespace {

namespace fs = std::filesystem;
using enum ReadOutcome;

TEST(Corpus, OutcomesListingsAndRoundTrips) {
  const fs::path root = QUAVERLY_CORPUS;
  if (!fs::is_directory(root)) GTEST_SKIP() << "no corpus at " << root;
  const bool have_midicsv = testing::HaveMidicsv();
  // Files whose fault is known, and the outcome it calls for; every other file reads whole.
  const std::map<std::string, ReadOutcome> broken = {
      {"test-empty-file.mid", kNotMidi},
      {"test-not-a-midi-file.mid", kNotMidi},
      {"MIDIBadHeaderChunk.mid", kNotMidi},
      {"test-corrupt-file-missing-byte.mid", kDamaged},
      {"MIDIBadTrackLength.mid", kDamaged}};
  std::map<ReadOutcome, int> outcomes;
  int compared = 0;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
    const std::string ext = entry.path().extension().string();
    if (!entry.is_regular_file() || (ext != ".mid" && ext != ".kar")) continue;
    const fs::path& file = entry.path();
    SCOPED_TRACE(file.string());
    const ReadResult read = ReadMidiFile(file, ReadMode::kDisplay);
    ++outcomes[read.outcome];
    const auto known = broken.find(file.filename().string());
    EXPECT_EQ(read.outcome, known == broken.end() ? kComplete : known->second);
    if (file.filename() == "test-non-midi-track.mid") {  // a foreign chunk hides no track
      EXPECT_EQ(read.song.Tracks.size(), 1u);
    }
    const ReadResult catalog = ReadMidiFile(file, ReadMode::kCatalog);
    EXPECT_EQ(catalog.outcome, read.outcome);
    if (read.outcome != kComplete) {
      EXPECT_EQ(read.report.FileInfo, read.outcome == kNotMidi ? kNotMidiText : kDamagedText);
      continue;
    }
    const std::string csv = MidiCsv(read.song);
    const ReadResult again = ReadMidiBytes(SerializeMidi(read.song), ReadMode::kDisplay);
    ASSERT_EQ(again.outcome, kComplete);
    EXPECT_EQ(MidiCsv(again.song), csv);

    // midicsv ignores a header's stated length, so only standard headers compare.
    if (!have_midicsv || read.song.Header.Length != 6) continue;
    const testing::ProcessResult midicsv = testing::RunProcess("midicsv", {file.string()});
    // Unless midicsv complained or met a data byte without a status (listed "Unknown_event,
    // 00x"): such bytes follow illegal system messages, which the two tools skip differently.
    if (midicsv.status == 0 && midicsv.err.empty() &&
        midicsv.out.find(", Unknown_event, 00x\n") == std::string::npos) {
      ++compared;
      EXPECT_EQ(csv, midicsv.out);
    }
  }
  EXPECT_GT(outcomes[kComplete], 200);
  std::cout << outcomes[kComplete] << " files read whole, " << compared
            << " of them compared with midicsv" << (have_midicsv ? "\n" : " (not installed)\n");
}

}  // namespace
}  // namespace quaverly
