// The summary, springs and sweep commands: the down-drag figures against a closed form, the
// exported curves against the input and the report, the sweep against separate runs of its
// variants saved as projects, and the command-line refusals.
#include "Downdrag.h"
#include "ExitCodes.h"
#include "ProgramData.h"
#include "ProjectAnalysis.h"
#include "ProjectTables.h"
#include "Run.h"
#include "SpringsCommand.h"
#include "Summary.h"
#include "SummaryCommand.h"
#include "SweepCommand.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <system_error>
#include <thread>

namespace pavrin::cli {
namespace {

namespace fs = std::filesystem;

const std::string kExamples = PAVRIN_EXAMPLES;

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeText(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::vector<std::vector<std::string>> csvRows(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::vector<std::string> cells;
        std::string cell;
        bool quoted = false;
        for (char c : line) {
            if (c == '"')
                quoted = !quoted;
            else if (c == ',' && !quoted)
                cells.push_back(std::exchange(cell, {}));
            else
                cell += c;
        }
        cells.push_back(cell);
        rows.push_back(cells);
    }
    return rows;
}

fs::path scratch(const std::string& name) {
    const fs::path dir = fs::temp_directory_path() / ("pavrin-analysis-test-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    return dir / name;
}

// A rigid pile (AE 1e13 lb) of length L with a constant unit side friction f mobilised at once
// and a linear Q-w curve Q = k w, in soil whose settlement falls linearly from s0 at the head to
// 0 at the tip (or in a layer settling s0 uniformly over soil that does not settle).
struct RigidPile {
    double L = 600, d = 12, f = 2, s0 = 1, k = 50000;
    int increments = 60;

    std::string linearProfile() const { return "2\r\n0 " + num(s0) + "\r\n" + num(L) + " 0\r\n"; }
    std::string layerProfile(double H) const {
        return "4\r\n0 " + num(s0) + "\r\n" + num(H) + " " + num(s0) + "\r\n" + num(H) + " 0\r\n" + num(L) +
               " 0\r\n";
    }
    static std::string num(double v) {
        std::ostringstream o;
        o << v;
        return o.str();
    }

    std::string input(const std::vector<double>& tipMovements, const std::string& profile) const {
        std::ostringstream in;
        in << "Rigid pile in settling soil\r\n"
           << increments << " 1 1\r\n1 \r\n1\r\n1 0 3\r\n0 0\r\n"
           << f << " 1E-6\r\n"
           << f << " 100\r\n2\r\n1E13 0\r\n1E13 " << L << "\r\n2\r\n0 0\r\n"
           << k * 10 << " 10\r\n1E-6 " << L << " " << d << " 113\r\n"
           << tipMovements.size() << "\r\n";
        for (double w : tipMovements)
            in << w << "\r\n";
        in << " 0\r\n" << (profile.empty() ? " 0\r\n" : profile) << " 0\r\n 0\r\n";
        return in.str();
    }
    // Closed form: the pile moves w everywhere, so the soil passes it at depth xn where its
    // settlement equals w (in the linear profile) or at the base of the settling layer; negative
    // friction above, positive below, the tip load k w at the tip.
    double neutralDepth(double w) const { return L * (1 - w / s0); }
    double maxLoad(double w, double xn) const { return k * w + f * M_PI * d * (L - xn); }
    double headLoad(double w, double xn) const { return maxLoad(w, xn) - f * M_PI * d * xn; }
};

TEST(Downdrag, NeutralPlaneAndDragLoadMatchTheClosedFormWithinAnIncrement) {
    const RigidPile pile;
    const std::vector<double> movements = {0.5, 0.7, 0.9, 0.555}; // the last between two nodes
    engine::AnalysisResults results;
    std::string report, plot;
    const double dL = pile.L / pile.increments;
    const double perIncrement = pile.f * M_PI * pile.d * dL;
    const double layerBase = 253; // between two nodes
    for (const bool layer : {false, true}) {
        const std::string profile = layer ? pile.layerProfile(layerBase) : pile.linearProfile();
        ASSERT_EQ(engine::analyse(pile.input(movements, profile), report, plot, results), engine::StatusOk);
        ASSERT_EQ(results.tipSolutions.size(), movements.size());
        for (std::size_t i = 0; i < movements.size(); ++i) {
            const double w = movements[i];
            const double xn = layer ? layerBase : pile.neutralDepth(w);
            const auto f = engine::downdragFigures(results.tipSolutions[i]);
            SCOPED_TRACE((layer ? "settling layer, tip movement " : "linear profile, tip movement ") +
                         std::to_string(w));
            EXPECT_TRUE(f.downdrag);
            EXPECT_NEAR(f.neutralDepth, xn, dL);
            EXPECT_NEAR(f.maxLoad, pile.maxLoad(w, xn), perIncrement);
            EXPECT_NEAR(f.headLoad, pile.headLoad(w, xn), 2 * perIncrement);
            EXPECT_NEAR(f.dragLoad, f.maxLoad - f.headLoad, 1e-3);
            EXPECT_NEAR(f.dragLoad, pile.maxLoad(w, xn) - pile.headLoad(w, xn), 2 * perIncrement);
        }
    }
    ASSERT_EQ(engine::analyse(pile.input(movements, pile.linearProfile()), report, plot, results),
              engine::StatusOk);
    // The same figures reach the command's table; without the profile there is no down-drag.
    const auto rows = csvRows(formatDowndrag(results, true));
    ASSERT_EQ(rows.size(), 1 + movements.size());
    EXPECT_EQ(rows[0][0], "pass");
    EXPECT_NEAR(std::stod(rows[2][6]), pile.neutralDepth(0.7), dL);
    EXPECT_EQ(rows[2][8], "");

    ASSERT_EQ(engine::analyse(pile.input(movements, ""), report, plot, results), engine::StatusOk);
    for (const auto& s : results.tipSolutions)
        EXPECT_FALSE(engine::downdragFigures(s).downdrag);
    for (const auto& row : csvRows(formatDowndrag(results, true))) {
        if (row[0] != "pass") {
            EXPECT_EQ(row.back(), "no down-drag");
        }
    }
}

TEST(Springs, UserCurvesAreTheInputTimesTheFactorsAndGeneratedOnesThoseOfTheReport) {
    // User curves with factors: t x 0.8 down to 240 in, x 1 from 360 in; Q x 0.9, w x 1.1.
    engine::AnalysisResults results;
    std::ostringstream err;
    ASSERT_EQ(analyseProject(kExamples + "/user-curves-downdrag.pv3d", results, err), 0) << err.str();
    const auto user = csvRows(springsCsv(results, false));
    EXPECT_EQ(user[0],
              (std::vector<std::string>{"curve", "depth (in)", "z (in)", "t (lb/in^2)", "w (in)", "Q (lb)"}));
    // Curve 2 at 120 in and curve 5 at 480 in of the input, and its Q-w curve.
    const std::map<std::string, std::vector<std::pair<float, float>>> input = {
        {"2", {{0, 0}, {0.02f, 0.75f}, {0.05f, 1.2f}, {0.1f, 1.5f}, {0.3f, 1.35f}, {3, 1.35f}}},
        {"5", {{0, 0}, {0.02f, 2.5f}, {0.05f, 4}, {0.1f, 5}, {0.3f, 4.5f}, {3, 4.5f}}},
        {"Q-w", {{0, 0}, {0.1f, 20000}, {0.3f, 40000}, {0.6f, 55000}, {1, 60000}, {3, 60000}}}};
    std::map<std::string, std::size_t> seen;
    for (const auto& row : user) {
        const auto it = input.find(row[0]);
        if (it == input.end())
            continue;
        const auto [x, y] = it->second.at(seen[row[0]]++);
        if (row[0] == "Q-w") {
            EXPECT_FLOAT_EQ(std::stof(row[4]), x * 1.1f);
            EXPECT_FLOAT_EQ(std::stof(row[5]), y * 0.9f);
        } else {
            EXPECT_FLOAT_EQ(std::stof(row[2]), x);
            EXPECT_FLOAT_EQ(std::stof(row[3]), y * (row[0] == "2" ? 0.8f : 1.0f));
        }
    }
    EXPECT_EQ(seen, (std::map<std::string, std::size_t>{{"2", 6}, {"5", 6}, {"Q-w", 6}}));

    // Generated curves: the points the report prints (four significant digits).
    const std::string project = kExamples + "/driven-pile-clay-sand.pv3d";
    ASSERT_EQ(analyseProject(project, results, err), 0) << err.str();
    std::string report, plot;
    ASSERT_EQ(engine::analyse(readText(project), report, plot), engine::StatusOk);
    std::vector<std::array<double, 2>> printed; // (t, z) of each curve point, then (Q, w)
    bool inCurves = false, inTip = false;
    std::size_t tipRows = 0;
    for (const std::string& line : splitLines(report)) {
        inCurves = inCurves || line.find("CURVE NO.  POINTS") != std::string::npos;
        if (line.find("TIP   LOAD        TIP MOVEMENT") != std::string::npos)
            inTip = true, inCurves = false;
        if (inTip && tipRows > 0 && line.find_first_not_of(' ') == std::string::npos)
            break; // the blank line after the tip curve's points
        std::istringstream numbers(line);
        double a = 0, b = 0, c = 0;
        if (!(numbers >> a >> b) || (numbers >> c) || line.find('E') == std::string::npos)
            continue;
        if (inCurves || inTip)
            printed.push_back({a, b});
        tipRows += inTip;
    }
    const auto generated = csvRows(springsCsv(results, false));
    ASSERT_EQ(generated.size() - 1, printed.size());
    for (std::size_t i = 0; i < printed.size(); ++i) {
        const auto& row = generated[i + 1];
        const bool tip = row[0] == "Q-w";
        const double t = std::stod(tip ? row[5] : row[3]), z = std::stod(tip ? row[4] : row[2]);
        EXPECT_NEAR(t, printed[i][0], 6e-4 * std::fabs(printed[i][0]) + 1e-30) << "row " << i + 1;
        EXPECT_NEAR(z, printed[i][1], 6e-4 * std::fabs(printed[i][1]) + 1e-30) << "row " << i + 1;
    }

    // At the increments: the middles from the head down, each curve starting at (0, 0).
    const auto increments = csvRows(springsCsv(results, true));
    EXPECT_EQ(increments[0][0], "increment");
    EXPECT_EQ(increments[1][0], "1");
    EXPECT_FLOAT_EQ(std::stof(increments[1][1]), 3.0f); // 600 in over 100 increments
    EXPECT_EQ(increments[1][3], "0");
}

// Head-load summary of a report as (load, settlement) pairs.
std::vector<std::pair<double, double>> headLoadRows(const std::string& report) {
    std::vector<std::pair<double, double>> rows;
    const auto summary = extractSummary(report);
    if (summary.headLoads)
        for (const auto& line : summary.headLoads->rows) {
            std::istringstream in(line);
            double load = 0, settlement = 0;
            if (in >> load >> settlement)
                rows.push_back({load, settlement});
        }
    return rows;
}

TEST(Sweep, RowsEqualSeparateRunsOfTheVariantsSavedAsProjects) {
    const std::string project = kExamples + "/driven-pile-clay-sand.pv3d";
    const fs::path csv = scratch("length.csv");
    const std::vector<std::string> arguments = {
        project, "--vary", "length=500:700:2", "--settlement", "0.1", "--jobs", "2", "--out", csv.string()};
    std::ostringstream out, err;
    ASSERT_EQ(sweepCommand(arguments, out, err), 0) << err.str();
    const auto rows = csvRows(readText(csv));
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0][0], "length (in)");
    EXPECT_EQ(rows[0][2], "head load at settlement 0.1 in (lb)");
    EXPECT_EQ(rows[0][3], "settlement under 40000 lb (in)");

    for (std::size_t i = 1; i < rows.size(); ++i) {
        const long double length = std::stold(rows[i][0]);
        SCOPED_TRACE("length " + rows[i][0]);
        // The variant made by hand as a user would: the tip and the last AE point moved, then saved.
        OpenedProject variant;
        ASSERT_EQ(openProject(project, variant, err), 0);
        app::TGridTable& ae = variant.data->Tables().TblAE2();
        ASSERT_EQ(ae.Float(app::col::kAeDepth, ae.RowCount() - 1), variant.data->PileLength);
        variant.data->PileLength = length;
        ae.Column(app::col::kAeDepth).SetFloat(ae.RowCount() - 1, length);
        const fs::path saved = scratch("variant" + std::to_string(i) + ".pv3d");
        variant.data->FileName = saved.string();
        variant.data->SaveToFile();

        // Run it through the engine's own file run, as pavrin-cli run does, and read its report.
        engine::RunFileList files{"2014.3.1    ", saved.string(), scratch("v.pv3o").string(),
                                  scratch("v.pv3p").string(), scratch("v.pv3r").string()};
        std::ostringstream console;
        ASSERT_EQ(engine::runAnalysis(files, {}, console), engine::StatusOk);
        const auto report = readText(files.report);
        const auto summary = extractSummary(report);
        ASSERT_TRUE(summary.tipMovements);
        double largest = 0;
        for (const auto& line : summary.tipMovements->rows) {
            std::istringstream in(line);
            double load = 0;
            if (in >> load)
                largest = std::max(largest, load);
        }
        EXPECT_NEAR(std::stod(rows[i][1]), largest, 6e-4 * largest);
        const auto loads = headLoadRows(report);
        ASSERT_EQ(loads.size(), 3u);
        for (std::size_t k = 0; k < loads.size(); ++k) {
            const std::string& cell = rows[i][3 + k];
            // Blank exactly where the report says the load lies outside the computed range.
            if (cell.empty())
                EXPECT_EQ(loads[k].second, 0.0);
            else
                EXPECT_NEAR(std::stod(cell), loads[k].second, 6e-4 * loads[k].second);
        }
        // The in-memory analysis of the saved file gives the very same floats.
        const VariantRow same = analyseVariant(readText(saved), 0.1L);
        EXPECT_EQ(formatNumber(same.largestHeadLoad), rows[i][1]);
        ASSERT_TRUE(same.loadAtSettlement);
        EXPECT_EQ(formatNumber(*same.loadAtSettlement), rows[i][2]);
    }
}

// Threads the system refuses leave the sweep on the threads it could start (or on the calling thread
// alone), with a note; the output file keeps its old rows until the new file is whole.
TEST(Sweep, RunsOnTheThreadsItCouldStartAndReplacesTheOutputOnlyWhenDone) {
    static int allowed = 0;
    static std::string outputAtStart;
    static fs::path csv;
    csv = scratch("threads.csv");
    const std::string example = kExamples + "/driven-pile-clay-sand.pv3d";
    const std::vector<std::string> arguments = {example, "--vary", "length=500:700:5", "--jobs",
                                                "4",     "--out",  csv.string()};
    std::string whole;
    for (const int threads : {4, 1, 0}) {
        SCOPED_TRACE(std::to_string(threads) + " threads");
        writeText(csv, "old rows\n");
        allowed = threads;
        setSweepThreadStarter([](std::function<void()> work) {
            outputAtStart = readText(csv);
            if (allowed-- <= 0)
                throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
            return std::jthread(std::move(work));
        });
        std::ostringstream out, err;
        const int code = sweepCommand(arguments, out, err);
        setSweepThreadStarter(nullptr);
        ASSERT_EQ(code, 0) << err.str();
        EXPECT_EQ(outputAtStart, "old rows\n");
        EXPECT_EQ(csvRows(readText(csv)).size(), 7u);
        if (threads == 4) {
            EXPECT_EQ(err.str(), "");
            whole = readText(csv);
        } else {
            EXPECT_NE(err.str().find("only " + std::to_string(threads) + " of 4 threads could be started"),
                      std::string::npos)
                << err.str();
            EXPECT_EQ(readText(csv), whole);
        }
    }
}

TEST(AnalysisCommands, BadArgumentsAndProjectsGetAMessageAndTheirOwnExitCode) {
    const std::string example = kExamples + "/driven-pile-clay-sand.pv3d";
    const std::string refused = std::string(PAVRIN_APP_TEST_DATA) + "/new-project.pv3d";
    const std::string out = scratch("bad.csv").string();
    struct Case {
        std::vector<std::string> arguments;
        int code;
        std::string message;
    };
    const Case cases[] = {
        {{"sweep", example, "--vary", "width=1:2:3", "--out", out}, ExitUsage, "unknown parameter width"},
        {{"sweep", example, "--vary", "length=700:500:2", "--out", out},
         ExitUsage,
         "FROM must not exceed TO"},
        {{"sweep", example, "--vary", "diameter=10:20:0", "--out", out}, ExitUsage, "STEPS of --vary"},
        {{"sweep", example, "--vary", "length=a:2:1", "--out", out}, ExitUsage, "must be numbers"},
        {{"sweep", example, "--vary", "length=500:700:2"}, ExitUsage, "no --out"},
        {{"sweep", example, "--vary", "length=500:700:2", "--jobs", "0", "--out", out}, ExitUsage, "--jobs"},
        {{"sweep", "missing.pv3d", "--vary", "length=500:700:2", "--out", out},
         ExitProjectMissing,
         "not found"},
        {{"sweep", refused, "--vary", "length=500:700:2", "--out", out}, ExitProjectRefused, "pre-run check"},
        {{"summary", "missing.pv3d"}, ExitProjectMissing, "project file not found"},
        {{"summary", refused}, ExitProjectRefused, "Pile length: must be greater than 0"},
        {{"springs", refused, "--out", out}, ExitProjectRefused, "refuses the project"},
        {{"springs", example, "--out", out, "--at", "nodes"}, ExitUsage, "--at takes increments or curves"},
        {{"springs", example, "--out", fs::temp_directory_path().string()}, ExitOutputFile, "a folder"},
    };
    for (const Case& c : cases) {
        std::ostringstream cout, err;
        const std::span<const std::string> rest(c.arguments.begin() + 1, c.arguments.end());
        const int code = c.arguments[0] == "sweep"     ? sweepCommand(rest, cout, err)
                         : c.arguments[0] == "summary" ? summaryCommand(rest, cout, err)
                                                       : springsCommand(rest, cout, err);
        EXPECT_EQ(code, c.code) << c.arguments[0] << " " << c.arguments[1] << ": " << err.str();
        EXPECT_NE(err.str().find(c.message), std::string::npos) << err.str();
    }

    // A sweep stopped before it started writes the header and says so.
    SweepRequest request;
    std::string error;
    const std::vector<std::string> arguments = {example, "--vary", "tz-factor=0.5:1.5:4", "--out", out};
    ASSERT_TRUE(parseSweepArguments(arguments, request, error)) << error;
    std::atomic<bool> stop{true};
    std::ostringstream cout, err;
    EXPECT_EQ(runSweep(request, stop, cout, err), ExitInterrupted);
    EXPECT_EQ(csvRows(readText(out)).size(), 1u);
    EXPECT_NE(err.str().find("interrupted; 0 of 5"), std::string::npos) << err.str();
}

} // namespace
} // namespace pavrin::cli
