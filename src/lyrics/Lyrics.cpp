#include "lyrics/Lyrics.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string_view>
#include <utility>
#include <vector>

namespace quaverly {
namespace {

// An event with the tick at which it stands. Conversions build tracks from these and set
// the Time fields only at the end, so no event can drift to its neighbour's tick.
struct Placed {
  MidiEvent event;
  int32_t tick = 0;
};

std::vector<Placed> PlacedEvents(const Track& track) {
  std::vector<Placed> placed;
  placed.reserve(track.Events.size());
  for (std::size_t i = 0; i < track.Events.size(); ++i) {
    placed.push_back({track.Events[i], track.TickOf(i)});
  }
  return placed;
}

// Each Time is the tick of the event before it; EndTime is the tick of the last event.
Track TrackFrom(std::vector<Placed> placed, std::optional<std::string> name) {
  Track track;
  track.Events.reserve(placed.size());
  int32_t previous = 0;
  for (Placed& p : placed) {
    p.event.Time = previous;
    previous = p.tick;
    track.Events.push_back(std::move(p.event));
  }
  track.EndTime = previous;
  track.Name = std::move(name);
  return track;
}

MidiEvent MetaEvent(uint8_t type, std::string text) {
  MidiEvent e;
  e.Status = kMeta;
  e.Channel = type;
  e.Text = std::move(text);
  return e;
}

// Removes leading and trailing spaces, and nothing else.
std::string TrimSpaces(std::string_view s) {
  const std::size_t first = s.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return std::string(s.substr(first, s.find_last_not_of(' ') - first + 1));
}

bool IsTrack(const Song& song, int t) { return t >= 0 && t < song.Header.TrackCount; }

// Turns the text event at index i into a lyric; at(k) gives the event at index k of the
// track being written. A break mark at its start becomes the line end of the previously
// converted lyric, index 0 counting as none.
template <typename At>
void ConvertToLyric(At at, std::size_t i, std::size_t& last_converted) {
  MidiEvent& r = at(i);
  r.Channel = meta::kLyric;
  r.Text += ' ';
  switch (r.Text.front()) {
    case '@':
      r.Text += '\r';
      break;
    case '\\':
      if (last_converted > 0) at(last_converted).Text += "\n\r";
      r.Text.erase(0, 1);
      break;
    case '/':
      if (last_converted > 0) at(last_converted).Text += '\r';
      r.Text.erase(0, 1);
      break;
    default:
      break;
  }
  last_converted = i;
}

}  // namespace

void CopyTrack(Song& song, int from, int to) {
  if (from < 0 || to < 0 || from == to) return;
  Track copy = song.Row(from);
  song.MutableRow(to) = std::move(copy);
}

bool InsertTwoTracks(Song& song, int after) {
  const int n = song.Header.TrackCount;
  constexpr int kMax = std::numeric_limits<int16_t>::max();
  if (after < -1 || after >= n || n > kMax - 2 || song.ListTrackCount > kMax - 2) return false;
  const auto at = static_cast<std::size_t>(after + 1);
  if (song.Tracks.size() < at) song.Tracks.resize(at);
  song.Tracks.insert(song.Tracks.begin() + static_cast<std::ptrdiff_t>(at), 2, Track{});
  song.Header.TrackCount = static_cast<int16_t>(n + 2);
  song.ListTrackCount = static_cast<int16_t>(song.ListTrackCount + 2);
  return true;
}

bool TextToLyrics(Song& song, int source, bool keep_text) {
  if (!IsTrack(song, source)) return false;
  Track& track = song.MutableRow(source);
  std::size_t last_converted = 0;
  if (!keep_text) {
    auto at = [&track](std::size_t k) -> MidiEvent& { return track.Events[k]; };
    for (std::size_t j = 0; j < track.Events.size(); ++j) {
      if (track.Events[j].IsMeta(meta::kText)) ConvertToLyric(at, j, last_converted);
    }
    return true;
  }
  // Each text event stays and is followed by its lyric copy at the same tick.
  std::vector<Placed> placed;
  auto at = [&placed](std::size_t k) -> MidiEvent& { return placed[k].event; };
  for (Placed& p : PlacedEvents(track)) {
    const bool is_text = p.event.IsMeta(meta::kText);
    placed.push_back(p);
    if (!is_text) continue;
    placed.push_back(std::move(p));
    ConvertToLyric(at, placed.size() - 1, last_converted);
  }
  track = TrackFrom(std::move(placed), track.Name);
  return true;
}

bool LyricsToText(Song& song, int source, const KaraokeInfo& info) {
  if (!IsTrack(song, source)) return false;
  const std::vector<Placed> lyrics_source = PlacedEvents(song.Row(source));
  if (!InsertTwoTracks(song, 0)) return false;
  // A single-track file cannot hold the new tracks.
  if (song.Header.Format == 0) song.Header.Format = 1;

  std::vector<Placed> karaoke;
  karaoke.push_back({MetaEvent(meta::kTrackName, "Soft Karaoke"), 0});
  karaoke.push_back({MetaEvent(meta::kText, "@KMIDI KARAOKE FILE"), 0});

  std::vector<Placed> words;
  words.push_back({MetaEvent(meta::kTrackName, "Words"), 0});
  for (std::string line : {"@L" + TrimSpaces(info.Language), "@T" + TrimSpaces(info.Title),
                           "@T" + TrimSpaces(info.Artist),
                           std::string("@TLyrics converted automaticly from lyric events"),
                           std::string("@TBy: Quaverly (Alpha Version)"),
                           std::string("@TContact ") + kKaraokeContact + " for more information"}) {
    words.push_back({MetaEvent(meta::kText, std::move(line)), 0});
  }

  std::string prefix = "\\";
  int32_t last_break_tick = 0;
  for (const Placed& lyric : lyrics_source) {
    if (!lyric.event.IsMeta(meta::kLyric)) continue;
    Placed text = lyric;
    text.event.Channel = meta::kText;
    text.event.Text = prefix + text.event.Text;
    words.push_back(std::move(text));
    if (TrimSpaces(words.back().event.Text).empty()) words.pop_back();
    prefix.clear();
    // Looks at the record just kept, or at the last kept one when this lyric was blank.
    Placed& kept = words.back();
    const std::size_t cr = kept.event.Text.find('\r');
    if (cr == std::string::npos) continue;
    // Two line ends at one tick make a paragraph end.
    prefix = kept.tick == last_break_tick ? "\\" : "/";
    last_break_tick = kept.tick;
    kept.event.Text[cr] = ' ';
    kept.event.Text = TrimSpaces(kept.event.Text);
    if (kept.event.Text.empty()) words.pop_back();
  }

  // Each new track ends with an end of track at the tick of its last event.
  for (std::vector<Placed>* t : {&karaoke, &words}) {
    t->push_back({MetaEvent(meta::kEndOfTrack, {}), t->back().tick});
  }
  song.MutableRow(1) = TrackFrom(std::move(karaoke), "Soft Karaoke");
  song.MutableRow(2) = TrackFrom(std::move(words), "Words");
  return true;
}

int ProposedWordsIndex(const Song& song) {
  int words = 0;
  int vocal = 0;
  for (int t = 1; t < song.ListTrackCount; ++t) {
    const std::string entry = song.TrackNameEntry(t);
    if (entry.find("ords") != std::string::npos) words = t - 1;
    if (entry.find("oc") != std::string::npos) vocal = t - 1;
    if (entry.find("oi") != std::string::npos) vocal = t - 1;
  }
  int selected = song.ListTrackCount > 2 ? 1 : -1;
  if (words > 0) {
    selected = words;
  } else if (vocal > 0) {
    selected = vocal;
  }
  return selected;
}

int CountMeta(const Song& song, int track, uint8_t type) {
  int count = 0;
  for (const MidiEvent& e : song.Row(track).Events) count += e.IsMeta(type) ? 1 : 0;
  return count;
}

}  // namespace quaverly
