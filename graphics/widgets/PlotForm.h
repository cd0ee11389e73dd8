// The graph window: one result graph drawn with axes, grid, tick labels, captions, title, lines,
// markers and a movable legend; rubber-band zoom with the left button, zoom out with the right one,
// the data coordinates under the mouse in the window caption, and the "&Plot" menu with the display
// settings, the title, legend-name and active-curve dialogs, printing and saving to a picture file.
// The window shows a graph object it does not own; the drawing itself is DrawPlot (PlotDraw.h).
#pragma once

#include "PlotDraw.h"

#include <QImage>
#include <QList>
#include <QPoint>
#include <QStringList>
#include <QWidget>

#include <memory>

class QAction;
class QActionGroup;
class QMdiArea;
class QMenu;
class QPrinter;

namespace pavrin::graphics {

class TPlotLegend;

class TPlotForm : public QWidget {
    Q_OBJECT

public:
    // Builds the window on `graph` (set-up of the ranges, active lines, legend and menu). When the
    // graph's ranges give no usable scale the window is not Valid and must not be shown.
    explicit TPlotForm(TGraphPlot& graph, QWidget* parent = nullptr);
    ~TPlotForm() override;

    bool Valid() const { return valid_; }
    // Builds the window anew on its graph's present lines, as a new window on it would be: ranges,
    // active lines, legend (shown), menu entries and picture. False when the lines give no usable
    // scale; the window must then close.
    bool Rebuild();
    TGraphPlot& Graph() const { return graph_; }

    // The window's "&Plot" menu, owned by the window. The main window adds its menuAction() to its
    // menu bar while this window is the active child and removes it when not.
    QMenu* PlotMenu() const { return plotMenu_; }

    // The state of the drawing.
    const TPlotRange& ViewRange() const { return viewRange_; }
    const TPlotRange& FullRange() const { return fullRange_; }
    const TPlotLayout& Layout() const { return layout_; }
    TPixelRect PlotRect() const { return layout_.PlotRect; }
    // Page margins of printing, thousandths of an inch.
    TMargins PageMargins() const { return margins_; }

    // The legend box and its entries (display names of the active lines, in order).
    QWidget* Legend() const;
    QStringList LegendEntries() const;
    // The per-line entries at the end of the "&Plot" menu, one per active line.
    QList<QAction*> LineEntries() const { return lineEntries_; }
    // The fixed entries, by their captions ("Show &Legend", "&Print...", ...); nullptr for others.
    QAction* MenuEntry(const QString& caption) const;

    // Commands of the "&Plot" menu.
    void PlotCaptionClick();
    void mLineNameClick();
    void ActiveGraphsClick();
    void PlotPrintClick();
    void PageSetupClick();
    void PlotSaveClick();
    void SetMarkers(int markers);
    void SetFontSize(int sizeFont);
    void SetLineWidth(int widthLine);
    void ToggleLegend();
    // The neutral-plane marks of the load distribution on or off.
    void ToggleNeutralPlane();
    // Shows or hides line `lineIndex` of the graph (a per-line menu entry or a legend double click).
    void ToggleLine(int lineIndex);

    // Page and plot rectangles for the client area; without a sender the legend also moves to the
    // lower right corner of the plot area.
    void FormResize(bool withSender);
    // Legend font and size for a text scale in tenths.
    void SetupLegend(int scale);

    // Draws the graph into a picture of the client area's size, as the window shows it.
    QImage Picture();

    // The normal (restored) size of a graph window's client area in a work area of `area` pixels:
    // about two thirds of it, never below MinimumClientSize().
    static QSize NormalClientSize(const QSize& area);
    // The smallest client area in which the axes, their ticks and the legend stay usable.
    static QSize MinimumClientSize();
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    friend class TPlotLegend;
    void SetUp();
    void BuildMenu();
    void RefreshMenuChecks();
    void RebuildLineEntries();
    void ResizeLegend();
    void KeepLegendInside();
    void Replot();
    QPoint ClampToPlot(QPoint point) const;
    void ShowReadOut(QPoint point);
    TLegendPlacement LegendPlacement() const;
    void ShowSaveFailure(TSaveResult result, const QString& fileName);

    TGraphPlot& graph_;
    bool valid_ = true;
    TPlotRange viewRange_;
    TPlotRange fullRange_;
    TPlotLayout layout_;
    TMargins margins_;
    bool legendPlaced_ = false; // the window has been painted: resizes keep the legend's place
    bool legendMoved_ = false;  // the user has dragged the legend: resizes keep it there

    QImage cache_;
    bool cacheValid_ = false;
    bool banding_ = false;
    QPoint bandStart_;
    QPoint bandCorner_;

    TPlotLegend* legend_;
    QMenu* plotMenu_;
    QList<QAction*> lineEntries_;
    QAction* lineSeparator_ = nullptr;
    QActionGroup* markerGroup_ = nullptr;
    std::unique_ptr<QPrinter> printer_;
};

// Opens the graph window of `graph` as a maximised child of `area`, or brings its open window forward
// (restored when minimised). Returns the window, or nullptr when the graph cannot be drawn. A new
// window's sub-window has a normal size of its own and a minimum size, for when it is restored or
// cascaded, and is titled with the graph's caption.
TPlotForm* ShowPlotForm(QMdiArea* area, TGraphPlot& graph);

// After the result graphs were read anew or the project was replaced: every graph window of `area`
// is rebuilt on its graph's new lines when `resultsAvailable`, and closed otherwise (or when its
// graph no longer gives a usable scale). No window keeps the ranges, legend or menu of old lines.
void ReloadGraphWindows(QMdiArea& area, bool resultsAvailable);

} // namespace pavrin::graphics
