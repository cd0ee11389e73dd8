// One complete engine run on an input at every capacity of the data model
// (user curves), with the full report (output detail 0) and with the
// summaries only (output detail 1).
#include "MaximumInput.h"
#include "Run.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using pavrin::bench::maximumInput;

void run(benchmark::State& state, int outputDetail) {
    const std::string input = maximumInput(outputDetail);
    std::size_t reportSize = 0;
    for (auto _ : state) {
        std::string report, plot;
        const auto status = pavrin::engine::analyse(input, report, plot);
        if (status != 0)
            state.SkipWithError("the benchmark input did not run to status 0");
        reportSize = report.size();
        benchmark::DoNotOptimize(plot.data());
    }
    state.counters["report_bytes"] = static_cast<double>(reportSize);
}

void BM_FullRunDetail0(benchmark::State& state) {
    run(state, 0);
}
void BM_FullRunDetail1(benchmark::State& state) {
    run(state, 1);
}

} // namespace

BENCHMARK(BM_FullRunDetail0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullRunDetail1)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
