// Calibration of a project to a measured load test: the uniform t-z multiplier (and optionally the
// Q-w multiplier), applied on top of the project's own factors, that makes the predicted head
// settlement at the measured head loads come closest to the measured settlement in the
// root-mean-square sense. Each evaluation is an in-memory analysis of the variant on the engine
// core, made as the design sweep makes its variants. `pavrin-cli fit` and the program's calibration
// window both run their fits through fitToLoadTest, so that both give the same figures.
#pragma once

#include "Analysis.h"
#include "MeasuredLoadTest.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace pavrin::app {
class TProgramData;
}

namespace pavrin::cli {

// The factors are searched between these bounds, in the logarithm of the factor.
inline constexpr long double kFitFactorMin = 0.05L;
inline constexpr long double kFitFactorMax = 20.0L;
// A measured load beyond the predicted curve's range counts with this residual: the distance from
// the measured settlement to the largest settlement of the curve, plus this fraction of that
// largest settlement.
inline constexpr long double kFitMissFraction = 0.5L;
// The one-factor search first analyses this many factors spread evenly in the logarithm over the
// bounds, then narrows the bracket around the best of them by golden sections.
inline constexpr int kFitScanPoints = 9;

struct FitSettings {
    bool varyQw = false;             // t-z multiplier alone, or t-z and Q-w multipliers
    long double tolerance = 1e-5L;   // on the natural logarithm of each factor (about 0.001 %)
    std::size_t maxAnalyses = 300;   // the search ends after this many analyses whatever it reached
};

// The load-settlement curve the fit compares with: the head load and head settlement of every
// downward tip movement of the tip-movement pass, in input order, preceded by the origin when the
// first head load is positive (as the axial graph draws it).
struct CurvePoint {
    long double load = 0, settlement = 0;
};
std::vector<CurvePoint> predictedCurve(const std::vector<engine::LoadSettlement>& tipResults);

// Head settlement at head load `load` on `curve`, interpolated linearly on the first segment that
// holds the load; nothing when no segment does (the load is beyond the curve's range).
std::optional<long double> settlementAtLoad(const std::vector<CurvePoint>& curve, long double load);

// What one pair of factors gives at the measured points.
struct FitEvaluation {
    bool analysed = false;  // false: the variant could not run (`reason`)
    std::string reason;
    long double rms = 0;    // root-mean-square of the residuals, penalties of misses included
    std::vector<std::optional<long double>> predicted; // nothing for a miss
    std::vector<long double> residuals;                // predicted - measured; a miss's penalty
    std::size_t misses = 0;
    std::vector<CurvePoint> curve;
};

// The residuals and RMS of `curve` against the measured points (the penalty for misses above).
FitEvaluation evaluateCurve(std::vector<CurvePoint> curve, const app::TMeasuredLoadTest& test);

// Where a fit stands, for a progress bar: analyses made, the most it may make, the best so far.
struct FitProgress {
    std::size_t analyses = 0;
    std::size_t maxAnalyses = 0;
    long double tzFactor = 1, qwFactor = 1, rms = 0;
};

struct FitResult {
    bool done = false;       // a fit was made (perhaps stopped early: `stopped`)
    bool stopped = false;    // stopped from outside; the factors are the best found until then
    bool converged = false;  // the tolerance was reached (else the analysis cap ended the search)
    std::string reason;      // why no fit was made
    bool varyQw = false;
    long double tzFactor = 1, qwFactor = 1;
    std::size_t analyses = 0; // engine analyses made (repeated factors are taken from a cache)
    FitEvaluation before;     // at factors 1
    FitEvaluation after;      // at the fitted factors
};

using FitProgressHandler = std::function<void(const FitProgress&)>;

// Fits `project` (opened, passed by the pre-run check) to `test` (in the project's unit system,
// passed by MeasuredLoadTestProblems). `project` is changed during the fit and put back after
// every analysis. `stop`, when set from another thread, ends the search before its next analysis
// with the best factors found. `progress` is called after every analysis, on the calling thread.
FitResult fitToLoadTest(app::TProgramData& project, const app::TMeasuredLoadTest& test,
                        const FitSettings& settings, const std::atomic<bool>* stop = nullptr,
                        const FitProgressHandler& progress = {});

// Whether a fitted factor lies on a bound of the search (kFitFactorMin or kFitFactorMax, within ten
// times the tolerance): then the fit is the closest the bounds allow, not a minimum between them.
bool factorAtBound(long double factor, const FitSettings& settings = {});

// Puts the fitted factors into `project`: the t-z multipliers (and the Q-w multiplier when it was
// varied) scaled as the fit's variants were, switched on when they were off.
void applyFit(app::TProgramData& project, const FitResult& result);

// The per-point CSV: load, measured settlement, predicted before, predicted after, residual after
// (header naming the project's units; a miss's predicted cell empty and its residual the penalty).
std::string fitCsv(const FitResult& result, const app::TMeasuredLoadTest& test, int units);

} // namespace pavrin::cli
