// pavrin-cli's in-memory commands: a sweep of 200 variants of the driven-pile example (the
// bundled example with the most analysis work: 100 increments, generated curves, 8 tip movements
// and 3 head loads) on one and on two threads, and summary and springs on the case at every
// capacity of the data model.
//   analysis_commands_benchmark --write-maximum FILE.pv3d   writes that case as a project file,
//   for timing the whole pavrin-cli process on it.
#include "MaximumInput.h"
#include "SpringsCommand.h"
#include "SummaryCommand.h"
#include "SweepCommand.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace pavrin::cli;

fs::path scratch(const std::string& name) {
    return fs::temp_directory_path() / ("pavrin-bench-" + std::to_string(::getpid()) + "-" + name);
}

bool writeMaximum(const fs::path& path) {
    std::ofstream out(path, std::ios::binary);
    out << pavrin::bench::maximumInput(0);
    return static_cast<bool>(out);
}

void BM_Sweep200(benchmark::State& state) {
    const std::string jobs = std::to_string(state.range(0));
    const std::string out = scratch("sweep.csv").string();
    const std::vector<std::string> arguments = {PAVRIN_EXAMPLES "/driven-pile-clay-sand.pv3d",
                                                "--vary",
                                                "length=400:700:199",
                                                "--jobs",
                                                jobs,
                                                "--out",
                                                out};
    for (auto _ : state) {
        std::ostringstream cout, err;
        if (sweepCommand(arguments, cout, err) != 0)
            state.SkipWithError(err.str().c_str());
    }
    fs::remove(out);
}

void BM_MaximumCase(benchmark::State& state, bool springs) {
    const fs::path project = scratch("maximum.pv3d");
    const std::string out = scratch("springs.csv").string();
    if (!writeMaximum(project))
        state.SkipWithError("cannot write the project");
    std::vector<std::string> arguments = {project.string()};
    if (springs)
        arguments.insert(arguments.end(), {"--out", out, "--at", "increments"});
    for (auto _ : state) {
        std::ostringstream cout, err;
        const int code =
            springs ? springsCommand(arguments, cout, err) : summaryCommand(arguments, cout, err);
        if (code != 0)
            state.SkipWithError(err.str().c_str());
    }
    fs::remove(project);
    fs::remove(out);
}

void BM_SummaryMaximum(benchmark::State& state) {
    BM_MaximumCase(state, false);
}
void BM_SpringsAtIncrementsMaximum(benchmark::State& state) {
    BM_MaximumCase(state, true);
}

} // namespace

BENCHMARK(BM_Sweep200)->Arg(1)->Arg(2)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SummaryMaximum)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SpringsAtIncrementsMaximum)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--write-maximum") == 0)
        return writeMaximum(argv[2]) ? 0 : 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
