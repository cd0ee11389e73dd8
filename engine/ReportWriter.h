// The output report: every fixed-column layout of the report in one place.
#pragma once

#include "Curves.h"
#include "Model.h"
#include "Run.h"
#include "Solver.h"

#include <functional>
#include <string>
#include <vector>

namespace pavrin::engine {

class InputError;

// Row layouts shared by the report and the plot data file.
void writeCurveRow(std::string& out, const TzCurve& curve, Int pointCount);
void writePointRow(std::string& out, const CurvePoint& point);
void writeQwRow(std::string& out, const QwPoint& point);
void writeSummaryRow(std::string& out, const LoadSettlement& result);
void writeIncrementPlotRow(std::string& out, const IncrementValues& increment);

// The head of the report: banner, file block and time block.
void writeReportHead(std::string& out, const RunFileList& files, const ClockStamp& now);

class ReportWriter {
public:
    ReportWriter(std::string& out, const InputData& data) : out_(out), d_(data) {}

    // Text handed on while a run goes: after each tip movement's solution, once the text holds
    // FlushBytes or more, `flush` takes it and the text is emptied. Without it the text grows.
    using Flush = std::function<void(const std::string&)>;
    static constexpr std::size_t FlushBytes = 1 << 20;
    void flushWith(Flush flush) { flush_ = std::move(flush); }

    // Input echo, in the order the input is read.
    void programTitle();
    void curvesHead();
    void curveRow(const TzCurve& curve, Int pointCount);
    void pointRow(const CurvePoint& point);
    void generatedCurves();
    void layers();
    void unitWeights();
    void strength();
    void profileEnd();
    void aeTable();
    void qwBlock();
    void pileBlock();
    void mixedUpliftWarning();
    void headLoads();
    void settlementProfile();
    void sideFactors();
    void tipFactors();

    // Results.
    void tipMovementSolution(const Solution& solution);
    void tipMovementSummary(const std::vector<LoadSettlement>& results);
    void headLoadSummary(const std::vector<LoadSettlement>& results);

    // Endings of a stopped run.
    void lookupWarning(const LookupStop& stop);
    void inputError(const std::string& record, const std::string& message);

private:
    void line(const char* text = "");
    void put(int blanks, const char* text);
    void unitRow(int blanks, const char* english, const char* si);
    void emptyLines(int n);
    void newline() { out_ += '\n'; }
    void summaryHeading();
    const char* depthUnit() const;
    const char* moveUnit() const;
    const char* forceUnit() const;
    const char* pressureUnit() const;

    std::string& out_;
    const InputData& d_;
    Flush flush_;
};

} // namespace pavrin::engine
