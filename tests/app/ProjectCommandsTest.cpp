// The File commands over a scripted user: the question whether to save, Save
// and Save As with their names, opening by dialog, recent entry, drop and
// command line, and a save that fails without harming the file on disk.
#include "ProjectCommands.h"
#include "AppTestSupport.h"

#include <deque>
#include <functional>

namespace pavrin::app {
namespace {

using testing::CrLf;
using testing::ProjectTest;
using testing::ReadText;
using testing::WriteText;

// Answers from a script and records what the window was told.
class ScriptedUi : public ProjectUi {
public:
    SaveAnswer AskSaveChanges(const std::string& question) override {
        questions.push_back(question);
        return Next(saveAnswers, SaveAnswer::Cancel);
    }
    std::optional<OpenChoice> ChooseFileToOpen() override {
        return Next(openChoices, std::optional<OpenChoice>());
    }
    std::optional<std::string> ChooseSaveFileName(const std::string& title,
                                                  const std::string& preset) override {
        saveDialogs.emplace_back(title, preset);
        return Next(saveNames, std::optional<std::string>());
    }
    void ShowInformation(const std::string& message) override { information.push_back(message); }
    void ShowError(const std::string& message) override { errors.push_back(message); }
    bool Confirm(const std::string& question) override {
        confirmations.push_back(question);
        return Next(confirmAnswers, false);
    }
    void SetCaption(const std::string& text) override { caption = text; }
    void CurveModeChanged() override { ++curveModeUpdates; }
    void UpdateToolbar() override { ++toolbarUpdates; }
    void CloseChildWindows() override { ++childWindowsClosed; }
    bool LoadResults(const std::string& plotFile) override {
        resultsRead.push_back(plotFile);
        return true;
    }
    void SetCurrentDirectory(const std::string& folder) override { directories.push_back(folder); }

    std::deque<SaveAnswer> saveAnswers;
    std::deque<std::optional<OpenChoice>> openChoices;
    std::deque<std::optional<std::string>> saveNames;
    std::deque<bool> confirmAnswers;

    std::vector<std::string> questions, information, errors, resultsRead, directories, confirmations;
    std::vector<std::pair<std::string, std::string>> saveDialogs;
    std::string caption;
    int curveModeUpdates = 0, toolbarUpdates = 0, childWindowsClosed = 0;

private:
    template <typename T> static T Next(std::deque<T>& script, T otherwise) {
        if (script.empty())
            return otherwise;
        T value = script.front();
        script.pop_front();
        return value;
    }
};

class ProjectCommands : public ProjectTest {
protected:
    void SetUp() override { commands.OpenCommandLine({}); }

    // A saved project file with the given title.
    std::string SavedProject(const std::string& name, const std::string& title) {
        auto project = TProgramData::CreateNew(tables);
        project->FileName = folder.File(name);
        project->Title = title;
        project->SaveToFile();
        return project->FileName;
    }

    TRecentFiles recent;
    ScriptedUi ui;
    TProjectCommands commands{tables, recent, ui};
};

TEST_F(ProjectCommands, AskToSaveGoesOnOnlyWhenTheChangesAreSafe) {
    EXPECT_TRUE(commands.AskToSave()); // not modified: no question
    EXPECT_TRUE(ui.questions.empty());

    tables.SetModified(true);
    ui.saveAnswers = {SaveAnswer::Cancel, SaveAnswer::No};
    EXPECT_FALSE(commands.AskToSave());
    EXPECT_TRUE(commands.AskToSave());
    EXPECT_EQ(ui.questions, (std::vector<std::string>(2, "Do you want to save any changes?")));

    // Yes for a never-saved project opens Save As; cancelling it stops.
    ui.saveAnswers = {SaveAnswer::Yes};
    EXPECT_FALSE(commands.AskToSave());
    EXPECT_EQ(ui.saveDialogs.back(),
              std::make_pair(std::string("Save NewPAVRIN.pv3d As"), std::string("NewPAVRIN.pv3d")));
    EXPECT_FALSE(commands.SaveCompleted);
    EXPECT_EQ(ProgramData->FileName, "NewPAVRIN.pv3d");

    ui.saveAnswers = {SaveAnswer::Yes};
    ui.saveNames = {folder.File("named.pv3d")};
    EXPECT_TRUE(commands.AskToSave());
    EXPECT_FALSE(tables.IsModified());
    EXPECT_EQ(ui.caption, "PAVRIN 2014.3.1 - Named.pv3d");
    EXPECT_TRUE(testing::fs::exists(folder.File("named.pv3d")));
}

TEST_F(ProjectCommands, AFailedSaveKeepsTheOldFileAndTheChanges) {
    const std::string path = SavedProject("keep.pv3d", "On disk");
    commands.OpenFileName(path, true);
    ProgramData->Title = "Edited";
    tables.SetModified(true);
    // Every temporary name the writer could use is taken, so the new file cannot be written.
    for (int i = 0; i < 100; ++i)
        WriteText(path + ".~save" + std::to_string(i), "taken");

    EXPECT_FALSE(commands.FileSave());
    ASSERT_EQ(ui.errors.size(), 1U);
    EXPECT_NE(ui.errors[0].find(path), std::string::npos) << ui.errors[0];
    EXPECT_NE(ReadText(path).find("On disk"), std::string::npos);
    EXPECT_TRUE(tables.IsModified());
    EXPECT_THROW(commands.SaveOrThrow(), EProjectSaveError);

    // Closing asks, the user says Yes, the save fails: the program must not go on and drop the changes.
    ui.saveAnswers = {SaveAnswer::Yes};
    EXPECT_FALSE(commands.AskToSave());

    for (int i = 0; i < 100; ++i)
        testing::fs::remove(path + ".~save" + std::to_string(i));
    EXPECT_TRUE(commands.FileSave());
    EXPECT_NE(ReadText(path).find("Edited"), std::string::npos);
    EXPECT_EQ(std::distance(testing::fs::directory_iterator(folder.Path()), {}), 2); // the file and its .gwi
}

TEST_F(ProjectCommands, SavingNeverWritesThroughAnUnwritableFile) {
    const std::string path = SavedProject("folder.pv3d", "x");
    testing::fs::remove(path);
    testing::fs::create_directory(path);
    ProgramData->FileName = path;
    EXPECT_THROW(ProgramData->SaveToFile(), EProjectSaveError);
    ProgramData->FileName = folder.File("no/such/folder/p.pv3d");
    EXPECT_THROW(ProgramData->SaveToFile(), EProjectSaveError);
}

TEST_F(ProjectCommands, SaveOfAnOlderProjectOffersTheCurrentFormat) {
    const std::string old = folder.File("old.pvd");
    testing::fs::copy_file(PAVRIN_TEST_DATA "/old-format.pvd", old);
    ui.openChoices = {OpenChoice{old, 2}};
    EXPECT_TRUE(commands.FileOpen());
    EXPECT_TRUE(ui.information.empty());
    EXPECT_EQ(ProgramData->AssignHeadLoads, 1);

    ui.saveNames = {std::nullopt, folder.File("typed.pvd")};
    EXPECT_FALSE(commands.FileSave());
    EXPECT_EQ(ui.saveDialogs.back(), std::make_pair(std::string("Save Old.pvd As"), folder.File("old.pv3d")));
    EXPECT_EQ(ProgramData->FileName, old);
    EXPECT_TRUE(commands.FileSave());
    EXPECT_EQ(ProgramData->FileName, folder.File("typed.pv3d"));
    EXPECT_TRUE(testing::fs::exists(folder.File("typed.pv3d")));
    EXPECT_FALSE(testing::fs::exists(folder.File("typed.pvd")));
    EXPECT_EQ(ui.childWindowsClosed, 2);
}

TEST_F(ProjectCommands, OpeningAProject) {
    const std::string path = SavedProject("b.pv3d", "Opened");
    WriteText(ChangeFileExt(path, ".pv3p"), "plot");
    ui.openChoices = {OpenChoice{path, 1}};
    EXPECT_TRUE(commands.FileOpen());
    EXPECT_EQ(ProgramData->Title, "Opened");
    EXPECT_EQ(ui.caption, "PAVRIN 2014.3.1 - B.pv3d");
    EXPECT_EQ(ui.directories.back(), folder.Path().string());
    EXPECT_EQ(ui.resultsRead, (std::vector<std::string>{folder.File("b.pv3p")}));
    EXPECT_TRUE(commands.ResultsLoaded);
    EXPECT_EQ(recent.Entry(1), path);

    // Opening it again leaves the list; File New clears the results.
    EXPECT_TRUE(commands.OpenRecent(1));
    EXPECT_EQ(recent.Count(), 1);
    EXPECT_TRUE(commands.FileNew());
    EXPECT_FALSE(commands.ResultsLoaded);
    EXPECT_EQ(ProgramData->Title, "New Pile");

    // A modified project is not replaced when the user cancels.
    tables.SetModified(true);
    ui.saveAnswers = {SaveAnswer::Cancel};
    EXPECT_FALSE(commands.OpenRecent(1));
    EXPECT_EQ(ProgramData->Title, "New Pile");
    EXPECT_FALSE(commands.OpenRecent(2)); // no such entry
}

TEST_F(ProjectCommands, AFileReadWithAnErrorIsShownAndNotSavedOverUnasked) {
    const std::string path = folder.File("broken.pv3d");
    WriteText(path, CrLf({"Broken", "50 0 x"}));
    ui.openChoices = {OpenChoice{path, 1}};
    EXPECT_TRUE(commands.FileOpen());
    EXPECT_EQ(ui.information,
              (std::vector<std::string>{"Error on Line 2 Item 3\nAn integer was expected but not found."}));
    EXPECT_EQ(ProgramData->Title, "Broken");
    EXPECT_EQ(recent.Entry(1), path);

    // Save asks for the name, offering one beside the original; picking the original warns plainly.
    ui.saveNames = {path, std::nullopt};
    ui.confirmAnswers = {false};
    EXPECT_FALSE(commands.FileSave());
    ASSERT_EQ(ui.saveDialogs.size(), 2U);
    EXPECT_EQ(ui.saveDialogs[0].second, folder.File("broken (recovered).pv3d"));
    ASSERT_EQ(ui.confirmations.size(), 1U);
    EXPECT_NE(ui.confirmations[0].find("only up to line 2"), std::string::npos) << ui.confirmations[0];
    EXPECT_NE(ui.confirmations[0].find("loses everything in it after line 2"), std::string::npos);
    EXPECT_EQ(ReadText(path), CrLf({"Broken", "50 0 x"}));
    EXPECT_FALSE(commands.SaveCompleted);

    // The offered name is written; the original stays as it was.
    ui.saveNames = {folder.File("broken (recovered).pv3d")};
    EXPECT_TRUE(commands.FileSave());
    EXPECT_EQ(ProgramData->FileName, folder.File("broken (recovered).pv3d"));
    EXPECT_EQ(ReadText(path), CrLf({"Broken", "50 0 x"}));
    EXPECT_EQ(ui.confirmations.size(), 1U);
    EXPECT_EQ(ReadErrorLine("This file either invalid or incomplete."), 0);
}

// Save As replaces an existing file only when the user agrees, asking about the file that is
// written: "keep.pvd" is saved as "keep.pv3d".
TEST_F(ProjectCommands, SaveAsAsksBeforeReplacingTheFileItWrites) {
    const std::string kept = SavedProject("keep.pv3d", "Kept");
    ProgramData->Title = "Other";
    ui.saveNames = {folder.File("keep.pvd"), std::nullopt};
    ui.confirmAnswers = {false};
    EXPECT_FALSE(commands.FileSaveAs());
    ASSERT_EQ(ui.confirmations.size(), 1U);
    EXPECT_EQ(ui.confirmations[0], "\"" + kept + "\" already exists.\rDo you want to replace it?");
    EXPECT_EQ(ui.saveDialogs.back().second, kept) << "back to the dialog with the name to be written";
    EXPECT_NE(ReadText(kept).find("Kept"), std::string::npos);
    EXPECT_FALSE(testing::fs::exists(folder.File("keep.pvd")));

    ui.saveNames = {folder.File("keep.pvd")};
    ui.confirmAnswers = {true};
    EXPECT_TRUE(commands.FileSaveAs());
    EXPECT_NE(ReadText(kept).find("Other"), std::string::npos);
    // A new name is not asked about.
    ui.saveNames = {folder.File("fresh.pv3d")};
    EXPECT_TRUE(commands.FileSaveAs());
    EXPECT_EQ(ui.confirmations.size(), 2U);
}

// A name whose save or run would write over the project itself, or that the run-file list cannot
// carry exactly, is refused with its reason before anything is written, by Save As and by Save of a
// project opened under such a name; the user is offered another name.
TEST_F(ProjectCommands, ANameThatCannotBeSavedOrRunIsRefusedBeforeWriting) {
    const std::string source = SavedProject("source.pv3d", "Source");
    const std::string text = ReadText(source);
    for (const std::string name : {"p.pv3p", "p.pv3o", "p.pv3r", "p.gwi", "p\nq.pv3d", "p.pv3d "}) {
        SCOPED_TRACE(name);
        const std::string path = folder.File(name);
        ui.confirmations.clear();
        ui.saveNames = {path, std::nullopt};
        ui.confirmAnswers = {true}; // another name: the dialog again, then cancelled
        EXPECT_FALSE(commands.FileSaveAs());
        EXPECT_FALSE(testing::fs::exists(path));
        ASSERT_EQ(ui.confirmations.size(), 1U);
        EXPECT_NE(ui.confirmations[0].find(kSaveUnderAnotherName), std::string::npos);
        EXPECT_EQ(ui.saveDialogs.back().second, path);

        // Opened under that name (a project someone named so): Save writes nothing, not even the .gwi.
        WriteText(path, text);
        commands.OpenFileName(path, true);
        ProgramData->Title = "Edited";
        tables.SetModified(true);
        ui.confirmAnswers = {false};
        commands.SaveCompleted = true;
        EXPECT_FALSE(commands.FileSave());
        EXPECT_FALSE(commands.SaveCompleted);
        EXPECT_EQ(ReadText(path), text);
        EXPECT_FALSE(testing::fs::exists(ChangeFileExt(path, ".gwi")) && name != "p.gwi");
        EXPECT_TRUE(tables.IsModified());
        // Yes: Save As, where a good name saves it (replacing the one of the case before).
        ui.confirmAnswers = {true, true};
        ui.saveNames = {folder.File("renamed.pv3d")};
        EXPECT_TRUE(commands.FileSave());
        EXPECT_EQ(ProgramData->FileName, folder.File("renamed.pv3d"));
        EXPECT_EQ(ReadText(path), text);
        testing::fs::remove(path);
    }
}

TEST_F(ProjectCommands, DroppedFiles) {
    const std::string first = SavedProject("first.pv3d", "First");
    const std::string old = folder.File("second.pvd");
    testing::fs::copy_file(PAVRIN_TEST_DATA "/old-format.pvd", old);
    EXPECT_FALSE(commands.OpenDroppedFiles({}));
    ui.curveModeUpdates = 0;
    EXPECT_TRUE(commands.OpenDroppedFiles({first, old}));
    EXPECT_EQ(ProgramData->Title, "First");
    EXPECT_GE(ui.curveModeUpdates, 1);
    EXPECT_TRUE(commands.OpenDroppedFiles({old}));
    EXPECT_TRUE(ui.information.empty()); // read in the older format by its extension
    EXPECT_EQ(recent.Entry(1), old);
    EXPECT_EQ(recent.Entry(2), first);

    // A project saved under another name keeps its factor tables, dropped or opened again.
    auto withFactors = TProgramData::CreateNew(tables);
    withFactors->FileName = folder.File("pile.txt");
    withFactors->ApplyQwFactors = 1;
    withFactors->QMultiplier = 0.8L;
    withFactors->SaveToFile();
    EXPECT_TRUE(commands.OpenDroppedFiles({folder.File("pile.txt")}));
    EXPECT_EQ(ProgramData->ApplyQwFactors, 1);
    EXPECT_TRUE(commands.OpenDroppedFiles({old}));
    EXPECT_TRUE(commands.OpenRecent(2));
    EXPECT_EQ(ProgramData->FileName, folder.File("pile.txt"));
    EXPECT_EQ(ProgramData->QMultiplier, 0.8L);
}

// Every project path enters the program absolute: a later change of the current directory (a run
// moves to the program's folder) cannot change the file the project is saved to.
TEST_F(ProjectCommands, RelativeProjectPathsAreMadeAbsolute) {
    const std::string path = SavedProject("a.pv3d", "Relative");
    SavedProject("b.pv3d", "B");
    const testing::fs::path before = testing::fs::current_path();
    testing::fs::current_path(folder.Path());
    struct Back {
        testing::fs::path to;
        ~Back() { testing::fs::current_path(to); }
    } back{before};
    const std::pair<const char*, std::function<void()>> entries[] = {
        {"command line", [&] { commands.OpenCommandLine({"a"}); }},
        {"dropped", [&] { commands.OpenDroppedFiles({"./a.pv3d"}); }},
        {"Open",
         [&] {
             ui.openChoices = {OpenChoice{"a.pv3d", 1}};
             commands.FileOpen();
         }},
        {"Save As",
         [&] {
             commands.OpenFileName(folder.File("b.pv3d"), true);
             ui.saveNames = {"a.pv3d"};
             ui.confirmAnswers = {true};
             commands.FileSaveAs();
         }},
    };
    for (const auto& [how, enter] : entries) {
        SCOPED_TRACE(how);
        commands.FileNew();
        testing::fs::current_path(folder.Path());
        enter();
        EXPECT_EQ(ProgramData->FileName, path);
    }
    // A recent entry stored relative opens absolute as well.
    recent.SetEntry(1, "a.pv3d");
    EXPECT_TRUE(commands.OpenRecent(1));
    EXPECT_EQ(ProgramData->FileName, path);
    testing::fs::current_path(before);
    ProgramData->Title = "Saved from elsewhere";
    EXPECT_TRUE(commands.FileSave());
    EXPECT_NE(ReadText(path).find("Saved from elsewhere"), std::string::npos);
}

TEST_F(ProjectCommands, CommandLine) {
    const std::string path = SavedProject("pile.pv3d", "From the command line");
    ui.directories.clear();
    commands.OpenCommandLine({ChangeFileExt(path, "")});
    EXPECT_EQ(ProgramData->Title, "From the command line");
    EXPECT_EQ(ProgramData->FileName, path);
    EXPECT_EQ(ui.caption, "PAVRIN 2014.3.1 - Pile.pv3d");
    EXPECT_EQ(recent.Count(), 0);
    EXPECT_TRUE(ui.directories.empty());

    const std::string old = folder.File("old.pvd");
    testing::fs::copy_file(PAVRIN_TEST_DATA "/old-format.pvd", old);
    commands.OpenCommandLine({old, "ignored"});
    EXPECT_TRUE(ui.information.empty());
    EXPECT_EQ(ProgramData->AssignHeadLoads, 1);

    commands.OpenCommandLine({folder.File("missing")});
    EXPECT_EQ(ProgramData->FileName, "NewPAVRIN.pv3d");
    EXPECT_EQ(ui.caption, "PAVRIN 2014.3.1 - NewPAVRIN.pv3d");
}

// A folder where a project or its plot data file is expected, by every way
// the user can name one, is a file that cannot be opened: the reading error
// is shown and the program goes on.
TEST_F(ProjectCommands, AFolderIsAFileThatCannotBeOpened) {
    const std::string dir = folder.File("dir.pv3d");
    testing::fs::create_directory(dir);
    const std::string cannotOpen = "Cannot open file \"" + dir + "\".";
    commands.OpenCommandLine({dir});
    commands.OpenDroppedFiles({dir});
    EXPECT_TRUE(commands.OpenRecent(1));
    EXPECT_EQ(ui.information, std::vector<std::string>(3, cannotOpen));
    EXPECT_EQ(ProgramData->FileName, dir);
    EXPECT_EQ(ProgramData->Title, "New Pile");
    EXPECT_FALSE(commands.FileSave()) << "Save asks for a name; cancelled here";

    // A folder named like the plot data file holds no results.
    const std::string project = SavedProject("p.pv3d", "Beside a folder");
    testing::fs::create_directory(ChangeFileExt(project, ".pv3p"));
    commands.ResultsLoaded = true;
    commands.OpenDroppedFiles({project});
    EXPECT_EQ(ProgramData->Title, "Beside a folder");
    EXPECT_TRUE(ui.resultsRead.empty());
    EXPECT_FALSE(commands.ResultsLoaded);
}

} // namespace
} // namespace pavrin::app
