// Places database speed: 100,000 bookmarks in 5,000 folders read back, and 100,000 new ones
// written into that database in one transaction.
#include "Generator.h"
#include "exchange/db/PlacesSchemas.h"
#include "exchange/db/untFirefox3.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <unistd.h>

using namespace quillary;

namespace {

std::filesystem::path Folder() {
  static const std::filesystem::path folder = [] {
    auto path = std::filesystem::temp_directory_path() /
                ("quillary-bench-firefox3-" + std::to_string(::getpid()));
    std::filesystem::create_directories(path);
    return path;
  }();
  return folder;
}

// A current-schema database holding the generated collection, written once by the exchanger.
std::string FilledDatabase() {
  static const std::string path = [] {
    const std::string file = (Folder() / "filled.sqlite").string();
    {
      sqlite3d::Connection db(file, sqlite3d::OpenMode::ReadWriteCreate);
      db.Execute(test::CurrentPlacesSchema);
    }
    auto collection = bench::GenerateCollection({});
    TFirefox3Ojb exchanger;
    exchanger.SourcePath = file;
    exchanger.ExportBookmarks(*collection);
    return file;
  }();
  return path;
}

void BM_ImportPlaces(benchmark::State& state) {
  TFirefox3Ojb exchanger;
  exchanger.SourcePath = FilledDatabase();
  std::size_t bookmarks = 0;
  for (auto _ : state) {
    const auto document = exchanger.ImportBookmarks();
    bookmarks = bench::CountBookmarks(*document);
  }
  state.counters["bookmarks"] = static_cast<double>(bookmarks);
}
BENCHMARK(BM_ImportPlaces)->Unit(benchmark::kMillisecond);

void BM_ExportNewBookmarksIntoPlaces(benchmark::State& state) {
  const std::string filled = FilledDatabase();
  bench::CollectionShape shape;
  shape.firstBookmark = shape.bookmarks; // the same folders, other addresses
  const auto collection = bench::GenerateCollection(shape);
  const std::string target = (Folder() / "target.sqlite").string();
  TFirefox3Ojb exchanger;
  exchanger.SourcePath = target;
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::copy_file(filled, target, std::filesystem::copy_options::overwrite_existing);
    state.ResumeTiming();
    exchanger.ExportBookmarks(*collection);
  }
  sqlite3d::Connection db(target, sqlite3d::OpenMode::ReadOnly);
  sqlite3d::Statement count(db, "SELECT count(*) AS n FROM moz_bookmarks WHERE type = 1");
  count.Step();
  state.counters["bookmarks_after"] = static_cast<double>(count.ColumnInt64("n"));
}
BENCHMARK(BM_ExportNewBookmarksIntoPlaces)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(Folder());
  return 0;
}
