#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "batch/BatchTestFiles.h"
#include "batch/ProcessFolder.h"

namespace quaverly {
namespace {

namespace fs = std::filesystem;
using testing::CrLfLines;
using testing::Format0Karaoke;
using testing::Format1Song;
using testing::MidiBuilder;
using testing::ReadAll;
using testing::TempDir;
using testing::WriteFile;
using testing::WriteText;

const std::string kSong = " Type: 1 120BPM  4/4 Key:C Res: 480 Tracks: 2";

std::vector<std::string> RunCatalog(const fs::path& start, const BatchOptions& options,
                                    const fs::path& catalog, BatchResult* out = nullptr) {
  BatchResult result = RunBatch(start, options, catalog, nullptr);
  EXPECT_TRUE(result.ok()) << result.error;
  if (out != nullptr) *out = result;
  return CrLfLines(ReadAll(catalog));
}

TEST(ProcessFolderTest, TreeIsWalkedDepthFirstWithOneBlockPerFolder) {
  TempDir dir;
  const fs::path m = dir / "M";
  WriteFile(m / "b.mid", Format1Song());
  WriteFile(m / "a.mid", Format1Song());
  WriteFile(m / "X" / "c.mid", Format1Song());
  fs::create_directories(m / "Y");
  WriteText(m / "notes.txt", "not visited");
  WriteText(m / ".hidden.mid", "not visited");
  fs::create_directories(m / ".cache");
  WriteFile(m / ".cache" / "d.mid", Format1Song());

  BatchOptions options;
  BatchResult result;
  const auto lines = RunCatalog(m, options, dir / "FileInfo.TXT", &result);
  const std::vector<std::string> expected = {"------- Catalog of Midi Information -------",
                                             "Starting from " + m.string(),
                                             "",
                                             m.string(),
                                             "",
                                             "a.mid",
                                             kSong,
                                             "b.mid",
                                             kSong,
                                             "",
                                             (m / "X").string(),
                                             "",
                                             "c.mid",
                                             kSong,
                                             "",
                                             (m / "Y").string(),
                                             ""};
  EXPECT_EQ(lines, expected);
  EXPECT_EQ(result.files_read, 3);
  EXPECT_EQ(result.renamed, 0);

  // Without subfolders, an empty folder yields its three lines alone.
  options.include_subfolders = false;
  EXPECT_EQ(RunCatalog(m / "Y", options, dir / "y.txt"),
            (std::vector<std::string>{"------- Catalog of Midi Information -------",
                                      "Starting from " + (m / "Y").string(), "", (m / "Y").string(),
                                      ""}));
}

TEST(ProcessFolderTest, InformationLineForms) {
  TempDir dir;
  const fs::path m = dir / "M";
  WriteText(m / "1fake.mid", "plain text, renamed to look like MIDI\n");
  MidiBuilder one_track;
  one_track.Header(1, 1, 480).BeginTrack().Tempo(0, 500000).EndTrack();
  WriteFile(m / "2single.mid", one_track.bytes());
  std::vector<uint8_t> cut = Format1Song(2);  // cut inside the second track
  cut.resize(cut.size() - 5);
  WriteFile(m / "3cut.mid", cut);
  WriteFile(m / "4kar.mid", Format1Song(2, true));
  MidiBuilder bare;  // no tempo, key or time signature before the stop point
  bare.Header(1, 5, 480);
  for (int t = 0; t < 5; ++t) bare.BeginTrack().Event(0, {0x90, 60, 1}).EndTrack();
  WriteFile(m / "5bare.MID", bare.bytes());

  BatchOptions options;
  options.rename_karaoke = false;
  BatchResult result;
  const auto lines = RunCatalog(m, options, dir / "c.txt", &result);
  const std::vector<std::string> records(lines.begin() + 5, lines.end());
  EXPECT_EQ(records,
            (std::vector<std::string>{"1fake.mid", "Midi Header Not Found!", "2single.mid",
                                      "Midi Header Not Found!", "3cut.mid",
                                      " Type:?Damaged?BPM  Key: Res: Tracks:", "4kar.mid",
                                      " Type: 1kar 120BPM  4/4 Key:C Res: 480 Tracks: 2",
                                      "5bare.MID", " Type: 1 0BPM  0/0 Key:C Res: 480 Tracks: 5"}));
  EXPECT_EQ(result.files_read, 5);
  EXPECT_EQ(result.not_midi, 2);
  EXPECT_EQ(result.damaged, 1);
  EXPECT_TRUE(fs::exists(m / "4kar.mid"));  // renaming was off
}

TEST(ProcessFolderTest, KaraokeRenameKeepsTheOldNameInTheRecordAndRefusesTakenNames) {
  TempDir dir;
  const fs::path m = dir / "M";
  WriteFile(m / "a song.mid", Format1Song(2, true));
  WriteFile(m / "b.mid", Format1Song(2, true));
  WriteText(m / "b.kar.mid", "already here");
  WriteFile(m / "c.mid", Format0Karaoke());
  WriteFile(m / "d.mid", Format1Song(2, true));

  BatchOptions options;
  options.convert_spaces = true;
  options.spaces = SpaceDirection::kSpaceToUnderscore;
  BatchResult result;
  const auto lines = RunCatalog(m, options, dir / "c.txt", &result);
  EXPECT_EQ(lines[5], "a song.mid");
  EXPECT_TRUE(fs::exists(m / "a_song.kar.mid"));
  // The refused rename leaves both files as they were, and the walk goes on.
  EXPECT_EQ(ReadAll(m / "b.kar.mid"), "already here");
  EXPECT_TRUE(fs::exists(m / "b.mid"));
  ASSERT_EQ(result.refused.size(), 1u);
  EXPECT_NE(result.refused[0].find("b.kar.mid"), std::string::npos);
  EXPECT_TRUE(fs::exists(m / "c.mid"));  // format 0 carries no karaoke mark
  EXPECT_TRUE(fs::exists(m / "d.kar.mid"));
  EXPECT_EQ(result.renamed, 2);
  // Renamed files are not visited again.
  EXPECT_EQ(result.files_visited, 5);
}

TEST(ProcessFolderTest, CatalogOffReadsNothingWritesNothingAndStillConvertsSpaces) {
  TempDir dir;
  const fs::path m = dir / "M";
  WriteFile(m / "my_song.mid", Format1Song(2, true));
  WriteFile(m / "sub_dir" / "x_y.mid", Format1Song(2, true));

  BatchOptions options;
  options.catalog = false;
  BatchResult result = RunBatch(m, options, dir / "c.txt", nullptr);
  EXPECT_TRUE(result.ok());
  EXPECT_EQ(result.files_read, 0);
  EXPECT_EQ(result.files_visited, 2);
  EXPECT_FALSE(fs::exists(dir / "c.txt"));
  EXPECT_TRUE(fs::exists(m / "my_song.mid"));  // no karaoke rename without a catalog

  options.convert_spaces = true;
  result = RunBatch(m, options, dir / "c.txt", nullptr);
  EXPECT_EQ(result.renamed, 2);
  EXPECT_TRUE(fs::exists(m / "my song.mid"));
  // Only the file name changes; the folder keeps its underscore.
  EXPECT_TRUE(fs::exists(m / "sub_dir" / "x y.mid"));
  EXPECT_FALSE(fs::exists(m / "sub dir"));
}

class CancelAfter : public BatchListener {
 public:
  explicit CancelAfter(int files) : files_(files) {}
  void FileStarted(int files_done, const fs::path& file) override {
    EXPECT_EQ(files_done, static_cast<int>(seen.size()));
    seen.push_back(file.filename().string());
  }
  bool CancelRequested() override { return static_cast<int>(seen.size()) >= files_; }
  std::vector<std::string> seen;

 private:
  int files_;
};

TEST(ProcessFolderTest, CancelStopsAfterTheCurrentFileWithAValidCatalog) {
  TempDir dir;
  const fs::path m = dir / "M";
  for (const char* name : {"a.mid", "b.mid", "c.mid"}) WriteFile(m / name, Format1Song());
  WriteFile(m / "X" / "d.mid", Format1Song());
  WriteText(dir / "c.txt", "old catalog");

  CancelAfter listener(2);
  const BatchResult result = RunBatch(m, BatchOptions{}, dir / "c.txt", &listener);
  EXPECT_TRUE(result.ok());
  EXPECT_TRUE(result.cancelled);
  EXPECT_EQ(listener.seen, (std::vector<std::string>{"a.mid", "b.mid"}));
  const auto lines = CrLfLines(ReadAll(dir / "c.txt"));
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[7], "b.mid");

  // No temporary file is left beside the catalog.
  int entries = 0;
  for (const auto& entry : fs::directory_iterator(dir.path())) entries += entry.exists();
  EXPECT_EQ(entries, 2);
}

class FailingSink : public CatalogSink {
 public:
  std::string WriteLine(std::string_view) override {
    return ++lines_ > 4 ? "cannot write c.txt: No space left on device" : "";
  }

 private:
  int lines_ = 0;
};

TEST(ProcessFolderTest, FailuresStopTheRunAndAreReported) {
  TempDir dir;
  const fs::path m = dir / "M";
  WriteFile(m / "a.mid", Format1Song());
  WriteFile(m / "b_c.mid", Format1Song());
  FailingSink sink;
  BatchOptions options;
  options.convert_spaces = true;
  const BatchResult result = ProcessFolder(m, options, &sink, nullptr);
  EXPECT_EQ(result.error, "cannot write c.txt: No space left on device");
  EXPECT_TRUE(fs::exists(m / "b_c.mid"));  // the walk stopped before it

  const BatchResult missing = RunBatch(dir / "nowhere", BatchOptions{}, dir / "c.txt", nullptr);
  EXPECT_NE(missing.error.find("nowhere"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir / "c.txt"));

  // A catalog that cannot be created leaves the walk undone.
  const BatchResult unwritable = RunBatch(m, options, dir / "no-such-folder" / "c.txt", nullptr);
  EXPECT_NE(unwritable.error.find("no-such-folder"), std::string::npos);
  EXPECT_TRUE(fs::exists(m / "b_c.mid"));
}

TEST(ProcessFolderTest, LinksToFoldersAreNotFollowedAndManySubfoldersAreAllVisited) {
  TempDir dir;
  const fs::path m = dir / "M";
  WriteFile(m / "a.mid", Format1Song());
  fs::create_directory_symlink(m, m / "loop");
  fs::create_directory_symlink("..", m / "up");
  fs::create_symlink(m / "a.mid", m / "link.mid");
  for (int i = 0; i < 600; ++i) fs::create_directories(m / "many" / std::to_string(1000 + i));
  WriteFile(m / "many" / "1599" / "z.mid", Format1Song());

  BatchResult result;
  const auto lines = RunCatalog(m, BatchOptions{}, dir / "c.txt", &result);
  EXPECT_EQ(result.files_read, 3);  // a.mid, link.mid (a link to a file), z.mid
  EXPECT_EQ(lines.size(), 2u + 3 + 4 + 3 + 600 * 3 + 2);
  EXPECT_EQ(lines[lines.size() - 2], "z.mid");
}

}  // namespace
}  // namespace quaverly
