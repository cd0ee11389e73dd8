// The results of a project that has been run, for the commands that show them (plot, xlsx): the
// project read as the program opens it and its plot data file read into the result graphs, with the
// measured load test beside the project drawn on the axial graph.
#pragma once

#include "CommandFiles.h"
#include "ExitCodes.h"
#include "MeasuredLoadTest.h"
#include "PltData.h"
#include "ProgramData.h"
#include "ProjectFileNames.h"

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace pavrin::cli {

// Draws the measured load test beside PROJECT (its companion file) on the axial graph of `graphs`,
// whose plot data were read; without one, or when it cannot be read, the graph shows the prediction
// alone. Returns the reading error. The desktop program and the runner both go through here.
inline std::optional<std::string> ShowMeasuredLoadTest(const std::string& project,
                                                       graphics::TResultGraphs& graphs) {
    const std::string path = app::MeasuredFileName(project);
    app::TMeasuredLoadTest test;
    std::optional<std::string> problem;
    std::error_code ignored;
    if (std::filesystem::exists(path, ignored))
        problem = app::ReadMeasuredLoadTest(path, test);
    std::vector<graphics::TFloatPoint> points;
    if (!problem)
        for (const app::MeasuredPoint& point : test.points)
            points.push_back({point.load, point.settlement});
    graphs.SetMeasuredPoints(points, test.units);
    return problem;
}

// Reads PROJECT and its plot data file into `graphs`. Returns 0, or the exit code after saying why on
// `err`: the project missing, unreadable, or without readable results.
inline int ReadProjectResults(const std::string& project, graphics::TResultGraphs& graphs,
                              std::ostream& err) {
    std::error_code ignored;
    if (const auto problem = projectFileProblem(project)) {
        err << "pavrin-cli: " << project << ": " << problem->message << "\n";
        return problem->missing ? ExitProjectMissing : 1;
    }
    app::TProjectTables tables;
    std::string error;
    const auto data =
        app::TProgramData::CreateFromFile(tables, project, app::ReadAsCurrentFormat(project), error);
    if (!data || !error.empty()) {
        err << "pavrin-cli: " << project << ": " << error << "\n";
        return 1;
    }
    const std::string plotFile = app::ChangeFileExt(project, app::ext::kPlot);
    if (!std::filesystem::is_regular_file(plotFile, ignored)) {
        err << "pavrin-cli: " << project << ": no results (" << plotFile
            << " is missing); run the analysis first\n";
        return 1;
    }
    if (!graphs.ReadPlotFile(plotFile, data->Units)) {
        err << "pavrin-cli: " << plotFile
            << ": the plot data file is incomplete or malformed; run the analysis first\n";
        return 1;
    }
    if (const std::optional<std::string> problem = ShowMeasuredLoadTest(project, graphs))
        err << "pavrin-cli: " << *problem << " The axial graph is drawn without it.\n";
    return 0;
}

} // namespace pavrin::cli
