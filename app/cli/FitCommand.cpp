#include "FitCommand.h"

#include "CommandFiles.h"
#include "ExitCodes.h"
#include "InterruptGuard.h"
#include "ProgramData.h"
#include "ProjectAnalysis.h"
#include "ProjectFile.h"
#include "ProjectPaths.h"

#include <filesystem>
#include <tuple>

namespace pavrin::cli {

namespace {


bool parseVary(const std::string& text, FitRequest& request, std::string& error) {
    if (text == "tz-factor") {
        request.varyQw = false;
        return true;
    }
    if (text == "tz-factor,qw-factor" || text == "qw-factor,tz-factor") {
        request.varyQw = true;
        return true;
    }
    error = "--vary takes tz-factor or tz-factor,qw-factor, not " + text;
    return false;
}

std::string number(long double v) {
    return app::FormatNumber(v);
}

} // namespace

bool parseFitArguments(std::span<const std::string> arguments, FitRequest& request, std::string& error) {
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
        } else if (a == "--measured") {
            request.measured = arguments[++i];
        } else if (a == "--out") {
            request.out = arguments[++i];
        } else if (a == "--csv") {
            request.csv = arguments[++i];
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
    if (request.project.empty() || !vary) {
        error = request.project.empty() ? "no project given" : "no --vary given";
        return false;
    }
    if (!request.out.empty() && !request.csv.empty() && app::SameFile(request.out, request.csv)) {
        error = "--out and --csv name the same file: " + request.out;
        return false;
    }
    return true;
}

int runFit(const FitRequest& request, std::atomic<bool>& stop, std::ostream& out, std::ostream& err) {
    OpenedProject project;
    if (const int code = openProject(request.project, project, err))
        return code;
    if (const auto findings = checkFindings(*project.data); !findings.empty()) {
        for (const auto& line : findings)
            err << line << "\n";
        err << "pavrin-cli: " << request.project
            << ": the pre-run check refuses the project; nothing was analysed\n";
        return ExitProjectRefused;
    }

    const std::string measuredPath =
        request.measured.empty() ? app::MeasuredFileName(request.project) : request.measured;
    {
        std::error_code ec;
        if (!std::filesystem::exists(measuredPath, ec)) {
            err << "pavrin-cli: " << measuredPath << ": no measured load test"
                << (request.measured.empty() ? " beside the project (enter one in the program's Data menu, "
                                               "or name a file with --measured)"
                                             : "")
                << "\n";
            return ExitProjectUnreadable;
        }
    }
    app::TMeasuredLoadTest test;
    if (const auto error = app::ReadMeasuredLoadTest(measuredPath, test)) {
        err << "pavrin-cli: " << measuredPath << ": " << *error << "\n";
        return ExitProjectRefused;
    }
    if (const auto problems = app::MeasuredLoadTestProblems(test, project.data->Units); !problems.empty()) {
        for (const auto& line : problems)
            err << line << "\n";
        err << "pavrin-cli: " << measuredPath << ": the measured load test cannot be used; nothing was analysed\n";
        return ExitProjectRefused;
    }

    // Outputs are refused before the work; none may be the project's files or the measured test.
    for (const std::string* output : {&request.out, &request.csv}) {
        if (output->empty())
            continue;
        std::optional<std::string> problem = outputProblem(*output, request.project);
        if (!problem && app::SameFile(*output, measuredPath))
            problem = "The output \"" + *output + "\" is the measured load test; choose another file.";
        if (!problem && output == &request.out)
            problem = app::ProjectPathProblem(*output);
        if (problem) {
            err << "pavrin-cli: " << *problem << "\n";
            return ExitOutputFile;
        }
    }

    FitSettings settings;
    settings.varyQw = request.varyQw;
    const FitResult result = fitToLoadTest(*project.data, test, settings, &stop);
    if (!result.done) {
        err << "pavrin-cli: " << request.project << ": no fit was made: " << result.reason << "\n";
        return result.stopped ? ExitInterrupted : ExitProjectRefused;
    }
    const auto u = unitLabels(project.data->Units);
    const std::string L(u.length);
    if (result.stopped) {
        err << "pavrin-cli: fit interrupted after " << result.analyses << " analyses (best so far: t-z multiplier "
            << number(result.tzFactor);
        if (result.varyQw)
            err << ", Q-w multiplier " << number(result.qwFactor);
        err << ", RMS " << number(result.after.rms) << " " << L << "); nothing was written\n";
        return ExitInterrupted;
    }

    const std::size_t n = test.points.size();
    out << "Fitted " << request.project << " to " << n << " measured points of " << measuredPath << "\n"
        << "  t-z multiplier: " << number(result.tzFactor) << "\n";
    if (result.varyQw)
        out << "  Q-w multiplier: " << number(result.qwFactor) << "\n";
    out << "  RMS settlement error: " << number(result.before.rms) << " " << L << " before (factors 1), "
        << number(result.after.rms) << " " << L << " after\n"
        << "  analyses: " << result.analyses
        << (result.converged ? " (factors settled within the tolerance)"
                             : " (the most the search may make; the factors had not settled)")
        << "\n";
    for (const auto& [name, factor, varied] : {std::tuple{"t-z", result.tzFactor, true},
                                                std::tuple{"Q-w", result.qwFactor, result.varyQw}})
        if (varied && factorAtBound(factor, settings))
            out << "  the " << name << " multiplier is at a bound of the search (" << number(kFitFactorMin)
                << " to " << number(kFitFactorMax)
                << "): the fit is the closest the bounds allow, not a minimum between them\n";
    out << "  beyond the predicted curve: " << result.before.misses << " of " << n << " points before, "
        << result.after.misses << " after";
    if (result.before.misses + result.after.misses > 0)
        out << " (each counted with the distance to the curve's largest settlement plus "
            << number(kFitMissFraction * 100) << " % of it)";
    out << "\n";

    if (!request.out.empty()) {
        std::string text;
        try {
            applyFit(*project.data, result);
            text = app::ProjectFileText(*project.data);
        } catch (const std::exception& e) {
            err << "pavrin-cli: " << request.out << ": the calibrated project cannot be written: " << e.what()
                << "\n";
            return ExitOutputFile;
        }
        if (!writeOutputFile(request.out, text, err))
            return ExitOutputFile;
        out << "Wrote the calibrated project to " << request.out << "\n";
    }
    if (!request.csv.empty()) {
        if (!writeOutputFile(request.csv, fitCsv(result, test, project.data->Units), err))
            return ExitOutputFile;
        out << "Wrote the per-point table to " << request.csv << "\n";
    }
    return 0;
}

int fitCommand(std::span<const std::string> arguments, std::ostream& out, std::ostream& err) {
    FitRequest request;
    std::string error;
    if (!parseFitArguments(arguments, request, error)) {
        err << "pavrin-cli: fit: " << error << "\n";
        return ExitUsage;
    }
    std::atomic<bool> stop{false};
    const InterruptGuard guard(stop);
    return runFit(request, stop, out, err);
}

} // namespace pavrin::cli
