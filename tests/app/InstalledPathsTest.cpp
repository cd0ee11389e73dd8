#include "InstalledPaths.h"

#include "AppTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace pavrin::app {
namespace {

namespace fs = std::filesystem;

TEST(InstalledPaths, TheManualIsFoundInTheProgramsFolderFirstThenInTheDocumentationFolderOfItsPrefix) {
    struct Case {
        const char* what;
        const char* program;            // the program's folder, under a temporary root
        std::vector<std::string> files; // files made under the root
        std::vector<std::string> folders;
        const char* expected; // under the root, or nullptr for "not found"
    };
    const Case cases[] = {
        {"build tree: beside the program", "build/bin", {"build/bin/M.pdf"}, {}, "build/bin/M.pdf"},
        {"installed under /usr",
         "usr/lib/pavrin",
         {"usr/share/doc/pavrin/M.pdf"},
         {"usr/lib/pavrin"},
         "usr/share/doc/pavrin/M.pdf"},
        {"installed under another prefix, the folder named with a trailing slash",
         "opt/pv/lib/pavrin/",
         {"opt/pv/share/doc/pavrin/M.pdf"},
         {"opt/pv/lib/pavrin"},
         "opt/pv/share/doc/pavrin/M.pdf"},
        {"in both: the program's folder wins",
         "usr/lib/pavrin",
         {"usr/lib/pavrin/M.pdf", "usr/share/doc/pavrin/M.pdf"},
         {},
         "usr/lib/pavrin/M.pdf"},
        {"a folder of the manual's name is no manual",
         "usr/lib/pavrin",
         {"usr/share/doc/pavrin/M.pdf"},
         {"usr/lib/pavrin/M.pdf"},
         "usr/share/doc/pavrin/M.pdf"},
        {"nowhere it is looked for",
         "usr/lib/pavrin",
         {"usr/share/doc/other/M.pdf", "usr/lib/M.pdf", "usr/share/doc/M.pdf"},
         {"usr/lib/pavrin"},
         nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testing::TempFolder root;
        for (const std::string& folder : c.folders)
            fs::create_directories(root.Path() / folder);
        for (const std::string& file : c.files) {
            fs::create_directories((root.Path() / file).parent_path());
            std::ofstream(root.Path() / file) << "%PDF";
        }
        const std::optional<fs::path> found = FindManual(root.Path() / c.program, "M.pdf");
        if (c.expected == nullptr)
            EXPECT_EQ(found, std::nullopt);
        else
            EXPECT_EQ(found.value_or("(not found)").lexically_normal(),
                      (root.Path() / c.expected).lexically_normal());
    }
}

TEST(InstalledPaths, OnlyThePrivateFolderOfAnInstalledCopyCountsAsInstalled) {
    const std::pair<const char*, bool> cases[] = {
        {"/usr/lib/pavrin", true},           {"/usr/lib/pavrin/", true},
        {"/tmp/root/usr/lib/pavrin", true},  {"/opt/pv/lib/pavrin/.", true},
        {"/work/main/build/bin", false},     {"/usr/lib/pavrin2", false},
        {"/usr/libexec/pavrin", false},      {"/home/u/pavrin", false},
        {"pavrin", false},                   {"", false},
    };
    for (const auto& [folder, installed] : cases)
        EXPECT_EQ(IsInstalledProgramFolder(folder), installed) << folder;
}

} // namespace
} // namespace pavrin::app
