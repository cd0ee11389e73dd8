// Which paths may name a project and which may receive a command's output: the one rule the desktop
// program, the File commands and the runner share. The run-file list names.dat is a list of lines
// whose trailing blanks the engine drops and whose lines it cuts at 255 characters, so only paths it
// carries exactly may reach a run; and no file a save or a run writes may be the project itself.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace pavrin::app {

// The files of one run, named after the project by replacing its extension.
struct RunFilePaths {
    std::string project; // input file (.pv3d)
    std::string report;  // output report (.pv3o)
    std::string plot;    // plot data file (.pv3p)
    std::string notes;   // processor-run notes (.pv3r)
};

// The engine reads each path from the first 255 characters of its names.dat line.
inline constexpr std::size_t kMaxRunListPathLength = 255;

RunFilePaths DeriveRunFiles(const std::string& project);

// Why the run-file list cannot carry `path` exactly (a line break or other control character, a
// blank at either end, more than 255 bytes), or nothing.
std::optional<std::string> RunListPathProblem(const std::string& path);

// Why `project` cannot be saved and run as a project: one of its run files cannot be carried by the
// run-file list, or a file that a save or a run writes (report, plot data file, notes, the empty
// companion file, the measured load test) would be the project itself. Nothing when it can. The message names the file.
std::optional<std::string> ProjectPathProblem(const std::string& project);

// Why a command must not write its output to `output` for `project`: it is the project or one of
// the files of its run, or it exists and is not a regular file (a folder, a pipe, a device).
// Nothing when it may be written. The message names the file.
std::optional<std::string> OutputPathProblem(const std::string& output, const std::string& project);

// Whether two paths name the same file: the same file on disk when both exist, else the same
// absolute, normalised path.
bool SameFile(const std::string& a, const std::string& b);

} // namespace pavrin::app
