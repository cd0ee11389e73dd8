#include "SoilProfile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace pavrin::graphics {
namespace {

double D(long double value) {
    return static_cast<double>(value);
}

// Clay from 0 to 10, sand from 10 to 25, a pile of diameter 2, 20 long.
SoilProfileInput clayOverSand() {
    SoilProfileInput input;
    input.Units = 1;
    input.OuterDiameter = 2;
    input.PileLength = 20;
    input.Layers = {{1, 10}, {2, 25}};
    return input;
}

TEST(SoilProfile, LabelsNameTheDepthRangeAndTheSoilKind) {
    const std::tuple<long double, long double, int, const char*> cases[] = {
        {0, 10, 1, "depth= 0 - 10; Clay"},        {10, 25, 2, "depth= 10 - 25; Sand"},
        {0, 3.5L, 3, "depth= 0 - 3.5; Clay"},     {3.5L, 7, 4, "depth= 3.5 - 7; Sand"},
        {7, 12.25L, 5, "depth= 7 - 12.25; Clay"}, {12.25L, 20, 6, "depth= 12.25 - 20; Sand"}};
    for (const auto& [top, bottom, type, label] : cases)
        EXPECT_EQ(SoilLayerLabel(top, bottom, type), label);
    // Depths that went through a unit round trip are written with at most 15 significant digits.
    const long double roundTrip = 180 + 1e-17L; // 180.00000000000000001
    ASSERT_NE(roundTrip, 180.0L);
    EXPECT_EQ(SoilLayerLabel(0.1L * 3, roundTrip, 1), "depth= 0.3 - 180; Clay");
    EXPECT_EQ(SoilLayerLabel(123.456789012345L, 1e20L, 2), "depth= 123.456789012345 - 1E20; Sand");
}

TEST(SoilProfile, PileAndExtentWithTheMargin) {
    TSoilProfile profile;
    profile.Resize(400, 400);
    SoilProfileInput input = clayOverSand();
    profile.Rebuild(input);
    EXPECT_EQ(profile.PileWidth(), 2) << "the diameter, in the unit of the depths";
    ASSERT_EQ(profile.PileOutlines().size(), 1u);
    const TPileOutline& pile = profile.PileOutlines()[0];
    EXPECT_EQ(pile.UpperLeft.X, -1);
    EXPECT_EQ(pile.LowerRight.X, 1);
    EXPECT_EQ(pile.UpperLeft.Y, 0);
    EXPECT_EQ(pile.LowerLeft.Y, 20);
    EXPECT_NEAR(D(profile.WorldRect().xmin), -1.05, 1e-12);
    EXPECT_NEAR(D(profile.WorldRect().xmax), 1.05, 1e-12);
    EXPECT_EQ(profile.WorldRect().ymin, 0);
    EXPECT_NEAR(D(profile.WorldRect().ymax), 26.25, 1e-12) << "the last layer reaches deeper than the pile";

    input.PileLength = 40;
    profile.Rebuild(input);
    EXPECT_NEAR(D(profile.WorldRect().ymax), 42, 1e-12) << "a pile longer than the deepest layer";

    input.Units = 2;
    input.OuterDiameter = 0.6L;
    profile.Rebuild(input);
    EXPECT_EQ(profile.PileWidth(), 0.6L) << "SI: metres against depths in metres";

    input.Layers.clear();
    profile.Rebuild(input);
    EXPECT_TRUE(profile.PileOutlines().empty());
    EXPECT_EQ(profile.WorldRect().xmin, -10) << "no layers: the initial extent";
    EXPECT_EQ(profile.WorldRect().ymax, 10);
    EXPECT_FALSE(profile.Invalid());
}

TEST(SoilProfile, EqualScalesAfterEveryResizeAndReadOutInverse) {
    TSoilProfile profile;
    profile.Rebuild(clayOverSand());
    for (const auto& [w, h] :
         {std::pair{800, 400}, std::pair{300, 900}, std::pair{1, 1000}, std::pair{1000, 1}}) {
        profile.Resize(w, h);
        ASSERT_FALSE(profile.Invalid()) << w << "x" << h;
        const TWorldRect& v = profile.ViewRect();
        EXPECT_NEAR(D((v.xmax - v.xmin) / w), D((v.ymax - v.ymin) / h), D(1e-9 * (v.ymax - v.ymin) / h))
            << w << "x" << h;
        EXPECT_LE(v.xmin, profile.WorldRect().xmin);
        EXPECT_GE(v.ymax, profile.WorldRect().ymax) << "the whole extent stays in view";
    }
    profile.Resize(500, 500);
    EXPECT_EQ(profile.ToPixelY(0), 0);
    EXPECT_NEAR(D(profile.ToWorldY(profile.ToPixelY(12.5L))), 12.5, D(profile.ViewRect().ymax / 500));
    EXPECT_EQ(profile.ToPixelX(0), 250) << "the pile axis in the middle";
}

TEST(SoilProfile, DegenerateExtentIsInvalidAndAnUnusablePileRefused) {
    TSoilProfile profile;
    profile.Resize(300, 300);
    SoilProfileInput input;
    input.Layers = {{1, 0}}; // a new project: no diameter, no length, one layer ending at 0
    profile.Rebuild(input);
    EXPECT_TRUE(profile.Invalid());
    EXPECT_TRUE(profile.Draw(input, 10).Lines.empty()) << "an invalid profile draws nothing";

    profile.Rebuild(clayOverSand());
    EXPECT_FALSE(profile.Invalid()) << "a rebuild from a sound project makes it valid again";

    input = clayOverSand();
    input.OuterDiameter = std::numeric_limits<long double>::quiet_NaN();
    try {
        profile.Rebuild(input);
        ADD_FAILURE() << "a pile without a size is refused";
    } catch (const ESoilProfileError& e) {
        EXPECT_STREQ(e.what(), "One or more Pile Types does not have any sections");
    }
}

TEST(SoilProfile, ScreenDrawing) {
    TSoilProfile profile;
    const SoilProfileInput input = clayOverSand();
    profile.Rebuild(input);
    profile.Resize(600, 525); // view 0..26.25 deep: 20 pixels per unit
    const TProfileDrawing d = profile.Draw(input, 14);
    ASSERT_EQ(d.Lines.size(), 23u) << "ground line, 20 hatch strokes, two layer bottoms";
    EXPECT_EQ(d.Lines[0].y1, 0);
    EXPECT_EQ(d.Lines[0].x2, 600);
    EXPECT_EQ(d.Lines[1].x1, 120);
    EXPECT_EQ(d.Lines[1].y2, 5);
    EXPECT_EQ(d.Lines[20].x2, 515);
    EXPECT_EQ(d.Lines[21].y1, 200);
    EXPECT_EQ(d.Lines[22].y1, 500);
    ASSERT_EQ(d.Labels.size(), 2u);
    EXPECT_EQ(d.Labels[1].text, "depth= 10 - 25; Sand");
    EXPECT_EQ(d.Labels[1].y, 214) << "one text height below the layer's top";
    ASSERT_EQ(d.Piles.size(), 1u);
    EXPECT_EQ(d.Piles[0].x[0], 280) << "2 wide at 20 pixels per unit";
    EXPECT_EQ(d.Piles[0].x[1], 320);
    EXPECT_EQ(d.Piles[0].y[2], 400);
}

TEST(SoilProfile, PrintoutScalesToTheLastLayer) {
    TSoilProfile profile;
    SoilProfileInput input = clayOverSand();
    input.PileLength = 50; // twice the deepest layer
    profile.Rebuild(input);
    const auto page = LayoutProfilePrintout(input, profile, 3000, 2000, 40);
    ASSERT_TRUE(page);
    ASSERT_EQ(page->Lines.size(), 13u) << "ground line, 10 hatch strokes, two layer bottoms";
    EXPECT_EQ(page->Lines[0].x1, 300);
    EXPECT_EQ(page->Lines[0].x2, 2700);
    EXPECT_EQ(page->Lines[0].y1, 200);
    EXPECT_EQ(page->Lines[1].x1, 750) << "hatch at 0.35 of the page height + 50";
    EXPECT_EQ(page->Lines[1].x2, 780);
    EXPECT_EQ(page->Lines[1].y2, 270);
    EXPECT_EQ(page->Lines[12].y1, 1800) << "the last layer's bottom at 90 % of the height";
    EXPECT_EQ(page->Labels[0].x, 300);
    EXPECT_EQ(page->Labels[0].text, "depth= 0 - 10; Clay");
    EXPECT_EQ(page->Labels[1].y, 840 + 40);
    ASSERT_EQ(page->Piles.size(), 1u);
    EXPECT_EQ(page->Piles[0].x[0], 1500 - 64) << "half-width 1 / 25 x 1600";
    EXPECT_EQ(page->Piles[0].y[2], 200 + 3200) << "the bar runs past the lower margin";

    input.Layers = {{1, 0}};
    input.PileLength = 0;
    profile.Rebuild(input);
    EXPECT_FALSE(LayoutProfilePrintout(input, profile, 3000, 2000, 40)) << "nothing to scale by";
}

TEST(SoilProfile, ThePileAtItsTrueWidthAndNeverTooThinToSee) {
    // Diameter and depths in one unit; on screen at least three pixels, on paper at least the given width.
    struct Case {
        int units;
        long double diameter, length, deepest;
        int screenWidth; // pixels of a 500 x 700 view
        int paperWidth;  // pixels of a 6600 x 5100 page, at least 12
    };
    const Case cases[] = {
        {2, 1.0L, 20, 22, 30, 185}, // a 1.0 m drilled shaft, 22 m of soil: 700 / 23.1 px per metre
        {1, 24, 600, 720, 22, 136}, // a 24 in pile in 60 ft of soil
        {1, 2, 1000, 1200, 3, 12},  // a slender pile in a deep profile: the minimum on both
        {2, 0.3L, 30, 30, 6, 40},   // 0.3 m, 30 m
    };
    for (const auto& c : cases) {
        SoilProfileInput input;
        input.Units = c.units;
        input.OuterDiameter = c.diameter;
        input.PileLength = c.length;
        input.Layers = {{1, c.deepest / 2}, {2, c.deepest}};
        TSoilProfile profile;
        profile.Resize(500, 700);
        profile.Rebuild(input);
        const TProfileDrawing screen = profile.Draw(input, 14);
        ASSERT_EQ(screen.Piles.size(), 1u);
        const TPixelPolygon& bar = screen.Piles[0];
        EXPECT_EQ(bar.x[1] - bar.x[0], c.screenWidth) << c.diameter;
        EXPECT_NEAR((bar.x[0] + bar.x[1]) / 2.0, profile.ToPixelX(0), 1) << "centred on the axis";
        const auto page = LayoutProfilePrintout(input, profile, 6600, 5100, 100, 12);
        ASSERT_TRUE(page);
        ASSERT_EQ(page->Piles.size(), 1u);
        EXPECT_NEAR(page->Piles[0].x[1] - page->Piles[0].x[0], c.paperWidth, 1) << c.diameter;
    }
}

} // namespace
} // namespace pavrin::graphics
