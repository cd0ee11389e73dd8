#include "PltData.h"

#include <gtest/gtest.h>

namespace pavrin::graphics {
namespace {

TEST(GraphPlot, LinesAndPointsAreCutFromTheEndOrAppended) {
    TGraphPlot graph("plt");
    graph.SetLineCount(2);
    EXPECT_EQ(graph.PointCount(), 0) << "lines added to an empty graph have no points";
    graph.SetPointCount(3);
    graph.GetPoint(1, 2) = {4, 5};
    graph.GetLine(0).Shown = false;
    graph.SetLineCount(4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(graph.GetLine(i).PointCount(), 3) << "new lines get the first line's points";
        EXPECT_EQ(graph.GetLine(i).Number, i + 1);
    }
    EXPECT_FALSE(graph.GetLine(0).Shown) << "existing lines are kept";
    EXPECT_TRUE(graph.GetLine(3).Shown && graph.GetLine(3).Active);

    graph.SetLineCount(1);
    graph.SetLineCount(2);
    EXPECT_EQ(graph.GetLine(1).Number, 2);
    EXPECT_EQ(graph.GetPoint(1, 2).X, 0) << "a removed line does not come back";
    graph.GetPoint(0, 0) = {1, 2};
    graph.SetPointCount(1);
    graph.SetPointCount(2);
    EXPECT_EQ(graph.GetPoint(0, 0).Y, 2);
    EXPECT_EQ(graph.GetPoint(0, 1).Y, 0) << "points are appended at the origin";
    graph.SetPointCount(-1);
    EXPECT_EQ(graph.PointCount(), 0);
    EXPECT_THROW(graph.GetPoint(0, 0), std::out_of_range);
    graph.SetLineCount(-3);
    EXPECT_EQ(graph.LineCount(), 0);
}

TEST(GraphPlot, DisplayNameIsTheLinesNameElseCurveNameAndNumber) {
    TGraphPlot graph("plt");
    graph.SetLineCount(3);
    EXPECT_EQ(graph.GetLine(2).DisplayName(), "Curve #3");
    graph.CurveName = "Load ";
    EXPECT_EQ(graph.GetLine(0).DisplayName(), "Load 1");
    graph.GetLine(0).Name = "Pile A";
    EXPECT_EQ(graph.GetLine(0).DisplayName(), "Pile A");
}

TEST(GraphPlot, ShortestNumberFormReadsBackTheValue) {
    EXPECT_EQ(FormatShortest(12.5L), "12.5");
    EXPECT_EQ(FormatShortest(0.3048L), "0.3048");
    EXPECT_EQ(FormatShortest(-0.0L), "0");
    EXPECT_EQ(FormatShortest(360), "360");
    EXPECT_EQ(FormatShortest(-2.5e-7L), "-2.5E-7");
    EXPECT_EQ(FormatShortest(1e20L), "1E20");
    EXPECT_EQ(FormatShortest(0.0001L), "0.0001");
    EXPECT_EQ(FormatShortest(123456789012345.0L), "123456789012345");
    EXPECT_EQ(FormatShortest(1234567890123456.0L), "1.234567890123456E15");
}

TEST(ResultGraphs, AxisLabelsExpandTheUnitTemplatesOfTheGraphsUnits) {
    TResultGraphs graphs;
    ASSERT_EQ(graphs.Find("pltLoad"), &graphs.pltLoad);
    EXPECT_EQ(graphs.Find("pltNone"), nullptr);
    TGraphPlot& load = graphs.pltLoad;
    EXPECT_EQ(load.XAxisLabel(), "Total Capacity  (kips)");
    load.SetUnits(2);
    EXPECT_EQ(load.YAxisLabel(), "Depth  (m)");
    load.SetUnits(7);
    EXPECT_EQ(load.XAxisLabel(), "Total Capacity  (F1)") << "units clamp to 3, the template as written";

    EXPECT_EQ(graphs.pltPVcurves.YAxisLabel(), "Unit Load Transfer, t (lbs/in^2)");
    graphs.pltPVcurves.SetUnits(2);
    EXPECT_EQ(graphs.pltPVcurves.YAxisLabel(), "Unit Load Transfer, t (kN/m^2)");
    EXPECT_EQ(graphs.pltUSkin.XAxisLabel(), "Unit Skin Friction (kips/ft^2)");
    EXPECT_EQ(graphs.pltAxial.YAxisLabel(), "Settlement  (in)");

    graphs.PltQW.YUnits.clear();
    EXPECT_EQ(graphs.PltQW.YAxisLabel(), "w") << "no unit part without a template";
}

} // namespace
} // namespace pavrin::graphics
