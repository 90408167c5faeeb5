#pragma once
// Karaoke lyrics conversion: turns the Soft Karaoke text events of one track into standard
// lyric events (meta type 5), or builds the two Soft Karaoke tracks ("Soft Karaoke" and
// "Words") from the lyric events of a track. Also the track moves these need and the guess
// of which track holds the words. All operations edit a Song in place; nothing is shown.

#include <string>

#include "song/Song.h"

namespace quaverly {

// The header texts of a Soft Karaoke "Words" track; the defaults are those the karaoke
// information dialog opens with.
struct KaraokeInfo {
  std::string Language = "ENGL";
  std::string Title = "YOUR SONG";
  std::string Artist = "ARTIST";
};

inline constexpr const char* kKaraokeContact = "quaverly@example.org";

// Makes track `to` a copy of track `from` (events, end tick and name). Tracks grow as
// needed; the track count is not changed.
void CopyTrack(Song& song, int from, int to);

// Opens two empty tracks numbered after + 1 and after + 2; later tracks move up by two
// with their names. Raises TrackCount and ListTrackCount by 2. Returns false, changing
// nothing, when after is not a track of the song or the count would leave 16 bits.
bool InsertTwoTracks(Song& song, int after);

// Turns every text event of track `source` into a lyric event, translating the "\" and "/"
// break marks into line ends of the previous lyric. With keep_text each text event stays
// and is followed by its lyric copy at the same tick. Returns false, changing nothing,
// when source is not a track of the song.
bool TextToLyrics(Song& song, int source, bool keep_text);

// Inserts the tracks "Soft Karaoke" (track 1) and "Words" (track 2) and fills "Words" with
// the header lines and one text event per lyric of track `source` (numbered before the
// insertion), each at its lyric's tick. A format 0 song becomes format 1. Returns false, changing
// nothing, when source is not a track of the song or no two tracks can be added.
bool LyricsToText(Song& song, int source, const KaraokeInfo& info);

// The list index (track - 1) the lyrics dialog preselects among tracks 1..ListTrackCount-1:
// the last track whose label holds "ords", else the last holding "oc" or "oi", a match on
// track 1 counting as none; else index 1 when more than two tracks; else -1 (none).
int ProposedWordsIndex(const Song& song);

// Counts of text events and lyric events in a track.
int CountMeta(const Song& song, int track, uint8_t type);

}  // namespace quaverly
