// Reader speed: a whole read of a 1 MB format-1 file of 16 tracks, and catalog reads of a
// small file from memory and from the disk cache.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "MidiBuilder.h"
#include "TempDir.h"
#include "reader/ReadMidiFile.h"

namespace {

using quaverly::testing::MidiBuilder;

// A tempo map with signatures and texts, then 15 tracks of notes and controllers in running
// status, about target_bytes in all.
std::vector<uint8_t> SongOfSize(std::size_t target_bytes) {
  const int tracks = 16;
  MidiBuilder b;
  b.Header(1, tracks, 480)
      .BeginTrack()
      .Meta(0, 3, "Tempo Map")
      .Meta(0, 2, "(c) Quaverly benchmark")
      .Raw({0x00, 0xFF, 0x58, 0x04, 0x04, 0x02, 0x18, 0x08})
      .Raw({0x00, 0xFF, 0x59, 0x02, 0x01, 0x00});
  for (int i = 0; i < 64; ++i) b.Tempo(1920, 500000 + 1000 * static_cast<uint32_t>(i % 7));
  b.EndTrack();
  const std::size_t per_track = target_bytes / (tracks - 1);
  for (int t = 1; t < tracks; ++t) {
    const std::size_t start = b.bytes().size();
    const int channel = t % 16;
    b.BeginTrack()
        .Meta(0, 3, "Track " + std::to_string(t))
        .Event(0, {0xC0 | channel, t})
        .Event(0, {0xB0 | channel, 7, 100});
    int key = 48;
    b.Event(0, {0x90 | channel, key, 80});
    for (int n = 0; b.bytes().size() - start < per_track; ++n) {
      if (n % 64 == 0) b.Meta(0, 1, "verse");
      b.Event(120, {key, 0});  // running status note off
      key = 48 + (key * 7 + n) % 24;
      b.Event(0, {key, 64 + n % 32});
    }
    b.EndTrack(240);
  }
  return b.bytes();
}

void BM_WholeRead1MB(benchmark::State& state) {
  const std::vector<uint8_t> bytes = SongOfSize(1 << 20);
  for (auto _ : state) {
    quaverly::ReadResult r = quaverly::ReadMidiBytes(bytes, quaverly::ReadMode::kDisplay);
    benchmark::DoNotOptimize(r);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_WholeRead1MB)->Unit(benchmark::kMillisecond);

void BM_CatalogReadSmall(benchmark::State& state) {
  const std::vector<uint8_t> bytes = SongOfSize(20000);
  for (auto _ : state) {
    quaverly::ReadResult r = quaverly::ReadMidiBytes(bytes, quaverly::ReadMode::kCatalog);
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(BM_CatalogReadSmall)->Unit(benchmark::kMicrosecond);

void BM_CatalogReadSmallFile(benchmark::State& state) {
  quaverly::testing::TempDir dir;
  const auto path = dir / "small.mid";
  quaverly::testing::WriteBytes(path, SongOfSize(20000));
  for (auto _ : state) {
    quaverly::ReadResult r = quaverly::ReadMidiFile(path, quaverly::ReadMode::kCatalog);
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(BM_CatalogReadSmallFile)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
