// The calibration to a measured load test: the factors of a known variant recovered from its own
// curve through `pavrin-cli fit` (with the calibrated project written and analysed again), a
// one-factor fit against its closed form, and the refusals of bad input.
#include "Calibration.h"
#include "DesignSweep.h"
#include "ExitCodes.h"
#include "FitCommand.h"
#include "MeasuredLoadTest.h"
#include "ProgramData.h"
#include "ProjectAnalysis.h"
#include "ProjectTables.h"
#include "Run.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

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

double dbl(long double v) {
    return static_cast<double>(v);
}

fs::path scratch(const std::string& name) {
    const fs::path dir = fs::temp_directory_path() / ("pavrin-fit-test-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    return dir / name;
}

int fit(const std::vector<std::string>& arguments, std::string& out, std::string& err) {
    std::ostringstream cout, cerr;
    const int code = fitCommand(arguments, cout, cerr);
    out = cout.str();
    err = cerr.str();
    return code;
}

// "Measured" points on the curve of the project analysed with t x 1.3 and Q x 0.7: ten loads from
// a tenth to nine tenths of the largest head load of that curve.
app::TMeasuredLoadTest knownVariantTest(OpenedProject& project) {
    const VariantChange changes[] = {{SweepParameter::TzFactor, 1.3L}, {SweepParameter::QwFactor, 0.7L}};
    std::string input, reason;
    EXPECT_TRUE(variantInput(*project.data, changes, input, reason)) << reason;
    std::string report, plot;
    engine::AnalysisResults results;
    EXPECT_EQ(engine::analyse(input, report, plot, results), engine::StatusOk);
    const std::vector<CurvePoint> curve = predictedCurve(results.tipResults);
    long double largest = 0;
    for (const CurvePoint& p : curve)
        largest = std::max(largest, p.load);
    app::TMeasuredLoadTest test;
    test.units = project.data->Units;
    for (int i = 1; i <= 10; ++i) {
        const long double load = largest * (0.1L + 0.8L * (i - 1) / 9);
        test.points.push_back({load, *settlementAtLoad(curve, load), std::nullopt});
    }
    return test;
}

TEST(Calibration, RecoversTheFactorsOfAKnownVariantAndWritesAProjectThatReproducesItsPoints) {
    const fs::path project = scratch("driven.pv3d");
    fs::copy_file(kExamples + "/driven-pile-clay-sand.pv3d", project, fs::copy_options::overwrite_existing);
    const std::string original = readText(project);
    OpenedProject opened;
    std::ostringstream openErr;
    ASSERT_EQ(openProject(project.string(), opened, openErr), 0) << openErr.str();
    const app::TMeasuredLoadTest test = knownVariantTest(opened);
    ASSERT_FALSE(app::WriteMeasuredLoadTest(app::MeasuredFileName(project.string()), test));

    const fs::path fitted = scratch("fitted.pv3d"), csv = scratch("fit.csv");
    std::string out, err;
    ASSERT_EQ(fit({project.string(), "--vary", "tz-factor,qw-factor", "--out", fitted.string(), "--csv",
                   csv.string()},
                  out, err),
              0)
        << err;
    EXPECT_NE(out.find("analyses: "), std::string::npos) << out;
    EXPECT_EQ(readText(project), original); // the input project is left as it was

    // The calibrated project: both factors switched on at the fitted values, within 1 %.
    OpenedProject calibrated;
    ASSERT_EQ(openProject(fitted.string(), calibrated, openErr), 0) << openErr.str();
    const app::TProgramData& p = *calibrated.data;
    ASSERT_EQ(p.ApplySideFactors, 1);
    ASSERT_EQ(p.ApplyQwFactors, 1);
    const app::TGridTable& factors = p.Tables().TblPVFactors2();
    ASSERT_EQ(factors.RowCount(), 2);
    for (int r = 0; r < 2; ++r)
        EXPECT_NEAR(dbl(factors.Float(app::col::kTMultiplier, r)), 1.3, 0.013);
    EXPECT_NEAR(dbl(p.QMultiplier), 0.7, 0.007);
    EXPECT_EQ(p.WMultiplier, 1.0L);

    // Its analysis gives back the measured settlements within the engine's tolerance on movement.
    engine::AnalysisResults results;
    ASSERT_EQ(analyseProject(fitted.string(), results, openErr), 0) << openErr.str();
    const FitEvaluation again = evaluateCurve(predictedCurve(results.tipResults), test);
    EXPECT_EQ(again.misses, 0u);
    for (std::size_t i = 0; i < test.points.size(); ++i)
        EXPECT_NEAR(dbl(again.residuals[i]), 0.0, dbl(10 * p.Tolerance)) << "point " << i + 1;

    // The per-point table: a header and a row per point, the residual after near zero.
    std::istringstream lines(readText(csv));
    std::vector<std::string> rows;
    for (std::string line; std::getline(lines, line);)
        rows.push_back(line);
    ASSERT_EQ(rows.size(), test.points.size() + 1);
    EXPECT_EQ(rows[0], "load (lb),measured settlement (in),predicted before (in),predicted after (in),"
                       "residual (in),note");
}

// A rigid pile (AE 1e15 lb) with the same t-z curve at head and tip, linear to a plateau, t = k z up to z = 1 in, and no tip
// resistance: below the plateau, the head settlement under P with t multiplier m is P / (m k pi d L),
// so the least-squares factor for points (P_i, s_i) is m = sum(P_i^2) / (k pi d L sum(P_i s_i)).
TEST(Calibration, OneFactorFitOfARigidPileWithConstantFrictionGivesTheClosedForm) {
    const double k = 2, d = 16, L = 600, pi = 3.1416; // the engine's circumference takes pi as 3.1416
    const std::string text = "Rigid pile, linear t-z curve to a plateau, no tip resistance\r\n"
                             "100 0 1\r\n1\r\n2\r\n1 0 3\r\n0 0\r\n2 1\r\n2 10\r\n2 600 3\r\n0 0\r\n2 1\r\n2 10\r\n"
                             "2\r\n1E15 0\r\n1E15 600\r\n2\r\n0 0\r\n0 10\r\n"
                             "1E-7 600 16 201.06193\r\n5\r\n0.05\r\n0.1\r\n0.2\r\n0.3\r\n0.4\r\n"
                             "0\r\n0\r\n 0\r\n 0\r\n";
    const fs::path path = scratch("rigid.pv3d");
    writeText(path, text);
    OpenedProject project;
    std::ostringstream err;
    ASSERT_EQ(openProject(path.string(), project, err), 0) << err.str();
    ASSERT_TRUE(checkFindings(*project.data).empty()) << checkFindings(*project.data).front();

    app::TMeasuredLoadTest test;
    test.points = {{5000, 0.06, {}}, {10000, 0.13, {}}, {15000, 0.19, {}}, {20000, 0.27, {}}};
    long double pp = 0, ps = 0;
    for (const auto& point : test.points) {
        pp += point.load * point.load;
        ps += point.load * point.settlement;
    }
    const long double closedForm = pp / (k * pi * d * L * ps);

    std::size_t reported = 0;
    const FitResult result = fitToLoadTest(*project.data, test, FitSettings{}, nullptr,
                                           [&](const FitProgress& p) { reported = p.analyses; });
    ASSERT_TRUE(result.done) << result.reason;
    EXPECT_TRUE(result.converged);
    // The points do not lie on one line: the minimum is flat, and single-precision settlements
    // place it within a few 1e-5 of the closed form.
    EXPECT_NEAR(dbl(result.tzFactor), dbl(closedForm), dbl(5e-4L * closedForm));
    EXPECT_EQ(result.analyses, reported);
    EXPECT_LT(result.after.rms, result.before.rms);
    for (std::size_t i = 0; i < test.points.size(); ++i)
        EXPECT_NEAR(dbl(*result.after.predicted[i]), dbl(test.points[i].load / (result.tzFactor * k * pi * d * L)),
                    1e-5);

    // A stop set before the fit lets no analysis start.
    std::atomic<bool> stop{true};
    const FitResult stopped = fitToLoadTest(*project.data, test, FitSettings{}, &stop);
    EXPECT_FALSE(stopped.done);
    EXPECT_TRUE(stopped.stopped);
    EXPECT_EQ(stopped.analyses, 0u);
}

TEST(Calibration, BadInputGetsAMessageAndItsOwnExitCode) {
    const fs::path project = scratch("bad.pv3d");
    fs::copy_file(kExamples + "/driven-pile-clay-sand.pv3d", project, fs::copy_options::overwrite_existing);
    const std::string refused = std::string(PAVRIN_APP_TEST_DATA) + "/new-project.pv3d";
    const fs::path measured = scratch("given.pv3m");
    const std::string header = "Load (lbs)  Settlement (in)\r\n";
    writeText(measured, header + "0 0\r\n40000 0.1\r\n80000 0.3\r\n");
    const auto file = [](const std::string& name, const std::string& text) {
        writeText(scratch(name), text);
        return scratch(name).string();
    };
    const std::string one = file("one.pv3m", header + "40000 0.1\r\n");
    const std::string falling = file("falling.pv3m", header + "0 0\r\n80000 0.3\r\n40000 0.4\r\n");
    const std::string word = file("word.pv3m", header + "0 0\r\n40000 abc\r\n");
    const std::string si = file("si.pv3m", "Load (kN)  Settlement (m)\r\n0 0\r\n200 0.005\r\n");
    const std::string p = project.string(), m = measured.string();
    const std::string out = scratch("out.pv3d").string();
    struct Case {
        std::vector<std::string> arguments;
        int code;
        std::string message;
    };
    const Case cases[] = {
        {{p, "--measured", m}, ExitUsage, "no --vary"},
        {{p, "--vary", "qw-factor"}, ExitUsage, "--vary takes tz-factor or tz-factor,qw-factor"},
        {{p, "--vary", "tz-factor", "--out", out, "--csv", out}, ExitUsage, "the same file"},
        {{"missing.pv3d", "--vary", "tz-factor"}, ExitProjectMissing, "not found"},
        {{refused, "--vary", "tz-factor"}, ExitProjectRefused, "pre-run check"},
        {{p, "--vary", "tz-factor"}, ExitProjectUnreadable, "no measured load test beside the project"},
        {{p, "--vary", "tz-factor", "--measured", one}, ExitProjectRefused, "at least two points"},
        {{p, "--vary", "tz-factor", "--measured", falling}, ExitProjectRefused, "must increase"},
        {{p, "--vary", "tz-factor", "--measured", word}, ExitProjectRefused, "Line 3"},
        {{p, "--vary", "tz-factor", "--measured", si}, ExitProjectRefused, "SI units"},
        {{p, "--vary", "tz-factor", "--measured", m, "--out", p}, ExitOutputFile, "the project itself"},
        {{p, "--vary", "tz-factor", "--measured", m, "--csv", m}, ExitOutputFile, "measured load test"},
        {{p, "--vary", "tz-factor", "--measured", m, "--out", scratch("bad.pv3o").string()},
         ExitOutputFile,
         "report"},
    };
    for (const Case& c : cases) {
        std::string cout, err;
        EXPECT_EQ(fit(c.arguments, cout, err), c.code) << c.arguments[0] << " " << c.arguments[1] << ": " << err;
        EXPECT_NE(err.find(c.message), std::string::npos) << err;
    }
    EXPECT_FALSE(fs::exists(out));
}

// A test no factor between the bounds can reach (every load beyond the predicted curve) is fitted to
// the bound, and the output says so instead of presenting the factor as a minimum.
TEST(Calibration, AFactorOnABoundOfTheSearchIsNamedAsSuch) {
    const fs::path project = scratch("beyond.pv3d");
    fs::copy_file(kExamples + "/driven-pile-clay-sand.pv3d", project, fs::copy_options::overwrite_existing);
    writeText(scratch("beyond.pv3m"), "Load (lbs)  Settlement (in)\r\n200000 1\r\n300000 2\r\n");
    std::string out, err;
    ASSERT_EQ(fit({project.string(), "--vary", "tz-factor,qw-factor"}, out, err), 0) << err;
    EXPECT_NE(out.find("t-z multiplier: 0.05\n"), std::string::npos) << out;
    EXPECT_NE(out.find("the t-z multiplier is at a bound of the search (0.05 to 20): the fit is the closest the "
                       "bounds allow"),
              std::string::npos)
        << out;
    // A fit inside the bounds says nothing of them.
    writeText(scratch("beyond.pv3m"), "Load (lbs)  Settlement (in)\r\n0 0\r\n60000 0.06\r\n120000 0.16\r\n");
    ASSERT_EQ(fit({project.string(), "--vary", "tz-factor"}, out, err), 0) << err;
    EXPECT_EQ(out.find("bound"), std::string::npos) << out;
}

} // namespace
} // namespace pavrin::cli
