// Real files that nobody here wrote: each gives a clear outcome in both modes, the broken
// ones the outcome their fault calls for, and every track's events fit their vector exactly.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "reader/ReadMidiFile.h"
#include "song/NumberText.h"

namespace quaverly {
namespace {

namespace fs = std::filesystem;

TEST(CorpusRead, EveryFileGetsAClearOutcome) {
  const fs::path root = QUAVERLY_CORPUS;
  if (!fs::is_directory(root)) GTEST_SKIP() << "no corpus at " << root;
  const std::map<std::string, ReadOutcome> broken = {
      {"test-empty-file.mid", ReadOutcome::kNotMidi},
      {"test-not-a-midi-file.mid", ReadOutcome::kNotMidi},
      {"MIDIBadHeaderChunk.mid", ReadOutcome::kNotMidi},
      {"test-corrupt-file-missing-byte.mid", ReadOutcome::kDamaged},
      {"MIDIBadTrackLength.mid", ReadOutcome::kDamaged},
  };
  int files = 0;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
    const std::string ext = entry.path().extension().string();
    if (!entry.is_regular_file() || (ext != ".mid" && ext != ".kar")) continue;
    SCOPED_TRACE(entry.path().string());
    ++files;
    const ReadResult r = ReadMidiFile(entry.path(), ReadMode::kDisplay);
    const auto it = broken.find(entry.path().filename().string());
    EXPECT_EQ(r.outcome, it == broken.end() ? ReadOutcome::kComplete : it->second);
    for (const Track& t : r.song.Tracks) {
      // A damaged track may have room for the one event that broke off.
      EXPECT_LE(t.Events.capacity(), t.Events.size() + (r.outcome == ReadOutcome::kDamaged));
    }
    const ReadResult c = ReadMidiFile(entry.path(), ReadMode::kCatalog);
    EXPECT_EQ(c.outcome, r.outcome);
    if (c.catalog_filled) {
      EXPECT_EQ(c.CatalogInfo[0], NumberText(r.song.Header.Format));
    }
  }
  EXPECT_GT(files, 200);
}

// A foreign chunk before the only track no longer hides it.
TEST(CorpusRead, TrackAfterAForeignChunkIsRead) {
  const fs::path file =
      fs::path(QUAVERLY_CORPUS) / "jazz-soft-test-midi-files/midi/test-non-midi-track.mid";
  if (!fs::exists(file)) GTEST_SKIP() << "no " << file;
  const ReadResult r = ReadMidiFile(file, ReadMode::kDisplay);
  ASSERT_EQ(r.outcome, ReadOutcome::kComplete);
  ASSERT_EQ(r.song.Tracks.size(), 1u);
  EXPECT_EQ(r.song.Tracks[0].Name, "Non-MIDI Track Test");
}

}  // namespace
}  // namespace quaverly
