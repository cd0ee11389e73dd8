#include "RunCommand.h"

#include "CommandFiles.h"
#include "EngineLibrary.h"
#include "ExitCodes.h"
#include "RunFiles.h"
#include "Summary.h"

#include "ProgramData.h"
#include "ProjectFile.h"
#include "ProjectFileNames.h"
#include "ProjectPaths.h"
#include "ProjectTables.h"
#include "Run.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <optional>

namespace pavrin::cli {

namespace fs = std::filesystem;

namespace {

// The summaries and the closing message are the report's last lines: both summary tables of the
// largest run take about 10 KB, so the last 256 KiB hold them, whatever the size of the report.
constexpr std::uintmax_t kReportTailBytes = 256 * 1024;

} // namespace

std::optional<std::string> readReportEnd(const fs::path& file) {
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) // a folder opens, and then reads as nothing
        return std::nullopt;
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    if (!in)
        return std::nullopt;
    const std::streamoff size = in.tellg();
    if (size < 0)
        return std::nullopt;
    auto readFrom = [&](std::streamoff start) -> std::optional<std::string> {
        std::string text(static_cast<std::size_t>(size - start), '\0');
        in.clear();
        in.seekg(start);
        in.read(text.data(), static_cast<std::streamsize>(text.size()));
        if (in.bad())
            return std::nullopt;
        text.resize(static_cast<std::size_t>(in.gcount()));
        return text;
    };
    const auto tailBytes = static_cast<std::streamoff>(kReportTailBytes);
    if (size <= tailBytes)
        return readFrom(0);
    auto tail = readFrom(size - tailBytes);
    if (!tail)
        return std::nullopt;
    const auto firstLineEnd = tail->find('\n');
    tail->erase(0, firstLineEnd == std::string::npos ? tail->size() : firstLineEnd + 1);
    const auto summary = extractSummary(*tail);
    if (summary.tipMovements || tail->find("****") != std::string::npos)
        return tail;
    return readFrom(0);
}

namespace {

fs::path absoluteProjectPath(const std::string& argument) {
    const fs::path path = fs::absolute(argument);
    // ".." after a symbolic link means the link target's parent, so let the file system resolve it.
    for (const auto& part : path)
        if (part == "..")
            return fs::weakly_canonical(path);
    return path.lexically_normal();
}

std::optional<fs::file_time_type> modificationTime(const fs::path& file) {
    std::error_code ec;
    const auto time = fs::last_write_time(file, ec);
    return ec ? std::nullopt : std::optional(time);
}

// Calls the entry point with 1 from inside `folder`; the working directory is restored on the way out.
std::int32_t callEngine(const EngineLibrary& engine, const RunDirectory& folder, std::ostream& out) {
    const ScopedWorkingDirectory inFolder(folder.path());
    out.flush(); // the engine writes its progress lines to the same console
    std::fflush(stdout);
    const std::int32_t status = engine.call(1);
    std::cout.flush();
    std::fflush(stdout);
    return status;
}

// The older format is converted in memory as the program's Open and Save would, and the engine reads
// the converted copy; every other name is the current format and reaches the engine as it is.
// Returns 0, or an exit code after a message on `err`.
int convertOlderFormat(const RunFiles& files, std::optional<std::string>& converted, std::ostream& err) {
    if (app::ReadAsCurrentFormat(files.project.string()))
        return 0;
    app::TProjectTables tables;
    std::string error;
    const auto data = app::TProgramData::CreateFromFile(tables, files.project.string(), false, error);
    if (!data || !error.empty()) {
        err << "pavrin-cli: " << files.project.string() << ": " << (error.empty() ? "cannot be read" : error)
            << "\n";
        return ExitProjectUnreadable;
    }
    try {
        converted = app::ProjectFileText(*data);
    } catch (const std::exception& e) {
        err << "pavrin-cli: " << files.project.string() << ": cannot be converted: " << e.what() << "\n";
        return ExitProjectUnreadable;
    }
    return 0;
}

} // namespace

void printRunResults(std::int32_t status, const RunFiles& files,
                     std::optional<fs::file_time_type> reportBefore, std::ostream& out) {
    out << "Run status: " << status << " (" << runStatusMeaning(status) << ")\n";
    out << "Report:    " << files.report.string() << "\n";
    out << "Plot file: " << files.plot.string() << "\n\n";

    const auto reportAfter = modificationTime(files.report);
    const auto report = reportAfter ? readReportEnd(files.report) : std::nullopt;
    if (status == engine::StatusWriteError) {
        // The engine names a plot data or notes file it could not write at the end of a whole
        // report; without that line the report itself is cut short and its tail means nothing.
        const auto closing = report ? extractClosingMessage(*report) : std::vector<std::string>{};
        const bool named =
            !closing.empty() && closing.back().find("COULD NOT BE WRITTEN") != std::string::npos;
        const std::string& failed = !named ? files.report.string()
                                    : closing.back().find("PLOT DATA") != std::string::npos
                                        ? files.plot.string()
                                        : files.notes.string();
        out << "Writing failed: " << failed
            << " could not be written whole (is the disk full?). The results of this run are incomplete.\n";
        return;
    }
    if (!report) {
        out << "The report could not be read: " << files.report.string() << "\n";
        return;
    }
    // Only a failed run can leave an old report behind; timestamps alone are too coarse on some file systems.
    if (status == 2 && reportBefore && reportBefore == reportAfter) {
        out << "The report was not rewritten by this run; it is left from an earlier one.\n";
        return;
    }
    out << formatSummary(extractSummary(*report));
    if (status >= 2 && status <= 8) {
        out << "\nEnd of the report:\n";
        for (const auto& line : extractClosingMessage(*report))
            out << line << "\n";
    }
}

int runCommand(const std::string& projectArgument, std::ostream& out, std::ostream& err) {
    RunFiles files;
    try {
        files = deriveRunFiles(absoluteProjectPath(projectArgument));
    } catch (const fs::filesystem_error& e) {
        err << "pavrin-cli: cannot resolve the project path " << projectArgument << ": " << e.code().message()
            << "\n";
        return ExitProjectMissing;
    }
    if (const auto problem = projectFileProblem(files.project.string())) {
        err << "pavrin-cli: " << files.project.string() << ": " << problem->message << "\n";
        return ExitProjectMissing;
    }
    // The one rule for what may be run: the run-file list carries every path exactly, and no file
    // the run writes is the project itself.
    if (const auto problem = app::ProjectPathProblem(files.project.string())) {
        err << "pavrin-cli: " << *problem << "\n";
        return ExitProjectMissing;
    }
    for (const fs::path* written : {&files.report, &files.plot, &files.notes})
        if (const auto problem = runOutputProblem(written->string())) {
            err << "pavrin-cli: " << *problem << "\n";
            return ExitOutputFile;
        }
    std::optional<std::string> converted;
    if (const int code = convertOlderFormat(files, converted, err))
        return code;

    const auto reportBefore = modificationTime(files.report);
    std::int32_t status = 0;
    try {
        // Destroyed in reverse order: the library is unloaded, then names.dat and the folder go.
        const RunDirectory folder(files, converted);
        if (const auto problem = app::RunListPathProblem(folder.files().project.string())) {
            err << "pavrin-cli: the converted copy of the project cannot be run from the temporary folder: "
                << *problem << "\n";
            return ExitRunFolder;
        }
        const EngineLibrary engine(EngineLibrary::besideExecutable());
        status = callEngine(engine, folder, out);
    } catch (const EngineLibraryError& e) {
        err << "pavrin-cli: " << e.what() << "\n";
        return ExitEngineUnavailable;
    } catch (const std::exception& e) {
        err << "pavrin-cli: cannot prepare the run: " << e.what() << "\n";
        return ExitRunFolder;
    }
    if (converted)
        out << "The project is of the older format; the engine ran a copy converted as File Save would "
               "write it.\n";
    printRunResults(status, files, reportBefore, out);
    return status;
}

} // namespace pavrin::cli
