// The library's entry point and the run around the analysis: exported names,
// the run request, names.dat, the files of a run and the head of the report.
#include "EngineHarness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <set>
#include <sstream>
#include <string>

namespace pavrin::test {
namespace {

// A small, complete project with user curves (English units).
const char* const smallProject = "Entry point project A\r\n"
                                 "4 0 1\r\n"
                                 "1 \r\n"
                                 "2\r\n"
                                 "1 0 3\r\n"
                                 "0 0\r\n"
                                 "2 0.1\r\n"
                                 "2 1\r\n"
                                 "2 100 3\r\n"
                                 "0 0\r\n"
                                 "4 0.1\r\n"
                                 "4 1\r\n"
                                 "2\r\n"
                                 "1E8 0\r\n"
                                 "1E8 100\r\n"
                                 "3\r\n"
                                 "0 0\r\n"
                                 "5000 0.1\r\n"
                                 "6000 1\r\n"
                                 "1E-5 100 12 113.09734\r\n"
                                 "2\r\n"
                                 "0.01\r\n"
                                 "0.2\r\n"
                                 " 0\r\n"
                                 " 0\r\n"
                                 " 0\r\n"
                                 " 0\r\n";

// A larger project of another kind (generated curves, SI, head loads, down-drag and
// both kinds of factors), so that anything left over from it would show in a later run.
const char* const largeProject = "Entry point project B\r\n"
                                 "30 0 2\r\n"
                                 "2 \r\n"
                                 "2\r\n"
                                 "1 3 0.0  6.00000000000000E+0000\r\n"
                                 "2 6  6.00000000000000E+0000  2.00000000000000E+0001\r\n"
                                 "8 40 0.0  0.01 30 0\r\n"
                                 "8 60 0.0  0.008 45 0\r\n"
                                 "10 0.0  32 20 20 5000\r\n"
                                 "10 0.0  35 30 60 8000\r\n"
                                 "3\r\n"
                                 "6000000 0\r\n"
                                 "5000000 7\r\n"
                                 "5000000 15\r\n"
                                 "1E-6 15 0.6 0.28274334\r\n"
                                 " 0\r\n"
                                 "2\r\n"
                                 "300\r\n"
                                 "900\r\n"
                                 "2\r\n"
                                 "0 0.05\r\n"
                                 "5 0\r\n"
                                 " 1\r\n"
                                 "2\r\n"
                                 "0 0.8 1.2\r\n"
                                 "15 1.1 0.9\r\n"
                                 " 1\r\n"
                                 "0.9 1.1\r\n";

std::set<std::string> filesIn(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.insert(entry.path().filename().string());
    return names;
}

// A folder holding a project and names.dat for it, as the front end prepares a run.
struct PreparedRun {
    TempDir dir;
    fs::path input, report, plot, notes;

    explicit PreparedRun(const std::string& text, const std::string& version = "2014.3.1",
                         const std::string& name = "pile") {
        input = dir / (name + ".pv3d");
        report = dir / (name + ".pv3o");
        plot = dir / (name + ".pv3p");
        notes = dir / (name + ".pv3r");
        writeFile(input, text);
        writeNamesDat(dir.path(), version, input, report, plot, notes);
    }
};

// The report with its date and time line removed.
std::string withoutDateLine(const std::string& report) {
    std::string kept;
    for (const std::string& line : splitLines(report))
        if (line.find("Date:  ") == std::string::npos)
            kept += line + '\n';
    return kept;
}

TEST(EntryPointTest, LibraryExportsExactlyTheTwoEntryNames) {
    std::unique_ptr<FILE, int (*)(FILE*)> nm(
        popen(("nm -D --defined-only '" + std::string(PAVRIN_ENGINE_LIBRARY) + "' 2>/dev/null").c_str(), "r"),
        pclose);
    ASSERT_NE(nm, nullptr);
    std::string listing;
    char buffer[512];
    while (fgets(buffer, sizeof buffer, nm.get()) != nullptr)
        listing += buffer;
    if (listing.empty())
        GTEST_SKIP() << "nm is not available";

    // Symbols the linker itself defines in every shared object are not exports of the engine.
    const std::set<std::string> linkerSymbols = {"_edata", "_end", "__bss_start", "_init", "_fini"};
    std::set<std::string> functions, others;
    std::istringstream lines(listing);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string address, type, name;
        if (!(words >> address >> type >> name))
            continue;
        if (linkerSymbols.count(name) != 0)
            continue;
        if (type == "T" || type == "W" || type == "i")
            functions.insert(name);
        else
            others.insert(name);
    }
    EXPECT_EQ(functions, (std::set<std::string>{"IPAVRIN", "_IPAVRIN"})) << listing;
    EXPECT_TRUE(others.empty()) << listing;
}

TEST(EntryPointTest, BothNamesRunTheSameAnalysis) {
    PreparedRun run(smallProject);
    ASSERT_EQ(callEntry(run.dir.path(), 1, nullptr, "_IPAVRIN"), 0);
    const std::string viaUnderscore = withoutDateLine(readFile(run.report));
    const std::string plotViaUnderscore = readFile(run.plot);
    ASSERT_EQ(callEntry(run.dir.path(), 1, nullptr, "IPAVRIN"), 0);
    EXPECT_EQ(withoutDateLine(readFile(run.report)), viaUnderscore);
    EXPECT_EQ(readFile(run.plot), plotViaUnderscore);
}

TEST(EntryPointTest, RequestOtherThanOneReturnsOneAndTouchesNoFile) {
    PreparedRun run(smallProject);
    const auto before = filesIn(run.dir.path());
    for (std::int32_t request : {0, 2, -1}) {
        EXPECT_EQ(callEntry(run.dir.path(), request), 1) << "request " << request;
        EXPECT_EQ(filesIn(run.dir.path()), before) << "request " << request;
    }

    TempDir empty;
    EXPECT_EQ(callEntry(empty.path(), 0), 1);
    EXPECT_TRUE(filesIn(empty.path()).empty());
}

TEST(EntryPointTest, UnusableRunFileListGivesStatusTwo) {
    // No names.dat at all.
    TempDir empty;
    EXPECT_EQ(callEntry(empty.path(), 1), 2);

    // Fewer than five lines: the missing path line is reported on the console.
    PreparedRun shortList(smallProject);
    writeFile(shortList.dir / "names.dat",
              "2014.3.1\n" + shortList.input.string() + "\n" + shortList.report.string() + "\n");
    std::string console;
    EXPECT_EQ(callEntry(shortList.dir.path(), 1, &console), 2);
    EXPECT_NE(console.find("  FILE ERRORS!"), std::string::npos) << console;

    // The same through the reader of the list, without the library.
    engine::RunFileList files;
    std::ostringstream readerConsole;
    EXPECT_FALSE(engine::readRunFileList((shortList.dir / "names.dat").string(), files, readerConsole));
    EXPECT_NE(readerConsole.str().find("  FILE ERRORS!"), std::string::npos);

    // An empty names.dat.
    writeFile(shortList.dir / "names.dat", "");
    EXPECT_EQ(callEntry(shortList.dir.path(), 1), 2);
}

// The line of the report that names `path`, or "" if there is none.
std::string lineNaming(const std::string& report, const fs::path& path) {
    for (const std::string& line : splitLines(report))
        if (line.find(path.string()) != std::string::npos && line.find("Path to file") == std::string::npos)
            return line;
    return "";
}

TEST(EntryPointTest, FileThatCannotBeOpenedGivesStatusTwo) {
    // A report in a folder that does not exist: the console names it.
    PreparedRun noReport(smallProject);
    const fs::path badReport = noReport.dir / "missing" / "pile.pv3o";
    writeNamesDat(noReport.dir.path(), "2014.3.1", noReport.input, badReport, noReport.plot, noReport.notes);
    std::string console;
    EXPECT_EQ(callEntry(noReport.dir.path(), 1, &console), 2);
    EXPECT_NE(console.find(badReport.string()), std::string::npos) << console;

    // An input file that does not exist: the report says so and no plot data file is made.
    PreparedRun noInput(smallProject);
    fs::remove(noInput.input);
    EXPECT_EQ(callEntry(noInput.dir.path(), 1), 2);
    const std::string inputLine = lineNaming(readFile(noInput.report), noInput.input);
    EXPECT_NE(inputLine.find("INPUT FILE"), std::string::npos) << inputLine;
    EXPECT_FALSE(fs::exists(noInput.plot));

    // A plot data file or a notes file in a folder that does not exist: the report names
    // that file, and does not blame the input file, which was fine.
    PreparedRun noPlot(smallProject);
    const fs::path badPlot = noPlot.dir / "missing" / "p.pv3p";
    writeNamesDat(noPlot.dir.path(), "2014.3.1", noPlot.input, noPlot.report, badPlot, noPlot.notes);
    EXPECT_EQ(callEntry(noPlot.dir.path(), 1), 2);
    const std::string plotLine = lineNaming(readFile(noPlot.report), badPlot);
    EXPECT_NE(plotLine, "");
    EXPECT_EQ(plotLine.find("INPUT FILE"), std::string::npos) << plotLine;

    PreparedRun noNotes(smallProject);
    const fs::path badNotes = noNotes.dir / "missing" / "p.pv3r";
    writeNamesDat(noNotes.dir.path(), "2014.3.1", noNotes.input, noNotes.report, noNotes.plot, badNotes);
    EXPECT_EQ(callEntry(noNotes.dir.path(), 1), 2);
    const std::string notesLine = lineNaming(readFile(noNotes.report), badNotes);
    EXPECT_NE(notesLine, "");
    EXPECT_EQ(notesLine.find("INPUT FILE"), std::string::npos) << notesLine;
}

TEST(EntryPointTest, FileThatCannotBeWrittenWholeGivesStatusNineAndIsNamed) {
    // /dev/full takes the file open and refuses every write, as a full disk does.
    const fs::path full = "/dev/full";
    if (!fs::exists(full))
        GTEST_SKIP() << "no /dev/full";
    PreparedRun noReport(smallProject);
    writeNamesDat(noReport.dir.path(), "2014.3.1", noReport.input, full, noReport.plot, noReport.notes);
    std::string console;
    EXPECT_EQ(callEntry(noReport.dir.path(), 1, &console), 9);
    EXPECT_NE(console.find("CANNOT WRITE FILE: /dev/full"), std::string::npos) << console;

    // The report is whole: its last line names the plot data file.
    PreparedRun noPlot(smallProject);
    writeNamesDat(noPlot.dir.path(), "2014.3.1", noPlot.input, noPlot.report, full, noPlot.notes);
    console.clear();
    EXPECT_EQ(callEntry(noPlot.dir.path(), 1, &console), 9);
    EXPECT_NE(console.find("CANNOT WRITE FILE: /dev/full"), std::string::npos) << console;
    const std::string line = lineNaming(readFile(noPlot.report), full);
    EXPECT_NE(line.find("PLOT DATA FILE COULD NOT BE WRITTEN"), std::string::npos) << line;
}

TEST(EntryPointTest, CreatesTheNotesFileEmptyAndLeavesInputAlone) {
    PreparedRun run(smallProject);
    ASSERT_EQ(callEntry(run.dir.path(), 1), 0);
    ASSERT_TRUE(fs::exists(run.notes));
    EXPECT_EQ(fs::file_size(run.notes), 0U);
    EXPECT_EQ(readFile(run.input), smallProject);
    EXPECT_EQ(readFile(run.dir / "names.dat").rfind("2014.3.1", 0), 0U);
}

TEST(EntryPointTest, LongerOldOutputFilesAreFullyReplaced) {
    PreparedRun fresh(smallProject);
    ASSERT_EQ(callEntry(fresh.dir.path(), 1), 0);

    PreparedRun reused(smallProject);
    const std::string oldText(200000, 'Q');
    writeFile(reused.report, oldText);
    writeFile(reused.plot, oldText);
    writeFile(reused.notes, "old notes");
    ASSERT_EQ(callEntry(reused.dir.path(), 1), 0);

    const std::string report = readFile(reused.report);
    const std::string plot = readFile(reused.plot);
    EXPECT_EQ(report.find("QQQQ"), std::string::npos);
    EXPECT_EQ(plot.find("QQQQ"), std::string::npos);
    EXPECT_EQ(withoutDateLine(maskPathLine(report)), withoutDateLine(maskPathLine(readFile(fresh.report))));
    EXPECT_EQ(plot, readFile(fresh.plot));
    // The notes file belongs to the user: the engine only creates it when it is missing.
    EXPECT_EQ(readFile(reused.notes), "old notes");
}

TEST(EntryPointTest, EarlierRunsInTheProcessDoNotChangeALaterRun) {
    // One folder and file names for both projects, so the reports differ only by their contents.
    PreparedRun run(smallProject);
    ASSERT_EQ(callEntry(run.dir.path(), 1), 0);
    const std::string firstReport = withoutDateLine(readFile(run.report));
    const std::string firstPlot = readFile(run.plot);

    writeFile(run.input, largeProject);
    ASSERT_EQ(callEntry(run.dir.path(), 1), 0);
    EXPECT_NE(withoutDateLine(readFile(run.report)), firstReport);

    writeFile(run.input, smallProject);
    ASSERT_EQ(callEntry(run.dir.path(), 1), 0);
    const std::string lastReport = readFile(run.report);
    EXPECT_EQ(withoutDateLine(lastReport), firstReport);
    EXPECT_EQ(readFile(run.plot), firstPlot);

    // The in-memory runs, after a run of the other project, agree with the library's.
    EXPECT_EQ(runInput(largeProject).status, 0);
    const RunOutput again = runInput(smallProject);
    EXPECT_EQ(again.plot, firstPlot);
    ASSERT_GE(lastReport.size(), again.report.size());
    EXPECT_EQ(lastReport.substr(lastReport.size() - again.report.size()), again.report);
}

// The banner line that carries the version text, or "" if there is none.
std::string versionLine(const std::string& report) {
    for (const std::string& line : splitLines(report))
        if (line.find("for Windows, Version ") != std::string::npos)
            return line;
    return "";
}

TEST(EntryPointTest, VersionTextIsCutOrPaddedToTwelveCharacters) {
    PreparedRun longVersion(smallProject, "2014.3.1-build-77");
    ASSERT_EQ(callEntry(longVersion.dir.path(), 1), 0);
    const std::string cut = versionLine(readFile(longVersion.report));
    EXPECT_NE(cut.find("for Windows, Version 2014.3.1-bui"), std::string::npos) << cut;
    EXPECT_EQ(cut.find("2014.3.1-buil"), std::string::npos) << cut;

    PreparedRun shortVersion(smallProject, "7.1");
    ASSERT_EQ(callEntry(shortVersion.dir.path(), 1), 0);
    const std::string padded = versionLine(readFile(shortVersion.report));
    const std::size_t at = padded.find("for Windows, Version 7.1");
    ASSERT_NE(at, std::string::npos) << padded;
    // The twelve characters of the version are followed by what the banner has after them
    // (or by nothing): the nine padding blanks are kept either way.
    EXPECT_EQ(padded.substr(at + 24, 9), std::string(9, ' ')) << "\"" << padded << "\"";
}

TEST(EntryPointTest, PathsWithBlanksStayWholeAndTrailingBlanksAreRemoved) {
    TempDir dir;
    const fs::path folder = dir / "my projects" / "pile A";
    fs::create_directories(folder);
    const fs::path input = folder / "test pile 1.pv3d";
    writeFile(input, smallProject);
    writeFile(dir / "names.dat", "2014.3.1\n" + input.string() + "   \n" +
                                     (folder / "test pile 1.pv3o").string() + "  \n" +
                                     (folder / "test pile 1.pv3p").string() + " \n" +
                                     (folder / "test pile 1.pv3r").string() + "    \n");
    ASSERT_EQ(callEntry(dir.path(), 1), 0);

    const std::string report = readFile(folder / "test pile 1.pv3o");
    EXPECT_TRUE(fs::exists(folder / "test pile 1.pv3p"));
    EXPECT_TRUE(fs::exists(folder / "test pile 1.pv3r"));
    const auto lines = splitLines(report);
    auto hasLine = [&](const std::string& wanted) {
        return std::find(lines.begin(), lines.end(), wanted) != lines.end();
    };
    EXPECT_TRUE(hasLine("     Path to file locations      : " + folder.string() + "/")) << report;
    EXPECT_TRUE(hasLine("     Name of input data file     : test pile 1.pv3d"));
    EXPECT_TRUE(hasLine("     Name of output file         : test pile 1.pv3o"));
    EXPECT_TRUE(hasLine("     Name of plot output file    : test pile 1.pv3p"));
}

TEST(EntryPointTest, PathLongerThanTheListAllowsNeverLeadsToAnotherFile) {
    // Paths of 258 characters: cut to 255 they would name "project.p" in the same folder,
    // one file for all four. The run must either use the whole paths or refuse them.
    TempDir dir;
    const std::size_t folderLength = 245;
    ASSERT_LT(dir.path().string().size() + 2, folderLength);
    const fs::path folder = dir / std::string(folderLength - dir.path().string().size() - 1, 'e');
    fs::create_directories(folder);
    const fs::path input = folder / "project.pv3d";
    ASSERT_EQ(input.string().size(), 258U);
    writeFile(input, smallProject);
    writeNamesDat(dir.path(), "2014.3.1", input, folder / "project.pv3o", folder / "project.pv3p",
                  folder / "project.pv3r");

    const std::int32_t status = callEntry(dir.path(), 1);
    EXPECT_TRUE(status == 0 || status == 2) << status;
    std::set<std::string> expected = {"project.pv3d"};
    if (status == 0)
        expected.insert({"project.pv3o", "project.pv3p", "project.pv3r"});
    EXPECT_EQ(filesIn(folder), expected);
    EXPECT_EQ(readFile(input), smallProject);
}

TEST(EntryPointTest, ReportHeadLayout) {
    const RunOutput out = runFiles(smallProject, "head check");
    ASSERT_EQ(out.status, 0);
    const auto lines = splitLines(out.report);
    const std::string equalsRule = "     " + std::string(73, '=');
    const std::string dashRule = "     " + std::string(73, '-');

    ASSERT_GE(lines.size(), 20U);
    EXPECT_EQ(lines[0], equalsRule);
    std::size_t close = 1;
    while (close < lines.size() && lines[close] != equalsRule)
        ++close;
    ASSERT_LT(close + 14, lines.size()) << "no closing rule of the banner";
    bool namesVersion = false, statesPurpose = false;
    for (std::size_t i = 1; i < close; ++i) {
        namesVersion |= lines[i].find("for Windows, Version 2014.3.1    ") != std::string::npos;
        statesPurpose |= lines[i].find("ettlement") != std::string::npos ||
                         lines[i].find("ETTLEMENT") != std::string::npos;
    }
    EXPECT_TRUE(namesVersion);
    EXPECT_TRUE(statesPurpose);

    std::size_t i = close + 1;
    EXPECT_EQ(lines[i++], "");
    EXPECT_EQ(lines[i++], "");
    EXPECT_EQ(lines[i].rfind("     Path to file locations      : /", 0), 0U) << lines[i];
    EXPECT_EQ(lines[i].back(), '/');
    ++i;
    EXPECT_EQ(lines[i++], "     Name of input data file     : head check.pv3d");
    EXPECT_EQ(lines[i++], "     Name of output file         : head check.pv3o");
    EXPECT_EQ(lines[i++], "     Name of plot output file    : head check.pv3p");
    EXPECT_EQ(lines[i++], "");
    EXPECT_EQ(lines[i++], dashRule);
    EXPECT_EQ(lines[i++], std::string(26, ' ') + "Time and Date of Analysis");
    EXPECT_EQ(lines[i++], dashRule);
    EXPECT_EQ(lines[i++], "");
    EXPECT_EQ(lines[i++], std::string(15, ' ') + "Date:  March 07, 2014     Time:  09:05:03");

    // The rest of the report is exactly what the in-memory run gives.
    const RunOutput body = runInput(smallProject);
    ASSERT_GE(out.report.size(), body.report.size());
    EXPECT_EQ(out.report.substr(out.report.size() - body.report.size()), body.report);
    EXPECT_EQ(out.plot, body.plot);

    EXPECT_NE(out.console.find("COMPUTATION IS PROCEEDING......."), std::string::npos) << out.console;
}

TEST(EntryPointTest, DateLineLeftOutForMonthOutsideTheYear) {
    TempDir dir;
    writeFile(dir / "p.pv3d", smallProject);
    engine::RunFileList files{"2014.3.1    ", (dir / "p.pv3d").string(), (dir / "p.pv3o").string(),
                              (dir / "p.pv3p").string(), (dir / "p.pv3r").string()};
    std::ostringstream console;
    for (int month : {1, 12, 0, 13}) {
        engine::ClockStamp stamp = fixedClock();
        stamp.month = month;
        ASSERT_EQ(engine::runAnalysis(files, stamp, console), 0);
        const std::string report = readFile(dir / "p.pv3o");
        const bool hasDate = report.find("Date:  ") != std::string::npos;
        EXPECT_EQ(hasDate, month >= 1 && month <= 12) << "month " << month;
        if (month == 1) {
            EXPECT_NE(report.find("Date:  January 07, 2014"), std::string::npos);
        }
        if (month == 12) {
            EXPECT_NE(report.find("Date:  December 07, 2014"), std::string::npos);
        }
    }
}

} // namespace
} // namespace pavrin::test
