#include "RunFiles.h"

#include <gtest/gtest.h>

#include <string>

namespace pavrin::cli {
namespace {

TEST(RunFiles, ReplacesTheExtensionFromTheLastDotOfTheFileName) {
    EXPECT_EQ(replaceExtension("/p/a.b/pile.v2.pv3d", ".pv3o"), "/p/a.b/pile.v2.pv3o");
    EXPECT_EQ(replaceExtension("/p/a.b/pile", ".pv3o"), "/p/a.b/pile.pv3o");
    EXPECT_EQ(replaceExtension("/p/with blank/my pile.PV3D", ".pv3p"), "/p/with blank/my pile.pv3p");
}

TEST(RunFiles, DerivesReportPlotAndNotesFromTheProject) {
    const auto files = deriveRunFiles("/data/pile.pv3d");
    EXPECT_EQ(files.project, "/data/pile.pv3d");
    EXPECT_EQ(files.report, "/data/pile.pv3o");
    EXPECT_EQ(files.plot, "/data/pile.pv3p");
    EXPECT_EQ(files.notes, "/data/pile.pv3r");
}

TEST(RunFiles, NamesDatHoldsVersionAndFourPathsWithLineFeeds) {
    EXPECT_EQ(namesDatText(deriveRunFiles("/data/my pile.pv3d")), "2014.3.1\n"
                                                                  "/data/my pile.pv3d\n"
                                                                  "/data/my pile.pv3o\n"
                                                                  "/data/my pile.pv3p\n"
                                                                  "/data/my pile.pv3r\n");
}

TEST(RunFiles, PathsTheEngineCannotReadAreRefused) {
    EXPECT_FALSE(runFilesProblem(deriveRunFiles("/data/pile.pv3d")));
    EXPECT_TRUE(runFilesProblem(deriveRunFiles("/" + std::string(250, 'x') + ".pv3d")));
    EXPECT_TRUE(runFilesProblem(deriveRunFiles("/data/pi\nle.pv3d")));
}

} // namespace
} // namespace pavrin::cli
