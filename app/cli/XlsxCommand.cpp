#include "XlsxCommand.h"

#include "ProjectResults.h"

#include "CommandFiles.h"
#include "ExitCodes.h"
#include "Platform.h"
#include "PltData.h"
#include "ProgramData.h"
#include "ProjectFile.h"
#include "ProjectFileNames.h"
#include "Workbook.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string_view>

namespace pavrin::cli {

namespace {

// The names of --graphs, in the order of the export list.
constexpr std::array<std::string_view, 4> kGraphNames = {"load", "axial", "tz", "qw"};

// Which graphs NAMES chooses; false for an unknown or empty name.
bool parseGraphs(const std::string& names, std::array<bool, 4>& chosen, std::string& bad) {
    chosen.fill(false);
    std::istringstream list(names);
    std::string name;
    bool any = false;
    while (std::getline(list, name, ',')) {
        bool known = false;
        for (std::size_t i = 0; i < kGraphNames.size(); ++i)
            if (name == kGraphNames[i])
                chosen[i] = known = true;
        if (!known) {
            bad = name;
            return false;
        }
        any = true;
    }
    bad = names;
    return any;
}

// Sends the process's standard error stream to nowhere while it lives.
class QuietStandardError {
public:
    QuietStandardError() : saved_(platform::muteStandardError()) {}
    ~QuietStandardError() { platform::restoreStandardError(saved_); }
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

private:
    int saved_ = -1;
};

} // namespace

int xlsxCommand(std::span<const std::string> arguments, std::ostream& out, std::ostream& err) {
    std::array<bool, 4> chosen{true, true, true, true};
    if (arguments.size() == 4) {
        if (arguments[2] != "--graphs")
            return -1;
        std::string bad;
        if (!parseGraphs(arguments[3], chosen, bad)) {
            err << "pavrin-cli: --graphs takes load, axial, tz and qw separated by commas, not \"" << bad
                << "\"\n";
            return ExitUsage;
        }
    } else if (arguments.size() != 2) {
        return -1;
    }
    const std::string& project = arguments[0];
    const std::string& workbook = arguments[1];
    if (const auto problem = outputProblem(workbook, project)) {
        err << "pavrin-cli: " << *problem << "\n";
        return 1;
    }
    graphics::TResultGraphs graphs;
    if (const int status = ReadProjectResults(project, graphs, err); status != 0)
        return status;
    std::vector<const graphics::TGraphPlot*> selected;
    const auto entries = graphics::ExportableGraphs(graphs);
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (chosen[i])
            selected.push_back(entries[i]);
    try {
        // The workbook library reports its own failures on the standard error stream as well; the
        // command's message says it in the program's words, so the library's line is held back.
        const QuietStandardError quiet;
        graphics::WriteGraphWorkbook(workbook, selected);
    } catch (const graphics::EWorkbookError& e) {
        err << "pavrin-cli: " << e.what() << "\n";
        return 1;
    }
    out << "Wrote " << selected.size() << (selected.size() == 1 ? " graph" : " graphs") << " of " << project
        << " to " << workbook << "\n";
    return 0;
}

} // namespace pavrin::cli
