// The results of a project's analysis as tables: the down-drag figures of every solution (the
// summary) and the t-z and Q-w curves the solver used (the springs). The desktop program and the
// runner show the same rows and write the same CSV text from here.
#pragma once

#include "Analysis.h"

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pavrin::app {
class TProgramData;
}

namespace pavrin::results {

// Unit labels of an engine unit system (1 English, 2 SI).
struct UnitLabels {
    std::string_view length, force, pressure;
};
UnitLabels unitLabels(int units);

// A number in the "C" convention: shortest text that reads back to the same float, or with
// `digits` significant digits.
std::string formatNumber(float value);
std::string formatNumber(float value, int digits);
std::string formatNumber(long double value);

// A CSV field: quoted when it holds a comma, quote or line break.
std::string csvField(std::string_view text);

// The figures of one solution: tip movement, head load, head settlement, largest axial load, its
// depth (the neutral plane) and the drag load; empty where a figure does not exist, with the note
// that says why.
inline constexpr std::size_t kDowndragValues = 6;
struct DowndragRow {
    bool headLoadPass = false; // else the tip-movement pass
    std::size_t number = 0;    // 1-based within its pass
    std::array<std::optional<float>, kDowndragValues> values;
    std::string_view note;
    std::string_view Pass() const { return headLoadPass ? "head load" : "tip movement"; }
};

// One row per tip movement, then one per head load solved.
std::vector<DowndragRow> downdragRows(const engine::AnalysisResults& results);

// The value columns' captions with their unit labels ("head load (kN)"), in row order.
std::array<std::string, kDowndragValues> downdragCaptions(int units);

// The fields of a row as the CSV has them, unquoted: pass, number, the six values (empty where a
// figure does not exist), note.
std::vector<std::string> downdragFields(const DowndragRow& row);

// One row of CSV, the header row included: pass, number, the six values, note.
std::string downdragCsvHeader(int units);
std::string downdragCsvRow(const DowndragRow& row);

// The figures as a table for people (`csv` false) or as CSV.
std::string formatDowndrag(const engine::AnalysisResults& results, bool csv);

// One CSV row per point: the t-z curves (`atIncrements` false: each curve at its own depth,
// numbered as in the report; true: the curve the solver reads at the middle of each increment,
// numbered from the head down), then the Q-w curve at the tip. Values as the engine holds them.
std::string springsCsv(const engine::AnalysisResults& results, bool atIncrements);

// The neutral-plane depth (length below the head, in the engine's units) of each tip movement's
// solution, in input order; none where that solution has no down-drag (no settlement profile, no
// negative side friction, or uplift).
std::vector<std::optional<float>> neutralPlaneDepths(const engine::AnalysisResults& results);

// The text the engine reads for the project saved at `path`: the file itself, or for an older-format
// file the project as File Save would write it. False with the reason in `error` when it cannot be had.
bool projectInput(const std::string& path, app::TProgramData& project, std::string& input,
                  std::string& error);

// Analyses the project saved at `path` in memory (no file written). Returns the run status; when
// the input cannot be had, -1 with the reason in `error`.
int analyseSavedProject(const std::string& path, app::TProgramData& project, engine::AnalysisResults& results,
                        std::string& error);

// Opens the project saved at `path` as the program opens it and analyses it in memory. Returns the
// run status; when it cannot be read, -1 with the reason in `error`.
int analyseProjectFile(const std::string& path, engine::AnalysisResults& results, std::string& error);

// The analysis behind the results shown for the project saved at `projectPath`, whose plot data file
// `plotPath` is loaded: analysed in memory, or none with the reason (the project was saved after its
// plot data file was written, so the file's results are not this project's; or it cannot be analysed).
struct ShownAnalysis {
    std::unique_ptr<engine::AnalysisResults> results;
    std::string reason;
};
ShownAnalysis analyseShownResults(const std::string& projectPath, const std::string& plotPath);

} // namespace pavrin::results
