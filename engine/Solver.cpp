#include "Solver.h"

#include <algorithm>
#include <cmath>

namespace pavrin::engine {

namespace {

constexpr float Pi = 3.1416f;
constexpr float UpliftLimit = 1e-10f;
constexpr Int MaxPasses = 100;
constexpr Int MaxRetries = 50;

float interpolate(float x, float x0, float v0, float x1, float v1) {
    if (x1 == x0)
        return v1;
    return v0 + (x - x0) * (v1 - v0) / (x1 - x0);
}

bool zAscending(const TzCurve& c) {
    for (std::size_t m = 1; m < c.points.size(); ++m)
        if (c.points[m].z < c.points[m - 1].z)
            return false;
    return true;
}

// t on one curve at movement s: linear between point m - 1 and the first point
// m whose z exceeds s, the last point's t at or beyond the last point (no
// extrapolation). On a curve whose z ascend, that point is found by bisection.
// `hint` is the point found last time on this curve: the passes of one increment move s little,
// so the point found before is checked first.
float tOnCurve(const TzCurve& c, bool ascending, float s, std::size_t& hint) {
    const auto& p = c.points;
    const std::size_t n = p.size();
    std::size_t m = 0;
    if (ascending) {
        if (hint <= n && (hint == 0 || !(s < p[hint - 1].z)) && (hint == n || s < p[hint].z)) {
            m = hint;
        } else {
            auto it =
                std::upper_bound(p.begin(), p.end(), s, [](float v, const CurvePoint& q) { return v < q.z; });
            m = static_cast<std::size_t>(it - p.begin());
            hint = m;
        }
    } else {
        while (m < n && !(p[m].z > s))
            ++m;
    }
    if (m == n)
        return n ? p[n - 1].t : 0.0f;
    if (m == 0)
        return p[0].t;
    return interpolate(s, p[m - 1].z, p[m - 1].t, p[m].z, p[m].t);
}

} // namespace

Solver::Solver(const InputData& data)
    : data_(data), dL_(data.pileLength / static_cast<float>(data.increments)) {
    for (const TzCurve& c : data.curves)
        ascending_.push_back(zAscending(c));
    const bool downdrag = !data.settlement.empty();
    for (Int j = 2; j <= data.increments + 1; ++j) {
        const float x = middleDepth(j);
        brackets_.push_back(bracketAt(x));
        aeAtIncrement_.push_back(aeAt(x));
        settlementAtIncrement_.push_back(downdrag ? settlementAt(x) : 0.0f);
    }
}

float Solver::lowerDepth(Int j) const {
    return data_.pileLength - dL_ * static_cast<float>(j - 2);
}

float Solver::middleDepth(Int j) const {
    return lowerDepth(j) - dL_ / 2.0f;
}

// The curve at or above x, and the one below it when x lies between two curves.
Solver::Bracket Solver::bracketAt(float x) const {
    const auto& c = data_.curves;
    if (c.empty())
        return {};
    std::size_t k = 0;
    while (x > c[k].depth && k + 1 < c.size())
        ++k;
    if (x >= c[k].depth || k == 0)
        return {static_cast<Int>(k), -1};
    return {static_cast<Int>(k - 1), static_cast<Int>(k)};
}

float Solver::sideFriction(const Bracket& b, float x, float s) const {
    CurveHints hints;
    return sideFriction(b, x, s, hints);
}

float Solver::sideFriction(const Bracket& b, float x, float s, CurveHints& hints) const {
    if (b.upper < 0)
        return 0;
    const auto u = static_cast<std::size_t>(b.upper);
    const TzCurve& c1 = data_.curves[u];
    const float t1 = tOnCurve(c1, ascending_[u], s, hints.upper);
    if (b.lower < 0)
        return t1;
    const auto l = static_cast<std::size_t>(b.lower);
    const TzCurve& c2 = data_.curves[l];
    const float t2 = tOnCurve(c2, ascending_[l], s, hints.lower);
    const float d1 = c1.depth;
    const float d2 = c2.depth;
    return t1 + (x - d1) * (t2 - t1) / (d2 - d1);
}

float Solver::tipLoadAt(float w) const {
    const auto& q = data_.qw;
    for (std::size_t i = 0; i < q.size(); ++i) {
        if (!(q[i].w < w)) {
            if (i == 0)
                return q[0].q;
            return interpolate(w, q[i - 1].w, q[i - 1].q, q[i].w, q[i].q);
        }
    }
    return q.empty() ? 0.0f : q.back().q;
}

float Solver::sideFrictionAt(float x, float s) const {
    return sideFriction(bracketAt(x), x, s);
}

float Solver::aeAt(float x) const {
    const auto& a = data_.ae;
    if (a.size() < 2)
        return a.empty() ? 0.0f : a[0].ae;
    std::size_t i = 1; // segment between points i-1 and i
    while (a[i].depth < x && i + 1 < a.size())
        ++i;
    return interpolate(x, a[i - 1].depth, a[i - 1].ae, a[i].depth, a[i].ae);
}

float Solver::settlementAt(float x) const {
    const auto& p = data_.settlement;
    const std::size_t n = p.size();
    if (n == 0 || x < p.front().depth || x > p.back().depth)
        return 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (x == p[i].depth) {
            if (i + 1 < n && p[i + 1].depth == x)
                return (p[i].settlement + p[i + 1].settlement) / 2.0f;
            return p[i].settlement;
        }
        if (i + 1 < n && x > p[i].depth && x < p[i + 1].depth)
            return interpolate(x, p[i].depth, p[i].settlement, p[i + 1].depth, p[i + 1].settlement);
    }
    return 0;
}

// Walks the pile from the tip (node 1) to the head (node N+1). In each increment
// the movement at the middle is found by fixed-point iteration: the trial
// movement gives t, the load transferred and the elastic shortening, which give
// a new movement at the middle; the iteration ends when two agree within the
// tolerance, or after 100 passes with the last values.
void Solver::solve(float w, float tipLoad, bool uplift, Solution& out) const {
    const Int n = data_.increments;
    const float d = data_.diameter;
    const bool downdrag = !data_.settlement.empty();
    out.uplift = uplift;
    out.tipMovement = w;
    out.tipLoad = tipLoad;
    out.load.assign(static_cast<std::size_t>(n) + 1, 0.0f);
    out.movement.assign(static_cast<std::size_t>(n) + 1, 0.0f);
    out.increments.assign(static_cast<std::size_t>(n), IncrementValues{});
    out.load[0] = tipLoad;
    out.movement[0] = w;

    float s = w;
    CurveHints hints; // only ever a first guess, checked before it is used
    for (Int j = 2; j <= n + 1; ++j) {
        const auto below = static_cast<std::size_t>(j - 2);
        const auto node = static_cast<std::size_t>(j - 1);
        IncrementValues& inc = out.increments[below];
        inc.lowerDepth = lowerDepth(j);
        inc.middleDepth = middleDepth(j);
        const float x = inc.middleDepth;
        const Bracket& bracket = brackets_[below];
        const float ae = aeAtIncrement_[below];
        const float soil = settlementAtIncrement_[below];
        const float pLow = out.load[below];
        const float sLow = out.movement[below];
        Int passes = 0;
        for (;;) {
            ++passes;
            float t = 0;
            if (downdrag) {
                float r = s - soil;
                t = sideFriction(bracket, x, std::fabs(r), hints);
                if (r < 1e-8f)
                    t = -t;
            } else {
                t = sideFriction(bracket, x, s, hints);
            }
            const float dq = dL_ * Pi * d * t;
            const float p = pLow + dq;
            const float pAvg = pLow + dq / 2.0f;
            const float ds = dL_ * pAvg / ae;
            const float sNode = sLow + ds;
            const float sMid = sLow + (((p + pLow) / 2.0f + pLow) / 2.0f * dL_ / 2.0f) / ae;
            inc.t = t;
            inc.loadTransfer = dq;
            inc.averageLoad = pAvg;
            inc.shortening = ds;
            inc.middleMovement = sMid;
            out.load[node] = p;
            out.movement[node] = sNode;
            if (std::fabs(sMid - s) <= data_.tolerance || passes >= MaxPasses)
                break;
            s = sMid;
        }
        inc.passes = passes;
        s = out.movement[node];
    }
}

LoadSettlement Solver::solveTipMovement(float wRead, bool& upliftSoFar, Solution& out) const {
    if (wRead <= UpliftLimit)
        upliftSoFar = true;
    const bool uplift = upliftSoFar;
    const float w = std::fabs(wRead);
    const float tip = uplift ? 0.0f : tipLoadAt(w);
    solve(w, tip, uplift, out);
    return {out.headLoad(), out.headMovement(), wRead, tip, uplift, false};
}

float tipMovementForLoad(const std::vector<LoadSettlement>& results, float h, bool& outside) {
    outside = true;
    if (results.empty())
        return 0;
    float lo = results.front().headLoad;
    float hi = lo;
    for (const auto& r : results) {
        lo = std::fmin(lo, r.headLoad);
        hi = std::fmax(hi, r.headLoad);
    }
    if (h < lo || h > hi)
        return 0;
    outside = false;
    const std::size_t n = results.size();
    for (std::size_t i = 0; i < n; ++i) {
        const float qi = results[i].headLoad;
        const float wi = std::fabs(results[i].tipMovement);
        if (h == qi) {
            if (i + 1 < n && results[i + 1].headLoad == h)
                return (wi + std::fabs(results[i + 1].tipMovement)) / 2.0f;
            return wi;
        }
        if (i + 1 < n) {
            const float qj = results[i + 1].headLoad;
            if ((qi < h && h < qj) || (qj < h && h < qi))
                return interpolate(h, qi, wi, qj, std::fabs(results[i + 1].tipMovement));
        }
    }
    return 0;
}

// For each head load: start from the tip movement interpolated in the
// tip-movement results, solve, and while the head load found exceeds the given
// one by 0.05 % or more, reduce the tip movement by 2 % and solve again. The
// 50 retries are shared by all head loads of the pass.
std::vector<LoadSettlement> Solver::headLoadPass(const std::vector<LoadSettlement>& tipResults,
                                                 const std::vector<float>& loads, bool uplift) const {
    std::vector<LoadSettlement> results;
    Int retries = 0;
    Solution sol;
    for (float h : loads) {
        bool outside = false;
        float w = tipMovementForLoad(tipResults, h, outside);
        if (outside) {
            // No settlement can be given for a load the tip-movement pass never reached.
            results.push_back({h, 0.0f, 0.0f, 0.0f, uplift, true});
            continue;
        }
        for (;;) {
            const float tip = (!uplift && w > UpliftLimit) ? tipLoadAt(w) : 0.0f;
            solve(w, tip, uplift, sol);
            const float e = sol.headLoad() - h;
            if (retries < MaxRetries && e >= 0.0005f * h) {
                ++retries;
                w = 0.98f * w;
                continue;
            }
            results.push_back({h, sol.headMovement(), w, tip, uplift, false});
            break;
        }
    }
    return results;
}

} // namespace pavrin::engine
