#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "MidiBuilder.h"
#include "TempDir.h"
#include "playback/Sequencer.h"

namespace quaverly::playback {
namespace {

using quaverly::testing::MidiBuilder;
using quaverly::testing::ReadAll;
using quaverly::testing::TempDir;
using quaverly::testing::WriteBytes;

std::vector<uint8_t> ShortSong() {
  return MidiBuilder()
      .Header(0, 1, 96)
      .BeginTrack()
      .Tempo(0, 500000)
      .Event(0, {0xC0, 0})
      .Event(0, {0x90, 60, 110})
      .Event(0, {0x90, 64, 110})
      .Event(96, {0x80, 60, 0})
      .Event(0, {0x80, 64, 0})
      .EndTrack(24)
      .bytes();
}

// Largest absolute 16-bit sample in the data chunk of a WAV file.
int PeakOfWav(const std::string& wav) {
  const size_t data = wav.find("data");
  if (data == std::string::npos) return -1;
  int peak = 0;
  for (size_t i = data + 8; i + 1 < wav.size(); i += 2) {
    const auto sample = static_cast<int16_t>(static_cast<uint8_t>(wav[i]) |
                                             (static_cast<uint8_t>(wav[i + 1]) << 8));
    peak = std::max(peak, std::abs(static_cast<int>(sample)));
  }
  return peak;
}

TEST(FluidSequencer, RendersAudibleSongToWavFile) {
  if (!FindSoundFont()) GTEST_SKIP() << "no General MIDI SoundFont installed";
  TempDir dir;
  WriteBytes(dir / "song.mid", ShortSong());
  const auto wav = dir / "out.wav";
  {
    FluidSequencer sequencer(FluidOptions{{"file"}, wav.string(), {}});
    ASSERT_EQ(sequencer.Open(dir / "song.mid"), "");
    EXPECT_TRUE(sequencer.IsOpen());
    ASSERT_EQ(sequencer.Play(), "");
    sequencer.Stop();
    EXPECT_FALSE(sequencer.IsPlaying());
    ASSERT_EQ(sequencer.Play(), "");  // from the start again
    sequencer.WaitUntilDone();
    EXPECT_FALSE(sequencer.IsPlaying());
    sequencer.Close();
    EXPECT_FALSE(sequencer.IsOpen());
  }
  const std::string audio = ReadAll(wav);
  ASSERT_GT(audio.size(), 44u);
  EXPECT_EQ(audio.substr(0, 4), "RIFF");
  EXPECT_GT(PeakOfWav(audio), 1000);
}

TEST(FluidSequencer, ReportsMissingSoundFontAndMissingFileWithoutOpening) {
  TempDir dir;
  WriteBytes(dir / "song.mid", ShortSong());
  FluidSequencer no_font(FluidOptions{{"file"}, (dir / "a.wav").string(), dir / "none.sf2"});
  EXPECT_NE(no_font.Open(dir / "song.mid"), "");
  EXPECT_FALSE(no_font.IsOpen());
  EXPECT_NE(no_font.Play(), "");
  no_font.Stop();  // harmless while closed
  no_font.Close();

  FluidSequencer no_driver(FluidOptions{{"no-such-driver"}, {}, {}});
  if (FindSoundFont()) {
    EXPECT_NE(no_driver.Open(dir / "song.mid"), "");
    EXPECT_FALSE(no_driver.IsOpen());
  }
}

}  // namespace
}  // namespace quaverly::playback
