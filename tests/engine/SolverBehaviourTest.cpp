// The load-transfer solution: look-ups in the curves and tables, uplift, down-drag,
// the head-load pass and the shape of the load-distribution output.
#include "EngineHarness.h"
#include "Model.h"
#include "Run.h"
#include "Solver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace pavrin::engine {
namespace {

constexpr double Pi = 3.1416; // the value of pi the method uses

void expectRel(double actual, double expected, double rel, const std::string& what) {
    EXPECT_LE(std::fabs(actual - expected), rel * std::fabs(expected))
        << what << ": got " << actual << ", expected " << expected;
}

TzCurve curve(float depth, std::vector<CurvePoint> points) {
    TzCurve c;
    c.depth = depth;
    c.points = std::move(points);
    return c;
}

// A pile of 20 length units in 10 increments with the tables the look-ups need.
InputData lookupData() {
    InputData d;
    d.increments = 10;
    d.pileLength = 20;
    d.diameter = 1;
    d.tolerance = 1e-6f;
    // (t, z) points.
    d.curves = {curve(0, {{0, 0}, {10, 0.1f}, {12, 0.5f}}), curve(10, {{0, 0}, {30, 0.1f}, {36, 0.5f}}),
                curve(20, {{0, 0}, {5, 0.1f}, {6, 0.5f}})};
    d.qw = {{0, 0}, {100, 0.1f}, {150, 0.5f}};
    d.ae = {{1000, 0}, {1000, 10}, {500, 10}, {400, 20}};
    d.settlement = {{2, 1.0f}, {10, 0.6f}, {10, 0.2f}, {20, 0.0f}};
    return d;
}

struct Lookup {
    float x, s;
    double expected;
    const char* name;
};

TEST(SolverBehaviour, SideFrictionByDepthAndMovement) {
    const InputData d = lookupData();
    const Solver solver(d);
    const Lookup cases[] = {
        {10, 0.05f, 15, "at a curve's depth: that curve alone"},
        {10, 0.1f, 30, "at a point's movement: its t"},
        {10, 0.3f, 33, "between points"},
        {10, 0.5f, 36, "at the last point"},
        {10, 2.0f, 36, "beyond the last point: the last t"},
        {10, 0, 0, "no movement"},
        {0, 0.1f, 10, "at the first curve"},
        {5, 0.1f, 20, "midway between two curves: their average"},
        {2.5f, 0.1f, 15, "a quarter of the way"},
        {15, 0.05f, 8.75, "midway, between points"},
        {15, 5.0f, 21, "midway, beyond both curves"},
        {20, 1.0f, 6, "at the deepest curve, beyond its last point"},
        {25, 0.1f, 5, "below the deepest curve: that curve"},
    };
    for (const auto& c : cases) {
        EXPECT_NEAR(solver.sideFrictionAt(c.x, c.s), c.expected, 1e-5 * (1 + c.expected))
            << c.name << " (x = " << c.x << ", s = " << c.s << ")";
    }
}

TEST(SolverBehaviour, TipLoadAeAndSoilSettlementLookups) {
    const InputData d = lookupData();
    const Solver solver(d);
    const Lookup tip[] = {
        {0, 0, 0, "no movement"},
        {0, 0.05f, 50, "between points"},
        {0, 0.1f, 100, "at a point"},
        {0, 0.3f, 125, "between points"},
        {0, 0.5f, 150, "at the last point"},
        {0, 2.0f, 150, "beyond the last point: the last Q"},
    };
    for (const auto& c : tip)
        EXPECT_NEAR(solver.tipLoadAt(c.s), c.expected, 1e-4) << "tip load: " << c.name;

    const Lookup ae[] = {
        {0, 0, 1000, "at the head"},
        {5, 0, 1000, "upper segment"},
        {10, 0, 1000, "two points at one depth: the upper value"},
        {10.5f, 0, 495, "just below the change"},
        {15, 0, 450, "lower segment"},
        {20, 0, 400, "last point"},
        {25, 0, 350, "below the last point: the last segment extended"},
    };
    for (const auto& c : ae)
        EXPECT_NEAR(solver.aeAt(c.x), c.expected, 1e-3) << "AE: " << c.name;

    const Lookup settle[] = {
        {0, 0, 0, "above the profile"},
        {1.99f, 0, 0, "just above the profile"},
        {2, 0, 1.0, "first point"},
        {6, 0, 0.8, "between points"},
        {10, 0, 0.4, "two points at one depth: their mean"},
        {15, 0, 0.1, "between points"},
        {20, 0, 0, "last point"},
        {25, 0, 0, "below the profile"},
    };
    for (const auto& c : settle)
        EXPECT_NEAR(solver.settlementAt(c.x), c.expected, 1e-6) << "settlement: " << c.name;
}

TEST(SolverBehaviour, EachIncrementUsesTheCurvesAtItsMiddle) {
    // Linear curves t = k z with k = 1, 2, 4, 8, 16 at depths 0, 5, 10, 15, 20.
    InputData d;
    d.pileLength = 20;
    d.diameter = 1;
    d.tolerance = 1e-9f;
    const float slopes[5] = {1, 2, 4, 8, 16};
    for (int i = 0; i < 5; ++i)
        d.curves.push_back(curve(5.0f * static_cast<float>(i), {{0, 0}, {slopes[i] * 100, 100}}));
    d.qw = {{0, 0}, {1000, 10}};
    d.ae = {{1.0e6f, 0}, {1.0e6f, 20}};
    // Two increments: middles at 15 and 5, on a curve each. Four: middles between curves.
    const std::pair<Int, std::vector<double>> runs[] = {{2, {8, 2}}, {4, {12, 6, 3, 1.5}}};
    for (const auto& [n, k] : runs) {
        d.increments = n;
        const Solver solver(d);
        Solution sol;
        solver.solve(0.01f, solver.tipLoadAt(0.01f), false, sol);
        ASSERT_EQ(sol.increments.size(), static_cast<std::size_t>(n));
        ASSERT_EQ(sol.load.size(), static_cast<std::size_t>(n + 1));
        for (std::size_t j = 0; j < k.size(); ++j) {
            const auto& inc = sol.increments[j];
            const double middle = 20 - 20.0 / n * (static_cast<double>(j) + 0.5);
            EXPECT_NEAR(inc.middleDepth, middle, 1e-5) << n << " increments, increment " << j + 1;
            expectRel(inc.t, k[j] * inc.middleMovement, 1e-5,
                      std::to_string(n) + " increments, t of increment " + std::to_string(j + 1));
        }
    }
}

// ---------------------------------------------------------------- report and plot file

std::string num(double v) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.9G", v);
    return buf;
}

// A uniform pile in linear soil (t = k z, Q = kb w) with constant AE, English units.
struct Project {
    std::string title = "SOLVER BEHAVIOUR";
    Int increments = 50;
    Int detail = 0;
    double length = 120, diameter = 12, ae = 3.0e7;
    double k = 10, kb = 2.0e4; // psi per inch, pounds per inch
    double curveEnd = 100;     // movement at the last point of both curves
    std::vector<double> tipMovements = {0.001, 0.01, 0.05};
    std::vector<double> headLoads;
    double tolerance = 1e-7;
    std::vector<std::pair<double, double>> sidePoints; // (t, z) replacing the linear curve

    std::string text() const {
        std::string s =
            title + "\n" + std::to_string(increments) + " " + std::to_string(detail) + " 1\n1\n2\n";
        auto points = sidePoints;
        if (points.empty())
            points = {{0, 0}, {k * curveEnd, curveEnd}};
        for (int i = 0; i < 2; ++i) {
            s += std::to_string(i + 1) + " " + num(i * length) + " " + std::to_string(points.size()) + "\n";
            for (const auto& [t, z] : points)
                s += num(t) + " " + num(z) + "\n";
        }
        s += "2\n" + num(ae) + " 0.0\n" + num(ae) + " " + num(length) + "\n";
        s += "2\n0.0 0.0\n" + num(kb * curveEnd) + " " + num(curveEnd) + "\n";
        s += num(tolerance) + " " + num(length) + " " + num(diameter) + " " +
             num(Pi * diameter * diameter / 4) + "\n";
        s += std::to_string(tipMovements.size()) + "\n";
        for (double w : tipMovements)
            s += num(w) + " ";
        s += '\n';
        s += std::to_string(headLoads.size());
        s += '\n';
        for (double h : headLoads)
            s += num(h) + "\n";
        s += "0\n0\n0\n";
        return s;
    }

    // Closed form of the elastic pile: head load and head movement for tip movement wb
    // and a tip spring kbUsed.
    std::pair<double, double> head(double wb, double kbUsed) const {
        const double mu = std::sqrt(Pi * diameter * k / ae);
        const double r = kbUsed / (ae * mu);
        const double y = length;
        return {ae * mu * wb * (std::sinh(mu * y) + r * std::cosh(mu * y)),
                wb * (std::cosh(mu * y) + r * std::sinh(mu * y))};
    }
};

// One row of a node table of the report, read by its columns.
struct NodeRow {
    bool node = false; // node row (depth, load, movement) or increment row
    double depth = 0;
    double values[6] = {};
};

double field(const std::string& line, std::size_t from, std::size_t width) {
    if (line.size() < from + width)
        return NAN;
    const std::string f = line.substr(from, width);
    char* end = nullptr;
    const double v = std::strtod(f.c_str(), &end);
    return end == f.c_str() ? NAN : v;
}

// The node tables of a report, one per tip movement solved with output detail 0.
std::vector<std::vector<NodeRow>> nodeTables(const std::string& report) {
    const auto lines = test::splitLines(report);
    std::vector<std::vector<NodeRow>> tables;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].rfind(" DEPTH   LOAD", 0) != 0)
            continue;
        std::vector<NodeRow> rows;
        for (i += 3; i < lines.size() && lines[i].find_first_not_of(' ') != std::string::npos; ++i) {
            const std::string& l = lines[i];
            NodeRow r;
            r.depth = field(l, 1, 6);
            r.node = l.size() <= 65;
            if (r.node) {
                r.values[0] = field(l, 25, 10);
                r.values[1] = field(l, 55, 10);
            } else {
                const std::size_t at[6] = {7, 13, 33, 43, 63, 0};
                const std::size_t width[6] = {6, 10, 10, 10, 10, 0};
                for (std::size_t v = 0; v < 5; ++v)
                    r.values[v] = field(l, at[v], width[v]);
            }
            rows.push_back(r);
        }
        tables.push_back(rows);
    }
    return tables;
}

TEST(SolverBehaviour, UpliftReversesTheSignsOfTheSummaryButNotOfTheIncrementRecords) {
    Project p;
    p.tipMovements = {-0.05, 0.0};
    const auto out = test::runInput(p.text());
    ASSERT_EQ(out.status, StatusOk) << out.report;
    const auto plot = test::parsePlot(out.plot);
    ASSERT_TRUE(plot && plot->complete);
    ASSERT_EQ(plot->summary.size(), 2u);

    // The tip carries nothing in an uplift case: the closed form without a tip spring.
    const auto [load, movement] = p.head(0.05, 0);
    const auto& up = plot->summary[0];
    expectRel(up.headLoad, -load, 1e-3, "head load");
    expectRel(up.headMovement, -movement, 1e-3, "head movement");
    EXPECT_DOUBLE_EQ(up.tipMovement, -0.05) << "as read";
    EXPECT_EQ(up.tipLoad, 0.0);
    const auto& zero = plot->summary[1];
    EXPECT_EQ(zero.headLoad, 0.0);
    EXPECT_EQ(zero.headMovement, 0.0);
    EXPECT_EQ(zero.tipLoad, 0.0);

    // The report's summary shows the same numbers.
    const auto rows = test::reportSummaryRows(out.report);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].headLoad, up.headLoad);
    EXPECT_EQ(rows[0].headMovement, up.headMovement);
    EXPECT_EQ(rows[0].tipMovement, up.tipMovement);

    // Record 7 is never reversed.
    ASSERT_EQ(plot->increments.size(), 100u);
    for (std::size_t j = 0; j < 50; ++j) {
        EXPECT_GT(plot->increments[j].averageLoad, 0) << j;
        EXPECT_GT(plot->increments[j].movement, 0.05 * (1 - 5e-3)) << j;
    }
    // The node table reverses loads, t and movements, but not depths.
    const auto tables = nodeTables(out.report);
    ASSERT_EQ(tables.size(), 2u);
    ASSERT_EQ(tables[0].size(), 101u);
    for (const auto& r : tables[0]) {
        EXPECT_GE(r.depth, 0);
        if (r.node) {
            EXPECT_LE(r.values[0], 0);
            EXPECT_LT(r.values[1], 0);
        } else {
            EXPECT_LT(r.values[0], 0) << "t";
        }
    }
    expectRel(tables[0].back().values[0], -load, 5e-3 + 1e-3, "head load in the node table");
}

TEST(SolverBehaviour, DownDragGivesNegativeFrictionWhereTheSoilSettlesMoreThanThePile) {
    InputData d;
    d.increments = 100;
    d.pileLength = 100;
    d.diameter = 12;
    d.tolerance = 1e-8f;
    d.curves = {curve(0, {{0, 0}, {1000, 100}}), curve(100, {{0, 0}, {1000, 100}})}; // t = 10 z
    d.qw = {{0, 0}, {1.0e6f, 100}};
    d.ae = {{1.0e8f, 0}, {1.0e8f, 100}};
    d.settlement = {{0, 0.5f}, {100, 0}}; // the soil settles 0.5 at the surface, nothing at the tip
    const Solver solver(d);
    Solution sol;
    const float w = 0.05f;
    solver.solve(w, solver.tipLoadAt(w), false, sol);
    ASSERT_EQ(sol.increments.size(), 100u);
    int negative = 0, positive = 0;
    for (std::size_t j = 0; j < sol.increments.size(); ++j) {
        const auto& inc = sol.increments[j];
        const double soil = 0.5 * (1 - inc.middleDepth / 100);
        const double r = inc.middleMovement - soil; // pile movement relative to the soil
        if (std::fabs(r) < 1e-3)
            continue;
        const std::string at =
            "increment " + std::to_string(j + 1) + " at " + std::to_string(inc.middleDepth);
        expectRel(inc.t, 10 * r, 1e-4, at + ": t");
        expectRel(inc.loadTransfer, 100.0 / 100 * Pi * 12 * inc.t, 1e-5, at + ": load transfer");
        EXPECT_EQ(inc.t < 0, r < 0) << at;
        // Going up: the load falls where the friction is negative (it grows downward).
        EXPECT_EQ(sol.load[j + 1] < sol.load[j], r < 0) << at;
        (r < 0 ? negative : positive)++;
    }
    EXPECT_GT(negative, 50);
    EXPECT_GT(positive, 5);
    // The largest load lies at the neutral plane, below the head.
    double maxLoad = 0;
    for (float v : sol.load)
        maxLoad = std::max(maxLoad, double(v));
    EXPECT_GT(maxLoad, sol.headLoad() + 1);
}

TEST(SolverBehaviour, HeadLoadsWithinTheComputedRange) {
    // Linear pile: the head load is proportional to the tip movement, so the pass lands
    // on the closed form for each given load.
    Project p;
    p.tipMovements = {0.001, 0.01, 0.05};
    const double perTip = p.head(1, p.kb).first; // head load per unit tip movement
    p.headLoads = {0.0125 * perTip, 0.002 * perTip, 0.04 * perTip};
    const auto out = test::runInput(p.text());
    ASSERT_EQ(out.status, StatusOk) << out.report;
    const auto plot = test::parsePlot(out.plot);
    ASSERT_TRUE(plot && plot->complete);
    ASSERT_EQ(plot->headLoads.size(), 3u);
    const auto rows = test::reportSummaryRows(out.report, 1);
    ASSERT_EQ(rows.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        const double h = p.headLoads[i];
        const double wb = h / perTip;
        const auto& r = plot->headLoads[i];
        const std::string at = "head load " + std::to_string(h);
        expectRel(r.headLoad, h, 5e-4, at + ": head load");
        expectRel(r.headMovement, p.head(wb, p.kb).second, 1e-3, at + ": head movement");
        expectRel(r.tipMovement, wb, 1e-3, at + ": tip movement");
        expectRel(r.tipLoad, p.kb * wb, 1e-3, at + ": tip load");
        EXPECT_EQ(rows[i].headLoad, r.headLoad) << at;
        EXPECT_EQ(rows[i].headMovement, r.headMovement) << at;
    }
    EXPECT_EQ(out.report.find("OUTSIDE THE COMPUTED RANGE"), std::string::npos);
}

TEST(SolverBehaviour, HeadLoadBetweenTwoResultsSettlesBetweenThem) {
    Project p;
    p.sidePoints = {{0, 0}, {5, 0.1}, {5, 100}}; // t reaches 5 psi at 0.1 in and stays there
    p.tipMovements = {0.01, 0.05, 0.2, 0.5};
    p.headLoads = {20000};
    const auto out = test::runInput(p.text());
    ASSERT_EQ(out.status, StatusOk) << out.report;
    const auto plot = test::parsePlot(out.plot);
    ASSERT_TRUE(plot && plot->complete);
    ASSERT_EQ(plot->headLoads.size(), 1u);
    const auto& s = plot->summary;
    std::size_t k = 0;
    while (k + 1 < s.size() && s[k + 1].headLoad < 20000)
        ++k;
    ASSERT_LT(k + 1, s.size()) << "the load must lie inside the computed range";
    const auto& r = plot->headLoads[0];
    EXPECT_NEAR(r.headLoad, 20000, 20000 * 5e-4);
    EXPECT_GT(r.headMovement, s[k].headMovement);
    EXPECT_LT(r.headMovement, s[k + 1].headMovement);
    EXPECT_GT(r.tipMovement, s[k].tipMovement);
    EXPECT_LT(r.tipMovement, s[k + 1].tipMovement);
}

TEST(SolverBehaviour, HeadLoadsOutsideTheComputedRangeAreFlagged) {
    Project p;
    const double perTip = p.head(1, p.kb).first;
    p.headLoads = {0.02 * perTip, 0.5 * perTip, 0.0001 * perTip}; // inside, above, below
    const auto out = test::runInput(p.text());
    ASSERT_EQ(out.status, StatusOk) << out.report;
    const auto plot = test::parsePlot(out.plot);
    ASSERT_TRUE(plot && plot->complete);
    ASSERT_EQ(plot->headLoads.size(), 3u) << "one row per load, also outside the range";
    const auto rows = test::reportSummaryRows(out.report, 1);
    ASSERT_EQ(rows.size(), 3u);
    // The flag follows the row of each load outside the range, and only those.
    const auto lines = test::splitLines(out.report);
    std::size_t i = 0;
    for (int seen = 0; i < lines.size() && seen < 2; ++i) {
        if (lines[i].rfind("        TOP  LOAD", 0) == 0)
            ++seen;
    }
    std::vector<std::size_t> flagged;
    std::size_t row = 0;
    for (++i; i < lines.size() && !lines[i].empty(); ++i) { // past the unit row
        if (lines[i].find("OUTSIDE THE COMPUTED RANGE") != std::string::npos) {
            flagged.push_back(row);
        } else {
            ++row;
        }
    }
    EXPECT_EQ(row, 3u);
    ASSERT_EQ(flagged.size(), 2u) << out.report;
    EXPECT_EQ(flagged[0], 2u) << "after the second load";
    EXPECT_EQ(flagged[1], 3u) << "after the third load";
}

TEST(SolverBehaviour, TipMovementForAHeadLoad) {
    std::vector<LoadSettlement> results(4);
    const float loads[4] = {100, 200, 200, 400}, movements[4] = {0.01f, 0.02f, 0.04f, 0.08f};
    for (std::size_t i = 0; i < 4; ++i) {
        results[i].headLoad = loads[i];
        results[i].tipMovement = movements[i];
    }
    const Lookup cases[] = {
        {100, 0, 0.01, "the first head load"},
        {150, 0, 0.015, "interpolated"},
        {200, 0, 0.03, "two equal head loads: the mean of their tip movements"},
        {300, 0, 0.06, "interpolated after the pair"},
        {400, 0, 0.08, "the last head load"},
    };
    for (const auto& c : cases) {
        bool outside = true;
        EXPECT_NEAR(tipMovementForLoad(results, c.x, outside), c.expected, 1e-7) << c.name;
        EXPECT_FALSE(outside) << c.name;
    }
    for (float h : {50.0f, 401.0f}) {
        bool outside = false;
        EXPECT_EQ(tipMovementForLoad(results, h, outside), 0.0f) << h;
        EXPECT_TRUE(outside) << h;
    }
}

// A yielding pile whose head load rises steeply and then flattens: interpolating
// between two far-apart tip movements overshoots, and the pass retries at 0.98 times
// the tip movement until the head load found is within 0.05 % above the load given.
InputData yieldingPile() {
    InputData d;
    d.increments = 20;
    d.pileLength = 600;
    d.diameter = 12;
    d.tolerance = 1e-7f;
    d.curves = {curve(0, {{0, 0}, {5, 0.1f}, {5, 100}}), curve(600, {{0, 0}, {5, 0.1f}, {5, 100}})};
    d.qw = {{0, 0}, {50000, 0.2f}, {50000, 100}};
    d.ae = {{1.0e10f, 0}, {1.0e10f, 600}};
    d.tipMovements = {0.05f, 0.4f};
    return d;
}

struct Retries {
    int count;
    float tipMovement;
};

// Retries made for each load, from the tip movement the pass ended with and the one it
// started from (linear interpolation between the two tip-movement results).
std::vector<Retries> retriesOf(const std::vector<LoadSettlement>& tip,
                               const std::vector<LoadSettlement>& pass, const std::vector<float>& loads) {
    std::vector<Retries> r;
    for (std::size_t i = 0; i < loads.size(); ++i) {
        const double h = loads[i];
        const double w0 = tip[0].tipMovement + (h - tip[0].headLoad) / (tip[1].headLoad - tip[0].headLoad) *
                                                   (tip[1].tipMovement - tip[0].tipMovement);
        const double n = std::log(pass[i].tipMovement / w0) / std::log(0.98);
        EXPECT_NEAR(n, std::round(n), 0.01)
            << "tip movement " << pass[i].tipMovement << " is not w0 x 0.98^n";
        r.push_back({static_cast<int>(std::lround(n)), pass[i].tipMovement});
    }
    return r;
}

TEST(SolverBehaviour, HeadLoadRetriesShareOneCountOfFifty) {
    const InputData d = yieldingPile();
    const Solver solver(d);
    std::vector<LoadSettlement> tip;
    bool uplift = false;
    for (float w : d.tipMovements) {
        Solution sol;
        tip.push_back(solver.solveTipMovement(w, uplift, sol));
    }
    const float a = 80000, b = 100000, c = 90000;
    ASSERT_GT(a, tip[0].headLoad);
    ASSERT_LT(b, tip[1].headLoad);

    // Each load alone: retried until the head load found is within 0.05 % above it.
    const auto aloneA = retriesOf(tip, solver.headLoadPass(tip, {a}, false), {a})[0];
    const auto aloneB = retriesOf(tip, solver.headLoadPass(tip, {b}, false), {b})[0];
    ASSERT_GT(aloneA.count, 0);
    ASSERT_GT(aloneB.count, 0);
    ASSERT_LT(aloneA.count + aloneB.count, 100);
    ASSERT_GT(aloneA.count + aloneB.count, 50) << "the design of the test needs the count to run out";
    for (const auto& [load, alone] : {std::pair{a, aloneA}, std::pair{b, aloneB}}) {
        Solution sol;
        solver.solve(alone.tipMovement, solver.tipLoadAt(alone.tipMovement), false, sol);
        EXPECT_LT(sol.headLoad() - load, 0.0005 * load) << "accepted at " << load;
        const float before = alone.tipMovement / 0.98f;
        solver.solve(before, solver.tipLoadAt(before), false, sol);
        EXPECT_GE(sol.headLoad() - load, 0.0005 * load) << "one retry earlier, at " << load;
    }

    // Together the second load gets only what the first one left of the 50, and a
    // third load none.
    const std::vector<float> loads = {a, b, c};
    const auto pass = solver.headLoadPass(tip, loads, false);
    ASSERT_EQ(pass.size(), 3u);
    const auto together = retriesOf(tip, pass, loads);
    EXPECT_EQ(together[0].count, aloneA.count);
    EXPECT_EQ(together[1].count, 50 - aloneA.count);
    EXPECT_EQ(together[2].count, 0);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(pass[i].headLoad, loads[i]) << "the head load of the result is the load given";
        Solution sol;
        solver.solve(pass[i].tipMovement, solver.tipLoadAt(pass[i].tipMovement), false, sol);
        EXPECT_FLOAT_EQ(pass[i].headMovement, sol.headMovement()) << i;
        EXPECT_FLOAT_EQ(pass[i].tipLoad, solver.tipLoadAt(pass[i].tipMovement)) << i;
    }

    const auto reversed = retriesOf(tip, solver.headLoadPass(tip, {b, a}, false), {b, a});
    EXPECT_EQ(reversed[0].count, aloneB.count);
    EXPECT_EQ(reversed[1].count, 50 - aloneB.count);
}

TEST(SolverBehaviour, ALoadOutsideTheRangeLeavesTheRetriesToTheOthers) {
    // A head load of 0 lies below every head load computed: it is flagged as outside
    // the range and has no meaningful settlement. Retrying it (the head load found at a
    // tip movement of 0 is 0, never below 0.0005 x 0) must not use up the retries of
    // the loads that follow.
    const InputData d = yieldingPile();
    const Solver solver(d);
    std::vector<LoadSettlement> tip;
    bool uplift = false;
    for (float w : d.tipMovements) {
        Solution sol;
        tip.push_back(solver.solveTipMovement(w, uplift, sol));
    }
    const float a = 80000;
    const auto alone = solver.headLoadPass(tip, {a}, false);
    const auto after = solver.headLoadPass(tip, {0, a}, false);
    ASSERT_EQ(alone.size(), 1u);
    ASSERT_EQ(after.size(), 2u);
    EXPECT_TRUE(after[0].outsideRange);
    EXPECT_FALSE(after[1].outsideRange);
    EXPECT_EQ(after[1].tipMovement, alone[0].tipMovement);
    EXPECT_EQ(after[1].headMovement, alone[0].headMovement);
}

TEST(SolverBehaviour, NodeTablesAndIncrementRecords) {
    {
        // One increment: its middle at L/2, two node rows around one increment row.
        Project p;
        p.increments = 1;
        p.tipMovements = {0.01};
        const auto out = test::runInput(p.text());
        ASSERT_EQ(out.status, StatusOk) << out.report;
        const auto tables = nodeTables(out.report);
        ASSERT_EQ(tables.size(), 1u);
        ASSERT_EQ(tables[0].size(), 3u);
        EXPECT_TRUE(tables[0][0].node);
        EXPECT_FALSE(tables[0][1].node);
        EXPECT_TRUE(tables[0][2].node);
        EXPECT_DOUBLE_EQ(tables[0][0].depth, 120.0);
        EXPECT_DOUBLE_EQ(tables[0][1].depth, 60.0);
        EXPECT_DOUBLE_EQ(tables[0][2].depth, 0.0);
        const auto plot = test::parsePlot(out.plot);
        ASSERT_TRUE(plot && plot->complete);
        ASSERT_EQ(plot->increments.size(), 1u);
        EXPECT_DOUBLE_EQ(plot->increments[0].depth, 60.0);
    }
    {
        // Output detail 1: no node tables, the increment records all the same.
        Project p;
        p.detail = 1;
        const auto out = test::runInput(p.text());
        ASSERT_EQ(out.status, StatusOk) << out.report;
        EXPECT_EQ(out.report.find("ASSUMED TIP MOVEMENT"), std::string::npos);
        EXPECT_EQ(out.report.find("DEFORM"), std::string::npos);
        EXPECT_TRUE(nodeTables(out.report).empty());
        EXPECT_EQ(test::reportSummaryRows(out.report).size(), 3u);
        const auto plot = test::parsePlot(out.plot);
        ASSERT_TRUE(plot && plot->complete);
        EXPECT_EQ(plot->increments.size(), 150u);
        p.detail = 0;
        const auto full = test::runInput(p.text());
        EXPECT_EQ(full.plot, out.plot);
        EXPECT_EQ(nodeTables(full.report).size(), 3u);
    }
    {
        // 50 increments and the nine default tip movements: 450 increment records.
        Project p;
        std::string text = p.text();
        const std::string list = "3\n0.001 0.01 0.05 \n";
        const auto at = text.find(list);
        ASSERT_NE(at, std::string::npos);
        text.replace(at, list.size(), "0\n");
        const auto out = test::runInput(text);
        ASSERT_EQ(out.status, StatusOk) << out.report;
        const auto plot = test::parsePlot(out.plot);
        ASSERT_TRUE(plot && plot->complete);
        EXPECT_EQ(plot->tipMovementCount, 9);
        EXPECT_EQ(plot->incrementCount, 50);
        EXPECT_EQ(plot->increments.size(), 450u);
        EXPECT_EQ(plot->summary.size(), 9u);
        const auto tables = nodeTables(out.report);
        ASSERT_EQ(tables.size(), 9u);
        for (const auto& t : tables)
            EXPECT_EQ(t.size(), 101u);
    }
}

} // namespace
} // namespace pavrin::engine
