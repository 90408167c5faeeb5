#include <gtest/gtest.h>
#include <sys/stat.h>

#include "TempDir.h"
#include "song/FileIo.h"

namespace quaverly {
namespace {

using testing::ReadAll;
using testing::TempDir;

TEST(FileIo, LoadingAMissingFileFailsWithoutCreatingIt) {
  TempDir dir;
  const auto missing = dir / "missing.mid";
  const LoadResult r = LoadFile(missing);
  EXPECT_FALSE(r.ok());
  EXPECT_NE(r.error.find("missing.mid"), std::string::npos);
  EXPECT_NE(r.error.find("No such file"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(missing));
  EXPECT_FALSE(LoadFile(dir.path()).ok());

  // Neither a FIFO without a writer nor an endless device may hang the program.
  const auto fifo = dir / "pipe.mid";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_NE(LoadFile(fifo).error.find("Not a regular file"), std::string::npos);
  EXPECT_FALSE(LoadFile("/dev/zero").ok());
}

TEST(FileIo, StoreReplacesWholeFileKeepsModeAndLeavesNoTemporaries) {
  TempDir dir;
  const auto target = dir / "song.mid";
  const std::vector<uint8_t> longer(100, 'x');
  ASSERT_EQ(StoreFileAtomically(target, longer), "");
  ::chmod(target.c_str(), 0640);
  const std::vector<uint8_t> shorter{'a', 'b'};
  ASSERT_EQ(StoreFileAtomically(target, shorter), "");
  EXPECT_EQ(ReadAll(target), "ab");
  struct stat st {};
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(FileIo, FailedStoreNamesTheFileAndLeavesTheOldOneAlone) {
  TempDir dir;
  const std::vector<uint8_t> data{'a'};
  const std::string no_folder = StoreFileAtomically(dir / "nowhere" / "x.mid", data);
  EXPECT_NE(no_folder.find("cannot write"), std::string::npos);
  EXPECT_NE(no_folder.find("x.mid"), std::string::npos);

  // A folder in the target's place cannot be replaced by a file.
  std::filesystem::create_directory(dir / "taken.mid");
  EXPECT_NE(StoreFileAtomically(dir / "taken.mid", data), "");
  EXPECT_TRUE(std::filesystem::is_directory(dir / "taken.mid"));
}

}  // namespace
}  // namespace quaverly
