// The design sweep window against the runner: the same rows as `pavrin-cli sweep`, Stop keeping only
// finished rows with no thread left, and the program closed in the middle of a sweep.
#include "FrmDesignSweep.h"
#include "DataEdit.h"
#include "FakeMessageBoxes.h"
#include "GuiTestSupport.h"
#include "MainDesktop.h"
#include "MainForm.h"
#include "SweepCommand.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <deque>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace pavrin::app;
using namespace pavrin::app::gui;
using pavrin::cli::SweepParameter;
using pavrin::controls::testing::FakeMessageBoxes;
using pavrin::controls::testing::ScopedMessageBoxes;
using namespace pavrin::app::gui::testing;

namespace {

std::string ReadText(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The CSV as lines, header first.
QStringList Lines(const std::string& csv) {
    QStringList lines = QString::fromStdString(csv).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.pop_back();
    return lines;
}

// The runner's CSV for the same sweep.
std::string RunnerCsv(const QString& project, const std::string& vary, const QString& out) {
    const std::vector<std::string> arguments = {
        project.toStdString(), "--vary", vary, "--settlement", "0.5", "--out", out.toStdString()};
    std::ostringstream cout, cerr;
    if (pavrin::cli::sweepCommand(arguments, cout, cerr) != 0)
        qFatal("pavrin-cli sweep failed: %s", cerr.str().c_str());
    return ReadText(out);
}

// The table's rows as CSV lines (the reason has no comma in these projects).
QStringList TableLines(const QTableView& table) {
    const QAbstractItemModel& model = *table.model();
    QStringList lines;
    for (int r = 0; r < model.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < model.columnCount(); ++c)
            cells << model.index(r, c).data().toString();
        lines << cells.join(QLatin1Char(','));
    }
    return lines;
}

// Threads of this process.
int ThreadCount() {
    int n = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task")) {
        (void)entry;
        ++n;
    }
    return n;
}

void SetUp(TfrmDesignSweep& window, SweepParameter parameter, long double from, long double to, int steps) {
    window.Parameter()->setCurrentIndex(window.Parameter()->findData(static_cast<int>(parameter)));
    window.From()->SetNumber(from);
    window.To()->SetNumber(to);
    window.Steps()->SetNumber(steps);
    window.Settlement()->SetNumber(0.5L);
}

} // namespace

class FrmDesignSweepTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        QSettings settings(QString::fromLatin1(kSettingsOrganization),
                           QString::fromLatin1(kSettingsApplication));
        settings.clear();
    }

    // The window gives the runner's rows, in its table, its CSV export and its design chart.
    void sameRowsAsTheRunner() {
        FakeMessageBoxes boxes;
        ScopedMessageBoxes scopedBoxes(boxes);
        FakeDesktop desktop;
        ScopedDesktop scopedDesktop(desktop);
        QTemporaryDir folder;
        const QString project = CopyExample(folder, QStringLiteral("driven-pile-clay-sand.pv3d"));
        const std::string expected = RunnerCsv(project, "length=360:720:6", folder.filePath("runner.csv"));
        const std::string tz = RunnerCsv(project, "tz-factor=0.5:1.5:4", folder.filePath("tz.csv"));

        TMainForm form;
        form.FormShow({project});
        form.show();
        form.DesignSweepClick();
        TfrmDesignSweep* window = form.DesignSweepWindow();
        QVERIFY(window != nullptr);
        QCOMPARE(window->From()->EditLabel()->text().contains(QStringLiteral("in")), true);

        for (const auto& [parameter, from, to, steps, csv] :
             {std::tuple{SweepParameter::Length, 360.0L, 720.0L, 6, expected},
              std::tuple{SweepParameter::TzFactor, 0.5L, 1.5L, 4, tz}}) {
            SetUp(*window, parameter, from, to, steps);
            QSignalSpy ended(window, &TfrmDesignSweep::SweepEnded);
            window->RunClick();
            QVERIFY(window->Running());
            QVERIFY(ended.wait(20000));
            QCOMPARE(window->Csv(), csv);
            const QStringList lines = Lines(csv);
            QCOMPARE(TableLines(*window->Table()), lines.mid(1));
            QCOMPARE(window->Table()->model()->headerData(0, Qt::Horizontal).toString(),
                     lines.front().section(QLatin1Char(','), 0, 0));
            QCOMPARE(window->Progress()->value(), static_cast<int>(lines.size() - 1));
        }
        QVERIFY2(boxes.shown.isEmpty(), qPrintable(boxes.Texts().join(QLatin1Char(10))));

        // The chart: one point per variant that ran, on both lines.
        window->ShowChartClick();
        QVERIFY(window->ChartWindow() != nullptr);
        QCOMPARE(window->Chart().GetLine(0).PointCount(), 5);
        QCOMPARE(window->Chart().GetLine(1).PointCount(), 5);

        // Exports: the CSV is the runner's bytes; a name of the project's own files is refused.
        desktop.saveNames = {folder.filePath("window.csv"), folder.filePath("driven-pile-clay-sand.pv3o")};
        window->ExportCsvClick();
        QCOMPARE(ReadText(folder.filePath("window.csv")), tz);
        window->ExportCsvClick();
        QCOMPARE(boxes.shown.size(), 1);
        QVERIFY(!QFile::exists(folder.filePath("driven-pile-clay-sand.pv3o")) ||
                ReadText(folder.filePath("driven-pile-clay-sand.pv3o")) != tz);
        desktop.saveNames = {folder.filePath("design.xlsx")};
        window->ExportWorkbookClick();
        QVERIFY(QFileInfo(folder.filePath("design.xlsx")).size() > 0);

        // Closing the sweep window closes its chart.
        QPointer<QWidget> chart = window->ChartWindow();
        window->parentWidget()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(form.DesignSweepWindow() == nullptr);
        QVERIFY(chart == nullptr);
    }

    // Stop after a few variants: only finished rows, each the runner's, and no worker left.
    void stopKeepsTheFinishedRows() {
        FakeMessageBoxes boxes;
        ScopedMessageBoxes scopedBoxes(boxes);
        QTemporaryDir folder;
        const QString project = CopyExample(folder, QStringLiteral("driven-pile-clay-sand.pv3d"));
        const QStringList whole =
            Lines(RunnerCsv(project, "length=360:720:10000", folder.filePath("all.csv")));
        const int threads = ThreadCount();

        TMainForm form;
        form.FormShow({project});
        form.DesignSweepClick();
        TfrmDesignSweep* window = form.DesignSweepWindow();
        SetUp(*window, SweepParameter::Length, 360, 720, 10000);
        QSignalSpy added(window, &TfrmDesignSweep::RowAdded);
        QSignalSpy ended(window, &TfrmDesignSweep::SweepEnded);
        // Stop as the user would, from the event loop once a few rows have arrived.
        connect(window, &TfrmDesignSweep::RowAdded, window, [&] {
            if (added.count() == 3)
                QTimer::singleShot(0, window, [window] { window->StopClick(); });
        });
        window->RunClick();
        QVERIFY(ended.wait(20000));
        QCOMPARE(window->RunningWorkers(), std::size_t{0});
        QCOMPARE(ThreadCount(), threads);
        const QStringList rows = TableLines(*window->Table());
        QVERIFY(rows.size() >= 3 && rows.size() < 10001);
        QCOMPARE(rows.size(), static_cast<int>(added.count()));
        for (const QString& row : rows)
            QVERIFY2(whole.contains(row), qPrintable(row));
        QCOMPARE(Lines(window->Csv()).mid(1), rows);
        QVERIFY(window->RunButton()->isEnabled() && !window->StopButton()->isEnabled());
        QVERIFY(window->Status()->text().startsWith(QStringLiteral("Stopped")));
    }

    // The program closed in the middle of a sweep: the workers stop and are joined, nothing crashes.
    void closingTheProgramMidSweep() {
        FakeMessageBoxes boxes;
        ScopedMessageBoxes scopedBoxes(boxes);
        QTemporaryDir folder;
        const QString project = CopyExample(folder, QStringLiteral("driven-pile-clay-sand.pv3d"));
        const int threads = ThreadCount();
        {
            auto* form = new TMainForm;
            form->FormShow({project});
            form->show();
            form->DesignSweepClick();
            TfrmDesignSweep* window = form->DesignSweepWindow();
            SetUp(*window, SweepParameter::Length, 360, 720, 10000);
            QSignalSpy added(window, &TfrmDesignSweep::RowAdded);
            bool closed = false, runningAtClose = false;
            connect(window, &TfrmDesignSweep::RowAdded, form, [&] {
                if (added.count() == 2)
                    QTimer::singleShot(0, form, [&] {
                        runningAtClose = window->Running();
                        closed = form->close();
                    });
            });
            window->RunClick();
            QTRY_VERIFY_WITH_TIMEOUT(closed, 20000);
            QVERIFY(runningAtClose);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            delete form;
        }
        QCoreApplication::processEvents();
        QCOMPARE(ThreadCount(), threads);
    }
};

int main(int argc, char** argv) {
    // A private settings store, never the user's.
    QTemporaryDir settingsFolder;
    qputenv("XDG_CONFIG_HOME", settingsFolder.path().toLocal8Bit());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsFolder.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsFolder.path());
    QApplication application(argc, argv);
    FrmDesignSweepTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "FrmDesignSweepTest.moc"
