// Every kind of child window of the multiple-document area (graph window, profile view, table
// editors) opens inside the work area at a usable size of its own, and keeps a usable size when it is
// restored from maximised or cascaded with the others.
#include "DlgSideView.h"
#include "PlotForm.h"
#include "PlotFormDesktop.h"

#include "Declarations.h"
#include "TableEditors.h"
#include "TableForm.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

using namespace pavrin::graphics;
using namespace pavrin::controls;

namespace {

class NoPrinterDesktop : public PlotFormDesktop {
public:
    NoPrinterDesktop() : previous_(SetCurrent(this)) {}
    ~NoPrinterDesktop() override { SetCurrent(previous_); }
    int ExecDialog(QDialog&) override { return 0; }
    bool PrinterInstalled() override { return false; }
    bool RunPrintDialog(QWidget*, QPrinter&) override { return false; }
    bool RunPageSetup(QWidget*, QPrinter&) override { return false; }
    QString ChooseSaveFile(QWidget*, const QString&, const QStringList&, const QString&) override {
        return {};
    }

private:
    PlotFormDesktop* previous_;
};

void fill(TGraphPlot& graph) {
    graph.Caption = "Load Distribution";
    graph.SetLineCount(3);
    graph.SetPointCount(11);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j <= 10; ++j)
            graph.GetPoint(i, j) = {10.0L * j, 5.0L * j + i};
}

SoilProfileInput profile() {
    SoilProfileInput input;
    input.OuterDiameter = 24;
    input.PileLength = 600;
    input.Layers = {{1, 180}, {2, 420}, {1, 720}};
    return input;
}

QString describe(const QMdiSubWindow* window) {
    const QRect g = window->geometry();
    return QStringLiteral("%1 at %2,%3 size %4x%5")
        .arg(window->windowTitle())
        .arg(g.x())
        .arg(g.y())
        .arg(g.width())
        .arg(g.height());
}

} // namespace

class ChildWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void restoredAndCascadedWindowsKeepAUsableSize();
    void tableEditorsOpenInsideTheWorkArea();
};

void ChildWindowsTest::restoredAndCascadedWindowsKeepAUsableSize() {
    NoPrinterDesktop desktop;
    QMdiArea area;
    area.resize(1200, 800);
    area.show();
    QVERIFY(QTest::qWaitForWindowExposed(&area));
    const QSize work = area.viewport()->size();
    TGraphPlot load("pltLoad");
    TGraphPlot axial("pltAxial");
    fill(load);
    fill(axial);
    axial.Caption = "Axial Load vs Settlement";
    TPlotForm* first = ShowPlotForm(&area, load);
    TPlotForm* second = ShowPlotForm(&area, axial);
    QVERIFY(first && second);
    auto* firstWindow = qobject_cast<QMdiSubWindow*>(first->parentWidget());
    QVERIFY(qobject_cast<QMdiSubWindow*>(second->parentWidget())->isMaximized());
    QCOMPARE(firstWindow->windowTitle(), QStringLiteral("Load Distribution"));
    TDlgSideView* view = TDlgSideView::CreateIn(area, profile);
    view->ShowView();
    auto* viewWindow = qobject_cast<QMdiSubWindow*>(view->parentWidget());
    // Opened while a graph is maximised it is maximised too; restored, it is tall enough to read.
    viewWindow->showNormal();
    QCoreApplication::processEvents();
    QVERIFY2(viewWindow->height() >= work.height() * 8 / 10, qPrintable(describe(viewWindow)));
    QVERIFY(area.viewport()->rect().contains(viewWindow->geometry()));

    // Restored: a graph window about two thirds of the work area, inside it.
    area.setActiveSubWindow(firstWindow);
    firstWindow->showMaximized();
    firstWindow->showNormal();
    QCoreApplication::processEvents();
    QVERIFY2(qAbs(first->width() - work.width() * 2 / 3) <= 2, qPrintable(describe(firstWindow)));
    QVERIFY2(qAbs(first->height() - work.height() * 2 / 3) <= 2, qPrintable(describe(firstWindow)));
    QVERIFY(area.viewport()->rect().contains(firstWindow->geometry()));
    QVERIFY(first->Picture().size() == first->size());
    QVERIFY2(first->PlotRect().Width() > 300 && first->PlotRect().Height() > 200,
             "room for ticks and labels");
    QCOMPARE(first->Legend()->geometry().right() + 1, first->PlotRect().right); // still in the corner
    QCOMPARE(first->Legend()->geometry().bottom() + 1, first->PlotRect().bottom);

    // Cascaded, after maximised, and shrunk by hand as far as it goes: never below the minimum,
    // for every kind of window.
    const auto usable = [&](QMdiSubWindow* window) {
        if (auto* plot = qobject_cast<TPlotForm*>(window->widget()))
            return plot->width() >= TPlotForm::MinimumClientSize().width() &&
                   plot->height() >= TPlotForm::MinimumClientSize().height();
        if (auto* side = qobject_cast<TDlgSideView*>(window->widget()))
            return side->width() >= TDlgSideView::MinimumClientSize().width() &&
                   side->height() >= TDlgSideView::MinimumClientSize().height() &&
                   side->Canvas()->height() > 250;
        return false;
    };
    area.cascadeSubWindows();
    QCoreApplication::processEvents();
    for (QMdiSubWindow* window : area.subWindowList())
        QVERIFY2(usable(window) && !window->isMaximized(), qPrintable(describe(window)));
    for (QMdiSubWindow* window : area.subWindowList()) {
        window->showMaximized();
        window->showNormal();
        window->resize(50, 20);
        QCoreApplication::processEvents();
        QVERIFY2(usable(window), qPrintable(describe(window)));
    }
}

void ChildWindowsTest::tableEditorsOpenInsideTheWorkArea() {
    QMdiArea area;
    area.resize(1100, 700);
    area.show();
    QVERIFY(QTest::qWaitForWindowExposed(&area));
    RegisterTableEditors(&area);
    {
        auto sand = CreateDeclaredTable("tblDataSand2");
        auto clay = CreateDeclaredTable("tblDataClay2");
        auto layers = CreateDeclaredTable("D2");
        sand->Column(1).SetVisible(false);
        sand->Column(2).SetVisible(false);
        clay->Column(3).SetVisible(false);
        clay->Column(4).SetVisible(false);
        layers->SetRowCount(3);
        layers->Column(0).SetInteger(1, 2); // the second layer is sand
        QVERIFY(layers->ShowEditor(false));
        TTableForm* soil = EditorForm(*layers);
        QVERIFY(soil && soil->SubWindow());

        // Each layer's data opens inside the work area with all its columns in view.
        for (int row = 0; row < 3; ++row) {
            auto* button = qobject_cast<QPushButton*>(soil->RowControl(row, 2));
            QVERIFY(button);
            button->click();
            TGridTable* data = layers->Column(2).GetTable(row);
            TTableForm* editor = EditorForm(*data);
            QVERIFY(editor && editor->SubWindow());
            QCoreApplication::processEvents();
            QMdiSubWindow* window = editor->SubWindow();
            QVERIFY2(area.viewport()->rect().contains(window->geometry()), qPrintable(describe(window)));
            QVERIFY2(!window->geometry().intersects(soil->SubWindow()->geometry()),
                     "the layer buttons stay within reach");
            QCOMPARE(editor->ColumnsInView(), data->VisibleColumnCount());
            const QRect grid = editor->Grid()->geometry();
            QVERIFY2(editor->rect().contains(grid), qPrintable(describe(window)));
            const QRect lastHeader = editor->Grid()->visualRect(
                editor->Grid()->model()->index(0, editor->Grid()->columnCount() - 1));
            QVERIFY2(editor->Grid()->viewport()->rect().contains(lastHeader),
                     "the last column is not cut off");
        }

        // Cascaded, they keep their columns in view.
        area.cascadeSubWindows();
        QCoreApplication::processEvents();
        for (int row = 0; row < 3; ++row) {
            TGridTable* data = layers->Column(2).GetTable(row);
            QCOMPARE(EditorForm(*data)->ColumnsInView(), data->VisibleColumnCount());
        }
        QCOMPARE(soil->ColumnsInView(), layers->VisibleColumnCount());

        // A window too wide for the work area is narrowed to it and still placed inside it.
        area.resize(500, 400);
        QCoreApplication::processEvents();
        TGridTable* sandData = layers->Column(2).GetTable(1);
        sandData->CloseEditor();
        QVERIFY(sandData->ShowEditor(false));
        QCoreApplication::processEvents();
        QMdiSubWindow* narrowed = EditorForm(*sandData)->SubWindow();
        QVERIFY2(area.viewport()->rect().contains(narrowed->geometry()), qPrintable(describe(narrowed)));
        layers->CloseEditor();
    }
    UnregisterTableEditors();
}

QTEST_MAIN(ChildWindowsTest)
#include "ChildWindowsTest.moc"
