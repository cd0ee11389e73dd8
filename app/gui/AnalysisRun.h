// The pieces of an analysis run that need no window: the run-file list the engine reads from its
// working directory, the folder it is written in, the numeric locale around the call, and the texts
// the run shows.
#pragma once

#include "RunStatus.h"

#include <QString>

#include <cstdint>
#include <string>

namespace pavrin::app::gui {

namespace run_text {
inline constexpr const char* kSaveFailed = "An error occured during saving";
inline constexpr const char* kNamesFailed = "An error occured while writing file names";
inline constexpr const char* kReinitialize = "Attempt to reinitialize DLL";
inline constexpr const char* kInitFailed = "Attempt to initialize DLL failed";
inline constexpr const char* kCompleted =
    "Computations are completed. Please, check output file for results or error messages.";
inline constexpr const char* kEditorFailed = "An error occurred in running the Word Processor";
// "Edit Output Text" before there is a report; the second names the report's path as %1.
inline constexpr const char* kNoReportUnsaved =
    "The project has no report yet: save it and run the analysis, then open the report.";
inline constexpr const char* kNoReport =
    "The project has no report yet (%1 does not exist): run the analysis, then open the report.";
} // namespace run_text

// The run-file list's name and its first line.
inline constexpr const char* kRunFileList = "names.dat";
inline constexpr const char* kRunFileVersion = "2014.3.1";
// The engine's entry point.
inline constexpr const char* kEngineEntryName = "_IPAVRIN";

// The engine library's file name on this platform.
QString EngineLibraryFileName();

// The text of the run-file list for a project file: the version line and the paths of the input
// file, report, plot data file and processor-run notes, one per line.
std::string RunFileListText(const std::string& projectFile);

// Writes the run-file list into `folder`; false when it cannot be written whole.
bool WriteRunFileList(const QString& folder, const std::string& projectFile);

// The folder the engine runs in: the program's folder when the run-file list can be written there
// and it is not an installed copy's folder, else the per-user run folder (made when missing). Empty when neither is writable.
QString ChooseRunFolder(const QString& programFolder, const QString& fallbackFolder);

// The per-user run folder of an installed program.
QString DefaultFallbackRunFolder();

using app::RunStatusLine;

// The C library's numeric convention set to "C" for the object's lifetime and restored after.
class ScopedNumericLocale {
public:
    ScopedNumericLocale();
    ~ScopedNumericLocale();
    ScopedNumericLocale(const ScopedNumericLocale&) = delete;
    ScopedNumericLocale& operator=(const ScopedNumericLocale&) = delete;

private:
    std::string previous_;
};

} // namespace pavrin::app::gui
