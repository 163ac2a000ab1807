#pragma once

#include <benchmark/benchmark.h>

#include <functional>

// A benchmark's figure depends on the machine; its floor, measured in the same run over the same
// bytes, moves with the machine too, so their ratio can be judged anywhere.
namespace quillary::bench {

// Times the floor's work in wall time and reports its mean as the counter "floor_ms". Call it
// once the timed loop is done; `prepare` runs untimed before every run of the floor. The
// reporters of RunBenchmarks add "ratio": the benchmark's wall time per iteration over the floor.
void ReportFloor(benchmark::State& state, const std::function<void()>& floor,
                 const std::function<void()>& prepare = {});

// Runs the benchmarks chosen on the command line with the reporters that add "ratio", on the
// display and in the --benchmark_out file (always JSON). Returns the exit code for main.
int RunBenchmarks(int argc, char** argv);

} // namespace quillary::bench

// The main of a benchmark program that needs nothing else.
#define QUILLARY_BENCHMARK_MAIN()                                                                  \
  int main(int argc, char** argv) {                                                                \
    return quillary::bench::RunBenchmarks(argc, argv);                                             \
  }
