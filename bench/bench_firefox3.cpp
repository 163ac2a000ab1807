// Places database speed: 100,000 bookmarks in 5,000 folders read back, and 100,000 new ones
// written into that database in one transaction. Argument 0 is the current schema with all its
// indexes, 1 the Firefox 3 schema.
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

// A database holding the generated collection, written once by the exchanger: the current
// schema (shape 0) or a Firefox 3 one with its built-in rows up to id 15 (shape 1).
std::string FilledDatabase(std::int64_t shape) {
  static std::string paths[2];
  std::string& path = paths[shape];
  if (path.empty()) {
    const std::string file = (Folder() / ("filled-" + std::to_string(shape) + ".sqlite")).string();
    {
      sqlite3d::Connection db(file, sqlite3d::OpenMode::ReadWriteCreate);
      // The browser keeps its database in write-ahead-log mode.
      if (shape == 0)
        db.Execute("PRAGMA journal_mode = WAL");
      db.Execute(shape == 0 ? test::CurrentPlacesSchema : test::Firefox3PlacesSchema);
      if (shape == 1)
        db.Execute("INSERT INTO moz_bookmarks(id, type, parent, position) VALUES (15, 3, 1, 9)");
    }
    auto collection = bench::GenerateCollection({});
    TFirefox3Ojb exchanger;
    exchanger.SourcePath = file;
    exchanger.ExportBookmarks(*collection);
    path = file;
  }
  return path;
}

void BM_ImportPlaces(benchmark::State& state) {
  TFirefox3Ojb exchanger;
  exchanger.SourcePath = FilledDatabase(state.range(0));
  std::size_t bookmarks = 0;
  for (auto _ : state) {
    const auto document = exchanger.ImportBookmarks();
    bookmarks = bench::CountBookmarks(*document);
  }
  state.counters["bookmarks"] = static_cast<double>(bookmarks);
}
BENCHMARK(BM_ImportPlaces)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ExportNewBookmarksIntoPlaces(benchmark::State& state) {
  const std::string filled = FilledDatabase(state.range(0));
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
BENCHMARK(BM_ExportNewBookmarksIntoPlaces)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(Folder());
  return 0;
}
