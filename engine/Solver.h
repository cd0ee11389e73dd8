// The load-transfer solution: the pile walked from tip to head for one tip
// movement, and the pass that finds the settlement under given head loads.
#pragma once

#include "Model.h"

#include <vector>

namespace pavrin::engine {

// Values of one increment after its iteration ended.
struct IncrementValues {
    float lowerDepth = 0; // depth of the increment's lower end
    float middleDepth = 0;
    float t = 0; // unit side friction used (negative under down-drag)
    float loadTransfer = 0;
    float averageLoad = 0;
    float shortening = 0;
    float middleMovement = 0;
    Int passes = 0; // iteration passes taken (at most 100)
};

struct Solution {
    bool uplift = false;
    float tipMovement = 0; // magnitude used
    float tipLoad = 0;
    std::vector<float> load;                 // P(1..N+1), index 0 is the tip
    std::vector<float> movement;             // S(1..N+1)
    std::vector<IncrementValues> increments; // from the tip upward
    float headLoad() const { return load.back(); }
    float headMovement() const { return movement.back(); }
};

struct LoadSettlement {
    float headLoad = 0;
    float headMovement = 0;
    float tipMovement = 0;
    float tipLoad = 0;
    bool uplift = false;
    bool outsideRange = false; // head-load pass: the load lies outside the computed range
};

class Solver {
public:
    explicit Solver(const InputData& data);

    float tipLoadAt(float w) const;
    float sideFrictionAt(float x, float s) const;
    float aeAt(float x) const;
    float settlementAt(float x) const;

    // Solves for tip movement magnitude `w` with tip load `tipLoad`.
    void solve(float w, float tipLoad, bool uplift, Solution& out) const;

    // Tip-movement pass result for one movement as read; `upliftSoFar` carries
    // the run's uplift state (once an uplift case is met, later ones are uplift too).
    LoadSettlement solveTipMovement(float wRead, bool& upliftSoFar, Solution& out) const;

    // Head-load pass over `loads`, using the tip-movement results.
    std::vector<LoadSettlement> headLoadPass(const std::vector<LoadSettlement>& tipResults,
                                             const std::vector<float>& loads, bool uplift) const;

private:
    struct Bracket {
        Int upper = -1; // curve at or above the depth (-1: no curves)
        Int lower = -1; // curve below it when the depth lies between two curves
    };
    float lowerDepth(Int j) const; // of increment j (2..N+1)
    float middleDepth(Int j) const;
    Bracket bracketAt(float x) const;
    // Points last found on the bracketing curves, checked first by the next look-up.
    struct CurveHints {
        std::size_t upper = 0;
        std::size_t lower = 0;
    };
    float sideFriction(const Bracket& b, float x, float s) const;
    float sideFriction(const Bracket& b, float x, float s, CurveHints& hints) const;

    const InputData& data_;
    float dL_;
    std::vector<bool> ascending_; // per curve: z never decreases
    // Per increment, from the tip upward: what depends on the depth of its middle only.
    std::vector<Bracket> brackets_;
    std::vector<float> aeAtIncrement_;
    std::vector<float> settlementAtIncrement_;
};

// Tip movement at head load h from the tip-movement results (0 outside their range).
float tipMovementForLoad(const std::vector<LoadSettlement>& results, float h, bool& outside);

} // namespace pavrin::engine
