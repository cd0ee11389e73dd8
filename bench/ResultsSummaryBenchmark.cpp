// The results summary window's refresh after a run, at every capacity of the data model: the
// in-memory analysis of the saved project, its rows in both tables and the neutral planes, as the
// main window does after each run.
#include "FrmResultsSummary.h"
#include "MaximumInput.h"
#include "PltData.h"
#include "ResultTables.h"

#include <QApplication>
#include <QTableWidget>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

namespace {

void BM_SummaryRefreshMaximumInput(benchmark::State& state) {
    QTemporaryDir folder;
    const std::string project = folder.filePath(QStringLiteral("maximum.pv3d")).toStdString();
    const std::string plot = folder.filePath(QStringLiteral("maximum.pv3p")).toStdString();
    std::ofstream(project, std::ios::binary) << pavrin::bench::maximumInput(1);
    std::ofstream(plot, std::ios::binary) << "";
    std::filesystem::last_write_time(plot, std::filesystem::last_write_time(project) + std::chrono::seconds(1));
    pavrin::app::gui::TfrmResultsSummary window;
    pavrin::graphics::TResultGraphs graphs;
    for (auto _ : state) {
        pavrin::results::ShownAnalysis shown = pavrin::results::analyseShownResults(project, plot);
        if (shown.results == nullptr) {
            state.SkipWithError(shown.reason.c_str());
            return;
        }
        graphs.SetNeutralPlanes(pavrin::results::neutralPlaneDepths(*shown.results));
        window.ShowResults(*shown.results, project);
        benchmark::DoNotOptimize(window.TipTable()->rowCount());
    }
    state.counters["rows"] = window.TipTable()->rowCount() + window.HeadTable()->rowCount();
}
BENCHMARK(BM_SummaryRefreshMaximumInput)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
