// File names of a project and the recent-file list. Every file of a project
// is named after the project file by replacing its extension; the window
// caption shows the project's display name. Paths may use "/" or "\" between
// folders.
#pragma once

#include <array>
#include <functional>
#include <string>

namespace pavrin::app {

// Extensions of the files of a project.
namespace ext {
inline constexpr const char* kProject = ".pv3d";   // project file = engine input
inline constexpr const char* kOldProject = ".pvd"; // project file of the older version, read only
inline constexpr const char* kReport = ".pv3o";    // output report
inline constexpr const char* kPlot = ".pv3p";      // plot data file
inline constexpr const char* kNotes = ".pv3r";     // processor-run notes
inline constexpr const char* kGwi = ".gwi";        // companion file, created empty
inline constexpr const char* kMeasured = ".pv3m";  // measured load test, beside the project
} // namespace ext

// The default extension of the Open and Save As dialogs: the three letters
// after the dot of ".pv3d".
inline constexpr const char* kDialogDefaultExt = "pv3";
inline constexpr const char* kFileDialogFilter =
    "PAVRIN 2014 (*.pv3d)|*.pv3d|PAVRIN 2.0 (*.pvd)|*.pvd|All Files (*.*)|*.*";
inline constexpr const char* kCaptionPrefix = "PAVRIN 2014.3.1 - ";

// The file name without its folder.
std::string ExtractFileName(const std::string& path);
// The folder of a path without the trailing separator ("" for a bare name).
std::string ExtractFileDir(const std::string& path);
// The extension of the file name, from its last dot on; "" when it has none.
std::string ExtractFileExt(const std::string& path);
// The path with its extension replaced by `extension` (appended when none).
std::string ChangeFileExt(const std::string& path, const std::string& extension);
// The extension in lower case (ASCII).
std::string LowerFileExt(const std::string& path);
// Whether the path names a file of the current format (extension ".pv3d" in any case).
bool IsCurrentFormat(const std::string& path);
// Whether a project file is read in the current format: every name but that of an older project
// (".pvd" in any case), so that a project saved under another name keeps its factor tables.
bool ReadAsCurrentFormat(const std::string& path);

// The display name: the file name; when its extension is "." followed by the
// dialogs' default extension (any case), cut at the first dot; longer than one
// character: the first letter in upper case.
std::string DisplayName(const std::string& path);
// "PAVRIN 2014.3.1 - " followed by the display name.
std::string WindowCaption(const std::string& fileName);

// A file name from the command line: ".pv3d" appended when its name has no dot.
std::string CommandLineFileName(const std::string& argument);

// The text of recent entry `number` (1-based) in the File menu: the number, a
// blank, and the path without the current directory and its separator when
// it starts with them.
std::string RecentEntryCaption(int number, const std::string& path, const std::string& currentDirectory);

// The ten most recent project files, most recent first. Entries are compared
// exactly, letter case included.
class TRecentFiles {
public:
    static constexpr int kSize = 10;

    // Entry `number`, 1-based; "" outside 1..10.
    const std::string& Entry(int number) const;
    const std::array<std::string, kSize>& Entries() const { return entries_; }
    // The count of non-empty entries.
    int Count() const { return count_; }

    // Puts the path at the top: unchanged when it is entry 1; an entry i
    // equal to it is taken out and entries 1..i-1 move down; otherwise every
    // entry moves down and entry 10 is dropped. Then OnChanged.
    void UpdatePrevFile(const std::string& path);

    // Loading from and clearing for the settings store (no OnChanged).
    void SetEntry(int number, const std::string& path);
    void Clear();

    // Called after UpdatePrevFile (the main window stores the list).
    std::function<void(const TRecentFiles&)> OnChanged;

private:
    void Recount();

    std::array<std::string, kSize> entries_;
    int count_ = 0;
};

} // namespace pavrin::app
