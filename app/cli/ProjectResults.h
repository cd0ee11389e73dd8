// The results of a project that has been run, for the commands that show them (plot, xlsx): the
// project read as the program opens it and its plot data file read into the result graphs.
#pragma once

#include "CommandFiles.h"
#include "ExitCodes.h"
#include "PltData.h"
#include "ProgramData.h"
#include "ProjectFileNames.h"

#include <filesystem>
#include <ostream>
#include <string>

namespace pavrin::cli {

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
    return 0;
}

} // namespace pavrin::cli
