// The measured load test's companion file: its text read back, a unit switch
// there and back, the whole-or-nothing write, the inputs it refuses, and the
// test as part of a project: saved beside it, switched with its units, opened
// with it, part of its modified state, never in the project file.
#include "AppTestSupport.h"
#include "MeasuredLoadTest.h"
#include "ProjectFileNames.h"
#include "ProjectPaths.h"

namespace pavrin::app {
namespace {

using testing::CrLf;
using testing::ProjectTest;
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
        // Read whole (the reader takes what long double holds) but beyond what the analysis compares.
        {"Load (lbs) Settlement (in)\n0 0\n10 1e3000\n20 0.2 4e38\n",
         std::nullopt,
         {"Point 2 of the measured load test has a value too large for the analysis (more than 3.4E38)."}},
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

using MeasuredProject = ProjectTest;

TEST_F(MeasuredProject, SavedBesideTheProjectSwitchedWithItsUnitsAndOpenedWithIt) {
    namespace fs = std::filesystem;
    const std::string plain = folder.File("Plain.pv3d");
    const std::string tested = folder.File("Tested.pv3d");
    ProgramData = TProgramData::CreateNew(tables);
    ProgramData->FileName = plain;
    ProgramData->SaveToFile();
    EXPECT_FALSE(fs::exists(MeasuredFileName(plain))) << "no file for a project without a test";

    tables.SetMeasuredTest(EnglishTest());
    EXPECT_FALSE(tables.IsModified()) << "filled by the program, not edited";
    tables.TblMeasured2().SetChanged(true); // as the editor marks an edit
    EXPECT_TRUE(tables.IsModified());
    ProgramData->FileName = tested;
    ProgramData->SaveToFile();
    EXPECT_FALSE(tables.IsModified());
    EXPECT_EQ(ReadText(tested), ReadText(plain)) << "the project file stays the engine's input";
    EXPECT_EQ(ReadText(MeasuredFileName(tested)), MeasuredLoadTestText(EnglishTest()));

    // To SI and saved: the file follows the project's units; opened, the test is the one saved.
    ProgramData->SetUnits(2);
    EXPECT_EQ(tables.MeasuredTest().units, 2);
    EXPECT_NEAR(static_cast<double>(tables.MeasuredTest().points[3].settlement), 1.2 / 39.37007874, 1e-15);
    EXPECT_NEAR(static_cast<double>(tables.MeasuredTest().points[3].tipLoad.value_or(0)), 61000.5 / 224.8089237,
                1e-9)
        << "the tip loads switch with the table";
    ProgramData->SaveToFile();
    EXPECT_EQ(ReadText(MeasuredFileName(tested)).substr(0, 9), "Load (kN)");
    ProgramData = TProgramData::CreateFromFile(tables, tested, true, ProgramData->ReadError);
    ASSERT_TRUE(ProgramData->ReadError.empty()) << ProgramData->ReadError;
    EXPECT_EQ(ProgramData->Units, 2);
    EXPECT_FALSE(tables.IsModified());
    // Back in English the test is the one typed, to the 8 digits the file keeps, tip loads included.
    ProgramData->SetUnits(1);
    const TMeasuredLoadTest reopened = tables.MeasuredTest();
    const TMeasuredLoadTest typed = EnglishTest();
    ASSERT_EQ(reopened.points.size(), typed.points.size());
    for (std::size_t i = 0; i < typed.points.size(); ++i) {
        SCOPED_TRACE(i);
        const MeasuredPoint &a = reopened.points[i], &b = typed.points[i];
        EXPECT_NEAR(static_cast<double>(a.load), static_cast<double>(b.load), 1e-7 * 300000);
        EXPECT_NEAR(static_cast<double>(a.settlement), static_cast<double>(b.settlement), 1e-7);
        ASSERT_EQ(a.tipLoad.has_value(), b.tipLoad.has_value());
        if (b.tipLoad) {
            EXPECT_NEAR(static_cast<double>(*a.tipLoad), static_cast<double>(*b.tipLoad), 1e-7 * 61000);
        }
    }

    // A row whose load is edited loses the tip load measured at the old load.
    tables.TblMeasured2().Column(col::kMeasuredLoad).SetFloat(1, 110000);
    EXPECT_FALSE(tables.MeasuredTest().points[1].tipLoad);
    EXPECT_TRUE(tables.MeasuredTest().points[3].tipLoad);

    // Emptied and saved, the file it came from goes; New has no test.
    tables.SetMeasuredTest({});
    EXPECT_EQ(tables.TblMeasured2().RowCount(), 1);
    ProgramData->SaveToFile();
    EXPECT_FALSE(fs::exists(MeasuredFileName(tested)));
    ProgramData = TProgramData::CreateNew(tables);
    EXPECT_TRUE(tables.MeasuredTest().points.empty());

    // A test that cannot be read is told of and kept, the project opens whole.
    testing::WriteText(MeasuredFileName(tested), "Load (lbs) Settlement (in)\n0 0\n10 x\n");
    ProgramData = TProgramData::CreateFromFile(tables, tested, true, ProgramData->ReadError);
    EXPECT_TRUE(ProgramData->ReadError.empty());
    EXPECT_EQ(ProgramData->MeasuredReadError,
              "The measured load test \"" + MeasuredFileName(tested) +
                  "\" could not be read. Line 3: a number was expected for the head settlement but \"x\" was found.");
    ProgramData->SaveToFile();
    EXPECT_TRUE(fs::exists(MeasuredFileName(tested)));

    // A project may not carry the name its measured test would be saved under.
    EXPECT_NE(ProjectPathProblem(folder.File("Pile.pv3m")).value_or("").find("its own measured load test"),
              std::string::npos);
}

} // namespace
} // namespace pavrin::app
