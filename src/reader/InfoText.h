#pragma once
// What the main window shows after opening a file, as one plain text for a terminal: the six
// summary labels (with the values the window resets them to when the read did not set them),
// the chunk report, then the text, lyric and marker texts under headings. Text bytes are
// passed through as read; the terminal decodes them.

#include <string>

#include "reader/ReadMidiFile.h"

namespace quaverly {

// Values of the summary labels before a read sets them.
inline constexpr const char* kResetFType = "Type --";
inline constexpr const char* kResetFTracks = "0";
inline constexpr const char* kResetFTimeSig = "?/?";
inline constexpr const char* kResetFKeySig = "?";
inline constexpr const char* kResetFTempo = "???";

std::string InfoText(const ReadReport& report);

}  // namespace quaverly
