// The load-settlement summaries and the closing message of an engine report (.pv3o), taken
// from the report's text. Pure functions over text, so they can be tested without the engine.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pavrin::cli {

// Heading line of a summary table in the report.
inline constexpr std::string_view kSummaryHeading =
    "        TOP  LOAD     TOP MOVEMENT     TIP MOVEMENT     TIP  LOAD";

// One summary table, its lines exactly as in the report (without line ends).
struct SummaryTable {
    std::string heading;
    std::string units;
    std::vector<std::string> rows; // result rows and the explanatory lines that follow them
};

struct ReportSummary {
    std::optional<SummaryTable> tipMovements; // first table: one row per assumed tip movement
    std::optional<SummaryTable> headLoads;    // second table: one row per given head load
};

// Finds the summary tables. A table starts at a heading line, takes the next line as its unit
// line, and runs up to the first line that is empty, blank or "1", or to the end of the text.
ReportSummary extractSummary(std::string_view report);

// The message that closes a stopped run's report: every line from the last one containing
// "****" to the end, or, when there is no such line, from the sixth-last non-empty line on.
// Trailing blank lines are left out.
std::vector<std::string> extractClosingMessage(std::string_view report);

// The tables as pavrin-cli prints them: per table a caption line, the heading, the unit line and
// the rows; an empty line between tables. Says so when the report holds no table.
std::string formatSummary(const ReportSummary& summary);

// The report's lines without their line ends ("\n" or "\r\n").
std::vector<std::string> splitLines(std::string_view text);

} // namespace pavrin::cli
