// The drawing of a graph without a window: ranges, ticks, number format, zoom rules, layouts, markers
// and colours in a rendered picture, picture files, and an example graph against a reviewed image.
#include "PlotDraw.h"
#include "DecimalSeparator.h"
#include "PltData.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>

namespace pavrin::graphics {
namespace {

// A graph of one line through the given points, or several lines of the same points shifted in y.
void setPoints(TGraphPlot& graph, const std::vector<TFloatPoint>& points, int lines = 1) {
    graph.SetLineCount(lines);
    graph.SetPointCount(static_cast<int>(points.size()));
    for (int i = 0; i < lines; ++i)
        for (std::size_t j = 0; j < points.size(); ++j)
            graph.GetPoint(i, static_cast<int>(j)) = {points[j].X, points[j].Y + i};
}

TEST(PlotDraw, RangesHoldZeroAndEndOnRoundSteps) {
    struct Case {
        std::vector<TFloatPoint> points;
        TPlotRange expected;
    };
    const Case cases[] = {
        {{{0, 0}, {0, 0}}, {-0.01L, 0.01L, -0.01L, 0.01L}},       // all at the origin: widened
        {{{0, 1}, {237, 2}}, {0, 240, 0, 2}},                     // 237 < 3 x 100: step 10
        {{{0, 1}, {350, 2}}, {0, 400, 0, 2}},                     // step 100
        {{{-12, 5}, {-3, 8}}, {-12, 0, 0, 8}},                    // step 1, still holds 0
        {{{0.3L, -0.25L}, {0.7L, -0.05L}}, {0, 0.7L, -0.25L, 0}}, // no spurious extra step
    };
    for (const auto& c : cases) {
        TGraphPlot graph("plt");
        setPoints(graph, c.points);
        const auto range = ComputeRanges(graph);
        ASSERT_TRUE(range);
        EXPECT_NEAR(static_cast<double>(range->xmin), static_cast<double>(c.expected.xmin), 1e-12);
        EXPECT_NEAR(static_cast<double>(range->xmax), static_cast<double>(c.expected.xmax), 1e-12);
        EXPECT_NEAR(static_cast<double>(range->ymin), static_cast<double>(c.expected.ymin), 1e-12);
        EXPECT_NEAR(static_cast<double>(range->ymax), static_cast<double>(c.expected.ymax), 1e-12);
    }
    TGraphPlot empty("plt");
    EXPECT_TRUE(ComputeRanges(empty)) << "a graph without lines still gets axes";
    TGraphPlot beyond("plt");
    setPoints(beyond, {{0, -1e4932L}, {1, 1e4932L}});
    EXPECT_FALSE(ComputeRanges(beyond)) << "a span beyond the number range gives no scale";
}

TEST(PlotDraw, TicksFollowTheOneTwoFiveRuleAndNeedRoom) {
    // A plot 600 pixels wide with h = 10 has 10 intervals of 60 pixels.
    const TPixelRect plot{0, 0, 600, 600};
    struct Case {
        long double low, high, minor;
        int lowIndex, highIndex;
    };
    const Case cases[] = {
        {0, 10, 0.2L, 0, 50},   // raw 1: major 1
        {0, 30, 0.4L, 0, 75},   // raw 3: major 2
        {0, 60, 1, 0, 60},      // raw 6: major 5
        {0, 95, 2, 0, 47},      // raw 9.5: major 10
        {-12, 0, 0.2L, -60, 0}, // raw 1.2: m = 1, major 1
    };
    for (const auto& c : cases) {
        const auto ticks = ComputeTicks({c.low, c.high, c.low, c.high}, plot, 10);
        ASSERT_TRUE(ticks);
        EXPECT_NEAR(static_cast<double>(ticks->stepX), static_cast<double>(c.minor), 1e-12) << c.high;
        EXPECT_EQ(ticks->lowX, c.lowIndex) << c.high;
        EXPECT_EQ(ticks->highX, c.highIndex) << c.high;
        EXPECT_EQ(ticks->highY, c.highIndex);
    }
    EXPECT_FALSE(ComputeTicks({0, 1, 0, 1}, {0, 0, 59, 600}, 10)) << "narrower than six text heights";
    EXPECT_FALSE(ComputeTicks({0, 1, 0, 1}, {0, 0, 600, 59}, 10));
}

TEST(PlotDraw, TheEndOfARangeAlwaysCarriesItsTick) {
    // Ranges of the result graphs whose end was lost to rounding when the steps were counted by
    // repeated addition (SI settlements and movements, English movements), in plots of every size.
    struct Case {
        long double end;      // the range runs from 0 to here
        const char* endLabel; // the label at the end when its tick is a major one
    };
    const Case cases[] = {{0.14L, "0.14"}, {0.1L, "0.1"},   {10, "10"},
                          {0.7L, "0.7"},   {-0.3L, "-0.3"}, {2.4L, "2.4"}};
    int labelled = 0;
    for (const auto& c : cases)
        for (int size = 100; size <= 1600; size += 3) {
            const TPlotRange range{std::min(c.end, 0.0L), std::max(c.end, 0.0L), 0, 1};
            const auto ticks = ComputeTicks(range, {0, 0, size, size}, 14);
            ASSERT_TRUE(ticks);
            const int index = c.end > 0 ? ticks->highX : ticks->lowX;
            const long double steps = c.end / ticks->stepX;
            if (std::fabs(steps - std::round(steps)) > 1e-6L)
                continue; // the end falls between two ticks
            EXPECT_EQ(index, std::lround(steps)) << c.endLabel << " in " << size << " px";
            if (index % 5 == 0) {
                EXPECT_EQ(FormatGeneral(index * ticks->stepX, 4), c.endLabel);
                ++labelled;
            }
        }
    EXPECT_GT(labelled, 100);
}

TEST(PlotDraw, GeneralFormatRoundsToSignificantDigits) {
    const std::pair<long double, const char*> four[] = {
        {0, "0"},          {0.0001L, "0.0001"}, {0.25L, "0.25"},
        {1200, "1200"},    {123456, "1.235E5"}, {0.00002L, "2E-5"},
        {-12.5L, "-12.5"}, {9999.6L, "1E4"},    {0.30000000000000004L, "0.3"},
    };
    for (const auto& [value, text] : four)
        EXPECT_EQ(FormatGeneral(value, 4), text) << static_cast<double>(value);
    EXPECT_EQ(FormatGeneral(12345.4L, 5), "12345");
    EXPECT_EQ(FormatGeneral(-0.000123456L, 5), "-0.00012346");
    controls::DecimalSeparatorScope comma(',');
    EXPECT_EQ(FormatGeneral(2.5L, 4), "2,5");
    EXPECT_EQ(FormatGeneral(2.5e-7L, 4), "2,5E-7");
}

TEST(PlotDraw, PixelsAndDataConvertBothWaysWhicheverWayYGrows) {
    const TPlotRange view{0, 100, -10, 10};
    const TPixelRect plot{50, 20, 450, 220};
    for (const bool xOnTop : {false, true}) {
        const TPixelPoint corner = DataToPixel(view, plot, xOnTop, 0, -10);
        EXPECT_EQ(corner, (TPixelPoint{50, xOnTop ? 20 : 220}));
        const TPixelPoint p = DataToPixel(view, plot, xOnTop, 25, 5);
        EXPECT_EQ(p.x, 150);
        EXPECT_EQ(p.y, xOnTop ? 170 : 70);
        const TFloatPoint back = PixelToData(view, plot, xOnTop, p.x, p.y);
        EXPECT_DOUBLE_EQ(static_cast<double>(back.X), 25);
        EXPECT_DOUBLE_EQ(static_cast<double>(back.Y), 5);
    }
    const TFloatPoint outside = PixelToData(view, plot, false, 451, 100);
    EXPECT_EQ(outside.X, 0);
    EXPECT_EQ(outside.Y, 0);
    // Far outside the view the pixels stay in range instead of overflowing.
    EXPECT_LT(DataToPixel({0, 1e-30L, 0, 1}, plot, false, 1e30L, 0).x, 1 << 25);
}

TEST(PlotDraw, ZoomKeepsAtLeastOneTwentiethInsideTheFullRange) {
    const TPlotRange full{0, 200, -100, 0};
    // A band of 4 x 50 near the left edge: x becomes 10 wide, moved to start at 0.
    TPlotRange view = ZoomToBox(full, {3, -40}, {1, -90});
    EXPECT_DOUBLE_EQ(static_cast<double>(view.xmin), 0);
    EXPECT_DOUBLE_EQ(static_cast<double>(view.xmax), 10);
    EXPECT_DOUBLE_EQ(static_cast<double>(view.ymin), -90);
    EXPECT_DOUBLE_EQ(static_cast<double>(view.ymax), -40);
    view = ZoomToBox(full, {100, -50}, {101, -49});
    EXPECT_DOUBLE_EQ(static_cast<double>(view.xmin), 95.5) << "centred on the band";
    EXPECT_DOUBLE_EQ(static_cast<double>(view.ymax), -47);
    view = ZoomToBox(full, {199, -1}, {199.5L, -0.5L});
    EXPECT_DOUBLE_EQ(static_cast<double>(view.xmax), 200) << "moved inside at the far edge";
    EXPECT_DOUBLE_EQ(static_cast<double>(view.ymin), -5);

    EXPECT_EQ(ZoomOut(full, full, {37, -12}), full) << "a right click at full range changes nothing";
    const TPlotRange out = ZoomOut({90, 100, -50, -40}, full, {95, -45});
    EXPECT_EQ(out, (TPlotRange{85, 105, -55, -35})) << "twice as wide around the click";
    TPlotRange repeated{0, 10, -10, 0};
    for (int i = 0; i < 10; ++i)
        repeated = ZoomOut(repeated, full, {0, 0});
    EXPECT_EQ(repeated, full) << "repeated right clicks end at the full range";
}

TEST(PlotDraw, LayoutsOfWindowPaperAndTitle) {
    TGraphPlot graph("plt");
    graph.XOnTop = true;
    const int h = 14;
    TPlotLayout window = WindowLayout(graph, 800, 600, 96, 96, 14);
    EXPECT_EQ(window.PlotRect, (TPixelRect{2 * h + 12 + 1, 2 * h + 12 + 1, 800 - 24 - 7, 600 - 24 - 7}));
    graph.Title = "Pile A";
    graph.TitleOnTop = true;
    EXPECT_EQ(WindowLayout(graph, 800, 600, 96, 96, 14).PlotRect.top, window.PlotRect.top + h + h / 8);
    graph.TitleOnTop = false;
    EXPECT_EQ(WindowLayout(graph, 800, 600, 96, 96, 14).PlotRect.bottom, window.PlotRect.bottom - h);

    // Paper at 600 dpi with one-inch margins and a quarter-inch physical offset.
    const TPixelRect page = PrintPageRect(4800, 6300, 600, 600, 150, 150, {});
    EXPECT_EQ(page, (TPixelRect{450, 450, 4800 + 150 - 600, 6300 + 150 - 600}));
    EXPECT_EQ(PrintPageRect(4800, 6300, 600, 600, 150, 150, {100, 100, 100, 100}).left, 0)
        << "margins are at least the physical offsets";
    graph.TitleOnTop = true;
    const TPlotLayout paper = PrinterLayout(graph, page, 600, 600, 87);
    graph.Title.clear();
    EXPECT_EQ(paper.PlotRect.top, PrinterLayout(graph, page, 600, 600, 87).PlotRect.top + 150)
        << "a quarter inch for a title on top";
    EXPECT_TRUE(paper.ForOutput);
}

// Renders a graph on a white 800 x 600 picture at 96 dpi, legend left out.
QImage render(const TGraphPlot& graph, const TPlotRange& view, TPlotLayout* used = nullptr) {
    QImage image(800, 600, QImage::Format_RGB32);
    TPlotLayout layout = WindowLayout(graph, 800, 600, 96, 96, kWindowFontHeight);
    QPainter painter(&image);
    DrawPlot(painter, graph, view, layout);
    if (used != nullptr)
        *used = layout;
    return image;
}

TEST(PlotDraw, MarkersEveryNthPointInTheLinesShapeAndColoursStayWhenLinesHide) {
    TGraphPlot graph("plt");
    std::vector<TFloatPoint> points;
    for (int j = 0; j <= 6; ++j)
        points.push_back({static_cast<long double>(j * 10), 3.3L});
    setPoints(graph, points, 3); // lines at y = 3.3, 4.3, 5.3, off the grid
    graph.Markers = 3;
    graph.GetLine(1).Shown = false;
    const TPlotRange view{-5, 65, 0, 8};
    TPlotLayout layout;
    const QImage image = render(graph, view, &layout);

    const auto at = [&](long double x, long double y, int dy = 0) {
        const TPixelPoint p = DataToPixel(view, layout.PlotRect, false, x, y);
        return image.pixelColor(p.x, p.y + dy);
    };
    EXPECT_EQ(at(32, 3.3L), LineColor(0));
    EXPECT_EQ(at(32, 4.3L), QColor(Qt::white)) << "the hidden second line";
    EXPECT_EQ(at(32, 5.3L), QColor(Qt::red)) << "the third line keeps palette colour 2";
    // Line 3 carries shape 3, a triangle pointing up whose bottom edge lies dy/32 x cos 60 below the point.
    for (int j = 0; j <= 6; ++j) {
        const bool marker = j % 3 == 0;
        EXPECT_EQ(at(j * 10, 5.3L, 2) == QColor(Qt::red), marker) << "point " << j;
    }
    EXPECT_EQ(MarkerOutline(10, 96, 96), MarkerOutline(0, 96, 96)) << "line 11 has line 1's shape";
    EXPECT_EQ(MarkerOutline(0, 96, 96), (std::vector<TPixelPoint>{{0, 3}, {-3, -2}, {3, -2}, {0, 3}}));
    EXPECT_EQ(MarkerOutline(1, 96, 96).size(), 5u) << "a square";
    EXPECT_EQ(MarkerOutline(9, 96, 96).size(), 11u) << "ten corners";
    EXPECT_EQ(MarkerOutline(4, 96, 96).front(), (TPixelPoint{0, -3})) << "one corner straight up";
}

// A point that is not a number (a plot value beyond double range) is not drawn: the line breaks
// there and nothing of it leaves the line's row.
TEST(PlotDraw, PointsThatAreNotANumberAreSkipped) {
    TGraphPlot graph("plt");
    const long double nan = std::numeric_limits<long double>::quiet_NaN();
    setPoints(graph, {{0, 3.3L}, {10, 3.3L}, {nan, nan}, {30, 3.3L}, {40, 3.3L}}, 2);
    graph.GetLine(0).Shown = false; // line 2 is drawn in blue, unlike the black axes
    const TPlotRange view{-5, 45, 0, 8};
    TPlotLayout layout;
    const QImage image = render(graph, view, &layout);
    const int row = DataToPixel(view, layout.PlotRect, false, 0, 4.3L).y;
    const auto at = [&](long double x) {
        return image.pixelColor(DataToPixel(view, layout.PlotRect, false, x, 4.3L).x, row);
    };
    EXPECT_EQ(at(5), LineColor(1));
    EXPECT_EQ(at(35), LineColor(1));
    EXPECT_NE(at(20), LineColor(1)) << "no segment through the missing point";
    int astray = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (std::abs(y - row) > 3 && image.pixelColor(x, y) == LineColor(1))
                ++astray;
    EXPECT_EQ(astray, 0);
    EXPECT_TRUE(ComputeRanges(graph).has_value()) << "the ranges leave the point out";
}

TEST(PlotDraw, TooSmallAPageIsOnlyWhite) {
    TGraphPlot graph("plt");
    setPoints(graph, {{0, 0}, {10, 10}});
    QImage image(90, 300, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    DrawPlot(painter, graph, *ComputeRanges(graph), WindowLayout(graph, 90, 300, 96, 96, 14));
    painter.end();
    for (int y = 0; y < image.height(); y += 7)
        for (int x = 0; x < image.width(); x += 7)
            ASSERT_EQ(image.pixelColor(x, y), QColor(Qt::white));
}

TEST(PlotDraw, TheLegendOfAPictureStaysOnThePage) {
    // Three short lines at the left; an inactive fourth widens the x range without being drawn.
    TGraphPlot graph("plt");
    setPoints(graph, {{0, 0}, {1, 1}}, 4);
    graph.GetPoint(3, 1) = {10, 1};
    graph.GetLine(3).Active = false;
    TPlotLayout layout = WindowLayout(graph, 600, 400, 96, 96, 14);
    layout.ForOutput = true;
    layout.legend = {false, 550, 395, 600, 400}; // the window's legend was at its lower right corner
    QImage image(600, 400, QImage::Format_RGB32);
    QPainter painter(&image);
    DrawPlot(painter, graph, *ComputeRanges(graph), layout);
    painter.end();
    bool thirdEntry = false; // red text right of the lines
    for (int y = 0; y < image.height(); ++y)
        for (int x = 300; x < image.width(); ++x)
            thirdEntry = thirdEntry || image.pixelColor(x, y) == QColor(Qt::red);
    EXPECT_TRUE(thirdEntry) << "the last entry is on the page";
}

// A measured load test on the axial graph of the SI example, given in English units: its line is the
// second one, converted to the graph's kN and metres, with a marker on every point even when the
// graph's markers are off; the prediction then has none.
TEST(PlotDraw, MeasuredPointsAreMarkedBesideThePrediction) {
    TResultGraphs graphs;
    ASSERT_TRUE(graphs.ReadPlotFile(PAVRIN_TEST_DATA "/drilled-shaft-si.pv3p", 2));
    TGraphPlot& axial = graphs.pltAxial;
    const std::vector<TFloatPoint> si = {{0, 0}, {400, 0.004L}, {900, 0.011L}, {1300, 0.02L}};
    std::vector<TFloatPoint> english;
    for (const TFloatPoint& p : si)
        english.push_back({p.X * 224.8089237L, p.Y * 39.37007874L});
    graphs.SetMeasuredPoints(english, 1);
    ASSERT_EQ(axial.LineCount(), 2);
    EXPECT_EQ(axial.GetLine(0).DisplayName(), "Predicted");
    EXPECT_EQ(axial.GetLine(1).DisplayName(), "Measured");
    axial.Markers = 0;
    const auto range = ComputeRanges(axial);
    ASSERT_TRUE(range);
    TPlotLayout layout;
    const QImage image = render(axial, *range, &layout);
    const std::vector<TPixelPoint> square = MarkerOutline(1, 96, 96);
    for (const TFloatPoint& p : si) {
        if (p.X == 0)
            continue; // the origin is the corner of the plot area, where the frame is drawn
        const TPixelPoint at = DataToPixel(*range, layout.PlotRect, axial.XOnTop, p.X, p.Y);
        SCOPED_TRACE(std::to_string(static_cast<double>(p.X)) + " kN");
        // The square's corners: off the line between the points, only the marker draws them.
        int corners = 0;
        for (const TPixelPoint& v : square)
            corners += image.pixelColor(at.x + v.x, at.y + v.y) == LineColor(1) ? 1 : 0;
        EXPECT_GE(corners, 3);
    }
    const TFloatPoint& predicted = axial.GetPoint(0, 3);
    const TPixelPoint at = DataToPixel(*range, layout.PlotRect, axial.XOnTop, predicted.X, predicted.Y);
    EXPECT_NE(image.pixelColor(at.x + 3, at.y + 3), LineColor(0)) << "no marker on the prediction";

    graphs.SetMeasuredPoints({}, 1);
    EXPECT_EQ(axial.LineCount(), 1);
    EXPECT_EQ(axial.GetLine(0).DisplayName(), "Curve #1");
}

// The load-distribution graph of the SI drilled-shaft example, as pavrin-cli plot draws it.
QImage exampleLoadDistribution() {
    TResultGraphs graphs;
    EXPECT_TRUE(graphs.ReadPlotFile(PAVRIN_TEST_DATA "/drilled-shaft-si.pv3p", 2));
    TGraphPlot& graph = graphs.pltLoad;
    ActivateLinesForNewWindow(graph);
    TPlotLayout layout = WindowLayout(graph, 576, 384, 96, 96, kWindowFontHeight);
    layout.ForOutput = true;
    QImage image(576, 384, QImage::Format_RGB32);
    QPainter painter(&image);
    DrawPlot(painter, graph, *ComputeRanges(graph), layout);
    return image;
}

// To renew the reference after a reviewed change of the drawing:
//   PAVRIN_RENEW_REFERENCE=1 build/bin/graphics_draw_tests --gtest_filter=*Reference*
TEST(PlotDraw, ExampleLoadDistributionMatchesTheReviewedReference) {
    const QString reference = QStringLiteral(PAVRIN_TEST_DATA "/drilled-shaft-si-load.png");
    const QImage image = exampleLoadDistribution();
    if (std::getenv("PAVRIN_RENEW_REFERENCE") != nullptr) {
        ASSERT_TRUE(image.save(reference));
    }
    const QImage expected = QImage(reference).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(image.size(), expected.size());
    // Text may be rasterised a little differently by another font build; the lines, grid and layout
    // may not move. A pixel counts as different when a channel differs by more than a quarter.
    int different = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor a = image.pixelColor(x, y);
            const QColor b = expected.pixelColor(x, y);
            if (std::abs(a.red() - b.red()) > 64 || std::abs(a.green() - b.green()) > 64 ||
                std::abs(a.blue() - b.blue()) > 64)
                ++different;
        }
    EXPECT_LT(different, image.width() * image.height() / 200) << "more than 0.5 % of the pixels differ";
}

TEST(PlotDraw, PicturesAreWrittenInTheAskedSizeAndFormat) {
    TGraphPlot graph("plt");
    graph.Caption = "Load";
    setPoints(graph, {{0, 0}, {10, 10}, {20, 5}});
    const QTemporaryDir dir;
    const TPlotLayout layout = WindowLayout(graph, 432, 288, 96, 96, 14);
    const auto range = *ComputeRanges(graph);
    for (const char* name : {"g.bmp", "g.PNG", "g.svg", "g.pdf"}) {
        const QString file = dir.filePath(QString::fromLatin1(name));
        const auto format = PictureFormatOf(file);
        ASSERT_TRUE(format) << name;
        EXPECT_EQ(SavePicture(graph, range, layout, *format, file, 432, 288, 72), TSaveResult::Saved) << name;
        QFile written(file);
        ASSERT_TRUE(written.open(QIODevice::ReadOnly)) << name;
        const QByteArray head = written.read(256);
        if (*format == TPictureFormat::Svg)
            EXPECT_TRUE(head.contains("<svg") || written.readAll().contains("<svg"));
        else if (*format == TPictureFormat::Pdf)
            EXPECT_TRUE(head.startsWith("%PDF"));
        else
            EXPECT_EQ(QImage(file).size(), QSize(432, 288)) << name;
    }
    EXPECT_FALSE(PictureFormatOf(QStringLiteral("g.jpg")));
    EXPECT_EQ(
        SavePicture(graph, range, layout, TPictureFormat::Png, dir.filePath("huge.png"), 200000, 200000, 72),
        TSaveResult::OutOfMemory);
    EXPECT_FALSE(QFile::exists(dir.filePath("huge.png"))) << "nothing is written";
    EXPECT_EQ(SavePicture(graph, range, layout, TPictureFormat::Png, dir.filePath("no/such/folder.png"), 100,
                          100, 72),
              TSaveResult::WriteFailed);
}

} // namespace
} // namespace pavrin::graphics

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
