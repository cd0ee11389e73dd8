#include "CheckConvertCommands.h"

#include "CommandFiles.h"
#include "ExitCodes.h"
#include "PreRunCheck.h"
#include "ProgramData.h"
#include "ProjectAnalysis.h"
#include "ProjectFile.h"
#include "ProjectFileNames.h"

#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

namespace pavrin::cli {

namespace {

namespace fs = std::filesystem;

// Opens a project as the program's Open does with "All Files": only a .pvd
// file is read in the older format, every other name in the current one. The
// reading error, if any, is put in `error`; the tables must outlive the project.
std::unique_ptr<app::TProgramData> openProject(app::TProjectTables& tables, const std::string& path,
                                               std::string& error) {
    if (const auto problem = projectFileProblem(path)) {
        error = problem->message;
        return nullptr;
    }
    const bool currentFormat = app::ReadAsCurrentFormat(path);
    return app::TProgramData::CreateFromFile(tables, path, currentFormat, error);
}
} // namespace

int checkCommand(const std::string& project, std::ostream& out, std::ostream& err) {
    app::TProjectTables tables;
    std::string error;
    const auto data = openProject(tables, project, error);
    if (!data || !error.empty()) {
        err << "pavrin-cli: " << project << ": " << error << "\n";
        return 1;
    }
    std::vector<std::string> findings;
    for (const auto& finding : app::CheckBeforeRun(*data))
        findings.push_back(finding.Text());
    // What the program's check passes, the engine reads as the run would hand it over: whatever it
    // stops on is a finding too, in the engine's words.
    if (findings.empty()) {
        std::string input;
        if (!engineInput(project, *data, input, err))
            return 1;
        if (auto refusal = engineRefusal(input))
            findings.push_back(std::move(*refusal));
    }
    for (const auto& finding : findings)
        out << finding << "\n";
    if (findings.empty())
        out << project << ": no findings; the project can be run.\n";
    else
        out << project << ": " << findings.size() << (findings.size() == 1 ? " finding" : " findings")
            << "; the project is not handed to the engine until they are mended.\n";
    return findings.empty() ? 0 : 1;
}

int convertCommand(const std::string& units, const std::string& in, const std::string& out,
                   std::ostream& cout, std::ostream& err) {
    int system = 0;
    if (units == "english")
        system = 1;
    else if (units == "si")
        system = 2;
    else {
        err << "pavrin-cli: --units takes english or si, not " << units << "\n";
        return ExitUsage;
    }
    app::TProjectTables tables;
    std::string error;
    const auto data = openProject(tables, in, error);
    if (!data || !error.empty()) {
        // A project read only in part is never saved over another file.
        err << "pavrin-cli: " << in << ": " << error << "\n";
        return 1;
    }
    if (const auto problem = outputProblem(out, in)) {
        err << "pavrin-cli: " << *problem << "\n";
        return 1;
    }
    std::error_code ec;
    const fs::path target = out.empty() ? fs::path() : fs::absolute(out, ec);
    if (target.empty() || ec) {
        err << "pavrin-cli: " << out << ": not a file name that can be written"
            << (ec ? ": " + ec.message() : std::string()) << "\n";
        return 1;
    }
    data->SetUnits(system);
    data->FileName = target.string();
    try {
        data->SaveToFile();
    } catch (const std::exception& e) {
        err << "pavrin-cli: " << out << ": " << e.what() << "\n";
        return 1;
    }
    cout << "Converted " << in << " to " << (system == 1 ? "English" : "SI") << " units: " << out << "\n";
    return 0;
}

} // namespace pavrin::cli
