#include "ProjectCommands.h"

#include "ProjectFile.h"
#include "ProjectPaths.h"

#include <cctype>
#include <filesystem>
#include <new>
#include <system_error>

namespace pavrin::app {

namespace fs = std::filesystem;

std::string AbsoluteProjectPath(const std::string& path) {
    if (path.empty())
        return path;
    std::error_code error;
    const fs::path absolute = fs::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

std::string RecoveredFileName(const std::string& path) {
    const std::string extension = ExtractFileExt(path);
    return path.substr(0, path.size() - extension.size()) + " (recovered)" + extension;
}

int ReadErrorLine(const std::string& readError) {
    static const std::string kLead = "Error on Line ";
    const std::size_t at = readError.find(kLead);
    if (at == std::string::npos)
        return 0;
    long line = 0;
    for (std::size_t i = at + kLead.size();
         i < readError.size() && std::isdigit(static_cast<unsigned char>(readError[i])) != 0 &&
         line < 1000000000;
         ++i)
        line = line * 10 + (readError[i] - '0');
    return static_cast<int>(line);
}

void ProjectUi::SetCurrentDirectory(const std::string& folder) {
    if (folder.empty())
        return;
    std::error_code error;
    fs::current_path(folder, error);
}

TProjectCommands::TProjectCommands(TProjectTables& tables, TRecentFiles& recent, ProjectUi& ui)
    : tables_(&tables), recent_(&recent), ui_(&ui) {}

std::unique_ptr<TProgramData> TProjectCommands::ReadProjectFile(const std::string& path, bool currentFormat) {
    try {
        std::string message;
        std::unique_ptr<TProgramData> project =
            TProgramData::CreateFromFile(*tables_, path, currentFormat, message);
        if (!message.empty())
            ui_->ShowInformation(message);
        if (!project->MeasuredReadError.empty())
            ui_->ShowInformation(project->MeasuredReadError +
                                 " The project was opened without its measured load test.");
        return project;
    } catch (const std::bad_alloc&) {
        // The tables were emptied for the file: a new project, never a mix of two.
        ui_->ShowError("There is not enough memory to read the project \"" + path +
                       "\". A new project was started instead.");
        return TProgramData::CreateNew(*tables_);
    }
}

void TProjectCommands::OpenCommandLine(const std::vector<std::string>& arguments) {
    std::error_code error;
    const std::string path =
        arguments.empty() ? std::string() : AbsoluteProjectPath(CommandLineFileName(arguments.front()));
    if (!path.empty() && fs::exists(path, error)) {
        // An older project named on the command line is read as one, as a dropped file is.
        ProgramData = ReadProjectFile(path, ReadAsCurrentFormat(path));
        LoadResultsIfPresent();
    } else {
        ProgramData = TProgramData::CreateNew(*tables_);
    }
    ui_->SetCaption(WindowCaption(ProgramData->FileName));
    ui_->CurveModeChanged();
    ui_->UpdateToolbar();
}

bool TProjectCommands::FileNew() {
    if (!AskToSave())
        return false;
    ProgramData = TProgramData::CreateNew(*tables_);
    ui_->SetCaption(WindowCaption(ProgramData->FileName));
    ui_->CurveModeChanged();
    ResultsLoaded = false;
    ui_->UpdateToolbar();
    return true;
}

bool TProjectCommands::FileOpen() {
    if (!AskToSave())
        return false;
    const std::optional<OpenChoice> choice = ui_->ChooseFileToOpen();
    if (!choice)
        return false;
    OpenFileName(choice->path, choice->filterIndex != 2);
    return true;
}

bool TProjectCommands::OpenRecent(int number) {
    const std::string path = recent_->Entry(number); // a copy: opening reorders the list
    if (path.empty() || !AskToSave())
        return false;
    OpenFileName(path, ReadAsCurrentFormat(path));
    return true;
}

bool TProjectCommands::OpenDroppedFiles(const std::vector<std::string>& paths) {
    if (paths.empty() || !AskToSave())
        return false;
    const std::string& path = paths.front();
    OpenFileName(path, ReadAsCurrentFormat(path));
    return true;
}

void TProjectCommands::OpenFileName(const std::string& path, bool currentFormat) {
    // Absolute first, so that changing the current directory cannot change the file.
    const std::string fullPath = AbsoluteProjectPath(path);
    ui_->SetCurrentDirectory(ExtractFileDir(fullPath));
    ProgramData = ReadProjectFile(fullPath, currentFormat);
    ui_->SetCaption(WindowCaption(ProgramData->FileName));
    LoadResultsIfPresent();
    ui_->CurveModeChanged();
    ui_->UpdateToolbar();
    recent_->UpdatePrevFile(ProgramData->FileName);
}

bool TProjectCommands::FileSave() {
    if (!ProgramData)
        return false;
    TProgramData& project = *ProgramData;
    // A never-saved project, an older-format one, and one not read whole get a name chosen first.
    if (project.FileName == kDefaultFileName || LowerFileExt(project.FileName) == ext::kOldProject ||
        !project.ReadError.empty())
        return FileSaveAs();
    // A name whose save or run would write over the project, or that the run-file list cannot
    // carry, is not written at all.
    if (const std::optional<std::string> problem = ProjectPathProblem(project.FileName)) {
        if (ui_->Confirm(*problem + "\r\r" + kSaveUnderAnotherName))
            return FileSaveAs();
        SaveCompleted = false;
        return false;
    }
    return SaveShowingErrors();
}

bool TProjectCommands::SaveOrThrow() {
    raiseSaveErrors_ = true;
    struct Restore {
        bool& flag;
        ~Restore() { flag = false; }
    } restore{raiseSaveErrors_};
    return FileSave();
}

bool TProjectCommands::FileSaveAs() {
    if (!ProgramData)
        return false;
    TProgramData& project = *ProgramData;
    std::string preset = LowerFileExt(project.FileName) == ext::kOldProject
                             ? ChangeFileExt(project.FileName, ext::kProject)
                             : project.FileName;
    // A project read only in part is offered a name of its own, so that the original stays.
    if (!project.ReadError.empty())
        preset = RecoveredFileName(preset);
    const std::string title = "Save " + DisplayName(project.FileName) + " As";
    // Whatever happens, the toolbar is brought up to date and the child windows close.
    struct After {
        ProjectUi& ui;
        ~After() {
            ui.UpdateToolbar();
            ui.CloseChildWindows();
        }
    } after{*ui_};
    for (;;) {
        const std::optional<std::string> chosen = ui_->ChooseSaveFileName(title, preset);
        if (!chosen) {
            SaveCompleted = false;
            return false;
        }
        // Projects are saved in the current format only.
        const std::string target = AbsoluteProjectPath(
            LowerFileExt(*chosen) == ext::kOldProject ? ChangeFileExt(*chosen, ext::kProject) : *chosen);
        preset = target;
        if (const std::optional<std::string> problem = ProjectPathProblem(target)) {
            if (ui_->Confirm(*problem + "\r\r" + kSaveUnderAnotherName))
                continue;
            SaveCompleted = false;
            return false;
        }
        if (!ConfirmReplacing(target))
            continue;
        project.FileName = target;
        ui_->SetCaption(WindowCaption(project.FileName));
        return SaveShowingErrors();
    }
}

bool TProjectCommands::ConfirmReplacing(const std::string& target) {
    std::error_code error;
    if (!fs::exists(fs::symlink_status(target, error)))
        return true;
    const TProgramData& project = *ProgramData;
    if (!project.ReadError.empty() && SameFile(target, project.FileName)) {
        const int line = ReadErrorLine(project.ReadError);
        const std::string read = line > 0 ? "only up to line " + std::to_string(line) : "only in part";
        const std::string lost = line > 0 ? "everything in it after line " + std::to_string(line)
                                          : "everything that could not be read";
        return ui_->Confirm(
            "The project was read from \"" + target + "\" " + read +
            "; the rest of the file could not be read.\rReplacing that file with this project "
            "loses " +
            lost + ".\r\rDo you want to replace it?");
    }
    return ui_->Confirm("\"" + target + "\" already exists.\rDo you want to replace it?");
}

bool TProjectCommands::AskToSave() {
    if (!ProgramData || !tables_->IsModified())
        return true;
    switch (ui_->AskSaveChanges(kSaveChangesQuestion)) {
    case SaveAnswer::Cancel:
        return false;
    case SaveAnswer::No:
        return true;
    case SaveAnswer::Yes:
        break;
    }
    // Go on only when the changes are safe on disk.
    return FileSave();
}

void TProjectCommands::LoadResultsIfPresent() {
    const std::string plotFile = ChangeFileExt(ProgramData->FileName, ext::kPlot);
    std::error_code error;
    const fs::file_status status = fs::status(plotFile, error);
    if (!fs::exists(status))
        return;
    // A folder (or anything else but a file) of that name holds no results and is not read.
    ResultsLoaded = fs::is_regular_file(status) && ui_->LoadResults(plotFile);
}

bool TProjectCommands::SaveShowingErrors() {
    try {
        ProgramData->SaveToFile();
        return true;
    } catch (const EProjectSaveError& e) {
        if (raiseSaveErrors_)
            throw;
        ui_->ShowError(e.what());
        return false;
    }
}

} // namespace pavrin::app
