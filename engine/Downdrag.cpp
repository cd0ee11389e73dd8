#include "Downdrag.h"

#include <cstddef>

namespace pavrin::engine {

namespace {

// Depth of node i (node 0 is the tip).
float nodeDepth(const Solution& s, std::size_t i) {
    return i < s.increments.size() ? s.increments[i].lowerDepth : 0.0f; // the last node is the head
}

} // namespace

DowndragFigures downdragFigures(const Solution& s) {
    DowndragFigures f;
    if (s.load.empty())
        return f;
    f.headLoad = s.headLoad();
    f.headMovement = s.headMovement();
    f.maxLoad = f.headLoad;
    for (const IncrementValues& i : s.increments)
        f.downdrag = f.downdrag || i.t < 0;
    if (!f.downdrag || s.increments.empty())
        return f;

    // The largest load; from the head down, so a tie keeps the shallower node.
    std::size_t at = s.load.size() - 1;
    for (std::size_t i = s.load.size(); i-- > 0;)
        if (s.load[i] > s.load[at])
            at = i;
    f.maxLoad = s.load[at];
    f.dragLoad = f.maxLoad - f.headLoad;
    f.neutralDepth = nodeDepth(s, at);
    if (at == 0 || at + 1 >= s.load.size())
        return f; // at the tip or the head: no increment on one side
    const IncrementValues& below = s.increments[at - 1];
    const IncrementValues& above = s.increments[at];
    if (below.t > 0 && above.t < 0) {
        const float share = -above.t / (below.t - above.t);
        f.neutralDepth = above.middleDepth + share * (below.middleDepth - above.middleDepth);
    }
    return f;
}

} // namespace pavrin::engine
