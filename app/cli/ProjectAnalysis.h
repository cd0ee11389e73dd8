// What the summary, springs and sweep commands share: a project opened as the program opens
// it, refused when the pre-run check has findings, and analysed in memory by the engine core
// (no files written, no engine library loaded).
#pragma once

#include "Analysis.h"
#include "ResultTables.h"

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace pavrin::app {
class TProgramData;
class TProjectTables;
} // namespace pavrin::app

namespace pavrin::cli {

// A project read whole from its file; the tables outlive the project.
struct OpenedProject {
    std::unique_ptr<app::TProjectTables> tables;
    std::unique_ptr<app::TProgramData> data;
    OpenedProject();
    ~OpenedProject();
    OpenedProject(OpenedProject&&) noexcept;
    OpenedProject& operator=(OpenedProject&&) noexcept;
};

// Opens `path` (only a .pvd name in the older format). Returns 0, or the exit code after a
// message on `err`: ExitProjectMissing when there is no such file, ExitProjectUnreadable when
// it cannot be read whole.
int openProject(const std::string& path, OpenedProject& project, std::ostream& err);

// The pre-run check's findings as one line each; empty when the project can be run.
std::vector<std::string> checkFindings(const app::TProgramData& project);

// The text the engine reads for the project opened from `path`: the file itself, or for an older-format
// file the project as File Save would write it. False with a message on `err` when it cannot be had.
bool engineInput(const std::string& path, app::TProgramData& project, std::string& input, std::ostream& err);

// Why the engine stops on `input` (a run status other than 0), with the end of its report, or nothing.
std::optional<std::string> engineRefusal(const std::string& input);

// Opens `path`, refuses it (ExitProjectRefused, findings on `err`) when the check has findings,
// and analyses the file's text in memory. Returns 0, an exit code as openProject's, or the
// engine's run status (3 to 8) with the end of its report on `err`.
int analyseProject(const std::string& path, engine::AnalysisResults& results, std::ostream& err);

// Unit labels, numbers in the "C" convention and CSV fields as the desktop program writes them.
using results::csvField;
using results::formatNumber;
using results::UnitLabels;
using results::unitLabels;

// Writes `text` to `path` whole or not at all (a temporary file renamed over it); false with a
// message on `err` when it cannot be written.
bool writeTextFile(const std::string& path, const std::string& text, std::ostream& err);

// The end of a stopped run's report, for messages: its last non-blank lines.
std::string reportEnd(const std::string& report);

} // namespace pavrin::cli
