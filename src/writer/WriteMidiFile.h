#pragma once
// The writer: serialises a Song as a Standard MIDI File, byte for byte from its fields:
// delta-times from Time (the last event's from the track's EndTime), status bytes with the
// running-status rule, meta and sysex lengths from Text, patched chunk lengths.

#include <filesystem>
#include <string>

#include "song/Bytes.h"
#include "song/Song.h"

namespace quaverly {

// The whole file as bytes: a 14-byte header, then Header.TrackCount "MTrk" chunks.
ByteBuffer SerializeMidi(const Song& song);

// Writes the song to path through a temporary file and a rename: on failure the old file is
// untouched. Returns an empty string on success, else "cannot write PATH: reason".
std::string WriteMidiFile(const Song& song, const std::filesystem::path& path);

}  // namespace quaverly
