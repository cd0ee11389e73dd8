// The calibration to a measured load test: the fit of the driven-pile example to 10 measured points
// (its own curve with t x 1.3 and Q x 0.7, each settlement moved by up to 3 % as a test's scatter),
// by the t-z multiplier alone and by both multipliers, as `pavrin-cli fit` makes it (the project read
// once, every trial an analysis in memory). The counter `analyses` is the number of analyses a fit made.
#include "Calibration.h"
#include "DesignSweep.h"
#include "ProgramData.h"
#include "ProjectAnalysis.h"
#include "Run.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <sstream>

namespace {

using namespace pavrin;

app::TMeasuredLoadTest MeasuredTest(cli::OpenedProject& project) {
    const cli::VariantChange changes[] = {{cli::SweepParameter::TzFactor, 1.3L},
                                          {cli::SweepParameter::QwFactor, 0.7L}};
    std::string input, reason, report, plot;
    cli::variantInput(*project.data, changes, input, reason);
    engine::AnalysisResults results;
    engine::analyse(input, report, plot, results);
    const auto curve = cli::predictedCurve(results.tipResults);
    long double largest = 0;
    for (const auto& p : curve)
        largest = std::max(largest, p.load);
    app::TMeasuredLoadTest test;
    test.units = project.data->Units;
    const long double scatter[] = {0.02L, -0.01L, 0.03L, -0.02L, 0.01L, -0.03L, 0.02L, 0.0L, -0.01L, 0.02L};
    for (int i = 0; i < 10; ++i) {
        const long double load = largest * (0.1L + 0.08L * i);
        test.points.push_back({load, *cli::settlementAtLoad(curve, load) * (1 + scatter[i]), std::nullopt});
    }
    return test;
}

void Fit(benchmark::State& state, bool varyQw) {
    cli::OpenedProject project;
    std::ostringstream err;
    if (cli::openProject(PAVRIN_EXAMPLES "/driven-pile-clay-sand.pv3d", project, err) != 0) {
        state.SkipWithError(err.str().c_str());
        return;
    }
    const app::TMeasuredLoadTest test = MeasuredTest(project);
    cli::FitSettings settings;
    settings.varyQw = varyQw;
    std::size_t analyses = 0;
    for (auto _ : state) {
        const cli::FitResult result = cli::fitToLoadTest(*project.data, test, settings);
        if (!result.done)
            state.SkipWithError(result.reason.c_str());
        analyses = result.analyses;
        benchmark::DoNotOptimize(result.tzFactor);
    }
    state.counters["analyses"] = static_cast<double>(analyses);
}

void BM_FitTzFactor(benchmark::State& state) {
    Fit(state, false);
}
BENCHMARK(BM_FitTzFactor)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FitTzAndQwFactors(benchmark::State& state) {
    Fit(state, true);
}
BENCHMARK(BM_FitTzAndQwFactors)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
