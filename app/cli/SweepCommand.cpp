#include "SweepCommand.h"

#include "CommandFiles.h"
#include "EngineLibrary.h"
#include "ExitCodes.h"
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
#include <csignal>
#include <fstream>
#include <mutex>
#include <system_error>
#include <thread>

namespace pavrin::cli {

namespace {

using app::col::kAeDepth;
using app::col::kCurveDepth;
using app::col::kFactorDepth;
using app::col::kLayerBottom;
using app::col::kTMultiplier;
using app::col::kZMultiplier;

constexpr int kMaxSteps = 100000;

struct ParameterName {
    std::string_view name;
    SweepParameter parameter;
};
constexpr ParameterName kParameters[] = {{"length", SweepParameter::Length},
                                         {"diameter", SweepParameter::Diameter},
                                         {"tip-area", SweepParameter::TipArea},
                                         {"tz-factor", SweepParameter::TzFactor},
                                         {"qw-factor", SweepParameter::QwFactor}};

std::string_view parameterName(SweepParameter p) {
    for (const auto& n : kParameters)
        if (n.parameter == p)
            return n.name;
    return {};
}

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

bool near(long double a, long double b) {
    return std::fabs(a - b) <= 1e-9L * std::max(1.0L, std::fabs(b));
}

// Row of the largest value in column `c` of `t` (-1 for no rows).
int deepestRow(const app::TGridTable& t, int c) {
    int row = -1;
    for (int r = 0; r < t.RowCount(); ++r)
        if (row < 0 || t.Float(c, r) > t.Float(c, row))
            row = r;
    return row;
}

void setLength(app::TProgramData& p, long double value) {
    const long double old = p.PileLength;
    p.PileLength = value;
    app::TGridTable& ae = p.Tables().TblAE2();
    const int last = ae.RowCount() - 1;
    if (last >= 0 && near(ae.Float(kAeDepth, last), old))
        ae.Column(kAeDepth).SetFloat(last, value);
    if (!p.CurvesGenerated) {
        app::TGridTable& depths = p.Tables().TblPVDepth2();
        const int deepest = deepestRow(depths, kCurveDepth);
        if (deepest >= 0 && near(depths.Float(kCurveDepth, deepest), old))
            depths.Column(kCurveDepth).SetFloat(deepest, value);
    }
}

void scaleSideFactors(app::TProgramData& p, long double value) {
    app::TGridTable& f = p.Tables().TblPVFactors2();
    if (p.ApplySideFactors != 0) {
        for (int r = 0; r < f.RowCount(); ++r)
            f.Column(kTMultiplier).SetFloat(r, f.Float(kTMultiplier, r) * value);
        return;
    }
    // Over the whole pile and every curve: from the head to the deepest of tip, layers and curves.
    long double bottom = p.PileLength;
    const app::TGridTable& layers = p.Tables().D2();
    const app::TGridTable& curves = p.Tables().TblPVDepth2();
    const app::TGridTable& source = p.CurvesGenerated ? layers : curves;
    const int column = p.CurvesGenerated ? kLayerBottom : kCurveDepth;
    if (const int r = deepestRow(source, column); r >= 0)
        bottom = std::max(bottom, source.Float(column, r));
    p.ApplySideFactors = 1;
    f.SetRowCount(2);
    for (int r = 0; r < 2; ++r) {
        f.Column(kFactorDepth).SetFloat(r, r == 0 ? 0.0L : bottom);
        f.Column(kTMultiplier).SetFloat(r, value);
        f.Column(kZMultiplier).SetFloat(r, 1.0L);
    }
}

std::string cell(const std::optional<float>& v) {
    return v ? formatNumber(*v) : std::string();
}

std::atomic<bool>* gStop = nullptr;

extern "C" void onInterrupt(int) {
    if (gStop)
        gStop->store(true);
}

// Ctrl-C sets `stop` while this lives.
class InterruptGuard {
public:
    explicit InterruptGuard(std::atomic<bool>& stop) {
        gStop = &stop;
        previous_ = std::signal(SIGINT, onInterrupt);
    }
    ~InterruptGuard() {
        std::signal(SIGINT, previous_ == SIG_ERR ? SIG_DFL : previous_);
        gStop = nullptr;
    }
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

private:
    void (*previous_)(int) = SIG_DFL;
};

// The values a variant may change, put back when this goes.
class VariantUndo {
public:
    explicit VariantUndo(app::TProgramData& p)
        : p_(p), length_(p.PileLength), diameter_(p.OuterDiameter), tipArea_(p.TipArea), q_(p.QMultiplier),
          w_(p.WMultiplier), sideOn_(p.ApplySideFactors), tipOn_(p.ApplyQwFactors),
          ae_(save(p.Tables().TblAE2(), {kAeDepth})), depths_(save(p.Tables().TblPVDepth2(), {kCurveDepth})),
          factors_(save(p.Tables().TblPVFactors2(), {kFactorDepth, kTMultiplier, kZMultiplier})) {}
    ~VariantUndo() {
        p_.PileLength = length_;
        p_.OuterDiameter = diameter_;
        p_.TipArea = tipArea_;
        p_.QMultiplier = q_;
        p_.WMultiplier = w_;
        p_.ApplySideFactors = sideOn_;
        p_.ApplyQwFactors = tipOn_;
        restore(p_.Tables().TblAE2(), ae_);
        restore(p_.Tables().TblPVDepth2(), depths_);
        restore(p_.Tables().TblPVFactors2(), factors_);
    }
    VariantUndo(const VariantUndo&) = delete;
    VariantUndo& operator=(const VariantUndo&) = delete;

private:
    struct Columns {
        int rows = 0;
        std::vector<int> columns;
        std::vector<long double> values; // row by row
    };
    static Columns save(const app::TGridTable& t, std::vector<int> columns) {
        Columns c{t.RowCount(), std::move(columns), {}};
        for (int r = 0; r < c.rows; ++r)
            for (int col : c.columns)
                c.values.push_back(t.Float(col, r));
        return c;
    }
    static void restore(app::TGridTable& t, const Columns& c) {
        if (t.RowCount() != c.rows)
            t.SetRowCount(c.rows);
        std::size_t k = 0;
        for (int r = 0; r < c.rows; ++r)
            for (int col : c.columns)
                t.Column(col).SetFloat(r, c.values[k++]);
    }

    app::TProgramData& p_;
    long double length_, diameter_, tipArea_, q_, w_;
    int sideOn_, tipOn_;
    Columns ae_, depths_, factors_;
};

// A variant's input text, or why it cannot run.
struct Variant {
    std::string input;
    std::string reason;
};

// Makes the variant for `value` on `project` and puts the project back afterwards.
Variant buildVariant(app::TProgramData& project, SweepParameter parameter, long double value) {
    Variant variant;
    const VariantUndo undo(project);
    applyVariant(project, parameter, value);
    const auto findings = checkFindings(project);
    if (!findings.empty()) {
        variant.reason = "pre-run check: " + findings.front();
        if (findings.size() > 1)
            variant.reason += " (and " + std::to_string(findings.size() - 1) + " more)";
        return variant;
    }
    try {
        variant.input = app::ProjectFileText(project);
    } catch (const std::exception& e) {
        variant.reason = e.what();
    }
    return variant;
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

std::vector<long double> sweepValues(const SweepRequest& request) {
    if (request.from == request.to)
        return {request.from};
    std::vector<long double> values;
    for (int i = 0; i <= request.steps; ++i)
        values.push_back(i == request.steps ? request.to
                                            : request.from + (request.to - request.from) * i / request.steps);
    return values;
}

void applyVariant(app::TProgramData& project, SweepParameter parameter, long double value) {
    switch (parameter) {
    case SweepParameter::Length:
        setLength(project, value);
        break;
    case SweepParameter::Diameter:
        project.OuterDiameter = value;
        break;
    case SweepParameter::TipArea:
        project.TipArea = value;
        break;
    case SweepParameter::TzFactor:
        scaleSideFactors(project, value);
        break;
    case SweepParameter::QwFactor:
        if (project.ApplyQwFactors != 0) {
            project.QMultiplier *= value;
        } else {
            project.ApplyQwFactors = 1;
            project.QMultiplier = value;
            project.WMultiplier = 1;
        }
        break;
    }
}

std::optional<float> headLoadAtSettlement(const std::vector<engine::LoadSettlement>& curve, float s) {
    for (std::size_t i = 0; i < curve.size(); ++i) {
        const engine::LoadSettlement& a = curve[i];
        if (a.headMovement == s)
            return a.headLoad;
        if (i + 1 == curve.size())
            break;
        const engine::LoadSettlement& b = curve[i + 1];
        if ((a.headMovement < s && s < b.headMovement) || (b.headMovement < s && s < a.headMovement))
            return a.headLoad +
                   (s - a.headMovement) * (b.headLoad - a.headLoad) / (b.headMovement - a.headMovement);
    }
    return std::nullopt;
}

VariantRow analyseVariant(const std::string& input, std::optional<long double> settlement) {
    VariantRow row;
    row.done = true;
    // Each thread keeps its report and plot text between variants, so that their memory is
    // reused rather than asked of the system again for every variant.
    thread_local std::string report, plot;
    report.clear();
    plot.clear();
    engine::AnalysisResults results;
    const std::int32_t status = engine::analyse(input, report, plot, results);
    if (status != engine::StatusOk) {
        row.reason =
            "run status " + std::to_string(status) + " (" + std::string(runStatusMeaning(status)) + ")";
        return row;
    }
    for (const auto& r : results.tipResults)
        row.largestHeadLoad = std::max(row.largestHeadLoad, r.headLoad);
    if (settlement)
        row.loadAtSettlement = headLoadAtSettlement(results.tipResults, static_cast<float>(*settlement));
    for (const auto& r : results.headResults)
        row.settlements.push_back(r.outsideRange ? std::nullopt : std::optional(r.headMovement));
    return row;
}

std::string sweepCsv(const SweepRequest& request, int units, const std::vector<long double>& headLoads,
                     const std::vector<long double>& values, const std::vector<VariantRow>& rows) {
    const auto u = unitLabels(units);
    const std::string L(u.length), F(u.force);
    std::string unit;
    if (request.parameter == SweepParameter::Length || request.parameter == SweepParameter::Diameter)
        unit = " (" + L + ")";
    else if (request.parameter == SweepParameter::TipArea)
        unit = " (" + L + "^2)";
    std::string out = std::string(parameterName(request.parameter)) + unit + ",largest head load (" + F + ")";
    if (request.settlement)
        out +=
            ",head load at settlement " + app::FormatNumber(*request.settlement) + " " + L + " (" + F + ")";
    for (long double h : headLoads)
        out += ",settlement under " + app::FormatNumber(h) + " " + F + " (" + L + ")";
    out += ",reason\n";
    for (std::size_t i = 0; i < rows.size() && i < values.size(); ++i) {
        const VariantRow& r = rows[i];
        if (!r.done)
            continue;
        out += app::FormatNumber(values[i]);
        const bool ran = r.reason.empty();
        out += "," + (ran ? formatNumber(r.largestHeadLoad) : std::string());
        if (request.settlement)
            out += "," + cell(r.loadAtSettlement);
        for (std::size_t k = 0; k < headLoads.size(); ++k)
            out += "," + (k < r.settlements.size() ? cell(r.settlements[k]) : std::string());
        out += "," + csvField(r.reason) + "\n";
    }
    return out;
}

namespace {

std::jthread startJThread(std::function<void()> work) {
    return std::jthread(std::move(work));
}

SweepThreadStarter startThread = startJThread;

} // namespace

void setSweepThreadStarter(SweepThreadStarter start) {
    startThread = start ? start : startJThread;
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
    const int units = base.data->Units;
    std::vector<long double> headLoads;
    if (base.data->AssignHeadLoads != 0)
        for (int r = 0; r < base.data->Tables().TblTopload().RowCount(); ++r)
            headLoads.push_back(base.data->Tables().TblTopload().Float(app::col::kValue, r));
    // An unusable output is refused before the work; the file itself is written only at the end,
    // whole, so that an interrupted or failed sweep leaves an older file as it was.
    if (const auto problem = outputProblem(request.out, request.project)) {
        err << "pavrin-cli: " << *problem << "\n";
        return ExitOutputFile;
    }

    const auto started = std::chrono::steady_clock::now();
    const std::vector<long double> values = sweepValues(request);
    std::vector<VariantRow> rows(values.size());

    // Each worker takes the next value and makes its variant on the one open project (the project
    // model is used by one thread at a time, under `projectMutex`), then analyses it on its own:
    // the engine core keeps no state outside the call.
    std::mutex projectMutex, rowsMutex;
    std::size_t next = 0, finished = 0;
    std::condition_variable progress;
    auto work = [&] {
        for (;;) {
            std::size_t i = values.size();
            Variant variant;
            VariantRow row;
            row.done = true;
            try {
                const std::lock_guard lock(projectMutex);
                i = next++;
                if (i >= values.size() || stop)
                    break;
                variant = buildVariant(*base.data, request.parameter, values[i]);
            } catch (const std::exception& e) {
                variant.reason = std::string("the variant could not be made: ") + e.what();
            }
            if (variant.reason.empty()) {
                try {
                    row = analyseVariant(variant.input, request.settlement);
                } catch (const std::exception& e) {
                    row.reason = std::string("the analysis failed: ") + e.what();
                }
            } else {
                row.reason = std::move(variant.reason);
            }
            if (i >= values.size())
                break;
            const std::lock_guard lock(rowsMutex);
            rows[i] = std::move(row);
            ++finished;
            progress.notify_one();
        }
    };
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t jobs =
        std::min<std::size_t>(request.jobs ? request.jobs : cores, std::max<std::size_t>(1, values.size()));
    {
        std::vector<std::jthread> workers;
        std::string threadError;
        for (std::size_t j = 0; j < jobs; ++j) {
            try {
                workers.push_back(startThread(work));
            } catch (const std::system_error& e) {
                threadError = e.what();
                break;
            }
        }
        if (workers.size() < jobs)
            err << "pavrin-cli: sweep: only " << workers.size() << " of " << jobs
                << " threads could be started (" << threadError << "); the sweep runs on "
                << (workers.empty() ? std::string("this thread alone") : std::to_string(workers.size()))
                << "\n";
        if (workers.empty())
            work();
        // Progress a few times a second once the sweep has taken a second.
        bool shown = false;
        auto due = started + std::chrono::seconds(1);
        std::unique_lock lock(rowsMutex);
        while (finished < values.size() && !stop) {
            progress.wait_for(lock, std::chrono::milliseconds(100));
            if (const auto now = std::chrono::steady_clock::now(); now >= due) {
                err << "\rsweep: " << finished << " of " << values.size() << " variants analysed"
                    << std::flush;
                shown = true;
                due = now + std::chrono::milliseconds(250);
            }
        }
        lock.unlock();
        workers.clear(); // joins: variants being analysed are finished
        if (shown)
            err << "\n";
    }

    std::size_t written = 0, refused = 0;
    for (const VariantRow& r : rows) {
        written += r.done;
        refused += r.done && !r.reason.empty();
    }
    if (!writeTextFile(request.out, sweepCsv(request, units, headLoads, values, rows), err))
        return ExitOutputFile;
    if (stop) {
        err << "pavrin-cli: sweep interrupted; " << written << " of " << values.size()
            << " variants written to " << request.out << "\n";
        return ExitInterrupted;
    }
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
