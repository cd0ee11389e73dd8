#include "PlotCommand.h"

#include "CommandFiles.h"

#include "ProjectResults.h"

#include "ExitCodes.h"
#include "GuiApplication.h"
#include "PlotDraw.h"
#include "PltData.h"
#include "ProgramData.h"
#include "ProjectFile.h"
#include "ProjectFileNames.h"
#include "ResultTables.h"
#include "Run.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <optional>

namespace pavrin::cli {

namespace {

struct PlotOptions {
    std::string project;
    std::string graph;
    std::string out;
    long double widthIn = 6; // the defaults of the window's "Save Attributes" dialog
    long double heightIn = 4;
    int dpi = 72;
};

std::optional<long double> parseNumber(const std::string& text) {
    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// Reads the options; returns 0 when they are usable, else the exit code after the message.
int parseOptions(std::span<const std::string> arguments, PlotOptions& options, std::ostream& err) {
    if (arguments.empty() || arguments.size() % 2 == 0)
        return -1;
    options.project = arguments[0];
    for (std::size_t i = 1; i + 1 < arguments.size(); i += 2) {
        const std::string& name = arguments[i];
        const std::string& value = arguments[i + 1];
        if (name == "--graph") {
            options.graph = value;
        } else if (name == "--out") {
            options.out = value;
        } else if (name == "--width" || name == "--height") {
            const auto inches = parseNumber(value);
            if (!inches || *inches < 2 || *inches > 200) {
                err << "pavrin-cli: " << name << " takes inches from 2 to 200, not \"" << value << "\"\n";
                return ExitUsage;
            }
            (name == "--width" ? options.widthIn : options.heightIn) = *inches;
        } else if (name == "--dpi") {
            const auto dpi = parseNumber(value);
            if (!dpi || *dpi != std::floor(*dpi) || *dpi < 10 || *dpi > 2400) {
                err << "pavrin-cli: --dpi takes a whole number from 10 to 2400, not \"" << value << "\"\n";
                return ExitUsage;
            }
            options.dpi = static_cast<int>(*dpi);
        } else {
            return -1;
        }
    }
    if (options.graph.empty() || options.out.empty())
        return -1;
    return 0;
}

graphics::TGraphPlot* chooseGraph(graphics::TResultGraphs& graphs, const std::string& name) {
    if (name == "load")
        return &graphs.pltLoad;
    if (name == "axial")
        return &graphs.pltAxial;
    if (name == "tz")
        return &graphs.pltPVcurves;
    if (name == "qw")
        return &graphs.PltQW;
    return nullptr;
}

} // namespace

int plotCommand(std::span<const std::string> arguments, std::ostream& out, std::ostream& err) {
    PlotOptions options;
    if (const int status = parseOptions(arguments, options, err); status != 0)
        return status;
    graphics::TResultGraphs graphs;
    graphics::TGraphPlot* graph = chooseGraph(graphs, options.graph);
    if (graph == nullptr) {
        err << "pavrin-cli: --graph takes load, axial, tz or qw, not \"" << options.graph << "\"\n";
        return ExitUsage;
    }
    const QString outFile = QString::fromStdString(options.out);
    const auto format = graphics::PictureFormatOf(outFile);
    if (!format) {
        err << "pavrin-cli: " << options.out << ": the picture file must end in .png, .svg, .pdf or .bmp\n";
        return ExitUsage;
    }

    const std::string& project = options.project;
    if (const auto problem = outputProblem(options.out, project)) {
        err << "pavrin-cli: " << *problem << "\n";
        return 1;
    }
    if (const int status = ReadProjectResults(project, graphs, err); status != 0)
        return status;
    if (graph == &graphs.pltLoad) {
        // The neutral planes as the desktop program marks them; none when the analysis does not run.
        engine::AnalysisResults analysis;
        std::string ignored;
        if (results::analyseProjectFile(project, analysis, ignored) == engine::StatusOk)
            graphs.SetNeutralPlanes(results::neutralPlaneDepths(analysis));
    }

    graphics::ActivateLinesForNewWindow(*graph);
    const auto range = graphics::ComputeRanges(*graph);
    if (!range) {
        err << "pavrin-cli: " << project << ": the " << graph->Caption << " graph has no drawable range\n";
        return 1;
    }

    guiApplication();
    const int dpi = options.dpi;
    const auto widthPx = static_cast<int>(std::lround(options.widthIn * dpi));
    const auto heightPx = static_cast<int>(std::lround(options.heightIn * dpi));
    // The window's layout and text at this resolution: the picture looks like the window scaled to size.
    const auto baseFont = static_cast<int>(std::lround(graphics::kWindowFontHeight * dpi / 96.0));
    auto layout = graphics::WindowLayout(*graph, widthPx, heightPx, dpi, dpi, baseFont);
    layout.ForOutput = true;
    layout.legendVisible = graph->ShowLegend && graph->LineCount() > 0;
    switch (graphics::SavePicture(*graph, *range, layout, *format, outFile, widthPx, heightPx, dpi)) {
    case graphics::TSaveResult::Saved:
        out << "Wrote the " << graph->Caption << " graph of " << project << " to " << options.out << " ("
            << widthPx << " x " << heightPx << " pixels at " << dpi << " dpi)\n";
        return 0;
    case graphics::TSaveResult::OutOfMemory:
        err << "pavrin-cli: " << options.out << ": " << graphics::OutOfMemoryMessage << "\n";
        return 1;
    case graphics::TSaveResult::WriteFailed:
        break;
    }
    err << "pavrin-cli: " << options.out << ": the picture could not be written\n";
    return 1;
}

} // namespace pavrin::cli
