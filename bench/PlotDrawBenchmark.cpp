// The drawing of the largest load-distribution graph the engine writes (50 tip movements of 901
// nodes) into a 1600 x 1000 picture, as the graph window repaints it: one frame should take under 16 ms.
#include "PlotDraw.h"
#include "PltData.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

using namespace pavrin::graphics;

// Load against depth for 50 tip movements: loads fall off with depth, more for larger movements.
void fillLoadDistribution(TGraphPlot& graph) {
    graph.Caption = "Load Distribution";
    graph.XCaption = "Total Capacity ";
    graph.XUnits = "F1";
    graph.YCaption = "Depth ";
    graph.YUnits = "L2";
    graph.XOnTop = true;
    graph.SetLineCount(50);
    graph.SetPointCount(901);
    for (int i = 0; i < 50; ++i)
        for (int j = 0; j < 901; ++j) {
            const long double depth = 150.0L * (900 - j) / 900;
            graph.GetPoint(i, j) = {(i + 1) * 40.0L * (1 - depth / 200) + 5 * std::sin(depth / 7), depth};
        }
}

// Argument: the marker interval (0 none, 1 a marker on every point, as a new graph has it).
void drawFrame(benchmark::State& state, bool windowLimit) {
    TGraphPlot graph("pltLoad");
    fillLoadDistribution(graph);
    if (windowLimit)
        ActivateLinesForNewWindow(graph); // the window draws the first 20
    graph.Markers = static_cast<int>(state.range(0));
    const TPlotRange range = *ComputeRanges(graph);
    TPlotLayout layout = WindowLayout(graph, 1600, 1000, 96, 96, kWindowFontHeight);
    layout.ForOutput = true;
    QImage image(1600, 1000, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        DrawPlot(painter, graph, range, layout);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}

void BM_DrawPlotLoadDistribution50Lines(benchmark::State& state) {
    drawFrame(state, false);
}
void BM_DrawPlotLoadDistributionAsTheWindowOpens(benchmark::State& state) {
    drawFrame(state, true);
}

BENCHMARK(BM_DrawPlotLoadDistribution50Lines)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawPlotLoadDistributionAsTheWindowOpens)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
