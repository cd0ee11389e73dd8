// The files a command reads and writes: whether a path can be read as a project, whether a
// command may write its output to a path, and writing an output whole or not at all. Built on the
// program's one rule for project and output paths (ProjectPaths.h).
#pragma once

#include <iosfwd>
#include <optional>
#include <string>

namespace pavrin::cli {

struct ProjectFileProblem {
    bool missing = false; // no such file (else: a folder, a pipe, a device, or unreadable)
    std::string message;  // "project file not found", "a folder, not a project file", ...
};

// Why `path` cannot be opened as a project file, or nothing when it is a readable regular file.
std::optional<ProjectFileProblem> projectFileProblem(const std::string& path);

// Why a command must not write `output` for `project`: the program's rule (the project itself, one of
// its run files, a folder, pipe or device), or a folder that is missing or not writable. The
// message names the file or folder.
std::optional<std::string> outputProblem(const std::string& output, const std::string& project);

// Why the engine must not write the run file `path`: it exists and is not a regular file (a pipe
// would block the run, a device would swallow it), or its folder is not writable. Nothing when it may.
std::optional<std::string> runOutputProblem(const std::string& path);

// Writes `text` to `path` through a temporary file beside it, renamed over it at the end, so that an
// old file stays whole until the new one is. False with a message on `err` on failure.
bool writeOutputFile(const std::string& path, const std::string& text, std::ostream& err);

} // namespace pavrin::cli
