#include "Summary.h"

#include "RunCommand.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace pavrin::cli {
namespace {

const std::string kHeading = "        TOP  LOAD     TOP MOVEMENT     TIP MOVEMENT     TIP  LOAD";
const std::string kUnits = "           LBS             IN.              IN.            LBS";
const std::string kRow1 = "       0.1234E+05      0.1000E-01      0.1000E-02      0.5000E+03";
const std::string kRow2 = "       0.2468E+05      0.2000E-01      0.2000E-02      0.9000E+03";
const std::string kRow3 = "       0.3000E+05      0.4000E-01      0.1000E-01      0.1200E+04";

// A report shaped as the engine writes it: node tables, the tip-movement summary, then after a
// "1" line the head-load summary, with an explanatory line under the last table.
std::string twoTableReport() {
    return " \n"
           " TEST PILE\n"
           "\n\n\n" +
           kHeading + "\n" + kUnits + "\n" + kRow1 + "\n" + kRow2 + "\n" +
           "1\n"
           "        TEST PILE\n" +
           kHeading + "\n" + kUnits + "\n" + kRow3 + "\n" +
           "     LOAD BEYOND THE LAST COMPUTED HEAD LOAD: SETTLEMENT EXTRAPOLATED\n";
}

TEST(Summary, FindsBothTablesWithTheirLinesAsInTheReport) {
    const auto summary = extractSummary(twoTableReport());
    ASSERT_TRUE(summary.tipMovements);
    EXPECT_EQ(summary.tipMovements->heading, kHeading);
    EXPECT_EQ(summary.tipMovements->units, kUnits);
    EXPECT_EQ(summary.tipMovements->rows, (std::vector<std::string>{kRow1, kRow2}));

    ASSERT_TRUE(summary.headLoads);
    EXPECT_EQ(summary.headLoads->units, kUnits);
    EXPECT_EQ(summary.headLoads->rows,
              (std::vector<std::string>{
                  kRow3, "     LOAD BEYOND THE LAST COMPUTED HEAD LOAD: SETTLEMENT EXTRAPOLATED"}));
}

TEST(Summary, TableEndsAtEmptyOrSingleBlankLine) {
    for (const std::string end : {"", " "}) {
        const auto report = kHeading + "\n" + kUnits + "\n" + kRow1 + "\n" + end + "\n" + kRow2 + "\n";
        const auto summary = extractSummary(report);
        ASSERT_TRUE(summary.tipMovements);
        EXPECT_EQ(summary.tipMovements->rows, std::vector<std::string>{kRow1}) << "end line '" << end << "'";
        EXPECT_FALSE(summary.headLoads);
    }
}

TEST(Summary, TableRunsToEndOfFileWithoutFinalLineEnd) {
    const auto summary = extractSummary(kHeading + "\n" + kUnits + "\n" + kRow1 + "\n" + kRow2);
    ASSERT_TRUE(summary.tipMovements);
    EXPECT_EQ(summary.tipMovements->rows, (std::vector<std::string>{kRow1, kRow2}));
}

TEST(Summary, ToleratesCarriageReturnLineEnds) {
    const auto summary = extractSummary(kHeading + "\r\n" + kUnits + "\r\n" + kRow1 + "\r\n\r\n");
    ASSERT_TRUE(summary.tipMovements);
    EXPECT_EQ(summary.tipMovements->units, kUnits);
    EXPECT_EQ(summary.tipMovements->rows, std::vector<std::string>{kRow1});
}

TEST(Summary, NoTableInAReportThatStoppedEarly) {
    const auto summary = extractSummary(" \n TEST PILE\n\n          TIP  LOAD     TIP MOVEMENT\n");
    EXPECT_FALSE(summary.tipMovements);
    EXPECT_FALSE(summary.headLoads);
    EXPECT_EQ(formatSummary(summary), "The report holds no load-settlement summary.\n");
}

TEST(Summary, HeadingWithOtherIndentationIsNotASummary) {
    EXPECT_FALSE(extractSummary(" " + kHeading + "\n" + kUnits + "\n" + kRow1 + "\n").tipMovements);
}

TEST(Summary, EmptyTableAtEndOfFile) {
    const auto summary = extractSummary(kHeading + "\n");
    ASSERT_TRUE(summary.tipMovements);
    EXPECT_EQ(summary.tipMovements->units, "");
    EXPECT_TRUE(summary.tipMovements->rows.empty());
}

TEST(Summary, FormatsCaptionsHeadingUnitsAndRows) {
    const auto text = formatSummary(extractSummary(twoTableReport()));
    EXPECT_EQ(text, "Load-settlement summary (assumed tip movements):\n" + kHeading + "\n" + kUnits + "\n" +
                        kRow1 + "\n" + kRow2 + "\n\nSettlements under the given head loads:\n" + kHeading +
                        "\n" + kUnits + "\n" + kRow3 +
                        "\n     LOAD BEYOND THE LAST COMPUTED HEAD LOAD: SETTLEMENT EXTRAPOLATED\n");
}

TEST(ClosingMessage, FromTheLastLineWithFourAsterisks) {
    const std::string report = "       0.1E+01 ****** 0.2E+01\n"
                               "\n"
                               "                             **** WARNING ****\n"
                               "     THE VALUE OF X = 0.12E+03IS BEYOND THE EXTENT OF\n"
                               "     THE INPUT STRENGTH CURVE\n"
                               "\n";
    EXPECT_EQ(extractClosingMessage(report),
              (std::vector<std::string>{"                             **** WARNING ****",
                                        "     THE VALUE OF X = 0.12E+03IS BEYOND THE EXTENT OF",
                                        "     THE INPUT STRENGTH CURVE"}));
}

TEST(ClosingMessage, WithoutAsterisksTheLastSixNonEmptyLines) {
    const std::string report = "a\nb\nc\n\nd\ne\n\nf\ng\nh\n\n";
    EXPECT_EQ(extractClosingMessage(report),
              (std::vector<std::string>{"c", "", "d", "e", "", "f", "g", "h"}));
}

TEST(ClosingMessage, ShortReportIsShownWhole) {
    EXPECT_EQ(extractClosingMessage("one\n\ntwo\n"), (std::vector<std::string>{"one", "", "two"}));
    EXPECT_TRUE(extractClosingMessage("").empty());
}

// The runner reads only the end of a large report: what it finds there is what the whole gives.
TEST(ReportEnd, LargeReportGivesTheSummariesAndMessageOfTheWholeReport) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("pavrin-report-end-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    std::string longBody;
    for (std::size_t i = 0; i < 10000; ++i)
        longBody += "   12.4  2.35    0.123E+04          0.456E+03    0.789E-03          0.135E-01\n";
    const struct {
        const char* name;
        std::string text;
    } reports[] = {
        {"short", twoTableReport()},
        {"long", longBody + twoTableReport()},
        {"stopped", longBody + "\n                             **** INPUT ERROR ****\n     RECORD 9B: BAD\n"},
        // Neither a summary nor a marked message at its end: the whole report is read.
        {"unmarked", "**** EARLY MARK ****\n" + longBody + "     THE END\n"},
        {"empty", ""},
    };
    for (const auto& report : reports) {
        const auto path = folder / (std::string(report.name) + ".pv3o");
        std::ofstream(path, std::ios::binary) << report.text;
        const auto end = readReportEnd(path);
        ASSERT_TRUE(end.has_value()) << report.name;
        EXPECT_LE(end->size(), report.text.size()) << report.name;
        EXPECT_EQ(formatSummary(extractSummary(*end)), formatSummary(extractSummary(report.text)))
            << report.name;
        EXPECT_EQ(extractClosingMessage(*end), extractClosingMessage(report.text)) << report.name;
    }
    EXPECT_FALSE(readReportEnd(folder / "missing.pv3o").has_value());
    EXPECT_FALSE(readReportEnd(folder).has_value());
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace pavrin::cli
