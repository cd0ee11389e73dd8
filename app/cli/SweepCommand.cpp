#include "SweepCommand.h"

#include "CommandFiles.h"
#include "EngineLibrary.h"
#include "ExitCodes.h"
#include "InterruptGuard.h"
#include "ProgramData.h"
#include "ProjectAnalysis.h"
#include "ProjectFile.h"
#include "ProjectTables.h"
#include "Run.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <fstream>
#include <mutex>
#include <system_error>
#include <thread>

namespace pavrin::cli {

namespace {

constexpr int kMaxSteps = kMaxSweepSteps;

struct ParameterName {
    std::string_view name;
    SweepParameter parameter;
};
constexpr ParameterName kParameters[] = {{"length", SweepParameter::Length},
                                         {"diameter", SweepParameter::Diameter},
                                         {"tip-area", SweepParameter::TipArea},
                                         {"tz-factor", SweepParameter::TzFactor},
                                         {"qw-factor", SweepParameter::QwFactor}};

template <typename T> bool parseWhole(std::string_view text, T& value) {
    const char* end = text.data() + text.size();
    const auto r = std::from_chars(text.data(), end, value);
    return r.ec == std::errc() && r.ptr == end;
}

bool parseNumber(std::string_view text, long double& value) {
    double v = 0;
    if (!parseWhole(text, v) || !std::isfinite(v))
        return false;
    value = v;
    return true;
}

bool parseVary(std::string_view text, SweepRequest& request, std::string& error) {
    const auto eq = text.find('=');
    const std::string_view name = text.substr(0, eq);
    const auto known = std::find_if(std::begin(kParameters), std::end(kParameters),
                                    [&](const ParameterName& n) { return n.name == name; });
    if (known == std::end(kParameters)) {
        error = "unknown parameter " + std::string(name) +
                "; --vary takes length, diameter, tip-area, tz-factor or qw-factor";
        return false;
    }
    request.parameter = known->parameter;
    const std::string_view range = eq == std::string_view::npos ? std::string_view() : text.substr(eq + 1);
    const auto c1 = range.find(':');
    const auto c2 = c1 == std::string_view::npos ? c1 : range.find(':', c1 + 1);
    if (c2 == std::string_view::npos || range.find(':', c2 + 1) != std::string_view::npos) {
        error =
            "--vary " + std::string(name) + " needs FROM:TO:STEPS, as in " + std::string(name) + "=10:20:5";
        return false;
    }
    if (!parseNumber(range.substr(0, c1), request.from) ||
        !parseNumber(range.substr(c1 + 1, c2 - c1 - 1), request.to)) {
        error = "FROM and TO of --vary must be numbers: " + std::string(range);
        return false;
    }
    if (request.from > request.to) {
        error = "FROM must not exceed TO in --vary: " + std::string(range);
        return false;
    }
    if (!parseWhole(range.substr(c2 + 1), request.steps) || request.steps < 1 || request.steps > kMaxSteps) {
        error = "STEPS of --vary must be a whole number from 1 to " + std::to_string(kMaxSteps) + ": " +
                std::string(range.substr(c2 + 1));
        return false;
    }
    return true;
}

} // namespace

bool parseSweepArguments(std::span<const std::string> arguments, SweepRequest& request, std::string& error) {
    bool vary = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        const bool option = a.size() > 2 && a.compare(0, 2, "--") == 0;
        if (option && i + 1 >= arguments.size()) {
            error = a + " needs a value";
            return false;
        }
        if (a == "--vary") {
            if (!parseVary(arguments[++i], request, error))
                return false;
            vary = true;
        } else if (a == "--out") {
            request.out = arguments[++i];
        } else if (a == "--settlement") {
            long double s = 0;
            if (!parseNumber(arguments[++i], s)) {
                error = "--settlement takes a number, not " + arguments[i];
                return false;
            }
            request.settlement = s;
        } else if (a == "--jobs") {
            if (!parseWhole(std::string_view(arguments[++i]), request.jobs) || request.jobs < 1 ||
                request.jobs > 1024) {
                error = "--jobs takes a whole number from 1 to 1024, not " + arguments[i];
                return false;
            }
        } else if (option || (!a.empty() && a[0] == '-')) {
            error = "unknown option " + a;
            return false;
        } else if (!request.project.empty()) {
            error = "one project only: " + a;
            return false;
        } else {
            request.project = a;
        }
    }
    if (request.project.empty() || !vary || request.out.empty()) {
        error = request.project.empty() ? "no project given"
                : !vary                 ? "no --vary given"
                                        : "no --out file given";
        return false;
    }
    return true;
}

int runSweep(const SweepRequest& request, std::atomic<bool>& stop, std::ostream& out, std::ostream& err) {
    OpenedProject base;
    if (const int code = openProject(request.project, base, err))
        return code;
    if (const auto findings = checkFindings(*base.data); !findings.empty()) {
        for (const auto& line : findings)
            err << line << "\n";
        err << "pavrin-cli: " << request.project
            << ": the pre-run check refuses the project; nothing was analysed\n";
        return ExitProjectRefused;
    }
    // An unusable output is refused before the work; the file itself is written only at the end,
    // whole, so that an interrupted or failed sweep leaves an older file as it was.
    if (const auto problem = outputProblem(request.out, request.project)) {
        err << "pavrin-cli: " << *problem << "\n";
        return ExitOutputFile;
    }

    const auto started = std::chrono::steady_clock::now();
    TDesignSweep sweep(std::move(base), request, {}, &stop);
    const std::size_t count = sweep.Values().size();
    {
        std::string threadError;
        const std::size_t jobs = std::min<std::size_t>(
            request.jobs ? request.jobs : std::max(1u, std::thread::hardware_concurrency()),
            std::max<std::size_t>(1, count));
        const std::size_t started_threads = sweep.Start(threadError);
        if (started_threads < jobs)
            err << "pavrin-cli: sweep: only " << started_threads << " of " << jobs
                << " threads could be started (" << threadError << "); the sweep runs on "
                << (started_threads == 0 ? std::string("this thread alone") : std::to_string(started_threads))
                << "\n";
        if (started_threads == 0)
            sweep.RunHere();
        // Progress a few times a second once the sweep has taken a second.
        bool shown = false;
        auto due = started + std::chrono::seconds(1);
        while (!sweep.WaitFor(std::chrono::milliseconds(100)) && !stop) {
            if (const auto now = std::chrono::steady_clock::now(); now >= due) {
                err << "\rsweep: " << sweep.FinishedCount() << " of " << count << " variants analysed"
                    << std::flush;
                shown = true;
                due = now + std::chrono::milliseconds(250);
            }
        }
        sweep.Join(); // variants being analysed are finished
        if (shown)
            err << "\n";
    }

    std::size_t written = 0, refused = 0;
    for (const VariantRow& r : sweep.Rows()) {
        written += r.done;
        refused += r.done && !r.reason.empty();
    }
    if (!writeTextFile(request.out, sweep.Csv(), err))
        return ExitOutputFile;
    if (stop) {
        err << "pavrin-cli: sweep interrupted; " << written << " of " << count << " variants written to "
            << request.out << "\n";
        return ExitInterrupted;
    }
    const std::vector<long double>& values = sweep.Values();
    out << "Wrote " << written << " variants (" << refused << " could not run) of " << request.project
        << " with " << parameterName(request.parameter) << " from " << app::FormatNumber(values.front())
        << " to " << app::FormatNumber(values.back()) << " to " << request.out << "\n";
    return 0;
}

int sweepCommand(std::span<const std::string> arguments, std::ostream& out, std::ostream& err) {
    SweepRequest request;
    std::string error;
    if (!parseSweepArguments(arguments, request, error)) {
        err << "pavrin-cli: sweep: " << error << "\n";
        return ExitUsage;
    }
    std::atomic<bool> stop{false};
    const InterruptGuard guard(stop);
    return runSweep(request, stop, out, err);
}

} // namespace pavrin::cli
