// Writes the sample files as the fuzz target's seed corpus when QUAVERLY_FUZZ_SEEDS names a
// folder: QUAVERLY_FUZZ_SEEDS=fuzz/seeds test_reader --gtest_filter='FuzzSeeds.*'
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "ReaderSamples.h"
#include "TempDir.h"

namespace quaverly {
namespace {

TEST(FuzzSeeds, WrittenWhenAsked) {
  const char* folder = std::getenv("QUAVERLY_FUZZ_SEEDS");
  if (folder == nullptr) GTEST_SKIP() << "QUAVERLY_FUZZ_SEEDS not set";
  std::filesystem::create_directories(folder);
  for (const auto& [name, bytes] : testing::SampleFiles()) {
    testing::WriteBytes(std::filesystem::path(folder) / (name + ".mid"), bytes);
  }
}

}  // namespace
}  // namespace quaverly
