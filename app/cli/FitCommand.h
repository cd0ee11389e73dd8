// pavrin-cli fit: calibrates a project to its measured load test (the companion .pv3m file or another
// one) by the uniform t-z multiplier and optionally the Q-w multiplier, prints the factors and the fit,
// and writes the calibrated project and the per-point table on request.
#pragma once

#include "Calibration.h"

#include <atomic>
#include <ostream>
#include <span>
#include <string>

namespace pavrin::cli {

struct FitRequest {
    std::string project;
    std::string measured; // empty: the project's own measured file
    bool varyQw = false;
    std::string out;      // the calibrated project; empty: none
    std::string csv;      // the per-point table; empty: none
};

// Reads the command line; false with a message in `error` when it is not a valid fit.
bool parseFitArguments(std::span<const std::string> arguments, FitRequest& request, std::string& error);

// pavrin-cli fit PROJECT --vary tz-factor[,qw-factor] [--measured FILE] [--out FITTED] [--csv FILE].
// Returns the exit code. `stop` ends the fit early (Ctrl-C sets it); nothing is written then.
int fitCommand(std::span<const std::string> arguments, std::ostream& out, std::ostream& err);
int runFit(const FitRequest& request, std::atomic<bool>& stop, std::ostream& out, std::ostream& err);

} // namespace pavrin::cli
