// Merge and import-run speed: a source of N bookmarks into a collection of N, half of them
// shared, the shared half in one flat folder of N/2.
#include "BareWork.h"
#include "Floor.h"
#include "Generator.h"
#include "coordinator/untEI.h"
#include "store/untUtil.h"

#include <benchmark/benchmark.h>

#include <filesystem>

using namespace quillary;

namespace {

bench::CollectionShape Shape(std::size_t n, std::size_t first) {
  bench::CollectionShape shape;
  shape.bookmarks = n;
  shape.folders = n / 20;
  shape.firstBookmark = first;
  shape.flatFolder = n / 2;
  shape.flatFrom = n / 2;
  return shape;
}

void BM_MergeDocuments(benchmark::State& state) {
  const auto n = static_cast<std::size_t>(state.range(0));
  auto collection = bench::GenerateCollection(Shape(n, 0));
  auto source = bench::GenerateCollection(Shape(n, n / 2));
  std::size_t added = 0;
  for (auto _ : state) {
    state.PauseTiming();
    BookmarkDocument destination;
    destination.reset(*collection);
    state.ResumeTiming();
    TUtil().MergeDocuments(destination, *source);
    state.PauseTiming();
    added = bench::CountBookmarks(destination) - n;
    state.ResumeTiming();
  }
  state.counters["added"] = static_cast<double>(added);
  bench::ReportFloor(state, [&] {
    benchmark::DoNotOptimize(bench::BareWalk(*collection) + bench::BareWalk(*source));
  });
}
BENCHMARK(BM_MergeDocuments)->Arg(100000)->Arg(200000)->Unit(benchmark::kMillisecond);

// A whole import run: a backup file of 100,000 bookmarks read, merged and the store saved.
void BM_ImportRunFromBackup(benchmark::State& state) {
  const std::string folder = std::filesystem::temp_directory_path() / "quillary-bench-import";
  std::filesystem::create_directories(folder);
  const std::string store = folder + "/store.qlf";
  const std::string backup = folder + "/backup.qlf";
  TEI setup("/nonexistent/sysinit.ini", store);
  auto collection = bench::GenerateCollection(Shape(100000, 0));
  setup.WriteBookmarkFile(*bench::GenerateCollection(Shape(100000, 50000)), backup);
  setup.WriteBookmarkFile(*collection, store);
  for (auto _ : state) {
    state.PauseTiming();
    BookmarkDocument destination;
    destination.reset(*collection);
    TEI tei("/nonexistent/sysinit.ini", store);
    tei.BackupPath = backup;
    state.ResumeTiming();
    tei.Import({SourceKind::BackupFile}, destination);
  }
  BookmarkDocument merged;
  setup.ReadBookmarkFile(merged, store);
  bench::ReportFloor(state, [&] {
    benchmark::DoNotOptimize(bench::BareReadStoreFile(backup) + bench::BareWalk(*collection) +
                             bench::BareWriteStoreFile(merged, store));
  });
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_ImportRunFromBackup)->Unit(benchmark::kMillisecond);

} // namespace

QUILLARY_BENCHMARK_MAIN()
