// The calculation report: one paginated PDF of an analysed project (title block, inputs, soil-pile
// profile, result graphs, result tables and the engine's messages), drawn with QPdfWriter over the
// graph and profile drawings. The desktop program and pavrin-cli both write it through this one
// function, so the same project gives the same file. Needs a QGuiApplication (fonts); no widgets.
#pragma once

#include <string>

namespace pavrin::report {

enum class Paper { A4, Letter };

struct ReportOptions {
    Paper paper = Paper::A4;
    // The engine library whose SHA-256 the title block shows (the one that ran the project).
    std::string engineLibrary;
};

struct ReportOutcome {
    int status = 0;      // 0 written; 1 no results or not written; 2 the project file is missing
    std::string message; // why it was not written, for the user
    int pages = 0;       // pages written
    std::string warning; // written, but with this said (a measured load test that could not be read)
};

// Reads the project saved at `project` and the plot data file of its last run, analyses it in memory
// and writes the report to `out` whole or not at all (a temporary file renamed over it). A project
// without results is refused with "run the analysis first".
ReportOutcome WriteCalculationReport(const std::string& project, const std::string& out,
                                     const ReportOptions& options);

// The SHA-256 of a file as 64 lower-case hexadecimal digits; empty when it cannot be read.
std::string FileSha256(const std::string& path);

} // namespace pavrin::report
