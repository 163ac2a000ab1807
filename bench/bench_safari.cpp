// Safari property-list speed on a collection of 100,000 bookmarks in 5,000 folders.
#include "BareWork.h"
#include "Floor.h"
#include "Generator.h"
#include "PeakMemory.h"
#include "exchange/db/untSafari.h"
#include "platform/Files.h"

#include <benchmark/benchmark.h>

#include <filesystem>

using namespace quillary;

namespace {

const char kEmptyPlist[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
    "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
    "<plist version=\"1.0\">\n<dict>\n\t<key>Children</key>\n\t<array/>\n"
    "\t<key>WebBookmarkGroupVersionString</key>\n\t<string>1.0</string>\n</dict>\n</plist>\n";

std::string TempPath(const char* name) {
  return (std::filesystem::temp_directory_path() / name).string();
}

// Removes a benchmark's file when the benchmark is done with it.
struct RemovedAfterwards {
  std::string path;
  ~RemovedAfterwards() {
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
  }
};

BookmarkDocument& Collection() {
  static auto document = bench::GenerateCollection({});
  return *document;
}

// The collection written into an empty file once: a plist holding all of it.
const std::string& FullPlist() {
  static const std::string bytes = [] {
    const std::string path = TempPath("quillary-bench-full.plist");
    platform::WriteFileAtomically(path, kEmptyPlist);
    TSafariOjb safari;
    safari.SourcePath = path;
    safari.ExportBookmarks(Collection());
    std::string bytes = platform::ReadWholeFile(path);
    std::filesystem::remove(path);
    return bytes;
  }();
  return bytes;
}

// An export's floor: the file it started from read and scanned, one walk over the collection and
// the file it wrote written again.
void ReportExportFloor(benchmark::State& state, const BookmarkDocument& collection,
                       const std::string& path, const std::string& before) {
  const std::string written = platform::ReadWholeFile(path);
  bench::ReportFloor(
      state,
      [&] {
        benchmark::DoNotOptimize(bench::BareReadAndScan(path, '<') + bench::BareWalk(collection) +
                                 bench::BareReplaceFile(path, written));
      },
      [&] { platform::WriteFileAtomically(path, before); });
}

void BM_ImportPlist(benchmark::State& state) {
  const std::string path = TempPath("quillary-bench-import.plist");
  RemovedAfterwards removed{path};
  platform::WriteFileAtomically(path, FullPlist());
  std::size_t count = 0;
  for (auto _ : state) {
    TSafariOjb safari;
    safari.SourcePath = path;
    auto document = safari.ImportBookmarks();
    count = bench::CountBookmarks(*document);
  }
  state.counters["bookmarks"] = static_cast<double>(count);
  state.counters["file_MB"] = static_cast<double>(FullPlist().size()) / 1e6;
  state.counters["peak_MB"] = static_cast<double>(bench::PeakMemoryOf([&] {
                                TSafariOjb safari;
                                safari.SourcePath = path;
                                benchmark::DoNotOptimize(safari.ImportBookmarks());
                              })) /
                              1e6;
  bench::ReportFloor(state, [&] { benchmark::DoNotOptimize(bench::BareReadAndScan(path, '<')); });
}
BENCHMARK(BM_ImportPlist)->Unit(benchmark::kMillisecond);

// Every folder and bookmark is new: the file grows by the whole collection.
void BM_ExportIntoEmptyPlist(benchmark::State& state) {
  const std::string path = TempPath("quillary-bench-export.plist");
  RemovedAfterwards removed{path};
  for (auto _ : state) {
    state.PauseTiming();
    platform::WriteFileAtomically(path, kEmptyPlist);
    state.ResumeTiming();
    TSafariOjb safari;
    safari.SourcePath = path;
    safari.ExportBookmarks(Collection());
  }
  ReportExportFloor(state, Collection(), path, kEmptyPlist);
}
BENCHMARK(BM_ExportIntoEmptyPlist)->Unit(benchmark::kMillisecond);

// Everything is there already: every folder and bookmark is looked up and nothing is added.
void BM_ExportIntoFullPlist(benchmark::State& state) {
  const std::string path = TempPath("quillary-bench-again.plist");
  RemovedAfterwards removed{path};
  for (auto _ : state) {
    state.PauseTiming();
    platform::WriteFileAtomically(path, FullPlist());
    state.ResumeTiming();
    TSafariOjb safari;
    safari.SourcePath = path;
    safari.ExportBookmarks(Collection());
  }
  ReportExportFloor(state, Collection(), path, FullPlist());
}
BENCHMARK(BM_ExportIntoFullPlist)->Unit(benchmark::kMillisecond);

// One folder of 100,000 bookmarks: the case where a scan per bookmark would be quadratic.
void BM_ExportFlatFolder(benchmark::State& state) {
  static auto flat = bench::GenerateCollection({.flatFolder = 100000});
  const std::string path = TempPath("quillary-bench-flat.plist");
  RemovedAfterwards removed{path};
  for (auto _ : state) {
    state.PauseTiming();
    platform::WriteFileAtomically(path, kEmptyPlist);
    state.ResumeTiming();
    TSafariOjb safari;
    safari.SourcePath = path;
    safari.ExportBookmarks(*flat);
  }
  state.counters["bookmarks"] = static_cast<double>(bench::CountBookmarks(*flat));
  ReportExportFloor(state, *flat, path, kEmptyPlist);
}
BENCHMARK(BM_ExportFlatFolder)->Unit(benchmark::kMillisecond);

} // namespace

QUILLARY_BENCHMARK_MAIN()
