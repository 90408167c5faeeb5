#include "song/Song.h"

#include "song/NumberText.h"

namespace quaverly {

const Track& Song::Row(int t) const {
  static const Track kEmpty;
  if (t < 0 || static_cast<std::size_t>(t) >= Tracks.size()) return kEmpty;
  return Tracks[static_cast<std::size_t>(t)];
}

Track& Song::MutableRow(int t) {
  if (static_cast<std::size_t>(t) >= Tracks.size()) Tracks.resize(static_cast<std::size_t>(t) + 1);
  return Tracks[static_cast<std::size_t>(t)];
}

std::string Song::TrackNameEntry(int t) const {
  const Track& row = Row(t);
  if (!row.Name) return {};
  return NumberText(t) + " " + *row.Name;
}

}  // namespace quaverly
