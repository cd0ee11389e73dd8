#include "TableChart.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace pavrin::controls {

namespace {

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// The number in a cell of a numeric column; none for other kinds or a bad index.
std::optional<long double> CellNumber(const TGridTable& table, int column, int row) {
    if (!table.CellExists(column, row))
        return std::nullopt;
    const TColumn& c = table.Column(column);
    if (c.ClassNumber() == kFloatColumn)
        return c.GetFloat(row);
    if (c.ClassNumber() == kIntColumn || c.ClassNumber() == kEnumColumn)
        return static_cast<long double>(c.GetInteger(row));
    return std::nullopt;
}

std::string FirstHeading(const TGridTable& table, int column) {
    if (column < 0 || column >= table.ColumnCount() || table.Column(column).HeadingLineCount() == 0)
        return {};
    return table.Column(column).HeadingLine(0);
}

const char* LabelFormat(long double minimum, long double maximum) {
    const long double low = std::fabs(minimum);
    const long double high = std::fabs(maximum);
    if (low == 0 && high == 0)
        return chart_message::kPlainFormat;
    if (high > 100000 || low > 100000 || (high < 0.001L && low < 0.001L))
        return chart_message::kScientificFormat;
    return chart_message::kPlainFormat;
}

void SetRange(ChartAxis& axis, const std::vector<ChartPoint>& a, const std::vector<ChartPoint>& b,
              bool vertical) {
    bool any = false;
    for (const auto* points : {&a, &b})
        for (const ChartPoint& p : *points) {
            const long double v = vertical ? p.y : p.x;
            axis.minimum = any ? std::min(axis.minimum, v) : v;
            axis.maximum = any ? std::max(axis.maximum, v) : v;
            any = true;
        }
}

} // namespace

TableFamily& ChartTables() {
    static TableFamily family("chart");
    return family;
}

TGridTableChart::TGridTableChart() : TGridTable(ChartTables(), nullptr) {}

TGridTableChart::TGridTableChart(TGridTable* owner) : TGridTable(ChartTables(), owner) {}

TGridTableChart::TGridTableChart(TGridTable* owner, int rowNumber, const TGridTableChart& templ)
    : TGridTable(ChartTables(), owner, rowNumber, templ), getDataFromFile_(templ.getDataFromFile_),
      okCancelButtons_(templ.okCancelButtons_), invertedXAxis_(templ.invertedXAxis_),
      invertedYAxis_(templ.invertedYAxis_), graph_(templ.graph_) {}

std::unique_ptr<TGridTable> TGridTableChart::CreateCopy(TGridTable* owner, int rowNumber) const {
    return std::make_unique<TGridTableChart>(owner, rowNumber, *this);
}

bool TGridTableChart::ReadProperty(const std::string& name, ValueReader& reader) {
    const std::string key = Lower(name);
    if (key == "getdatafromfile")
        getDataFromFile_ = reader.ReadBoolean();
    else if (key == "okcancelbuttons")
        okCancelButtons_ = reader.ReadBoolean();
    else if (key == "invertedxaxis")
        invertedXAxis_ = reader.ReadBoolean();
    else if (key == "invertedyaxis")
        invertedYAxis_ = reader.ReadBoolean();
    else
        return TGridTable::ReadProperty(name, reader);
    return true;
}

void TGridTableChart::WriteExtraProperties(std::vector<std::pair<std::string, ValueWriter>>& out) const {
    const std::pair<const char*, bool> flags[] = {{"GetDataFromFile", getDataFromFile_},
                                                  {"OKCancelButtons", okCancelButtons_},
                                                  {"InvertedXAxis", invertedXAxis_},
                                                  {"InvertedYAxis", invertedYAxis_}};
    for (const auto& [name, value] : flags)
        if (value)
            out.emplace_back(name, ValueWriter{}).second.WriteBoolean(true);
}

void TGridTableChart::WriteColExtra(ValueWriter& writer) const {
    writer.WriteBoolean(graph_.showGraph);
    writer.WriteBoolean(graph_.segmentDiagram);
    writer.WriteInteger(graph_.xColumn);
    writer.WriteInteger(graph_.yColumn);
    writer.WriteInteger(graph_.x2Column);
    writer.WriteInteger(graph_.y2Column);
}

void TGridTableChart::ReadColExtra(ValueReader& reader) {
    GraphSettings graph;
    try {
        graph.showGraph = reader.ReadBoolean();
        graph.segmentDiagram = reader.ReadBoolean();
        graph.xColumn = reader.ReadInteger();
        graph.yColumn = reader.ReadInteger();
        graph.x2Column = reader.ReadInteger();
        graph.y2Column = reader.ReadInteger();
    } catch (const EReadError&) {
        throw EReadError(chart_message::kGraphicParameters);
    }
    graph_ = graph;
}

ChartPlot MakeChartPlot(const TGridTableChart& table) {
    const GraphSettings& graph = table.Graph();
    ChartPlot plot;
    plot.series1.active = true;
    const int rows = table.RowCount();
    if (table.VisibleColumnCount() == 3 && graph.xColumn == 0 && graph.yColumn == 1) {
        plot.series2.active = true;
        plot.showLegend = true;
        plot.series1.title = FirstHeading(table, 1);
        plot.series2.title = FirstHeading(table, 2);
    }

    const std::optional<long double> firstY = CellNumber(table, graph.yColumn, 0);
    bool constant = rows > 1 && firstY.has_value();
    for (int r = 0; r < rows && constant; ++r) {
        constant = CellNumber(table, graph.yColumn, r) == firstY;
        if (plot.series2.active)
            constant = constant && CellNumber(table, 2, r) == firstY;
    }

    for (int r = 0; r < rows; ++r) {
        const auto x = CellNumber(table, graph.xColumn, r);
        const auto y = CellNumber(table, graph.yColumn, r);
        if (x && y)
            plot.series1.points.push_back({*x, constant && r == 1 ? *y * 1.001L : *y});
        if (const auto y2 = CellNumber(table, 2, r); plot.series2.active && x && y2)
            plot.series2.points.push_back({*x, *y2});
    }

    plot.bottom.title = FirstHeading(table, graph.xColumn);
    plot.left.title = FirstHeading(table, graph.yColumn);
    plot.bottom.inverted = table.InvertedXAxis();
    plot.left.inverted = table.InvertedYAxis();
    SetRange(plot.bottom, plot.series1.points, plot.series2.points, false);
    SetRange(plot.left, plot.series1.points, plot.series2.points, true);
    if (constant && *firstY != 0) {
        plot.left.automatic = false;
        plot.left.minimum = std::min(0.9L * *firstY, 1.1L * *firstY);
        plot.left.maximum = std::max(0.9L * *firstY, 1.1L * *firstY);
    }
    plot.bottom.labelFormat = LabelFormat(plot.bottom.minimum, plot.bottom.maximum);
    plot.left.labelFormat = LabelFormat(plot.left.minimum, plot.left.maximum);
    return plot;
}

std::vector<ChartSegment> MakeSegmentDiagram(const TGridTableChart& table, int width, int height) {
    const GraphSettings& graph = table.Graph();
    struct Row {
        long double x1, y1, x2, y2;
    };
    std::vector<Row> rows;
    for (int r = 0; r < table.RowCount(); ++r) {
        const auto x1 = CellNumber(table, graph.xColumn, r);
        const auto y1 = CellNumber(table, graph.yColumn, r);
        const auto x2 = CellNumber(table, graph.x2Column, r);
        const auto y2 = CellNumber(table, graph.y2Column, r);
        if (!x1 || !y1 || !x2 || !y2)
            return {};
        rows.push_back({*x1, *y1, *x2, *y2});
    }
    if (rows.empty())
        return {};
    long double xMin = rows[0].x1, xMax = xMin, yMin = rows[0].y1, yMax = yMin;
    for (const Row& row : rows) {
        xMin = std::min({xMin, row.x1, row.x2});
        xMax = std::max({xMax, row.x1, row.x2});
        yMin = std::min({yMin, row.y1, row.y2});
        yMax = std::max({yMax, row.y1, row.y2});
    }
    if (!(xMax > xMin) || !(yMax > yMin))
        return {};
    constexpr int kMargin = 20;
    auto mapX = [&](long double x) {
        return kMargin + static_cast<int>(std::lround((x - xMin) / (xMax - xMin) * (width - 2 * kMargin)));
    };
    auto mapY = [&](long double y) {
        return kMargin + static_cast<int>(std::lround((y - yMin) / (yMax - yMin) * (height - 2 * kMargin)));
    };
    std::vector<ChartSegment> segments;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        ChartSegment s;
        s.x1 = mapX(rows[i].x1);
        s.y1 = mapY(rows[i].y1);
        s.x2 = mapX(rows[i].x2);
        s.y2 = mapY(rows[i].y2);
        s.labelX = (s.x1 + s.x2) / 2;
        s.labelY = (s.y1 + s.y2) / 2;
        s.label = std::to_string(i + 1);
        segments.push_back(s);
    }
    return segments;
}

} // namespace pavrin::controls
