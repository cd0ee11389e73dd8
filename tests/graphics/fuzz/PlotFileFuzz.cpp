// Arbitrary bytes as a plot data file: reading either succeeds with graphs of
// uniform lines and the axial curve's origin in place, or fails with exactly
// one message; it never reads outside the data or raises anything else.
#include "PltData.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using pavrin::graphics::TGraphPlot;

void CheckUniform(const TGraphPlot& graph) {
    for (int i = 0; i < graph.LineCount(); ++i)
        if (graph.GetLine(i).PointCount() != graph.PointCount())
            std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pavrin::graphics;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const int projectUnits = size > 0 && (data[0] & 1) ? 1 : 2;
    static TResultGraphs graphs; // kept between inputs, as the main window keeps them between loads
    int messages = 0;
    const bool read = graphs.ReadPlotText(text, projectUnits, [&](const std::string&) { ++messages; });
    if (messages != (read ? 0 : 1))
        std::abort();
    if (read) {
        for (TGraphPlot* graph : graphs.All()) {
            CheckUniform(*graph);
            (void)graph->XAxisLabel();
            for (int i = 0; i < graph->LineCount(); ++i)
                (void)graph->GetLine(i).DisplayName();
        }
        if (graphs.pltAxial.LineCount() != 1 || graphs.pltAxial.PointCount() < 2 ||
            graphs.pltPVcurves.LineCount() > 0 && graphs.pltPVcurves.PointCount() < 2)
            std::abort();
    }
    return 0;
}
