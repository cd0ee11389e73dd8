// The files of one run: the project and the files named after it, the run-file list names.dat
// that tells the engine about them, and the private folder in which the engine is called.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace pavrin::cli {

// Version line of names.dat, as the front end writes it.
inline constexpr std::string_view kFrontEndVersion = "2014.3.1";

struct RunFiles {
    std::filesystem::path project; // input file (.pv3d), absolute
    std::filesystem::path report;  // output report (.pv3o)
    std::filesystem::path plot;    // plot data file (.pv3p)
    std::filesystem::path notes;   // processor-run notes file (.pv3r)
};

// `path` with the extension of its file name replaced: the text from the last dot of the file
// name on, or nothing when the name holds no dot, becomes `extension` (".pv3o").
std::filesystem::path replaceExtension(const std::filesystem::path& path, std::string_view extension);

// The files of a run on `project`, which must be absolute.
RunFiles deriveRunFiles(const std::filesystem::path& project);

// Text of names.dat: the version line and the four paths, one per line, LF line ends.
std::string namesDatText(const RunFiles& files);

// A private temporary folder holding names.dat for one run. Removed, with names.dat and anything
// else left in it, when the object goes, also after a failure, and also when Ctrl-C, SIGTERM or
// SIGHUP stops the program while it lives (the signal then does what it would have done).
class RunDirectory {
public:
    // Creates the folder and writes names.dat. When `input` is given (a project of the older format
    // as the program would save it), it is written into the folder under the project's name with
    // the current extension, and names.dat names that copy as the input file; the report, plot data
    // and notes files stay beside the project. Throws std::runtime_error on failure.
    explicit RunDirectory(const RunFiles& files, const std::optional<std::string>& input = std::nullopt);
    ~RunDirectory();
    RunDirectory(const RunDirectory&) = delete;
    RunDirectory& operator=(const RunDirectory&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The files as names.dat names them.
    const RunFiles& files() const { return files_; }

private:
    void remove() noexcept;
    std::filesystem::path path_;
    RunFiles files_;
};

// Makes `dir` the process's working directory until the object goes, then goes back.
// Throws std::filesystem::filesystem_error when either folder cannot be entered.
class ScopedWorkingDirectory {
public:
    explicit ScopedWorkingDirectory(const std::filesystem::path& dir);
    ~ScopedWorkingDirectory();
    ScopedWorkingDirectory(const ScopedWorkingDirectory&) = delete;
    ScopedWorkingDirectory& operator=(const ScopedWorkingDirectory&) = delete;

private:
    std::filesystem::path previous_;
};

} // namespace pavrin::cli
