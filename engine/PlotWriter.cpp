#include "PlotWriter.h"

#include "FieldFormat.h"
#include "ReportWriter.h"

#include <algorithm>

namespace pavrin::engine {

void PlotWriter::curveCount(Int count) {
    appendFreeInt(out_, count);
    out_ += '\n';
}

void PlotWriter::curveRow(const TzCurve& curve, Int pointCount) {
    writeCurveRow(out_, curve, pointCount);
}

void PlotWriter::pointRow(const CurvePoint& point) {
    writePointRow(out_, point);
}

void PlotWriter::curves(const std::vector<TzCurve>& curves) {
    const auto count = std::min<std::size_t>(curves.size(), MaxPlotCurves);
    curveCount(static_cast<Int>(count));
    for (std::size_t k = 0; k < count; ++k) {
        curveRow(curves[k], static_cast<Int>(curves[k].points.size()));
        for (const CurvePoint& p : curves[k].points)
            pointRow(p);
    }
}

void PlotWriter::qwCurve(const std::vector<QwPoint>& points) {
    curveCount(static_cast<Int>(points.size()));
    for (const QwPoint& p : points)
        writeQwRow(out_, p);
}

void PlotWriter::runCounts(Int tipMovements, Int increments, Int units) {
    // The load distributions and summaries to come, so the text grows once.
    constexpr std::size_t DistributionRowBytes = 38;
    constexpr std::size_t SummaryRowBytes = 66;
    const auto tips = static_cast<std::size_t>(std::max<Int>(tipMovements, 0));
    const auto rows = static_cast<std::size_t>(std::max<Int>(increments, 0));
    // When the text is handed on, room for what is held between two hand-overs.
    const std::size_t distributions =
        flush_ ? FlushBytes + rows * DistributionRowBytes : tips * rows * DistributionRowBytes;
    out_.reserve(out_.size() + distributions + 2 * static_cast<std::size_t>(MaxHeadLoads) * SummaryRowBytes +
                 4096);
    appendFreeInt(out_, tipMovements);
    appendFreeInt(out_, increments);
    appendFreeInt(out_, units);
    out_ += '\n';
}

void PlotWriter::loadDistribution(const Solution& solution) {
    for (const IncrementValues& inc : solution.increments)
        writeIncrementPlotRow(out_, inc);
    if (flush_ && out_.size() >= FlushBytes) {
        flush_(out_);
        out_.clear();
    }
}

void PlotWriter::summary(const std::vector<LoadSettlement>& results) {
    for (const LoadSettlement& r : results)
        writeSummaryRow(out_, r);
}

} // namespace pavrin::engine
