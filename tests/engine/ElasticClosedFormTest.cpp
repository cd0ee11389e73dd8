// The solution for a pile of constant AE in linear soil against the closed form of
// the load-transfer equation AE w'' = pi D k w with a linear tip spring Q = Kb w:
//   mu = sqrt(pi D k / AE), r = Kb / (AE mu), y measured up from the tip,
//   w(y) = wb (cosh mu y + r sinh mu y),  P(y) = AE mu wb (sinh mu y + r cosh mu y).
#include "EngineHarness.h"
#include "Model.h"
#include "Solver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace pavrin::engine {
namespace {

constexpr double Pi = 3.1416; // the value of pi the method uses
// The discretisation error at 900 increments is far below this (second order in the
// increment length); what is left is single-precision accumulation over the increments.
constexpr double SolverRel = 1e-3;

void expectRel(double actual, double expected, double rel, const std::string& what) {
    EXPECT_LE(std::fabs(actual - expected), rel * std::fabs(expected))
        << what << ": got " << actual << ", expected " << expected;
}

struct ElasticPile {
    const char* name;
    Int units;
    double length, diameter, ae;
    double k;  // side: unit friction per unit movement
    double kb; // tip: load per unit movement
    std::vector<double> tipMovements;
};

const ElasticPile Piles[] = {
    // Short stiff steel pipe in stiff clay, inches and pounds (mu L = 0.40).
    {"short stiff pile, English", English, 360, 12, 3.0e9, 100, 1.0e5, {0.002, 0.01, 0.05}},
    // Long compressible pile, inches and pounds (mu L = 3.3).
    {"long compressible pile, English", English, 1200, 24, 5.0e8, 50, 2.0e5, {0.001, 0.01, 0.03}},
    // Concrete piles in metres and kilonewtons (mu L = 1.7 and 2.5).
    {"bored pile, SI", SI, 20, 0.6, 5.0e6, 20000, 2.0e5, {0.0005, 0.001, 0.004}},
    {"long pile, SI", SI, 30, 0.9, 2.0e6, 5000, 1.0e5, {0.0002, 0.002, 0.01}},
};

struct Point {
    double load, movement;
};

Point closedForm(const ElasticPile& p, double wb, double y) {
    const double mu = std::sqrt(Pi * p.diameter * p.k / p.ae);
    const double r = p.kb / (p.ae * mu);
    return {p.ae * mu * wb * (std::sinh(mu * y) + r * std::cosh(mu * y)),
            wb * (std::cosh(mu * y) + r * std::sinh(mu * y))};
}

double maxTip(const ElasticPile& p) {
    return p.tipMovements.back();
}
double minTip(const ElasticPile& p) {
    return p.tipMovements.front();
}

// Movement at the end of the linear curves: far beyond any movement reached, so
// that no look-up ever meets the last point.
double curveEnd(const ElasticPile& p) {
    return 100 * closedForm(p, maxTip(p), p.length).movement;
}

InputData elasticData(const ElasticPile& p, Int increments) {
    InputData d;
    d.title = p.name;
    d.increments = increments;
    d.units = p.units;
    d.curveSource = 1;
    const double zEnd = curveEnd(p);
    for (int i = 0; i < 4; ++i) { // the same curve at four depths: uniform soil
        TzCurve c;
        c.number = i + 1;
        c.depth = static_cast<float>(p.length * i / 3);
        c.points = {{0, 0}, {static_cast<float>(p.k * zEnd), static_cast<float>(zEnd)}};
        d.curves.push_back(c);
    }
    d.ae = {{static_cast<float>(p.ae), 0}, {static_cast<float>(p.ae), static_cast<float>(p.length)}};
    d.qw = {{0, 0}, {static_cast<float>(p.kb * zEnd), static_cast<float>(zEnd)}};
    d.tolerance = static_cast<float>(1e-6 * minTip(p));
    d.pileLength = static_cast<float>(p.length);
    d.diameter = static_cast<float>(p.diameter);
    d.tipArea = static_cast<float>(Pi * p.diameter * p.diameter / 4);
    for (double w : p.tipMovements)
        d.tipMovements.push_back(static_cast<float>(w));
    return d;
}

TEST(ElasticClosedForm, HeadAndDistributionAgreeWithTheClosedForm) {
    for (const auto& p : Piles) {
        const InputData d = elasticData(p, 900);
        const Solver solver(d);
        bool uplift = false;
        for (float w : d.tipMovements) {
            Solution sol;
            const LoadSettlement r = solver.solveTipMovement(w, uplift, sol);
            const std::string at = std::string(p.name) + ", tip movement " + std::to_string(w);
            const Point head = closedForm(p, w, p.length);
            EXPECT_FALSE(r.uplift) << at;
            expectRel(r.headLoad, head.load, SolverRel, at + ": head load");
            expectRel(r.headMovement, head.movement, SolverRel, at + ": head movement");
            expectRel(r.tipLoad, p.kb * w, 1e-5, at + ": tip load");
            EXPECT_FLOAT_EQ(r.tipMovement, w) << at;

            // The load and movement down the pile follow the same curves.
            ASSERT_EQ(sol.increments.size(), 900u) << at;
            const double dL = p.length / 900;
            for (std::size_t j = 0; j < sol.increments.size(); j += 61) {
                const auto& inc = sol.increments[j];
                const double middle = p.length - dL * (static_cast<double>(j) + 0.5);
                EXPECT_NEAR(inc.middleDepth, middle, 1e-5 * p.length) << at << ", increment " << j;
                const Point cf = closedForm(p, w, p.length - middle);
                const std::string inc_at = at + ", increment " + std::to_string(j + 1);
                expectRel(inc.averageLoad, cf.load, SolverRel, inc_at + ": average load");
                expectRel(inc.middleMovement, cf.movement, SolverRel, inc_at + ": movement at the middle");
                expectRel(inc.t, p.k * cf.movement, SolverRel, inc_at + ": unit side friction");
            }
        }
    }
}

TEST(ElasticClosedForm, WithoutSideFrictionTheHeadCarriesTheTipLoad) {
    for (const auto& p : Piles) {
        for (Int n : {1, 7, 900}) {
            InputData d = elasticData(p, n);
            for (auto& c : d.curves)
                c.points[1].t = 0; // t = 0 at every movement
            const Solver solver(d);
            bool uplift = false;
            for (float w : d.tipMovements) {
                Solution sol;
                const LoadSettlement r = solver.solveTipMovement(w, uplift, sol);
                const std::string at =
                    std::string(p.name) + ", N = " + std::to_string(n) + ", w = " + std::to_string(w);
                const double q = p.kb * w;
                expectRel(r.tipLoad, q, 1e-5, at + ": tip load");
                expectRel(r.headLoad, q, 1e-5, at + ": head load");
                expectRel(r.headMovement, w + p.length * q / p.ae, 1e-4, at + ": head movement");
            }
        }
    }
}

// ---------------------------------------------------------------- through the whole run

std::string num(double v) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.9G", v);
    return buf;
}

// The input file of an elastic pile. With `factors`, the curves are entered at half
// their slope (the tip curve also at half its reach) and the factor records bring
// them back: t x 2 with z x 1 on the side, Q x 4 with w x 2 at the tip.
std::string elasticInput(const ElasticPile& p, Int increments, bool factors) {
    const double zEnd = curveEnd(p);
    const double sideScale = factors ? 0.5 : 1.0;
    std::string s = std::string(p.name) + "\n";
    s += std::to_string(increments) + " 0 " + std::to_string(p.units) + "\n1\n4\n";
    for (int i = 0; i < 4; ++i) {
        s += std::to_string(i + 1) + " " + num(p.length * i / 3) + " 2\n0.0 0.0\n";
        s += num(sideScale * p.k * zEnd) + " " + num(zEnd) + "\n";
    }
    s += "2\n" + num(p.ae) + " 0.0\n" + num(p.ae) + " " + num(p.length) + "\n";
    s += "2\n0.0 0.0\n" + num((factors ? 0.25 : 1.0) * p.kb * zEnd) + " " + num(factors ? zEnd / 2 : zEnd) +
         "\n";
    s += num(1e-6 * minTip(p)) + " " + num(p.length) + " " + num(p.diameter) + " " +
         num(Pi * p.diameter * p.diameter / 4) + "\n";
    s += std::to_string(p.tipMovements.size()) + "\n";
    for (double w : p.tipMovements)
        s += num(w) + " ";
    s += "\n0\n0\n";
    if (factors) {
        s += "1\n2\n0.0 2.0 1.0\n" + num(p.length) + " 2.0 1.0\n1\n4.0 2.0\n";
    } else {
        s += "0\n0\n";
    }
    return s;
}

// E(16.4) and E(17.4) keep four digits (5e-4 relative); E(10.3) keeps three (5e-3).
constexpr double SummaryRel = SolverRel + 5e-4;
constexpr double RowRel = SolverRel + 5e-3;

void checkRun(const ElasticPile& p, bool factors) {
    const std::string at = std::string(p.name) + (factors ? ", through the factors" : "");
    const auto out = test::runInput(elasticInput(p, 900, factors));
    ASSERT_EQ(out.status, StatusOk) << at << "\n" << out.report;
    const auto plot = test::parsePlot(out.plot);
    ASSERT_TRUE(plot && plot->complete) << at;
    const std::size_t t = p.tipMovements.size();
    ASSERT_EQ(plot->summary.size(), t) << at;
    ASSERT_EQ(plot->increments.size(), t * 900) << at;
    const auto rows = test::reportSummaryRows(out.report);
    ASSERT_EQ(rows.size(), t) << at;
    const double dL = p.length / 900;
    for (std::size_t i = 0; i < t; ++i) {
        const double w = p.tipMovements[i];
        const Point head = closedForm(p, w, p.length);
        const auto& row = plot->summary[i];
        const std::string ri = at + ", tip movement " + std::to_string(w);
        expectRel(row.headLoad, head.load, SummaryRel, ri + ": head load");
        expectRel(row.headMovement, head.movement, SummaryRel, ri + ": head movement");
        expectRel(row.tipMovement, w, 5e-4, ri + ": tip movement");
        expectRel(row.tipLoad, p.kb * w, 5e-4, ri + ": tip load");
        // The report's summary carries the same numbers.
        expectRel(rows[i].headLoad, head.load, SummaryRel, ri + ": head load in the report");
        expectRel(rows[i].headMovement, head.movement, SummaryRel, ri + ": head movement in the report");
        // Record 7: the increments from the tip upward.
        for (std::size_t j = 0; j < 900; j += 149) {
            const auto& inc = plot->increments[i * 900 + j];
            const double middle = p.length - dL * (static_cast<double>(j) + 0.5);
            const Point cf = closedForm(p, w, p.length - middle);
            const std::string rj = ri + ", increment " + std::to_string(j + 1);
            expectRel(inc.depth, middle, 5e-3, rj + ": depth");
            expectRel(inc.averageLoad, cf.load, RowRel, rj + ": average load");
            expectRel(inc.movement, cf.movement, RowRel, rj + ": movement");
        }
    }
}

TEST(ElasticClosedForm, WholeRunAgreesWithTheClosedForm) {
    for (const auto& p : Piles)
        checkRun(p, false);
}

TEST(ElasticClosedForm, ModificationFactorsEnterTheSolution) {
    for (const auto& p : Piles)
        checkRun(p, true);
}

} // namespace
} // namespace pavrin::engine
