// The calibration window against the runner: a one-factor fit of an example to points of its own
// curve with t x 1.3 gives the factor `pavrin-cli fit` writes, the table and the graph show the
// points and both curves, and Apply puts the factor into the project, which is then modified.
#include "FrmCalibrate.h"
#include "DesignSweep.h"
#include "FakeMessageBoxes.h"
#include "FitCommand.h"
#include "GuiTestSupport.h"
#include "MainForm.h"
#include "ProgramData.h"
#include "ProjectFile.h"
#include "ProjectTables.h"
#include "Run.h"

#include <QMdiArea>

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <sstream>

using namespace pavrin::app;
using namespace pavrin::app::gui;
using pavrin::controls::testing::FakeMessageBoxes;
using pavrin::controls::testing::ScopedMessageBoxes;
using namespace pavrin::app::gui::testing;
namespace cli = pavrin::cli;

namespace {

// Ten points on the project's curve with its t-z multipliers times 1.3, written as its measured test.
void WriteKnownVariantTest(const QString& project) {
    cli::OpenedProject opened;
    std::ostringstream err;
    if (cli::openProject(project.toStdString(), opened, err) != 0)
        qFatal("%s", err.str().c_str());
    const cli::VariantChange change{cli::SweepParameter::TzFactor, 1.3L};
    std::string input, reason, report, plot;
    if (!cli::variantInput(*opened.data, std::span(&change, 1), input, reason))
        qFatal("%s", reason.c_str());
    pavrin::engine::AnalysisResults results;
    if (pavrin::engine::analyse(input, report, plot, results) != pavrin::engine::StatusOk)
        qFatal("the variant does not run");
    const auto curve = cli::predictedCurve(results.tipResults);
    long double largest = 0;
    for (const auto& p : curve)
        largest = std::max(largest, p.load);
    TMeasuredLoadTest test;
    test.units = opened.data->Units;
    for (int i = 0; i < 10; ++i) {
        const long double load = largest * (0.1L + 0.08L * i);
        test.points.push_back({load, *cli::settlementAtLoad(curve, load), std::nullopt});
    }
    if (const auto error = WriteMeasuredLoadTest(MeasuredFileName(project.toStdString()), test))
        qFatal("%s", error->c_str());
}

} // namespace

class FrmCalibrateTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        QSettings settings(QString::fromLatin1(kSettingsOrganization),
                           QString::fromLatin1(kSettingsApplication));
        settings.clear();
    }

    void oneFactorFitAppliedToTheProject() {
        FakeMessageBoxes boxes;
        ScopedMessageBoxes scopedBoxes(boxes);
        FakeDesktop desktop;
        ScopedDesktop scopedDesktop(desktop);
        QTemporaryDir folder;
        const QString project = CopyExample(folder, QStringLiteral("driven-pile-clay-sand.pv3d"));
        WriteKnownVariantTest(project);
        // The runner's calibrated project, for its factor.
        const QString fitted = folder.filePath(QStringLiteral("fitted.pv3d"));
        std::ostringstream cout, cerr;
        QCOMPARE(cli::fitCommand({{project.toStdString(), "--vary", "tz-factor", "--out", fitted.toStdString()}},
                                 cout, cerr),
                 0);
        cli::OpenedProject runner;
        QCOMPARE(cli::openProject(fitted.toStdString(), runner, cerr), 0);
        const long double runnerFactor = runner.data->Tables().TblPVFactors2().Float(col::kTMultiplier, 0);

        TMainForm form;
        form.FormShow({project});
        form.resize(900, 640); // a work area smaller than the window would like
        form.show();
        form.CalibrateClick();
        TfrmCalibrate* window = form.CalibrationWindow();
        QVERIFY(window != nullptr);
        // The window opens whole inside the work area, not partly behind a scroll bar.
        const QWidget* frame = window->parentWidget();
        QVERIFY(QRect(QPoint(0, 0), form.MdiArea()->viewport()->size()).contains(frame->geometry()));
        QVERIFY(!window->ApplyButton()->isEnabled());
        window->VaryTz()->setChecked(true);
        QSignalSpy ended(window, &TfrmCalibrate::FitEnded);
        window->RunClick();
        QVERIFY(window->Running());
        QVERIFY(ended.wait(20000));
        QVERIFY2(boxes.shown.isEmpty(), qPrintable(boxes.Texts().join(QLatin1Char(10))));
        QVERIFY(window->Result() && window->Result()->done && window->Result()->converged);
        const cli::FitResult& result = *window->Result();
        QVERIFY(std::abs(result.tzFactor - 1.3L) < 0.013L);
        QCOMPARE(window->Progress()->value(), static_cast<int>(result.analyses));
        QCOMPARE(window->Table()->rowCount(), 10);
        QVERIFY(window->Status()->text().contains(QStringLiteral("t-z multiplier")));
        // The graph: the measured points, the uncalibrated and the calibrated curve.
        QCOMPARE(window->Chart().LineCount(), 3);
        QCOMPARE(window->Chart().GetLine(0).PointCount(), 10);
        QVERIFY(window->Chart().GetLine(1).PointCount() > 2);
        QCOMPARE(window->Chart().GetLine(2).PointCount(), window->Chart().GetLine(1).PointCount());

        // Apply: the factors switched on with the fitted value, the runner's, and the project modified.
        QVERIFY(!ProgramData->Tables().IsModified());
        QVERIFY(window->ApplyButton()->isEnabled());
        window->ApplyClick();
        QCOMPARE(ProgramData->ApplySideFactors, 1);
        const TGridTable& factors = ProgramData->Tables().TblPVFactors2();
        QCOMPARE(factors.RowCount(), 2);
        QCOMPARE(FormatNumber(factors.Float(col::kTMultiplier, 1)), FormatNumber(runnerFactor));
        QVERIFY(ProgramData->Tables().IsModified());
        QVERIFY(!window->ApplyButton()->isEnabled()); // applied once: a second Apply would multiply again
    }
};

int main(int argc, char** argv) {
    // A private settings store, never the user's.
    QTemporaryDir settingsFolder;
    qputenv("XDG_CONFIG_HOME", settingsFolder.path().toLocal8Bit());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsFolder.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsFolder.path());
    QApplication application(argc, argv);
    FrmCalibrateTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "FrmCalibrateTest.moc"
