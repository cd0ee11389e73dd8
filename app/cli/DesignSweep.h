// The design sweep: variants of a project over one design parameter, analysed in memory by the
// engine core on worker threads. `pavrin-cli sweep` and the program's design sweep window both run
// their variants through TDesignSweep, so that both give the same figures.
#pragma once

#include "Analysis.h"
#include "ProjectAnalysis.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <optional>
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

// The name of a parameter on the command line and in the CSV header ("length", "tip-area", ...).
std::string_view parameterName(SweepParameter parameter);

// What is swept: the parameter, its range and the capacity criterion.
struct SweepSettings {
    SweepParameter parameter = SweepParameter::Length;
    long double from = 0, to = 0;
    int steps = 1; // intervals: steps + 1 values from `from` to `to`
    std::optional<long double> settlement;
    unsigned jobs = 0; // 0: every core
};

// The most intervals a sweep may have.
inline constexpr int kMaxSweepSteps = 100000;

// The values of the sweep, `from` and `to` included (one value when they are equal).
std::vector<long double> sweepValues(const SweepSettings& settings);

// Makes `project` the variant for `value`. Length: the pile length, and the last AE point and
// the deepest user t-z curve when they were at the tip. Diameter, tip area: the value. t-z and
// Q-w factor: the value multiplies the project's own t and Q multipliers (the t-z multipliers
// switched on at `value` over the whole pile, the Q-w ones with w kept, when they were off).
void applyVariant(app::TProgramData& project, SweepParameter parameter, long double value);

// One change of a variant: a parameter and its value, as applyVariant makes it.
struct VariantChange {
    SweepParameter parameter = SweepParameter::Length;
    long double value = 0;
};

// The input text of the variant of `project` with `changes` applied in order; `project` is put back
// afterwards. False with `reason` ("pre-run check: ...") when the variant cannot run.
bool variantInput(app::TProgramData& project, std::span<const VariantChange> changes, std::string& input,
                  std::string& reason);

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

// Analyses an input text in memory on the engine core; why it stopped ("run status N (...)"), or
// nothing when it completed.
std::optional<std::string> analyseInput(const std::string& input, engine::AnalysisResults& results);

// Analyses one variant's input text in memory.
VariantRow analyseVariant(const std::string& input, std::optional<long double> settlement);

// The CSV header's fields (naming the units) and one finished variant's fields, unquoted.
std::vector<std::string> sweepCsvHeader(const SweepSettings& settings, int units,
                                        const std::vector<long double>& headLoads);
std::vector<std::string> sweepCsvFields(const SweepSettings& settings, std::size_t headLoadCount,
                                        long double value, const VariantRow& row);

// The whole CSV: the header, then one row per finished variant.
std::string sweepCsv(const SweepSettings& settings, int units, const std::vector<long double>& headLoads,
                     const std::vector<long double>& values, const std::vector<VariantRow>& rows);

// How the sweep starts a worker thread; tests put in one that fails as a system out of threads does
// (std::system_error). nullptr puts back std::jthread.
using SweepThreadStarter = std::jthread (*)(std::function<void()> work);
void setSweepThreadStarter(SweepThreadStarter start);

// One sweep over an opened project that the pre-run check passed. Start() puts the variants on
// worker threads; each finished variant is stored and handed to `onRow` (on the worker's thread,
// with its index in Values()). Stop() lets no further variant start; the ones being analysed
// finish. The destructor stops the sweep and joins every worker.
class TDesignSweep {
public:
    using RowHandler = std::function<void(std::size_t index, const VariantRow& row)>;

    // `externalStop`, when given, stops the sweep too once it is set (a Ctrl-C flag).
    TDesignSweep(OpenedProject project, const SweepSettings& settings, RowHandler onRow = {},
                 const std::atomic<bool>* externalStop = nullptr);
    ~TDesignSweep();
    TDesignSweep(const TDesignSweep&) = delete;
    TDesignSweep& operator=(const TDesignSweep&) = delete;

    const SweepSettings& Settings() const { return settings_; }
    const std::vector<long double>& Values() const { return values_; }
    int Units() const { return units_; }
    const std::vector<long double>& HeadLoads() const { return headLoads_; }

    // Starts the workers (Settings().jobs, or one per core; never more than there are values) and
    // returns how many could be started; `threadError` gets the system's words when not all.
    std::size_t Start(std::string& threadError);
    // Runs the variants on the calling thread until all are done or the sweep is stopped.
    void RunHere();
    void Stop();
    bool Stopped() const;
    // Waits until every variant is finished, the sweep is stopped, or `timeout` has passed; true
    // when every variant is finished.
    bool WaitFor(std::chrono::milliseconds timeout);
    // Stops and joins the workers; the variants being analysed finish first.
    void Join();
    // How many workers are running (0 once every worker has ended).
    std::size_t RunningWorkers() const;

    std::size_t FinishedCount() const;
    std::vector<VariantRow> Rows() const;
    std::string Csv() const;

private:
    void Work();

    OpenedProject project_;
    SweepSettings settings_;
    RowHandler onRow_;
    const std::atomic<bool>* externalStop_;
    int units_ = 1;
    std::vector<long double> headLoads_;
    std::vector<long double> values_;

    std::atomic<bool> stop_{false};
    std::atomic<std::size_t> running_{0};
    std::mutex projectMutex_;
    mutable std::mutex rowsMutex_;
    std::condition_variable progress_;
    std::size_t next_ = 0;     // under projectMutex_
    std::size_t finished_ = 0; // under rowsMutex_
    std::vector<VariantRow> rows_;
    std::vector<std::jthread> workers_;
};

} // namespace pavrin::cli
