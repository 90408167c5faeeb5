#pragma once
// Turns the raw bytes of meta-event texts and reports into text for the screen: UTF-8 where
// the bytes are valid UTF-8, else Windows-1252, the encoding of most older karaoke files.
// Only the display is decoded; the song's bytes are never changed.

#include <QString>
#include <string_view>

namespace quaverly::ui {

// Decodes one piece of text as a whole.
QString DecodeForDisplay(std::string_view bytes);

// Decodes a report text line by line (so one foreign line does not spoil the others) and
// turns CR LF and lone CR line ends into the "\n" that text boxes expect.
QString DisplayText(std::string_view bytes);

}  // namespace quaverly::ui
