// Feeds arbitrary bytes to the reader in both modes. Besides the sanitizers' findings it
// traps when a read breaks what callers rely on: memory that follows the bytes present, a
// damaged read that says so, event times that never run backwards.
#include <cstddef>
#include <cstdint>
#include <span>

#include "reader/ReadMidiFile.h"

namespace {

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

void CheckResult(const quaverly::ReadResult& r, std::size_t size) {
  using quaverly::ReadOutcome;
  // Every track takes at least its 8-byte chunk header, every event at least two bytes.
  Check(r.song.Tracks.size() <= size / 8);
  std::size_t events = 0;
  for (const quaverly::Track& track : r.song.Tracks) {
    events += track.Events.size();
    Check(track.Events.capacity() <= size / 2 + 4);
    int32_t last = 0;
    for (const quaverly::MidiEvent& e : track.Events) {
      Check(e.Time >= last);
      last = e.Time;
    }
    Check(track.EndTime >= last);
  }
  Check(events <= size / 2);
  switch (r.outcome) {
    case ReadOutcome::kNotMidi:
      Check(r.report.FileInfo == quaverly::kNotMidiText && r.song.Tracks.empty());
      break;
    case ReadOutcome::kDamaged:
      Check(r.report.FileInfo == quaverly::kDamagedText && !r.catalog_filled);
      Check(r.CatalogInfo[0] == quaverly::kDamagedCatalog);
      break;
    case ReadOutcome::kComplete:
      Check(r.song.Tracks.size() <= static_cast<std::size_t>(r.song.Header.TrackCount));
      break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  CheckResult(quaverly::ReadMidiBytes(bytes, quaverly::ReadMode::kDisplay), size);
  const quaverly::ReadResult catalog = quaverly::ReadMidiBytes(bytes, quaverly::ReadMode::kCatalog);
  CheckResult(catalog, size);
  return 0;
}
