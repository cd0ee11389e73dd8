// The engineering results of a run in the desktop program, against the runner's commands on the same
// saved project: the results summary window (rows, copy, CSV export), the springs export in both
// modes, and the neutral-plane mark on the load-distribution graph.
#include "FakeMessageBoxes.h"
#include "FrmResultsSummary.h"
#include "GuiTestSupport.h"
#include "MainForm.h"
#include "PlotDraw.h"
#include "ProgramData.h"
#include "ResultTables.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QLabel>
#include <QLocale>
#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace pavrin;
using namespace pavrin::app;
using namespace pavrin::app::gui;
using namespace pavrin::app::gui::testing;
using pavrin::controls::testing::FakeMessageBoxes;
using pavrin::controls::testing::ScopedMessageBoxes;

namespace {

// What `pavrin-cli ARGUMENTS` prints; the test fails when it does not succeed.
QByteArray Cli(const QStringList& arguments) {
    QProcess cli;
    cli.start(QStringLiteral(PAVRIN_BIN "/pavrin-cli"), arguments);
    if (!cli.waitForFinished(60000) || cli.exitCode() != 0)
        qFatal("pavrin-cli %s failed: %s", qPrintable(arguments.join(' ')), cli.readAllStandardError().data());
    return cli.readAllStandardOutput();
}

QStringList RowOf(const QTableWidget& table, int row) {
    QStringList fields;
    for (int c = 0; c < table.columnCount(); ++c)
        fields << (table.item(row, c) != nullptr ? table.item(row, c)->text() : QString());
    return fields;
}

// Pixels of `colour` in row `y` of the image.
int PixelsInRow(const QImage& image, int y, QColor colour) {
    int count = 0;
    for (int x = 0; x < image.width(); ++x)
        count += image.pixelColor(x, y) == colour;
    return count;
}

} // namespace

class FrmResultsSummaryTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        QSettings(QString::fromLatin1(kSettingsOrganization), QString::fromLatin1(kSettingsApplication)).clear();
    }

    void theResultsOfARunAreTheRunnersResults() {
        FakeMessageBoxes boxes;
        ScopedMessageBoxes scopedBoxes(boxes);
        FakeDesktop desktop;
        ScopedDesktop scopedDesktop(desktop);
        QTemporaryDir folder;
        const QString project = CopyExample(folder, QStringLiteral("user-curves-downdrag.pv3d"));
        TMainForm form;
        form.SetProgramFolder(QStringLiteral(PAVRIN_BIN));
        form.FormShow({project});
        form.resize(1200, 900);
        form.show();

        // Before the run: nothing to show, and the window says why.
        form.UpdateMenus();
        form.ResultsSummaryClick();
        TfrmResultsSummary* summary = form.SummaryWindow();
        QVERIFY(summary != nullptr);
        QCOMPARE(summary->TipTable()->rowCount(), 0);
        QVERIFY(summary->Message()->text().contains(QStringLiteral("run the analysis")));
        QVERIFY(!summary->ExportButton()->isEnabled());

        // The run closes the other child windows; the summary stays and is filled.
        form.CompRunClick();
        QCOMPARE(form.LastRunStatus(), 0);
        QCOMPARE(form.SummaryWindow(), summary);
        QCOMPARE(form.MdiArea()->subWindowList().size(), 1);
        QVERIFY(summary->Message()->text().startsWith(QStringLiteral("Down-drag results: ")));

        // Every row of `pavrin-cli summary --csv`, field for field, in its pass's table.
        const QByteArray csv = Cli({QStringLiteral("summary"), project, QStringLiteral("--csv")});
        const QStringList lines = QString::fromUtf8(csv).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QVERIFY(lines.size() > 2);
        int tipRows = 0, headRows = 0;
        for (const QString& line : lines.mid(1)) {
            QStringList fields = line.split(QLatin1Char(','));
            const bool head = fields.takeFirst() == QStringLiteral("head load");
            int& row = head ? headRows : tipRows;
            QCOMPARE(RowOf(head ? *summary->HeadTable() : *summary->TipTable(), row), fields);
            ++row;
        }
        QCOMPARE(summary->TipTable()->rowCount(), tipRows);
        QCOMPARE(summary->HeadTable()->rowCount(), headRows);
        QVERIFY(tipRows > 0 && headRows > 0);
        QCOMPARE(summary->TipTable()->columnCount(), lines.front().count(QLatin1Char(',')));

        // Ctrl+A and Ctrl+C: every row of the table under its header row, tab-separated.
        QApplication::clipboard()->clear();
        summary->HeadTable()->setFocus();
        QTest::keyClick(summary->HeadTable(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(summary->HeadTable(), Qt::Key_C, Qt::ControlModifier);
        const QStringList copied = QApplication::clipboard()->text().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(copied.size(), headRows + 1);
        QVERIFY(copied.front().startsWith(QStringLiteral("No.\tTip movement (in)\t")));
        QCOMPARE(copied.back(), RowOf(*summary->HeadTable(), headRows - 1).join(QLatin1Char('\t')));

        // Export CSV writes what --csv prints; the springs export what `springs` writes in each mode.
        const QString summaryCsv = folder.filePath(QStringLiteral("summary.csv"));
        desktop.saveNames = {summaryCsv};
        summary->ExportCsvClick();
        QCOMPARE(FileBytes(summaryCsv), csv);
        const std::pair<int, QString> modes[] = {{0, QStringLiteral("curves")}, {1, QStringLiteral("increments")}};
        for (const auto& [option, at] : modes) {
            const QString mine = folder.filePath(at + QStringLiteral("-window.csv"));
            const QString theirs = folder.filePath(at + QStringLiteral("-cli.csv"));
            desktop.options = {option};
            desktop.saveNames = {mine};
            form.ExportSpringsClick();
            Cli({QStringLiteral("springs"), project, QStringLiteral("--at"), at, QStringLiteral("--out"), theirs});
            QVERIFY(!FileBytes(mine).isEmpty());
            QCOMPARE(FileBytes(mine), FileBytes(theirs));
        }
        // An output that is the project itself is refused; the project stays as it was.
        const QByteArray saved = FileBytes(project);
        desktop.options = {0};
        desktop.saveNames = {project};
        form.ExportSpringsClick();
        QCOMPARE(FileBytes(project), saved);
        QCOMPARE(boxes.shown.size(), 2); // the run's completion message, then the refusal

        // The load-distribution graph marks each line's neutral plane at the depth of the figures.
        const engine::AnalysisResults* analysis = form.Analysis();
        QVERIFY(analysis != nullptr);
        const std::vector<std::optional<float>> depths = results::neutralPlaneDepths(*analysis);
        graphics::TGraphPlot& graph = form.Graphs().pltLoad;
        QVERIFY(graph.ShowNeutralPlane);
        graphics::ActivateLinesForNewWindow(graph);
        int marked = -1;
        for (int i = 0; i < graph.LineCount(); ++i) {
            const std::optional<long double>& mark = graph.GetLine(i).NeutralPlane;
            QCOMPARE(mark.has_value(), depths[static_cast<std::size_t>(i)].has_value());
            if (mark) {
                QCOMPARE(*mark, static_cast<long double>(*depths[static_cast<std::size_t>(i)]) / 12); // feet
                if (marked < 0 && graph.GetLine(i).Active)
                    marked = i;
            }
        }
        QVERIFY(marked >= 0);
        int position = 0; // among the active lines, for the colour
        for (int i = 0; i < marked; ++i)
            position += graph.GetLine(i).Active;
        const auto view = graphics::ComputeRanges(graph);
        QVERIFY(view.has_value());
        const graphics::TPlotLayout layout = graphics::WindowLayout(graph, 900, 700, 96, 96, 16);
        auto picture = [&](bool marks) {
            graph.ShowNeutralPlane = marks;
            QImage image(900, 700, QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            graphics::DrawPlot(painter, graph, *view, layout);
            return image;
        };
        const QImage with = picture(true), without = picture(false);
        const int y = graphics::DataToPixel(*view, layout.PlotRect, graph.XOnTop, 0,
                                            *graph.GetLine(marked).NeutralPlane)
                          .y;
        const QColor colour = graphics::LineColor(position);
        QVERIFY2(PixelsInRow(with, y, colour) >= PixelsInRow(without, y, colour) + 20,
                 "no mark in the line's colour at the neutral plane's depth");
        QCOMPARE(PixelsInRow(with, y + 12, colour), PixelsInRow(without, y + 12, colour));

        // File > Save Report as PDF writes, byte for byte, the file `pavrin-cli report` writes; a name
        // without an extension gets ".pdf". An unsaved change is refused with the reason.
        form.UpdateMenus();
        QAction* saveReport = form.findChild<QAction*>(QStringLiteral("FileSaveReport"));
        QVERIFY(saveReport != nullptr && saveReport->isEnabled());
        const QString mine = folder.filePath(QStringLiteral("report-window"));
        const QString theirs = folder.filePath(QStringLiteral("report-cli.pdf"));
        boxes.Clear();
        desktop.saveNames = {mine};
        form.SaveReportClick();
        QVERIFY2(boxes.LastText().contains(QStringLiteral("report-window.pdf")), qPrintable(boxes.LastText()));
        const bool letter = QLocale::system().measurementSystem() == QLocale::ImperialUSSystem;
        Cli({QStringLiteral("report"), project, QStringLiteral("--out"), theirs, QStringLiteral("--paper"),
             letter ? QStringLiteral("letter") : QStringLiteral("a4")});
        QVERIFY(FileBytes(theirs).startsWith("%PDF"));
        QCOMPARE(FileBytes(mine + QStringLiteral(".pdf")), FileBytes(theirs));
        ProgramData->Tables().SetModified(true);
        desktop.saveNames = {folder.filePath(QStringLiteral("unsaved.pdf"))};
        form.SaveReportClick();
        QVERIFY(boxes.LastText().contains(QStringLiteral("not saved")));
        QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("unsaved.pdf"))));
        ProgramData->Tables().SetModified(false);

        // Opening a project without results empties the summary.
        const QString other = CopyExample(folder, QStringLiteral("drilled-shaft-si.pv3d"));
        desktop.openChoice = OpenFileChoice{other, 1};
        form.FileOpenClick();
        QCOMPARE(form.SummaryWindow(), summary);
        QCOMPARE(summary->TipTable()->rowCount(), 0);
        QVERIFY(!summary->ExportButton()->isEnabled());
        QVERIFY(form.Analysis() == nullptr);
    }
};

QTEST_MAIN(FrmResultsSummaryTest)
#include "FrmResultsSummaryTest.moc"
