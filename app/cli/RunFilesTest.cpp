#include "RunFiles.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

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

// The private run folder goes with names.dat and a converted input, whether the run ends or a
// signal stops the program in the middle of it.
TEST(RunFiles, RunFolderIsRemovedAfterTheRunAndWhenASignalStopsIt) {
    namespace fs = std::filesystem;
    const fs::path temp = fs::temp_directory_path() / ("pavrin-cli-runfiles-" + std::to_string(::getpid()));
    fs::create_directories(temp);
    const std::string oldTmp = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "";
    ::setenv("TMPDIR", temp.c_str(), 1);
    const RunFiles files = deriveRunFiles("/data/old pile.pvd");
    {
        const RunDirectory folder(files, std::string("converted text"));
        EXPECT_EQ(folder.files().project, folder.path() / "old pile.pv3d");
        EXPECT_EQ(folder.files().report, "/data/old pile.pv3o");
        std::ifstream names(folder.path() / "names.dat");
        std::string version, input;
        std::getline(names, version);
        std::getline(names, input);
        EXPECT_EQ(input, folder.files().project.string());
        std::ifstream copy(folder.files().project);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(copy), {}), "converted text");
    }
    EXPECT_TRUE(fs::is_empty(temp));
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        EXPECT_EXIT(
            {
                const RunDirectory folder(files, std::string("converted text"));
                std::raise(signal);
            },
            testing::KilledBySignal(signal), "")
            << signal;
        EXPECT_TRUE(fs::is_empty(temp)) << "after signal " << signal;
    }
    if (oldTmp.empty())
        ::unsetenv("TMPDIR");
    else
        ::setenv("TMPDIR", oldTmp.c_str(), 1);
    fs::remove_all(temp);
}

} // namespace
} // namespace pavrin::cli
