// TGridTableChart: the second family of grid tables, whose editor also draws
// a graph of the table's data and can load rows from a text file or the
// clipboard. It behaves as TGridTable except for four more published
// Booleans, graph settings at the end of the column stream, and value
// carry-over when a layer's type changes: the new layer-data table keeps the
// old one's values, cell by cell by position. Chart tables have their own
// family (ChartTables()), so they only link to chart tables.
//
// The columns, the cells and the template list are those of ColumnTypes.h;
// the chart names below stand for them.
#pragma once

#include "Table.h"

#include <string>
#include <vector>

namespace pavrin::controls {

// The family of chart tables.
TableFamily& ChartTables();

struct GraphSettings {
    bool showGraph = false;      // the editor shows a graph
    bool segmentDiagram = false; // the segment diagram instead of the chart
    int xColumn = 0;             // column index plotted horizontally
    int yColumn = 0;             // column index plotted vertically
    int x2Column = 0;            // second horizontal column (segment diagram)
    int y2Column = 0;            // second vertical column (segment diagram)
    friend bool operator==(const GraphSettings&, const GraphSettings&) = default;
};

class TGridTableChart : public TGridTable {
public:
    TGridTableChart();
    explicit TGridTableChart(TGridTable* owner);
    // Copies also the four Booleans and the graph settings.
    TGridTableChart(TGridTable* owner, int rowNumber, const TGridTableChart& templ);

    std::unique_ptr<TGridTable> CreateCopy(TGridTable* owner, int rowNumber) const override;
    const char* ClassName() const override { return "TGridTableChart"; }

    bool GetDataFromFile() const { return getDataFromFile_; } // show the file and clipboard controls
    void SetGetDataFromFile(bool value) { getDataFromFile_ = value; }
    bool OKCancelButtons() const { return okCancelButtons_; }
    void SetOKCancelButtons(bool value) { okCancelButtons_ = value; }
    bool InvertedXAxis() const { return invertedXAxis_; }
    void SetInvertedXAxis(bool value) { invertedXAxis_ = value; }
    bool InvertedYAxis() const { return invertedYAxis_; }
    void SetInvertedYAxis(bool value) { invertedYAxis_ = value; }
    const GraphSettings& Graph() const { return graph_; }
    void SetGraph(const GraphSettings& graph) { graph_ = graph; }

    bool ReadProperty(const std::string& name, ValueReader& reader) override;

protected:
    // Graph settings after the last column; "Error reading graphic parameters" on failure.
    void WriteColExtra(ValueWriter& writer) const override;
    void ReadColExtra(ValueReader& reader) override;
    void WriteExtraProperties(std::vector<std::pair<std::string, ValueWriter>>& out) const override;
    bool CarriesValuesOnTypeChange() const override { return true; }

private:
    bool getDataFromFile_ = false;
    bool okCancelButtons_ = false;
    bool invertedXAxis_ = false;
    bool invertedYAxis_ = false;
    GraphSettings graph_;
};

using TColumnChart = TColumn;
using TEnumColumnChart = TEnumColumn;
using TIntColumnChart = TIntColumn;
using TFloatColumnChart = TFloatColumn;
using TTableColumnChart = TTableColumn;
using TStringColumnChart = TStringColumn;
using TGridTableListChart = TGridTableList;

namespace chart_message {
inline constexpr const char* kGraphicParameters = "Error reading graphic parameters";
inline constexpr const char* kPlainFormat = "#,##0.###";
inline constexpr const char* kScientificFormat = "#.0##E-0";
// Texts of the editor's file and clipboard controls.
inline constexpr const char* kNoClipboardText = "There is no text on the Clipboard";
inline constexpr const char* kWordProcessorError = "An error occurred in running the Word Processor";
} // namespace chart_message

// What the editor's line chart shows, computed from the table.
struct ChartPoint {
    long double x = 0;
    long double y = 0;
};

struct ChartSeries {
    bool active = false;
    std::string title;
    std::vector<ChartPoint> points;
};

struct ChartAxis {
    std::string title; // first heading line of the plotted column
    bool inverted = false;
    std::string labelFormat; // chart_message::kPlainFormat or kScientificFormat
    bool automatic = true;   // else the range below is fixed
    long double minimum = 0;
    long double maximum = 0;
};

struct ChartPlot {
    ChartSeries series1; // Y column against X column
    ChartSeries series2; // column 2 against X, for three-column tables plotting 1 against 0
    bool showLegend = false;
    ChartAxis bottom;
    ChartAxis left;
};

// The chart of the table's rows: a constant vertical series gets its second
// point raised by 0.1 % and a fixed left axis from 0.9 to 1.1 times its
// value (automatic when that value is 0); labels switch to scientific format
// for magnitudes above 100000 or all below 0.001.
ChartPlot MakeChartPlot(const TGridTableChart& table);

struct ChartSegment {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0; // pixels
    int labelX = 0, labelY = 0;         // midpoint, where the 1-based row number goes
    std::string label;
};

// The segment diagram in a box of width x height pixels: each row a segment
// from (X, Y) to (X2, Y2), mapped linearly with a 20-pixel margin. Empty when
// either range is empty.
std::vector<ChartSegment> MakeSegmentDiagram(const TGridTableChart& table, int width, int height);

} // namespace pavrin::controls
