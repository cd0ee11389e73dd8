// The desktop program's main window: opening the example project, running it through the engine
// library and loading its plot data, in process (Google Benchmark). With --startup PROJECT it only
// builds the window, opens the project, waits until the window is shown and exits, so that the cold
// start can be timed as a whole process.
#include "MainForm.h"
#include "MessageBoxes.h"
#include "ProgramData.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include <cstring>

namespace {

// Message boxes answered at once (the completion message of every run).
class SilentBoxes final : public pavrin::controls::MessageBoxes {
public:
    void ShowMessage(QWidget*, const QString&, Icon, const QString&) override {}
    Answer Ask(QWidget*, const QString&, Buttons, Icon, const QString&) override { return Answer::No; }
};

QString g_project;

void BM_OpenRunLoad(benchmark::State& state) {
    SilentBoxes boxes;
    pavrin::controls::MessageBoxes::SetCurrent(&boxes);
    pavrin::app::gui::TMainForm form;
    form.SetProgramFolder(QCoreApplication::applicationDirPath());
    for (auto _ : state) {
        form.Commands().OpenFileName(g_project.toStdString(), true);
        form.CompRunClick();
        if (!form.ResultsLoaded() || form.LastRunStatus() != 0)
            state.SkipWithError("the run did not complete");
    }
    pavrin::controls::MessageBoxes::SetCurrent(nullptr);
}
BENCHMARK(BM_OpenRunLoad)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "--startup") == 0) {
        pavrin::app::gui::TMainForm form;
        form.show();
        form.FormShow({QString::fromLocal8Bit(argv[2])});
        return QTest::qWaitForWindowExposed(&form) ? 0 : 1;
    }
    // A copy of the example, so that the runs write their files outside the repository.
    QTemporaryDir folder;
    g_project = folder.filePath(QStringLiteral("driven-pile-clay-sand.pv3d"));
    QFile::copy(QStringLiteral(PAVRIN_EXAMPLES "/driven-pile-clay-sand.pv3d"), g_project);
    QFile(g_project).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
