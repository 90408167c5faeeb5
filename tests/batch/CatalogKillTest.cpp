// A catalog run killed at any moment never loses a file: each one is left under its old name
// or its new one.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "batch/BatchTestFiles.h"
#include "batch/FileNames.h"

extern char** environ;

namespace quaverly {
namespace {

namespace fs = std::filesystem;
using testing::Format1Song;
using testing::TempDir;
using testing::WriteFile;

pid_t StartCli(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(QUAVERLY_CLI));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  const int rc = posix_spawn(&pid, QUAVERLY_CLI, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  EXPECT_EQ(rc, 0);
  return pid;
}

TEST(CatalogKillTest, EveryFileSurvivesUnderItsOldOrItsNewName) {
  std::mt19937 rng(std::random_device{}());
  const std::vector<uint8_t> karaoke = Format1Song(2, true);
  const std::vector<uint8_t> plain = Format1Song(3);
  int killed_midway = 0;
  for (int round = 0; round < 6; ++round) {
    TempDir dir;
    const fs::path tree = dir / "tree";
    std::vector<fs::path> originals;
    for (int i = 0; i < 400; ++i) {
      const fs::path file = tree / ("folder " + std::to_string(i % 4)) /
                            ((i % 3 == 0 ? "plain " : "song ") + std::to_string(i) + " x.mid");
      WriteFile(file, i % 3 == 0 ? plain : karaoke);
      originals.push_back(file);
    }
    const pid_t pid = StartCli({"catalog", tree.string(), "--output", (dir / "c.txt").string(),
                                "--rename-karaoke", "--spaces-to-underscores"});
    ASSERT_GT(pid, 0);
    std::this_thread::sleep_for(std::chrono::microseconds(rng() % 120000));
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    killed_midway += WIFSIGNALED(status);

    int midi_files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(tree)) {
      midi_files += entry.path().extension() == ".mid";
    }
    EXPECT_EQ(midi_files, 400) << "round " << round;
    for (const fs::path& old_name : originals) {
      const auto under = SpaceDirection::kSpaceToUnderscore;
      const fs::path kar = KaraokeName(old_name);
      const int present = fs::exists(old_name) + fs::exists(kar) +
                          fs::exists(SpacedName(old_name, under)) +
                          fs::exists(SpacedName(kar, under));
      EXPECT_EQ(present, 1) << old_name;
    }
  }
  // Not a check of speed: a machine fast enough to finish every run has nothing to show.
  if (killed_midway == 0) GTEST_SKIP() << "every run finished before it was killed";
}

int RunCli(const std::vector<std::string>& args) {
  const pid_t pid = StartCli(args);
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(CatalogKillTest, CliExitStatuses) {
  TempDir dir;
  WriteFile(dir / "a b.mid", Format1Song(2, true));
  EXPECT_EQ(RunCli({"catalog"}), 2);
  EXPECT_EQ(RunCli({"catalog", dir.path().string(), "--underscores-to-spaces",
                    "--spaces-to-underscores"}),
            2);
  EXPECT_EQ(RunCli({"catalog", (dir / "none").string(), "-o", (dir / "c.txt").string()}), 1);
  EXPECT_EQ(
      RunCli({"catalog", dir.path().string(), "-o", (dir / "c.txt").string(), "--rename-karaoke"}),
      0);
  EXPECT_TRUE(fs::exists(dir / "a b.kar.mid"));
  EXPECT_EQ(RunCli({"create-db", dir.path().string()}), 0);
  EXPECT_EQ(RunCli({"create-db", dir.path().string()}), 1);
}

}  // namespace
}  // namespace quaverly
