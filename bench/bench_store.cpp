// Store-file speed on a collection of 100,000 bookmarks in 5,000 folders.
#include "BareWork.h"
#include "Floor.h"
#include "Generator.h"
#include "PeakMemory.h"
#include "coordinator/untEI.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>

using namespace quillary;

namespace {

std::string StorePath() {
  static const std::string path =
      (std::filesystem::temp_directory_path() / "quillary-bench-store.qlf").string();
  return path;
}

const BookmarkDocument& Collection() {
  static auto document = bench::GenerateCollection({});
  return *document;
}

void BM_WriteBookmarkFile(benchmark::State& state) {
  const BookmarkDocument& collection = Collection();
  TEI tei("/nonexistent/sysinit.ini");
  for (auto _ : state)
    tei.WriteBookmarkFile(collection, StorePath());
  state.counters["file_MB"] = static_cast<double>(bench::FileSize(StorePath())) / 1e6;
  bench::ReportFloor(
      state, [&] { benchmark::DoNotOptimize(bench::BareWriteStoreFile(collection, StorePath())); });
}
BENCHMARK(BM_WriteBookmarkFile)->Unit(benchmark::kMillisecond);

void BM_ReadBookmarkFile(benchmark::State& state) {
  TEI tei("/nonexistent/sysinit.ini");
  tei.WriteBookmarkFile(Collection(), StorePath());
  for (auto _ : state) {
    BookmarkDocument document;
    tei.ReadBookmarkFile(document, StorePath());
    benchmark::DoNotOptimize(Root(document));
  }
  const double fileSize = static_cast<double>(bench::FileSize(StorePath()));
  const double peak = static_cast<double>(bench::PeakMemoryOf([&] {
    BookmarkDocument document;
    tei.ReadBookmarkFile(document, StorePath());
  }));
  state.counters["file_MB"] = fileSize / 1e6;
  state.counters["peak_MB"] = peak / 1e6;
  state.counters["peak_per_file_size"] = peak / fileSize;
  bench::ReportFloor(state,
                     [] { benchmark::DoNotOptimize(bench::BareReadStoreFile(StorePath())); });
}
BENCHMARK(BM_ReadBookmarkFile)->Unit(benchmark::kMillisecond);

} // namespace

QUILLARY_BENCHMARK_MAIN()
