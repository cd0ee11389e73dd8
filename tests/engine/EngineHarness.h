// Helpers shared by the engine tests: temporary folders, running the engine on
// an input text (in memory, on real files, or through the library's entry
// point) and reading the plot data file back into plain structs.
#pragma once

#include "Run.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pavrin::test {

namespace fs = std::filesystem;

// A fresh, empty folder under the system's temp folder, removed with all its contents.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const fs::path& path() const { return path_; }
    fs::path operator/(std::string_view name) const { return path_ / name; }

private:
    fs::path path_;
};

// Whole contents of a file as bytes; empty when the file cannot be read.
std::string readFile(const fs::path& file);

// Writes `text` as the whole contents of `file` (bytes unchanged, no line-end translation).
void writeFile(const fs::path& file, std::string_view text);

// Files named in the test data folder and the examples folder of the sources.
fs::path testDataPath(std::string_view name);
fs::path examplesPath(std::string_view name = {});

// The fixed moment written in every report head the tests produce: 7 March 2014, 09:05:03.
engine::ClockStamp fixedClock();

// What one run produced.
struct RunOutput {
    std::int32_t status = -1;
    std::string report;  // output report (.pv3o)
    std::string plot;    // plot data file (.pv3p)
    std::string console; // progress text written to the console stream
};

// Runs `input` through engine::analyse: the report without its head.
RunOutput runInput(std::string_view input);

// Runs `input` through engine::runAnalysis on real files "<project>.pv3d/.pv3o/.pv3p/.pv3r"
// in a fresh temp folder, with version "2014.3.1" and the fixed clock: the whole report.
RunOutput runFiles(std::string_view input, std::string_view project = "project");

// The report with the text after the label of the "Path to file locations" line removed,
// since the temp folder differs from run to run.
std::string maskPathLine(std::string_view report);

// Lines of a text without their line ends ("\n" or "\r\n"); a last line without an end counts.
std::vector<std::string> splitLines(std::string_view text);

// True when the text holds "nan" or "inf" in any letter case.
bool holdsNanOrInf(std::string_view text);

// Writes names.dat in `dir` with the version line and the four paths, one per line.
void writeNamesDat(const fs::path& dir, std::string_view version, const fs::path& input,
                   const fs::path& report, const fs::path& plot, const fs::path& notes);

// Calls the shared library's exported entry (loaded once with dlopen) with `request`,
// with `dir` as the working directory for the call; restores the previous one after.
// `symbol` is "_IPAVRIN" or "IPAVRIN". The stdout text of the call goes to `console`.
std::int32_t callEntry(const fs::path& dir, std::int32_t request, std::string* console = nullptr,
                       const char* symbol = "_IPAVRIN");

// The plot data file as read back, record by record.
struct PlotCurve {
    int number = 0;
    int pointCount = 0;
    double depth = 0;
    std::vector<std::pair<double, double>> points; // (t, z)
};

struct PlotIncrement {
    double depth = 0; // middle of the increment
    double averageLoad = 0;
    double movement = 0;
};

struct PlotSummaryRow {
    double headLoad = 0;
    double headMovement = 0;
    double tipMovement = 0;
    double tipLoad = 0;
};

struct PlotData {
    std::vector<PlotCurve> curves;             // records 1 to 3
    std::vector<std::pair<double, double>> qw; // records 4 and 5: (Q, w)
    int tipMovementCount = 0;                  // record 6
    int incrementCount = 0;
    int units = 0;
    std::vector<PlotIncrement> increments; // record 7, tip movement after tip movement
    std::vector<PlotSummaryRow> summary;   // record 8
    std::vector<PlotSummaryRow> headLoads; // record 9
    bool complete = false; // records 1 to 8 all present and nothing left that is not a record 9 row
};

// Reads the plot data file by lines, as its records lay it out. Returns nullopt (and
// a reason in `error`) when a line does not hold the numbers its record needs; a file
// that simply ends early gives the records read so far with `complete` false.
std::optional<PlotData> parsePlot(std::string_view text, std::string* error = nullptr);

// Rows of the first summary table of a report (the block under the first
// "TOP  LOAD     TOP MOVEMENT" heading): four numbers per row.
std::vector<PlotSummaryRow> reportSummaryRows(std::string_view report, int which = 0);

} // namespace pavrin::test
