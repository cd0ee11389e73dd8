// A run writes its report and plot data file in pieces as it goes, over old files of any length:
// the files hold exactly the texts of the same run made in memory, whatever was there.
#include "../../bench/MaximumInput.h"
#include "EngineHarness.h"
#include "ReportWriter.h"
#include "Run.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace pavrin::test {
namespace {

TEST(OutputWriting, LargeRunWritesTheTextsOfTheRunInMemoryOverOldFilesOfAnyLength) {
    const std::string input = bench::maximumInput(0);
    std::string body, plot;
    ASSERT_EQ(engine::analyse(input, body, plot), engine::StatusOk);
    ASSERT_GT(body.size(), 4 * engine::ReportWriter::FlushBytes); // written in several pieces

    TempDir dir;
    engine::RunFileList files;
    files.version = "2014.3.1    ";
    files.input = (dir / "max.pv3d").string();
    files.report = (dir / "max.pv3o").string();
    files.plot = (dir / "max.pv3p").string();
    files.notes = (dir / "max.pv3r").string();
    writeFile(files.input, input);
    std::string head;
    engine::writeReportHead(head, files, fixedClock());

    const std::string longer(body.size() + plot.size() + 12345, '#');
    const std::string* olds[] = {nullptr, &longer, &head}; // none, longer, shorter
    for (const std::string* old : olds) {
        if (old) {
            writeFile(files.report, *old);
            writeFile(files.plot, *old);
        } else {
            fs::remove(files.report);
            fs::remove(files.plot);
        }
        std::ostringstream console;
        ASSERT_EQ(engine::runAnalysis(files, fixedClock(), console), engine::StatusOk);
        const std::string report = readFile(files.report);
        const std::string plotFile = readFile(files.plot);
        // Compared whole without printing megabytes on a failure.
        EXPECT_TRUE(report == head + body)
            << "report of " << report.size() << " bytes, expected " << head.size() + body.size();
        EXPECT_TRUE(plotFile == plot)
            << "plot data of " << plotFile.size() << " bytes, expected " << plot.size();
    }
}

} // namespace
} // namespace pavrin::test
