#include "PltData.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace pavrin::graphics {
namespace {

const std::string kData = PAVRIN_TEST_DATA;

// Reads like the main window after an analysis, capturing the message boxes.
struct TReading {
    TResultGraphs graphs;
    std::vector<std::string> messages;

    bool File(const std::string& name, int projectUnits) {
        return graphs.ReadPlotFile(kData + "/" + name, projectUnits, Hook());
    }
    bool Text(const std::string& text, int projectUnits = 2) {
        return graphs.ReadPlotText(text, projectUnits, Hook());
    }
    TMessageHook Hook() {
        return [this](const std::string& message) { messages.push_back(message); };
    }
};

void ExpectPoint(const TFloatPoint& point, long double x, long double y, const char* why = "") {
    EXPECT_NEAR(static_cast<double>(point.X), static_cast<double>(x), 1e-12 * (1 + std::fabs(double(x))))
        << why;
    EXPECT_NEAR(static_cast<double>(point.Y), static_cast<double>(y), 1e-12 * (1 + std::fabs(double(y))))
        << why;
}

void ExpectUniformLines(const TGraphPlot& graph, int lines, int points) {
    ASSERT_EQ(graph.LineCount(), lines) << graph.ComponentName();
    for (int i = 0; i < lines; ++i)
        EXPECT_EQ(graph.GetLine(i).PointCount(), points) << graph.ComponentName() << " line " << i;
}

TEST(ReadPlotFile, EngineOutputInSiUnits) {
    TReading r;
    ASSERT_TRUE(r.File("drilled-shaft-si.pv3p", 2)) << "the head-load rows after the summary are ignored";
    EXPECT_TRUE(r.messages.empty());
    const TResultGraphs& g = r.graphs;
    ExpectUniformLines(g.pltPVcurves, 10, 10);
    EXPECT_EQ(g.pltPVcurves.GetLine(9).DisplayName(), "24.99 m");
    ExpectPoint(g.pltPVcurves.GetPoint(9, 1), 0.001L, 36.84L); // (z, t)
    ExpectUniformLines(g.PltQW, 1, 10);
    ExpectPoint(g.PltQW.GetPoint(0, 9), 3325, 0.1L); // (Q, w)
    ExpectUniformLines(g.pltLoad, 9, 40);
    ExpectPoint(g.pltLoad.GetPoint(0, 0), 0.294L, 19.8L, "SI values stay as written");
    ExpectUniformLines(g.pltAxial, 1, 10);
    ExpectPoint(g.pltAxial.GetPoint(0, 0), 0, 0);
    ExpectPoint(g.pltAxial.GetPoint(0, 9), 6741, 0.1316L);
    for (const TGraphPlot* graph : {&g.pltSkin, &g.pltUSkin, &g.pltTip, &g.pltTotal})
        ExpectUniformLines(*graph, 9, 0);
    ExpectUniformLines(g.pltCombine, 3, 0);
    for (TGraphPlot* graph : r.graphs.All())
        EXPECT_EQ(graph->Units(), 2) << graph->ComponentName();
}

TEST(ReadPlotFile, EngineOutputInEnglishUnitsIsScaledToFeetAndKips) {
    TReading r;
    ASSERT_TRUE(r.File("user-curves-downdrag.pv3p", 1));
    const TResultGraphs& g = r.graphs;
    ExpectUniformLines(g.pltPVcurves, 7, 6);
    EXPECT_EQ(g.pltPVcurves.GetLine(1).DisplayName(), "120 in");
    ExpectUniformLines(g.pltLoad, 7, 60);
    ExpectPoint(g.pltLoad.GetPoint(0, 0), 9.86L, 59.5L);
    ExpectUniformLines(g.pltAxial, 1, 8);
    ExpectPoint(g.pltAxial.GetPoint(0, 1), 45.35L, 0.08815L, "settlement stays in inches");
    ExpectPoint(g.PltQW.GetPoint(0, 5), 60000, 3, "the tip curve is not scaled");
}

TEST(ReadPlotFile, ShorterTzCurvesEndInARunOfTheirLastPoint) {
    TReading r;
    ASSERT_TRUE(r.File("tz-padding.pv3p", 1)) << "words after the summary rows are ignored";
    const TGraphPlot& tz = r.graphs.pltPVcurves;
    ExpectUniformLines(tz, 3, 5);
    for (int j : {2, 3, 4})
        ExpectPoint(tz.GetPoint(0, j), 0.3L, 3);
    ExpectPoint(tz.GetPoint(1, 4), 0.5L, 50);
    ExpectPoint(tz.GetPoint(2, 4), 0.4L, 45);
    EXPECT_EQ(tz.GetLine(0).DisplayName(), "12.5 in");

    TReading one;
    ASSERT_TRUE(one.Text("2\n1 1 5\n2 0.5\n2 1 6\n3 0.25\n0\n1 0 2\n1 2 3 4\n"));
    ExpectUniformLines(one.graphs.pltPVcurves, 2, 2);
    ExpectPoint(one.graphs.pltPVcurves.GetPoint(1, 1), 0.25L, 3);
    EXPECT_EQ(one.graphs.pltPVcurves.GetLine(1).DisplayName(), "6 m");
}

TEST(ReadPlotFile, UnitFlagScalesLoadDistributionAndAxialLoads) {
    // One tip movement, one increment: the row 120 15000 7.3, then a summary row.
    const std::string body = "0\n0\n1 1 %\n120.0 15000.0 7.3\n-2000 0.4 0.1 10\n";
    const auto withFlag = [&](const char* flag) {
        return std::string(body).replace(body.find('%'), 1, flag);
    };

    TReading english;
    ASSERT_TRUE(english.Text(withFlag("1"), 2));
    ExpectPoint(english.graphs.pltLoad.GetPoint(0, 0), 15, 10);
    ExpectPoint(english.graphs.pltAxial.GetPoint(0, 1), -2, 0.4L);
    ExpectPoint(english.graphs.pltAxial.GetPoint(0, 0), -2, 0.4L,
                "a negative first load is copied, not the origin");
    EXPECT_EQ(english.graphs.pltLoad.Units(), 1);

    for (const char* other : {"2", "0", "7"}) {
        TReading si;
        ASSERT_TRUE(si.Text(withFlag(other), 1)) << other;
        ExpectPoint(si.graphs.pltLoad.GetPoint(0, 0), 15000, 120);
        ExpectPoint(si.graphs.pltAxial.GetPoint(0, 1), -2000, 0.4L);
        EXPECT_EQ(si.graphs.pltTip.Units(), other[0] == '7' ? 3 : other[0] == '0' ? 1 : 2) << "clamped";
    }

    TReading zero; // a first load of exactly 0 is copied too
    ASSERT_TRUE(zero.File("tz-padding.pv3p", 1));
    ExpectPoint(zero.graphs.pltAxial.GetPoint(0, 0), 0, 0.1L);
}

TEST(ReadPlotFile, EarlyEndOrMissingFileFailsWithOneMessage) {
    TReading r;
    EXPECT_FALSE(r.File("ends-in-load-block.pv3p", 1));
    EXPECT_EQ(r.messages, std::vector<std::string>{PlotFileErrorMessage});
    EXPECT_EQ(r.graphs.pltPVcurves.LineCount(), 3) << "what was read before the error stays";
    ExpectUniformLines(r.graphs.pltLoad, 2, 2);
    ExpectPoint(r.graphs.pltLoad.GetPoint(0, 0), 15, 10, "the row read before the cut, in feet and kips");
    TReading cutCurve; // the same inside a t-z curve
    EXPECT_FALSE(cutCurve.Text("2\n1 3 5\n1 1\n2 2\n"));
    ExpectUniformLines(cutCurve.graphs.pltPVcurves, 2, 3);
    ExpectPoint(cutCurve.graphs.pltPVcurves.GetPoint(0, 1), 2, 2);

    EXPECT_FALSE(r.File("no-such-file.pv3p", 1));
    EXPECT_EQ(r.messages.size(), 2u);
    EXPECT_FALSE(TResultGraphs().ReadPlotFile(kData + "/ends-in-load-block.pv3p", 1)) << "silently";

    // A folder where the plot data file is expected is a file that cannot be read.
    EXPECT_FALSE(r.File(".", 1));
    EXPECT_EQ(r.messages.size(), 3u);
}

TEST(ReadPlotFile, FilesOutsideTheLimitsOfTheDataFailCleanly) {
    const std::string tail = "1\n0 0\n1 1 2\n6 100 0\n100 0.5 0.5 10\n";
    ASSERT_TRUE(TReading().Text("0\n" + tail)) << "the reference file reads";
    const std::string broken[] = {
        "2.5\n" + tail,                             // a count that is not an integer
        "1\n1 0 5\n" + tail,                        // a t-z curve without points
        "1\n1 -3 5\n" + tail,                       // a negative point count
        "-1\n" + tail,                              // a negative curve count
        "0\n-1\n1 1 2\n",                           // a negative tip point count
        "0\n0\n0 1 2\n",                            // no load-distribution curve
        "0\n0\n1 -1 2\n100 0.5 0.5 10\n",           // a negative increment count
        "0\n0\n1 1 2\n6 100 0\n100 0.5 0.5\n",      // a summary row cut short
        "1\n1 2147483647 5\n1 1\n" + tail,          // counts far beyond the data
        "0\n0\n2147483647 2147483647 1\n1 2 3 4\n", //
        "0\n0\n2147483647 0 1\n1 2 3 4\n",          //
    };
    for (const std::string& text : broken) {
        TReading r;
        EXPECT_FALSE(r.Text(text)) << text;
        EXPECT_EQ(r.messages.size(), 1u) << text;
    }
}

TEST(ReadPlotFile, TzCurvesPaddedBeyondAGraphsCapacityFail) {
    // One long curve and many one-point curves, all padded to the long one.
    const auto file = [](int curves, int longest) {
        std::string text = std::to_string(curves) + "\n1 " + std::to_string(longest) + " 0\n";
        for (int j = 0; j < longest; ++j)
            text += "1 1\n";
        for (int i = 2; i <= curves; ++i)
            text += std::to_string(i) + " 1 0 1 1\n";
        return text + "0\n1 0 2\n1 2 3 4\n";
    };
    EXPECT_FALSE(TReading().Text(file(1001, 1000))) << "more than a million points";
    EXPECT_TRUE(TReading().Text(file(1001, 999))) << "just within the capacity";
}

TEST(ReadPlotFile, ALoadReplacesTheLinesAndTheirSettings) {
    TReading r;
    ASSERT_TRUE(r.File("tz-padding.pv3p", 1));
    TGraphPlot& load = r.graphs.pltLoad;
    load.GetLine(0).Name = "first movement";
    load.GetLine(1).Shown = false;
    load.Markers = 0;
    r.graphs.pltPVcurves.GetLine(2).Active = false;
    ASSERT_TRUE(r.File("user-curves-downdrag.pv3p", 1));
    EXPECT_EQ(load.GetLine(0).DisplayName(), "Curve #1");
    EXPECT_TRUE(load.GetLine(1).Shown);
    EXPECT_TRUE(r.graphs.pltPVcurves.GetLine(2).Active);
    EXPECT_EQ(load.Markers, 0) << "settings of the graph itself stay";
}

} // namespace
} // namespace pavrin::graphics
