#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "MidiBuilder.h"
#include "TempDir.h"
#include "cli/RunProcess.h"

namespace quaverly::testing {
namespace {

std::string Write(const TempDir& dir, const std::string& name, const MidiBuilder& b) {
  const auto path = dir / name;
  WriteBytes(path, b.bytes());
  return path.string();
}

// Files that between them hold every kind of event the listing knows.
std::vector<MidiBuilder> EveryEventKind() {
  std::vector<MidiBuilder> files;
  std::string all_bytes;
  for (int c = 0; c < 256; ++c) all_bytes += static_cast<char>(c);

  MidiBuilder& f1 = files.emplace_back();
  f1.Header(1, 3, 480)
      .BeginTrack()
      .Meta(0, 0x00, std::string("\x00\x07", 2))
      .Meta(0, 0x03, "Tempo \"map\" \\ track")
      .Meta(0, 0x02, "\xA9 2026")
      .Meta(0, 0x01, all_bytes)
      .Meta(0, 0x58, "\x06\x03\x18\x08")
      .Meta(0, 0x59, "\xFD\x01")
      .Meta(0, 0x59, "\x04\x00")
      .Tempo(0, 500000)
      .Meta(0, 0x54, std::string("\x60\x00\x03\x1D\x00", 5))
      .Meta(0, 0x7F, std::string("\x00\x00\x41\x01", 4))
      .Meta(0, 0x4B, "unknown")
      .Meta(0, 0x21, std::string("\x00", 1))
      .Meta(0, 0x20, "\x09")
      .Tempo(200000, 600000)  // three-byte delta
      .EndTrack(300000000 & 0x0FFFFFFF)
      .BeginTrack()
      .Meta(0, 0x04, "Piano")
      .Event(0, {0xC0, 0x05})
      .Event(0, {0xB0, 0x07, 0x64})
      .Event(0, {0x0A, 0x40})  // running status
      .Event(96, {0x90, 0x3C, 0x64})
      .Event(96, {0x3E, 0x64})
      .Meta(0, 0x05, "Hel")
      .Event(0, {0x40, 0x64})  // running status after a meta event
      .SysEx(0, 0xF0, "\x43\x10\x4C\x00\x00\x7E\x00\xF7")
      .Event(0, {0x41, 0x00})  // and after sysex
      .SysEx(10, 0xF7, "\xF0\x01")
      .Event(20, {0x80, 0x3C, 0x40})
      .Event(0, {0xA1, 0x3C, 0x10})
      .Event(0, {0xD2, 0x30})
      .Event(0, {0x31})
      .Event(0, {0xE3, 0x00, 0x40})
      .Event(0, {0x7F, 0x7F})
      .Event(0, {0xF1})
      .Event(0, {0xF8})
      .Event(0, {0xFE})
      .Meta(5, 0x06, "Chorus")
      .Meta(0, 0x07, "cue")
      .EndTrack(1)
      .BeginTrack()
      .EndTrack();

  MidiBuilder& f2 = files.emplace_back();  // SMPTE division, format 0
  f2.Header(0, 1, -7936 + 40)
      .BeginTrack()
      .Event(0, {0x9F, 0x00, 0x7F})
      .Event(0x7F, {0x00, 0x00})
      .Event(0x80, {0x8F, 0x00, 0x00})
      .Meta(0x3FFF, 0x01, std::string(300, 'x'))
      .EndTrack(0x4000);

  MidiBuilder& f3 = files.emplace_back();  // format 2, empty text, lyrics with line ends
  f3.Header(2, 2, 96)
      .BeginTrack()
      .Meta(0, 0x01, "")
      .Meta(0, 0x05, "\r")
      .Meta(0, 0x05, "line\n")
      .EndTrack()
      .BeginTrack()
      .Meta(0, 0x03, "second")
      .EndTrack(5);
  return files;
}

TEST(Cli, CsvMatchesMidicsvAndSurvivesACopy) {
  const bool have_midicsv = HaveMidicsv();
  TempDir dir;
  int n = 0;
  for (const MidiBuilder& file : EveryEventKind()) {
    const std::string path = Write(dir, "f" + std::to_string(++n) + ".mid", file);
    SCOPED_TRACE(path);
    const ProcessResult ours = RunCli({"csv", path});
    ASSERT_EQ(ours.status, 0) << ours.err;
    EXPECT_EQ(ours.err, "");
    if (have_midicsv) {
      const ProcessResult theirs = RunProcess("midicsv", {path});
      ASSERT_EQ(theirs.status, 0) << theirs.err;
      EXPECT_EQ(ours.out, theirs.out);
    }
    const std::string copy = (dir / ("copy" + std::to_string(n) + ".mid")).string();
    const ProcessResult copied = RunCli({"copy", path, copy});
    ASSERT_EQ(copied.status, 0) << copied.err;
    EXPECT_EQ(RunCli({"csv", copy}).out, ours.out);
  }
  if (!have_midicsv) GTEST_SKIP() << "midicsv is not installed: only the copies were compared";
}

TEST(Cli, ExitStatusesAndMessages) {
  TempDir dir;
  const std::string good =
      Write(dir, "good.mid", MidiBuilder().Header(0, 1, 96).BeginTrack().EndTrack());
  const std::string not_midi = Write(dir, "text.mid", MidiBuilder().Text("RIFF....."));
  // A chunk claiming more bytes than the file holds.
  const std::string cut = Write(
      dir, "cut.mid", MidiBuilder().Header(0, 1, 96).Tag("MTrk").Long(100).Event(0, {0x90, 0x3C}));
  const std::string missing = (dir / "missing.mid").string();

  EXPECT_EQ(RunCli({}).status, 2);
  EXPECT_EQ(RunCli({"frobnicate"}).status, 2);
  EXPECT_EQ(RunCli({"csv"}).status, 2);
  EXPECT_EQ(RunCli({"copy", good}).status, 2);
  EXPECT_EQ(RunCli({"info", good, good}).status, 2);

  const ProcessResult help = RunCli({"--help"});
  EXPECT_EQ(help.status, 0);
  for (const char* command : {"info FILE", "csv FILE", "copy IN OUT"}) {
    EXPECT_NE(help.out.find(command), std::string::npos) << command;
  }
  EXPECT_EQ(RunCli({"--version"}).out.rfind("quaverly-cli ", 0), 0u);

  const ProcessResult info = RunCli({"info", good});
  EXPECT_EQ(info.status, 0) << info.err;
  EXPECT_NE(info.out.find("Format: Type 0\n"), std::string::npos) << info.out;

  for (const char* command : {"info", "csv", "copy"}) {
    SCOPED_TRACE(command);
    std::vector<std::string> args = {command, missing};
    if (std::string(command) == "copy") args.push_back((dir / "out.mid").string());
    const ProcessResult r = RunCli(args);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(missing), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(missing));  // reading never creates a file

    args[1] = not_midi;
    const ProcessResult nm = RunCli(args);
    EXPECT_EQ(nm.status, 1);
    EXPECT_NE(nm.err.find(not_midi + ": Not a standard MIDI file."), std::string::npos) << nm.err;

    args[1] = cut;
    const ProcessResult damaged = RunCli(args);
    EXPECT_EQ(damaged.status, 1);
    EXPECT_NE(damaged.err.find(cut + ": Cound not read entire file!"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir / "out.mid"));  // no truncated copy
  }

  // The window's description of a damaged file is still shown.
  EXPECT_NE(RunCli({"info", cut}).out.find("Cound not read entire file!"), std::string::npos);

  const std::string unwritable = (dir / "no-folder" / "out.mid").string();
  const ProcessResult failed = RunCli({"copy", good, unwritable});
  EXPECT_EQ(failed.status, 1);
  EXPECT_NE(failed.err.find(unwritable), std::string::npos) << failed.err;
}

}  // namespace
}  // namespace quaverly::testing
