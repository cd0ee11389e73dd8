// pavrin-cli sweep: variants of a project over one design parameter, analysed in memory on
// several threads, one CSV row per variant.
#pragma once

#include "DesignSweep.h"

#include <atomic>
#include <ostream>
#include <span>
#include <string>

namespace pavrin::cli {

// A sweep of the command line: what is swept, the project and the CSV file.
struct SweepRequest : SweepSettings {
    std::string project;
    std::string out;
};

// Reads the command line; false with a message in `error` when it is not a valid sweep.
bool parseSweepArguments(std::span<const std::string> arguments, SweepRequest& request, std::string& error);

// pavrin-cli sweep PROJECT --vary NAME=FROM:TO:STEPS [--settlement S] [--jobs N] --out FILE.csv.
// `stop` ends the sweep early (Ctrl-C sets it); finished rows are written. Returns the exit code.
int sweepCommand(std::span<const std::string> arguments, std::ostream& out, std::ostream& err);
int runSweep(const SweepRequest& request, std::atomic<bool>& stop, std::ostream& out, std::ostream& err);

} // namespace pavrin::cli
