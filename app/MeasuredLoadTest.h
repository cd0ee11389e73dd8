// The measured load test of a project: the head load and head settlement of a
// static load test on the pile (optionally the measured tip load), kept in the
// companion file <project>.pv3m beside the project file, which itself stays
// exactly the engine's input file.
//
// The file is plain text with "." as the decimal separator: one header line
// that names the units in parentheses, then one line per point,
//   Load (lbs)  Settlement (in)  Tip load (lbs)
//   0 0
//   50000 0.12 8000
// English: "lb" or "lbs" and "in"; SI: "kN" and "m" (letter case aside). The
// tip-load column is optional, point by point; it takes the load's unit.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace pavrin::app {

inline constexpr const char* kMeasuredExt = ".pv3m";

// The most points a measured test holds (the rows of its chart table).
inline constexpr int kMaxMeasuredPoints = 100;
// The longest measured file the reader takes: a hundred lines of three numbers need under 6 kB;
// anything beyond 1 MiB is not a measured test and is refused before it is read.
inline constexpr unsigned long long kMaxMeasuredFileBytes = 1u << 20;

struct MeasuredPoint {
    long double load = 0;                // head load, F
    long double settlement = 0;          // head settlement, L
    std::optional<long double> tipLoad;  // measured tip load, F
    bool operator==(const MeasuredPoint&) const = default;
};

struct TMeasuredLoadTest {
    int units = 1; // 1 English (lb, in), 2 SI (kN, m)
    std::vector<MeasuredPoint> points;
    bool hasTipLoads() const;
    bool operator==(const TMeasuredLoadTest&) const = default;
};

// <project>.pv3m: the project path with its extension replaced.
std::string MeasuredFileName(const std::string& projectPath);

// Reads the file with the program's token reader. Returns the reading error in
// words (the file, the line, what was expected) or nothing when it was read
// whole; `test` is changed only by a whole read.
std::optional<std::string> ReadMeasuredLoadTest(const std::string& path, TMeasuredLoadTest& test);
// The same over the file's text; the error names the line but no file.
std::optional<std::string> ParseMeasuredLoadTest(const std::string& text, TMeasuredLoadTest& test);

// The file's text, lines ended by CR LF; numbers with 8 significant digits.
std::string MeasuredLoadTestText(const TMeasuredLoadTest& test);

// Writes the file whole or not at all (a temporary file beside it renamed over
// it, as the project save does). Returns why it failed, or nothing.
std::optional<std::string> WriteMeasuredLoadTest(const std::string& path, const TMeasuredLoadTest& test);

// Why the test cannot be used with a project in unit system `projectUnits`,
// one message per finding: fewer than two points, negative values, values beyond single
// precision (the analysis's), loads not increasing, another unit system than the project's.
// Empty: usable.
std::vector<std::string> MeasuredLoadTestProblems(const TMeasuredLoadTest& test, int projectUnits);

// Converts the points to unit system 1 (lb, in) or 2 (kN, m) with the factors
// of the unit templates, as the project's tables convert; sets `units`.
void ConvertMeasuredLoadTest(TMeasuredLoadTest& test, int units);

// "English units (lbs, in)" or "SI units (kN, m)".
std::string MeasuredUnitsName(int units);

} // namespace pavrin::app
