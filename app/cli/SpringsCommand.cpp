#include "SpringsCommand.h"

#include "CommandFiles.h"
#include "ExitCodes.h"
#include "ProjectAnalysis.h"

namespace pavrin::cli {

namespace {

void addRow(std::string& out, const std::string& label, float depth, float z, float t) {
    out += label + "," + formatNumber(depth) + "," + formatNumber(z) + "," + formatNumber(t) + ",,\n";
}

} // namespace

std::string springsCsv(const engine::AnalysisResults& results, bool atIncrements) {
    const engine::InputData& d = results.data;
    const auto u = unitLabels(d.units);
    const std::string L(u.length), F(u.force), P(u.pressure);
    std::string out = std::string(atIncrements ? "increment" : "curve") + ",depth (" + L + "),z (" + L +
                      "),t (" + P + "),w (" + L + "),Q (" + F + ")\n";
    if (atIncrements) {
        const auto curves = engine::curvesAtIncrements(d);
        for (std::size_t k = 0; k < curves.size(); ++k)
            for (const engine::SpringPoint& p : curves[k])
                addRow(out, std::to_string(k + 1), p.depth, p.z, p.t);
    } else {
        for (const engine::TzCurve& c : d.curves)
            for (const engine::CurvePoint& p : c.points)
                addRow(out, std::to_string(c.number), c.depth, p.z, p.t);
    }
    for (const engine::QwPoint& p : d.qw)
        out +=
            "Q-w," + formatNumber(d.pileLength) + ",,," + formatNumber(p.w) + "," + formatNumber(p.q) + "\n";
    return out;
}

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
