// File names of a project: files derived by extension, the display name and
// window caption, command-line names, and the recent-file list.
#include "ProjectFileNames.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pavrin::app {
namespace {

TEST(ProjectFileNames, FilesAreDerivedByReplacingTheExtension) {
    EXPECT_EQ(ChangeFileExt("/home/eng/pile.pv3d", ext::kReport), "/home/eng/pile.pv3o");
    EXPECT_EQ(ChangeFileExt("/home/eng/pile.pv3d", ext::kGwi), "/home/eng/pile.gwi");
    EXPECT_EQ(ChangeFileExt("C:\\a.b\\pile.v2.pvd", ext::kProject), "C:\\a.b\\pile.v2.pv3d");
    EXPECT_EQ(ChangeFileExt("/a.b/pile", ext::kPlot), "/a.b/pile.pv3p"); // a dot in a folder is no extension
    EXPECT_EQ(ExtractFileExt("/a.b/pile"), "");
    EXPECT_EQ(LowerFileExt("OLD.PVD"), ".pvd");
    EXPECT_TRUE(IsCurrentFormat("x/Pile.PV3D"));
    EXPECT_FALSE(IsCurrentFormat("x/pile.pv3"));
    EXPECT_EQ(ExtractFileName("C:\\a\\b.pv3d"), "b.pv3d");
    EXPECT_EQ(ExtractFileDir("C:\\a\\b.pv3d"), "C:\\a");
    EXPECT_EQ(ExtractFileDir("/b.pv3d"), "/");
    EXPECT_EQ(ExtractFileDir("b.pv3d"), "");
}

TEST(ProjectFileNames, DisplayNameAndCaption) {
    EXPECT_EQ(WindowCaption("C:\\a\\b.pv3d"), "PAVRIN 2014.3.1 - B.pv3d");
    EXPECT_EQ(WindowCaption("NewPAVRIN.pv3d"), "PAVRIN 2014.3.1 - NewPAVRIN.pv3d");
    // Only the dialogs' own extension ".pv3" is dropped, from the first dot of the name on.
    EXPECT_EQ(DisplayName("/x/pile.PV3"), "Pile");
    EXPECT_EQ(DisplayName("/x/my.pile.pv3"), "My");
    EXPECT_EQ(DisplayName("/x/old.pvd"), "Old.pvd");
    EXPECT_EQ(DisplayName("/x/a"), "a"); // one character stays as it is
    EXPECT_EQ(DisplayName("/x/4pile.pv3d"), "4pile.pv3d");
}

TEST(ProjectFileNames, CommandLineNames) {
    EXPECT_EQ(CommandLineFileName("pile"), "pile.pv3d");
    EXPECT_EQ(CommandLineFileName("../projects/pile"), "../projects/pile.pv3d");
    EXPECT_EQ(CommandLineFileName("pile.pvd"), "pile.pvd");
    EXPECT_EQ(CommandLineFileName("pile.txt"), "pile.txt");
}

TEST(ProjectFileNames, RecentEntryCaptions) {
    EXPECT_EQ(RecentEntryCaption(1, "/home/eng/pile.pv3d", "/home/eng"), "1 pile.pv3d");
    EXPECT_EQ(RecentEntryCaption(2, "C:\\work\\a.pv3d", "C:\\work"), "2 a.pv3d");
    EXPECT_EQ(RecentEntryCaption(3, "/home/engineer/a.pv3d", "/home/eng"), "3 /home/engineer/a.pv3d");
    EXPECT_EQ(RecentEntryCaption(10, "/a.pv3d", "/"), "10 a.pv3d");
}

std::vector<std::string> Entries(const TRecentFiles& recent) {
    std::vector<std::string> entries;
    for (int i = 1; i <= recent.Count(); ++i)
        entries.push_back(recent.Entry(i));
    return entries;
}

TEST(RecentFiles, MostRecentFirst) {
    TRecentFiles recent;
    int stored = 0;
    recent.OnChanged = [&](const TRecentFiles&) { ++stored; };
    EXPECT_EQ(recent.Count(), 0);
    for (int i = 1; i <= 11; ++i)
        recent.UpdatePrevFile("/p/" + std::to_string(i) + ".pv3d");
    EXPECT_EQ(recent.Count(), 10);
    EXPECT_EQ(recent.Entry(1), "/p/11.pv3d");
    EXPECT_EQ(recent.Entry(10), "/p/2.pv3d");
    EXPECT_EQ(stored, 11);

    recent.UpdatePrevFile("/p/11.pv3d"); // already first: nothing changes
    EXPECT_EQ(stored, 11);
    recent.UpdatePrevFile("/p/8.pv3d"); // entry 4 moves to the top, 1..3 move down
    EXPECT_EQ(Entries(recent),
              (std::vector<std::string>{"/p/8.pv3d", "/p/11.pv3d", "/p/10.pv3d", "/p/9.pv3d", "/p/7.pv3d",
                                        "/p/6.pv3d", "/p/5.pv3d", "/p/4.pv3d", "/p/3.pv3d", "/p/2.pv3d"}));
    recent.UpdatePrevFile("/P/8.pv3d"); // letter case counts
    EXPECT_EQ(recent.Entry(2), "/p/8.pv3d");
    EXPECT_EQ(recent.Entry(10), "/p/3.pv3d");
}

TEST(RecentFiles, LoadedEntriesAndCount) {
    TRecentFiles recent;
    recent.SetEntry(1, "/a.pv3d");
    recent.SetEntry(2, "/b.pv3d");
    recent.SetEntry(11, "/ignored.pv3d");
    EXPECT_EQ(recent.Count(), 2);
    recent.UpdatePrevFile("/b.pv3d");
    EXPECT_EQ(Entries(recent), (std::vector<std::string>{"/b.pv3d", "/a.pv3d"}));
    EXPECT_EQ(recent.Entry(0), "");
    recent.Clear();
    EXPECT_EQ(recent.Count(), 0);
}

} // namespace
} // namespace pavrin::app
