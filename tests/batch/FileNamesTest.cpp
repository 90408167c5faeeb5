#include <gtest/gtest.h>

#include "batch/BatchTestFiles.h"
#include "batch/FileNames.h"

namespace quaverly {
namespace {

namespace fs = std::filesystem;
using testing::ReadAll;
using testing::TempDir;
using testing::WriteText;

TEST(FileNamesTest, KaraokeNames) {
  TempDir dir;
  const fs::path m = dir / "M";
  for (const char* name : {"song.mid", "Song.MID", "a.KAR.MID", "tune.midi"}) {
    WriteText(m / name, name);
  }
  EXPECT_EQ(RenameKaraokeFile(m / "song.mid").path, m / "song.kar.mid");
  EXPECT_EQ(RenameKaraokeFile(m / "Song.MID").path, m / "Song.kar.mid");
  const RenameStep left = RenameKaraokeFile(m / "a.KAR.MID");
  EXPECT_FALSE(left.renamed);
  EXPECT_TRUE(left.error.empty());
  EXPECT_EQ(RenameKaraokeFile(m / "tune.midi").path, m / "tune.midi.kar.mid");
  EXPECT_EQ(ReadAll(m / "Song.kar.mid"), "Song.MID");
  EXPECT_EQ(ReadAll(m / "a.KAR.MID"), "a.KAR.MID");
}

TEST(FileNamesTest, RenamesNeverReplaceAFile) {
  TempDir dir;
  WriteText(dir / "x.mid", "x");
  WriteText(dir / "x.kar.mid", "taken");
  const RenameStep step = RenameKaraokeFile(dir / "x.mid");
  EXPECT_FALSE(step.renamed);
  EXPECT_EQ(step.path, dir / "x.mid");
  EXPECT_NE(step.error.find("File exists"), std::string::npos) << step.error;
  EXPECT_EQ(ReadAll(dir / "x.mid"), "x");
  EXPECT_EQ(ReadAll(dir / "x.kar.mid"), "taken");

  // A folder of the target name is not replaced either.
  fs::create_directory(dir / "y.kar.mid");
  WriteText(dir / "y.mid", "y");
  EXPECT_FALSE(RenameKaraokeFile(dir / "y.mid").renamed);
  EXPECT_FALSE(RenameNoReplace(dir / "missing.mid", dir / "z.mid").empty());
}

TEST(FileNamesTest, SpaceConversionAndNumberedNames) {
  TempDir dir;
  const fs::path m = dir / "M";
  const auto under = SpaceDirection::kSpaceToUnderscore;
  const auto space = SpaceDirection::kUnderscoreToSpace;

  WriteText(m / "my_song.mid", "1");
  EXPECT_EQ(ConvertSpaces(m / "my_song.mid", space).path, m / "my song.mid");

  WriteText(m / "my_song.mid", "2");
  EXPECT_EQ(ConvertSpaces(m / "my song.mid", under).path, m / "my_song 1.mid");
  WriteText(m / "my song.mid", "3");
  EXPECT_EQ(ConvertSpaces(m / "my song.mid", under).path, m / "my_song 2.mid");
  EXPECT_EQ(ReadAll(m / "my_song.mid"), "2");
  EXPECT_EQ(ReadAll(m / "my_song 1.mid"), "1");

  WriteText(m / "track_07.mid", "");
  WriteText(m / "track 07.mid", "");
  EXPECT_EQ(ConvertSpaces(m / "track_07.mid", space).path, m / "track  8.mid");

  WriteText(m / "a b.kar.mid", "");
  WriteText(m / "a_b.kar.mid", "");
  EXPECT_EQ(ConvertSpaces(m / "a b.kar.mid", under).path, m / "a_b.kar 1.mid");

  WriteText(m / "plain.mid", "");
  const RenameStep plain = ConvertSpaces(m / "plain.mid", space);
  EXPECT_FALSE(plain.renamed);
  EXPECT_TRUE(plain.target.empty());

  // A name differing in letter case only is returned as it is, taken or not.
  WriteText(m / "CASE.mid", "");
  EXPECT_EQ(MakeUniqueName(m / "case.mid", m / "CASE.mid"), m / "CASE.mid");
  // The number goes into the file name even when a folder name holds a dot.
  WriteText(dir / "x.y" / "a .mid", "");
  EXPECT_EQ(MakeUniqueName(dir / "x.y" / "a_.mid", dir / "x.y" / "a .mid"),
            dir / "x.y" / "a  1.mid");
}

TEST(FileNamesTest, SpaceConversionChangesTheFileNameOnly) {
  TempDir dir;
  const fs::path folder = dir / "my_music";
  WriteText(folder / "x_y.mid", "x");
  fs::create_directories(dir / "my music");
  const RenameStep step = ConvertSpaces(folder / "x_y.mid", SpaceDirection::kUnderscoreToSpace);
  EXPECT_EQ(step.path, folder / "x y.mid");
  EXPECT_TRUE(fs::is_empty(dir / "my music"));

  const fs::path spaced = dir / "my music";
  WriteText(spaced / "p q.mid", "p");
  EXPECT_EQ(ConvertSpaces(spaced / "p q.mid", SpaceDirection::kSpaceToUnderscore).path,
            spaced / "p_q.mid");
}

}  // namespace
}  // namespace quaverly
