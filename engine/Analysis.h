// What one analysis computed, kept in memory for the front end's own tools: the
// tables as solved (curves generated, factors applied), every solution of the
// tip-movement pass and both summaries. Built by the same run as the report and
// the plot data file, so every figure equals the one they print.
#pragma once

#include "Model.h"
#include "Solver.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pavrin::engine {

struct AnalysisResults {
    InputData data;                          // as solved: curves generated, factors applied
    std::vector<Solution> tipSolutions;      // one per tip movement, in input order
    std::vector<LoadSettlement> tipResults;  // the tip-movement summary
    std::vector<LoadSettlement> headResults; // the head-load summary (empty without head loads)
};

// analyse() that also keeps what it computed in `results` (left partly filled
// when the run stops). Returns the run status. Never throws.
std::int32_t analyse(std::string_view input, std::string& report, std::string& plot,
                     AnalysisResults& results);

// The solution behind each head-load result (solved again at its final tip
// movement; the solver is deterministic, so it is the one the pass accepted).
// A head load outside the computed range has an empty solution.
std::vector<Solution> headLoadSolutions(const AnalysisResults& results);

// One point of a t-z curve: the depth of the curve, the movement z and the unit side friction t.
struct SpringPoint {
    float depth = 0;
    float z = 0;
    float t = 0;
};

// The t-z curve the solver uses at the middle of every increment (from the head
// down): the curve there, or the depth interpolation of the two curves around
// it, evaluated at every z of those curves.
std::vector<std::vector<SpringPoint>> curvesAtIncrements(const InputData& data);

} // namespace pavrin::engine
