// Generated t-z and Q-w curves against the published tables and formulas, computed
// here independently in double precision; the profile look-ups, the average unit
// weight, the curve depths of a layer and the modification factors.
#include "Curves.h"
#include "EngineHarness.h"
#include "Model.h"
#include "PublishedCurves.h"
#include "Solver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

namespace pavrin::engine {
namespace {

using namespace pavrin::reference;

constexpr double Rel = 1e-5;

void expectRel(double actual, double expected, double rel, const std::string& what) {
    EXPECT_LE(std::fabs(actual - expected), rel * std::fabs(expected))
        << what << ": got " << actual << ", expected " << expected;
}

// ---------------------------------------------------------------- published tables

std::vector<RefPoint> tableTip(const double* wOverD, const double* qRatio, double d, double qmax) {
    std::vector<RefPoint> p(10);
    for (std::size_t m = 0; m < 10; ++m)
        p[m] = {qRatio[m] * qmax, wOverD[m] * d};
    return p;
}

std::vector<RefPoint> refTipCurve(const TipSoil& s, bool si) {
    const bool clay = s.soilType % 2 == 1;
    double q;
    if (clay) {
        q = s.tipResistance > 1e-5 ? double(s.tipResistance) : 9.0 * s.cohesion;
    } else {
        const double rule = double(s.depth) * s.unitWeight * BearingFactor(s.frictionAngle);
        q = s.tipResistance > 1e-4 ? double(s.tipResistance) : rule;
    }
    const double qmax = s.tipArea * q;
    const double d = s.diameter;
    switch (s.soilType) {
    case 1: {
        const double z50 = 2 * double(s.e50) * d;
        const double w9 = 4 * z50;
        std::vector<RefPoint> p(10);
        p[0] = {0, 0};
        for (std::size_t m = 2; m <= 8; ++m) {
            const double w = double(m - 1) * w9 / 8;
            p[m - 1] = {qmax / 2 * std::sqrt(w / z50), w};
        }
        p[8] = {qmax, w9};
        p[9] = {qmax, 10 * w9};
        return p;
    }
    case 2: {
        const double wd = 0.05 * d;
        const double phiLast = s.lastCurveFrictionAngle;
        const double e = phiLast <= 31 ? 0.5 : (phiLast <= 38 ? 0.333 : 0.25);
        std::vector<RefPoint> p(10);
        for (std::size_t m = 0; m < 10; ++m) {
            const double w = SandTipW[m] * (si ? 0.0254 : 1.0);
            p[m] = {m == 0 ? 0.0 : qmax * std::pow(w / wd, e), w};
        }
        return p;
    }
    case 3:
        return tableTip(ShaftTipW, ClayShaftTipQ, d, qmax);
    case 4:
        return tableTip(ShaftTipW, SandShaftTipQ, d, qmax);
    default: // 5 and 6
        return tableTip(ApiTipW, ApiTipQ, d, qmax);
    }
}

// ---------------------------------------------------------------- side curves

TEST(GeneratedCurves, SideCurvesOfAllSixSoilTypesInBothUnitSystems) {
    struct Case {
        int type;
        Int units;
        float f, phi, d;
    };
    const Case cases[] = {
        {1, English, 6.5f, 0, 12}, {1, SI, 45, 0, 0.3f},      {2, English, 8, 30, 16},
        {2, SI, 55, 30, 0.4f},     {2, English, 3, 36, 24},   {2, SI, 120, 39, 0.6f},
        {2, English, 12, 25, 12},  {3, English, 7.2f, 0, 36}, {3, SI, 60, 0, 0.9f},
        {4, English, 9, 33, 30},   {4, SI, 70, 33, 1.2f},     {5, English, 5.5f, 0, 18},
        {5, SI, 38, 0, 0.45f},     {6, English, 4, 32, 20},   {6, SI, 25, 32, 0.5f},
    };
    for (const auto& c : cases) {
        TzCurve curve;
        curve.number = 3;
        curve.depth = 4;
        curve.soilType = c.type;
        curve.sideFriction = c.f;
        curve.frictionAngle = c.phi;
        buildSideCurve(curve, c.d, c.units);
        const auto ref = SideCurve(c.type, c.units == SI, c.f, c.phi, c.d);
        const std::string name = "type " + std::to_string(c.type) + (c.units == SI ? " SI" : " English");
        ASSERT_EQ(curve.points.size(), 10u) << name;
        for (std::size_t m = 0; m < 10; ++m) {
            const std::string at = name + ", point " + std::to_string(m + 1);
            expectRel(curve.points[m].t, ref[m].a, Rel, at + " t");
            expectRel(curve.points[m].z, ref[m].b, Rel, at + " z");
        }
    }
}

TEST(GeneratedCurves, SandModulusRampsAndPlateaus) {
    struct Case {
        float phi;
        double expected;
    };
    // The published steps, including the ends of each ramp where the modulus jumps.
    const Case cases[] = {{20, 6000},    {28, 6000},    {29.5f, 7999.95}, {31, 9999.9},   {31.5f, 10000},
                          {32, 10000},   {33, 11333.3}, {34, 12666.6},    {34.5f, 14000}, {35, 14000},
                          {36, 15333.3}, {38, 17999.9}, {38.01f, 18000},  {39, 18000},    {45, 18000}};
    for (const auto& c : cases) {
        expectRel(sandModulus(c.phi), c.expected, 1e-6, "K at phi " + std::to_string(c.phi));
    }
}

// ---------------------------------------------------------------- tip curves

TipSoil tipSoil(Int type, float depth, float d, float area) {
    TipSoil s;
    s.soilType = type;
    s.depth = depth;
    s.diameter = d;
    s.tipArea = area;
    return s;
}

TipSoil clayTip(Int type, float depth, float d, float c, float e50, float tipResistance = 0) {
    TipSoil s = tipSoil(type, depth, d, static_cast<float>(Pi * d * d / 4));
    s.cohesion = c;
    s.e50 = e50;
    s.tipResistance = tipResistance;
    return s;
}

TipSoil sandTip(Int type, float depth, float d, float phi, float gamma, float phiLast,
                float tipResistance = 0) {
    TipSoil s = tipSoil(type, depth, d, static_cast<float>(Pi * d * d / 4));
    s.frictionAngle = phi;
    s.unitWeight = gamma;
    s.lastCurveFrictionAngle = phiLast;
    s.tipResistance = tipResistance;
    return s;
}

void expectTipCurve(const TipSoil& s, Int units, const std::string& name) {
    const auto curve = buildTipCurve(s, units);
    const auto ref = refTipCurve(s, units == SI);
    ASSERT_EQ(curve.size(), 10u) << name;
    for (std::size_t m = 0; m < 10; ++m) {
        const std::string at = name + ", point " + std::to_string(m + 1);
        expectRel(curve[m].q, ref[m].a, Rel, at + " Q");
        expectRel(curve[m].w, ref[m].b, Rel, at + " w");
    }
}

TEST(GeneratedCurves, ClayTipCurves) {
    // English: inches, psi; SI: metres, kPa.
    expectTipCurve(clayTip(1, 600, 12, 10, 0.01f), English, "type 1 English");
    expectTipCurve(clayTip(1, 15, 0.6f, 50, 0.005f), SI, "type 1 SI");
    expectTipCurve(clayTip(1, 15, 0.6f, 50, 0.02f), SI, "type 1 SI, soft");
    expectTipCurve(clayTip(3, 480, 36, 12, 0.01f), English, "type 3 English");
    expectTipCurve(clayTip(3, 12, 0.9f, 80, 0.01f), SI, "type 3 SI");
    expectTipCurve(clayTip(5, 600, 24, 9, 0.01f), English, "type 5 English");
    expectTipCurve(clayTip(5, 20, 0.76f, 65, 0.007f), SI, "type 5 SI");
}

TEST(GeneratedCurves, SandTipCurvesAndTheirExponents) {
    // Type 2: the exponent of the power curve follows the friction angle of the
    // last t-z curve (31 / 31.5 / 38 / 38.5), not the one at the tip (35 here).
    for (float phiLast : {25.0f, 31.0f, 31.5f, 38.0f, 38.5f, 42.0f}) {
        const std::string at = " (phi of the last curve " + std::to_string(phiLast) + ")";
        expectTipCurve(sandTip(2, 600, 14, 35, 0.07f, phiLast), English, "type 2 English" + at);
        expectTipCurve(sandTip(2, 15, 0.35f, 35, 10, phiLast), SI, "type 2 SI" + at);
    }
    expectTipCurve(sandTip(4, 720, 30, 32, 0.065f, 32), English, "type 4 English");
    expectTipCurve(sandTip(4, 18, 0.75f, 32, 9.5f, 32), SI, "type 4 SI");
    expectTipCurve(sandTip(6, 900, 24, 30, 0.06f, 30), English, "type 6 English");
    expectTipCurve(sandTip(6, 25, 0.6f, 30, 9, 30), SI, "type 6 SI");
}

TEST(GeneratedCurves, BearingCapacityFactorOfTheSandTip) {
    // Nq written out for a few angles as a check of the reference formula itself:
    // exp(pi tan 30) tan^2 60 = 18.40 (the published value for 30 degrees).
    expectRel(BearingFactor(30), 18.40, 1e-3, "Nq(30)");
    expectRel(BearingFactor(35), 33.30, 1e-3, "Nq(35)");
    // q = x gamma Nq reaches the curve through Qmax at w = wd (r = 1) for every exponent.
    const TipSoil s = sandTip(2, 600, 14, 30, 0.07f, 30);
    const double qmax = s.tipArea * 600.0 * 0.07 * BearingFactor(30);
    const auto curve = buildTipCurve(s, English);
    ASSERT_EQ(curve.size(), 10u);
    // w = 0.75 in and wd = 0.05 * 14 = 0.7 in: Q = Qmax (0.75 / 0.7)^0.5.
    expectRel(curve[8].q, qmax * std::sqrt(0.75 / 0.7), Rel, "Q at 0.75 in");
}

TEST(GeneratedCurves, TipResistanceReplacesTheSoilRuleAboveItsThreshold) {
    // Clay: threshold 1e-5; sand: 1e-4. A value at or below leaves q from the rule.
    struct Case {
        TipSoil soil;
        Int units;
        bool replaced;
        const char* name;
    };
    const Case cases[] = {
        {clayTip(1, 600, 12, 10, 0.01f, 0), English, false, "clay, 0"},
        {clayTip(1, 600, 12, 10, 0.01f, 1e-5f), English, false, "clay, at 1e-5"},
        {clayTip(1, 600, 12, 10, 0.01f, 5e-5f), English, true, "clay, 5e-5"},
        {clayTip(3, 600, 36, 10, 0.01f, 150), English, true, "type 3, 150 psi"},
        {clayTip(5, 15, 0.6f, 50, 0.01f, 2000), SI, true, "type 5, 2000 kPa"},
        {sandTip(2, 600, 14, 35, 0.07f, 35, 0), English, false, "sand, 0"},
        {sandTip(2, 600, 14, 35, 0.07f, 35, 5e-5f), English, false, "sand, 5e-5"},
        {sandTip(2, 600, 14, 35, 0.07f, 35, 1e-4f), English, false, "sand, at 1e-4"},
        {sandTip(2, 600, 14, 35, 0.07f, 35, 2e-4f), English, true, "sand, 2e-4"},
        {sandTip(4, 15, 0.9f, 33, 9, 33, 4000), SI, true, "type 4, 4000 kPa"},
        {sandTip(6, 15, 0.6f, 33, 9, 33, 6000), SI, true, "type 6, 6000 kPa"},
    };
    for (const auto& c : cases) {
        const auto curve = buildTipCurve(c.soil, c.units);
        ASSERT_EQ(curve.size(), 10u) << c.name;
        // Every curve is proportional to Qmax: scale the curve of the soil rule by the q chosen.
        const bool clay = c.soil.soilType % 2 == 1;
        const double rule =
            clay ? 9.0 * c.soil.cohesion
                 : double(c.soil.depth) * c.soil.unitWeight * BearingFactor(c.soil.frictionAngle);
        const double chosen = c.replaced ? double(c.soil.tipResistance) : rule;
        TipSoil plain = c.soil;
        plain.tipResistance = 0;
        const auto ruleCurve = refTipCurve(plain, c.units == SI);
        for (std::size_t m = 0; m < 10; ++m) {
            const std::string at = std::string(c.name) + ", point " + std::to_string(m + 1);
            expectRel(curve[m].q, ruleCurve[m].a * chosen / rule, Rel, at + " Q");
            expectRel(curve[m].w, ruleCurve[m].b, Rel, at + " w");
        }
    }
}

// ---------------------------------------------------------------- look-ups

std::vector<ProfilePoint> twoLayerProfile() {
    // depth, unit weight, cohesion, friction angle, e50, side friction, tip resistance
    return {
        {0, 0.060f, 1.0f, 20, 0.010f, 2.0f, 100},
        {10, 0.070f, 2.0f, 22, 0.020f, 4.0f, 200},
        {10, 0.040f, 5.0f, 30, 0.005f, 8.0f, 500},
        {20, 0.060f, 7.0f, 34, 0.006f, 9.0f, 700},
    };
}

TEST(GeneratedCurves, ProfileLookupRules) {
    const auto profile = twoLayerProfile();
    struct Case {
        ProfileItem item;
        float x;
        double expected;
        const char* name;
    };
    const Case cases[] = {
        {ProfileItem::Cohesion, 5, 1.5, "cohesion, middle of layer 1"},
        {ProfileItem::Cohesion, 0, 1.0, "cohesion, first point"},
        {ProfileItem::Cohesion, 10, 5.0, "cohesion at the boundary: lower layer"},
        {ProfileItem::Cohesion, 15, 6.0, "cohesion, middle of layer 2"},
        {ProfileItem::Cohesion, 20, 7.0, "cohesion, last point"},
        {ProfileItem::Cohesion, -2, 0.8, "cohesion above the first point: extrapolated"},
        {ProfileItem::E50, 5, 0.015, "e50"},
        {ProfileItem::E50, 10, 0.005, "e50 at the boundary"},
        {ProfileItem::E50, 25, 0.0065, "e50 below the last point: extrapolated"},
        {ProfileItem::SideFriction, 2.5, 2.5, "side friction"},
        {ProfileItem::SideFriction, 10, 8.0, "side friction at the boundary"},
        {ProfileItem::TipResistance, 12.5, 550, "tip resistance"},
        {ProfileItem::FrictionAngle, 17.5, 33, "friction angle"},
        {ProfileItem::FrictionAngle, 9.999f, 21.9998, "friction angle just above the boundary"},
    };
    for (const auto& c : cases) {
        LookupStop stop;
        const float v = profileValue(profile, c.item, c.x, stop);
        EXPECT_FALSE(stop) << c.name;
        expectRel(v, c.expected, Rel, c.name);
    }
}

TEST(GeneratedCurves, ProfileLookupBeyondTheLastPointStopsWithTheItemsStatus) {
    const auto profile = twoLayerProfile();
    const std::pair<ProfileItem, Int> items[] = {{ProfileItem::Cohesion, StatusCohesion},
                                                 {ProfileItem::SideFriction, StatusSideFriction},
                                                 {ProfileItem::TipResistance, StatusTipResistance},
                                                 {ProfileItem::FrictionAngle, StatusFrictionAngle}};
    for (const auto& [item, status] : items) {
        LookupStop stop;
        profileValue(profile, item, 20.5f, stop);
        EXPECT_EQ(stop.status, status) << static_cast<int>(item);
        EXPECT_FLOAT_EQ(stop.x, 20.5f);
    }
    LookupStop stop;
    averageUnitWeight(profile, 21, stop);
    EXPECT_EQ(stop.status, StatusUnitWeight);
    EXPECT_FLOAT_EQ(stop.x, 21.0f);
}

TEST(GeneratedCurves, AverageUnitWeightOverLayersAndAPartialSegment) {
    const auto profile = twoLayerProfile();
    struct Case {
        float x;
        double expected;
    };
    // Layer 1: 0.06 -> 0.07 over 0..10; layer 2: 0.04 -> 0.06 over 10..20.
    const Case cases[] = {
        {5, (0.060 + 0.065) / 2},                                        // partial first segment
        {10, 0.065},                                                     // whole first layer
        {15, ((0.060 + 0.070) / 2 * 10 + (0.040 + 0.050) / 2 * 5) / 15}, // layered, partial
        {20, ((0.060 + 0.070) / 2 * 10 + (0.040 + 0.060) / 2 * 10) / 20},
    };
    for (const auto& c : cases) {
        LookupStop stop;
        expectRel(averageUnitWeight(profile, c.x, stop), c.expected, Rel, "x = " + std::to_string(c.x));
        EXPECT_FALSE(stop);
    }
    // From a first layer that starts below the surface: nothing above its top,
    // the average taken over the soil below it only.
    auto lowered = profile;
    for (auto& p : lowered)
        p.depth += 4;
    LookupStop stop;
    EXPECT_EQ(averageUnitWeight(lowered, 3, stop), 0.0f);
    expectRel(averageUnitWeight(lowered, 9, stop), (0.060 + 0.065) / 2, Rel, "lowered profile, x = 9");
    EXPECT_TRUE(std::isfinite(averageUnitWeight(lowered, 4, stop))) << "at the top of the first layer";
    EXPECT_FALSE(stop);
}

TEST(GeneratedCurves, FiveCurveDepthsPerLayer) {
    const auto d = layerCurveDepths(0, 10);
    const double expected[5] = {0, 2.5, 5, 7.495, 9.99};
    for (std::size_t k = 0; k < 5; ++k)
        expectRel(d[k], expected[k], Rel, "curve " + std::to_string(k + 1));
    const auto e = layerCurveDepths(12.5f, 30);
    const double expected2[5] = {12.5, (12.5 + 21.25) / 2, 21.25, (21.25 + 29.99) / 2, 29.99};
    for (std::size_t k = 0; k < 5; ++k)
        expectRel(e[k], expected2[k], Rel, "layer 12.5-30, curve " + std::to_string(k + 1));
}

// ---------------------------------------------------------------- whole generation

// SI: clay for drilled shafts over 0..10 m, driven-pile sand over 10..25 m; the
// curves placed as the input reader places them, five per layer.
InputData generatedProject(float pileLength) {
    InputData d;
    d.units = SI;
    d.curveSource = 2;
    d.layers = {{1, 3, 0, 10}, {2, 2, 10, 25}};
    // depth, unit weight, cohesion, friction angle, e50, side friction, tip resistance
    d.profile = {
        {0, 8, 30, 0, 0.01f, 20, 0},
        {10, 9, 50, 0, 0.01f, 40, 0},
        {10, 10, 0, 30, 0, 50, 0},
        {25, 11, 0, 40, 0, 80, 0},
    };
    d.pileLength = pileLength;
    d.diameter = 0.6f;
    d.tipArea = 0.2827f;
    return d;
}

void placeCurves(InputData& d) {
    d.curves.clear();
    for (const auto& layer : d.layers) {
        for (float depth : layerCurveDepths(layer.top, layer.bottom)) {
            TzCurve c;
            c.number = static_cast<Int>(d.curves.size() + 1);
            c.depth = depth;
            c.soilType = layer.soilType;
            d.curves.push_back(c);
        }
    }
}

const char* const GeneratedInput = "GENERATED, SI\n"
                                   "10 0 2\n"
                                   "2\n"
                                   "2\n"
                                   "1 3 0.0 10.0\n"
                                   "2 2 10.0 25.0\n"
                                   "8 30 0 0.01 20 0\n"
                                   "9 50 0 0.01 40 0\n"
                                   "10 0 30 0 50 0\n"
                                   "11 0 40 0 80 0\n"
                                   "2\n1.0E+07 0.0\n1.0E+07 25.0\n"
                                   "0.00001 18.0 0.6 0.2827\n"
                                   "1\n0.001\n"
                                   "0\n0\n0\n0\n";

TEST(GeneratedCurves, GeneratedProjectFromLayersToCurves) {
    // Through a whole run: the curves in the plot data file keep four digits.
    constexpr double PlotRel = 6e-4;
    const auto out = test::runInput(GeneratedInput);
    ASSERT_EQ(out.status, StatusOk) << out.report;
    const auto plot = test::parsePlot(out.plot);
    ASSERT_TRUE(plot && plot->complete);
    ASSERT_EQ(plot->curves.size(), 10u);
    const double depths[10] = {0, 2.5, 5, 7.495, 9.99, 10, 13.75, 17.5, 21.245, 24.99};
    for (std::size_t k = 0; k < 10; ++k) {
        const auto& c = plot->curves[k];
        const std::string at = "curve " + std::to_string(k + 1);
        EXPECT_EQ(c.number, static_cast<int>(k + 1)) << at;
        EXPECT_EQ(c.pointCount, 10) << at;
        EXPECT_NEAR(c.depth, depths[k], 5e-4 * depths[k]) << at;
        // Side friction and friction angle by linear interpolation in the curve's own
        // layer (the lower layer at the boundary, 10 m).
        const double x = depths[k];
        const int type = k < 5 ? 3 : 2;
        const double f = k < 5 ? 20 + 2 * x : 50 + 2 * (x - 10);
        const double phi = k < 5 ? 0 : 30 + (x - 10) * 10 / 15;
        const auto ref = SideCurve(type, true, f, phi, 0.6);
        ASSERT_EQ(c.points.size(), 10u) << at;
        for (std::size_t m = 0; m < 10; ++m) {
            expectRel(c.points[m].first, ref[m].a, PlotRel, at + " t" + std::to_string(m + 1));
            expectRel(c.points[m].second, ref[m].b, PlotRel, at + " z" + std::to_string(m + 1));
        }
    }
    // The tip at 18 m lies in the sand layer: phi 35.33 at the tip, but 39.99 at the
    // last curve (24.99 m), which picks the exponent 0.25.
    TipSoil s = sandTip(2, 18, 0.6f, static_cast<float>(30 + 8.0 * 10 / 15), 0,
                        static_cast<float>(30 + 14.99 * 10 / 15));
    s.tipArea = 0.2827f;
    s.unitWeight = static_cast<float>(((8 + 9) / 2.0 * 10 + (10 + 10 + 8.0 / 15) / 2 * 8) / 18);
    const auto ref = refTipCurve(s, true);
    ASSERT_EQ(plot->qw.size(), 10u);
    for (std::size_t m = 0; m < 10; ++m) {
        expectRel(plot->qw[m].first, ref[m].a, PlotRel, "tip Q" + std::to_string(m + 1));
        expectRel(plot->qw[m].second, ref[m].b, PlotRel, "tip w" + std::to_string(m + 1));
    }
}

TEST(GeneratedCurves, GenerationFillsThePlacedCurves) {
    InputData d = generatedProject(18);
    placeCurves(d);
    ASSERT_FALSE(generateCurves(d));
    ASSERT_EQ(d.curves.size(), 10u);
    for (std::size_t k = 0; k < 10; ++k) {
        const auto& c = d.curves[k];
        const double x = c.depth;
        const double f = k < 5 ? 20 + 2 * x : 50 + 2 * (x - 10);
        const double phi = k < 5 ? 0 : 30 + (x - 10) * 10 / 15;
        expectRel(c.sideFriction, f, Rel, "f of curve " + std::to_string(k + 1));
        EXPECT_NEAR(c.frictionAngle, phi, 1e-4) << k + 1;
        const auto ref = SideCurve(c.soilType, true, f, phi, 0.6);
        ASSERT_EQ(c.points.size(), 10u);
        for (std::size_t m = 0; m < 10; ++m) {
            expectRel(c.points[m].t, ref[m].a, 2 * Rel, "t of curve " + std::to_string(k + 1));
            expectRel(c.points[m].z, ref[m].b, Rel, "z of curve " + std::to_string(k + 1));
        }
    }
}

TEST(GeneratedCurves, TipLayerIsTheFirstReachingThePileLength) {
    // Both layers reach below 8 m; the first one (clay, drilled shaft) holds the tip.
    InputData d = generatedProject(8);
    placeCurves(d);
    ASSERT_FALSE(generateCurves(d));
    TipSoil s = clayTip(3, 8, 0.6f, static_cast<float>(30 + 20 * 0.8), 0.01f);
    s.tipArea = 0.2827f;
    const auto ref = refTipCurve(s, true);
    ASSERT_EQ(d.qw.size(), 10u);
    for (std::size_t m = 0; m < 10; ++m) {
        const std::string point = std::to_string(m + 1);
        expectRel(d.qw[m].q, ref[m].a, Rel, "Q of point " + point);
        expectRel(d.qw[m].w, ref[m].b, Rel, "w of point " + point);
    }
}

TEST(GeneratedCurves, PileBelowTheDeepestLayerStopsAtTheFirstTipLookup) {
    InputData sand = generatedProject(30); // deepest layer is sand: friction angle first
    placeCurves(sand);
    EXPECT_EQ(generateCurves(sand).status, StatusFrictionAngle);

    InputData clay = generatedProject(30);
    clay.layers = {{1, 2, 0, 10}, {2, 1, 10, 25}};
    clay.profile = {
        {0, 8, 0, 30, 0, 20, 0},
        {10, 9, 0, 32, 0, 40, 0},
        {10, 10, 40, 0, 0.01f, 50, 0},
        {25, 11, 60, 0, 0.01f, 80, 0},
    };
    placeCurves(clay);
    EXPECT_EQ(generateCurves(clay).status, StatusCohesion);
}

// ---------------------------------------------------------------- factors

TEST(GeneratedCurves, SideFactorLookup) {
    const std::vector<FactorRow> rows = {{0, 1, 0.5f}, {10, 2, 1.5f}};
    EXPECT_FLOAT_EQ(factorAt(rows, 5, true), 1.5f);
    EXPECT_FLOAT_EQ(factorAt(rows, 5, false), 1.0f);
    EXPECT_FLOAT_EQ(factorAt(rows, 0, true), 1.0f);
    EXPECT_FLOAT_EQ(factorAt(rows, 0, false), 0.5f);
    EXPECT_FLOAT_EQ(factorAt(rows, 10, true), 2.0f);
    EXPECT_FLOAT_EQ(factorAt(rows, 12, true), 1.0f) << "below the last row";
    EXPECT_FLOAT_EQ(factorAt(rows, 12, false), 1.0f) << "below the last row";

    const std::vector<FactorRow> lowered = {{2, 3, 3}, {10, 4, 4}};
    EXPECT_FLOAT_EQ(factorAt(lowered, 1, true), 1.0f) << "above the first row";
    EXPECT_FLOAT_EQ(factorAt({}, 5, true), 1.0f) << "no rows";

    const std::vector<FactorRow> one = {{5, 3, 4}};
    for (float x : {0.0f, 5.0f, 9.0f}) {
        EXPECT_FLOAT_EQ(factorAt(one, x, true), 1.0f) << "one row, x = " << x;
        EXPECT_FLOAT_EQ(factorAt(one, x, false), 1.0f) << "one row, x = " << x;
    }

    const std::vector<FactorRow> step = {{0, 1, 1}, {5, 2, 5}, {5, 3, 6}, {10, 4, 7}};
    EXPECT_FLOAT_EQ(factorAt(step, 5, true), 3.0f) << "two rows at one depth: the second";
    EXPECT_FLOAT_EQ(factorAt(step, 5, false), 6.0f);
    EXPECT_FLOAT_EQ(factorAt(step, 2.5f, true), 1.5f);
    EXPECT_FLOAT_EQ(factorAt(step, 7.5f, true), 3.5f);
}

TEST(GeneratedCurves, FactorsScaleTheCurves) {
    InputData d;
    TzCurve c;
    c.points = {{0, 0}, {4, 0.1f}, {6, 1.0f}};
    c.depth = 5;
    d.curves.push_back(c);
    c.depth = 12;
    d.curves.push_back(c);
    d.sideFactorsOn = true;
    d.sideFactors = {{0, 1, 1}, {10, 2, 3}};
    applySideFactors(d);
    const float tScale[2] = {1.5f, 1.0f}, zScale[2] = {2.0f, 1.0f};
    for (std::size_t k = 0; k < 2; ++k) {
        for (std::size_t m = 0; m < 3; ++m) {
            EXPECT_FLOAT_EQ(d.curves[k].points[m].t, c.points[m].t * tScale[k]) << k << "," << m;
            EXPECT_FLOAT_EQ(d.curves[k].points[m].z, c.points[m].z * zScale[k]) << k << "," << m;
        }
    }

    d.qw = {{0, 0}, {100, 0.2f}, {150, 1.0f}};
    d.tipFactorsOn = true;
    d.qMultiplier = 2;
    d.wMultiplier = 0.5f;
    applyTipFactors(d);
    EXPECT_FLOAT_EQ(d.qw[1].q, 200);
    EXPECT_FLOAT_EQ(d.qw[1].w, 0.1f);
    EXPECT_FLOAT_EQ(d.qw[2].q, 300);
    EXPECT_FLOAT_EQ(d.qw[2].w, 0.5f);
}

// A user-curve project; `factors` is the text of records 12 and 13.
std::string factorProject(const std::string& factors) {
    return "FACTORS\n"
           "10 0 1\n"
           "1\n"
           "2\n"
           "1 0.0 3\n0.0 0.0\n5.0 0.1\n6.0 2.0\n"
           "2 120.0 3\n0.0 0.0\n5.0 0.1\n6.0 2.0\n"
           "2\n3.0E+10 0.0\n3.0E+10 120.0\n"
           "3\n0.0 0.0\n20000.0 0.2\n30000.0 2.0\n"
           "0.0001 120.0 12.0 113.1\n"
           "2\n0.05 0.3\n"
           "0\n0\n" +
           factors;
}

TEST(GeneratedCurves, TipFactorsOfZeroGiveZeroTipLoadButLeaveTheEchoedCurve) {
    const auto plain = test::runInput(factorProject("0\n0\n"));
    const auto zeroed = test::runInput(factorProject("0\n1\n0.0 0.0\n"));
    ASSERT_EQ(plain.status, StatusOk) << plain.report;
    ASSERT_EQ(zeroed.status, StatusOk) << zeroed.report;
    const auto p = test::parsePlot(plain.plot);
    const auto z = test::parsePlot(zeroed.plot);
    ASSERT_TRUE(p && z);
    ASSERT_EQ(z->summary.size(), 2u);
    for (const auto& row : z->summary) {
        EXPECT_EQ(row.tipLoad, 0.0);
        EXPECT_GT(row.headLoad, 0.0) << "the side friction still carries load";
    }
    EXPECT_GT(p->summary[0].tipLoad, 0.0);
    // The Q-w curve is written as entered, before the factors.
    EXPECT_EQ(z->qw, p->qw);
    ASSERT_EQ(z->qw.size(), 3u);
    EXPECT_DOUBLE_EQ(z->qw[1].first, 20000.0);
}

TEST(GeneratedCurves, SideFactorsChangeTheSolutionButNotTheEchoedCurves) {
    const auto plain = test::runInput(factorProject("0\n0\n"));
    const auto doubled = test::runInput(factorProject("1\n2\n0.0 2.0 1.0\n120.0 2.0 1.0\n0\n"));
    ASSERT_EQ(doubled.status, StatusOk) << doubled.report;
    const auto p = test::parsePlot(plain.plot);
    const auto f = test::parsePlot(doubled.plot);
    ASSERT_TRUE(p && f);
    ASSERT_EQ(f->curves.size(), 2u);
    for (std::size_t k = 0; k < 2; ++k)
        EXPECT_EQ(f->curves[k].points, p->curves[k].points);
    // Twice the side friction at the same tip movement: the side share of the head
    // load doubles (the pile is so stiff that it moves as a rigid body).
    for (std::size_t r = 0; r < 2; ++r) {
        const double sidePlain = p->summary[r].headLoad - p->summary[r].tipLoad;
        const double sideDoubled = f->summary[r].headLoad - f->summary[r].tipLoad;
        EXPECT_NEAR(sideDoubled / sidePlain, 2.0, 0.005) << "tip movement " << r + 1;
        EXPECT_NEAR(f->summary[r].tipLoad, p->summary[r].tipLoad, 1e-3 * p->summary[r].tipLoad);
    }
}

} // namespace
} // namespace pavrin::engine
