// The graph window: set-up with at most twenty active lines, its menu, zoom and read-out with the
// mouse, the legend, the title, legend-name and active-curve dialogs, printing to PDF and saving
// pictures without disturbing the window, and one window per graph in the multiple-document area.
#include "PlotForm.h"
#include "ActiveLinesDialog.h"
#include "FakeMessageBoxes.h"
#include "GraphCaptionDialog.h"
#include "LineNamesDialog.h"
#include "PlotFormDesktop.h"
#include "SaveFormatDialog.h"

#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPageLayout>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

using namespace pavrin::graphics;
using pavrin::controls::testing::FakeMessageBoxes;
using pavrin::controls::testing::ScopedMessageBoxes;

namespace {

// Answers the window's dialogs: `onDialog` plays the user in each modal dialog.
class FakeDesktop : public PlotFormDesktop {
public:
    FakeDesktop() : previous_(SetCurrent(this)) {}
    ~FakeDesktop() override { SetCurrent(previous_); }

    std::function<int(QDialog&)> onDialog = [](QDialog&) { return int(QDialog::Rejected); };
    bool printers = true;
    QString printFile; // empty: the print dialog is cancelled
    QString saveFile;  // empty: the save dialog is cancelled
    int printDialogs = 0;

    int ExecDialog(QDialog& dialog) override { return onDialog(dialog); }
    bool PrinterInstalled() override { return printers; }
    bool RunPrintDialog(QWidget*, QPrinter& printer) override {
        ++printDialogs;
        if (printFile.isEmpty())
            return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printFile);
        return true;
    }
    bool RunPageSetup(QWidget*, QPrinter& printer) override {
        printer.setPageMargins(QMarginsF(0.5, 0.75, 0.5, 0.75), QPageLayout::Inch);
        return true;
    }
    QString ChooseSaveFile(QWidget*, const QString&, const QStringList&, const QString&) override {
        return saveFile;
    }

private:
    PlotFormDesktop* previous_;
};

// A graph of `lines` straight lines of 11 points from (0, i) to (100, 50 + i).
void fill(TGraphPlot& graph, int lines) {
    graph.Caption = "Load Distribution";
    graph.XCaption = "Load";
    graph.YCaption = "Depth";
    graph.SetLineCount(lines);
    graph.SetPointCount(11);
    for (int i = 0; i < lines; ++i)
        for (int j = 0; j <= 10; ++j)
            graph.GetPoint(i, j) = {10.0L * j, 5.0L * j + i};
}

QPoint pixel(const TPlotForm& form, long double x, long double y) {
    const TPixelPoint p = DataToPixel(form.ViewRange(), form.PlotRect(), form.Graph().XOnTop, x, y);
    return {p.x, p.y};
}

QStringList captions(const QList<QAction*>& actions) {
    QStringList texts;
    for (const QAction* action : actions)
        texts << action->text();
    return texts;
}

} // namespace

class PlotFormTest : public QObject {
    Q_OBJECT

private slots:
    void setUpLimitsActiveLinesAndBuildsTheMenu();
    void zoomWithTheRubberBandAndTheRightButton();
    void legendDoubleClickAndLineEntriesToggleLines();
    void dialogsRenameActivateAndTitle();
    void printingAndSavingLeaveTheWindowAsItWas();
    void savingRefusesWhatCannotBeMade();
    void oneWindowPerGraphInTheArea();
    void aHiddenLegendStaysInItsWindowAndInEveryPicture();
    void graphWindowsFollowTheGraphsReadAnew();
    void dialogsShowTheirWholeCaptionAndEscapeCancelsQuietly();
};

void PlotFormTest::setUpLimitsActiveLinesAndBuildsTheMenu() {
    FakeDesktop desktop;
    desktop.printers = false;
    TGraphPlot graph("pltLoad");
    fill(graph, 25);
    graph.GetLine(22).Active = false;
    TPlotForm form(graph);
    QVERIFY(form.Valid());
    QCOMPARE(form.windowTitle(), QStringLiteral("Load Distribution")); // as the Window menu lists it
    QCOMPARE(form.LegendEntries().size(), 20);
    QCOMPARE(form.LineEntries().size(), 20);
    QCOMPARE(form.LegendEntries().front(), QStringLiteral("Curve #1"));
    for (int i = 0; i < 25; ++i)
        QCOMPARE(graph.GetLine(i).Active, i < 20);
    QVERIFY(!form.Legend()->isHidden());

    const QStringList fixed = {QStringLiteral("Show &Legend"),
                               QStringLiteral("Show &Neutral Plane"),
                               QStringLiteral("Show &Markers"),
                               QStringLiteral("&Font Size"),
                               QStringLiteral("&Line Width"),
                               QStringLiteral("&Graph Title"),
                               QStringLiteral("&Edit Legend"),
                               QStringLiteral("&Active Curves"),
                               QString(),
                               QStringLiteral("&Print..."),
                               QStringLiteral("P&age Setup"),
                               QStringLiteral("&Save To Disk..."),
                               QString()};
    QCOMPARE(captions(form.PlotMenu()->actions()).mid(0, fixed.size()), fixed);
    QCOMPARE(form.PlotMenu()->title(), QStringLiteral("&Plot"));
    // Only a graph whose lines have neutral planes offers their marks.
    QVERIFY(!form.MenuEntry(QStringLiteral("Show &Neutral Plane"))->isVisible());
    QVERIFY2(!form.MenuEntry(QStringLiteral("&Print..."))->isEnabled(), "no printer");
    QVERIFY(!form.MenuEntry(QStringLiteral("P&age Setup"))->isEnabled());
    QMenu* markers = form.MenuEntry(QStringLiteral("Show &Markers"))->menu();
    QCOMPARE(captions(markers->actions()),
             (QStringList{"&Never", "", "Every &Increment", "Every &2 Increments", "Every &3 Incrments",
                          "Every &5 Increments", "Every &10 Incements"}));
    markers->actions().at(4)->trigger();
    QCOMPARE(graph.Markers, 3);
    emit markers->aboutToShow();
    QVERIFY(markers->actions().at(4)->isChecked());
    form.MenuEntry(QStringLiteral("&Line Width"))->menu()->actions().at(3)->trigger();
    QCOMPARE(graph.WidthLine, 4);

    // Points all at the origin: about +-0.01 both ways, and no window is refused.
    TGraphPlot origin("plt");
    origin.SetLineCount(1);
    origin.SetPointCount(3);
    TPlotForm atOrigin(origin);
    QVERIFY(atOrigin.Valid());
    QVERIFY(qAbs(double(atOrigin.FullRange().xmax) - 0.01) < 1e-9);
    QVERIFY(qAbs(double(atOrigin.FullRange().ymin) + 0.01) < 1e-9);

    // A graph without lines has no legend and no "Show Legend" entry.
    TGraphPlot empty("plt");
    TPlotForm noLines(empty);
    QVERIFY(noLines.Legend()->isHidden());
    QVERIFY(!noLines.MenuEntry(QStringLiteral("Show &Legend"))->isVisible());
}

void PlotFormTest::zoomWithTheRubberBandAndTheRightButton() {
    FakeDesktop desktop;
    TGraphPlot graph("plt");
    fill(graph, 3);
    TPlotForm form(graph);
    form.resize(800, 600);
    const TPlotRange full = form.FullRange();
    QCOMPARE(full, (TPlotRange{0, 100, 0, 60}));

    // A band released on its start row does nothing.
    const QPoint start = pixel(form, 20, 10);
    QTest::mousePress(&form, Qt::LeftButton, {}, start);
    QTest::mouseMove(&form, start + QPoint(120, 0));
    QTest::mouseRelease(&form, Qt::LeftButton, {}, start + QPoint(120, 0));
    QCOMPARE(form.ViewRange(), full);

    // A band from (20, 10) to (60, 40) becomes the view.
    QTest::mousePress(&form, Qt::LeftButton, {}, start);
    QTest::mouseMove(&form, pixel(form, 60, 40));
    QTest::mouseRelease(&form, Qt::LeftButton, {}, pixel(form, 60, 40));
    QVERIFY(qAbs(double(form.ViewRange().xmin) - 20) < 0.3);
    QVERIFY(qAbs(double(form.ViewRange().xmax) - 60) < 0.3);
    QVERIFY(qAbs(double(form.ViewRange().ymax) - 40) < 0.3);
    QVERIFY(form.windowTitle().startsWith(QStringLiteral("Load Distribution X: ")));

    // A band two pixels wide gets one twentieth of the full x range.
    const QPoint narrow = pixel(form, 21, 12);
    QTest::mousePress(&form, Qt::LeftButton, {}, narrow);
    QTest::mouseRelease(&form, Qt::LeftButton, {}, narrow + QPoint(2, 40));
    QVERIFY(qAbs(double(form.ViewRange().xmax - form.ViewRange().xmin) - 5) < 1e-9);

    // Right clicks widen the view until it is the full range; then they change nothing.
    const QPoint centre((form.PlotRect().left + form.PlotRect().right) / 2,
                        (form.PlotRect().top + form.PlotRect().bottom) / 2);
    for (int i = 0; i < 8; ++i)
        QTest::mousePress(&form, Qt::RightButton, {}, centre);
    QCOMPARE(form.ViewRange(), full);
    QTest::mousePress(&form, Qt::RightButton, {}, pixel(form, 5, 5));
    QCOMPARE(form.ViewRange(), full);

    // The read-out: 5 significant digits of the data under the mouse, clamped to the plot area.
    QTest::mouseMove(&form, QPoint(1, 1));
    QCOMPARE(form.windowTitle(), QStringLiteral("Load Distribution X: 0 Y: 60"));
}

void PlotFormTest::legendDoubleClickAndLineEntriesToggleLines() {
    FakeDesktop desktop;
    TGraphPlot graph("plt");
    fill(graph, 3);
    TPlotForm form(graph);
    form.resize(800, 600);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QWidget* legend = form.Legend();
    // The legend sits in the lower right corner of the plot area.
    QCOMPARE(legend->geometry().right() + 1, form.PlotRect().right);
    QCOMPARE(legend->geometry().bottom() + 1, form.PlotRect().bottom);

    QTest::mouseDClick(legend, Qt::LeftButton, {}, QPoint(10, 1 + 16 + 5)); // the second entry
    QVERIFY(!graph.GetLine(1).Shown);
    emit form.PlotMenu()->aboutToShow();
    QVERIFY(!form.LineEntries().at(1)->isChecked());
    form.LineEntries().at(1)->trigger();
    QVERIFY(graph.GetLine(1).Shown);

    // Dragging moves the legend with the mouse, inside the window.
    const QPoint before = legend->pos();
    QTest::mousePress(legend, Qt::LeftButton, {}, QPoint(5, 5));
    QMouseEvent move(QEvent::MouseMove, QPointF(5 - 100, 5 - 50), legend->mapToGlobal(QPointF(-95, -45)),
                     Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(legend, &move);
    QTest::mouseRelease(legend, Qt::LeftButton, {}, QPoint(-95, -45));
    QCOMPARE(legend->pos(), before - QPoint(100, 50));

    form.MenuEntry(QStringLiteral("Show &Legend"))->trigger();
    QVERIFY(legend->isHidden());
    emit form.PlotMenu()->aboutToShow();
    QVERIFY(!form.MenuEntry(QStringLiteral("Show &Legend"))->isChecked());

    // Font size: the text scale and the legend follow, the legend back in the corner.
    form.MenuEntry(QStringLiteral("&Font Size"))->menu()->actions().at(3)->trigger(); // 2 * Default
    QCOMPARE(graph.SizeFont, 20);
    QCOMPARE(form.PlotRect().left, 2 * 28 + 12 + 3);
}

void PlotFormTest::dialogsRenameActivateAndTitle() {
    FakeDesktop desktop;
    FakeMessageBoxes boxes;
    ScopedMessageBoxes scoped(boxes);
    TGraphPlot graph("plt");
    fill(graph, 3);
    TPlotForm form(graph);
    form.resize(800, 600);

    // Deactivate the second line, then rename the third: the second legend entry changes.
    desktop.onDialog = [](QDialog& dialog) {
        auto& active = dynamic_cast<TfrmActiveLines&>(dialog);
        active.lbLines->setCurrentRow(1);
        active.ActivateDesactivateButtonClick();
        return int(QDialog::Accepted);
    };
    form.ActiveGraphsClick();
    QCOMPARE(form.LegendEntries(), (QStringList{"Curve #1", "Curve #3"}));
    QCOMPARE(captions(form.LineEntries()), (QStringList{"Curve #1", "Curve #3"}));

    QStringList seen; // what the dialog showed along the way
    QColor editColour;
    desktop.onDialog = [&](QDialog& dialog) {
        auto& names = dynamic_cast<TfrmLineNames&>(dialog);
        names.FormShow();
        seen << names.edLine->text();
        names.lbLines->setCurrentRow(2);
        seen << names.edLine->text();
        editColour = names.edLine->palette().color(QPalette::Text);
        names.edLine->clear();
        names.edLineExit();
        seen << boxes.LastText() << names.edLine->text();
        names.edLine->setText(QStringLiteral("Pile & cap"));
        names.edLineExit();
        return int(QDialog::Accepted);
    };
    form.mLineNameClick();
    QCOMPARE(seen, (QStringList{"Curve #1", "Curve #3", "The line must have a name!", "Curve #3"}));
    QCOMPARE(editColour, LineColor(2));
    QCOMPARE(graph.GetLine(2).Name, std::string("Pile & cap"));
    QCOMPARE(form.LegendEntries(), (QStringList{"Curve #1", "Pile & cap"}));
    QCOMPARE(form.LineEntries().at(1)->text(), QStringLiteral("Pile && cap"));

    // A cancelled dialog changes nothing.
    desktop.onDialog = [](QDialog& dialog) {
        auto& active = dynamic_cast<TfrmActiveLines&>(dialog);
        active.ActivateButtonClick();
        return int(QDialog::Rejected);
    };
    form.ActiveGraphsClick();
    QCOMPARE(form.LegendEntries().size(), 2);

    // 25 lines: 21 to 25 are listed as inactive; activating all gives 25 entries.
    TGraphPlot many("plt");
    fill(many, 25);
    TPlotForm manyForm(many);
    desktop.onDialog = [](QDialog& dialog) {
        auto& active = dynamic_cast<TfrmActiveLines&>(dialog);
        if (!active.lbLines->item(20)->text().startsWith(TfrmActiveLines::kNo) ||
            !active.lbLines->item(19)->text().startsWith(TfrmActiveLines::kYes))
            return int(QDialog::Rejected);
        active.ActivateButtonClick();
        return int(QDialog::Accepted);
    };
    manyForm.ActiveGraphsClick();
    QCOMPARE(manyForm.LegendEntries().size(), 25);
    QCOMPARE(manyForm.LineEntries().size(), 25);
    QCOMPARE(manyForm.Legend()->height(), 25 * 16 + 3);

    // A title on top moves the plot area down by h + h/8.
    const int top = form.PlotRect().top;
    desktop.onDialog = [](QDialog& dialog) {
        auto& title = dynamic_cast<TfrmGraphCaption&>(dialog);
        title.edtCaption->setText(QStringLiteral("Pile A"));
        title.rbTop->setChecked(true);
        return int(QDialog::Accepted);
    };
    form.PlotCaptionClick();
    QCOMPARE(graph.Title, std::string("Pile A"));
    QVERIFY(graph.TitleOnTop);
    QCOMPARE(form.PlotRect().top, top + 14 + 1);
}

void PlotFormTest::printingAndSavingLeaveTheWindowAsItWas() {
    FakeDesktop desktop;
    FakeMessageBoxes boxes;
    ScopedMessageBoxes scoped(boxes);
    QTemporaryDir dir;
    TGraphPlot graph("plt");
    fill(graph, 3);
    graph.Title = "Pile A";
    TPlotForm form(graph);
    form.resize(800, 600);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTest::mousePress(&form, Qt::LeftButton, {}, pixel(form, 20, 10));
    QTest::mouseRelease(&form, Qt::LeftButton, {}, pixel(form, 70, 50));
    const TPlotRange zoomed = form.ViewRange();
    const TPlotLayout layout = form.Layout();
    const QImage picture = form.Picture();

    form.PageSetupClick();
    QCOMPARE(form.PageMargins(), (TMargins{500, 750, 500, 750}));
    desktop.printFile = dir.filePath(QStringLiteral("graph.pdf"));
    form.PlotPrintClick();
    QFile pdf(desktop.printFile);
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QVERIFY(pdf.read(4) == "%PDF");
    QVERIFY(pdf.size() > 1000);

    desktop.onDialog = [](QDialog& dialog) {
        auto& format = dynamic_cast<TdlgFormat&>(dialog);
        format.btnOKClick(); // the defaults: 6 x 4 in at 72 pixels per inch
        return dialog.result();
    };
    for (const char* name : {"graph.bmp", "graph.png", "graph.svg"}) {
        desktop.saveFile = dir.filePath(QString::fromLatin1(name));
        form.PlotSaveClick();
        QVERIFY2(QFile::exists(desktop.saveFile), name);
    }
    QCOMPARE(QImage(dir.filePath(QStringLiteral("graph.bmp"))).size(), QSize(432, 288));
    QCOMPARE(QImage(dir.filePath(QStringLiteral("graph.png"))).size(), QSize(432, 288));
    QVERIFY(boxes.shown.isEmpty());

    QCOMPARE(form.ViewRange(), zoomed);
    QVERIFY(form.Layout() == layout);
    QCOMPARE(form.Picture(), picture);

    // Cancelled dialogs write nothing.
    desktop.printFile.clear();
    form.PlotPrintClick();
    QCOMPARE(desktop.printDialogs, 2);
    desktop.saveFile = dir.filePath(QStringLiteral("cancelled.png"));
    desktop.onDialog = [](QDialog&) { return int(QDialog::Rejected); };
    form.PlotSaveClick();
    QVERIFY(!QFile::exists(desktop.saveFile));
}

void PlotFormTest::savingRefusesWhatCannotBeMade() {
    FakeDesktop desktop;
    FakeMessageBoxes boxes;
    ScopedMessageBoxes scoped(boxes);
    QTemporaryDir dir;
    TGraphPlot graph("plt");
    fill(graph, 2);
    TPlotForm form(graph);
    desktop.saveFile = dir.filePath(QStringLiteral("huge.bmp"));
    desktop.onDialog = [](QDialog& dialog) {
        auto& format = dynamic_cast<TdlgFormat&>(dialog);
        format.dePPI->setText(QStringLiteral("5"));
        format.btnOKClick();
        if (dialog.result() == QDialog::Accepted)
            return int(QDialog::Rejected); // the minimum of 10 pixels per inch was not kept
        format.dePPI->setText(QStringLiteral("20000"));
        format.deWidth->setText(QStringLiteral("2000"));
        format.btnOKClick();
        return dialog.result();
    };
    boxes.Clear();
    form.PlotSaveClick();
    QCOMPARE(boxes.LastText(), QStringLiteral("There is not enough memory to complete this task."));
    QVERIFY(!QFile::exists(desktop.saveFile));

    desktop.saveFile = dir.filePath(QStringLiteral("graph.gif"));
    form.PlotSaveClick();
    QVERIFY(boxes.LastText().contains(QStringLiteral(".png")));
}

void PlotFormTest::oneWindowPerGraphInTheArea() {
    FakeDesktop desktop;
    QMdiArea area;
    area.resize(900, 700);
    area.show();
    TGraphPlot load("pltLoad");
    TGraphPlot axial("pltAxial");
    fill(load, 2);
    fill(axial, 1);
    TPlotForm* first = ShowPlotForm(&area, load);
    QVERIFY(first != nullptr);
    QVERIFY(first->parentWidget()->isMaximized());
    TPlotForm* other = ShowPlotForm(&area, axial);
    QVERIFY(other != first);
    first->parentWidget()->showMinimized();
    QCOMPARE(ShowPlotForm(&area, load), first);
    QCOMPARE(area.subWindowList().size(), 2);
    QCOMPARE(area.activeSubWindow()->widget(), first);
    QVERIFY(!first->parentWidget()->isMinimized());

    // Closing frees the window; asking again opens a new one.
    QPointer<TPlotForm> closed = first;
    first->parentWidget()->close();
    QTRY_VERIFY(closed.isNull());
    QVERIFY(ShowPlotForm(&area, load) != nullptr);
    QCOMPARE(area.subWindowList().size(), 2);

    // A graph whose span has no scale opens no window.
    TGraphPlot beyond("plt");
    beyond.SetLineCount(1);
    beyond.SetPointCount(2);
    beyond.GetPoint(0, 0) = {0, -1e4932L};
    beyond.GetPoint(0, 1) = {1, 1e4932L};
    QCOMPARE(ShowPlotForm(&area, beyond), nullptr);
    QCOMPARE(area.subWindowList().size(), 2);
}

void PlotFormTest::aHiddenLegendStaysInItsWindowAndInEveryPicture() {
    FakeDesktop desktop;
    FakeMessageBoxes boxes;
    ScopedMessageBoxes scoped(boxes);
    QTemporaryDir dir;
    TGraphPlot graph("plt");
    fill(graph, 3);
    TPlotForm form(graph);
    form.resize(800, 600);
    desktop.onDialog = [](QDialog& dialog) {
        dynamic_cast<TdlgFormat&>(dialog).btnOKClick();
        return dialog.result();
    };
    desktop.saveFile = dir.filePath(QStringLiteral("shown.png"));
    form.PlotSaveClick();

    form.MenuEntry(QStringLiteral("Show &Legend"))->trigger();
    QVERIFY(form.Legend()->isHidden());
    desktop.saveFile = dir.filePath(QStringLiteral("hidden.png"));
    form.PlotSaveClick();
    const QImage shown(dir.filePath(QStringLiteral("shown.png")));
    QVERIFY(!shown.isNull());
    QCOMPARE(QImage(desktop.saveFile), shown); // the legend box is in the picture either way

    // A later window on the same graph starts with its legend and offers to hide it.
    TPlotForm later(graph);
    QVERIFY(!later.Legend()->isHidden());
    QVERIFY(later.MenuEntry(QStringLiteral("Show &Legend"))->isVisible());
    QVERIFY(form.Legend()->isHidden());
}

void PlotFormTest::graphWindowsFollowTheGraphsReadAnew() {
    FakeDesktop desktop;
    QMdiArea area;
    area.resize(1000, 700);
    area.show();
    TResultGraphs graphs;
    // An English project whose plot file was written in SI: depths, axes and legend all in metres.
    QVERIFY(graphs.ReadPlotFile(PAVRIN_TEST_DATA "/drilled-shaft-si.pv3p", 1));
    TGraphPlot& tz = graphs.pltPVcurves;
    QVERIFY(tz.LineCount() > 1);
    QCOMPARE(QString::fromStdString(tz.XAxisLabel()), QStringLiteral("Displacement, z (m)"));
    TPlotForm* form = ShowPlotForm(&area, tz);
    QVERIFY(form);
    for (const QString& name : form->LegendEntries())
        QVERIFY2(name.endsWith(QStringLiteral(" m")), qPrintable(name));

    // Zoomed, legend hidden, a line hidden: then another project's results are read.
    QTest::mousePress(form, Qt::LeftButton, {}, pixel(*form, 0.001L, 1));
    QTest::mouseRelease(form, Qt::LeftButton, {}, pixel(*form, 0.003L, 3));
    QVERIFY(!(form->ViewRange() == form->FullRange()));
    form->ToggleLegend();
    form->LineEntries().at(0)->trigger();
    const int legendPoints = tz.LegendFont;
    form->SetFontSize(20);
    QVERIFY(graphs.ReadPlotFile(PAVRIN_TEST_DATA "/user-curves-downdrag.pv3p", 2));
    ReloadGraphWindows(area, true);
    QCOMPARE(area.subWindowList().size(), 1);
    QCOMPARE(area.subWindowList().front()->widget(), form);
    QCOMPARE(form->FullRange(), *ComputeRanges(tz));
    QCOMPARE(form->ViewRange(), form->FullRange());
    QStringList names;
    for (int i = 0; i < tz.LineCount() && i < 20; ++i)
        names << QString::fromStdString(tz.GetLine(i).DisplayName());
    QCOMPARE(form->LegendEntries(), names);
    QCOMPARE(form->LineEntries().size(), names.size());
    QVERIFY(!form->Legend()->isHidden());
    QCOMPARE(tz.LegendFont, legendPoints);
    QCOMPARE(form->Legend()->font().pointSize(), 2 * legendPoints); // the text scale stays
    QCOMPARE(form->windowTitle(), QStringLiteral("t-z Curves"));
    // The legend's double click and the menu entries act on the new lines.
    form->LineEntries().back()->trigger();
    QVERIFY(!tz.GetLine(static_cast<int>(names.size()) - 1).Shown);

    // A project without results keeps no graph window.
    ReloadGraphWindows(area, false);
    QTRY_VERIFY(area.subWindowList().isEmpty());
}

void PlotFormTest::dialogsShowTheirWholeCaptionAndEscapeCancelsQuietly() {
    FakeMessageBoxes boxes;
    ScopedMessageBoxes scoped(boxes);
    TfrmGraphCaption caption;
    TfrmLineNames names;
    TfrmActiveLines active;
    TdlgFormat format;
    QFont titleFont = QApplication::font();
    titleFont.setBold(true);
    for (QDialog* dialog : std::initializer_list<QDialog*>{&caption, &names, &active, &format}) {
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        // The caption, the window icon and three buttons of at least 24 pixels fit in the title bar.
        const int needed = QFontMetrics(titleFont).horizontalAdvance(dialog->windowTitle()) + 4 * 24;
        QVERIFY2(
            dialog->width() >= needed,
            qPrintable(
                QStringLiteral("%1: %2 < %3").arg(dialog->windowTitle()).arg(dialog->width()).arg(needed)));
        dialog->hide();
    }

    // An emptied name is refused on Enter, but Esc just cancels.
    names.SetNames({QStringLiteral("Curve #1"), QStringLiteral("Curve #2")});
    names.show();
    QVERIFY(QTest::qWaitForWindowExposed(&names));
    names.edLine->setFocus();
    QTest::keyClick(names.edLine, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(names.edLine, Qt::Key_Backspace);
    QTest::keyClick(names.edLine, Qt::Key_Return);
    QCOMPARE(boxes.Texts(), QStringList{QStringLiteral("The line must have a name!")});
    QTest::keyClick(names.edLine, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(names.edLine, Qt::Key_Backspace);
    QTest::keyClick(names.edLine, Qt::Key_Escape);
    QVERIFY(names.isHidden());
    QCOMPARE(names.result(), int(QDialog::Rejected));
    QCOMPARE(boxes.Texts().size(), 1);
}

QTEST_MAIN(PlotFormTest)
#include "PlotFormTest.moc"
