// Helpers of the project tests: one set of project tables per test (the
// program has one), a temporary folder, whole files as text, and projects
// built in code.
#pragma once

#include "ProgramData.h"
#include "ProjectFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace pavrin::app::testing {

namespace fs = std::filesystem;

// A fresh folder under the system's temporary folder, removed afterwards.
class TempFolder {
public:
    TempFolder() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("pavrin-app-") + (info ? info->test_suite_name() : "x") + "-" +
                           (info ? info->name() : "y");
        for (char& c : name)
            if (c == '/')
                c = '_';
        name += "-" + std::to_string(std::random_device()()); // test runs of other builds may run beside
        path_ = fs::temp_directory_path() / name;
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code error;
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, error);
        fs::remove_all(path_, error);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string File(const std::string& name) const { return (path_ / name).string(); }
    const fs::path& Path() const { return path_; }

private:
    fs::path path_;
};

inline std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// Lines joined with CR LF, each ended by one.
inline std::string CrLf(std::initializer_list<std::string> lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

inline void SetColumn(TGridTable& table, int column, const std::vector<long double>& values) {
    table.SetRowCount(static_cast<int>(values.size()));
    for (std::size_t r = 0; r < values.size(); ++r)
        table.Column(column).SetFloat(static_cast<int>(r), values[r]);
}

// The fixture of the project tests: the main window's tables and, after the
// test, no current project.
class ProjectTest : public ::testing::Test {
protected:
    void TearDown() override { ProgramData.reset(); }

    // A project read from text in a temporary file; the message of a reading error.
    std::unique_ptr<TProgramData> ReadProjectText(const std::string& text, std::string& error,
                                                  bool currentFormat = true) {
        const std::string path = folder.File("read.pv3d");
        WriteText(path, text);
        return TProgramData::CreateFromFile(tables, path, currentFormat, error);
    }

    TProjectTables tables;
    TempFolder folder;
};

} // namespace pavrin::app::testing
