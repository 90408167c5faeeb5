// Reading, catalog reading, writing and listing of generated files.
//
//   bench_read_write                        runs the benchmarks
//   bench_read_write --write-midi=PATH [--bytes=N]
//                                           writes a generated song of about N bytes
//                                           (default 4700000), e.g. for timing `csv`
//   bench_read_write --fresh-memory         every read takes fresh pages from the kernel,
//                                           as the first read of a new process does

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "MidiGenerator.h"
#include "TempDir.h"
#include "reader/ReadMidiFile.h"
#include "song/Allocator.h"
#include "writer/MidiCsv.h"
#include "writer/WriteMidiFile.h"

namespace {

using quaverly::ReadMidiBytes;
using quaverly::ReadMidiFile;
using quaverly::ReadMode;

constexpr std::size_t kSongBytes = 1 << 20;

const std::vector<uint8_t>& OneMegabyteSong() {
  static const std::vector<uint8_t> song = quaverly::bench::GenerateSong(kSongBytes);
  return song;
}

void BM_ReadWholeFromMemory(benchmark::State& state) {
  const std::vector<uint8_t>& bytes = OneMegabyteSong();
  std::size_t events = 0;
  for (auto _ : state) {
    const quaverly::ReadResult result = ReadMidiBytes(bytes, ReadMode::kDisplay);
    events = 0;
    for (const auto& track : result.song.Tracks) events += track.Events.size();
    benchmark::DoNotOptimize(result.song.Tracks.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
  state.counters["events"] = static_cast<double>(events);
}
BENCHMARK(BM_ReadWholeFromMemory)->Unit(benchmark::kMillisecond);

void BM_ReadWholeFromFile(benchmark::State& state) {
  quaverly::testing::TempDir dir;
  const auto path = dir / "song.mid";
  quaverly::testing::WriteBytes(path, OneMegabyteSong());
  for (auto _ : state) {
    const quaverly::ReadResult result = ReadMidiFile(path, ReadMode::kDisplay);
    benchmark::DoNotOptimize(result.song.Tracks.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * OneMegabyteSong().size()));
}
BENCHMARK(BM_ReadWholeFromFile)->Unit(benchmark::kMillisecond);

// From the disk cache, as a catalog run reads one file after another.
void BM_CatalogReadSmallFile(benchmark::State& state) {
  quaverly::testing::TempDir dir;
  const auto path = dir / "small.mid";
  const std::vector<uint8_t> bytes = quaverly::bench::GenerateSmallFile();
  quaverly::testing::WriteBytes(path, bytes);
  for (auto _ : state) {
    const quaverly::ReadResult result = ReadMidiFile(path, ReadMode::kCatalog);
    benchmark::DoNotOptimize(result.CatalogInfo.data());
  }
  state.counters["file_bytes"] = static_cast<double>(bytes.size());
}
BENCHMARK(BM_CatalogReadSmallFile)->Unit(benchmark::kMicrosecond);

void BM_Serialize(benchmark::State& state) {
  const quaverly::ReadResult read = ReadMidiBytes(OneMegabyteSong(), ReadMode::kDisplay);
  std::size_t size = 0;
  for (auto _ : state) {
    const quaverly::ByteBuffer bytes = quaverly::SerializeMidi(read.song);
    size = bytes.size();
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
}
BENCHMARK(BM_Serialize)->Unit(benchmark::kMillisecond);

void BM_MidiCsv(benchmark::State& state) {
  const quaverly::ReadResult read = ReadMidiBytes(OneMegabyteSong(), ReadMode::kDisplay);
  std::ofstream null_sink("/dev/null", std::ios::binary);
  for (auto _ : state) quaverly::WriteMidiCsv(read.song, null_sink);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * OneMegabyteSong().size()));
}
BENCHMARK(BM_MidiCsv)->Unit(benchmark::kMillisecond);

int WriteGeneratedSong(const std::string& path, std::size_t bytes) {
  const std::vector<uint8_t> song = quaverly::bench::GenerateSong(bytes);
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(song.data()), static_cast<std::streamsize>(song.size()));
  if (!out.flush()) {
    std::cerr << "cannot write " << path << '\n';
    return 1;
  }
  std::cout << path << ": " << song.size() << " bytes\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string write_path;
  std::size_t bytes = 4700000;
  bool fresh_memory = false;
  int kept = 1;  // the benchmark library sees only the arguments that are not ours
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg.starts_with("--write-midi=")) {
      write_path = arg.substr(13);
    } else if (arg.starts_with("--bytes=")) {
      bytes = std::strtoull(argv[i] + 8, nullptr, 10);
    } else if (arg == "--fresh-memory") {
      fresh_memory = true;
    } else {
      argv[kept++] = argv[i];
    }
  }
  argc = kept;
  // Measure as the programs run, which keep freed memory for the next file.
  if (!fresh_memory) quaverly::KeepFreedMemoryForReuse();
  if (!write_path.empty()) return WriteGeneratedSong(write_path, bytes);

  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
