// The design sweep window against the runner: a 200-interval length sweep of the driven-pile example
// (201 variants) run from the window until its last row is shown, and the same sweep through
// `pavrin-cli sweep --jobs 2` in process. While the window's sweep runs, a 5 ms timer ticks in the
// event loop; the counter max_tick_gap_ms is the largest gap between two ticks (the longest time the
// window did not answer).
#include "DataEdit.h"
#include "FrmDesignSweep.h"
#include "MainForm.h"
#include "MessageBoxes.h"
#include "SweepCommand.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <sstream>

namespace {

class SilentBoxes final : public pavrin::controls::MessageBoxes {
public:
    void ShowMessage(QWidget*, const QString&, Icon, const QString&) override {}
    Answer Ask(QWidget*, const QString&, Buttons, Icon, const QString&) override { return Answer::No; }
};

QString g_project;
QString g_out;

void BM_WindowSweep(benchmark::State& state) {
    using pavrin::app::gui::TfrmDesignSweep;
    SilentBoxes boxes;
    pavrin::controls::MessageBoxes::SetCurrent(&boxes);
    pavrin::app::gui::TMainForm form;
    form.FormShow({g_project});
    form.show();
    form.DesignSweepClick();
    TfrmDesignSweep* window = form.DesignSweepWindow();
    window->Parameter()->setCurrentIndex(0);
    window->From()->SetNumber(360);
    window->To()->SetNumber(720);
    window->Steps()->SetNumber(200);
    window->Settlement()->SetNumber(0.5L);
    double largestGap = 0;
    for (auto _ : state) {
        QEventLoop loop;
        QObject::connect(window, &TfrmDesignSweep::SweepEnded, &loop, &QEventLoop::quit);
        QElapsedTimer clock;
        qint64 last = 0;
        QTimer ticks;
        ticks.setInterval(5);
        QObject::connect(&ticks, &QTimer::timeout, [&] {
            const qint64 now = clock.nsecsElapsed();
            largestGap = std::max(largestGap, static_cast<double>(now - last) / 1e6);
            last = now;
        });
        clock.start();
        ticks.start();
        window->RunClick();
        if (window->Running())
            loop.exec();
        ticks.stop();
        // The gap from the last tick to the end counts too.
        largestGap = std::max(largestGap, static_cast<double>(clock.nsecsElapsed() - last) / 1e6);
        if (window->Rows().rowCount() != 201)
            state.SkipWithError("the sweep did not give 201 rows");
    }
    state.counters["max_tick_gap_ms"] = largestGap;
    pavrin::controls::MessageBoxes::SetCurrent(nullptr);
}
BENCHMARK(BM_WindowSweep)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RunnerSweepJobs2(benchmark::State& state) {
    const std::vector<std::string> arguments = {g_project.toStdString(),
                                                "--vary",
                                                "length=360:720:200",
                                                "--settlement",
                                                "0.5",
                                                "--jobs",
                                                "2",
                                                "--out",
                                                g_out.toStdString()};
    for (auto _ : state) {
        std::ostringstream out, err;
        if (pavrin::cli::sweepCommand(arguments, out, err) != 0)
            state.SkipWithError(err.str().c_str());
    }
}
BENCHMARK(BM_RunnerSweepJobs2)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    // A copy of the example, so that the saves before each sweep stay outside the repository.
    QTemporaryDir folder;
    g_project = folder.filePath(QStringLiteral("driven-pile-clay-sand.pv3d"));
    g_out = folder.filePath(QStringLiteral("sweep.csv"));
    QFile::copy(QStringLiteral(PAVRIN_EXAMPLES "/driven-pile-clay-sand.pv3d"), g_project);
    QFile(g_project).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
