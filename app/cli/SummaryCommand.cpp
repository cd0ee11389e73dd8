#include "SummaryCommand.h"

#include "Downdrag.h"
#include "ProjectAnalysis.h"

#include <optional>
#include <string_view>

namespace pavrin::cli {

namespace {

struct Row {
    std::string_view pass;
    std::size_t number = 0;
    const engine::LoadSettlement* result = nullptr;
    const engine::Solution* solution = nullptr;
};

// Why a row has no down-drag figures, or nothing when it has them.
std::string_view note(const Row& row, bool profile, const engine::DowndragFigures& f) {
    if (row.result->outsideRange)
        return "outside the computed range";
    if (row.result->uplift)
        return "uplift: no down-drag";
    if (!profile || !f.downdrag)
        return "no down-drag";
    return {};
}

std::string pad(std::string_view text, std::size_t width) {
    return text.size() >= width ? " " + std::string(text)
                                : std::string(width - text.size(), ' ') + std::string(text);
}

} // namespace

std::string formatDowndrag(const engine::AnalysisResults& results, bool csv) {
    const auto units = unitLabels(results.data.units);
    const std::string L = std::string(units.length), F = std::string(units.force);
    const bool profile = !results.data.settlement.empty();
    const auto headSolutions = engine::headLoadSolutions(results);
    std::vector<Row> rows;
    for (std::size_t i = 0; i < results.tipResults.size() && i < results.tipSolutions.size(); ++i)
        rows.push_back({"tip movement", i + 1, &results.tipResults[i], &results.tipSolutions[i]});
    for (std::size_t i = 0; i < results.headResults.size(); ++i)
        rows.push_back({"head load", i + 1, &results.headResults[i], &headSolutions[i]});

    std::string out;
    if (csv)
        out = "pass,number,tip movement (" + L + "),head load (" + F + "),head settlement (" + L +
              "),max axial load (" + F + "),neutral plane depth (" + L + "),drag load (" + F + "),note\n";
    else {
        std::string title = results.data.title;
        title.erase(title.find_last_not_of(' ') + 1);
        out = "Down-drag results: " + title + "\n";
        if (!profile)
            out += "The project has no soil settlement profile: no down-drag.\n";
    }
    std::string_view pass;
    for (const Row& row : rows) {
        const engine::DowndragFigures f = engine::downdragFigures(*row.solution);
        const std::string_view why = note(row, profile, f);
        const engine::LoadSettlement& r = *row.result;
        // Empty where a figure does not exist.
        std::vector<std::optional<float>> values = {r.tipMovement, r.headLoad};
        values.push_back(r.outsideRange ? std::nullopt : std::optional(r.headMovement));
        for (float v : {f.maxLoad, f.neutralDepth, f.dragLoad})
            values.push_back(why.empty() ? std::optional(v) : std::nullopt);
        if (csv) {
            out += std::string(row.pass) + "," + std::to_string(row.number);
            for (const auto& v : values)
                out += "," + (v ? formatNumber(*v) : std::string());
            out += "," + csvField(why) + "\n";
            continue;
        }
        if (row.pass != pass) {
            pass = row.pass;
            out +=
                "\n" + std::string(row.pass == "head load" ? "Head-load pass" : "Tip-movement pass") + "\n";
            out += "  No.  Tip movement     Head load  Head settlement  Max axial load   Neutral plane     "
                   "Drag load\n";
            out += "     " + pad("(" + L + ")", 13) + pad("(" + F + ")", 14) + pad("(" + L + ")", 17) +
                   pad("(" + F + ")", 16) + pad("depth (" + L + ")", 16) + pad("(" + F + ")", 14) + "\n";
        }
        out += pad(std::to_string(row.number), 5);
        const std::size_t widths[] = {13, 14, 17, 16, 16, 14};
        std::size_t shown = 0;
        while (shown < values.size() && values[shown]) {
            // Six significant digits for people; the CSV keeps every digit of the float.
            out += pad(formatNumber(*values[shown], 6), widths[shown]);
            ++shown;
        }
        if (!why.empty())
            out += "   " + std::string(why);
        out += "\n";
    }
    return out;
}

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
