#include "Run.h"

#include "Analysis.h"
#include "Curves.h"
#include "InputReader.h"
#include "Messages.h"
#include "PlotWriter.h"
#include "ReportWriter.h"
#include "Solver.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <new>
#include <optional>
#include <ostream>
#include <sstream>

namespace pavrin::engine {

namespace {

class NotFiniteError : public std::exception {};

bool finite(float v) {
    return std::isfinite(v);
}

void requireFiniteCurves(const InputData& d) {
    for (const TzCurve& c : d.curves)
        for (const CurvePoint& p : c.points)
            if (!finite(p.t) || !finite(p.z))
                throw NotFiniteError();
    for (const QwPoint& p : d.qw)
        if (!finite(p.q) || !finite(p.w))
            throw NotFiniteError();
}

void requireFinite(const Solution& s) {
    for (float v : s.load)
        if (!finite(v))
            throw NotFiniteError();
    for (float v : s.movement)
        if (!finite(v))
            throw NotFiniteError();
    for (const IncrementValues& i : s.increments)
        if (!finite(i.t) || !finite(i.loadTransfer) || !finite(i.averageLoad) || !finite(i.shortening) ||
            !finite(i.middleMovement) || !finite(i.middleDepth))
            throw NotFiniteError();
}

void requireFinite(const std::vector<LoadSettlement>& results) {
    for (const LoadSettlement& r : results)
        if (!finite(r.headLoad) || !finite(r.headMovement) || !finite(r.tipMovement) || !finite(r.tipLoad))
            throw NotFiniteError();
}

bool mixesUplift(const std::vector<float>& movements) {
    bool up = false, down = false;
    for (float w : movements)
        (w <= 1e-10f ? up : down) = true;
    return up && down;
}

// Reads the input records in order, echoing each to the report and the plot
// data file as soon as it is read, then generates the curves, applies the
// factors and solves. Returns the run status.
// When `keep` is given, the solutions and summaries are copied into it as they are made.
std::int32_t runRecords(InputReader& in, InputData& d, ReportWriter& report, PlotWriter& plot,
                        AnalysisResults* keep) {
    in.readHeader();
    report.programTitle();
    in.readCurveSource();
    if (d.userCurves()) {
        const Int n = in.readCurveCount();
        report.curvesHead();
        plot.curveCount(n);
        for (Int k = 1; k <= n; ++k) {
            const Int m = in.readCurveHead(k);
            TzCurve& curve = d.curves.back();
            report.curveRow(curve, m);
            plot.curveRow(curve, m);
            for (Int p = 1; p <= m; ++p) {
                in.readCurvePoint(curve, p);
                report.pointRow(curve.points.back());
                plot.pointRow(curve.points.back());
            }
        }
    } else {
        in.readLayers();
        report.layers();
        in.readProfile();
        report.unitWeights();
        report.strength();
        report.profileEnd();
    }
    in.readAe();
    report.aeTable();
    if (d.userCurves()) {
        in.readQw();
        report.qwBlock();
        plot.qwCurve(d.qw);
        in.readPile();
    } else {
        in.readPile();
        if (LookupStop stop = generateCurves(d)) {
            report.lookupWarning(stop);
            return stop.status;
        }
        requireFiniteCurves(d);
        report.generatedCurves();
        report.qwBlock();
        plot.curves(d.curves);
        plot.qwCurve(d.qw);
    }
    in.readTipMovements();
    report.pileBlock();
    if (mixesUplift(d.tipMovements))
        report.mixedUpliftWarning();
    in.readHeadLoads();
    report.headLoads();
    in.readSettlement();
    report.settlementProfile();
    in.readSideFactors();
    if (d.sideFactorsOn) {
        report.sideFactors();
        applySideFactors(d);
    }
    in.readTipFactors();
    if (d.tipFactorsOn) {
        report.tipFactors();
        applyTipFactors(d);
    }
    requireFiniteCurves(d);

    plot.runCounts(static_cast<Int>(d.tipMovements.size()), d.increments, d.units);
    const Solver solver(d);
    bool uplift = false;
    Solution solution;
    std::vector<LoadSettlement> results;
    for (float w : d.tipMovements) {
        results.push_back(solver.solveTipMovement(w, uplift, solution));
        requireFinite(solution);
        if (keep)
            keep->tipSolutions.push_back(solution);
        if (d.outputDetail == 0)
            report.tipMovementSolution(solution);
        plot.loadDistribution(solution);
    }
    requireFinite(results);
    if (keep)
        keep->tipResults = results;
    report.tipMovementSummary(results);
    plot.summary(results);

    if (!d.headLoads.empty()) {
        std::vector<LoadSettlement> loads = solver.headLoadPass(results, d.headLoads, uplift);
        requireFinite(loads);
        if (keep)
            keep->headResults = loads;
        report.headLoadSummary(loads);
        plot.summary(loads);
    }
    return StatusOk;
}

// A report or plot data file written whole. An existing regular file is removed and made anew
// rather than truncated on opening: truncating a file the previous run has just written makes the
// file system write out its old contents first, which takes longer than the analysis of the largest
// input. Made anew, a file never holds a mix of an old run's text and a new one's, whenever the run
// stops. A symbolic link is written through, as before.
class OutputFile {
public:
    explicit OutputFile(const std::string& path) {
        std::error_code ec;
        const auto status = std::filesystem::symlink_status(path, ec);
        if (!ec && std::filesystem::is_regular_file(status))
            std::filesystem::remove(path, ec);
        file_ = std::fopen(path.c_str(), "wb");
    }
    ~OutputFile() {
        if (file_)
            close();
    }
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    explicit operator bool() const { return file_ != nullptr; }

    bool write(const std::string& text) {
        if (!text.empty() && std::fwrite(text.data(), 1, text.size(), file_) != text.size())
            failed_ = true;
        return !failed_;
    }

    bool close() {
        const bool ok = std::fclose(file_) == 0 && !failed_;
        file_ = nullptr;
        return ok;
    }

private:
    std::FILE* file_ = nullptr;
    bool failed_ = false;
};

// What the input stream holds, read in large pieces; as much as could be read.
std::string readAll(std::ifstream& in, const std::string& path) {
    std::string text;
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (!ec && size < (std::uintmax_t{1} << 30))
        text.reserve(static_cast<std::size_t>(size));
    std::array<char, 65536> piece;
    while (in.read(piece.data(), piece.size()) || in.gcount() > 0)
        text.append(piece.data(), static_cast<std::size_t>(in.gcount()));
    return text;
}

} // namespace

namespace {

// Where the report and plot data texts go while the run goes, when they are not kept whole.
struct TextSinks {
    ReportWriter::Flush report;
    PlotWriter::Flush plot;
};

std::int32_t analyseInto(std::string_view input, std::string& report, std::string& plot, InputData& data,
                         AnalysisResults* keep, const TextSinks* sinks = nullptr) {
    ReportWriter writer(report, data);
    PlotWriter plotWriter(plot);
    if (sinks) {
        writer.flushWith(sinks->report);
        plotWriter.flushWith(sinks->plot);
    }
    try {
        InputReader reader(input, data);
        return runRecords(reader, data, writer, plotWriter, keep);
    } catch (const InputError& e) {
        writer.inputError(e.record(), e.what());
    } catch (const NotFiniteError&) {
        writer.inputError("", msg::NotFinite);
    } catch (const std::bad_alloc&) {
        writer.inputError("", "NOT ENOUGH MEMORY FOR THIS INPUT");
    }
    return StatusInputError;
}

} // namespace

std::int32_t analyse(std::string_view input, std::string& report, std::string& plot) {
    InputData data;
    return analyseInto(input, report, plot, data, nullptr);
}

std::int32_t analyse(std::string_view input, std::string& report, std::string& plot,
                     AnalysisResults& results) {
    results = AnalysisResults{};
    return analyseInto(input, report, plot, results.data, &results);
}

std::int32_t runAnalysis(const RunFileList& files, const ClockStamp& now, std::ostream& console) {
    try {
        for (const char* line : msg::ConsoleTitle)
            console << line << '\n';

        OutputFile report(files.report);
        if (!report) {
            console << msg::CannotOpen << files.report << '\n';
            return StatusFileError;
        }
        std::string text;
        writeReportHead(text, files, now);

        std::ifstream input(files.input, std::ios::binary);
        std::optional<OutputFile> plot;
        if (input)
            plot.emplace(files.plot);
        std::FILE* notes = plot && *plot ? std::fopen(files.notes.c_str(), "ab") : nullptr;
        if (!notes) {
            const bool plotOpen = plot && *plot;
            const std::string& failed = !input ? files.input : !plotOpen ? files.plot : files.notes;
            console << msg::CannotOpen << failed << '\n';
            text += "\n     ";
            text += !input ? msg::InputCannotOpen : !plotOpen ? msg::PlotCannotOpen : msg::NotesCannotOpen;
            text += failed + "\n";
            report.write(text);
            report.close();
            return StatusFileError;
        }
        console << "\n\n\n" << msg::Proceeding << '\n';

        const std::string source = readAll(input, files.input);
        input.close();
        // The texts go to the files in pieces as the run makes them, so a large report never
        // lies whole in memory.
        std::string plotText;
        const TextSinks sinks{[&report](const std::string& t) { report.write(t); },
                              [&plot](const std::string& t) { plot->write(t); }};
        InputData data;
        const std::int32_t status = analyseInto(source, text, plotText, data, nullptr, &sinks);

        bool reportWritten = report.write(text);
        bool plotWritten = plot->write(plotText);
        reportWritten = report.close() && reportWritten;
        const bool notesWritten = std::fclose(notes) == 0;
        plotWritten = plot->close() && plotWritten;
        if (!reportWritten || !plotWritten || !notesWritten) {
            // A full disk: the file that could not be written is named on the console and, when the
            // report itself is whole, at its end.
            const std::string& failed = !reportWritten ? files.report
                                        : !plotWritten ? files.plot
                                                       : files.notes;
            console << msg::CannotWrite << failed << '\n';
            if (reportWritten)
                if (std::FILE* tail = std::fopen(files.report.c_str(), "ab")) {
                    const std::string line = std::string("\n     ") +
                                             (!plotWritten ? msg::PlotNotWritten : msg::NotesNotWritten) +
                                             failed + "\n";
                    std::fwrite(line.data(), 1, line.size(), tail);
                    std::fclose(tail);
                }
            return StatusWriteError;
        }
        return status;
    } catch (...) {
        console << msg::FileErrors << '\n';
        return StatusFileError;
    }
}

} // namespace pavrin::engine
