// Favorites speed: a tree of 10,000 shortcut files in 500 folders.
#include "Generator.h"
#include "exchange/files/untIE.h"

#include <benchmark/benchmark.h>

#include <filesystem>

using namespace quillary;
namespace fs = std::filesystem;

namespace {

// The tree is written once per run into a fresh folder by the exporter itself.
const std::string& FavoritesTree() {
  static const std::string path = [] {
    const fs::path folder = fs::temp_directory_path() / "quillary-bench-favorites";
    fs::remove_all(folder);
    fs::create_directories(folder);
    bench::CollectionShape shape;
    shape.bookmarks = 10000;
    shape.folders = 500;
    auto collection = bench::GenerateCollection(shape);
    TIEObj ie;
    ie.SourcePath = folder.string();
    ie.ExportBookmarks(*collection);
    return folder.string();
  }();
  return path;
}

void BM_ImportFavorites(benchmark::State& state) {
  const std::string& tree = FavoritesTree();
  std::size_t bookmarks = 0;
  for (auto _ : state) {
    TIEObj ie;
    ie.SourcePath = tree;
    auto document = ie.ImportBookmarks();
    bookmarks = bench::CountBookmarks(*document);
  }
  std::size_t files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(tree))
    files += entry.path().extension() == ".url";
  if (bookmarks != files)
    state.SkipWithError("the import missed shortcut files");
  state.counters["shortcut_files"] = static_cast<double>(files);
}
BENCHMARK(BM_ImportFavorites)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
