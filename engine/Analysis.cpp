#include "Analysis.h"

#include <algorithm>

namespace pavrin::engine {

std::vector<Solution> headLoadSolutions(const AnalysisResults& results) {
    const Solver solver(results.data);
    std::vector<Solution> solutions(results.headResults.size());
    for (std::size_t i = 0; i < solutions.size(); ++i) {
        const LoadSettlement& r = results.headResults[i];
        if (!r.outsideRange)
            solver.solve(r.tipMovement, r.tipLoad, r.uplift, solutions[i]);
    }
    return solutions;
}

std::vector<std::vector<SpringPoint>> curvesAtIncrements(const InputData& data) {
    std::vector<std::vector<SpringPoint>> out;
    if (data.increments < 1 || data.curves.empty())
        return out;
    const Solver solver(data);
    // The same middle depths as the solver's walk, listed from the head down.
    const float dL = data.pileLength / static_cast<float>(data.increments);
    for (Int j = data.increments + 1; j >= 2; --j) {
        const float x = (data.pileLength - dL * static_cast<float>(j - 2)) - dL / 2.0f;
        // The curves the solver reads at x: the one at or above it, and the next deeper one
        // when x lies between them.
        const auto& c = data.curves;
        std::size_t k = 0;
        while (x > c[k].depth && k + 1 < c.size())
            ++k;
        std::vector<float> zs;
        for (std::size_t m = (x >= c[k].depth || k == 0) ? k : k - 1; m <= k; ++m)
            for (const CurvePoint& p : c[m].points)
                zs.push_back(p.z);
        std::sort(zs.begin(), zs.end());
        zs.erase(std::unique(zs.begin(), zs.end()), zs.end());
        std::vector<SpringPoint> curve;
        curve.reserve(zs.size());
        for (float z : zs)
            curve.push_back({x, z, solver.sideFrictionAt(x, z)});
        out.push_back(std::move(curve));
    }
    return out;
}

} // namespace pavrin::engine
