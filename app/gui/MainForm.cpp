#include "MainForm.h"
#include "OutputFile.h"
#include "SaveReport.h"

#include "AboutBox.h"
#include "AnalysisRun.h"
#include "ChildWindowPlacement.h"
#include "DlgExport.h"
#include "DlgOptions.h"
#include "DlgSideView.h"
#include "DlgTitle.h"
#include "FrmMaterial.h"
#include "FrmResultsSummary.h"
#include "InstalledPaths.h"
#include "FrmQwFactors.h"
#include "MainDesktop.h"
#include "MessageBoxes.h"
#include "PlotForm.h"
#include "PreRunCheck.h"
#include "ProjectPaths.h"
#include "ResultTables.h"
#include "TableEditors.h"
#include "TableForm.h"
#include "TableFormDesktop.h"

#include "ProjectAnalysis.h"
#include "ProjectResults.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QProcess>
#include <QSettings>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

#include <cstdint>
#include <filesystem>
#include <sstream>
#include <tuple>

namespace pavrin::app::gui {

using controls::MessageBoxes;

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

bool IsFile(const std::string& path) {
    return !path.empty() && QFileInfo(Q(path)).isFile();
}

// The settings of this version, in its group.
class VersionSettings {
public:
    VersionSettings()
        : settings_(QString::fromLatin1(kSettingsOrganization), QString::fromLatin1(kSettingsApplication)) {
        settings_.beginGroup(QString::fromLatin1(kSettingsGroup));
    }
    QSettings& operator*() { return settings_; }
    QSettings* operator->() { return &settings_; }

private:
    QSettings settings_;
};

QString RecentKey(int number) {
    return QStringLiteral("File%1").arg(number);
}

} // namespace

// The window's side of the File commands.
class TMainForm::Ui : public ProjectUi {
public:
    explicit Ui(TMainForm& form) : form_(form) {}

    SaveAnswer AskSaveChanges(const std::string& question) override {
        switch (MessageBoxes::Current().Ask(&form_, Q(question), MessageBoxes::Buttons::YesNoCancel,
                                            MessageBoxes::Icon::Question)) {
        case MessageBoxes::Answer::Yes:
            return SaveAnswer::Yes;
        case MessageBoxes::Answer::No:
            return SaveAnswer::No;
        default:
            return SaveAnswer::Cancel;
        }
    }
    std::optional<OpenChoice> ChooseFileToOpen() override {
        const std::optional<OpenFileChoice> choice = MainDesktop::Current().ChooseFileToOpen(&form_);
        if (!choice)
            return std::nullopt;
        return OpenChoice{choice->path.toStdString(), choice->filterIndex};
    }
    std::optional<std::string> ChooseSaveFileName(const std::string& title,
                                                  const std::string& presetName) override {
        const std::optional<QString> chosen =
            MainDesktop::Current().ChooseSaveFileName(&form_, Q(title), Q(presetName));
        if (!chosen)
            return std::nullopt;
        return chosen->toStdString();
    }
    void ShowInformation(const std::string& message) override { form_.ShowInformation(Q(message)); }
    void ShowError(const std::string& message) override {
        MessageBoxes::Current().ShowMessage(&form_, Q(message), MessageBoxes::Icon::Error);
    }
    bool Confirm(const std::string& question) override {
        return MessageBoxes::Current().Ask(&form_, Q(question), MessageBoxes::Buttons::YesNo,
                                           MessageBoxes::Icon::Warning) == MessageBoxes::Answer::Yes;
    }
    void SetCaption(const std::string& caption) override { form_.setWindowTitle(Q(caption)); }
    void CurveModeChanged() override { form_.CheckSpeedButtons(); }
    void UpdateToolbar() override { form_.CheckSpeedButtons(); }
    void CloseChildWindows() override { form_.CloseChildWindows(); }
    bool LoadResults(const std::string& plotFile) override {
        if (!form_.graphs_.ReadPlotFile(plotFile, ProgramData ? ProgramData->Units : 1))
            return false;
        // The open has told of a measured test that could not be read.
        if (ProgramData)
            cli::ShowMeasuredLoadTest(ProgramData->FileName, form_.graphs_);
        return true;
    }

private:
    TMainForm& form_;
};

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent), ui_(std::make_unique<Ui>(*this)) {
    commands_ = std::make_unique<TProjectCommands>(tables_, recent_, *ui_);
    programFolder_ = QCoreApplication::applicationDirPath();
    fallbackRunFolder_ = DefaultFallbackRunFolder();
    textEditorPath_ = controls::TextEditorProgram();

    mdiArea_ = new QMdiArea;
    mdiArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdiArea_);
    connect(mdiArea_, &QMdiArea::subWindowActivated, this, &TMainForm::OnSubWindowActivated);
    connect(mdiArea_, &QMdiArea::subWindowActivated, this, &TMainForm::MergePlotMenu);
    controls::RegisterTableEditors(mdiArea_);
    // Every child window as it is first shown: see eventFilter.
    mdiArea_->viewport()->installEventFilter(this);

    setAcceptDrops(true);
    CreateMenus();
    CreateToolBar();
    aboutBox_ = new TAboutBox(this);

    recent_.OnChanged = [this](const TRecentFiles&) { UpdateRegistry(); };
    ProgramData = TProgramData::CreateNew(tables_);
    setWindowTitle(Q(WindowCaption(ProgramData->FileName)));
    CheckSpeedButtons();
    resize(1100, 760);
}

TMainForm::~TMainForm() {
    // Editors and dialogs go before the tables and the project they show.
    mdiArea_->closeAllSubWindows();
    for (QMdiSubWindow* window : mdiArea_->subWindowList())
        delete window;
    for (TGridTable* table : tables_.AllTables())
        table->CloseEditor();
    controls::UnregisterTableEditors();
    engine_.reset();
    if (ProgramData && &ProgramData->Tables() == &tables_)
        ProgramData.reset();
}

// ---- menus and toolbar ----

QAction* TMainForm::AddAction(QMenu* menu, const char* name, const QString& caption,
                              const std::function<void()>& handler) {
    auto* action = new QAction(caption, this);
    action->setObjectName(QString::fromLatin1(name));
    // Every command, from the menu, its shortcut, the toolbar or a recent entry, works on what the
    // active child window shows: its entries are written to the project first, and a refused entry
    // stops the command so that the user can correct it.
    connect(action, &QAction::triggered, this, [this, handler] {
        try {
            if (!CommitActiveChild())
                return;
            handler();
        } catch (const std::exception& e) {
            MessageBoxes::Current().ShowMessage(this, Q(e.what()), MessageBoxes::Icon::Error);
        }
    });
    if (menu != nullptr)
        menu->addAction(action);
    return action;
}

void TMainForm::AddTableAction(QMenu* menu, const char* name, const QString& caption, TGridTable& table) {
    AddAction(menu, name, caption, [this, &table] { ShowTableEditor(table); });
}

void TMainForm::CreateMenus() {
    QMenuBar* bar = menuBar();

    fileMenu_ = bar->addMenu(QStringLiteral("&File"));
    AddAction(fileMenu_, "FileNew", QStringLiteral("&New"), [this] {
        FileNewClick();
    })->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    AddAction(fileMenu_, "FileOpen", QStringLiteral("&Open..."), [this] {
        FileOpenClick();
    })->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    AddAction(fileMenu_, "FileSave", QStringLiteral("&Save"), [this] {
        FileSaveClick();
    })->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    AddAction(fileMenu_, "FileSaveAs", QStringLiteral("Save &As..."), [this] { FileSaveAsClick(); });
    AddAction(fileMenu_, "FileSaveReport", QStringLiteral("Save &Report as PDF..."),
              [this] { SaveReportClick(); });
    fileMenu_->addSeparator()->setObjectName(QStringLiteral("N1"));
    for (int k = 1; k <= TRecentFiles::kSize; ++k) {
        QAction* action = AddAction(fileMenu_, "", QString(), [this, k] { RecentFileClick(k); });
        action->setObjectName(QStringLiteral("Recent%1").arg(k));
        action->setVisible(false);
        recentActions_[static_cast<std::size_t>(k - 1)] = action;
    }
    recentSeparator_ = fileMenu_->addSeparator();
    recentSeparator_->setObjectName(QStringLiteral("N14"));
    recentSeparator_->setVisible(false);
    AddAction(fileMenu_, "FileExit", QStringLiteral("E&xit"), [this] { close(); });
    connect(fileMenu_, &QMenu::aboutToShow, this, [this] {
        CommitBeforeMenu(fileMenu_);
        UpdateFileMenu();
    });

    dataMenu_ = bar->addMenu(QStringLiteral("Da&ta"));
    AddAction(dataMenu_, "DataTitle", QStringLiteral("&Title"), [this] { DataTitleClick(); });
    dataMenu_->addSeparator();
    AddAction(dataMenu_, "material", QStringLiteral("&Pile Properties"), [this] { MaterialClick(); });
    AddTableAction(dataMenu_, "SoilLayerCoordinates1", QStringLiteral("Soil &Layers"), tables_.D2());
    dataMenu_->addSeparator();
    AddTableAction(dataMenu_, "SoilParameters1", QStringLiteral("Enter t-&z Curves"), tables_.TblPVDepth2());
    AddTableAction(dataMenu_, "PileProperties1", QStringLiteral("Enter Q-&w Curve"), tables_.TblQwcurve2());
    dataMenu_->addSeparator();
    AddTableAction(dataMenu_, "TipMovement1", QStringLiteral("Enter Tip &Movements"), tables_.TblTipMove());
    AddTableAction(dataMenu_, "Topload1", QStringLiteral("Enter Loads at Pile &Head"), tables_.TblTopload());
    dataMenu_->addSeparator();
    AddTableAction(dataMenu_, "Settlements1", QStringLiteral("Enter Soil-&Settlement Data (for Downdrag)"),
                   tables_.TblSettlement2());
    dataMenu_->addSeparator();
    AddTableAction(dataMenu_, "PVFactorTable", QStringLiteral("Enter Modification Factors on t-z Curves"),
                   tables_.TblPVFactors2());
    AddAction(dataMenu_, "QwFactorTable", QStringLiteral("Enter Modification Factors on Q-w Curve"),
              [this] { QwFactorTableClick(); });
    dataMenu_->addSeparator();
    AddTableAction(dataMenu_, "MeasuredLoadTest", QStringLiteral("Measured &Load Test"), tables_.TblMeasured2());
    connect(dataMenu_, &QMenu::aboutToShow, this, [this] {
        CommitBeforeMenu(dataMenu_);
        UpdateDataMenu();
    });

    optionsMenu_ = bar->addMenu(QStringLiteral("&Options"));
    unitsMenu_ = optionsMenu_->addMenu(QStringLiteral("&Units"));
    unitsMenu_->menuAction()->setObjectName(QStringLiteral("OptionsUnits"));
    auto* unitGroup = new QActionGroup(this);
    for (int system : {1, 2}) {
        QAction* action = AddAction(unitsMenu_, system == 1 ? "EnglishUnits" : "SIUnits",
                                    system == 1 ? QStringLiteral("&English Units (lb, in)")
                                                : QStringLiteral("&S.I. Units (kN, m)"),
                                    [this, system] { SetUnitsClick(system); });
        action->setCheckable(true);
        unitGroup->addAction(action);
    }
    curvesMenu_ = optionsMenu_->addMenu(QStringLiteral("t-z/Q-w &Curves"));
    curvesMenu_->menuAction()->setObjectName(QStringLiteral("PileSection1"));
    auto* curveGroup = new QActionGroup(this);
    for (bool generated : {true, false}) {
        QAction* action = AddAction(curvesMenu_, generated ? "miCircular" : "miNonCircular",
                                    generated ? QStringLiteral("Generated by the program")
                                              : QStringLiteral("Entered by the user"),
                                    [this, generated] { CurveModeClick(generated); });
        action->setCheckable(true);
        curveGroup->addAction(action);
    }
    QMenu* loadMenu = optionsMenu_->addMenu(QStringLiteral("Load Method"));
    loadMenu->menuAction()->setObjectName(QStringLiteral("LoadMethod1"));
    AddAction(loadMenu, "SpecifyTipMovements1", QStringLiteral("Specify &Tip Movements"), [this] {
        FlipOption(ProgramData->SpecifyTipMovements);
    })->setCheckable(true);
    AddAction(loadMenu, "AssignLoadsatPileHead1", QStringLiteral("Assign &Loads at Pile Head"), [this] {
        FlipOption(ProgramData->AssignHeadLoads);
    })->setCheckable(true);
    connect(loadMenu, &QMenu::aboutToShow, this, &TMainForm::UpdateOptionsMenu);
    optionsMenu_->addSeparator();
    AddAction(optionsMenu_, "Downdrag1", QStringLiteral("Include &Down-Drag (negative Skin Friction)"),
              [this] { FlipOption(ProgramData->IncludeDowndrag); })
        ->setCheckable(true);
    optionsMenu_->addSeparator();
    AddAction(optionsMenu_, "ApplyFactors", QStringLiteral("Apply Modification Factors on t-z Curves"),
              [this] { FlipOption(ProgramData->ApplySideFactors); })
        ->setCheckable(true);
    AddAction(optionsMenu_, "ApplyQwFactors", QStringLiteral("Apply Modification Factors on Q-w Curve"),
              [this] { FlipOption(ProgramData->ApplyQwFactors); })
        ->setCheckable(true);
    optionsMenu_->addSeparator();
    AddAction(optionsMenu_, "CompText", QStringLiteral("Selection of Text &Editor ..."),
              [this] { CompTextClick(); });
    connect(optionsMenu_, &QMenu::aboutToShow, this, [this] {
        CommitBeforeMenu(optionsMenu_);
        UpdateOptionsMenu();
    });
    connect(unitsMenu_, &QMenu::aboutToShow, this, &TMainForm::UpdateOptionsMenu);
    connect(curvesMenu_, &QMenu::aboutToShow, this, &TMainForm::UpdateOptionsMenu);

    compMenu_ = bar->addMenu(QStringLiteral("&Computation"));
    AddAction(compMenu_, "CompRun", QStringLiteral("&Run Analysis"), [this] { CompRunClick(); });
    AddAction(compMenu_, "CompSweep", QStringLiteral("Design S&weep..."), [this] { DesignSweepClick(); });
    AddAction(compMenu_, "CompCalibrate", QStringLiteral("&Calibrate to Load Test..."),
              [this] { CalibrateClick(); });
    AddAction(compMenu_, "CompSummary", QStringLiteral("Results &Summary"), [this] { ResultsSummaryClick(); });
    compMenu_->addSeparator();
    AddAction(compMenu_, "CompInput", QStringLiteral("Edit &Input Text"), [this] { CompInputClick(); });
    AddAction(compMenu_, "CompKernel", QStringLiteral("Edit &Processor-Run Notes"),
              [this] { CompKernelClick(); });
    AddAction(compMenu_, "CompOutput", QStringLiteral("Edit &Output Text"), [this] { CompOutputClick(); });
    compMenu_->addSeparator();
    AddAction(compMenu_, "ViewSoilLayerCoordinates1", QStringLiteral("&View Soil Layer Coordinates"),
              [this] { ViewSoilLayerCoordinatesClick(); });
    AddAction(compMenu_, "EditGRLWeapDataFile1", QStringLiteral("Edit &GRLWeap Data File"), [this] {
        EditGRLWeapDataFile1Click();
    })->setVisible(false);
    connect(compMenu_, &QMenu::aboutToShow, this, [this] {
        CommitBeforeMenu(compMenu_);
        UpdateComputationMenu();
    });

    graphicsMenu_ = bar->addMenu(QStringLiteral("&Graphics"));
    AddAction(graphicsMenu_, "mLoad", QStringLiteral("Load &Distribution"),
              [this] { ShowGraph(graphs_.pltLoad); });
    AddAction(graphicsMenu_, "mAxial", QStringLiteral("&Axial Load vs Settlement"),
              [this] { ShowGraph(graphs_.pltAxial); });
    AddAction(graphicsMenu_, "mTZ", QStringLiteral("t-&z Curves (side friction)"),
              [this] { ShowGraph(graphs_.pltPVcurves); });
    AddAction(graphicsMenu_, "mTip", QStringLiteral("Q-&w Curve (tip resistance)"),
              [this] { ShowGraph(graphs_.PltQW); });
    graphicsMenu_->addSeparator()->setObjectName(QStringLiteral("N9"));
    AddAction(graphicsMenu_, "uSkin", QStringLiteral("&Unit Skin Friction vs Depth"), [this] {
        ShowGraph(graphs_.pltUSkin);
    })->setVisible(false);
    AddAction(graphicsMenu_, "mSkin", QStringLiteral("&Accumulated Skin Friction vs Depth"), [this] {
        ShowGraph(graphs_.pltSkin);
    })->setVisible(false);
    QAction* extra =
        AddAction(graphicsMenu_, "mExtraPV", QStringLiteral("&Extra t-z curves at User-Specified Depths"),
                  [this] { ShowGraph(graphs_.PltExtraPV); });
    extra->setVisible(false);
    extra->setEnabled(false);
    AddAction(graphicsMenu_, "ExportExcel", QStringLiteral("Export Plots to Excel"),
              [this] { ExportExcelClick(); });
    AddAction(graphicsMenu_, "ExportSprings", QStringLiteral("Export &Springs (CSV)..."),
              [this] { ExportSpringsClick(); });
    connect(graphicsMenu_, &QMenu::aboutToShow, this, &TMainForm::UpdateGraphicsMenu);

    windowMenu_ = bar->addMenu(QStringLiteral("&Window"));
    connect(windowMenu_, &QMenu::aboutToShow, this, &TMainForm::UpdateWindowMenu);
    // The child windows by keyboard, as in other multiple-document programs: Ctrl+F4 closes the
    // active one, Ctrl+Tab and Ctrl+Shift+Tab go round all of them in the order they were opened.
    // Like every command they write the active child's entries back first, and a refused entry
    // keeps its window open and active.
    const std::tuple<const char*, QList<QKeySequence>, std::function<void()>> childKeys[] = {
        {"WindowCloseChild",
         {QKeySequence(Qt::CTRL | Qt::Key_F4)},
         [this] {
             if (QMdiSubWindow* active = mdiArea_->activeSubWindow())
                 active->close();
         }},
        {"WindowNextChild",
         {QKeySequence(Qt::CTRL | Qt::Key_Tab)},
         [this] { mdiArea_->activateNextSubWindow(); }},
        {"WindowPreviousChild",
         {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab)},
         [this] { mdiArea_->activatePreviousSubWindow(); }},
    };
    for (const auto& [name, keys, handler] : childKeys) {
        QAction* action = AddAction(nullptr, name, QString(), handler);
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
    }

    helpMenu_ = bar->addMenu(QStringLiteral("&Help"));
    AddAction(helpMenu_, "HelpContents", QStringLiteral("&Contents"),
              [this] { OpenManual(QString::fromLatin1(kUsersManual)); });
    helpMenu_->addSeparator();
    AddAction(helpMenu_, "UsersManual", QStringLiteral("User's Manual"),
              [this] { OpenManual(QString::fromLatin1(kUsersManual)); });
    AddAction(helpMenu_, "TechnicalManual", QStringLiteral("Technical Manual"),
              [this] { OpenManual(QString::fromLatin1(kTechnicalManual)); });
    AddAction(helpMenu_, "HelpAbout", QStringLiteral("&About..."), [this] { HelpAboutClick(); });
    AddAction(helpMenu_, "CheckUpdates", QStringLiteral("Check for Updates"),
              [this] { CheckForUpdatesClick(); });
    connect(helpMenu_, &QMenu::aboutToShow, this, [this] { CommitBeforeMenu(helpMenu_); });
}

void TMainForm::CreateToolBar() {
    toolBar_ = addToolBar(QStringLiteral("Toolbar"));
    toolBar_->setObjectName(QStringLiteral("SpeedBar"));
    toolBar_->setMovable(false);
    toolBar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    QStyle* s = style();
    struct Button {
        const char* name;
        const char* hint;
        QStyle::StandardPixmap icon;
        std::function<void()> handler;
    };
    const Button buttons[] = {
        {"SpeedNew", "New File", QStyle::SP_FileIcon, [this] { FileNewClick(); }},
        {"SpeedOpen", "Open File", QStyle::SP_DialogOpenButton, [this] { FileOpenClick(); }},
        {"SpeedSave", "Save File", QStyle::SP_DialogSaveButton, [this] { FileSaveClick(); }},
        {"SpeedRun", "Run Analysis", QStyle::SP_MediaPlay, [this] { CompRunClick(); }},
        {"SpeedSoil", "Soil-Layer Data", QStyle::SP_FileDialogDetailedView,
         [this] { ShowTableEditor(tables_.D2()); }},
        {"SpeedOutput", "Edit Output Text", QStyle::SP_FileDialogContentsView, [this] { CompOutputClick(); }},
        {"SpeedProfile", "View Soil Profile", QStyle::SP_ArrowDown,
         [this] { ViewSoilLayerCoordinatesClick(); }},
        {"SpeedLoad", "View Combined Plot", QStyle::SP_TitleBarShadeButton,
         [this] { ShowGraph(graphs_.pltLoad); }},
        {"SpeedTZ", "View t-z Curves", QStyle::SP_ToolBarHorizontalExtensionButton,
         [this] { ShowGraph(graphs_.pltPVcurves); }},
        {"SpeedAxial", "View Load vs Settlement", QStyle::SP_ArrowRight,
         [this] { ShowGraph(graphs_.pltAxial); }},
    };
    for (const Button& b : buttons) {
        QAction* action = AddAction(nullptr, b.name, QString::fromLatin1(b.hint), b.handler);
        action->setIcon(s->standardIcon(b.icon));
        action->setToolTip(QString::fromLatin1(b.hint));
        toolBar_->addAction(action);
        if (std::string_view(b.name) == "SpeedRun" || std::string_view(b.name) == "SpeedSave")
            toolBar_->addSeparator();
    }
}

QAction* FindAction(const QObject* owner, const char* name) {
    return owner->findChild<QAction*>(QString::fromLatin1(name));
}

void TMainForm::CheckSpeedButtons() {
    const bool generated = ProgramData && ProgramData->CurvesGenerated;
    FindAction(this, "SpeedSoil")->setEnabled(generated);
    const bool graphs = GraphsAvailable();
    for (const char* name : {"SpeedLoad", "SpeedTZ", "SpeedAxial"})
        FindAction(this, name)->setEnabled(graphs);
}

bool TMainForm::GraphsAvailable() const {
    return commands_->ResultsLoaded && ProgramData &&
           IsFile(ChangeFileExt(ProgramData->FileName, ext::kPlot));
}

void TMainForm::UpdateMenus() {
    CommitActiveChild();
    UpdateFileMenu();
    UpdateDataMenu();
    UpdateOptionsMenu();
    UpdateComputationMenu();
    UpdateGraphicsMenu();
    UpdateWindowMenu();
}

void TMainForm::UpdateFileMenu() {
    const std::string current = QDir::currentPath().toStdString();
    for (int k = 1; k <= TRecentFiles::kSize; ++k) {
        QAction* action = recentActions_[static_cast<std::size_t>(k - 1)];
        const std::string& path = recent_.Entry(k);
        action->setVisible(k <= recent_.Count() && !path.empty());
        QString caption = Q(RecentEntryCaption(k, path, current));
        caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
        action->setText(QLatin1Char('&') + caption);
    }
    recentSeparator_->setVisible(recent_.Count() > 0);
    // A run that stopped has a report too (its inputs and the stop message): enabled once there was a run.
    FindAction(this, "FileSaveReport")
        ->setEnabled(ProgramData && IsFile(ChangeFileExt(ProgramData->FileName, ext::kPlot)));
}

void TMainForm::UpdateDataMenu() {
    if (!ProgramData)
        return;
    const TProgramData& p = *ProgramData;
    FindAction(this, "SoilLayerCoordinates1")->setEnabled(p.CurvesGenerated);
    FindAction(this, "SoilParameters1")->setEnabled(!p.CurvesGenerated);
    FindAction(this, "PileProperties1")->setEnabled(!p.CurvesGenerated);
    FindAction(this, "TipMovement1")->setEnabled(p.SpecifyTipMovements != 0);
    FindAction(this, "Topload1")->setEnabled(p.AssignHeadLoads != 0);
    FindAction(this, "Settlements1")->setEnabled(p.IncludeDowndrag != 0);
    FindAction(this, "PVFactorTable")->setEnabled(p.ApplySideFactors != 0);
    FindAction(this, "QwFactorTable")->setEnabled(p.ApplyQwFactors != 0);
}

void TMainForm::UpdateOptionsMenu() {
    if (!ProgramData)
        return;
    const TProgramData& p = *ProgramData;
    FindAction(this, "EnglishUnits")->setChecked(p.Units == 1);
    FindAction(this, "SIUnits")->setChecked(p.Units == 2);
    FindAction(this, "miCircular")->setChecked(p.CurvesGenerated);
    FindAction(this, "miNonCircular")->setChecked(!p.CurvesGenerated);
    FindAction(this, "SpecifyTipMovements1")->setChecked(p.SpecifyTipMovements != 0);
    FindAction(this, "AssignLoadsatPileHead1")->setChecked(p.AssignHeadLoads != 0);
    FindAction(this, "Downdrag1")->setChecked(p.IncludeDowndrag != 0);
    FindAction(this, "ApplyFactors")->setChecked(p.ApplySideFactors != 0);
    FindAction(this, "ApplyQwFactors")->setChecked(p.ApplyQwFactors != 0);
}

void TMainForm::UpdateComputationMenu() {
    if (!ProgramData)
        return;
    const std::string& file = ProgramData->FileName;
    FindAction(this, "CompInput")->setEnabled(IsFile(file));
    FindAction(this, "CompKernel")->setEnabled(IsFile(ChangeFileExt(file, ext::kNotes)));
    FindAction(this, "CompOutput")->setEnabled(IsFile(ChangeFileExt(file, ext::kReport)));
    FindAction(this, "CompSummary")->setEnabled(GraphsAvailable());
}

void TMainForm::UpdateGraphicsMenu() {
    const bool graphs = GraphsAvailable();
    for (const char* name : {"mLoad", "mAxial", "mTZ", "mTip", "uSkin", "mSkin", "ExportExcel", "ExportSprings"})
        FindAction(this, name)->setEnabled(graphs);
}

void TMainForm::UpdateWindowMenu() {
    windowMenu_->clear();
    windowMenu_->addAction(QStringLiteral("&Cascade"), mdiArea_, &QMdiArea::cascadeSubWindows)
        ->setObjectName(QStringLiteral("WindowCascade"));
    windowMenu_
        ->addAction(QStringLiteral("&Arrange Icons"), this,
                    [this] {
                        // Minimised child windows in a row along the bottom of the area.
                        int x = 0;
                        for (QMdiSubWindow* window : mdiArea_->subWindowList()) {
                            if (!window->isMinimized())
                                continue;
                            const QSize size = window->size();
                            window->move(x, mdiArea_->viewport()->height() - size.height());
                            x += size.width();
                        }
                    })
        ->setObjectName(QStringLiteral("WindowArrange"));
    const QList<QMdiSubWindow*> windows = mdiArea_->subWindowList();
    QAction* separator = windowMenu_->addSeparator();
    separator->setObjectName(QStringLiteral("N3"));
    separator->setVisible(!windows.isEmpty());
    int shown = 0;
    for (QMdiSubWindow* window : windows) {
        if (++shown > 50)
            break;
        QString caption = window->windowTitle();
        caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* action = windowMenu_->addAction(caption);
        action->setCheckable(true);
        action->setChecked(window == mdiArea_->activeSubWindow());
        const QPointer<QMdiSubWindow> target(window);
        connect(action, &QAction::triggered, this, [this, target] {
            if (target == nullptr)
                return;
            if (target->isMinimized())
                target->showNormal();
            target->show();
            mdiArea_->setActiveSubWindow(target);
        });
    }
}

// ---- child windows ----

void TMainForm::CommitBeforeMenu(QMenu* menu) {
    // A refused entry has shown its message and kept the focus: the menu does not open over it.
    if (!CommitActiveChild())
        QTimer::singleShot(0, menu, &QMenu::close);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    // A child window's own menu gives its "Close" the keys Ctrl+F4 and Ctrl+W in the whole main
    // window: with two children open the keys are ambiguous and close nothing. They stay on the
    // menu, for when it is open; the main window's Ctrl+F4 closes the active child.
    if (watched == mdiArea_->viewport() && event->type() == QEvent::ChildPolished)
        if (auto* window = qobject_cast<QMdiSubWindow*>(static_cast<QChildEvent*>(event)->child()))
            if (QMenu* menu = window->systemMenu())
                for (QAction* action : menu->actions())
                    if (!action->shortcuts().isEmpty())
                        action->setShortcutContext(Qt::WidgetShortcut);
    return QMainWindow::eventFilter(watched, event);
}

bool TMainForm::CommitActiveChild() {
    QMdiSubWindow* active = mdiArea_->activeSubWindow();
    if (active == nullptr)
        return true;
    if (auto* dialog = qobject_cast<TDataDialog*>(active->widget()))
        return dialog->FormDeactivate();
    if (auto* editor = qobject_cast<controls::TTableForm*>(active->widget()))
        return editor->CommitCurrentCell();
    return true;
}

void TMainForm::OnSubWindowActivated(QMdiSubWindow* window) {
    // Null while the program itself is not the active one: the child keeps its entries until a
    // menu, another child, a run or closing needs them.
    if (window == nullptr || window == lastActive_ || switchingChild_)
        return;
    switchingChild_ = true;
    const QPointer<QMdiSubWindow> previous = lastActive_;
    lastActive_ = window;
    if (previous != nullptr) {
        if (auto* dialog = qobject_cast<TDataDialog*>(previous->widget());
            dialog != nullptr && !dialog->FormDeactivate()) {
            // The dialog keeps the activation until the user corrects the entry.
            lastActive_ = previous;
            switchingChild_ = false;
            QTimer::singleShot(0, this, [this, previous] {
                if (previous != nullptr)
                    mdiArea_->setActiveSubWindow(previous);
            });
            return;
        }
    }
    if (auto* dialog = qobject_cast<TDataDialog*>(window->widget()))
        dialog->FormActivate();
    switchingChild_ = false;
}

template <class Dialog, class... Args>
Dialog* TMainForm::ShowDialog(QPointer<Dialog>& dialog, Args&&... args) {
    if (dialog == nullptr) {
        dialog = new Dialog(std::forward<Args>(args)...);
        // Closed now, freed a moment later: the main window forgets it at once.
        connect(dialog, &TDataDialog::Closed, this, [&dialog] { dialog = nullptr; });
        dialog->ShowIn(mdiArea_);
        // The activation signal came before the dialog was known to be new: load it now.
        dialog->FormActivate();
        lastActive_ = dialog->SubWindow();
    } else {
        if (dialog->SubWindow()->isMinimized())
            dialog->SubWindow()->showNormal();
        dialog->ShowIn(mdiArea_);
    }
    return dialog;
}

void TMainForm::DataTitleClick() {
    ShowDialog(dlgTitle_);
}

void TMainForm::MaterialClick() {
    ShowDialog(frmMaterial_);
}

void TMainForm::QwFactorTableClick() {
    ShowDialog(frmQwFactors_);
}

void TMainForm::CompTextClick() {
    ShowDialog(
        dlgOptions_, [this] { return textEditorPath_; },
        [this](const QString& path) { textEditorPath_ = path; });
}

void TMainForm::ShowTableEditor(TGridTable& table) {
    table.ShowEditor(false);
}

void TMainForm::ReloadOpenDialogs() {
    if (frmQwFactors_ != nullptr)
        frmQwFactors_->FormActivate();
    if (frmMaterial_ != nullptr)
        frmMaterial_->FormActivate();
    if (dlgTitle_ != nullptr)
        dlgTitle_->FormActivate();
}

void TMainForm::AfterProjectReplaced() {
    ReloadOpenDialogs();
    CheckSpeedButtons();
    RefreshAnalysis();
    // Graph windows never show the previous project's lines: rebuilt on the new ones, or closed.
    graphics::ReloadGraphWindows(*mdiArea_, GraphsAvailable());
}

void TMainForm::RefreshAnalysis() {
    analysis_.reset();
    analysisProblem_ = QStringLiteral("The project has no results: run the analysis first.");
    if (ProgramData && GraphsAvailable()) {
        results::ShownAnalysis shown =
            results::analyseShownResults(ProgramData->FileName, ChangeFileExt(ProgramData->FileName, ext::kPlot));
        analysis_ = std::move(shown.results);
        analysisProblem_ = Q(shown.reason);
    }
    graphs_.SetNeutralPlanes(analysis_ != nullptr ? results::neutralPlaneDepths(*analysis_)
                                                  : std::vector<std::optional<float>>{});
    if (frmSummary_ != nullptr) {
        if (analysis_ != nullptr)
            frmSummary_->ShowResults(*analysis_, ProgramData->FileName);
        else
            frmSummary_->ShowNoResults(analysisProblem_);
    }
}

void TMainForm::CloseChildWindows() {
    // The results summary stays open across a run and an open: it is refilled instead.
    for (QMdiSubWindow* window : mdiArea_->subWindowList())
        if (frmSummary_ == nullptr || window->widget() != frmSummary_)
            window->close();
}

namespace {

// A new child window at its size hint (at least `least`), shown, then placed fully inside the work
// area (shrunk where it does not fit): placing only works on a shown window.
void OpenInWorkArea(QMdiSubWindow& window, QSize least) {
    window.resize(window.sizeHint().expandedTo(least));
    window.show();
    controls::PlaceNewWindow(window);
}

} // namespace

void TMainForm::ResultsSummaryClick() {
    if (!CommitActiveChild())
        return;
    if (frmSummary_ == nullptr) {
        frmSummary_ = new TfrmResultsSummary;
        QMdiSubWindow* window = mdiArea_->addSubWindow(frmSummary_);
        window->setAttribute(Qt::WA_DeleteOnClose);
        RefreshAnalysis();
        OpenInWorkArea(*window, QSize(900, 520));
    }
    frmSummary_->parentWidget()->show();
    frmSummary_->show();
    mdiArea_->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(frmSummary_->parentWidget()));
}

void TMainForm::ExportSpringsClick() {
    if (!ProgramData || !GraphsAvailable())
        return;
    if (analysis_ == nullptr) {
        ShowInformation(analysisProblem_);
        return;
    }
    const std::optional<int> at = MainDesktop::Current().ChooseOption(
        this, QStringLiteral("Export Springs"), QStringLiteral("Write the t-z curves the analysis used:"),
        {QStringLiteral("at the curves' depths"), QStringLiteral("at every increment")});
    if (!at)
        return;
    const std::optional<QString> path =
        ChooseOutputFile(this, QStringLiteral("Export Springs (CSV)"), ProgramData->FileName,
                         QStringLiteral("-springs.csv"), QStringLiteral("csv"));
    if (!path)
        return;
    std::ostringstream err;
    if (!cli::writeTextFile(path->toStdString(), results::springsCsv(*analysis_, *at == 1), err))
        MessageBoxes::Current().ShowMessage(this, Q(err.str()).trimmed(), MessageBoxes::Icon::Error);
}

// ---- File ----

void TMainForm::FileNewClick() {
    if (commands_->FileNew())
        AfterProjectReplaced();
}

void TMainForm::FileOpenClick() {
    if (commands_->FileOpen())
        AfterProjectReplaced();
}

void TMainForm::FileSaveClick() {
    if (commands_->FileSave())
        AfterMeasuredTestSaved();
}

void TMainForm::FileSaveAsClick() {
    if (commands_->FileSaveAs())
        AfterMeasuredTestSaved();
}

void TMainForm::SaveReportClick() {
    if (!ProgramData || !IsFile(ChangeFileExt(ProgramData->FileName, ext::kPlot)))
        return;
    SaveReportAsPdf(this, *ProgramData, EngineLibraryPath());
}

void TMainForm::AfterMeasuredTestSaved() {
    // The axial graph shows the measured test as saved beside the project.
    if (!ProgramData || !GraphsAvailable())
        return;
    cli::ShowMeasuredLoadTest(ProgramData->FileName, graphs_);
    graphics::ReloadGraphWindows(*mdiArea_, true);
}

void TMainForm::RecentFileClick(int number) {
    if (commands_->OpenRecent(number))
        AfterProjectReplaced();
}

void TMainForm::FormShow(const QStringList& arguments) {
    ReadSettings();
    std::vector<std::string> args;
    for (const QString& argument : arguments)
        args.push_back(argument.toStdString());
    try {
        commands_->OpenCommandLine(args);
    } catch (const std::exception& e) {
        // Out of memory or another failure while opening: a message and a usable new project.
        MessageBoxes::Current().ShowMessage(this, Q(e.what()), MessageBoxes::Icon::Error);
        commands_->OpenCommandLine({});
    }
    AfterProjectReplaced();
}

void TMainForm::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls())
        for (const QUrl& url : event->mimeData()->urls())
            if (url.isLocalFile()) {
                event->acceptProposedAction();
                return;
            }
}

void TMainForm::dropEvent(QDropEvent* event) {
    if (FilesDropped(event->mimeData()->urls()))
        event->acceptProposedAction();
}

bool TMainForm::FilesDropped(const QList<QUrl>& urls) {
    std::vector<std::string> paths;
    for (const QUrl& url : urls)
        if (url.isLocalFile())
            paths.push_back(url.toLocalFile().toStdString());
    if (paths.empty())
        return false;
    // Opened once the drop has finished, so that message boxes do not run inside it.
    QTimer::singleShot(0, this, [this, paths] {
        try {
            if (!CommitActiveChild())
                return;
            if (commands_->OpenDroppedFiles(paths))
                AfterProjectReplaced();
        } catch (const std::exception& e) {
            MessageBoxes::Current().ShowMessage(this, Q(e.what()), MessageBoxes::Icon::Error);
        }
    });
    return true;
}

void TMainForm::closeEvent(QCloseEvent* event) {
    bool mayClose = false;
    try {
        mayClose = CommitActiveChild() && commands_->AskToSave();
    } catch (const std::exception& e) {
        // The changes are not known to be safe: the window stays.
        MessageBoxes::Current().ShowMessage(this, Q(e.what()), MessageBoxes::Icon::Error);
    }
    if (!mayClose) {
        event->ignore();
        return;
    }
    UpdateRegistry();
    mdiArea_->closeAllSubWindows();
    event->accept();
}

// ---- settings ----

void TMainForm::ReadSettings() {
    VersionSettings settings;
    const QString editor = settings->value(QString::fromLatin1(kWordProcessorKey)).toString();
    if (!editor.isEmpty())
        textEditorPath_ = editor;
    recent_.Clear();
    for (int k = 1; k <= TRecentFiles::kSize; ++k)
        recent_.SetEntry(k, settings->value(RecentKey(k)).toString().toStdString());
    UpdateFileMenu();
}

void TMainForm::UpdateRegistry() const {
    VersionSettings settings;
    settings->setValue(QString::fromLatin1(kWordProcessorKey), textEditorPath_);
    for (int k = 1; k <= TRecentFiles::kSize; ++k)
        settings->setValue(RecentKey(k), Q(recent_.Entry(k)));
    settings->sync();
}

// ---- Options ----

void TMainForm::SetUnitsClick(int system) {
    if (!ProgramData)
        return;
    ProgramData->SetUnits(system);
    // Open dialogs show the rescaled values and relabel their fields.
    ReloadOpenDialogs();
    UpdateOptionsMenu();
}

void TMainForm::CurveModeClick(bool generated) {
    if (!ProgramData)
        return;
    if (ProgramData->CurvesGenerated != generated) {
        ProgramData->CurvesGenerated = generated;
        // A switch of the analysis counts as an unsaved change, so that closing asks to save it.
        tables_.SetModified(true);
    }
    UpdateOptionsMenu();
    UpdateDataMenu();
    CheckSpeedButtons();
}

void TMainForm::FlipOption(int& option) {
    option = option != 0 ? 0 : 1;
    tables_.SetModified(true);
    UpdateOptionsMenu();
    UpdateDataMenu();
}

// ---- Computation ----

QString TMainForm::EngineLibraryPath() const {
    return QDir(programFolder_).filePath(EngineLibraryFileName());
}

void TMainForm::CompRunClick() {
    if (!ProgramData || !CommitActiveChild())
        return;
    lastRunStatus_ = -1;
    commands_->SaveCompleted = true;
    try {
        commands_->SaveOrThrow();
    } catch (const std::exception&) {
        ShowInformation(QString::fromLatin1(run_text::kSaveFailed));
    }
    if (!commands_->SaveCompleted || ProgramData->FileName == kDefaultFileName)
        return;
    // A project the engine cannot handle is not handed to it unless the user says so.
    const std::vector<CheckFinding> findings = CheckBeforeRun(*ProgramData);
    if (!findings.empty()) {
        QStringList texts;
        for (const CheckFinding& finding : findings)
            texts << Q(finding.Text());
        if (!MainDesktop::Current().ConfirmRunWithFindings(this, texts))
            return;
    }
    RunEngine();
}

std::string TMainForm::SaveForSweep() {
    if (!ProgramData || !CommitActiveChild())
        return {};
    commands_->SaveCompleted = true;
    try {
        commands_->SaveOrThrow();
    } catch (const std::exception&) {
        ShowInformation(QString::fromLatin1(run_text::kSaveFailed));
    }
    if (!commands_->SaveCompleted || ProgramData->FileName == kDefaultFileName)
        return {};
    if (const std::optional<std::string> problem = ProjectPathProblem(ProgramData->FileName)) {
        MessageBoxes::Current().ShowMessage(this, Q(*problem), MessageBoxes::Icon::Error);
        return {};
    }
    return ProgramData->FileName;
}

void TMainForm::DesignSweepClick() {
    if (!ProgramData || !CommitActiveChild())
        return;
    if (frmDesignSweep_ == nullptr) {
        const auto value = [](cli::SweepParameter parameter) -> long double {
            if (!ProgramData)
                return 1;
            return parameter == cli::SweepParameter::Length     ? ProgramData->PileLength
                   : parameter == cli::SweepParameter::Diameter ? ProgramData->OuterDiameter
                   : parameter == cli::SweepParameter::TipArea  ? ProgramData->TipArea
                                                                : 1;
        };
        frmDesignSweep_ = new TfrmDesignSweep(
            mdiArea_, [this] { return SaveForSweep(); }, [] { return ProgramData ? ProgramData->Units : 1; },
            value);
        QMdiSubWindow* window = mdiArea_->addSubWindow(frmDesignSweep_);
        window->setAttribute(Qt::WA_DeleteOnClose);
        OpenInWorkArea(*window, QSize(980, 620));
    }
    frmDesignSweep_->parentWidget()->show();
    frmDesignSweep_->show();
    mdiArea_->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(frmDesignSweep_->parentWidget()));
}

void TMainForm::CalibrateClick() {
    if (!ProgramData || !CommitActiveChild())
        return;
    if (frmCalibrate_ == nullptr) {
        frmCalibrate_ = new TfrmCalibrate(
            [this] { return SaveForSweep(); },
            [this](const std::string& path, const cli::FitResult& result) { return ApplyCalibration(path, result); });
        QMdiSubWindow* window = mdiArea_->addSubWindow(frmCalibrate_);
        window->setAttribute(Qt::WA_DeleteOnClose);
        OpenInWorkArea(*window, QSize(800, 760));
    }
    frmCalibrate_->parentWidget()->show();
    frmCalibrate_->show();
    mdiArea_->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(frmCalibrate_->parentWidget()));
}

bool TMainForm::ApplyCalibration(const std::string& path, const cli::FitResult& result) {
    if (!ProgramData || !CommitActiveChild())
        return false;
    if (!SameFile(path, ProgramData->FileName)) {
        MessageBoxes::Current().ShowMessage(
            this, QStringLiteral("The calibration was made for %1, not for the open project; run it again.")
                      .arg(Q(path)),
            MessageBoxes::Icon::Warning);
        return false;
    }
    cli::applyFit(*ProgramData, result);
    tables_.SetModified(true);
    // Open dialogs and the Options menu show the factors switched on with their new values.
    ReloadOpenDialogs();
    UpdateOptionsMenu();
    UpdateDataMenu();
    return true;
}

void TMainForm::RunEngine() {
    const std::string fileName = ProgramData->FileName;
    // The save refused such a name; the file on disk after a failed save must not reach the engine
    // under it either.
    if (const std::optional<std::string> problem = ProjectPathProblem(fileName)) {
        MessageBoxes::Current().ShowMessage(this, Q(*problem), MessageBoxes::Icon::Error);
        return;
    }
    const ScopedNumericLocale numericLocale;
    QDir::setCurrent(Q(ExtractFileDir(fileName)));
    QString runFolder = ChooseRunFolder(programFolder_, fallbackRunFolder_);
    if (runFolder.isEmpty())
        runFolder = programFolder_;
    lastRunFolder_ = runFolder;
    QDir::setCurrent(runFolder);
    if (!WriteRunFileList(runFolder, fileName))
        ShowInformation(QString::fromLatin1(run_text::kNamesFailed));

    if (engine_ != nullptr) {
        ShowInformation(QString::fromLatin1(run_text::kReinitialize));
        return;
    }
    using Entry = std::int32_t (*)(std::int32_t);
    Entry entry = nullptr;
    try {
        engine_ = std::make_unique<TDynamicLibrary>(EngineLibraryPath().toStdString());
        engine_->Load();
        entry = reinterpret_cast<Entry>(engine_->GetProc(kEngineEntryName));
    } catch (const EDLLError&) {
        entry = nullptr;
    }
    if (engine_ == nullptr || !engine_->IsOpen() || entry == nullptr) {
        engine_.reset();
        QFile::remove(QDir(runFolder).filePath(QString::fromLatin1(kRunFileList)));
        ShowInformation(QString::fromLatin1(run_text::kInitFailed));
        return;
    }

    QApplication::setOverrideCursor(Qt::WaitCursor);
    std::int32_t status = 0;
    try {
        status = entry(1);
    } catch (...) {
        status = 2;
    }
    QApplication::restoreOverrideCursor();
    lastRunStatus_ = status;

    QString message = QString::fromLatin1(run_text::kCompleted);
    const std::string statusLine = RunStatusLine(status);
    if (!statusLine.empty())
        message += QLatin1Char('\r') + Q(statusLine);
    ShowInformation(message);

    const std::string plotFile = ChangeFileExt(fileName, ext::kPlot);
    if (IsFile(plotFile)) {
        // After a run that stopped, the status line has told why: the plot data file, empty or cut
        // short, is read without a message of its own, and the graphs are offered only when it is
        // whole.
        graphics::TMessageHook showMessage;
        if (status == 0)
            showMessage = [this](const std::string& m) { ShowInformation(Q(m)); };
        commands_->ResultsLoaded = graphs_.ReadPlotFile(plotFile, ProgramData->Units, showMessage);
        if (commands_->ResultsLoaded)
            cli::ShowMeasuredLoadTest(fileName, graphs_);
    }
    CheckSpeedButtons();
    CloseChildWindows();
    RefreshAnalysis();
    engine_.reset();
    QFile::remove(QDir(runFolder).filePath(QString::fromLatin1(kRunFileList)));
}

void TMainForm::OpenInEditor(const std::string& path) {
    // The editor setting may name a program with its own arguments; the file is always one argument.
    QString program = textEditorPath_;
    QStringList arguments;
    if (!QFileInfo(program).isFile()) {
        QStringList parts = QProcess::splitCommand(program);
        if (!parts.isEmpty()) {
            program = parts.takeFirst();
            arguments = parts;
        }
    }
    arguments << QFileInfo(Q(path)).absoluteFilePath();
    if (program.isEmpty() || !MainDesktop::Current().StartDetached(program, arguments))
        ShowInformation(QString::fromLatin1(run_text::kEditorFailed));
}

void TMainForm::CompInputClick() {
    OpenInEditor(ProgramData->FileName);
}

void TMainForm::CompKernelClick() {
    OpenInEditor(ChangeFileExt(ProgramData->FileName, ext::kNotes));
}

void TMainForm::CompOutputClick() {
    // The toolbar's button is always enabled: a project that was never saved, or never run since,
    // has no report to open (the default name would open one in whatever folder is current).
    const std::string report = ChangeFileExt(ProgramData->FileName, ext::kReport);
    if (ProgramData->FileName == kDefaultFileName || !IsFile(report)) {
        ShowInformation(
            ProgramData->FileName == kDefaultFileName
                ? QString::fromLatin1(run_text::kNoReportUnsaved)
                : QString::fromLatin1(run_text::kNoReport).arg(QDir::toNativeSeparators(Q(report))));
        return;
    }
    OpenInEditor(report);
}

void TMainForm::EditGRLWeapDataFile1Click() {
    OpenInEditor(ProgramData->GwiFileName.empty() ? ChangeFileExt(ProgramData->FileName, ext::kGwi)
                                                  : ProgramData->GwiFileName);
}

graphics::SoilProfileInput TMainForm::SoilProfile() const {
    graphics::SoilProfileInput input;
    if (!ProgramData)
        return input;
    input.Units = ProgramData->Units;
    input.OuterDiameter = ProgramData->OuterDiameter;
    input.PileLength = ProgramData->PileLength;
    const TGridTable& layers = tables_.D2();
    for (int row = 0; row < layers.RowCount(); ++row)
        input.Layers.push_back({tables_.SoilTypeOf(row), layers.Float(col::kLayerBottom, row)});
    return input;
}

void TMainForm::ViewSoilLayerCoordinatesClick() {
    // The profile of soil layers: only for a project whose last save had generated curves.
    if (!ProgramData || ProgramData->CurveMode != 2)
        return;
    if (sideView_ == nullptr) {
        sideView_ = graphics::TDlgSideView::CreateIn(*mdiArea_, [this] { return SoilProfile(); });
        if (sideView_ == nullptr)
            return;
        connect(sideView_, &graphics::TDlgSideView::Closed, this, [this] { sideView_ = nullptr; });
    }
    sideView_->ShowView();
}

void TMainForm::ShowGraph(graphics::TGraphPlot& graph) {
    if (!GraphsAvailable())
        return;
    if (graphics::ShowPlotForm(mdiArea_, graph) == nullptr)
        ShowInformation(QStringLiteral("The graph \"%1\" holds no points to draw.")
                            .arg(Q(graph.Caption.empty() ? graph.ComponentName() : graph.Caption)));
}

void TMainForm::ExportExcelClick() {
    if (!GraphsAvailable() || !ProgramData)
        return;
    // The graphs the Graphics menu offers, in the dialog's order.
    const std::array<bool, 4> enabled = {true, true, true, true};
    graphics::TDlgExport dialog(graphs_, Q(ProgramData->FileName), enabled, this);
    dialog.FormActivate();
    dialog.exec();
}

void TMainForm::MergePlotMenu(QMdiSubWindow* window) {
    // The active graph window's "&Plot" menu stands before the Window menu; no other one does.
    QMenu* wanted = nullptr;
    if (window != nullptr)
        if (auto* plot = qobject_cast<graphics::TPlotForm*>(window->widget()))
            wanted = plot->PlotMenu();
    if (window == nullptr && !mdiArea_->subWindowList().isEmpty())
        return; // the program lost the activation; the active child stays what it was
    if (mergedMenu_ == wanted)
        return;
    if (mergedMenu_ != nullptr)
        menuBar()->removeAction(mergedMenu_->menuAction());
    mergedMenu_ = wanted;
    if (wanted != nullptr)
        menuBar()->insertAction(windowMenu_->menuAction(), wanted->menuAction());
}

// ---- Help ----

void TMainForm::OpenManual(const QString& fileName) {
    // The program's folder (the build tree), else the documentation folder of an installed copy.
    const std::optional<std::filesystem::path> found =
        FindManual(programFolder_.toStdString(), fileName.toStdString());
    if (!found) {
        ShowInformation(QStringLiteral("The document \"%1\" is not in the program's folder (%2).")
                            .arg(fileName, QDir::toNativeSeparators(programFolder_)));
        return;
    }
    MainDesktop::Current().OpenUrl(QUrl::fromLocalFile(QString::fromStdString(found->string())));
}

void TMainForm::HelpAboutClick() {
    aboutBox_->exec();
}

QString TMainForm::UpdateCheckAddress(const QDate& today) {
    return QString::fromLatin1(kUpdateAddress) + QString::fromLatin1(kUpdateProduct) + QLatin1Char(';') +
           QString::fromLatin1(TAboutBox::kReleaseDate) + QLatin1Char(';') +
           today.toString(QStringLiteral("MM/dd/yy"));
}

void TMainForm::CheckForUpdatesClick() {
    MainDesktop::Current().OpenUrl(QUrl(UpdateCheckAddress(QDate::currentDate())));
}

void TMainForm::ShowInformation(const QString& message) {
    MessageBoxes::Current().ShowMessage(this, message, MessageBoxes::Icon::Information);
}

} // namespace pavrin::app::gui
