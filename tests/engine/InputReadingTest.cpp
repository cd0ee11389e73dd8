// Reading the input file: list-directed values, reads over several lines, values
// left over on a line, the title, number forms, line ends and default tip movements.
// Most cases are written two ways and must give the same report and plot data.
#include "EngineHarness.h"
#include "Run.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace pavrin::engine {
namespace {

// A user-curve project in the plainest layout: one value group per line, one pair per line.
const std::string UserTitle = "READING CHECK, USER CURVES";
const std::vector<std::string> UserLines = {
    UserTitle,                // 0 title
    "10 0 1",                 // 1 increments, detail, units
    "1",                      // 2 curve source
    "2",                      // 3 number of t-z curves
    "1 0.0 3",                // 4
    "0.0 0.0",                // 5
    "2.0 0.1",                // 6
    "2.5 1.0",                // 7
    "2 120.0 3",              // 8
    "0.0 0.0",                // 9
    "3.0 0.1",                // 10
    "3.5 1.0",                // 11
    "2",                      // 12 AE points
    "3.0E+07 0.0",            // 13
    "3.0E+07 120.0",          // 14
    "3",                      // 15 Q-w points
    "0.0 0.0",                // 16
    "5000.0 0.2",             // 17
    "6000.0 1.0",             // 18
    "0.001 120.0 12.0 113.1", // 19 tolerance, length, diameter, tip area
    "3",                      // 20 tip movements
    "0.01 0.1 0.5",           // 21
    "2",                      // 22 head loads
    "1000.0",                 // 23
    "2000.0",                 // 24
    "1",                      // 25 settlement points
    "0.0 0.0",                // 26
    "0",                      // 27 side factors off
    "0",                      // 28 tip factors off
};

std::string join(const std::vector<std::string>& lines, const char* end = "\n") {
    std::string s;
    for (const auto& l : lines)
        s += l + end;
    return s;
}

// Replaces lines [first, first + count) of the plain layout by `with`.
std::string variant(std::size_t first, std::size_t count, const std::vector<std::string>& with) {
    std::vector<std::string> lines(UserLines.begin(), UserLines.begin() + static_cast<long>(first));
    lines.insert(lines.end(), with.begin(), with.end());
    lines.insert(lines.end(), UserLines.begin() + static_cast<long>(first + count), UserLines.end());
    return join(lines);
}

// A generated project (driven-pile clay) in the plain layout.
const std::vector<std::string> GeneratedLines = {
    "READING CHECK, GENERATED CURVES",
    "10 0 1",
    "2",
    "1",
    "1 1 0.0 240.0",
    "0.07 5.0 0.0 0.01 3.0 0.0",
    "0.07 8.0 0.0 0.01 4.0 0.0",
    "2",
    "2.0E+08 0.0",
    "2.0E+08 240.0",
    "0.0001 200.0 12.0 113.1",
    "2",
    "0.01 0.1",
    "0",
    "0",
    "0",
    "0",
};

std::string generatedWithSource(const std::string& sourceLine) {
    auto lines = GeneratedLines;
    lines[2] = sourceLine;
    return join(lines);
}

struct SameAs {
    const char* name;
    std::string input;
};

void expectSameRun(const std::string& reference, const std::vector<SameAs>& cases) {
    const auto ref = test::runInput(reference);
    ASSERT_EQ(ref.status, StatusOk) << ref.report;
    ASSERT_FALSE(ref.plot.empty());
    for (const auto& c : cases) {
        const auto out = test::runInput(c.input);
        EXPECT_EQ(out.status, StatusOk) << c.name << "\n" << out.report;
        EXPECT_EQ(out.report, ref.report) << c.name;
        EXPECT_EQ(out.plot, ref.plot) << c.name;
    }
}

TEST(InputReading, SeparatorsLineBreaksAndLeftoversReadTheSame) {
    const std::vector<SameAs> cases = {
        {"commas", variant(1, 1, {"10,0,1"})},
        {"commas with blanks", variant(19, 3, {"0.001, 120.0, 12.0, 113.1", "3", "0.01 ,0.1 , 0.5"})},
        {"commas in pairs", variant(13, 2, {"3.0E+07,0.0", "3.0E+07,120.0"})},
        {"several blanks and leading blanks", variant(1, 1, {"   10     0    1"})},
        {"record 2 over three lines", variant(1, 1, {"10", "0", "1"})},
        {"curve head over lines", variant(4, 1, {"1", "0.0", "3"})},
        {"record 8 over lines", variant(19, 1, {"0.001 120.0", "12.0", "113.1"})},
        {"tip movements over lines", variant(21, 1, {"0.01", "0.1 0.5"})},
        {"AE group on one line", variant(13, 2, {"3.0E+07 0.0 3.0E+07 120.0"})},
        {"Q-w group on one line", variant(16, 3, {"0.0 0.0 5000.0 0.2 6000.0 1.0"})},
        {"Q-w group in threes", variant(16, 3, {"0.0 0.0 5000.0", "0.2 6000.0 1.0"})},
        {"leftover on record 2", variant(1, 1, {"10 0 1 7"})},
        {"leftover on a count", variant(3, 1, {"2 99"})},
        {"leftover on a point", variant(5, 1, {"0.0 0.0 17.5"})},
        {"leftover on record 8", variant(19, 1, {"0.001 120.0 12.0 113.1 999.0"})},
        {"a head-load line holding two numbers", variant(23, 1, {"1000.0 5555.0"})},
        {"leftover after the last of a group", variant(21, 1, {"0.01 0.1 0.5 0.7"})},
        {"four-digit exponents",
         variant(19, 1,
                 {" 1.00000000000000E-0003  1.20000000000000E+0002  1.20000000000000E+0001"
                  "  1.13100000000000E+0002"})},
        {"four-digit exponent on a head load", variant(23, 1, {" 1.00000000000000E+0003"})},
        {"exponent forms", variant(13, 2, {"3E7 0", "0.3E+08 1.2E2"})},
        {"reals without a decimal point", variant(16, 3, {"0 0", "5000 0.2", "6000 1"})},
        {"CR LF line ends", join(UserLines, "\r\n")},
        {"switches written with a leading blank", variant(27, 2, {" 0", " 0"})},
        {"tabs between values", variant(19, 1, {"0.001\t120.0\t12.0 \t113.1"})},
        {"an empty line inside a read", variant(1, 1, {"10 0", "", "1"})},
        {"lower-case exponents and plus signs", variant(13, 2, {"3.0e+07 +0.0", "+3.0e07 1.2e+2"})},
    };
    expectSameRun(join(UserLines), cases);
}

TEST(InputReading, CurveSourceOtherThanOneGeneratesCurves) {
    const std::vector<SameAs> cases = {
        {"a trailing blank after the curve source", generatedWithSource("2 ")},
        {"a curve source of 3", generatedWithSource("3")},
        {"a curve source of 0", generatedWithSource("0")},
        {"CR LF line ends",
         [] {
             std::string s;
             for (const auto& l : GeneratedLines)
                 s += l + "\r\n";
             return s;
         }()},
    };
    expectSameRun(generatedWithSource("2"), cases);
}

// The report line that holds the title: three empty lines after the line that
// begins "WINDOWS VERSION 3.0".
std::string titleLine(const std::string& report) {
    const auto lines = test::splitLines(report);
    for (std::size_t i = 0; i + 4 < lines.size(); ++i) {
        if (lines[i].rfind(" WINDOWS VERSION 3.0", 0) == 0)
            return lines[i + 4];
    }
    ADD_FAILURE() << "no program title in the report:\n" << report;
    return {};
}

std::string withTitle(const std::string& title) {
    auto lines = UserLines;
    lines[0] = title;
    return join(lines);
}

std::string rtrim(std::string s) {
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}

TEST(InputReading, TitleIsTheFirst72CharactersOfItsLine) {
    const std::string first72 = "PILE P-17, NORTH ABUTMENT, BORING B-4, LOAD TEST 2, REVISED SOIL PROFILE";
    ASSERT_EQ(first72.size(), 72u);
    const auto longRun = test::runInput(withTitle(first72 + "#TAIL BEYOND COLUMN 72"));
    ASSERT_EQ(longRun.status, StatusOk) << longRun.report;
    EXPECT_EQ(rtrim(titleLine(longRun.report)), " " + first72);
    EXPECT_EQ(longRun.report.find("#TAIL"), std::string::npos);
    // The summary repeats the title.
    EXPECT_NE(longRun.report.find("\n " + first72), longRun.report.rfind("\n " + first72));

    const auto empty = test::runInput(withTitle(""));
    ASSERT_EQ(empty.status, StatusOk) << empty.report;
    EXPECT_EQ(rtrim(titleLine(empty.report)), "");

    const auto indented = test::runInput(withTitle("   INDENTED TITLE"));
    ASSERT_EQ(indented.status, StatusOk);
    EXPECT_EQ(rtrim(titleLine(indented.report)), "    INDENTED TITLE");

    // A CR LF file keeps the CR out of the title.
    auto crlf = UserLines;
    crlf[0] = "CR LF TITLE";
    const auto crlfRun = test::runInput(join(crlf, "\r\n"));
    ASSERT_EQ(crlfRun.status, StatusOk);
    EXPECT_EQ(rtrim(titleLine(crlfRun.report)), " CR LF TITLE");
    EXPECT_EQ(crlfRun.report.find('\r'), std::string::npos);
}

TEST(InputReading, TipMovementCountZeroGivesTheNineDefaults) {
    const double inches[9] = {0.0001, 0.001, 0.01, 0.03, 0.07, 0.1, 0.2, 0.5, 5.0};
    for (int units : {1, 2}) {
        auto lines = UserLines;
        lines[1] = "10 0 " + std::to_string(units);
        lines[20] = "0";
        lines.erase(lines.begin() + 21); // no record 9b
        const auto out = test::runInput(join(lines));
        ASSERT_EQ(out.status, StatusOk) << out.report;
        const auto plot = test::parsePlot(out.plot);
        ASSERT_TRUE(plot && plot->complete);
        EXPECT_EQ(plot->tipMovementCount, 9);
        EXPECT_EQ(plot->units, units);
        ASSERT_EQ(plot->summary.size(), 9u);
        ASSERT_EQ(plot->increments.size(), 90u);
        const auto rows = test::reportSummaryRows(out.report);
        ASSERT_EQ(rows.size(), 9u);
        for (std::size_t i = 0; i < 9; ++i) {
            const double expected = inches[i] * (units == 2 ? 0.0254 : 1.0);
            EXPECT_NEAR(plot->summary[i].tipMovement, expected, 1e-6 * expected) << units << ", " << i;
            EXPECT_NEAR(rows[i].tipMovement, expected, 1e-6 * expected) << units << ", " << i;
        }
    }
}

TEST(InputReading, OptionalRecordsAreReadOnlyWhenSwitchedOn) {
    // With both switches on, the factor rows follow; a factor of 1 changes nothing.
    auto on = UserLines;
    on[27] = "1";
    on[28] = "2";
    on.insert(on.end(), {"0.0 1.0 1.0", "120.0 1.0 1.0", "1", "1.0 1.0"});
    const auto plain = test::runInput(join(UserLines));
    const auto withFactors = test::runInput(join(on));
    ASSERT_EQ(withFactors.status, StatusOk) << withFactors.report;
    EXPECT_EQ(withFactors.plot, plain.plot);
    EXPECT_NE(withFactors.report.find("t-Multiplier"), std::string::npos);
    EXPECT_NE(withFactors.report.find("Q-Multiplier"), std::string::npos);
    EXPECT_EQ(plain.report.find("t-Multiplier"), std::string::npos);
    EXPECT_EQ(plain.report.find("Q-Multiplier"), std::string::npos);

    // No head loads and no settlement points: records 10b and 11b are absent.
    auto none = UserLines;
    none.erase(none.begin() + 23, none.begin() + 27); // 2 loads, the settlement count and its point
    none[22] = "0";
    none.insert(none.begin() + 23, "0");
    const auto bare = test::runInput(join(none));
    ASSERT_EQ(bare.status, StatusOk) << bare.report;
    const auto plot = test::parsePlot(bare.plot);
    ASSERT_TRUE(plot && plot->complete);
    EXPECT_TRUE(plot->headLoads.empty());
    EXPECT_EQ(plot->summary.size(), 3u);
}

// A unit-system code other than 1 or 2 leaves out only the unit rows of the
// sections that have an English and an SI variant; the input is still echoed.
TEST(InputReading, AnotherUnitSystemCodeKeepsTheEchoWithoutUnitRows) {
    const std::string input = "Unit code 3\n10 1 3\n2\n1\n1 1 0 100\n0.04 5 0 0.01 2 0\n0.04 5 0 0.01 2 0\n"
                              "2\n1e9 0 1e9 100\n1e-5 90 12 113\n2\n0.01 0.1\n1\n1000\n0\n0\n0\n";
    const auto out = pavrin::test::runInput(input);
    EXPECT_EQ(out.status, 0) << out.report;
    EXPECT_NE(out.report.find("            LAYER      KSOIL      XTOP      XBOT\n"
                              "              1         1      0.000E+00   0.100E+03  \n"),
              std::string::npos)
        << "the layer rows follow the heading directly";
    EXPECT_NE(out.report.find("             LOADS      \n      1000.000\n"), std::string::npos);
    EXPECT_EQ(out.report.find("LB/IN**3"), std::string::npos);
    EXPECT_EQ(out.report.find("kN/M**3"), std::string::npos);
}

} // namespace
} // namespace pavrin::engine
