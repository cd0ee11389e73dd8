// Runs that cannot go through: input the engine refuses (status 3) and profile
// look-ups beyond the soil profile (statuses 5, 6 and 8). Each ends the report
// with its message and leaves no broken line in the plot data file.
#include "EngineHarness.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace pavrin::test {
namespace {

using Lines = std::vector<std::string>;

// A small valid project with user curves; the comments give the line indexes used below.
const Lines userBase = {
    "Failure base, user curves", // 0  record 1
    "10 0 1",                    // 1  record 2
    "1 ",                        // 2  record 3
    "2",                         // 3  record 4a
    "1 0 3",                     // 4  record 4b
    "0 0",                       // 5  record 4c
    "1 0.1",                     // 6
    "1 1",                       // 7
    "2 100 3",                   // 8  record 4b
    "0 0",                       // 9
    "2 0.1",                     // 10
    "2 1",                       // 11
    "2",                         // 12 record 6a
    "1E8 0",                     // 13 record 6b
    "1E8 100",                   // 14
    "3",                         // 15 record 7a
    "0 0",                       // 16 record 7b
    "1000 0.1",                  // 17
    "1000 1",                    // 18
    "0.0001 100 12 113.1",       // 19 record 8
    "2",                         // 20 record 9a
    "0.01",                      // 21 record 9b
    "0.1",                       // 22
    "1",                         // 23 record 10a
    "500",                       // 24 record 10b
    " 0",                        // 25 record 11a
    " 0",                        // 26 record 12a
    " 0",                        // 27 record 13a
};

// A small valid project with generated curves (one clay layer from 0 to 100).
const Lines generatedBase = {
    "Failure base, generated curves",  // 0
    "10 0 1",                          // 1
    "2 ",                              // 2
    "1",                               // 3 record 5a
    "1 1 0.0  1.00000000000000E+0002", // 4 record 5b
    "0.03 5 0.0  0.01 4 0",            // 5 record 5c
    "0.03 6 0.0  0.01 5 0",            // 6
    "2",                               // 7 record 6a
    "1E8 0",                           // 8
    "1E8 100",                         // 9
    "0.0001 80 12 113.1",              // 10 record 8
    " 0",                              // 11 record 9a
    " 0",                              // 12 record 10a
    " 0",                              // 13 record 11a
    " 0",                              // 14 record 12a
    " 0",                              // 15 record 13a
};

std::string join(const Lines& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

// The base with line `index` replaced by `text` (which may hold several lines).
std::string with(const Lines& base, std::size_t index, const std::string& text) {
    Lines lines = base;
    lines.at(index) = text;
    return join(lines);
}

// The first `count` lines of the base only.
std::string firstLines(const Lines& base, std::size_t count) {
    return join(Lines(base.begin(), base.begin() + static_cast<std::ptrdiff_t>(count)));
}

TEST(FailureStatusTest, BaseProjectsRunThrough) {
    EXPECT_EQ(runInput(join(userBase)).status, 0);
    EXPECT_EQ(runInput(join(generatedBase)).status, 0);
}

struct BadInput {
    const char* name;
    std::string input;
    const char* record; // the record the message must name
    const char* detail; // a text the message must hold ("" when none is required)
};

std::vector<BadInput> badInputs() {
    return {
        // Words that are not the numbers the record needs.
        {"word for increments", with(userBase, 1, "abc 0 1"), "RECORD 2", "abc"},
        {"word for a curve depth", with(userBase, 4, "1 x 3"), "RECORD 4B", "x"},
        {"number glued to letters", with(userBase, 19, "0.0001 100 12a 113.1"), "RECORD 8", "12a"},
        {"real for the curve count", with(userBase, 3, "2.0"), "RECORD 4A", "2.0"},
        {"real for the increment count", with(userBase, 1, "10.0 0 1"), "RECORD 2", "10.0"},
        {"real for the tip-movement count", with(userBase, 20, "2.0"), "RECORD 9A", "2.0"},
        {"real for the soil type", with(generatedBase, 4, "1 1.5 0.0 100"), "RECORD 5B", "1.5"},
        {"word for a layer switch", with(userBase, 26, " yes"), "RECORD 12A", "yes"},

        // Values that are not finite or not single-precision numbers.
        {"nan as a t value", with(userBase, 6, "nan 0.1"), "RECORD 4C", "nan"},
        {"inf as the tolerance", with(userBase, 19, "inf 100 12 113.1"), "RECORD 8", "inf"},
        {"1e60 as a head load", with(userBase, 24, "1e60"), "RECORD 10B", "1e60"},
        {"-1e60 as AE", with(userBase, 13, "-1e60 0"), "RECORD 6B", "1e60"},
        {"1e60 as a Q value", with(userBase, 17, "1e60 0.1"), "RECORD 7B", "1e60"},

        // The file ends before a record.
        {"empty file", "", "RECORD 1", ""},
        {"title only", firstLines(userBase, 1), "RECORD 2", ""},
        {"no curve source", firstLines(userBase, 2), "RECORD 3", ""},
        {"inside a curve", firstLines(userBase, 6), "RECORD 4C", ""},
        {"inside the AE table", firstLines(userBase, 14), "RECORD 6B", ""},
        {"before the pile record", firstLines(userBase, 19), "RECORD 8", ""},
        {"inside the tip movements", firstLines(userBase, 22), "RECORD 9B", ""},
        {"before the head loads", firstLines(userBase, 23), "RECORD 10A", ""},
        {"before the tip-factor switch", firstLines(userBase, 27), "RECORD 13A", ""},
        {"inside the soil profile", firstLines(generatedBase, 6), "RECORD 5C", ""},
        {"missing side-factor rows", with(userBase, 26, " 1\r\n2\r\n0 1 1"), "RECORD 12C", ""},
        {"missing tip factors", with(userBase, 27, " 1"), "RECORD 13B", ""},

        // Counts beyond the capacities of the data model, by one.
        {"901 increments", with(userBase, 1, "901 0 1"), "RECORD 2", "901"},
        {"101 t-z curves", with(userBase, 3, "101"), "RECORD 4A", "101"},
        {"101 points on a curve", with(userBase, 4, "1 0 101"), "RECORD 4B", "101"},
        {"21 soil layers", with(generatedBase, 3, "21"), "RECORD 5A", "21"},
        {"51 AE points", with(userBase, 12, "51"), "RECORD 6A", "51"},
        {"1 AE point", with(userBase, 12, "1"), "RECORD 6A", "1"},
        {"51 Q-w points", with(userBase, 15, "51"), "RECORD 7A", "51"},
        {"51 tip movements", with(userBase, 20, "51"), "RECORD 9A", "51"},
        {"51 head loads", with(userBase, 23, "51"), "RECORD 10A", "51"},
        {"101 settlement points", with(userBase, 25, "101"), "RECORD 11A", "101"},
        {"51 side-factor rows", with(userBase, 26, " 1\r\n51"), "RECORD 12B", "51"},
        {"0 increments", with(userBase, 1, "0 0 1"), "RECORD 2", "0"},
        {"soil type 7", with(generatedBase, 4, "1 7 0.0 100"), "RECORD 5B", "7"},
        {"soil type 0", with(generatedBase, 4, "1 0 0.0 100"), "RECORD 5B", "0"},

        // Negative counts.
        {"negative increments", with(userBase, 1, "-10 0 1"), "RECORD 2", "-10"},
        {"negative curve count", with(userBase, 3, "-1"), "RECORD 4A", "-1"},
        {"negative point count", with(userBase, 4, "1 0 -3"), "RECORD 4B", "-3"},
        {"negative layer count", with(generatedBase, 3, "-1"), "RECORD 5A", "-1"},
        {"negative AE count", with(userBase, 12, "-2"), "RECORD 6A", "-2"},
        {"negative Q-w count", with(userBase, 15, "-3"), "RECORD 7A", "-3"},
        {"negative tip-movement count", with(userBase, 20, "-1"), "RECORD 9A", "-1"},
        {"negative head-load count", with(userBase, 23, "-1"), "RECORD 10A", "-1"},
        {"negative settlement count", with(userBase, 25, "-1"), "RECORD 11A", "-1"},
        {"negative side-factor count", with(userBase, 26, " 1\r\n-1"), "RECORD 12B", "-1"},

        // Values without meaning.
        {"zero AE", with(userBase, 13, "0 0"), "RECORD 6B", ""},
        {"negative AE", with(userBase, 14, "-1E8 100"), "RECORD 6B", ""},
        {"zero tolerance", with(userBase, 19, "0 100 12 113.1"), "RECORD 8", "TOLERANCE"},
        {"negative tolerance", with(userBase, 19, "-1E-4 100 12 113.1"), "RECORD 8", "TOLERANCE"},
        {"zero pile length", with(userBase, 19, "0.0001 0 12 113.1"), "RECORD 8", "PILE LENGTH"},
        {"negative pile length", with(userBase, 19, "0.0001 -100 12 113.1"), "RECORD 8", "PILE LENGTH"},
        {"zero diameter", with(userBase, 19, "0.0001 100 0 113.1"), "RECORD 8", "DIAMETER"},
        {"zero tip area, generated", with(generatedBase, 10, "0.0001 80 12 0"), "RECORD 8", "TIP AREA"},
    };
}

TEST(FailureStatusTest, MalformedInputStopsWithStatusThreeAndNamesTheRecord) {
    for (const BadInput& bad : badInputs()) {
        SCOPED_TRACE(bad.name);
        const RunOutput out = runInput(bad.input);
        EXPECT_EQ(out.status, 3);

        const std::size_t block = out.report.rfind("**** INPUT ERROR ****");
        ASSERT_NE(block, std::string::npos) << out.report;
        const std::string message = out.report.substr(block);
        EXPECT_NE(message.find(bad.record), std::string::npos) << message;
        EXPECT_NE(message.find(bad.detail), std::string::npos) << message;
        // The message is the end of the report: no result follows it.
        EXPECT_EQ(message.find("TOP  LOAD"), std::string::npos) << message;
        EXPECT_EQ(out.report.back(), '\n');

        EXPECT_FALSE(holdsNanOrInf(out.plot)) << out.plot;
        std::string plotError;
        const auto plot = parsePlot(out.plot, &plotError);
        ASSERT_TRUE(plot.has_value()) << plotError;
        EXPECT_FALSE(plot->complete);
        // The report echoes the input; only the quoted offending word may say nan or inf.
        const std::string beforeBlock = out.report.substr(0, block);
        EXPECT_FALSE(holdsNanOrInf(beforeBlock)) << beforeBlock;
    }
}

TEST(FailureStatusTest, CountsAtCapacityAreAccepted) {
    // 900 increments, 100 curves of 100 points, 50 AE and Q-w points, 50 tip movements,
    // 50 head loads, 100 settlement points and 50 side-factor rows, all in one project.
    Lines lines = {"Every table at its capacity", "900 1 1", "1 ", "100"};
    for (int k = 1; k <= 100; ++k) {
        lines.push_back(std::to_string(k) + " " + std::to_string(k) + " 100");
        for (int p = 0; p < 100; ++p)
            lines.push_back(std::to_string(p == 0 ? 0.0 : 1.0 + 0.001 * p) + " " + std::to_string(0.01 * p));
    }
    lines.push_back("50");
    for (int p = 0; p < 50; ++p)
        lines.push_back("1E8 " + std::to_string(p * 100.0 / 49.0));
    lines.push_back("50");
    for (int p = 0; p < 50; ++p)
        lines.push_back(std::to_string(100.0 * p) + " " + std::to_string(0.02 * p));
    lines.push_back("0.0001 100 12 113.1");
    lines.push_back("50");
    for (int p = 1; p <= 50; ++p)
        lines.push_back(std::to_string(0.01 * p));
    lines.push_back("50");
    for (int p = 1; p <= 50; ++p)
        lines.push_back(std::to_string(100.0 * p));
    lines.push_back("100");
    for (int p = 0; p < 100; ++p)
        lines.push_back(std::to_string(p) + " " + std::to_string(0.001 * (99 - p)));
    lines.push_back(" 1");
    lines.push_back("50");
    for (int p = 0; p < 50; ++p)
        lines.push_back(std::to_string(2.0 * p) + " 1 1");
    lines.push_back(" 0");

    const RunOutput out = runInput(join(lines));
    ASSERT_EQ(out.status, 0) << out.report.substr(out.report.size() > 2000 ? out.report.size() - 2000 : 0);
    const auto plot = parsePlot(out.plot);
    ASSERT_TRUE(plot.has_value());
    EXPECT_TRUE(plot->complete);
    EXPECT_EQ(plot->curves.size(), 100U);
    EXPECT_EQ(plot->increments.size(), 50U * 900U);
    EXPECT_EQ(plot->summary.size(), 50U);
    EXPECT_EQ(plot->headLoads.size(), 50U);
    EXPECT_FALSE(holdsNanOrInf(out.report));
}

TEST(FailureStatusTest, TwentyLayersGiveOneHundredGeneratedCurves) {
    Lines lines = {"Twenty layers", "10 1 1", "2 ", "20"};
    for (int k = 1; k <= 20; ++k)
        lines.push_back(std::to_string(k) + " " + std::to_string(k % 2 == 1 ? 1 : 2) + " " +
                        std::to_string(10.0 * (k - 1)) + " " + std::to_string(10.0 * k));
    for (int k = 1; k <= 20; ++k)
        for (int end = 0; end < 2; ++end)
            lines.push_back(k % 2 == 1 ? "0.03 5 0.0  0.01 4 0" : "0.035 0.0  32 15 3 0");
    lines.insert(lines.end(), {"2", "1E8 0", "1E8 200", "0.0001 150 12 113.1", " 0", " 0", " 0", " 0", " 0"});

    const RunOutput out = runInput(join(lines));
    ASSERT_EQ(out.status, 0) << out.report;
    const auto plot = parsePlot(out.plot);
    ASSERT_TRUE(plot.has_value());
    EXPECT_EQ(plot->curves.size(), 30U); // the plot data file holds at most 30 curves
    EXPECT_NE(out.report.find("\n    100         10      0.2000E+03\n"),
              std::string::npos); // the last of 100
    EXPECT_EQ(out.report.find("\n    101 "), std::string::npos);
}

// The last `count` lines of a text.
Lines lastLines(const std::string& text, std::size_t count) {
    const Lines all = splitLines(text);
    if (all.size() < count)
        return all;
    return Lines(all.end() - static_cast<std::ptrdiff_t>(count), all.end());
}

// The four lines of a look-up warning for depth text `x` (E(9.2)).
Lines warningLines(const std::string& x, const std::string& lastLine) {
    return {"", std::string(29, ' ') + "**** WARNING ****",
            "     THE VALUE OF X =" + x + "IS BEYOND THE EXTENT OF", "     " + lastLine};
}

struct LookupStopCase {
    const char* name;
    std::string input;
    int status;
    const char* x; // the depth in E(9.2)
};

// Layers out of depth order: layer 2 runs from 10 up to 5, below layer 1 from 0 to 10.
const Lines layersOutOfOrder = {"Layers out of order",
                                "10 0 1",
                                "2 ",
                                "2",
                                "1 1 0.0  1.00000000000000E+0001",
                                "2 1  1.00000000000000E+0001  5.00000000000000E+0000",
                                "0.03 5 0.0  0.01 4 0",
                                "0.03 6 0.0  0.01 5 0",
                                "0.03 6 0.0  0.01 5 0",
                                "0.03 6 0.0  0.01 5 0",
                                "2",
                                "1E8 0",
                                "1E8 10",
                                "0.0001 8 12 113.1",
                                " 0",
                                " 0",
                                " 0",
                                " 0",
                                " 0"};

TEST(FailureStatusTest, LookupBeyondTheProfileStopsWithItsWarning) {
    // One sand layer from 0 to 100 under a pile of 150.
    Lines sand = generatedBase;
    sand[4] = "1 2 0.0  1.00000000000000E+0002";
    sand[5] = "0.035 0.0  32 15 3 0";
    sand[6] = "0.035 0.0  34 20 4 0";
    sand[10] = "0.0001 150 12 113.1";

    const std::vector<LookupStopCase> all = {
        // Clay: the cohesion look-up at the tip is the first to fail.
        {"clay pile longer than the profile", with(generatedBase, 10, "0.0001 120 12 113.1"), 5, " 0.12E+03"},
        // Sand: the friction-angle look-up at the tip is the first to fail.
        {"sand pile longer than the profile", join(sand), 8, " 0.15E+03"},
        // A generated t-z curve (at the top of layer 2, depth 10) below the last profile point.
        {"layer above the one before it", join(layersOutOfOrder), 6, " 0.10E+02"},
    };
    for (const LookupStopCase& c : all) {
        SCOPED_TRACE(c.name);
        const RunOutput out = runInput(c.input);
        EXPECT_EQ(out.status, c.status);
        EXPECT_EQ(lastLines(out.report, 4), warningLines(c.x, "THE INPUT STRENGTH CURVE")) << out.report;
        EXPECT_EQ(out.report.back(), '\n');
        EXPECT_EQ(out.report.find("TOP  LOAD"), std::string::npos);
        EXPECT_FALSE(holdsNanOrInf(out.report));
        EXPECT_FALSE(holdsNanOrInf(out.plot));
        std::string plotError;
        const auto plot = parsePlot(out.plot, &plotError);
        ASSERT_TRUE(plot.has_value()) << plotError << "\n" << out.plot;
        EXPECT_FALSE(plot->complete);
        EXPECT_TRUE(out.plot.empty() || out.plot.back() == '\n');
    }
}

TEST(FailureStatusTest, SideFrictionStopIsPrecededByTheProfileLine) {
    // Before its warning, the side-friction look-up writes the number of profile points
    // and the depth of the last one as a free-format line.
    const RunOutput out = runInput(join(layersOutOfOrder));
    ASSERT_EQ(out.status, 6);
    const Lines tail = lastLines(out.report, 5);
    std::istringstream words(tail[0]);
    int points = 0;
    double lastDepth = 0;
    ASSERT_TRUE(words >> points >> lastDepth) << tail[0];
    EXPECT_EQ(points, 4);
    EXPECT_DOUBLE_EQ(lastDepth, 5.0);
}

} // namespace
} // namespace pavrin::test
