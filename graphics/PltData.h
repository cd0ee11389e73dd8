// Graph objects of the result graphics and the loading of the plot data file
// that the analysis engine writes. A graph (TGraphPlot) is a named set of
// lines (TLine) made of points (TFloatPoint); the main window owns the ten
// result graphs (TResultGraphs) and fills four of them from the plot file.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pavrin::graphics {

struct TFloatPoint {
    long double X = 0;
    long double Y = 0;
};

class TGraphPlot;

// One line of a graph; owned by its graph.
class TLine {
public:
    TLine(TGraphPlot& graph, long double number) : Number(number), Graph(&graph) {}
    TLine(const TLine&) = delete;
    TLine& operator=(const TLine&) = delete;

    int PointCount() const { return static_cast<int>(Points.size()); }
    TFloatPoint& GetPoint(int j) { return Points.at(static_cast<std::size_t>(j)); }
    const TFloatPoint& GetPoint(int j) const { return Points.at(static_cast<std::size_t>(j)); }
    // Removes points from the end or appends (0, 0) points; counts below 0 count as 0.
    void SetPointCount(int count);
    // Name when set, else the graph's CurveName followed by Number ("Curve #3").
    std::string DisplayName() const;

    std::vector<TFloatPoint> Points;
    long double Number; // 1-based creation number within the graph
    std::string Name;   // empty: the line has no name of its own
    bool Shown = true;  // drawn, and marked " *" in the legend
    bool MarkAllPoints = false; // a marker on every point whatever the graph's Markers
    bool Active = true; // listed in the legend and the window's menu at all
    // Depth of the line's neutral plane in the graph's y units (the load-distribution graph);
    // none for a line without down-drag. Marked on the line while the graph shows neutral planes.
    std::optional<long double> NeutralPlane;
    TGraphPlot* const Graph; // the owner
};

class TGraphPlot {
public:
    // `name` is the graph's component name (pltLoad, PltQW, ...).
    explicit TGraphPlot(std::string name) : name_(std::move(name)) {}
    TGraphPlot(const TGraphPlot&) = delete;
    TGraphPlot& operator=(const TGraphPlot&) = delete;

    const std::string& ComponentName() const { return name_; }

    // Stored settings, in their streaming order (Units sits between WidthLine and XCaption).
    std::string CurveName = "Curve #"; // prefix of default line names
    std::string Caption;               // title of the read-out, the print job and the export
    bool ShowLegend = true;
    bool ShowFontWidth = true;           // the window offers the font size and line width submenus
    int Markers = 1;                     // 0: none; n: a marker on every n-th point
    int SizeFont = 10;                   // text scale in tenths
    int LegendFont = 11;                 // legend font size in points at scale 10
    int WidthLine = 1;                   // line width multiplier
    int Units() const { return units_; } // 1 English, 2 SI, 3 templates shown as written
    void SetUnits(int units);            // clamps to 1..3
    std::string XCaption;
    std::string XUnits;  // units template of the x axis; empty: no unit part
    bool XOnTop = false; // x axis on top and y growing downward
    std::string YCaption;
    std::string YUnits;

    // Unstored state.
    std::string Title;
    bool TitleOnTop = false;
    bool ShowNeutralPlane = false; // the lines' neutral-plane marks are drawn
    // A new window deactivates every line after the twentieth.
    static constexpr bool LimitActiveLines = true;

    int LineCount() const { return static_cast<int>(lines_.size()); }
    TLine& GetLine(int i) { return *lines_.at(static_cast<std::size_t>(i)); }
    const TLine& GetLine(int i) const { return *lines_.at(static_cast<std::size_t>(i)); }
    // Points of the first line; 0 for a graph without lines.
    int PointCount() const { return lines_.empty() ? 0 : lines_.front()->PointCount(); }
    TFloatPoint& GetPoint(int i, int j) { return GetLine(i).GetPoint(j); }
    const TFloatPoint& GetPoint(int i, int j) const { return GetLine(i).GetPoint(j); }

    // Exactly max(count, 0) lines: frees lines from the end, or appends lines
    // with as many points as line 0 has and the next creation number.
    void SetLineCount(int count);
    // Every line gets exactly max(count, 0) points.
    void SetPointCount(int count);

    // Axis captions with their expanded unit labels: "Depth  (ft)".
    std::string XAxisLabel() const;
    std::string YAxisLabel() const;

private:
    std::string name_;
    int units_ = 1;
    std::vector<std::unique_ptr<TLine>> lines_;
};

// The caption of an axis: the caption alone for an empty template, else
// caption + " (" + the template expanded for `units` + ")".
std::string AxisLabel(const std::string& caption, const std::string& unitsTemplate, int units);

// A number in the shortest decimal form that reads back as the same value:
// fixed notation up to 15 integer digits and down to 0.0001, else scientific
// with "E" and a bare exponent (1E20, 2.5E-7). Always "." as the separator.
std::string FormatShortest(long double value);

// The message box text when a plot file read after an analysis fails.
inline constexpr const char* PlotFileErrorMessage = "An error occured in running the main program.";

// The names of the axial graph's lines while it shows a measured load test.
inline constexpr const char* kMeasuredLineName = "Measured";
inline constexpr const char* kPredictedLineName = "Predicted";

// Shows a message box with an OK button; an empty hook reads silently.
using TMessageHook = std::function<void(const std::string& message)>;

// The most points one graph takes from a plot data file (the engine writes at
// most 100 t-z curves of 100 points and 50 load curves of 901 nodes).
inline constexpr std::int64_t MaxPlotPointsPerGraph = 1'000'000;

// The ten result graphs of the main window, by their component names.
class TResultGraphs {
public:
    TResultGraphs();

    TGraphPlot pltLoad{"pltLoad"};
    TGraphPlot pltAxial{"pltAxial"};
    TGraphPlot pltPVcurves{"pltPVcurves"};
    TGraphPlot PltQW{"PltQW"};
    TGraphPlot pltSkin{"pltSkin"};
    TGraphPlot pltUSkin{"pltUSkin"};
    TGraphPlot pltTip{"pltTip"};
    TGraphPlot pltTotal{"pltTotal"};
    TGraphPlot pltCombine{"pltCombine"};
    TGraphPlot PltExtraPV{"PltExtraPV"};

    std::array<TGraphPlot*, 10> All();
    // The graph of that component name, or nullptr.
    TGraphPlot* Find(std::string_view componentName);

    // Reads the plot data file into the graphs. The t-z lines are named after
    // their depths in the file's unit system (" in" or " m"); `projectUnits`,
    // the open project's, names them only in a file cut before its unit flag.
    // Returns true when the whole sequence was read; false when the file
    // cannot be read, ends early, holds a malformed number or breaks the
    // limits of the data; then showMessage, when set, gets
    // PlotFileErrorMessage once. Graphs keep what was read before the error.
    bool ReadPlotFile(const std::string& fileName, int projectUnits, const TMessageHook& showMessage = {});
    // The same over the file's text already in memory.
    bool ReadPlotText(std::string_view text, int projectUnits, const TMessageHook& showMessage = {});

    // The neutral-plane depth of each tip movement's load-distribution line, in input order, as the
    // analysis gives it (inches or metres below the head); none for a line without down-drag. The
    // marks are shown when any line has one. Lines beyond the list get none.
    void SetNeutralPlanes(const std::vector<std::optional<float>>& depths);

    // The measured load test beside the predicted curve of the axial graph: a line named
    // kMeasuredLineName after the prediction (named kPredictedLineName), a marker on every point. `points` are head loads and
    // settlements in unit system `units` (pounds and inches, or kN and metres), drawn in the graph's
    // (kips for English loads); no points takes the line away. Call after the plot data were read.
    void SetMeasuredPoints(const std::vector<TFloatPoint>& points, int units);

private:
    void ReadPlotData(std::string_view text, int projectUnits);
};

} // namespace pavrin::graphics
