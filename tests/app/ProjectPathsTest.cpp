#include "ProjectPaths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace pavrin::app {
namespace {

namespace fs = std::filesystem;

class ProjectPaths : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("pavrin-paths-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string In(const std::string& name) const { return (dir_ / name).string(); }
    void Touch(const std::string& name) const { std::ofstream(In(name)) << "x"; }

    fs::path dir_;
};

TEST_F(ProjectPaths, AProjectIsRefusedWhenTheRunFileListCannotCarryItOrARunWouldOverwriteIt) {
    struct Case {
        std::string name;
        bool refused;
    };
    const Case cases[] = {
        {"pile.pv3d", false},
        {"my pile.PV3D", false},
        {"pile", false},        // no extension: the run files get theirs appended
        {"pile.v2.pvd", false}, // older format: its run files are the .pv3o of "pile.v2"
        {"p\nq.pv3d", true},    // a line break splits names.dat
        {"p\rq.pv3d", true},
        {"p\tq.pv3d", true},
        {"p.pv3d ", true}, // the engine drops trailing blanks: it would run "p.pv3d"
        {"p.pv3p", true},  // the plot data file would be the project
        {"p.PV3O", false}, // other case, other file on this file system
        {"p.pv3o", true},
        {"p.pv3r", true},
        {"p.gwi", true}, // the empty companion file of a save
        {std::string(260, 'x') + ".pv3d", true},
    };
    for (const Case& c : cases) {
        const std::string project = In(c.name);
        EXPECT_EQ(ProjectPathProblem(project).has_value(), c.refused) << "\"" << c.name << "\"";
    }
    EXPECT_TRUE(RunListPathProblem(" /leading/blank.pv3d"));
}

TEST_F(ProjectPaths, AnOutputIsRefusedWhenItNamesTheProjectOrOneOfItsFiles) {
    Touch("p.pv3d");
    Touch("p.pv3p");
    fs::create_directory(In("folder"));
    fs::create_symlink(In("p.pv3d"), In("link.csv"));
    const std::string project = In("p.pv3d");
    struct Case {
        std::string output;
        bool refused;
    };
    const Case cases[] = {
        {In("springs.csv"), false}, // a new name
        {In("p.pv3p"), true},       // the plot data file, existing
        {In("p.pv3o"), true},       // the report, not yet written
        {In("p.pv3r"), true},       {In("p.gwi"), true},
        {In("p.pv3d"), true},       {In("./sub/../p.pv3d"), true}, // the same path spelled otherwise
        {In("link.csv"), true},                                    // a link to the project
        {In("folder"), true},                                      // not a regular file
        {"/dev/null", true},        {In("q.pv3p"), false},
    };
    fs::create_directory(In("sub"));
    for (const Case& c : cases)
        EXPECT_EQ(OutputPathProblem(c.output, project).has_value(), c.refused) << c.output;
}

} // namespace
} // namespace pavrin::app
