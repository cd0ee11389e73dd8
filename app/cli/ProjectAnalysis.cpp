#include "ProjectAnalysis.h"

#include "CommandFiles.h"
#include "EngineLibrary.h"
#include "ExitCodes.h"
#include "PreRunCheck.h"
#include "ProgramData.h"
#include "ProjectFile.h"
#include "ProjectFileNames.h"
#include "ProjectTables.h"
#include "Run.h"
#include "Summary.h"

#include <filesystem>
#include <system_error>

namespace pavrin::cli {

namespace fs = std::filesystem;

OpenedProject::OpenedProject() = default;
OpenedProject::~OpenedProject() {
    data.reset(); // the project before its tables
}
OpenedProject::OpenedProject(OpenedProject&&) noexcept = default;
OpenedProject& OpenedProject::operator=(OpenedProject&&) noexcept = default;

int openProject(const std::string& path, OpenedProject& project, std::ostream& err) {
    if (const auto problem = projectFileProblem(path)) {
        err << "pavrin-cli: " << path << ": " << problem->message << "\n";
        return problem->missing ? ExitProjectMissing : ExitProjectUnreadable;
    }
    project.data.reset();
    project.tables = std::make_unique<app::TProjectTables>();
    std::string error;
    const bool currentFormat = app::LowerFileExt(path) != app::ext::kOldProject;
    project.data = app::TProgramData::CreateFromFile(*project.tables, path, currentFormat, error);
    if (!project.data || !error.empty()) {
        err << "pavrin-cli: " << path << ": " << (error.empty() ? "cannot be read" : error) << "\n";
        return ExitProjectUnreadable;
    }
    return 0;
}

std::vector<std::string> checkFindings(const app::TProgramData& project) {
    std::vector<std::string> lines;
    for (const auto& finding : app::CheckBeforeRun(project))
        lines.push_back(finding.Text());
    return lines;
}

bool engineInput(const std::string& path, app::TProgramData& project, std::string& input, std::ostream& err) {
    std::string error;
    if (results::projectInput(path, project, input, error))
        return true;
    err << "pavrin-cli: " << path << ": " << error << "\n";
    return false;
}

std::optional<std::string> engineRefusal(const std::string& input) {
    std::string report, plot;
    const std::int32_t status = engine::analyse(input, report, plot);
    if (status == engine::StatusOk)
        return std::nullopt;
    std::string text =
        "The analysis engine stops on this project (run status " + std::to_string(status) + "):";
    for (const auto& line : extractClosingMessage(report)) {
        std::string trimmed = line;
        trimmed.erase(0, trimmed.find_first_not_of(' '));
        if (!trimmed.empty())
            text += " " + trimmed;
    }
    return text;
}

int analyseProject(const std::string& path, engine::AnalysisResults& results, std::ostream& err) {
    OpenedProject project;
    if (const int code = openProject(path, project, err))
        return code;
    const auto findings = checkFindings(*project.data);
    if (!findings.empty()) {
        for (const auto& line : findings)
            err << line << "\n";
        err << "pavrin-cli: " << path << ": the pre-run check refuses the project (" << findings.size()
            << (findings.size() == 1 ? " finding" : " findings") << "); nothing was analysed\n";
        return ExitProjectRefused;
    }
    // The engine gets the file itself, as a run does; an older-format file as File Save would write it.
    std::string input;
    if (!engineInput(path, *project.data, input, err))
        return ExitProjectUnreadable;
    std::string report, plot;
    const std::int32_t status = engine::analyse(input, report, plot, results);
    if (status != engine::StatusOk) {
        err << "pavrin-cli: " << path << ": the analysis stopped with run status " << status << " ("
            << runStatusMeaning(status) << ")\n"
            << reportEnd(report);
        return status;
    }
    return 0;
}

bool writeTextFile(const std::string& path, const std::string& text, std::ostream& err) {
    return writeOutputFile(path, text, err);
}

std::string reportEnd(const std::string& report) {
    std::string out;
    for (const auto& line : extractClosingMessage(report))
        out += line + "\n";
    return out;
}

} // namespace pavrin::cli
