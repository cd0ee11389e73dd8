// The check and convert commands on the files users give them: any name but
// .pvd is a project in the current format, and a folder, an over-long name or
// an empty output name is refused with a message instead of ending the program.
#include "CheckConvertCommands.h"

#include "ProgramData.h"
#include "ProjectFileNames.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <random>
#include <sstream>
#include <utility>

namespace pavrin::cli {
namespace {

namespace fs = std::filesystem;

const fs::path kExamples = PAVRIN_EXAMPLES;

class CheckConvert : public ::testing::Test {
protected:
    CheckConvert()
        : folder_(fs::temp_directory_path() / ("pavrin-cli-test-" + std::to_string(std::random_device()()))) {
        fs::create_directories(folder_);
    }
    ~CheckConvert() override {
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }
    std::string File(const std::string& name) const { return (folder_ / name).string(); }

    int Check(const std::string& project) {
        out.str({});
        err.str({});
        return checkCommand(project, out, err);
    }
    int Convert(const std::string& in, const std::string& target) {
        out.str({});
        err.str({});
        return convertCommand("si", in, target, out, err);
    }

    std::ostringstream out, err;

private:
    fs::path folder_;
};

TEST_F(CheckConvert, OnlyPvdIsTheOlderFormat) {
    // A project with t-z and Q-w factors saved under other names keeps them.
    for (const char* name : {"pile.txt", "pile.bak", "pile", "pile.PV3D"}) {
        fs::copy_file(kExamples / "user-curves-downdrag.pv3d", File(name));
        EXPECT_EQ(Check(File(name)), 0) << name << err.str();
        ASSERT_EQ(Convert(File(name), File("out.pv3d")), 0) << name << err.str();
        app::TProjectTables tables;
        std::string error;
        const auto converted = app::TProgramData::CreateFromFile(tables, File("out.pv3d"), true, error);
        EXPECT_EQ(error, "") << name;
        EXPECT_EQ(converted->ApplySideFactors, 1) << name;
        EXPECT_EQ(tables.TblPVFactors2().RowCount(), 4) << name;
        EXPECT_EQ(converted->ApplyQwFactors, 1) << name;
    }
    // An older project is read as one whatever the letter case of its extension.
    fs::copy_file(PAVRIN_APP_TEST_DATA "/old-format.pvd", File("old.PVD"));
    EXPECT_EQ(Convert(File("old.PVD"), File("old.pv3d")), 0) << err.str();
}

TEST_F(CheckConvert, WhatIsNotAProjectFileIsRefusedWithAMessage) {
    fs::create_directory(File("folder.pv3d"));
    const std::string project = (kExamples / "drilled-shaft-si.pv3d").string();
    const std::string tooLong = File(std::string(5000, 'a'));
    const std::pair<std::function<int()>, std::string> cases[] = {
        {[&] { return Check(File("folder.pv3d")); }, "a folder, not a project file"},
        {[&] { return Convert(File("folder.pv3d"), File("out.pv3d")); }, "a folder, not a project file"},
        {[&] { return Check(File("missing.pv3d")); }, "project file not found"},
        {[&] { return Check(tooLong); }, "File name too long"},
        {[&] { return Convert(project, ""); }, "An empty output path"},
        {[&] { return Convert(project, File("folder.pv3d")); }, "is not a regular file"},
    };
    for (const auto& [command, message] : cases) {
        EXPECT_EQ(command(), 1) << message;
        EXPECT_NE(err.str().find(message), std::string::npos) << err.str();
        EXPECT_EQ(out.str(), "") << message;
    }
    EXPECT_FALSE(fs::exists(File("out.pv3d")));
}

} // namespace
} // namespace pavrin::cli
