#include "PltData.h"

#include "UnitTemplates.h"
#include "WordReader.h"

#include <charconv>
#include <cmath>
#include <initializer_list>

namespace pavrin::graphics {

using controls::EInOutError;

// ---------------------------------------------------------------- lines and graphs

void TLine::SetPointCount(int count) {
    Points.resize(count > 0 ? static_cast<std::size_t>(count) : 0);
}

std::string TLine::DisplayName() const {
    return Name.empty() ? Graph->CurveName + FormatShortest(Number) : Name;
}

void TGraphPlot::SetUnits(int units) {
    units_ = units < 1 ? 1 : (units > 3 ? 3 : units);
}

void TGraphPlot::SetLineCount(int count) {
    const std::size_t wanted = count > 0 ? static_cast<std::size_t>(count) : 0;
    if (lines_.size() > wanted)
        lines_.resize(wanted);
    lines_.reserve(wanted);
    while (lines_.size() < wanted) {
        const int points = PointCount();
        auto line = std::make_unique<TLine>(*this, static_cast<long double>(lines_.size() + 1));
        line->SetPointCount(points);
        lines_.push_back(std::move(line));
    }
}

void TGraphPlot::SetPointCount(int count) {
    for (auto& line : lines_)
        line->SetPointCount(count);
}

std::string TGraphPlot::XAxisLabel() const {
    return AxisLabel(XCaption, XUnits, units_);
}

std::string TGraphPlot::YAxisLabel() const {
    return AxisLabel(YCaption, YUnits, units_);
}

std::string AxisLabel(const std::string& caption, const std::string& unitsTemplate, int units) {
    if (unitsTemplate.empty())
        return caption;
    return caption + " (" + controls::ExpandUnits(unitsTemplate, units) + ")";
}

std::string FormatShortest(long double value) {
    if (value == 0)
        return "0";
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    std::string text(buffer, result.ptr); // "-1.25e+01"
    const std::size_t e = text.find('e');
    if (e == std::string::npos)
        return text; // not finite
    const bool negative = text[0] == '-';
    std::string digits = text.substr(negative ? 1 : 0, e - (negative ? 1 : 0));
    if (digits.size() > 1)
        digits.erase(1, 1); // the point after the first digit
    const int exponent = std::stoi(text.substr(e + 1));
    const auto count = static_cast<int>(digits.size());
    std::string out;
    if (exponent >= -4 && exponent < 15) {
        if (exponent < 0)
            out = "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
        else if (count <= exponent + 1)
            out = digits + std::string(static_cast<std::size_t>(exponent + 1 - count), '0');
        else
            out = digits.substr(0, static_cast<std::size_t>(exponent + 1)) + "." +
                  digits.substr(static_cast<std::size_t>(exponent + 1));
    } else {
        out = digits.substr(0, 1);
        if (count > 1)
            out += "." + digits.substr(1);
        out += "E" + std::to_string(exponent);
    }
    return negative ? "-" + out : out;
}

// ---------------------------------------------------------------- the ten graphs

namespace {

struct TGraphDefinition {
    TGraphPlot TResultGraphs::*graph;
    const char* caption;
    const char* xCaption;
    const char* xUnits;
    const char* yCaption;
    const char* yUnits;
    bool xOnTop;
};

const TGraphDefinition kGraphs[] = {
    {&TResultGraphs::pltLoad, "Load Distribution", "Total Capacity ", "F1", "Depth ", "L2", true},
    {&TResultGraphs::pltAxial, "Axial Load vs Settlement", "Axial Load ", "F1", "Settlement ", "L", true},
    {&TResultGraphs::pltPVcurves, "t-z Curves", "Displacement, z", "L", "Unit Load Transfer, t", "F/L^2",
     false},
    {&TResultGraphs::PltQW, "Tip Resistance Curve", "Q", "F", "w", "L", true},
    {&TResultGraphs::pltSkin, "Acculumated Skin Friction vs Depth", "Accumulated Skin Friction ", "F1",
     "Depth ", "L2", true},
    {&TResultGraphs::pltUSkin, "Unit Skin Friction vs Depth", "Unit Skin Friction", "F1/L2^2", "Depth", "L2",
     true},
    {&TResultGraphs::pltTip, "Tip Resistance vs Depth", "Tip Resistance ", "F1", "Depth ", "L2", true},
    {&TResultGraphs::pltTotal, "Total Capacity vs Depth", "Total Capacity ", "F1", "Depth ", "L2", true},
    {&TResultGraphs::pltCombine, "Axial Capacity vs Depth", "Axial Capacity", "F1", "Depth", "L2", false},
    {&TResultGraphs::PltExtraPV, "Extra t-z Curves", "Displacement, z", "L2", "Unit Load Transfer, t",
     "F1/L2^2", false},
};

} // namespace

TResultGraphs::TResultGraphs() {
    for (const TGraphDefinition& d : kGraphs) {
        TGraphPlot& graph = this->*d.graph;
        graph.Caption = d.caption;
        graph.XCaption = d.xCaption;
        graph.XUnits = d.xUnits;
        graph.XOnTop = d.xOnTop;
        graph.YCaption = d.yCaption;
        graph.YUnits = d.yUnits;
    }
}

std::array<TGraphPlot*, 10> TResultGraphs::All() {
    return {&pltLoad,  &pltAxial, &pltPVcurves, &PltQW,      &pltSkin,
            &pltUSkin, &pltTip,   &pltTotal,    &pltCombine, &PltExtraPV};
}

TGraphPlot* TResultGraphs::Find(std::string_view componentName) {
    for (TGraphPlot* graph : All())
        if (graph->ComponentName() == componentName)
            return graph;
    return nullptr;
}

// ---------------------------------------------------------------- the plot data file

namespace {

// At least as many as the words the token reader finds in `text`: a word never
// spans a blank, a tab or a line break.
std::int64_t CountWordsAtMost(std::string_view text) {
    std::int64_t runs = 0;
    bool inRun = false;
    for (const char c : text) {
        const bool separator = c == ' ' || c == '\t' || c == '\r' || c == '\n';
        if (!separator && !inRun)
            ++runs;
        inRun = !separator;
    }
    return runs;
}

// The token reader with a bound on the words still to come, so that a count of
// lines read from the file is checked against the data before lines are made
// for it. Counts of points are bounded by a graph's capacity instead: the
// points are made before they are read, so that a file cut short keeps what
// was read before the cut.
class TPlotStream {
public:
    explicit TPlotStream(std::string_view text)
        : reader_(controls::TWordReader::FromText(text)), wordsLeft_(CountWordsAtMost(text)) {}

    std::int32_t Integer() {
        Take();
        return reader_.ReadInteger();
    }
    // A value beyond the range of double (1E4932 still is a long double) is
    // not a number for every user of the graphs: not drawn, no cell of the
    // workbook, no part of a range.
    long double Float() {
        Take();
        const long double value = reader_.ReadFloat();
        if (std::fabs(value) > std::numeric_limits<double>::max())
            return std::numeric_limits<long double>::quiet_NaN();
        return value;
    }
    // A count of items of at least `wordsEach` words each that follow.
    int Count(int minimum, std::int64_t wordsEach) {
        const int count = Integer();
        if (count < minimum)
            throw EInOutError("A count of the plot data is out of range.");
        Expect(count, wordsEach);
        return count;
    }
    // Fails at once when the file cannot hold `count` × `wordsEach` more words.
    void Expect(std::int64_t count, std::int64_t wordsEach) const {
        if (wordsEach > 0 && count > wordsLeft_ / wordsEach)
            throw EInOutError("This file either invalid or incomplete.");
    }

private:
    void Take() {
        if (wordsLeft_ > 0)
            --wordsLeft_;
    }

    controls::TWordReader reader_;
    std::int64_t wordsLeft_;
};

// Keeps a graph within MaxPlotPointsPerGraph; the t-z curves are padded to the
// longest one, so their points grow with the product of two counts.
void LimitPoints(std::int64_t lines, std::int64_t points) {
    if (points > 0 && lines > MaxPlotPointsPerGraph / points)
        throw EInOutError("The plot data hold more points than a graph takes.");
}

// t-z curves: each holds its number, point count, depth and at least one
// (t, z) pair. Lines are named after their depths (in the project's units
// until the file's unit flag is read);
// shorter curves end in a horizontal run of their last point.
void ReadTzCurves(TPlotStream& in, TGraphPlot& tz, int projectUnits) {
    const int curves = in.Count(0, 1); // no more lines than words left
    LimitPoints(curves, 2);
    tz.SetLineCount(0);
    tz.SetLineCount(curves);
    std::vector<int> curvePoints(static_cast<std::size_t>(curves));
    int longest = 2;
    tz.SetPointCount(longest);
    const char* depthUnit = projectUnits == 1 ? " in" : " m";
    for (int i = 0; i < curves; ++i) {
        in.Integer();                      // the curve's number
        const int points = in.Count(1, 0); // bounded by the capacity below
        if (points > longest) {
            LimitPoints(curves, points);
            longest = points;
            tz.SetPointCount(longest);
        }
        TLine& line = tz.GetLine(i);
        line.Name = FormatShortest(in.Float()) + depthUnit;
        for (int j = 0; j < points; ++j) {
            TFloatPoint& point = line.GetPoint(j);
            point.Y = in.Float(); // t
            point.X = in.Float(); // z
        }
        curvePoints[static_cast<std::size_t>(i)] = points;
    }
    for (int i = 0; i < curves; ++i) {
        TLine& line = tz.GetLine(i);
        for (int j = curvePoints[static_cast<std::size_t>(i)]; j < longest; ++j)
            line.GetPoint(j) = line.GetPoint(j - 1);
    }
}

void ReadTipCurve(TPlotStream& in, TGraphPlot& qw) {
    const int points = in.Count(0, 0);
    LimitPoints(1, points);
    qw.SetPointCount(points);
    for (int j = 0; j < points; ++j) {
        TFloatPoint& point = qw.GetPoint(0, j);
        point.X = in.Float(); // Q
        point.Y = in.Float(); // w
    }
}

// The load distribution, one curve per tip movement, then the load-settlement
// summary with one row per tip movement after the origin. English values
// become feet and kips; settlements stay in inches. Returns the unit flag.
// The graphs are sized before their rows are read (a graph's capacity bounds
// them), so a file cut inside the block keeps the rows read before the cut.
int ReadLoadsAndSettlements(TPlotStream& in, TGraphPlot& load, TGraphPlot& axial) {
    const int movements = in.Count(1, 1); // no more lines than words left
    LimitPoints(1, static_cast<std::int64_t>(movements) + 1);
    load.SetLineCount(movements);
    const int increments = in.Count(0, 0);
    LimitPoints(movements, increments);
    load.SetPointCount(increments);
    const int unitFlag = in.Integer();
    const bool english = unitFlag == 1; // any other value: SI
    for (int i = 0; i < movements; ++i) {
        for (int j = 0; j < increments; ++j) {
            TFloatPoint& point = load.GetPoint(i, j);
            point.Y = in.Float(); // depth of the increment's middle
            point.X = in.Float(); // average axial load
            in.Float();           // movement, not shown
            if (english) {
                point.Y /= 12;   // inches to feet
                point.X /= 1000; // pounds to kips
            }
        }
    }

    axial.SetPointCount(movements + 1);
    for (int v = 1; v <= movements; ++v) {
        TFloatPoint& point = axial.GetPoint(0, v);
        point.X = in.Float(); // head load
        point.Y = in.Float(); // head settlement
        in.Float();           // tip movement
        in.Float();           // tip load
        if (english)
            point.X /= 1000;
    }
    const TFloatPoint first = axial.GetPoint(0, 1);
    axial.GetPoint(0, 0) = first.X > 0 ? TFloatPoint{} : first;
    return unitFlag;
}

} // namespace

bool TResultGraphs::ReadPlotFile(const std::string& fileName, int projectUnits,
                                 const TMessageHook& showMessage) {
    std::string text;
    try {
        text = controls::ReadTextFile(fileName); // a folder or an unreadable file fails here
    } catch (const controls::EFileOpenError&) {
        if (showMessage)
            showMessage(PlotFileErrorMessage);
        return false;
    }
    return ReadPlotText(text, projectUnits, showMessage);
}

bool TResultGraphs::ReadPlotText(std::string_view text, int projectUnits, const TMessageHook& showMessage) {
    try {
        ReadPlotData(text, projectUnits);
        return true;
    } catch (const EInOutError&) {
    }
    if (showMessage)
        showMessage(PlotFileErrorMessage);
    return false;
}

// The records in the engine's order: t-z curves, Q-w curve, the load
// distribution per tip movement, the load-settlement summary. Anything after
// the summary (the head-load results) is not read.
void TResultGraphs::ReadPlotData(std::string_view text, int projectUnits) {
    TPlotStream in(text);

    // A load replaces the lines: names and flags set in a window start afresh.
    for (TGraphPlot* graph :
         {&pltSkin, &pltUSkin, &pltTip, &pltTotal, &pltAxial, &pltLoad, &pltCombine, &PltQW})
        graph->SetLineCount(0);
    pltSkin.SetLineCount(9);
    pltUSkin.SetLineCount(pltSkin.LineCount());
    pltTip.SetLineCount(pltSkin.LineCount());
    pltTotal.SetLineCount(pltSkin.LineCount());
    pltAxial.SetLineCount(1);
    pltLoad.SetLineCount(9);
    pltCombine.SetLineCount(3);
    PltQW.SetLineCount(1);

    ReadTzCurves(in, pltPVcurves, projectUnits);
    ReadTipCurve(in, PltQW);
    const int unitFlag = ReadLoadsAndSettlements(in, pltLoad, pltAxial);
    for (TGraphPlot* graph : All())
        graph->SetUnits(unitFlag);
    // The depths are in the units the file was written in, as its axes are, whatever the project's.
    const char* fileUnit = unitFlag == 1 ? " in" : " m";
    for (int i = 0; i < pltPVcurves.LineCount(); ++i) {
        std::string& name = pltPVcurves.GetLine(i).Name;
        name = name.substr(0, name.rfind(' ')) + fileUnit;
    }
}

void TResultGraphs::SetMeasuredPoints(const std::vector<TFloatPoint>& points, int units) {
    TGraphPlot& axial = pltAxial;
    // The prediction is line 0; the measured line, when there is one, the last.
    if (axial.LineCount() > 1 && axial.GetLine(axial.LineCount() - 1).Name == kMeasuredLineName) {
        axial.SetLineCount(axial.LineCount() - 1);
        if (axial.GetLine(0).Name == kPredictedLineName)
            axial.GetLine(0).Name.clear();
    }
    if (points.empty() || axial.LineCount() == 0)
        return;
    const int graphUnits = axial.Units();
    const controls::TUnitsConversion force(units, graphUnits, "F");
    const controls::TUnitsConversion length(units, graphUnits, "L");
    const long double kips = graphUnits == 1 ? 1000 : 1; // English loads are drawn in kips
    if (axial.GetLine(0).Name.empty())
        axial.GetLine(0).Name = kPredictedLineName;
    axial.SetLineCount(axial.LineCount() + 1);
    TLine& line = axial.GetLine(axial.LineCount() - 1);
    line.Name = kMeasuredLineName;
    line.MarkAllPoints = true;
    line.Points.clear();
    for (const TFloatPoint& p : points)
        line.Points.push_back({force(p.X) / kips, length(p.Y)});
}

void TResultGraphs::SetNeutralPlanes(const std::vector<std::optional<float>>& depths) {
    // The graph shows English depths in feet, as the plot data file's are converted.
    const long double scale = pltLoad.Units() == 1 ? 12.0L : 1.0L;
    bool any = false;
    for (int i = 0; i < pltLoad.LineCount(); ++i) {
        const std::size_t k = static_cast<std::size_t>(i);
        std::optional<long double>& mark = pltLoad.GetLine(i).NeutralPlane;
        mark.reset();
        if (k < depths.size() && depths[k] && std::isfinite(*depths[k]))
            mark = static_cast<long double>(*depths[k]) / scale;
        any = any || mark.has_value();
    }
    pltLoad.ShowNeutralPlane = any;
}

} // namespace pavrin::graphics
