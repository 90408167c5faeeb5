#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "MidiBuilder.h"
#include "batch/FileNames.h"
#include "batch/ProcessFolder.h"
#include "cli/RunProcess.h"

namespace quaverly {
namespace {

namespace fs = std::filesystem;
using testing::ReadAll;
constexpr auto kUnder = SpaceDirection::kSpaceToUnderscore;

// Tempo and 4/4 in track 0 unless bare, a note in each other track, "@K" in track 1 if karaoke.
std::string Midi(int tracks, bool karaoke = false, bool bare = false) {
  testing::MidiBuilder b;
  b.Header(1, tracks, 480).BeginTrack();
  if (!bare) b.Tempo(0, 500000).Meta(0, 0x58, "\x04\x02\x18\x08");
  for (int t = 1; t < tracks; ++t) {
    b.EndTrack().BeginTrack();
    if (karaoke && t == 1) b.Meta(0, 1, "@KMIDI KARAOKE FILE");
    b.Event(0, {0x90, 60, 100}).Event(480, {0x80, 60, 0});
  }
  return b.EndTrack().str();
}

void Put(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

// Catalog text from lines ending in LF, "@" standing for the start folder.
std::string CrLf(const std::string& lines, const fs::path& start) {
  std::string text;
  for (char c : lines)
    text += c == '@' ? start.string() : c == '\n' ? std::string("\r\n") : std::string(1, c);
  return text;
}
const std::string kHead = "------- Catalog of Midi Information -------\nStarting from @\n\n@\n\n";

// Cancels the walk after two files; as a catalog, fails from its fifth line on.
struct Stopper : BatchListener, CatalogSink {
  void FileStarted(int files_done, const fs::path& file) override {
    EXPECT_EQ(files_done, static_cast<int>(seen.size()));
    seen.push_back(file.filename().string());
  }
  bool CancelRequested() override { return seen.size() >= 2; }
  std::string WriteLine(std::string_view) override { return ++lines > 4 ? "disk full" : ""; }
  std::vector<std::string> seen;
  int lines = 0;
};

TEST(Batch, WalkOfATree) {
  testing::TempDir dir;
  const fs::path m = dir / "M";
  const std::vector<std::string> files = {
      // name, bytes; cut.mid lacks 5 bytes, the last three are never visited
      "my_song.mid",     Midi(2, true),
      "D.MID",           Midi(5, false, true),
      "cut.mid",         Midi(2).substr(0, 57),
      "fake.mid",        "plain text\n",
      "single.mid",      Midi(1),
      "taken.kar.mid",   "already here",
      "taken.mid",       Midi(2, true),
      "sub_dir/x_y.mid", Midi(2),
      "notes.txt",       "",
      ".hidden.mid",     "",
      ".cache/e.mid",    ""};
  for (std::size_t i = 0; i < files.size(); i += 2) Put(m / files[i], files[i + 1]);
  fs::create_directories(m / "sub dir");
  fs::create_directory_symlink(m, m / "loop");  // a link to a folder above is not followed

  // Without a catalog nothing is read or written, and only spaces are converted, in file names.
  BatchOptions options;
  options.catalog = false;
  options.convert_spaces = true;
  const BatchResult off = RunBatch(m, options, dir / "c.txt", nullptr);
  EXPECT_EQ(std::tuple(off.error, off.files_visited, off.files_read, off.renamed),
            std::tuple("", 8, 0, 2));
  EXPECT_TRUE(!fs::exists(dir / "c.txt") && fs::exists(m / "my song.mid") &&
              fs::exists(m / "sub_dir" / "x y.mid") && fs::is_empty(m / "sub dir"));

  // The records after the head lines, sorted regardless of case, each file under the name it
  // had when it was read.
  const std::string records = R"(cut.mid
 Type:?Damaged?BPM  Key: Res: Tracks:
D.MID
 Type: 1 0BPM  0/0 Key:C Res: 480 Tracks: 5
fake.mid
Midi Header Not Found!
my song.mid
 Type: 1kar 120BPM  4/4 Key:C Res: 480 Tracks: 2
single.mid
Midi Header Not Found!
taken.kar.mid
Midi Header Not Found!
taken.mid
 Type: 1kar 120BPM  4/4 Key:C Res: 480 Tracks: 2

@/sub dir


@/sub_dir

x y.mid
 Type: 1 120BPM  4/4 Key:C Res: 480 Tracks: 2
)";
  // Cancel leaves a valid catalog and no temporary file; a failed write stops before renames.
  Stopper stopper, sink;
  const BatchResult cancelled = RunBatch(m, BatchOptions{}, dir / "c.txt", &stopper);
  EXPECT_TRUE(cancelled.ok() && cancelled.cancelled);
  EXPECT_EQ(stopper.seen, (std::vector<std::string>{"cut.mid", "D.MID"}));
  EXPECT_EQ(ReadAll(dir / "c.txt"), CrLf(kHead + records.substr(0, records.find("fake")), m));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
  options.catalog = true;
  options.spaces = kUnder;
  EXPECT_EQ(ProcessFolder(m, options, &sink, nullptr).error, "disk full");
  EXPECT_TRUE(fs::exists(m / "my song.mid"));

  // Renamed files are not read again; a refused rename is counted, listed, and harmless.
  const std::string catalog = (dir / "FileInfo.TXT").string();
  const testing::ProcessResult run = testing::RunCli(
      {"catalog", m.string(), "-o", catalog, "--rename-karaoke", "--spaces-to-underscores"});
  EXPECT_EQ(ReadAll(catalog), CrLf(kHead + records, m));
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(run.out.ends_with(
      ": 8 files read, 1 damaged, 3 without a MIDI header, 2 renamed, 1 renames refused\n"))
      << run.out;
  EXPECT_NE(run.err.find("taken.kar.mid: File exists"), std::string::npos) << run.err;
  EXPECT_TRUE(fs::exists(m / "my_song.kar.mid") && fs::exists(m / "sub_dir" / "x_y.mid"));
  EXPECT_EQ(ReadAll(m / "taken.kar.mid") + ReadAll(m / "taken.mid"),
            "already here" + Midi(2, true));

  // No limit on subfolders; without subfolders a folder yields its block alone.
  for (int i = 0; i < 600; ++i) fs::create_directories(m / "sub dir" / std::to_string(1000 + i));
  Put(m / "sub dir" / "1599" / "z.mid", Midi(2));
  EXPECT_EQ(RunBatch(m / "sub dir", BatchOptions{}, dir / "y.txt", nullptr).files_read, 1);
  EXPECT_TRUE(ReadAll(dir / "y.txt")
                  .ends_with(CrLf("1599\n\nz.mid\n" + records.substr(records.rfind(" Type")), m)));
  options.include_subfolders = false;
  ASSERT_TRUE(RunBatch(m / "sub dir", options, dir / "y.txt", nullptr).ok());
  EXPECT_EQ(ReadAll(dir / "y.txt"), CrLf(kHead, m / "sub dir"));
}

TEST(Batch, FileNames) {
  testing::TempDir dir;
  const fs::path m = dir / "x.y";  // a dot in the folder name must not take the number
  for (const char* name : {"Song.MID", "a.KAR.MID", "y.mid", "my_song.mid", "my_song 1.mid",
                           "track 07.mid", "a_b.kar.mid", "a .mid", "CASE.mid"})
    Put(m / name, name);
  EXPECT_EQ(KaraokeName(m / "tune.midi"), m / "tune.midi.kar.mid");
  EXPECT_EQ(RenameKaraokeFile(m / "Song.MID").path, m / "Song.kar.mid");
  const RenameStep kar = RenameKaraokeFile(m / "a.KAR.MID");
  EXPECT_TRUE(!kar.renamed && kar.error.empty() && fs::exists(m / "a.KAR.MID"));
  fs::create_directory(m / "y.kar.mid");  // a rename never replaces a folder either
  EXPECT_FALSE(RenameKaraokeFile(m / "y.mid").renamed);
  // A taken name gets the first free number after the one its last two characters hold.
  EXPECT_EQ(MakeUniqueName(m / "my song.mid", m / "my_song.mid"), m / "my_song 2.mid");
  EXPECT_EQ(MakeUniqueName(m / "track_07.mid", m / "track 07.mid"), m / "track  8.mid");
  EXPECT_EQ(MakeUniqueName(m / "a b.kar.mid", m / "a_b.kar.mid"), m / "a_b.kar 1.mid");
  EXPECT_EQ(MakeUniqueName(m / "a_.mid", m / "a .mid"), m / "a  1.mid");
  EXPECT_EQ(MakeUniqueName(m / "case.mid", m / "CASE.mid"), m / "CASE.mid");
}

TEST(Batch, CliExitStatusesAndAKilledRun) {
  testing::TempDir cli;
  const std::string f = cli.path().string(), out = (cli / "c.txt").string();
  const auto status = [](const std::vector<std::string>& args) {
    return testing::RunCli(args).status;
  };
  Put(cli / "a b.mid", Midi(2, true));
  // Usage errors exit with 2; a missing folder or an unwritable catalog with 1, renaming nothing.
  EXPECT_EQ(status({"catalog", f, "--underscores-to-spaces", "--spaces-to-underscores"}), 2);
  EXPECT_EQ(status({"catalog", (cli / "none").string(), "-o", out}), 1);
  EXPECT_EQ(status({"catalog", f, "-o", (cli / "none/c.txt").string(), "--rename-karaoke"}), 1);
  EXPECT_FALSE(fs::exists(out) || fs::exists(cli / "a b.kar.mid"));
  EXPECT_EQ(status({"catalog", f, "-o", out, "--rename-karaoke"}), 0);
  EXPECT_TRUE(fs::exists(cli / "a b.kar.mid"));
  EXPECT_EQ(status({"create-db", f}), 0);
  EXPECT_EQ(status({"create-db", f}), 1);

  // A catalog run killed at any moment leaves each file under its old name or its new one.
  std::mt19937 rng(std::random_device{}());
  int killed_midway = 0;
  for (int round = 0; round < 6; ++round) {
    testing::TempDir dir;
    const auto old = [&dir](int i) { return dir / "t" / ("song " + std::to_string(i) + ".mid"); };
    for (int i = 0; i < 400; ++i) Put(old(i), Midi(2, i % 3 != 0));
    const std::string seconds = std::to_string((1 + rng() % 40000) / 1e6);
    killed_midway +=
        testing::RunProcess(
            "timeout", {"-s", "KILL", seconds, QUAVERLY_CLI, "catalog", (dir / "t").string(), "-o",
                        (dir / "c.txt").string(), "--rename-karaoke", "--spaces-to-underscores"})
            .status == 137;
    for (int i = 0; i < 400; ++i) {
      const fs::path kar = KaraokeName(old(i));
      const int found = fs::exists(old(i)) + fs::exists(kar) +
                        fs::exists(SpacedName(old(i), kUnder)) +
                        fs::exists(SpacedName(kar, kUnder));
      EXPECT_EQ(found, 1) << old(i);
    }
  }
  // Not a check of speed: a machine fast enough to finish every run has nothing to show.
  if (killed_midway == 0) GTEST_SKIP() << "every run finished before it was killed";
}

}  // namespace
}  // namespace quaverly
