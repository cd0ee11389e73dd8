// One complete analysis run: run-file list in, report and plot data file out.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

namespace pavrin::engine {

// Run statuses returned by the entry point.
enum RunStatus : std::int32_t {
    StatusOk = 0,
    StatusNotRequested = 1,  // run request other than 1: nothing done
    StatusFileError = 2,     // names.dat or one of its files unusable
    StatusInputError = 3,    // input malformed, beyond capacity or meaningless
    StatusUnitWeight = 4,    // depth below the unit-weight profile
    StatusCohesion = 5,      // depth below the strength profile (cohesion)
    StatusSideFriction = 6,  // ... (ultimate unit side friction)
    StatusTipResistance = 7, // ... (ultimate unit tip resistance)
    StatusFrictionAngle = 8, // ... (friction angle)
    StatusWriteError = 9,    // a file of the run could not be written whole (a full disk)
};

// The four files of a run and the front end's version text, as read from names.dat.
struct RunFileList {
    std::string version; // exactly 12 characters, blank-padded
    std::string input;   // paths, trailing blanks removed
    std::string report;
    std::string plot;
    std::string notes;
};

// Local wall-clock time written in the report head.
struct ClockStamp {
    int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

ClockStamp localNow();

// Reads names.dat from `path`. On failure writes "  FILE ERRORS!" to `console`
// where a path line fails to read and returns false.
bool readRunFileList(const std::string& path, RunFileList& out, std::ostream& console);

// Performs one run on the given files (report head, input, curves, solution,
// report and plot data) and returns the run status. Never throws.
std::int32_t runAnalysis(const RunFileList& files, const ClockStamp& now, std::ostream& console);

// The part of a run after the report head: reads `input`, appends the report body
// to `report` and the plot data to `plot`. Returns the run status. Never throws.
std::int32_t analyse(std::string_view input, std::string& report, std::string& plot);

} // namespace pavrin::engine
