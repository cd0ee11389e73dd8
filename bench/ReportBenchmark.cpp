// The calculation report of the case at every capacity of the data model (900 increments, 50 tip
// movements, 50 head loads, 100 user t-z curves): the whole report function (reading the project
// and its plot data, the in-memory analysis, laying out and drawing every page), with the PDF's size
// and page count as counters. The whole pavrin-cli process is timed on the same files:
//   report_benchmark --write-maximum FOLDER   leaves maximum.pv3d and its plot data in FOLDER, then
//   pavrin-cli report FOLDER/maximum.pv3d --out FOLDER/maximum.pdf
#include "Analysis.h"
#include "CalculationReport.h"
#include "MaximumInput.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

bool writeFile(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    return static_cast<bool>(out);
}

// The project and the plot data of its run, as pavrin-cli run leaves them.
bool writeMaximumRun(const fs::path& folder) {
    const std::string input = pavrin::bench::maximumInput(0);
    std::string report, plot;
    pavrin::engine::AnalysisResults results;
    if (pavrin::engine::analyse(input, report, plot, results) != 0)
        return false;
    return writeFile(folder / "maximum.pv3d", input) && writeFile(folder / "maximum.pv3o", report) &&
           writeFile(folder / "maximum.pv3p", plot);
}

void BM_ReportMaximum(benchmark::State& state) {
    const fs::path folder = fs::temp_directory_path() / ("pavrin-bench-report-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    if (!writeMaximumRun(folder)) {
        state.SkipWithError("the maximum case could not be analysed");
        return;
    }
    const std::string pdf = (folder / "maximum.pdf").string();
    pavrin::report::ReportOutcome outcome;
    for (auto _ : state) {
        outcome = pavrin::report::WriteCalculationReport((folder / "maximum.pv3d").string(), pdf, {});
        if (outcome.status != 0) {
            state.SkipWithError(outcome.message.c_str());
            break;
        }
    }
    state.counters["pages"] = outcome.pages;
    state.counters["pdf_MB"] = static_cast<double>(fs::file_size(pdf)) / (1024.0 * 1024.0);
    fs::remove_all(folder);
}
BENCHMARK(BM_ReportMaximum)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--write-maximum") == 0) {
        fs::create_directories(argv[2]);
        if (!writeMaximumRun(argv[2])) {
            std::cerr << "report_benchmark: the maximum case could not be analysed or written\n";
            return 1;
        }
        return 0;
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
