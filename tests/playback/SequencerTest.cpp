#include <gtest/gtest.h>

#include "MidiBuilder.h"
#include "TempDir.h"
#include "playback/Sequencer.h"

namespace quaverly::testing {
namespace {

using playback::FluidOptions, playback::FluidSequencer;

TEST(FluidSequencer, SaysWhyItCannotPlayAndRendersAudibleSoundWhenItCan) {
  TempDir dir;
  MidiBuilder b;  // a two-note chord of a quarter note at 120 BPM
  b.Header(0, 1, 96).BeginTrack().Tempo(0, 500000).Event(0, {0xC0, 0});
  b.Event(0, {0x90, 60, 110}).Event(0, {0x90, 64, 110}).Event(96, {0x80, 60, 0});
  WriteBytes(dir / "song.mid", b.Event(0, {0x80, 64, 0}).EndTrack(24).bytes());
  FluidSequencer no_font(FluidOptions{{"file"}, (dir / "a.wav").string(), dir / "none.sf2"});
  EXPECT_NE(no_font.Open(dir / "song.mid"), "");
  EXPECT_TRUE(!no_font.IsOpen() && !no_font.Play().empty());
  if (!playback::FindSoundFont()) GTEST_SKIP() << "no General MIDI SoundFont installed";
  EXPECT_NE(FluidSequencer(FluidOptions{{"no-such-driver"}, {}, {}}).Open(dir / "song.mid"), "");

  FluidSequencer sequencer(FluidOptions{{"file"}, (dir / "out.wav").string(), {}});
  ASSERT_EQ(sequencer.Open(dir / "song.mid"), "");
  ASSERT_EQ(sequencer.Play(), "");
  sequencer.Stop();
  EXPECT_FALSE(sequencer.IsPlaying());
  ASSERT_EQ(sequencer.Play(), "");  // from the start again
  sequencer.WaitUntilDone();
  EXPECT_FALSE(sequencer.IsPlaying());  // the song has ended
  sequencer.Close();                    // finishes the WAV file
  EXPECT_FALSE(sequencer.IsOpen());
  const std::string wav = ReadAll(dir / "out.wav");
  ASSERT_NE(wav.find("data"), std::string::npos);
  int peak = 0;  // the largest 16-bit sample
  for (size_t i = wav.find("data") + 8; i + 1 < wav.size(); i += 2) {
    peak = std::max(peak, std::abs(static_cast<int16_t>((wav[i] & 0xFF) | (wav[i + 1] << 8))));
  }
  EXPECT_GT(peak, 1000);
}

}  // namespace
}  // namespace quaverly::testing
