// Search speed over a collection of 100,000 bookmarks.
#include "BareWork.h"
#include "Floor.h"
#include "Generator.h"
#include "store/Find.h"

#include <benchmark/benchmark.h>

using namespace quillary;

namespace {

void BM_FindBookmarks(benchmark::State& state, FindOptions options) {
  auto collection = bench::GenerateCollection({});
  std::size_t rows = 0;
  for (auto _ : state)
    rows = FindBookmarks(*collection, options)->size();
  state.counters["rows"] = static_cast<double>(rows);
  bench::ReportFloor(state, [&] { benchmark::DoNotOptimize(bench::BareWalk(*collection)); });
}
BENCHMARK_CAPTURE(BM_FindBookmarks, IgnoringCase,
                  FindOptions{"NEWS", FindTarget::All, false, false})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FindBookmarks, MatchCase, FindOptions{"news", FindTarget::All, false, true})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FindBookmarks, EveryBookmark,
                  FindOptions{"example", FindTarget::All, false, false})
    ->Unit(benchmark::kMillisecond);

} // namespace

QUILLARY_BENCHMARK_MAIN()
