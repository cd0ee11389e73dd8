#include "ProjectPaths.h"

#include "ProjectFileNames.h"

#include <array>
#include <filesystem>
#include <system_error>

namespace pavrin::app {

namespace fs = std::filesystem;

namespace {

fs::path Normalised(const std::string& path) {
    std::error_code error;
    fs::path absolute = fs::absolute(path, error);
    if (error)
        absolute = path;
    fs::path canonical = fs::weakly_canonical(absolute, error);
    return (error ? absolute : canonical).lexically_normal();
}

// The files a save or a run writes beside the project, with what each one is.
struct Written {
    const char* extension;
    const char* what;
};
constexpr std::array<Written, 5> kWrittenFiles = {{{ext::kReport, "output report"},
                                                   {ext::kPlot, "plot data file"},
                                                   {ext::kNotes, "processor-run notes"},
                                                   {ext::kGwi, "companion file"},
                                                   {ext::kMeasured, "measured load test"}}};

} // namespace

RunFilePaths DeriveRunFiles(const std::string& project) {
    return {project, ChangeFileExt(project, ext::kReport), ChangeFileExt(project, ext::kPlot),
            ChangeFileExt(project, ext::kNotes)};
}

std::optional<std::string> RunListPathProblem(const std::string& path) {
    if (path.empty())
        return "an empty path";
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F)
            return "the path \"" + path +
                   "\" holds a line break or another control character, which the "
                   "run-file list cannot carry";
    }
    if (path.front() == ' ' || path.back() == ' ')
        return "the path \"" + path + "\" begins or ends with a blank, which the run-file list cannot carry";
    if (path.size() > kMaxRunListPathLength)
        return "the path \"" + path + "\" is longer than " + std::to_string(kMaxRunListPathLength) +
               " characters, which the run-file list cannot carry";
    return std::nullopt;
}

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    if (fs::exists(a, error) && fs::exists(b, error)) {
        const bool same = fs::equivalent(a, b, error);
        if (!error)
            return same;
    }
    return Normalised(a) == Normalised(b);
}

std::optional<std::string> ProjectPathProblem(const std::string& project) {
    const RunFilePaths files = DeriveRunFiles(project);
    for (const std::string* path : {&files.project, &files.report, &files.plot, &files.notes})
        if (auto problem = RunListPathProblem(*path))
            return "The project \"" + project + "\" cannot be run: " + *problem + ".";
    for (const Written& written : kWrittenFiles) {
        const std::string path = ChangeFileExt(project, written.extension);
        if (SameFile(path, project))
            return "The project \"" + project + "\" has the name of its own " + written.what +
                   ", which saving or running it would write over the project. Save it under a name "
                   "ending in \"" +
                   ext::kProject + "\".";
    }
    return std::nullopt;
}

std::optional<std::string> OutputPathProblem(const std::string& output, const std::string& project) {
    if (output.empty())
        return "An empty output path.";
    if (SameFile(output, project))
        return "The output \"" + output + "\" is the project itself; choose another file.";
    for (const Written& written : kWrittenFiles)
        if (SameFile(output, ChangeFileExt(project, written.extension)))
            return "The output \"" + output + "\" is the project's " + written.what +
                   "; choose another file.";
    std::error_code error;
    const fs::file_status status = fs::status(output, error);
    if (fs::exists(status) && !fs::is_regular_file(status))
        return "The output \"" + output +
               "\" exists and is not a regular file (a folder, a pipe or a "
               "device); choose another file.";
    return std::nullopt;
}

} // namespace pavrin::app
