// Catalog speed over a folder tree of 10,000 generated MIDI files in 20 folders (small
// format-0 files, format-1 songs of several sizes, a tenth of them karaoke), renaming off,
// with a warm disk cache. Peak RSS after one folder and after the whole tree shows whether
// memory grows with the number of files.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "MidiGenerator.h"
#include "TempDir.h"
#include "batch/ProcessFolder.h"

namespace {

namespace fs = std::filesystem;
using quaverly::BatchOptions;
using quaverly::BatchResult;
using quaverly::RunBatch;

constexpr int kFolders = 20;
constexpr int kFilesPerFolder = 500;

// A format-1 song without the karaoke mark: the generator always writes one, so its tag is
// spoiled in place ("@K" -> "@X"), which keeps every length right.
std::vector<uint8_t> WithoutKaraoke(std::vector<uint8_t> song) {
  const std::string_view mark = "@KMIDI";
  const auto at = std::search(song.begin(), song.end(), mark.begin(), mark.end());
  if (at != song.end()) at[1] = 'X';
  return song;
}

class Tree {
 public:
  Tree() {
    // A few dozen distinct files, each written under many names.
    std::vector<std::vector<uint8_t>> small, songs, karaoke;
    for (uint32_t seed = 1; seed <= 8; ++seed) {
      small.push_back(quaverly::bench::GenerateSmallFile(seed));
      const std::size_t size = 4096u << (seed % 4);  // 4 to 32 KB
      const int tracks = 2 + static_cast<int>(seed) * 2;
      songs.push_back(WithoutKaraoke(quaverly::bench::GenerateSong(size, tracks, seed)));
      karaoke.push_back(quaverly::bench::GenerateSong(size, tracks, seed + 100));
    }
    songs.push_back(WithoutKaraoke(quaverly::bench::GenerateSong(256 * 1024, 16, 99)));
    for (int f = 0; f < kFolders; ++f) {
      const fs::path folder = dir_ / ("folder " + std::to_string(f));
      fs::create_directories(folder);
      for (int i = 0; i < kFilesPerFolder; ++i) {
        const int n = f * kFilesPerFolder + i;
        const auto& bytes = n % 10 == 0  ? karaoke[n % karaoke.size()]
                            : n % 10 < 5 ? small[n % small.size()]
                                         : songs[n % songs.size()];
        quaverly::testing::WriteBytes(folder / ("song " + std::to_string(n) + ".mid"), bytes);
      }
    }
  }
  fs::path Root() const { return dir_ / ""; }
  fs::path Folder(int f) const { return dir_ / ("folder " + std::to_string(f)); }
  fs::path Catalog() const { return catalog_dir_ / "FileInfo.TXT"; }

 private:
  quaverly::testing::TempDir dir_;
  quaverly::testing::TempDir catalog_dir_;
};

const Tree& TheTree() {
  static const Tree tree;
  return tree;
}

double PeakRssMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void Run(benchmark::State& state, const fs::path& start, bool subfolders) {
  BatchOptions options;
  options.rename_karaoke = false;
  options.include_subfolders = subfolders;
  RunBatch(start, options, TheTree().Catalog(), nullptr);  // warms the disk cache
  int files = 0;
  for (auto _ : state) {
    const BatchResult result = RunBatch(start, options, TheTree().Catalog(), nullptr);
    if (!result.ok()) state.SkipWithError(result.error.c_str());
    files += result.files_read;
  }
  state.SetItemsProcessed(files);
  state.counters["peak_rss_MB"] = PeakRssMegabytes();
}

void BM_CatalogOneFolder(benchmark::State& state) { Run(state, TheTree().Folder(0), false); }
void BM_CatalogWholeTree(benchmark::State& state) { Run(state, TheTree().Root(), true); }

BENCHMARK(BM_CatalogOneFolder)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CatalogWholeTree)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
