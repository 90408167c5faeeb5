#pragma once
// Lists every event of a song in the comma-separated format of the midicsv tool (midicsv(5)),
// line for line as that tool lists a well-formed file, so that its output can be checked
// against an independent reader and edited with csvmidi or a spreadsheet.

#include <ostream>
#include <string>

#include "song/Song.h"

namespace quaverly {

// Appends the whole listing: the header record, each track from Start_track to End_track
// with absolute ticks, and End_of_file. Lines end with LF. A track ends at its first end of
// track event (the format has no room for events after it); a track without one ends at its
// EndTime.
void AppendMidiCsv(const Song& song, std::string& out);
std::string MidiCsv(const Song& song);
// The same listing written to sink in pieces of about a megabyte.
void WriteMidiCsv(const Song& song, std::ostream& sink);

}  // namespace quaverly
