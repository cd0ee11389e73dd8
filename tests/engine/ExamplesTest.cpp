// The example projects shipped with the program run through and give sensible results.
#include "EngineHarness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace pavrin::test {
namespace {

std::vector<fs::path> exampleProjects() {
    std::vector<fs::path> projects;
    for (const auto& entry : fs::directory_iterator(examplesPath()))
        if (entry.path().extension() == ".pv3d")
            projects.push_back(entry.path());
    std::sort(projects.begin(), projects.end());
    return projects;
}

TEST(ExamplesTest, ThereAreExamples) {
    EXPECT_GE(exampleProjects().size(), 3U);
}

TEST(ExamplesTest, EveryExampleRunsToSensibleResults) {
    for (const fs::path& project : exampleProjects()) {
        SCOPED_TRACE(project.filename().string());
        const std::string input = readFile(project);

        // Written as the front end writes project files: every line ends with CR LF.
        ASSERT_FALSE(input.empty());
        EXPECT_EQ(input.substr(input.size() - 2), "\r\n");
        for (std::size_t at = input.find('\n'); at != std::string::npos; at = input.find('\n', at + 1))
            ASSERT_TRUE(at > 0 && input[at - 1] == '\r') << "line end without CR at byte " << at;

        const RunOutput out = runFiles(input, project.stem().string());
        ASSERT_EQ(out.status, 0) << out.report.substr(out.report.size() > 3000 ? out.report.size() - 3000
                                                                               : 0);
        EXPECT_FALSE(holdsNanOrInf(out.report));
        EXPECT_FALSE(holdsNanOrInf(out.plot));
        EXPECT_EQ(out.report.find("OUTSIDE THE COMPUTED RANGE"), std::string::npos);
        EXPECT_EQ(out.report.find("WARNING"), std::string::npos);
        EXPECT_EQ(out.report.find("*****"), std::string::npos) << "a field filled with asterisks";

        // The first summary: head movement and tip load grow with the tip movement.
        const auto rows = reportSummaryRows(out.report, 0);
        ASSERT_GE(rows.size(), 7U);
        for (std::size_t i = 1; i < rows.size(); ++i) {
            EXPECT_GT(rows[i].tipMovement, rows[i - 1].tipMovement) << "row " << i + 1;
            EXPECT_GT(rows[i].headMovement, rows[i - 1].headMovement) << "row " << i + 1;
            EXPECT_GE(rows[i].tipLoad, rows[i - 1].tipLoad) << "row " << i + 1;
            EXPECT_GE(rows[i].headMovement, rows[i].tipMovement * 0.999) << "row " << i + 1;
        }

        // The second summary: one row per head load, settlement growing with the load.
        const auto loads = reportSummaryRows(out.report, 1);
        ASSERT_GE(loads.size(), 3U);
        for (std::size_t i = 1; i < loads.size(); ++i) {
            ASSERT_GT(loads[i].headLoad, loads[i - 1].headLoad);
            EXPECT_GT(loads[i].headMovement, loads[i - 1].headMovement) << "row " << i + 1;
        }

        // The plot data file agrees with the report's summaries.
        std::string plotError;
        const auto plot = parsePlot(out.plot, &plotError);
        ASSERT_TRUE(plot.has_value()) << plotError;
        EXPECT_TRUE(plot->complete);
        ASSERT_EQ(plot->summary.size(), rows.size());
        EXPECT_EQ(plot->headLoads.size(), loads.size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            EXPECT_DOUBLE_EQ(plot->summary[i].headLoad, rows[i].headLoad);
            EXPECT_DOUBLE_EQ(plot->summary[i].headMovement, rows[i].headMovement);
        }
    }
}

} // namespace
} // namespace pavrin::test
