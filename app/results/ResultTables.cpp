#include "ResultTables.h"

#include "Downdrag.h"
#include "Run.h"
#include "ProgramData.h"
#include "ProjectFile.h"
#include "ProjectFileNames.h"
#include "ProjectTables.h"

#include <charconv>
#include <exception>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace pavrin::results {

UnitLabels unitLabels(int units) {
    if (units == engine::SI)
        return {"m", "kN", "kN/m^2"};
    return {"in", "lb", "lb/in^2"};
}

std::string formatNumber(float value) {
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, r.ptr);
}

std::string formatNumber(float value, int digits) {
    char buf[48];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, digits);
    return std::string(buf, r.ptr);
}

std::string formatNumber(long double value) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, static_cast<double>(value));
    return std::string(buf, r.ptr);
}

std::string csvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos)
        return std::string(text);
    std::string out = "\"";
    for (char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + "\"";
}

namespace {

// Why a solution has no down-drag figures, or nothing when it has them.
std::string_view note(const engine::LoadSettlement& result, bool profile, const engine::DowndragFigures& f) {
    if (result.outsideRange)
        return "outside the computed range";
    if (result.uplift)
        return "uplift: no down-drag";
    if (!profile || !f.downdrag)
        return "no down-drag";
    return {};
}

DowndragRow makeRow(bool headLoadPass, std::size_t number, const engine::LoadSettlement& r,
                    const engine::Solution& solution, bool profile) {
    const engine::DowndragFigures f = engine::downdragFigures(solution);
    DowndragRow row;
    row.headLoadPass = headLoadPass;
    row.number = number;
    row.note = note(r, profile, f);
    row.values[0] = r.tipMovement;
    row.values[1] = r.headLoad;
    if (!r.outsideRange)
        row.values[2] = r.headMovement;
    if (row.note.empty()) {
        row.values[3] = f.maxLoad;
        row.values[4] = f.neutralDepth;
        row.values[5] = f.dragLoad;
    }
    return row;
}

std::string pad(std::string_view text, std::size_t width) {
    return text.size() >= width ? " " + std::string(text)
                                : std::string(width - text.size(), ' ') + std::string(text);
}

} // namespace

std::vector<DowndragRow> downdragRows(const engine::AnalysisResults& results) {
    const bool profile = !results.data.settlement.empty();
    std::vector<DowndragRow> rows;
    for (std::size_t i = 0; i < results.tipResults.size() && i < results.tipSolutions.size(); ++i)
        rows.push_back(makeRow(false, i + 1, results.tipResults[i], results.tipSolutions[i], profile));
    const auto headSolutions = engine::headLoadSolutions(results);
    for (std::size_t i = 0; i < results.headResults.size() && i < headSolutions.size(); ++i)
        rows.push_back(makeRow(true, i + 1, results.headResults[i], headSolutions[i], profile));
    return rows;
}

std::array<std::string, kDowndragValues> downdragCaptions(int units) {
    const auto u = unitLabels(units);
    const std::string L = "(" + std::string(u.length) + ")", F = "(" + std::string(u.force) + ")";
    return {"tip movement " + L,   "head load " + F,           "head settlement " + L,
            "max axial load " + F, "neutral plane depth " + L, "drag load " + F};
}

std::string downdragCsvHeader(int units) {
    std::string out = "pass,number";
    for (const std::string& caption : downdragCaptions(units))
        out += "," + caption;
    return out + ",note\n";
}

std::vector<std::string> downdragFields(const DowndragRow& row) {
    std::vector<std::string> fields{std::string(row.Pass()), std::to_string(row.number)};
    for (const auto& v : row.values)
        fields.push_back(v ? formatNumber(*v) : std::string());
    fields.emplace_back(row.note);
    return fields;
}

std::string downdragCsvRow(const DowndragRow& row) {
    std::string out;
    for (const std::string& field : downdragFields(row))
        out += (out.empty() ? "" : ",") + csvField(field);
    return out + "\n";
}

std::string formatDowndrag(const engine::AnalysisResults& results, bool csv) {
    const auto rows = downdragRows(results);
    if (csv) {
        std::string out = downdragCsvHeader(results.data.units);
        for (const DowndragRow& row : rows)
            out += downdragCsvRow(row);
        return out;
    }
    const auto units = unitLabels(results.data.units);
    const std::string L = std::string(units.length), F = std::string(units.force);
    std::string title = results.data.title;
    title.erase(title.find_last_not_of(' ') + 1);
    std::string out = "Down-drag results: " + title + "\n";
    if (results.data.settlement.empty())
        out += "The project has no soil settlement profile: no down-drag.\n";
    std::optional<bool> pass;
    for (const DowndragRow& row : rows) {
        if (pass != row.headLoadPass) {
            pass = row.headLoadPass;
            out += "\n" + std::string(row.headLoadPass ? "Head-load pass" : "Tip-movement pass") + "\n";
            out += "  No.  Tip movement     Head load  Head settlement  Max axial load   Neutral plane     "
                   "Drag load\n";
            out += "     " + pad("(" + L + ")", 13) + pad("(" + F + ")", 14) + pad("(" + L + ")", 17) +
                   pad("(" + F + ")", 16) + pad("depth (" + L + ")", 16) + pad("(" + F + ")", 14) + "\n";
        }
        out += pad(std::to_string(row.number), 5);
        const std::size_t widths[] = {13, 14, 17, 16, 16, 14};
        std::size_t shown = 0;
        while (shown < row.values.size() && row.values[shown]) {
            // Six significant digits for people; the CSV keeps every digit of the float.
            out += pad(formatNumber(*row.values[shown], 6), widths[shown]);
            ++shown;
        }
        if (!row.note.empty())
            out += "   " + std::string(row.note);
        out += "\n";
    }
    return out;
}

namespace {

void addSpringRow(std::string& out, const std::string& label, float depth, float z, float t) {
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
                addSpringRow(out, std::to_string(k + 1), p.depth, p.z, p.t);
    } else {
        for (const engine::TzCurve& c : d.curves)
            for (const engine::CurvePoint& p : c.points)
                addSpringRow(out, std::to_string(c.number), c.depth, p.z, p.t);
    }
    for (const engine::QwPoint& p : d.qw)
        out +=
            "Q-w," + formatNumber(d.pileLength) + ",,," + formatNumber(p.w) + "," + formatNumber(p.q) + "\n";
    return out;
}

std::vector<std::optional<float>> neutralPlaneDepths(const engine::AnalysisResults& results) {
    const bool profile = !results.data.settlement.empty();
    std::vector<std::optional<float>> depths;
    for (std::size_t i = 0; i < results.tipResults.size() && i < results.tipSolutions.size(); ++i)
        depths.push_back(
            makeRow(false, i + 1, results.tipResults[i], results.tipSolutions[i], profile).values[4]);
    return depths;
}

bool projectInput(const std::string& path, app::TProgramData& project, std::string& input,
                  std::string& error) {
    if (app::LowerFileExt(path) == app::ext::kOldProject) {
        try {
            input = app::ProjectFileText(project);
        } catch (const std::exception& e) {
            error = "cannot be converted: " + std::string(e.what());
            return false;
        }
        return true;
    }
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    if (!in.is_open() || !(in.good() || in.eof())) {
        error = "cannot be read";
        return false;
    }
    input = text.str();
    return true;
}

int analyseSavedProject(const std::string& path, app::TProgramData& project, engine::AnalysisResults& results,
                        std::string& error) {
    std::string input;
    if (!projectInput(path, project, input, error))
        return -1;
    std::string report, plot;
    return engine::analyse(input, report, plot, results);
}

int analyseProjectFile(const std::string& path, engine::AnalysisResults& results, std::string& error) {
    app::TProjectTables tables;
    std::unique_ptr<app::TProgramData> project;
    try {
        project = app::TProgramData::CreateFromFile(tables, path, app::ReadAsCurrentFormat(path), error);
    } catch (const std::exception& e) {
        error = e.what();
    }
    if (!project || !error.empty()) {
        if (error.empty())
            error = "cannot be read";
        return -1;
    }
    const int status = analyseSavedProject(path, *project, results, error);
    project.reset(); // the project before its tables
    return status;
}

ShownAnalysis analyseShownResults(const std::string& projectPath, const std::string& plotPath) {
    ShownAnalysis shown;
    std::error_code projectError, plotError;
    const auto projectTime = std::filesystem::last_write_time(projectPath, projectError);
    const auto plotTime = std::filesystem::last_write_time(plotPath, plotError);
    if (projectError || plotError) {
        shown.reason = "The project has no results: run the analysis first.";
        return shown;
    }
    if (plotTime < projectTime) {
        shown.reason = "The project was saved after its last run: run the analysis again to see its results.";
        return shown;
    }
    auto results = std::make_unique<engine::AnalysisResults>();
    std::string error;
    const int status = analyseProjectFile(projectPath, *results, error);
    if (status == engine::StatusOk)
        shown.results = std::move(results);
    else if (status < 0)
        shown.reason = "The project " + error + ".";
    else
        shown.reason = "The analysis of the saved project stopped with status " + std::to_string(status) +
                       ": see the output report.";
    return shown;
}

} // namespace pavrin::results
