#include "CommandFiles.h"

#include "Platform.h"
#include "ProjectFile.h"
#include "ProjectPaths.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <system_error>

namespace pavrin::cli {

namespace fs = std::filesystem;

namespace {

// Why the folder that would hold `path` cannot take a new file there, or nothing.
std::optional<std::string> folderProblem(const std::string& path) {
    std::error_code ec;
    fs::path folder = fs::absolute(path, ec).parent_path();
    if (ec || folder.empty())
        folder = ".";
    const fs::file_status status = fs::status(folder, ec);
    if (!fs::exists(status))
        return "The folder \"" + folder.string() + "\" of \"" + path + "\" does not exist.";
    if (!fs::is_directory(status))
        return "\"" + folder.string() + "\" is not a folder, so \"" + path + "\" cannot be written.";
    if (const int error = platform::accessError(folder, true); error != 0) {
        if (error == EACCES || error == EPERM || error == EROFS)
            return "The folder \"" + folder.string() + "\" is not writable" +
                   (error == EROFS ? " (a read-only file system)" : "") + ", so \"" + path +
                   "\" cannot be written there.";
        return "The folder \"" + folder.string() + "\" cannot be used: " + std::strerror(error) + ".";
    }
    return std::nullopt;
}

} // namespace

std::optional<ProjectFileProblem> projectFileProblem(const std::string& path) {
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (fs::is_regular_file(status)) {
        if (const int error = platform::accessError(path, false); error != 0)
            return ProjectFileProblem{false, std::string("the project file cannot be read: ") +
                                                 std::strerror(error)};
        return std::nullopt;
    }
    if (fs::is_directory(status))
        return ProjectFileProblem{false, "a folder, not a project file"};
    if (fs::is_fifo(status))
        return ProjectFileProblem{false, "a named pipe, not a project file"};
    if (fs::exists(status))
        return ProjectFileProblem{false, "not a regular file (a device or socket), not a project file"};
    if (ec && ec != std::errc::no_such_file_or_directory)
        return ProjectFileProblem{false, "the project file cannot be opened: " + ec.message()};
    return ProjectFileProblem{true, "project file not found"};
}

std::optional<std::string> outputProblem(const std::string& output, const std::string& project) {
    if (auto problem = app::OutputPathProblem(output, project))
        return problem;
    return folderProblem(output);
}

std::optional<std::string> runOutputProblem(const std::string& path) {
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (fs::exists(status) && !fs::is_regular_file(status))
        return "The run file \"" + path +
               "\" exists and is not a regular file (a folder, a pipe or a device); the run cannot "
               "write it.";
    return folderProblem(path);
}

bool writeOutputFile(const std::string& path, const std::string& text, std::ostream& err) {
    if (const std::optional<std::string> reason = app::ReplaceFileContents(path, text, ".~part")) {
        err << "pavrin-cli: " << path << ": cannot be written: " << *reason << "\n";
        return false;
    }
    return true;
}

} // namespace pavrin::cli
