// Hotlist speed on a collection of 100,000 bookmarks in 5,000 folders.
#include "BareWork.h"
#include "Floor.h"
#include "Generator.h"
#include "PeakMemory.h"
#include "exchange/files/untOpera.h"
#include "platform/Files.h"

#include <benchmark/benchmark.h>

#include <filesystem>

using namespace quillary;

namespace {

// The hotlist file, removed when the program ends.
struct Hotlist {
  std::string path = (std::filesystem::temp_directory_path() / "quillary-bench-opera.adr").string();
  ~Hotlist() {
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
  }
};

const std::string& HotlistPath() {
  static const Hotlist hotlist;
  return hotlist.path;
}

BookmarkDocument& Collection() {
  static auto document = bench::GenerateCollection({});
  return *document;
}

void Export() {
  TOperaOjb opera;
  opera.SourcePath = HotlistPath();
  opera.ExportBookmarks(Collection());
}

void BM_ExportHotlist(benchmark::State& state) {
  Collection();
  for (auto _ : state)
    Export();
  state.counters["file_MB"] = static_cast<double>(bench::FileSize(HotlistPath())) / 1e6;
  const std::string written = platform::ReadWholeFile(HotlistPath());
  bench::ReportFloor(state, [&] {
    benchmark::DoNotOptimize(bench::BareWalk(Collection()) +
                             bench::BareReplaceFile(HotlistPath(), written));
  });
}
BENCHMARK(BM_ExportHotlist)->Unit(benchmark::kMillisecond);

void BM_ImportHotlist(benchmark::State& state) {
  Export();
  std::size_t bookmarks = 0;
  for (auto _ : state) {
    TOperaOjb opera;
    opera.SourcePath = HotlistPath();
    auto document = opera.ImportBookmarks();
    bookmarks = bench::CountBookmarks(*document);
  }
  if (bookmarks != bench::CountBookmarks(Collection()))
    state.SkipWithError("the import lost bookmarks");
  const double fileSize = static_cast<double>(bench::FileSize(HotlistPath()));
  const double peak = static_cast<double>(bench::PeakMemoryOf([] {
    TOperaOjb opera;
    opera.SourcePath = HotlistPath();
    opera.ImportBookmarks();
  }));
  state.counters["bookmarks"] = static_cast<double>(bookmarks);
  state.counters["file_MB"] = fileSize / 1e6;
  state.counters["peak_per_file_size"] = peak / fileSize;
  bench::ReportFloor(state,
                     [] { benchmark::DoNotOptimize(bench::BareReadAndScan(HotlistPath(), '\n')); });
}
BENCHMARK(BM_ImportHotlist)->Unit(benchmark::kMillisecond);

} // namespace

QUILLARY_BENCHMARK_MAIN()
