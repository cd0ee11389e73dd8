// pavrin-cli sweep: variants of a project over one design parameter, analysed in memory on
// several threads, one CSV row per variant.
#pragma once

#include "Analysis.h"

#include <atomic>
#include <functional>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace pavrin::app {
class TProgramData;
}

namespace pavrin::cli {

enum class SweepParameter { Length, Diameter, TipArea, TzFactor, QwFactor };

struct SweepRequest {
    std::string project;
    std::string out;
    SweepParameter parameter = SweepParameter::Length;
    long double from = 0, to = 0;
    int steps = 1; // intervals: steps + 1 values from `from` to `to`
    std::optional<long double> settlement;
    unsigned jobs = 0; // 0: every core
};

// Reads the command line; false with a message in `error` when it is not a valid sweep.
bool parseSweepArguments(std::span<const std::string> arguments, SweepRequest& request, std::string& error);

// The values of the sweep, `from` and `to` included (one value when they are equal).
std::vector<long double> sweepValues(const SweepRequest& request);

// Makes `project` the variant for `value`. Length: the pile length, and the last AE point and
// the deepest user t-z curve when they were at the tip. Diameter, tip area: the value. t-z and
// Q-w factor: the value multiplies the project's own t and Q multipliers (the t-z multipliers
// switched on at `value` over the whole pile, the Q-w ones with w kept, when they were off).
void applyVariant(app::TProgramData& project, SweepParameter parameter, long double value);

// What one variant gave: a reason when it could not run, else the figures.
struct VariantRow {
    bool done = false; // analysed, or refused; false: not reached before an interruption
    std::string reason;
    float largestHeadLoad = 0;
    std::optional<float> loadAtSettlement;
    std::vector<std::optional<float>> settlements; // under each head load
};

// Head load at head settlement `s` on the load-settlement curve of the tip-movement pass,
// interpolated linearly on the first segment that holds it; nothing when no segment does.
std::optional<float> headLoadAtSettlement(const std::vector<engine::LoadSettlement>& curve, float s);

// Analyses one variant's input text in memory.
VariantRow analyseVariant(const std::string& input, std::optional<long double> settlement);

// The whole CSV: a header naming the units, then one row per finished variant.
std::string sweepCsv(const SweepRequest& request, int units, const std::vector<long double>& headLoads,
                     const std::vector<long double>& values, const std::vector<VariantRow>& rows);

// How the sweep starts a worker thread; tests put in one that fails as a system out of threads does
// (std::system_error). nullptr puts back std::jthread.
using SweepThreadStarter = std::jthread (*)(std::function<void()> work);
void setSweepThreadStarter(SweepThreadStarter start);

// pavrin-cli sweep PROJECT --vary NAME=FROM:TO:STEPS [--settlement S] [--jobs N] --out FILE.csv.
// `stop` ends the sweep early (Ctrl-C sets it); finished rows are written. Returns the exit code.
int sweepCommand(std::span<const std::string> arguments, std::ostream& out, std::ostream& err);
int runSweep(const SweepRequest& request, std::atomic<bool>& stop, std::ostream& out, std::ostream& err);

} // namespace pavrin::cli
