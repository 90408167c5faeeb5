#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "MidiBuilder.h"
#include "RunProcess.h"
#include "TempDir.h"

namespace quaverly::testing {
namespace {

// Files that between them hold every kind of event the listing knows.
std::vector<MidiBuilder> EveryEventKind() {
  std::string all_bytes;
  for (int c = 0; c < 256; ++c) all_bytes += static_cast<char>(c);
  std::vector<MidiBuilder> files(2);
  MidiBuilder& a = files[0];
  a.Header(1, 3, 480).BeginTrack().Meta(0, 0x00, std::string("\x00\x07", 2)).Meta(0, 1, "");
  a.Meta(0, 0x03, "Tempo \"map\" \\ track").Meta(0, 0x02, "\xA9 2026").Meta(0, 0x01, all_bytes);
  a.Meta(0, 0x58, "\x06\x03\x18\x08").Meta(0, 0x59, "\xFD\x01").Meta(0, 0x59, "\x04\x00");
  a.Tempo(0, 500000).Meta(0, 0x54, std::string("\x60\x00\x03\x1D\x00", 5));
  a.Meta(0, 0x7F, std::string("\x00\x00\x41\x01", 4)).Meta(0, 0x4B, "unknown");
  a.Meta(0, 0x21, std::string("\x00", 1)).Meta(0, 0x20, "\x09").Tempo(200000, 600000);
  a.EndTrack(300000000 & 0x0FFFFFFF).BeginTrack().Meta(0, 0x04, "Piano");
  // Running status after a control change, a meta event and a sysex event.
  a.Event(0, {0xC0, 0x05}).Event(0, {0xB0, 0x07, 0x64}).Event(0, {0x0A, 0x40});
  a.Event(96, {0x90, 0x3C, 0x64}).Event(96, {0x3E, 0x64}).Meta(0, 0x05, "Hel");
  a.Event(0, {0x40, 0x64}).SysEx(0, 0xF0, "\x43\x10\x4C\x00\x00\x7E\x00\xF7");
  a.Event(0, {0x41, 0x00}).SysEx(10, 0xF7, "\xF0\x01").Event(20, {0x80, 0x3C, 0x40});
  a.Event(0, {0xA1, 0x3C, 0x10}).Event(0, {0xD2, 0x30}).Event(0, {0x31});
  a.Event(0, {0xE3, 0x00, 0x40}).Event(0, {0x7F, 0x7F}).Event(0, {0xF1}).Event(0, {0xF8});
  a.Event(0, {0xFE}).Meta(5, 0x06, "Chorus").Meta(0, 0x07, "cue").EndTrack(1);
  a.BeginTrack().EndTrack();
  // SMPTE division, format 0, deltas at the byte boundaries.
  files[1].Header(0, 1, -7936 + 40).BeginTrack().Event(0, {0x9F, 0x00, 0x7F});
  files[1].Event(0x7F, {0x00, 0x00}).Event(0x80, {0x8F, 0x00, 0x00});
  files[1].Meta(0x3FFF, 0x01, std::string(300, 'x')).EndTrack(0x4000);
  return files;
}

TEST(Cli, CsvMatchesMidicsvAndSurvivesACopy) {
  const bool have_midicsv = HaveMidicsv();
  TempDir dir;
  int n = 0;
  for (const MidiBuilder& file : EveryEventKind()) {
    const std::string path = (dir / ("f" + std::to_string(++n) + ".mid")).string();
    const std::string copy = path + ".copy.mid";
    WriteBytes(path, file.bytes());
    SCOPED_TRACE(path);
    const ProcessResult ours = RunCli({"csv", path});
    ASSERT_EQ(ours.status, 0) << ours.err;
    EXPECT_EQ(ours.err, "");
    if (have_midicsv) {
      EXPECT_EQ(ours.out, RunProcess("midicsv", {path}).out);
    }
    ASSERT_EQ(RunCli({"copy", path, copy}).status, 0);
    EXPECT_EQ(RunCli({"csv", copy}).out, ours.out);
  }
  if (!have_midicsv) GTEST_SKIP() << "midicsv is not installed: only the copies were compared";
}

TEST(Cli, ExitStatusesAndMessages) {
  TempDir dir;
  const auto file = [&](const std::string& name, const MidiBuilder& b) {
    WriteBytes(dir / name, b.bytes());
    return (dir / name).string();
  };
  const std::string good = file("good.mid", MidiBuilder().Header(0, 1, 96).BeginTrack().EndTrack());
  const std::string not_midi = file("text.mid", MidiBuilder().Text("RIFF....."));
  const std::string cut =  // a chunk claiming more bytes than the file holds
      file("cut.mid", MidiBuilder().Header(0, 1, 96).Tag("MTrk").Long(100).Event(0, {0x90, 0x3C}));
  const std::string missing = (dir / "missing.mid").string();
  const std::string out = (dir / "out.mid").string();

  for (const std::vector<std::string>& usage : std::vector<std::vector<std::string>>{
           {}, {"frobnicate"}, {"csv"}, {"copy", good}, {"info", good, good}}) {
    EXPECT_EQ(RunCli(usage).status, 2) << ::testing::PrintToString(usage);
  }
  const std::string help = RunCli({"--help"}).out;
  for (const char* usage : {"info FILE", "csv FILE", "copy IN OUT"}) {
    EXPECT_NE(help.find(usage), std::string::npos) << usage;
  }
  const ProcessResult info = RunCli({"info", good});
  EXPECT_TRUE(info.status == 0 && info.out.starts_with("Format: Type 0\nTracks:  1\n")) << info.out;

  // Each command fails alike on a missing, a foreign and a damaged file, and copies nothing.
  const std::vector<std::pair<std::string, std::string>> failures = {
      {missing, missing + ": No such file"},
      {not_midi, not_midi + ": Not a standard MIDI file."},
      {cut, cut + ": Cound not read entire file!"}};
  for (const std::string command : {"info", "csv", "copy"}) {
    for (const auto& [input, message] : failures) {
      SCOPED_TRACE(command + " " + input);
      std::vector<std::string> args = {command, input};
      if (command == "copy") args.push_back(out);
      const ProcessResult r = RunCli(args);
      EXPECT_EQ(r.status, 1);
      EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
    }
  }
  EXPECT_FALSE(std::filesystem::exists(missing));  // reading never creates a file
  EXPECT_FALSE(std::filesystem::exists(out));      // nor does a failed copy

  // info still shows what the window shows for a file it could not read whole.
  EXPECT_EQ(RunCli({"info", not_midi}).out,
            "Format: Type --\nTracks: 0\nTime Signature: ?/?\nKey Signature: ?\nTempo: ???\n"
            "Copyright Text: \n\n[General]\nNot a standard MIDI file.\n\n[Text]\n\n[Lyrics]\n"
            "\n[Markers]\n");
  EXPECT_NE(RunCli({"info", cut}).out.find("Cound not read entire file!"), std::string::npos);

  const std::string unwritable = (dir / "no-folder" / "out.mid").string();
  const ProcessResult failed = RunCli({"copy", good, unwritable});
  EXPECT_EQ(failed.status, 1);
  EXPECT_NE(failed.err.find(unwritable), std::string::npos) << failed.err;
}

}  // namespace
}  // namespace quaverly::testing
