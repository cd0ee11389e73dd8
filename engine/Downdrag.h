// Down-drag figures of one solution: the largest axial load along the pile, the
// depth where it acts (the neutral plane, where the load transfer changes sign)
// and the drag load, the part of that load the settling soil adds to the head load.
#pragma once

#include "Solver.h"

namespace pavrin::engine {

struct DowndragFigures {
    bool downdrag = false;  // some increment carries negative side friction
    float headLoad = 0;     // force
    float headMovement = 0; // length
    float maxLoad = 0;      // largest axial load at a node (force)
    float neutralDepth = 0; // length below the head
    float dragLoad = 0;     // maxLoad - headLoad
};

// Figures of `s`. The largest load is the largest nodal load of the solution.
// Its depth is refined where the side friction changes sign at that node: the
// zero of t interpolated linearly between the middles of the increments above
// and below it. Without negative side friction the figures hold the head load
// at depth 0 and no drag load.
DowndragFigures downdragFigures(const Solution& s);

} // namespace pavrin::engine
