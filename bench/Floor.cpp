#include "Floor.h"

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <vector>

namespace quillary::bench {

namespace {

// Enough runs for a steady mean without doubling the time of a slow benchmark.
constexpr int kMinRuns = 3;
constexpr int kMaxRuns = 1000;
constexpr double kMinSeconds = 0.2;

double Milliseconds(double time, benchmark::TimeUnit unit) {
  switch (unit) {
  case benchmark::kNanosecond:
    return time / 1e6;
  case benchmark::kMicrosecond:
    return time / 1e3;
  case benchmark::kMillisecond:
    return time;
  case benchmark::kSecond:
    return time * 1e3;
  }
  return time;
}

// Passes every report on to the reporter it wraps, with "ratio" added wherever "floor_ms" is.
class RatioReporter : public benchmark::BenchmarkReporter {
public:
  // The library keeps its display reporter for the whole program; a file reporter is ours.
  explicit RatioReporter(benchmark::BenchmarkReporter* display) : inner_(display) {}
  explicit RatioReporter(std::unique_ptr<benchmark::BenchmarkReporter> file)
      : owned_(std::move(file)), inner_(owned_.get()) {}

  bool ReportContext(const Context& context) override {
    // The library points this reporter at its stream (the --benchmark_out file, say).
    inner_->SetOutputStream(&GetOutputStream());
    inner_->SetErrorStream(&GetErrorStream());
    return inner_->ReportContext(context);
  }

  void ReportRuns(const std::vector<Run>& runs) override {
    std::vector<Run> reported = runs;
    for (Run& run : reported) {
      const auto floor = run.counters.find("floor_ms");
      // A spread of times over a mean floor means nothing.
      const bool spread = run.run_type == Run::RT_Aggregate && run.aggregate_name != "mean" &&
                          run.aggregate_name != "median";
      if (floor == run.counters.end() || floor->second.value <= 0 || run.error_occurred || spread)
        continue;
      run.counters["ratio"] =
          Milliseconds(run.GetAdjustedRealTime(), run.time_unit) / floor->second.value;
    }
    inner_->ReportRuns(reported);
  }

  void Finalize() override { inner_->Finalize(); }

private:
  std::unique_ptr<benchmark::BenchmarkReporter> owned_;
  benchmark::BenchmarkReporter* inner_;
};

} // namespace

void ReportFloor(benchmark::State& state, const std::function<void()>& floor,
                 const std::function<void()>& prepare) {
  using Clock = std::chrono::steady_clock;
  // One run untimed, as the benchmark's own first runs warm the caches for its later ones.
  if (prepare)
    prepare();
  floor();
  double seconds = 0;
  int runs = 0;
  while (runs < kMinRuns || (seconds < kMinSeconds && runs < kMaxRuns)) {
    if (prepare)
      prepare();
    const auto start = Clock::now();
    floor();
    seconds += std::chrono::duration<double>(Clock::now() - start).count();
    ++runs;
  }
  state.counters["floor_ms"] = seconds / runs * 1e3;
}

int RunBenchmarks(int argc, char** argv) {
  // The library refuses a file reporter when no file is asked for, so look before it parses.
  const char* fromEnvironment = std::getenv("BENCHMARK_OUT");
  bool toFile = fromEnvironment && *fromEnvironment;
  for (int i = 1; i < argc; ++i)
    toFile = toFile || std::string_view(argv[i]).starts_with("--benchmark_out=");
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;
  RatioReporter display(benchmark::CreateDefaultDisplayReporter());
  if (toFile) {
    RatioReporter file(std::make_unique<benchmark::JSONReporter>());
    benchmark::RunSpecifiedBenchmarks(&display, &file);
  } else {
    benchmark::RunSpecifiedBenchmarks(&display);
  }
  benchmark::Shutdown();
  return 0;
}

} // namespace quillary::bench
