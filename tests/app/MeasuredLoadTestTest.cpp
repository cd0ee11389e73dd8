// The measured load test's companion file: its text read back, a unit switch
// there and back, the whole-or-nothing write, and the inputs it refuses.
#include "AppTestSupport.h"
#include "MeasuredLoadTest.h"
#include "ProjectFileNames.h"

namespace pavrin::app {
namespace {

using testing::CrLf;
using testing::ReadText;
using testing::TempFolder;
using testing::WriteText;

TMeasuredLoadTest EnglishTest() {
    TMeasuredLoadTest test;
    test.units = 1;
    test.points = {{0, 0, 0.0L}, {100000, 0.125L, 12000}, {200000, 0.3125L, {}}, {300000, 1.2L, 61000.5L}};
    return test;
}

TEST(MeasuredLoadTest, FileTextReadsBackAndUnitsConvertThereAndBack) {
    const TMeasuredLoadTest test = EnglishTest();
    const std::string text = MeasuredLoadTestText(test);
    EXPECT_EQ(text, CrLf({"Load (lbs)  Settlement (in)  Tip load (lbs)", "0 0 0", "100000 0.125 12000",
                          "200000 0.3125", "300000 1.2 61000.5"}));
    TMeasuredLoadTest read;
    ASSERT_EQ(ParseMeasuredLoadTest(text, read), std::nullopt);
    EXPECT_EQ(read, test);
    EXPECT_TRUE(read.hasTipLoads());
    EXPECT_TRUE(MeasuredLoadTestProblems(read, 1).empty());

    // To SI with the factors of the tables (1 kN = 224.8089237 lbs, 1 m = 39.37007874 in), then back.
    TMeasuredLoadTest si = test;
    ConvertMeasuredLoadTest(si, 2);
    EXPECT_EQ(si.units, 2);
    EXPECT_NEAR(static_cast<double>(si.points[1].load), 100000 / 224.8089237, 1e-9);
    EXPECT_NEAR(static_cast<double>(si.points[1].settlement), 0.125 / 39.37007874, 1e-12);
    EXPECT_NEAR(static_cast<double>(*si.points[3].tipLoad), 61000.5 / 224.8089237, 1e-9);
    EXPECT_FALSE(si.points[2].tipLoad);
    EXPECT_EQ(MeasuredLoadTestText(si).substr(0, 40), "Load (kN)  Settlement (m)  Tip load (kN)");
    // Read back in SI, a project in English refuses it.
    ASSERT_EQ(ParseMeasuredLoadTest(MeasuredLoadTestText(si), read), std::nullopt);
    EXPECT_EQ(read.units, 2);
    EXPECT_EQ(MeasuredLoadTestProblems(read, 1),
              std::vector<std::string>{
                  "The measured load test is in SI units (kN, m) but the project is in English units (lbs, in)."});
    // Switched back in memory, as the project's tables are, it is the test as typed.
    ConvertMeasuredLoadTest(si, 1);
    EXPECT_EQ(MeasuredLoadTestText(si), text);

    // Through a file; a failed write leaves the file that was there.
    TempFolder folder;
    const std::string path = MeasuredFileName(folder.File("Pile.pv3d"));
    EXPECT_EQ(path, folder.File("Pile.pv3m"));
    ASSERT_EQ(WriteMeasuredLoadTest(path, test), std::nullopt);
    TMeasuredLoadTest fromFile;
    ASSERT_EQ(ReadMeasuredLoadTest(path, fromFile), std::nullopt);
    EXPECT_EQ(fromFile, test);
    TMeasuredLoadTest bad = test;
    bad.points[1].settlement = std::numeric_limits<long double>::infinity();
    EXPECT_NE(WriteMeasuredLoadTest(path, bad), std::nullopt);
    EXPECT_EQ(ReadText(path), text);
    EXPECT_EQ(ReadMeasuredLoadTest(folder.File("none.pv3m"), fromFile).value_or("").find(
                  "The measured load test \"" + folder.File("none.pv3m") + "\" could not be opened"),
              0u);
    EXPECT_EQ(fromFile, test); // unchanged by a failed read
}

TEST(MeasuredLoadTest, BadFilesAndUnusableTestsGetTheirMessages) {
    struct Case {
        const char* text;
        std::optional<std::string> error; // none: read whole
        std::vector<std::string> problems = {};
    };
    const std::string header =
        "Line 1: The first line must name the units, as in \"Load (lbs)  Settlement (in)  Tip load (lbs)\" or "
        "\"Load (kN)  Settlement (m)  Tip load (kN)\".";
    const Case cases[] = {
        {"", header},
        {"0 0\n10 0.1\n", header},
        {"Load (kips) Settlement (in)\n", header},
        {"Load (kN) Settlement (in)\n1 1\n",
         ("Line 1: the units mix the English system (lbs, in) and the SI system (kN, m). " + header.substr(8))
             },
        {"Load (KN)\tSettlement (M)\r\n\r\n0 0\r\n\r\n5.5E2 1e-3\r\n", std::nullopt, {"The measured load test is in SI units (kN, m) but the project is in English units (lbs, in)."}},
        {"Load (lb) Settlement (in)\n0 0\n10\n", "Line 3: a head load and a head settlement were expected but "
                                                  "only one number was found."},
        {"Load (lb) Settlement (in)\n0 0 0 0\n", "Line 2: at most three numbers were expected (head load, head "
                                                 "settlement, tip load) but 4 were found."},
        {"Load (lb) Settlement (in)\n0 0\n10 0,1\n",
         "Line 3: a number was expected for the head settlement but \"0,1\" was found."},
        {"Load (lb) Settlement (in)\n0 0\n10 0.1 x\n", "Line 3: a number was expected for the tip load but \"x\" was "
                                                       "found."},
        {"Load (lb) Settlement (in)\n1e5000 0\n", "Line 2: a number was expected for the head load but \"1e5000\" "
                                                  "was found."},
        {"Load (lbs) Settlement (in)\n10 0.1\n",
         std::nullopt,
         {"The measured load test needs at least two points; it has 1."}},
        {"Load (lbs) Settlement (in)\n0 0\n20 0.1\n20 0.2\n10 0.3\n",
         std::nullopt,
         {"The loads of the measured load test must increase from point to point; point 3 (20) does not exceed "
          "point 2 (20)."}},
        {"Load (kN) Settlement (m)\n0 -0.001\n",
         std::nullopt,
         {"The measured load test needs at least two points; it has 1.",
          "Point 1 of the measured load test has a negative value; loads and settlements are positive downwards.",
          "The measured load test is in SI units (kN, m) but the project is in English units (lbs, in)."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TMeasuredLoadTest test = EnglishTest();
        const std::optional<std::string> error = ParseMeasuredLoadTest(c.text, test);
        if (c.error) {
            EXPECT_EQ(error.value_or("read whole"), *c.error);
            EXPECT_EQ(test, EnglishTest());
            continue;
        }
        ASSERT_EQ(error, std::nullopt);
        EXPECT_EQ(MeasuredLoadTestProblems(test, 1), c.problems);
    }

    // One point more than the chart table holds.
    std::string many = "Load (lbs) Settlement (in)\n";
    for (int i = 0; i <= kMaxMeasuredPoints; ++i)
        many += std::to_string(i) + " 0.01\n";
    TMeasuredLoadTest test;
    EXPECT_EQ(ParseMeasuredLoadTest(many, test).value_or(""),
              "Line 102: a measured load test holds at most 100 points.");
}

} // namespace
} // namespace pavrin::app
