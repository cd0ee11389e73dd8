#include "SpringsCommand.h"

#include "CommandFiles.h"
#include "ExitCodes.h"
#include "ProjectAnalysis.h"

namespace pavrin::cli {

int springsCommand(std::span<const std::string> arguments, std::ostream& out, std::ostream& err) {
    const std::string* project = nullptr;
    const std::string* file = nullptr;
    bool atIncrements = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (a == "--out" && hasValue)
            file = &arguments[++i];
        else if (a == "--at" && hasValue) {
            const std::string& at = arguments[++i];
            if (at != "increments" && at != "curves") {
                err << "pavrin-cli: --at takes increments or curves, not " << at << "\n";
                return ExitUsage;
            }
            atIncrements = at == "increments";
        } else if (a.empty() || a[0] == '-' || project)
            return -1;
        else
            project = &a;
    }
    if (!project || !file)
        return -1;
    if (const auto problem = outputProblem(*file, *project)) {
        err << "pavrin-cli: " << *problem << "\n";
        return ExitOutputFile;
    }
    engine::AnalysisResults results;
    if (const int code = analyseProject(*project, results, err))
        return code;
    const std::string csv = springsCsv(results, atIncrements);
    if (!writeTextFile(*file, csv, err))
        return ExitOutputFile;
    std::size_t points = 0;
    for (char c : csv)
        points += c == '\n';
    out << "Wrote " << points - 1 << " points of the " << (atIncrements ? "increments' " : "")
        << "t-z curves and the Q-w curve to " << *file << "\n";
    return 0;
}

} // namespace pavrin::cli
