#include "Calibration.h"

#include "DesignSweep.h"
#include "ProgramData.h"
#include "ProjectAnalysis.h"
#include "ProjectFile.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <map>
#include <utility>

namespace pavrin::cli {

namespace {

constexpr long double kInfinity = std::numeric_limits<long double>::infinity();

// Stopped from outside: unwinds the search to fitToLoadTest.
struct FitStopped {};

// The objective over the logarithms of the factors, each distinct pair analysed once.
class Objective {
public:
    Objective(app::TProgramData& project, const app::TMeasuredLoadTest& test, const FitSettings& settings,
              const std::atomic<bool>* stop, const FitProgressHandler& progress)
        : project_(project), test_(test), settings_(settings), stop_(stop), progress_(progress),
          lo_(std::log(kFitFactorMin)), hi_(std::log(kFitFactorMax)) {}

    long double Lo() const { return lo_; }
    long double Hi() const { return hi_; }
    long double Clamp(long double x) const { return std::clamp(x, lo_, hi_); }

    // The RMS at factors e^x (t-z) and e^y (Q-w); +infinity for a variant that cannot run.
    long double operator()(long double x, long double y) {
        const FitEvaluation& e = Evaluate(x, y);
        return e.analysed ? e.rms : kInfinity;
    }

    const FitEvaluation& Evaluate(long double x, long double y) {
        x = Clamp(x);
        y = settings_.varyQw ? Clamp(y) : 0.0L;
        const Key key{std::llround(x * 1e9L), std::llround(y * 1e9L)};
        if (const auto found = cache_.find(key); found != cache_.end())
            return found->second;
        if (analyses_ >= settings_.maxAnalyses)
            throw FitStopped{}; // never reached: the searches count first
        if (stop_ != nullptr && stop_->load())
            throw FitStopped{};
        FitEvaluation e = Analyse(std::exp(x), std::exp(y));
        ++analyses_;
        const bool better = e.analysed && (!best_ || e.rms < bestRms_);
        const auto& stored = cache_.emplace(key, std::move(e)).first->second;
        if (better) {
            best_ = {x, y};
            bestRms_ = stored.rms;
        }
        if (progress_) {
            FitProgress p;
            p.analyses = analyses_;
            p.maxAnalyses = settings_.maxAnalyses;
            if (best_) {
                p.tzFactor = std::exp(best_->first);
                p.qwFactor = std::exp(best_->second);
                p.rms = bestRms_;
            }
            progress_(p);
        }
        return stored;
    }

    // Whether another analysis may be made.
    bool Spare() const { return analyses_ < settings_.maxAnalyses; }
    std::size_t Analyses() const { return analyses_; }
    const std::optional<std::pair<long double, long double>>& Best() const { return best_; }

private:
    using Key = std::pair<long long, long long>;

    FitEvaluation Analyse(long double tz, long double qw) {
        std::vector<VariantChange> changes;
        if (tz != 1.0L)
            changes.push_back({SweepParameter::TzFactor, tz});
        if (settings_.varyQw && qw != 1.0L)
            changes.push_back({SweepParameter::QwFactor, qw});
        FitEvaluation e;
        std::string input, reason;
        if (!variantInput(project_, changes, input, reason)) {
            e.reason = std::move(reason);
            return e;
        }
        engine::AnalysisResults results;
        if (auto stopped = analyseInput(input, results)) {
            e.reason = std::move(*stopped);
            return e;
        }
        return evaluateCurve(predictedCurve(results.tipResults), test_);
    }

    app::TProgramData& project_;
    const app::TMeasuredLoadTest& test_;
    const FitSettings& settings_;
    const std::atomic<bool>* stop_;
    const FitProgressHandler& progress_;
    long double lo_, hi_;
    std::map<Key, FitEvaluation> cache_;
    std::size_t analyses_ = 0;
    std::optional<std::pair<long double, long double>> best_;
    long double bestRms_ = kInfinity;
};

// One factor: a scan over the bounds, then golden sections of the bracket around the best scanned
// value until the bracket is narrower than the tolerance. True when the tolerance was reached.
bool searchOne(Objective& f, long double tolerance) {
    std::array<long double, kFitScanPoints> xs{}, fs{};
    std::size_t best = 0;
    for (std::size_t i = 0; i < xs.size(); ++i) {
        if (!f.Spare())
            return false;
        // The middle of the scan is factor 1 itself.
        xs[i] = i * 2 + 1 == xs.size() ? 0.0L : f.Lo() + (f.Hi() - f.Lo()) * i / (xs.size() - 1);
        fs[i] = f(xs[i], 0);
        if (fs[i] < fs[best])
            best = i;
    }
    long double a = xs[best == 0 ? 0 : best - 1], b = xs[best + 1 == xs.size() ? best : best + 1];
    const long double r = (std::sqrt(5.0L) - 1) / 2;
    long double c = b - r * (b - a), d = a + r * (b - a);
    if (!f.Spare())
        return false;
    long double fc = f(c, 0);
    if (!f.Spare())
        return false;
    long double fd = f(d, 0);
    while (b - a > tolerance) {
        if (!f.Spare())
            return false;
        if (fc <= fd) {
            b = d;
            d = c;
            fd = fc;
            c = b - r * (b - a);
            fc = f(c, 0);
        } else {
            a = c;
            c = d;
            fc = fd;
            d = a + r * (b - a);
            fd = f(d, 0);
        }
    }
    return true;
}

// Two factors: Nelder-Mead in the logarithms (reflection 1, expansion 2, contraction 1/2, shrink
// 1/2), every vertex clamped to the bounds, from the project's own factors with steps of `step`.
// Ends when every vertex lies within the tolerance of the best in both coordinates; then starts
// again once from the best with a tenth of the step, which catches a simplex that collapsed early.
bool searchTwo(Objective& f, long double tolerance) {
    using Point = std::array<long double, 2>;
    const auto clamp = [&](Point p) { return Point{f.Clamp(p[0]), f.Clamp(p[1])}; };
    Point start{0, 0};
    long double step = 0.5L;
    bool converged = false;
    for (int round = 0; round < 2; ++round) {
        std::array<Point, 3> v = {start, clamp({start[0] + step, start[1]}), clamp({start[0], start[1] + step})};
        // A step that the bound cut off goes the other way.
        for (int k = 1; k < 3; ++k)
            if (v[k] == start)
                v[k][k - 1] = f.Clamp(start[k - 1] - step);
        std::array<long double, 3> fv{};
        for (int k = 0; k < 3; ++k) {
            if (!f.Spare())
                return false;
            fv[k] = f(v[k][0], v[k][1]);
        }
        converged = false;
        for (;;) {
            std::array<int, 3> order = {0, 1, 2};
            std::sort(order.begin(), order.end(), [&](int i, int j) { return fv[i] < fv[j]; });
            const int b = order[0], m = order[1], w = order[2];
            long double size = 0;
            for (int k = 0; k < 3; ++k)
                size = std::max({size, std::fabs(v[k][0] - v[b][0]), std::fabs(v[k][1] - v[b][1])});
            if (size <= tolerance) {
                converged = true;
                break;
            }
            if (!f.Spare())
                return false;
            const Point centre{(v[b][0] + v[m][0]) / 2, (v[b][1] + v[m][1]) / 2};
            const auto along = [&](long double t) {
                return clamp({centre[0] + t * (v[w][0] - centre[0]), centre[1] + t * (v[w][1] - centre[1])});
            };
            const Point reflected = along(-1);
            const long double fr = f(reflected[0], reflected[1]);
            if (fr < fv[b]) {
                if (!f.Spare())
                    return false;
                const Point expanded = along(-2);
                const long double fe = f(expanded[0], expanded[1]);
                if (fe < fr) {
                    v[w] = expanded;
                    fv[w] = fe;
                } else {
                    v[w] = reflected;
                    fv[w] = fr;
                }
                continue;
            }
            if (fr < fv[m]) {
                v[w] = reflected;
                fv[w] = fr;
                continue;
            }
            if (!f.Spare())
                return false;
            // Contraction: outside when the reflection was better than the worst, else inside.
            const bool outside = fr < fv[w];
            const Point contracted = along(outside ? -0.5L : 0.5L);
            const long double fc = f(contracted[0], contracted[1]);
            if (fc < (outside ? fr : fv[w])) {
                v[w] = contracted;
                fv[w] = fc;
                continue;
            }
            // Shrink towards the best.
            for (int k : {m, w}) {
                if (!f.Spare())
                    return false;
                v[k] = clamp({(v[k][0] + v[b][0]) / 2, (v[k][1] + v[b][1]) / 2});
                fv[k] = f(v[k][0], v[k][1]);
            }
        }
        const auto& best = f.Best();
        if (!best)
            return converged;
        start = {best->first, best->second};
        step /= 10;
    }
    return converged;
}

std::string cell(const std::optional<long double>& v) {
    return v ? app::FormatNumber(*v) : std::string();
}

} // namespace

std::vector<CurvePoint> predictedCurve(const std::vector<engine::LoadSettlement>& tipResults) {
    std::vector<CurvePoint> curve;
    for (const engine::LoadSettlement& r : tipResults)
        if (!r.uplift)
            curve.push_back({r.headLoad, r.headMovement});
    if (!curve.empty() && curve.front().load > 0)
        curve.insert(curve.begin(), CurvePoint{});
    return curve;
}

std::optional<long double> settlementAtLoad(const std::vector<CurvePoint>& curve, long double load) {
    for (std::size_t i = 0; i < curve.size(); ++i) {
        const CurvePoint& a = curve[i];
        if (a.load == load)
            return a.settlement;
        if (i + 1 == curve.size())
            break;
        const CurvePoint& b = curve[i + 1];
        if ((a.load < load && load < b.load) || (b.load < load && load < a.load))
            return a.settlement + (load - a.load) * (b.settlement - a.settlement) / (b.load - a.load);
    }
    return std::nullopt;
}

FitEvaluation evaluateCurve(std::vector<CurvePoint> curve, const app::TMeasuredLoadTest& test) {
    FitEvaluation e;
    e.analysed = true;
    long double largest = 0;
    for (const CurvePoint& p : curve)
        largest = std::max(largest, p.settlement);
    long double sum = 0;
    for (const app::MeasuredPoint& m : test.points) {
        const std::optional<long double> s = settlementAtLoad(curve, m.load);
        const long double residual =
            s ? *s - m.settlement : std::fabs(m.settlement - largest) + kFitMissFraction * largest;
        e.misses += !s;
        e.predicted.push_back(s);
        e.residuals.push_back(residual);
        sum += residual * residual;
    }
    e.rms = test.points.empty() ? 0 : std::sqrt(sum / test.points.size());
    e.curve = std::move(curve);
    return e;
}

FitResult fitToLoadTest(app::TProgramData& project, const app::TMeasuredLoadTest& test,
                        const FitSettings& settings, const std::atomic<bool>* stop,
                        const FitProgressHandler& progress) {
    FitResult result;
    result.varyQw = settings.varyQw;
    if (test.points.empty()) {
        result.reason = "the measured load test has no points";
        return result;
    }
    if (settings.maxAnalyses < 1) {
        result.reason = "no analysis may be made";
        return result;
    }
    Objective f(project, test, settings, stop, progress);
    try {
        result.before = f.Evaluate(0, 0);
        if (!result.before.analysed) {
            result.reason = "the project cannot be analysed at its own factors: " + result.before.reason;
            result.analyses = f.Analyses();
            return result;
        }
        result.converged = settings.varyQw ? searchTwo(f, settings.tolerance) : searchOne(f, settings.tolerance);
    } catch (const FitStopped&) {
        result.stopped = true;
    }
    result.analyses = f.Analyses();
    if (!f.Best()) { // stopped before the first analysis
        result.reason = "stopped before the first analysis";
        return result;
    }
    result.done = true;
    const auto [x, y] = *f.Best();
    result.tzFactor = std::exp(x);
    result.qwFactor = std::exp(y);
    result.after = f.Evaluate(x, y); // from the cache
    return result;
}

bool factorAtBound(long double factor, const FitSettings& settings) {
    const long double x = std::log(factor), margin = 10 * settings.tolerance;
    return x <= std::log(kFitFactorMin) + margin || x >= std::log(kFitFactorMax) - margin;
}

void applyFit(app::TProgramData& project, const FitResult& result) {
    applyVariant(project, SweepParameter::TzFactor, result.tzFactor);
    if (result.varyQw)
        applyVariant(project, SweepParameter::QwFactor, result.qwFactor);
}

std::string fitCsv(const FitResult& result, const app::TMeasuredLoadTest& test, int units) {
    const auto u = unitLabels(units);
    const std::string L = " (" + std::string(u.length) + ")";
    const std::vector<std::string> header = {"load (" + std::string(u.force) + ")",
                                             "measured settlement" + L,
                                             "predicted before" + L,
                                             "predicted after" + L,
                                             "residual" + L,
                                             "note"};
    const auto line = [](const std::vector<std::string>& fields) {
        std::string text;
        for (std::size_t k = 0; k < fields.size(); ++k)
            text += (k ? "," : "") + csvField(fields[k]);
        return text + "\n";
    };
    std::string out = line(header);
    for (std::size_t i = 0; i < test.points.size(); ++i) {
        const auto at = [i](const FitEvaluation& e) {
            return i < e.predicted.size() ? e.predicted[i] : std::nullopt;
        };
        const bool missBefore = i < result.before.predicted.size() && !result.before.predicted[i];
        const bool missAfter = i < result.after.predicted.size() && !result.after.predicted[i];
        std::string note;
        if (missBefore || missAfter)
            note = std::string("beyond the predicted curve ") +
                   (missBefore && missAfter ? "before and after" : missBefore ? "before" : "after");
        out += line({app::FormatNumber(test.points[i].load), app::FormatNumber(test.points[i].settlement),
                     cell(at(result.before)), cell(at(result.after)),
                     i < result.after.residuals.size() ? app::FormatNumber(result.after.residuals[i]) : "",
                     note});
    }
    return out;
}

} // namespace pavrin::cli
