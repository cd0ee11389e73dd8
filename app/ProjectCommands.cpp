#include "ProjectCommands.h"

#include "ProjectFile.h"

#include <filesystem>
#include <system_error>

namespace pavrin::app {

namespace fs = std::filesystem;

void ProjectUi::SetCurrentDirectory(const std::string& folder) {
    if (folder.empty())
        return;
    std::error_code error;
    fs::current_path(folder, error);
}

TProjectCommands::TProjectCommands(TProjectTables& tables, TRecentFiles& recent, ProjectUi& ui)
    : tables_(&tables), recent_(&recent), ui_(&ui) {}

void TProjectCommands::OpenCommandLine(const std::vector<std::string>& arguments) {
    std::error_code error;
    const std::string path = arguments.empty() ? std::string() : CommandLineFileName(arguments.front());
    if (!path.empty() && fs::exists(path, error)) {
        std::string message;
        // An older project named on the command line is read as one, as a dropped file is.
        ProgramData = TProgramData::CreateFromFile(*tables_, path, ReadAsCurrentFormat(path), message);
        if (!message.empty())
            ui_->ShowInformation(message);
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
    std::error_code error;
    fs::path absolute = fs::absolute(path, error);
    const std::string fullPath = error ? path : absolute.lexically_normal().string();
    ui_->SetCurrentDirectory(ExtractFileDir(fullPath));
    std::string message;
    ProgramData = TProgramData::CreateFromFile(*tables_, fullPath, currentFormat, message);
    if (!message.empty())
        ui_->ShowInformation(message);
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
    const std::string preset = LowerFileExt(project.FileName) == ext::kOldProject
                                   ? ChangeFileExt(project.FileName, ext::kProject)
                                   : project.FileName;
    const std::optional<std::string> chosen =
        ui_->ChooseSaveFileName("Save " + DisplayName(project.FileName) + " As", preset);
    // Whatever happens, the toolbar is brought up to date and the child windows close.
    struct After {
        ProjectUi& ui;
        ~After() {
            ui.UpdateToolbar();
            ui.CloseChildWindows();
        }
    } after{*ui_};
    bool saved = false;
    if (chosen) {
        // Projects are saved in the current format only.
        project.FileName =
            LowerFileExt(*chosen) == ext::kOldProject ? ChangeFileExt(*chosen, ext::kProject) : *chosen;
        ui_->SetCaption(WindowCaption(project.FileName));
        saved = SaveShowingErrors();
    } else {
        SaveCompleted = false;
    }
    return saved;
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
