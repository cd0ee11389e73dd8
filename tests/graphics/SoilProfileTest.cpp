#include "SoilProfile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace pavrin::graphics {
namespace {

double D(long double value) {
    return static_cast<double>(value);
}

// Clay from 0 to 10, sand from 10 to 25, a pile of diameter 24 in, 20 long.
SoilProfileInput clayOverSand() {
    SoilProfileInput input;
    input.Units = 1;
    input.OuterDiameter = 24;
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
}

TEST(SoilProfile, PileAndExtentWithTheMargin) {
    TSoilProfile profile;
    profile.Resize(400, 400);
    SoilProfileInput input = clayOverSand();
    profile.Rebuild(input);
    EXPECT_EQ(profile.PileWidth(), 3) << "1.5 x 24 in / 12";
    ASSERT_EQ(profile.PileOutlines().size(), 1u);
    const TPileOutline& pile = profile.PileOutlines()[0];
    EXPECT_EQ(pile.UpperLeft.X, -1.5L);
    EXPECT_EQ(pile.LowerRight.X, 1.5L);
    EXPECT_EQ(pile.UpperLeft.Y, 0);
    EXPECT_EQ(pile.LowerLeft.Y, 20);
    EXPECT_NEAR(D(profile.WorldRect().xmin), -1.575, 1e-12);
    EXPECT_NEAR(D(profile.WorldRect().xmax), 1.575, 1e-12);
    EXPECT_EQ(profile.WorldRect().ymin, 0);
    EXPECT_NEAR(D(profile.WorldRect().ymax), 26.25, 1e-12) << "the last layer reaches deeper than the pile";

    input.PileLength = 40;
    profile.Rebuild(input);
    EXPECT_NEAR(D(profile.WorldRect().ymax), 42, 1e-12) << "a pile longer than the deepest layer";

    input.Units = 2;
    input.OuterDiameter = 0.6L;
    profile.Rebuild(input);
    EXPECT_NEAR(D(profile.PileWidth()), 0.0009, 1e-15) << "SI: 1.5 x diameter / 1000";

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
    EXPECT_EQ(d.Piles[0].x[0], 270);
    EXPECT_EQ(d.Piles[0].x[1], 330);
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
    EXPECT_EQ(page->Piles[0].x[0], 1500 - 192) << "half-width 3 / 25 x 1600";
    EXPECT_EQ(page->Piles[0].y[2], 200 + 3200) << "the bar runs past the lower margin";

    input.Layers = {{1, 0}};
    input.PileLength = 0;
    profile.Rebuild(input);
    EXPECT_FALSE(LayoutProfilePrintout(input, profile, 3000, 2000, 40)) << "nothing to scale by";
}

} // namespace
} // namespace pavrin::graphics
