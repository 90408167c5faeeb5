#include <gtest/gtest.h>

#include "reader/InfoText.h"

namespace quaverly {
namespace {

TEST(InfoText, UnsetLabelsShowTheirResetValues) {
  ReadReport report;
  report.FileInfo = kNotMidiText;
  EXPECT_EQ(InfoText(report),
            "Format: Type --\nTracks: 0\nTime Signature: ?/?\nKey Signature: ?\nTempo: ???\n"
            "Copyright Text: \n\n[General]\nNot a standard MIDI file.\n\n[Text]\n\n[Lyrics]\n"
            "\n[Markers]\n");
}

TEST(InfoText, SetLabelsAndTextsPassThrough) {
  ReadReport report;
  report.FType = "Type 1";
  report.FTracks = " 2";
  report.FTimeSig = "3/4";
  report.FKeySig = "D Minor";
  report.FTempo = "120 BPM";
  report.FCopyTxt = "\xA9 1999";
  report.FileInfo = "Track 0  Length: 4\r\n";
  report.GenText = " @KMIDI KARAOKE FILE\r\n\r\n \\Hel lo";
  report.Lyrics = "Hel";
  EXPECT_EQ(InfoText(report),
            "Format: Type 1\nTracks:  2\nTime Signature: 3/4\nKey Signature: D Minor\n"
            "Tempo: 120 BPM\nCopyright Text: \xA9 1999\n\n[General]\nTrack 0  Length: 4\r\n"
            "\n[Text]\n @KMIDI KARAOKE FILE\r\n\r\n \\Hel lo\n\n[Lyrics]\nHel\n\n[Markers]\n");
}

}  // namespace
}  // namespace quaverly
