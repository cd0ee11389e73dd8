// TMainForm: the program's one top-level window. A multiple-document window whose menu bar and
// toolbar reach every command; the data dialogs, table editors and result windows open inside it. It
// owns the project tables, the result graphs and the settings (text editor, recent files), runs the
// analysis, and carries the start-up and close sequences.
#pragma once

#include "AboutBox.h"
#include "DlgOptions.h"
#include "DlgSideView.h"
#include "DlgTitle.h"
#include "DynamicLibrary.h"
#include "FrmCalibrate.h"
#include "FrmDesignSweep.h"
#include "FrmMaterial.h"
#include "FrmQwFactors.h"
#include "FrmResultsSummary.h"
#include "PltData.h"
#include "ProjectCommands.h"
#include "ProjectFileNames.h"
#include "ProjectTables.h"
#include "SoilProfile.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <memory>

class QAction;
class QActionGroup;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

namespace pavrin::app::gui {

// The settings store: organisation, application and the group of this version.
inline constexpr const char* kSettingsOrganization = "Quarlex";
inline constexpr const char* kSettingsApplication = "PAVRIN";
inline constexpr const char* kSettingsGroup = "2014.3.1";
inline constexpr const char* kWordProcessorKey = "Word Processor";

// The manuals in the program's folder.
inline constexpr const char* kUsersManual = "PAVRIN2014UsersManual.pdf";
inline constexpr const char* kTechnicalManual = "PAVRIN2014TechnicalManual.pdf";
// The update check: the maker's check page and the product's part of the query.
inline constexpr const char* kUpdateAddress = "https://www.quarlex.com/checkupdates/check/check.php?";
inline constexpr const char* kUpdateProduct = "PAVRIN;2014.3.1";

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // The first showing: reads the settings, then opens the project named by the first argument
    // (".pv3d" appended when it has no dot) or starts a new project.
    void FormShow(const QStringList& arguments);

    // Where the program lives: the engine library and the manuals are found there, and the run-file
    // list is written there (or in the fallback folder when it cannot be). Set by tests.
    QString ProgramFolder() const { return programFolder_; }
    void SetProgramFolder(const QString& folder) { programFolder_ = folder; }
    void SetFallbackRunFolder(const QString& folder) { fallbackRunFolder_ = folder; }
    QString EngineLibraryPath() const;
    // The folder the last run's engine worked in (the program's folder or the fallback).
    QString LastRunFolder() const { return lastRunFolder_; }
    // The status the engine returned in the last run; -1 when it was not called.
    int LastRunStatus() const { return lastRunStatus_; }
    bool EngineLoaded() const { return engine_ != nullptr; }

    TProjectTables& Tables() { return tables_; }
    TRecentFiles& RecentFiles() { return recent_; }
    graphics::TResultGraphs& Graphs() { return graphs_; }
    TProjectCommands& Commands() { return *commands_; }
    bool ResultsLoaded() const { return commands_->ResultsLoaded; }
    QString TextEditorPath() const { return textEditorPath_; }
    void SetTextEditorPath(const QString& path) { textEditorPath_ = path; }
    QMdiArea* MdiArea() const { return mdiArea_; }
    // The soil-pile profile view while it is open.
    graphics::TDlgSideView* SideView() const { return sideView_; }
    // What the profile view shows of the project.
    graphics::SoilProfileInput SoilProfile() const;

    // Open dialogs (null when closed).
    TdlgTitle* TitleDialog() const { return dlgTitle_; }
    TfrmMaterial* MaterialDialog() const { return frmMaterial_; }
    TfrmQwFactors* QwFactorsDialog() const { return frmQwFactors_; }
    TDlgOptions* OptionsDialog() const { return dlgOptions_; }
    TfrmDesignSweep* DesignSweepWindow() const { return frmDesignSweep_; }
    TfrmCalibrate* CalibrationWindow() const { return frmCalibrate_; }
    TfrmResultsSummary* SummaryWindow() const { return frmSummary_; }
    // The in-memory analysis of the saved project behind the shown results (down-drag figures,
    // neutral planes, springs); null, with the reason, when there is none.
    const engine::AnalysisResults* Analysis() const { return analysis_.get(); }
    QString AnalysisProblem() const { return analysisProblem_; }

    // Commands (menu items and toolbar buttons).
    void FileNewClick();
    void FileOpenClick();
    void FileSaveClick();
    void FileSaveAsClick();
    void SaveReportClick();
    void RecentFileClick(int number);
    void DataTitleClick();
    void MaterialClick();
    void QwFactorTableClick();
    void CompTextClick();
    void SetUnitsClick(int system);
    void CurveModeClick(bool generated);
    void CompRunClick();
    void DesignSweepClick();
    void CalibrateClick();
    void ResultsSummaryClick();
    void ExportSpringsClick();
    void CompInputClick();
    void CompKernelClick();
    void CompOutputClick();
    void EditGRLWeapDataFile1Click();
    void ViewSoilLayerCoordinatesClick();
    void ShowGraph(graphics::TGraphPlot& graph);
    void ExportExcelClick();
    void HelpAboutClick();
    void CheckForUpdatesClick();
    void OpenManual(const QString& fileName);

    // Menu states, as when the menu opens: commits the active child window first where the menu
    // does (File, Data, Options, Computation, Help).
    void UpdateMenus();
    // The toolbar's enabled buttons.
    void CheckSpeedButtons();
    // Writes the active child window's entries to the project; false when a field refused its entry.
    bool CommitActiveChild();
    // The settings store, written on close and whenever the recent list changes.
    void ReadSettings();
    void UpdateRegistry() const;

    // Files dropped on the window: the first one is opened (after the save question) once the drop
    // has finished. False when none of them is a local file.
    bool FilesDropped(const QList<QUrl>& urls);

    // The address of the update check for a date.
    static QString UpdateCheckAddress(const QDate& today);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    class Ui;

    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    QAction* AddAction(QMenu* menu, const char* name, const QString& caption,
                       const std::function<void()>& handler);
    void AddTableAction(QMenu* menu, const char* name, const QString& caption, TGridTable& table);
    void ShowTableEditor(TGridTable& table);
    template <class Dialog, class... Args> Dialog* ShowDialog(QPointer<Dialog>& dialog, Args&&... args);
    void OnSubWindowActivated(QMdiSubWindow* window);
    void CommitBeforeMenu(QMenu* menu);
    void MergePlotMenu(QMdiSubWindow* window);
    void ReloadOpenDialogs();
    void AfterProjectReplaced();
    // The axial graph's measured line anew from the companion file just saved.
    void AfterMeasuredTestSaved();
    // The results' analysis anew from the saved project: neutral planes, summary window.
    void RefreshAnalysis();
    // Every child window but the results summary.
    void CloseChildWindows();
    void OpenInEditor(const std::string& path);
    bool GraphsAvailable() const;
    void UpdateFileMenu();
    void UpdateDataMenu();
    void UpdateOptionsMenu();
    void UpdateComputationMenu();
    void UpdateGraphicsMenu();
    void UpdateWindowMenu();
    void ShowInformation(const QString& message);
    void FlipOption(int& option);
    // The run after the project was saved: the check, names.dat, the engine, the results.
    void RunEngine();
    // Commits the active child and saves the project as the run does; its path, or empty.
    std::string SaveForSweep();
    // Puts a calibration's factors into the project it was made for; false (with a message) otherwise.
    bool ApplyCalibration(const std::string& path, const cli::FitResult& result);

    TProjectTables tables_;
    TRecentFiles recent_;
    graphics::TResultGraphs graphs_;
    std::unique_ptr<Ui> ui_;
    std::unique_ptr<TProjectCommands> commands_;
    std::unique_ptr<TDynamicLibrary> engine_;

    QString textEditorPath_;
    QString programFolder_;
    QString fallbackRunFolder_;
    QString lastRunFolder_;
    int lastRunStatus_ = -1;

    QMdiArea* mdiArea_ = nullptr;
    QPointer<QMdiSubWindow> lastActive_;
    bool switchingChild_ = false;
    QPointer<TdlgTitle> dlgTitle_;
    QPointer<TfrmMaterial> frmMaterial_;
    QPointer<TfrmQwFactors> frmQwFactors_;
    QPointer<TDlgOptions> dlgOptions_;
    QPointer<TfrmDesignSweep> frmDesignSweep_;
    QPointer<TfrmCalibrate> frmCalibrate_;
    QPointer<TfrmResultsSummary> frmSummary_;
    std::unique_ptr<engine::AnalysisResults> analysis_;
    QString analysisProblem_;
    TAboutBox* aboutBox_ = nullptr;
    QPointer<graphics::TDlgSideView> sideView_;
    QPointer<QMenu> mergedMenu_;

    // Menus and the items whose state changes.
    QMenu* fileMenu_ = nullptr;
    QMenu* dataMenu_ = nullptr;
    QMenu* optionsMenu_ = nullptr;
    QMenu* unitsMenu_ = nullptr;
    QMenu* curvesMenu_ = nullptr;
    QMenu* compMenu_ = nullptr;
    QMenu* graphicsMenu_ = nullptr;
    QMenu* windowMenu_ = nullptr;
    QMenu* helpMenu_ = nullptr;
    std::array<QAction*, TRecentFiles::kSize> recentActions_{};
    QAction* recentSeparator_ = nullptr; // N14
    QToolBar* toolBar_ = nullptr;
};

} // namespace pavrin::app::gui
