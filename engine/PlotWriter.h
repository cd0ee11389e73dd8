// The plot data file: curves as read or generated, the run's counts, the
// load distribution of every tip movement and the load-settlement summaries.
#pragma once

#include "Model.h"
#include "Solver.h"

#include <functional>
#include <string>
#include <vector>

namespace pavrin::engine {

class PlotWriter {
public:
    explicit PlotWriter(std::string& out) : out_(out) {}

    // Text handed on while a run goes: after each load distribution, once the text holds
    // FlushBytes or more, `flush` takes it and the text is emptied. Without it the text grows.
    using Flush = std::function<void(const std::string&)>;
    static constexpr std::size_t FlushBytes = 1 << 20;
    void flushWith(Flush flush) { flush_ = std::move(flush); }

    void curveCount(Int count);
    void curveRow(const TzCurve& curve, Int pointCount);
    void pointRow(const CurvePoint& point);
    void curves(const std::vector<TzCurve>& curves); // generated: at most 30
    void qwCurve(const std::vector<QwPoint>& points);
    void runCounts(Int tipMovements, Int increments, Int units);
    void loadDistribution(const Solution& solution); // never sign-reversed
    void summary(const std::vector<LoadSettlement>& results);

private:
    std::string& out_;
    Flush flush_;
};

} // namespace pavrin::engine
