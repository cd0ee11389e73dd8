// The File commands of the main window (New, Open, Save, Save As, a recent
// entry, a dropped file, the command line) and the question whether to save
// changes, without any window: what the user answers and what the window must
// show come through ProjectUi, which the main window implements and the tests
// answer. The commands replace the global ProgramData.
#pragma once

#include "ProgramData.h"
#include "ProjectFileNames.h"

#include <optional>
#include <string>
#include <vector>

namespace pavrin::app {

inline constexpr const char* kSaveChangesQuestion = "Do you want to save any changes?";
// Asked after the reason why the project's name cannot be saved or run.
inline constexpr const char* kSaveUnderAnotherName = "Save the project under another name?";

// A project path as it enters the program (command line, Open, recent entry, drop, Save As):
// absolute and normalised, so that no later change of the current directory changes the file.
// Unchanged when the current directory cannot be read.
std::string AbsoluteProjectPath(const std::string& path);

// The name offered for saving a project that was read only in part, beside the original:
// "pile (recovered).pv3d" for "pile.pv3d".
std::string RecoveredFileName(const std::string& path);

// The line a reading error names ("Error on Line 10 Item 1 ..."); 0 when it names none.
int ReadErrorLine(const std::string& readError);

enum class SaveAnswer { Yes, No, Cancel };

// The file chosen in the Open dialog and the 1-based filter in force.
struct OpenChoice {
    std::string path;
    int filterIndex = 1; // 1 "PAVRIN 2014 (*.pv3d)", 2 "PAVRIN 2.0 (*.pvd)", 3 all files
};

// The user's answers and the window's updates.
class ProjectUi {
public:
    virtual ~ProjectUi() = default;

    // Questions and file choices.
    // Yes / No / Cancel confirmation with the given text.
    virtual SaveAnswer AskSaveChanges(const std::string& question) = 0;
    // The Open dialog (title "Open", the project filter); nothing when cancelled.
    virtual std::optional<OpenChoice> ChooseFileToOpen() = 0;
    // The Save As dialog with the given title and preset file name (overwrite
    // prompt); nothing when cancelled.
    virtual std::optional<std::string> ChooseSaveFileName(const std::string& title,
                                                          const std::string& presetName) = 0;
    // An information box with OK (a file that could not be read whole).
    virtual void ShowInformation(const std::string& message) = 0;
    // An error box with OK (a project that could not be saved).
    virtual void ShowError(const std::string& message) = 0;
    // A warning with Yes and No (replacing a file, a name that cannot be saved); true for Yes.
    // By default No, so that nothing is replaced unasked.
    virtual bool Confirm(const std::string& /*question*/) { return false; }

    // Updates of the main window; by default nothing.
    virtual void SetCaption(const std::string& /*caption*/) {}
    // The project was replaced: bring the curve-mode menu items in line.
    virtual void CurveModeChanged() {}
    // Recompute the toolbar's enabled buttons.
    virtual void UpdateToolbar() {}
    virtual void CloseChildWindows() {}
    // Read the plot data file into the graphs, without a message on failure;
    // returns whether it succeeded.
    virtual bool LoadResults(const std::string& /*plotFile*/) { return false; }
    // Make `folder` the process's current directory (errors ignored).
    virtual void SetCurrentDirectory(const std::string& folder);
};

class TProjectCommands {
public:
    TProjectCommands(TProjectTables& tables, TRecentFiles& recent, ProjectUi& ui);

    // Start-up: the project named by the first argument (".pv3d" appended
    // when its name has no dot, made absolute) when that file exists, else a
    // new project; then the caption. Leaves the recent list and the current
    // directory alone.
    void OpenCommandLine(const std::vector<std::string>& arguments);

    // Each returns whether it went through (false: the user cancelled or it failed).
    bool FileNew();
    bool FileOpen();
    // Failures of writing are shown through ProjectUi::ShowError. A project
    // whose name cannot be saved or run (ProjectPathProblem) is not written:
    // the reason is shown and Save As offered. A project read only in part
    // goes to Save As, preset to its recovered name.
    bool FileSave();
    // The chosen name is made absolute (an older-format name gets ".pv3d");
    // a name that cannot be saved or run is refused with its reason, and an
    // existing file is replaced only when the user confirms (plainly warned
    // when it is the file this project was read from only in part).
    bool FileSaveAs();
    // File Save as the analysis run does it: a failure of writing raises
    // EProjectSaveError instead of being shown. Returns false when the user
    // cancelled the Save As.
    bool SaveOrThrow();
    // Recent entry `number` (1-based) of the File menu.
    bool OpenRecent(int number);
    // Files dropped on the main window: the first one is opened.
    bool OpenDroppedFiles(const std::vector<std::string>& paths);

    // Whether the caller may go on (close the window, replace the project):
    // not modified, or the user said No, or Yes and the project was saved.
    bool AskToSave();

    // Replaces the current project by the file's contents; the file's folder
    // becomes the current directory and the file goes to the top of the
    // recent list.
    void OpenFileName(const std::string& path, bool currentFormat);

    // The graphs hold results read from the project's plot data file.
    bool ResultsLoaded = false;
    // Cleared by a cancelled Save As (read by the analysis run).
    bool SaveCompleted = true;

private:
    // CreateFromFile with its reading error shown; a file too large for the
    // memory gives a message and a new project.
    std::unique_ptr<TProgramData> ReadProjectFile(const std::string& path, bool currentFormat);
    // Whether `target` may be written: it does not exist, or the user agrees to replace it.
    bool ConfirmReplacing(const std::string& target);
    void LoadResultsIfPresent();
    // SaveToFile; a failure is shown (or raised, for SaveOrThrow). Returns whether it succeeded.
    bool SaveShowingErrors();

    bool raiseSaveErrors_ = false;

    TProjectTables* tables_;
    TRecentFiles* recent_;
    ProjectUi* ui_;
};

} // namespace pavrin::app
