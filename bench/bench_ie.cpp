// Favorites speed: a tree of 10,000 shortcut files in 500 folders.
#include "BareWork.h"
#include "Floor.h"
#include "Generator.h"
#include "exchange/files/untIE.h"

#include <benchmark/benchmark.h>

#include <filesystem>

using namespace quillary;
namespace fs = std::filesystem;

namespace {

// The tree, written once per run into a fresh folder by the exporter itself and removed when the
// program ends.
struct Tree {
  std::string path = (fs::temp_directory_path() / "quillary-bench-favorites").string();
  Tree() {
    fs::remove_all(path);
    fs::create_directories(path);
    bench::CollectionShape shape;
    shape.bookmarks = 10000;
    shape.folders = 500;
    auto collection = bench::GenerateCollection(shape);
    TIEObj ie;
    ie.SourcePath = path;
    ie.ExportBookmarks(*collection);
  }
  ~Tree() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
  }
};

const std::string& FavoritesTree() {
  static const Tree tree;
  return tree.path;
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
  bench::ReportFloor(state, [&] { benchmark::DoNotOptimize(bench::BareReadAndScan(tree, '\n')); });
}
BENCHMARK(BM_ImportFavorites)->Unit(benchmark::kMillisecond);

} // namespace

QUILLARY_BENCHMARK_MAIN()
