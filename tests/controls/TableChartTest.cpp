// The chart family: its copy constructor, its own family, value carry-over
// when a layer changes type, and the data its editor draws.
#include "TableChart.h"
#include "Declarations.h"
#include "TableTestSupport.h"

#include <gtest/gtest.h>

namespace pavrin::controls {
namespace {

using testing::FloatColumn;
using testing::ReadColumns;

TEST(ChartTable, CopiesTakeTheEditorAndGraphSettings) {
    TGridTableChart templ;
    templ.SetIdentifier(50);
    templ.SetCaption("t-z curve");
    templ.SetComments("Comment");
    templ.SetMinRows(3);
    templ.SetMaxRows(9);
    templ.SetRowGroup(3);
    templ.SetGetDataFromFile(true);
    templ.SetInvertedYAxis(true);
    templ.SetGraph({true, true, 1, 0, 2, 3});
    ReadColumns(templ, "2 " + FloatColumn("t", "F/L^2") + FloatColumn("z", "L") + " True True 1 0 2 3");

    TGridTableChart owner;
    owner.SetUnits(2);
    TGridTableChart copy(&owner, 4, templ);
    EXPECT_EQ(copy.Caption(), "t-z curve");
    EXPECT_EQ(copy.Comments(), "Comment");
    EXPECT_EQ(copy.MaxRows(), 9);
    EXPECT_EQ(copy.RowCount(), 3);
    EXPECT_EQ(copy.RowGroup(), 1);
    EXPECT_NE(copy.Identifier(), 50);
    EXPECT_EQ(copy.Units(), 2);
    EXPECT_EQ(copy.RowNumber(), 4);
    EXPECT_TRUE(copy.GetDataFromFile());
    EXPECT_FALSE(copy.OKCancelButtons());
    EXPECT_TRUE(copy.InvertedYAxis());
    EXPECT_EQ(copy.Graph(), templ.Graph());
    EXPECT_EQ(copy.Column(1).HeadingLine(0), "z (m)  ");
    EXPECT_EQ(&copy.Family(), &ChartTables());
}

TEST(ChartTable, ChartTablesOnlyLinkToChartTables) {
    TGridTable plainTemplate;
    plainTemplate.SetIdentifier(61);
    ReadColumns(plainTemplate, "1 " + FloatColumn("Plain"));
    TGridTableChart table;
    ReadColumns(table, "1 3 ('Data') True False 'FLEXCOLUMN2' (61) False False 0 0 0 0");
    table.SetRowCount(1);
    EXPECT_EQ(table.Column(0).GetTable(0), nullptr);

    TGridTableChart chartTemplate;
    chartTemplate.SetIdentifier(61);
    ReadColumns(chartTemplate, "1 " + FloatColumn("Chart") + " False False 0 0 0 0");
    table.AppendGroup();
    ASSERT_NE(table.Column(0).GetTable(1), nullptr);
    EXPECT_NE(dynamic_cast<TGridTableChart*>(table.Column(0).GetTable(1)), nullptr);
    EXPECT_EQ(PlainTables().FindByIdentifier(61), &plainTemplate);
}

// The soil layers of a generated-curve project with their two templates.
class SoilLayers : public ::testing::Test {
protected:
    SoilLayers()
        : clay(CreateDeclaredTable("tblDataClay2")), sand(CreateDeclaredTable("tblDataSand2")),
          layers(CreateDeclaredTable("D2")) {}

    TGridTable* Layer(int row) const { return layers->Column(2).GetTable(row); }

    std::unique_ptr<TGridTable> clay, sand, layers;
};

TEST_F(SoilLayers, ALayerThatChangesTypeKeepsItsValues) {
    layers->SetRowCount(2);
    TGridTable* layer = Layer(1);
    ASSERT_EQ(layer->Caption(), "Clay Layer Data");
    for (int c = 0; c < layer->ColumnCount(); ++c)
        for (int r = 0; r < 2; ++r)
            layer->Column(c).SetFloat(r, 10 * c + r + 0.5L);

    layers->Column(0).SetInteger(1, 5); // "Driven Pile in Clay (API)": another clay
    layers->Column(0).SetInteger(1, 6); // "Driven Pile in Sand (API)"
    TGridTable* sandLayer = Layer(1);
    ASSERT_EQ(sandLayer->Caption(), "Sand Layer Data");
    EXPECT_EQ(sandLayer->RowNumber(), 2);
    for (int c = 0; c < sandLayer->ColumnCount(); ++c)
        for (int r = 0; r < 2; ++r)
            EXPECT_EQ(sandLayer->Float(c, r), 10 * c + r + 0.5L) << c << " " << r;
    EXPECT_EQ(Layer(0)->Float(0, 0), 0); // the other layer is untouched
}

TEST_F(SoilLayers, SubTablesCarryChangesAndUnits) {
    layers->SetRowCount(3);
    EXPECT_EQ(layers->Text(2, 2), "3: Clay Layer Data");
    Layer(2)->SetChanged(true);
    EXPECT_TRUE(layers->IsChanged());
    layers->ResetChanged();
    EXPECT_FALSE(layers->IsChanged());

    Layer(0)->Column(0).SetFloat(0, 100);
    layers->SetUnits(2);
    EXPECT_NEAR(static_cast<double>(Layer(0)->Float(0, 0)), 100 * 271.4471609, 1e-3);
    layers->Column(0).SetInteger(0, 2);
    EXPECT_EQ(Layer(0)->Units(), 2);
    EXPECT_NEAR(static_cast<double>(Layer(0)->Float(0, 0)), 100 * 271.4471609, 1e-3);
}

TEST(ChartPlotData, ConstantValuesGetAHeightAndAFixedAxis) {
    auto table = CreateDeclaredTable("TblSettlement2");
    auto& chart = dynamic_cast<TGridTableChart&>(*table);
    chart.SetRowCount(3);
    for (int r = 0; r < 3; ++r) {
        chart.Column(0).SetFloat(r, r * 10);
        chart.Column(1).SetFloat(r, 5);
    }
    ChartPlot plot = MakeChartPlot(chart);
    ASSERT_EQ(plot.series1.points.size(), 3U);
    EXPECT_EQ(plot.series1.points[1].y, 5 * 1.001L);
    EXPECT_EQ(plot.series1.points[2].y, 5);
    EXPECT_FALSE(plot.series2.active);
    EXPECT_FALSE(plot.left.automatic);
    EXPECT_NEAR(static_cast<double>(plot.left.minimum), 4.5, 1e-15);
    EXPECT_NEAR(static_cast<double>(plot.left.maximum), 5.5, 1e-15);
    EXPECT_EQ(plot.bottom.title, "Depth, (in)  ");
    EXPECT_EQ(plot.left.title, "Settlement, (in)  ");
    EXPECT_EQ(plot.left.labelFormat, "#,##0.###");

    chart.Column(0).SetFloat(2, 250000);
    plot = MakeChartPlot(chart);
    EXPECT_EQ(plot.bottom.labelFormat, "#.0##E-0");
    EXPECT_EQ(plot.left.labelFormat, "#,##0.###");

    for (int r = 0; r < 3; ++r)
        chart.Column(1).SetFloat(r, 0); // a new project's zeros: the chart scales itself
    plot = MakeChartPlot(chart);
    EXPECT_TRUE(plot.left.automatic);
    EXPECT_EQ(plot.left.labelFormat, "#,##0.###");
}

TEST(ChartPlotData, ThreeColumnTablesDrawASecondLine) {
    auto table = CreateDeclaredTable("TblPVFactors2");
    auto& chart = dynamic_cast<TGridTableChart&>(*table);
    chart.SetRowCount(2);
    chart.Column(0).SetFloat(1, 100);
    chart.Column(1).SetFloat(1, 0.0005L);
    chart.Column(2).SetFloat(0, 2);
    const ChartPlot plot = MakeChartPlot(chart);
    EXPECT_TRUE(plot.series2.active);
    EXPECT_TRUE(plot.showLegend);
    EXPECT_EQ(plot.series1.title, "t-Multiplier");
    EXPECT_EQ(plot.series2.title, "z-Multiplier");
    ASSERT_EQ(plot.series2.points.size(), 2U);
    EXPECT_EQ(plot.series2.points[0].y, 2);
    EXPECT_EQ(plot.series2.points[1].x, 100);
    EXPECT_EQ(plot.left.maximum, 2);
}

TEST(ChartPlotData, SegmentDiagramMapsRowsIntoTheBox) {
    TGridTableChart table;
    ReadColumns(table, "4 " + FloatColumn("x1") + FloatColumn("y1") + FloatColumn("x2") + FloatColumn("y2") +
                           " True True 0 1 2 3");
    table.SetRowCount(2);
    table.Column(2).SetFloat(0, 10);
    table.Column(3).SetFloat(1, 5);
    const std::vector<ChartSegment> segments = MakeSegmentDiagram(table, 140, 240);
    ASSERT_EQ(segments.size(), 2U);
    EXPECT_EQ(segments[0].x1, 20);
    EXPECT_EQ(segments[0].x2, 120);
    EXPECT_EQ(segments[1].y2, 220);
    EXPECT_EQ(segments[1].labelY, 120);
    EXPECT_EQ(segments[1].label, "2");

    table.SetRowCount(1); // all y values 0: an empty range draws nothing
    EXPECT_TRUE(MakeSegmentDiagram(table, 140, 240).empty());
}

} // namespace
} // namespace pavrin::controls
