#include "DesignSweep.h"

#include "EngineLibrary.h"
#include "ProgramData.h"
#include "ProjectFile.h"
#include "ProjectTables.h"
#include "Run.h"

#include <algorithm>
#include <cmath>
#include <system_error>

namespace pavrin::cli {

namespace {

using app::col::kAeDepth;
using app::col::kCurveDepth;
using app::col::kFactorDepth;
using app::col::kLayerBottom;
using app::col::kTMultiplier;
using app::col::kZMultiplier;

constexpr std::string_view kParameterNames[] = {"length", "diameter", "tip-area", "tz-factor", "qw-factor"};

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
Variant buildVariant(app::TProgramData& project, std::span<const VariantChange> changes) {
    Variant variant;
    const VariantUndo undo(project);
    for (const VariantChange& change : changes)
        applyVariant(project, change.parameter, change.value);
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

std::string_view parameterName(SweepParameter parameter) {
    return kParameterNames[static_cast<int>(parameter)];
}

std::vector<long double> sweepValues(const SweepSettings& request) {
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

bool variantInput(app::TProgramData& project, std::span<const VariantChange> changes, std::string& input,
                  std::string& reason) {
    Variant variant = buildVariant(project, changes);
    input = std::move(variant.input);
    reason = std::move(variant.reason);
    return reason.empty();
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

std::optional<std::string> analyseInput(const std::string& input, engine::AnalysisResults& results) {
    // Each thread keeps its report and plot text between variants, so that their memory is
    // reused rather than asked of the system again for every variant.
    thread_local std::string report, plot;
    report.clear();
    plot.clear();
    const std::int32_t status = engine::analyse(input, report, plot, results);
    if (status != engine::StatusOk)
        return "run status " + std::to_string(status) + " (" + std::string(runStatusMeaning(status)) + ")";
    return std::nullopt;
}

VariantRow analyseVariant(const std::string& input, std::optional<long double> settlement) {
    VariantRow row;
    row.done = true;
    engine::AnalysisResults results;
    if (auto reason = analyseInput(input, results)) {
        row.reason = std::move(*reason);
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

namespace {

std::jthread startJThread(std::function<void()> work) {
    return std::jthread(std::move(work));
}

SweepThreadStarter startThread = startJThread;

} // namespace

void setSweepThreadStarter(SweepThreadStarter start) {
    startThread = start ? start : startJThread;
}

std::vector<std::string> sweepCsvHeader(const SweepSettings& settings, int units,
                                        const std::vector<long double>& headLoads) {
    const auto u = unitLabels(units);
    const std::string L(u.length), F(u.force);
    std::string unit;
    if (settings.parameter == SweepParameter::Length || settings.parameter == SweepParameter::Diameter)
        unit = " (" + L + ")";
    else if (settings.parameter == SweepParameter::TipArea)
        unit = " (" + L + "^2)";
    std::vector<std::string> header = {std::string(parameterName(settings.parameter)) + unit,
                                       "largest head load (" + F + ")"};
    if (settings.settlement)
        header.push_back("head load at settlement " + app::FormatNumber(*settings.settlement) + " " + L +
                         " (" + F + ")");
    for (long double h : headLoads)
        header.push_back("settlement under " + app::FormatNumber(h) + " " + F + " (" + L + ")");
    header.emplace_back("reason");
    return header;
}

std::vector<std::string> sweepCsvFields(const SweepSettings& settings, std::size_t headLoadCount,
                                        long double value, const VariantRow& row) {
    std::vector<std::string> fields = {
        app::FormatNumber(value), row.reason.empty() ? formatNumber(row.largestHeadLoad) : std::string()};
    if (settings.settlement)
        fields.push_back(cell(row.loadAtSettlement));
    for (std::size_t k = 0; k < headLoadCount; ++k)
        fields.push_back(k < row.settlements.size() ? cell(row.settlements[k]) : std::string());
    fields.push_back(row.reason);
    return fields;
}

std::string sweepCsv(const SweepSettings& settings, int units, const std::vector<long double>& headLoads,
                     const std::vector<long double>& values, const std::vector<VariantRow>& rows) {
    const auto line = [](const std::vector<std::string>& fields) {
        std::string text;
        for (std::size_t k = 0; k < fields.size(); ++k)
            text += (k ? "," : "") + csvField(fields[k]);
        return text + "\n";
    };
    std::string out = line(sweepCsvHeader(settings, units, headLoads));
    for (std::size_t i = 0; i < rows.size() && i < values.size(); ++i)
        if (rows[i].done)
            out += line(sweepCsvFields(settings, headLoads.size(), values[i], rows[i]));
    return out;
}

// ---- TDesignSweep ----

TDesignSweep::TDesignSweep(OpenedProject project, const SweepSettings& settings, RowHandler onRow,
                           const std::atomic<bool>* externalStop)
    : project_(std::move(project)), settings_(settings), onRow_(std::move(onRow)),
      externalStop_(externalStop), values_(sweepValues(settings)), rows_(values_.size()) {
    const app::TProgramData& base = *project_.data;
    units_ = base.Units;
    if (base.AssignHeadLoads != 0)
        for (int r = 0; r < base.Tables().TblTopload().RowCount(); ++r)
            headLoads_.push_back(base.Tables().TblTopload().Float(app::col::kValue, r));
}

TDesignSweep::~TDesignSweep() {
    Join();
}

bool TDesignSweep::Stopped() const {
    return stop_ || (externalStop_ != nullptr && externalStop_->load());
}

void TDesignSweep::Stop() {
    {
        // Under the lock, so that a waiter cannot miss the wake-up between its test and its wait.
        const std::lock_guard lock(rowsMutex_);
        stop_ = true;
    }
    progress_.notify_all();
}

// Each worker takes the next value and makes its variant on the one open project (the project model
// is used by one thread at a time, under `projectMutex_`), then analyses it on its own: the engine
// core keeps no state outside the call.
void TDesignSweep::Work() {
    for (;;) {
        std::size_t i = values_.size();
        Variant variant;
        VariantRow row;
        row.done = true;
        try {
            const std::lock_guard lock(projectMutex_);
            i = next_++;
            if (i >= values_.size() || Stopped())
                break;
            const VariantChange change{settings_.parameter, values_[i]};
            variant = buildVariant(*project_.data, std::span(&change, 1));
        } catch (const std::exception& e) {
            variant.reason = std::string("the variant could not be made: ") + e.what();
        }
        if (i >= values_.size())
            break;
        if (variant.reason.empty()) {
            try {
                row = analyseVariant(variant.input, settings_.settlement);
            } catch (const std::exception& e) {
                row.reason = std::string("the analysis failed: ") + e.what();
            }
        } else {
            row.reason = std::move(variant.reason);
        }
        {
            const std::lock_guard lock(rowsMutex_);
            rows_[i] = row;
            ++finished_;
        }
        progress_.notify_all();
        if (onRow_)
            onRow_(i, row);
    }
}

std::size_t TDesignSweep::Start(std::string& threadError) {
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t jobs = std::min<std::size_t>(settings_.jobs ? settings_.jobs : cores,
                                                   std::max<std::size_t>(1, values_.size()));
    for (std::size_t j = 0; j < jobs; ++j) {
        try {
            ++running_;
            workers_.push_back(startThread([this] {
                Work();
                --running_;
                progress_.notify_all();
            }));
        } catch (const std::system_error& e) {
            --running_;
            threadError = e.what();
            break;
        }
    }
    return workers_.size();
}

void TDesignSweep::RunHere() {
    Work();
}

bool TDesignSweep::WaitFor(std::chrono::milliseconds timeout) {
    std::unique_lock lock(rowsMutex_);
    progress_.wait_for(lock, timeout, [this] { return finished_ >= values_.size() || Stopped(); });
    return finished_ >= values_.size();
}

void TDesignSweep::Join() {
    Stop();
    workers_.clear(); // joins: variants being analysed are finished
}

std::size_t TDesignSweep::RunningWorkers() const {
    return running_;
}

std::size_t TDesignSweep::FinishedCount() const {
    const std::lock_guard lock(rowsMutex_);
    return finished_;
}

std::vector<VariantRow> TDesignSweep::Rows() const {
    const std::lock_guard lock(rowsMutex_);
    return rows_;
}

std::string TDesignSweep::Csv() const {
    return sweepCsv(settings_, units_, headLoads_, values_, Rows());
}

} // namespace pavrin::cli
