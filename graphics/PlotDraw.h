// The drawing of a result graph, free of widgets: axes scaled to round numbers, dotted grid, tick
// labels, captions with their unit labels, the user's title, the lines in the palette colours with
// point markers, and the legend box of printed and saved pictures. One routine, DrawPlot, serves the
// graph window, the printer, images and the headless plot command; only the target rectangle, the
// resolution and the painter change. Pixel quantities follow the layout formulas with integer
// division, as the window has always computed them.
#pragma once

#include "PltData.h"

#include <QColor>
#include <QString>

#include <optional>
#include <string>
#include <vector>

class QPainter;

namespace pavrin::graphics {

// A rectangle in device pixels; right and bottom are the far edges of the formulas.
struct TPixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Contains(int x, int y) const { return x >= left && x <= right && y >= top && y <= bottom; }
    bool operator==(const TPixelRect&) const = default;
};

struct TPixelPoint {
    int x = 0;
    int y = 0;
    bool operator==(const TPixelPoint&) const = default;
};

// A data range of both axes.
struct TPlotRange {
    long double xmin = 0;
    long double xmax = 0;
    long double ymin = 0;
    long double ymax = 0;
    bool operator==(const TPlotRange&) const = default;
};

// The minor tick step of each axis and the lowest and highest minor tick index (value = index × step).
struct TTicks {
    long double stepX = 0;
    long double stepY = 0;
    int lowX = 0;
    int highX = 0;
    int lowY = 0;
    int highY = 0;
};

// Base font height of the graph window's canvas in pixels (Times New Roman at 14 pixels).
inline constexpr int kWindowFontHeight = 14;
// Lines after this many are inactive when a window opens on a graph.
inline constexpr int kMaxActiveLinesAtOpen = 20;

// Colour of the k-th line among the active lines (the 17-colour palette, repeating).
QColor LineColor(int k);

// Text height h: |base font height| × SizeFont / 10, integer division.
int TextHeight(int baseFontHeight, int sizeFont);

// The value rounded to `digits` significant digits in the general format of the tick labels (4) and
// the read-out (5): fixed notation up to `digits` integer digits and down to 0.0001, else scientific
// with one integer digit and a bare exponent (1.235E5, 2E-5). Uses the user's decimal separator.
std::string FormatGeneral(long double value, int digits);

// Ranges over every point of every line, widened to round steps and always holding 0; both the view
// and the full range of a new window. None when the y range yields a zero step (the window does not open).
std::optional<TPlotRange> ComputeRanges(const TGraphPlot& graph);

// Ticks for the view range in the plot rectangle; none when the plot area is narrower or lower than
// six text heights (then no grid and no ticks are drawn).
std::optional<TTicks> ComputeTicks(const TPlotRange& view, const TPixelRect& plot, int h);

TPixelPoint DataToPixel(const TPlotRange& view, const TPixelRect& plot, bool xOnTop, long double x,
                        long double y);
// The inverse for points inside the plot rectangle; a point left or right of it gives (0, 0).
TFloatPoint PixelToData(const TPlotRange& view, const TPixelRect& plot, bool xOnTop, int px, int py);

// The outline of marker shape (lineIndex mod 10) + 1 around the origin for resolution dx × dy,
// closed (its last vertex is its first).
std::vector<TPixelPoint> MarkerOutline(int lineIndex, int dx, int dy);

// The view after a rubber band from `a` to `b` (data coordinates): each axis at least one twentieth
// of the full range wide, kept inside the full range.
TPlotRange ZoomToBox(const TPlotRange& full, TFloatPoint a, TFloatPoint b);
// The view after a right click at `at`: each axis as wide as now, at most half the full range on
// either side, centred on the click but kept inside the full range.
TPlotRange ZoomOut(const TPlotRange& view, const TPlotRange& full, TFloatPoint at);

// Makes every line active, then deactivates lines 21 onward, as a new window does.
void ActivateLinesForNewWindow(TGraphPlot& graph);

// Where the legend box of a printed or saved picture goes.
struct TLegendPlacement {
    // Lower right corner of the plot area (pictures made without a window).
    bool atPlotCorner = true;
    // Otherwise the on-screen legend's place within the window, kept relative on the page.
    int left = 0;
    int top = 0;
    int windowWidth = 1;
    int windowHeight = 1;
};

// Everything about the target that the drawing needs besides the graph and the view range.
struct TPlotLayout {
    TPixelRect PageRect;
    TPixelRect PlotRect;
    int dx = 96; // resolution, pixels per inch
    int dy = 96;
    int baseFontHeight = kWindowFontHeight; // |height| of the target canvas's font, pixels
    bool ForOutput = false;                 // printing or saving: the legend is drawn into the picture
    bool legendVisible = true;              // the window shows its legend
    TLegendPlacement legend;
    bool operator==(const TPlotLayout&) const;
};

// The window layout on a page of width × height pixels at (0, 0), title allowance included.
TPlotLayout WindowLayout(const TGraphPlot& graph, int width, int height, int dx, int dy, int baseFontHeight);

// Page margins in thousandths of an inch.
struct TMargins {
    int left = 1000;
    int top = 1000;
    int right = 1000;
    int bottom = 1000;
    bool operator==(const TMargins&) const = default;
};

// The page rectangle on paper, in the coordinates of the printable area: margins in device pixels,
// at least the printer's physical offsets.
TPixelRect PrintPageRect(int printableWidth, int printableHeight, int dx, int dy, int offX, int offY,
                         const TMargins& margins);
// The paper layout: plot area inside the page rectangle, a quarter inch for a title on top, half an
// inch for one at the bottom.
TPlotLayout PrinterLayout(const TGraphPlot& graph, const TPixelRect& page, int dx, int dy,
                          int baseFontHeight);

// Draws the graph: white page, captions, grid and ticks, lines and markers, the legend box when
// ForOutput is set, and the frame of the plot area.
void DrawPlot(QPainter& painter, const TGraphPlot& graph, const TPlotRange& view, const TPlotLayout& layout);

// Picture files of a graph, chosen by the file's extension.
enum class TPictureFormat { Bmp, Png, Svg, Pdf };
// The format named by the extension of `fileName` (any case); none for another extension.
std::optional<TPictureFormat> PictureFormatOf(const QString& fileName);

enum class TSaveResult { Saved, OutOfMemory, WriteFailed };
// Draws the graph on a widthPx × heightPx picture (layout.PageRect must be that size) and writes it;
// `ppi` is stored in the file as its resolution. Images that cannot be allocated give OutOfMemory
// and write nothing.
TSaveResult SavePicture(const TGraphPlot& graph, const TPlotRange& view, const TPlotLayout& layout,
                        TPictureFormat format, const QString& fileName, int widthPx, int heightPx, int ppi);

// The message shown when a picture cannot be made.
inline constexpr const char* OutOfMemoryMessage = "There is not enough memory to complete this task.";

} // namespace pavrin::graphics
