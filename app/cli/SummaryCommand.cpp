#include "SummaryCommand.h"

#include "ProjectAnalysis.h"

namespace pavrin::cli {

int summaryCommand(std::span<const std::string> arguments, std::ostream& out, std::ostream& err) {
    bool csv = false;
    const std::string* project = nullptr;
    for (const std::string& a : arguments) {
        if (a == "--csv")
            csv = true;
        else if (!a.empty() && a[0] == '-')
            return -1;
        else if (project)
            return -1;
        else
            project = &a;
    }
    if (!project)
        return -1;
    engine::AnalysisResults results;
    if (const int code = analyseProject(*project, results, err))
        return code;
    out << formatDowndrag(results, csv);
    return 0;
}

} // namespace pavrin::cli
