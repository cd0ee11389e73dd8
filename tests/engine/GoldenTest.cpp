// Whole reports and plot data files of small projects, compared exactly with the
// files stored in data/golden (only the "Path to file locations" line is masked).
//
// To regenerate the stored files after an intended change of the output:
//     PAVRIN_REGENERATE_GOLDEN=1 ctest --test-dir build -R Golden
// then review `git diff tests/engine/data` line by line before committing.
#include "EngineHarness.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace pavrin::test {
namespace {

struct GoldenProject {
    const char* name;
    int status;
};

// Names the project in test listings instead of dumping its bytes.
void PrintTo(const GoldenProject& project, std::ostream* os) {
    *os << project.name;
}

// Together: both unit systems, both curve sources, all six soil types, head loads
// (one outside the computed range), down-drag, side and tip factors, output detail 1,
// uplift, a list mixing uplift and downward movements, and a stop.
const GoldenProject goldenProjects[] = {
    {"english-generated", 0}, {"si-api-defaults", 0},       {"english-user-downdrag-factors", 0},
    {"si-user-uplift", 0},    {"english-stop-cohesion", 5}, {"english-drilled-mixed-uplift", 0},
};

bool regenerating() {
    const char* flag = std::getenv("PAVRIN_REGENERATE_GOLDEN");
    return flag != nullptr && std::string(flag) == "1";
}

// Equal texts, or a message naming the first line that differs.
::testing::AssertionResult sameText(const std::string& expected, const std::string& actual) {
    if (expected == actual)
        return ::testing::AssertionSuccess();
    const auto want = splitLines(expected);
    const auto got = splitLines(actual);
    std::size_t line = 0;
    while (line < want.size() && line < got.size() && want[line] == got[line])
        ++line;
    auto failure = ::testing::AssertionFailure();
    failure << "first difference at line " << line + 1 << "\n  expected: \""
            << (line < want.size() ? want[line] : "<end of file>") << "\"\n  actual:   \""
            << (line < got.size() ? got[line] : "<end of file>") << "\"";
    if (want.size() == got.size() && line == want.size())
        failure << " (the line ends differ)";
    return failure;
}

class GoldenTest : public ::testing::TestWithParam<GoldenProject> {};

TEST_P(GoldenTest, ReportAndPlotFileMatchStoredFiles) {
    const GoldenProject& project = GetParam();
    const fs::path base = testDataPath("golden") / project.name;
    const std::string input = readFile(base.string() + ".pv3d");
    ASSERT_FALSE(input.empty()) << "missing golden input " << base << ".pv3d";

    const RunOutput out = runFiles(input, project.name);
    EXPECT_EQ(out.status, project.status);
    const std::string report = maskPathLine(out.report);

    if (regenerating()) {
        writeFile(base.string() + ".pv3o", report);
        writeFile(base.string() + ".pv3p", out.plot);
        GTEST_SKIP() << "golden files written for " << project.name;
    }
    EXPECT_TRUE(sameText(readFile(base.string() + ".pv3o"), report)) << "report of " << project.name;
    EXPECT_TRUE(sameText(readFile(base.string() + ".pv3p"), out.plot)) << "plot file of " << project.name;
}

INSTANTIATE_TEST_SUITE_P(Projects, GoldenTest, ::testing::ValuesIn(goldenProjects),
                         [](const ::testing::TestParamInfo<GoldenProject>& info) {
                             std::string name = info.param.name;
                             for (char& c : name)
                                 if (c == '-')
                                     c = '_';
                             return name;
                         });

} // namespace
} // namespace pavrin::test
