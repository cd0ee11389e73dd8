// `pavrin-cli run PROJECT.pv3d`: one analysis through the engine library's entry point, as the
// front end runs it, then the run status, the file paths and the report's summaries on stdout.
#pragma once

#include "RunFiles.h"

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>

namespace pavrin::cli {

// The end of a report that holds its summaries and closing message: the last 256 KiB from the start
// of a line, or the whole report when it is shorter or when that end holds neither a summary nor a
// message marked with "****". Nothing when the report is not a readable file.
std::optional<std::string> readReportEnd(const std::filesystem::path& report);

// Prints the run status, the paths and the summaries or closing message of the report. After a write
// failure (status 9) it says which file could not be written instead of showing the cut report.
void printRunResults(std::int32_t status, const RunFiles& files,
                     std::optional<std::filesystem::file_time_type> reportBefore, std::ostream& out);

// Returns the exit code: the engine's run status, or an ExitCode when the run could not start.
int runCommand(const std::string& projectArgument, std::ostream& out, std::ostream& err);

} // namespace pavrin::cli
