// The desktop program's main window end to end: menu enabling and check marks, the recent list and
// its settings, the command line, a complete analysis run through the real engine library and the
// run's failure paths, and the data dialogs.
#include "MainForm.h"
#include "AnalysisRun.h"
#include "DataEdit.h"
#include "DecimalSeparator.h"
#include "DesktopNumbers.h"
#include "DlgTitle.h"
#include "FakeMessageBoxes.h"
#include "FrmMaterial.h"
#include "GuiTestSupport.h"
#include "MainDesktop.h"
#include "PlotDraw.h"
#include "PlotForm.h"
#include "ProgramData.h"
#include "TableChartForm.h"
#include "TableEditors.h"
#include "TableForm.h"
#include "TableGrid.h"

#include <QAction>
#include <QCategoryAxis>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QSettings>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>

#include <clocale>
#include <deque>
#include <functional>

using namespace pavrin::app;
using namespace pavrin::app::gui;
using pavrin::controls::MessageBoxes;
using pavrin::controls::TDataEdit;
using pavrin::controls::testing::FakeMessageBoxes;
using pavrin::controls::testing::ScopedMessageBoxes;
using namespace pavrin::app::gui::testing;

namespace {

QAction* Action(const TMainForm& form, const char* name) {
    auto* action = form.findChild<QAction*>(QString::fromLatin1(name));
    if (action == nullptr)
        qFatal("no action %s", name);
    return action;
}

// The files in a folder, sorted.
QStringList FilesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

} // namespace

class MainFormTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        QSettings settings(QString::fromLatin1(kSettingsOrganization),
                           QString::fromLatin1(kSettingsApplication));
        settings.clear();
    }

    // Enabling and check marks follow the project through New, the options and the curve mode.
    void menusFollowTheProject() {
        FakeMessageBoxes boxes;
        ScopedMessageBoxes scoped(boxes);
        TMainForm form;
        form.FormShow({});
        QCOMPARE(form.windowTitle(), QStringLiteral("PAVRIN 2014.3.1 - NewPAVRIN.pv3d"));
        form.UpdateMenus();
        // A new project: generated curves, tip movements on, everything else off; no results.
        const std::pair<const char*, bool> newProject[] = {{"SoilLayerCoordinates1", true},
                                                           {"SoilParameters1", false},
                                                           {"PileProperties1", false},
                                                           {"TipMovement1", true},
                                                           {"Topload1", false},
                                                           {"Settlements1", false},
                                                           {"PVFactorTable", false},
                                                           {"QwFactorTable", false},
                                                           {"mLoad", false},
                                                           {"ExportExcel", false},
                                                           {"SpeedLoad", false},
                                                           {"SpeedSoil", true},
                                                           {"CompInput", false},
                                                           {"CompOutput", false},
                                                           {"SpeedOutput", true}};
        for (const auto& [name, enabled] : newProject)
            QVERIFY2(Action(form, name)->isEnabled() == enabled, name);
        QVERIFY(Action(form, "EnglishUnits")->isChecked());
        QVERIFY(Action(form, "miCircular")->isChecked());
        QVERIFY(Action(form, "SpecifyTipMovements1")->isChecked());
        QVERIFY(!Action(form, "N14")->isVisible());

        Action(form, "miNonCircular")->trigger();
        Action(form, "AssignLoadsatPileHead1")->trigger();
        Action(form, "SpecifyTipMovements1")->trigger();
        Action(form, "SIUnits")->trigger();
        form.UpdateMenus();
        const std::pair<const char*, bool> changed[] = {
            {"SoilLayerCoordinates1", false}, {"SoilParameters1", true}, {"PileProperties1", true},
            {"TipMovement1", false},          {"Topload1", true},        {"SpeedSoil", false}};
        for (const auto& [name, enabled] : changed)
            QVERIFY2(Action(form, name)->isEnabled() == enabled, name);
        QVERIFY(Action(form, "miNonCircular")->isChecked() && !Action(form, "miCircular")->isChecked());
        QVERIFY(Action(form, "AssignLoadsatPileHead1")->isChecked());
        QVERIFY(Action(form, "SIUnits")->isChecked() && !Action(form, "EnglishUnits")->isChecked());
        QCOMPARE(ProgramData->Units, 2);
        // Option switches are unsaved changes: New asks, and Cancel keeps the project.
        boxes.answers = {MessageBoxes::Answer::Cancel};
        Action(form, "FileNew")->trigger();
        QCOMPARE(boxes.LastText(), QString::fromLatin1(kSaveChangesQuestion));
        QVERIFY(!ProgramData->CurvesGenerated);
        boxes.answers = {MessageBoxes::Answer::No};
        Action(form, "FileNew")->trigger();
        form.UpdateMenus();
        QVERIFY(ProgramData->CurvesGenerated && Action(form, "miCircular")->isChecked());
        QVERIFY(Action(form, "EnglishUnits")->isChecked());
        QVERIFY(Action(form, "SpeedSoil")->isEnabled());
    }

    // Eleven opens: the newest first, the oldest dropped, the settings written at each change; the
    // command line opens "pile" as "pile.pv3d" and leaves the list alone.
    void recentFilesAndCommandLine() {
        FakeMessageBoxes boxes;
        ScopedMessageBoxes scoped(boxes);
        QTemporaryDir folder;
        QStringList paths;
        {
            TMainForm form;
            form.FormShow({});
            for (int i = 1; i <= 11; ++i) {
                paths << CopyExample(folder, QStringLiteral("driven-pile-clay-sand.pv3d"),
                                     QStringLiteral("p%1.pv3d").arg(i));
                form.Commands().OpenFileName(paths.back().toStdString(), true);
            }
            QVERIFY(boxes.shown.isEmpty());
            QCOMPARE(form.windowTitle(), QStringLiteral("PAVRIN 2014.3.1 - P11.pv3d"));
            QSettings settings(QString::fromLatin1(kSettingsOrganization),
                               QString::fromLatin1(kSettingsApplication));
            settings.beginGroup(QString::fromLatin1(kSettingsGroup));
            QCOMPARE(settings.value(QStringLiteral("File1")).toString(), paths[10]);
            QCOMPARE(settings.value(QStringLiteral("File10")).toString(), paths[1]);
            form.UpdateMenus();
            QVERIFY(Action(form, "N14")->isVisible());
            // The current directory is the projects' folder, so the entries show bare names.
            QCOMPARE(Action(form, "Recent1")->text(), QStringLiteral("&1 p11.pv3d"));
            QVERIFY(Action(form, "Recent10")->isVisible());
            form.SetTextEditorPath(QStringLiteral("/opt/editor"));
            QVERIFY(form.close());
        }
        TMainForm again;
        const QString pile =
            CopyExample(folder, QStringLiteral("driven-pile-clay-sand.pv3d"), QStringLiteral("pile.pv3d"));
        again.FormShow({folder.filePath(QStringLiteral("pile"))});
        QCOMPARE(again.windowTitle(), QStringLiteral("PAVRIN 2014.3.1 - Pile.pv3d"));
        QCOMPARE(QString::fromStdString(ProgramData->FileName), pile);
        QCOMPARE(QString::fromStdString(again.RecentFiles().Entry(1)), paths[10]);
        QCOMPARE(again.TextEditorPath(), QStringLiteral("/opt/editor"));
        // A recent entry that is now missing opens as far as it can, with a message and no crash.
        again.RecentFiles().SetEntry(1, folder.filePath(QStringLiteral("gone.pv3d")).toStdString());
        again.RecentFileClick(1);
        QCOMPARE(boxes.shown.size(), 1);
    }

    // A complete run through the real engine library, then the editor commands on its files.
    void runThroughTheEngine() {
        FakeMessageBoxes boxes;
        ScopedMessageBoxes scoped(boxes);
        FakeDesktop desktop;
        ScopedDesktop scopedDesktop(desktop);
        QTemporaryDir folder;
        const QString project = CopyExample(folder, QStringLiteral("driven-pile-clay-sand.pv3d"));
        TMainForm form;
        form.SetProgramFolder(QStringLiteral(PAVRIN_BIN));
        // Named on the command line relative to the current folder, as from a terminal.
        const QString before = QDir::currentPath();
        QDir::setCurrent(folder.path());
        // A measured load test beside it, in SI: the run saves it in the project's units, and the
        // graph shows it in kips and inches (to the 8 digits of the file).
        QFile measured(folder.filePath(QStringLiteral("driven-pile-clay-sand.pv3m")));
        QVERIFY(measured.open(QIODevice::WriteOnly));
        measured.write("Load (kN)  Settlement (m)\n0 0\n200 0.001\n400 0.0025\n");
        measured.close();
        form.FormShow({QStringLiteral("driven-pile-clay-sand")});
        QDir::setCurrent(before);
        QCOMPARE(QString::fromStdString(ProgramData->FileName), project);
        form.MaterialClick(); // an open dialog is closed by the run
        form.CompRunClick();
        QCOMPARE(boxes.Texts(), QStringList{QString::fromLatin1(run_text::kCompleted)});
        QCOMPARE(form.LastRunStatus(), 0);
        QVERIFY(!form.EngineLoaded());
        QVERIFY(!QFile::exists(QDir(form.LastRunFolder()).filePath(QStringLiteral("names.dat"))));
        QVERIFY(form.ResultsLoaded());
        QCOMPARE(form.Graphs().pltAxial.LineCount(), 2);
        const pavrin::graphics::TLine& measuredLine = form.Graphs().pltAxial.GetLine(1);
        QCOMPARE(measuredLine.DisplayName(), std::string("Measured"));
        QCOMPARE(measuredLine.PointCount(), 3);
        QVERIFY(std::abs(static_cast<double>(measuredLine.Points[2].X) / (400 * 0.2248089237) - 1) < 1e-7);
        QVERIFY(std::abs(static_cast<double>(measuredLine.Points[2].Y) / (0.0025 * 39.37007874) - 1) < 1e-7);
        QVERIFY(FileBytes(folder.filePath(QStringLiteral("driven-pile-clay-sand.pv3m"))).startsWith("Load (lbs)"));
        QVERIFY(QFile::exists(folder.filePath(QStringLiteral("driven-pile-clay-sand.pv3o"))));
        QVERIFY(Action(form, "SpeedLoad")->isEnabled());
        QCOMPARE(form.MdiArea()->subWindowList().size(), 0);
        form.UpdateMenus();
        QVERIFY(Action(form, "mLoad")->isEnabled() && Action(form, "CompOutput")->isEnabled());

        // The graphs: one window per graph, its "&Plot" menu in the menu bar while it is active.
        auto menuTitles = [&form] {
            QStringList titles;
            for (QAction* action : form.menuBar()->actions())
                titles << action->text();
            return titles;
        };
        form.ShowGraph(form.Graphs().pltLoad);
        form.ShowGraph(form.Graphs().pltLoad);
        QCOMPARE(form.MdiArea()->subWindowList().size(), 1);
        QVERIFY(qobject_cast<pavrin::graphics::TPlotForm*>(form.MdiArea()->activeSubWindow()->widget()));
        QCOMPARE(menuTitles().indexOf(QStringLiteral("&Plot")),
                 menuTitles().indexOf(QStringLiteral("&Window")) - 1);
        form.ViewSoilLayerCoordinatesClick();
        QVERIFY(form.SideView() != nullptr);
        QCOMPARE(form.SoilProfile().Layers.size(), std::size_t{3});
        QCOMPARE(form.SideView()->Profile().PileLength(), ProgramData->PileLength);
        QVERIFY(!menuTitles().contains(QStringLiteral("&Plot")));
        form.ShowGraph(form.Graphs().pltAxial);
        QCOMPARE(menuTitles().count(QStringLiteral("&Plot")), 1);
        form.MdiArea()->closeAllSubWindows();
        QTRY_VERIFY(!menuTitles().contains(QStringLiteral("&Plot")));
        QVERIFY(form.SideView() == nullptr);

        // A second run loads the library again.
        boxes.Clear();
        form.CompRunClick();
        QCOMPARE(boxes.Texts(), QStringList{QString::fromLatin1(run_text::kCompleted)});

        // The report in the editor: the file is one argument, whatever blanks the editor path has.
        form.SetTextEditorPath(QStringLiteral("/usr/bin/my editor"));
        form.CompOutputClick();
        QCOMPARE(desktop.started.size(), 1);
        QVERIFY(desktop.started[0].endsWith(folder.filePath(QStringLiteral("driven-pile-clay-sand.pv3o"))));
        desktop.startSucceeds = false;
        boxes.Clear();
        form.CompInputClick();
        QCOMPARE(boxes.LastText(), QString::fromLatin1(run_text::kEditorFailed));
    }

    // The run's failure paths: no library, a cancelled Save As, the pre-run check, an engine stop.
    void runFailures() {
        FakeMessageBoxes boxes;
        ScopedMessageBoxes scoped(boxes);
        FakeDesktop desktop;
        ScopedDesktop scopedDesktop(desktop);
        QTemporaryDir folder, emptyProgramFolder;
        TMainForm form;
        form.FormShow({});

        // Never saved, Save As cancelled: the run ends silently.
        form.SetProgramFolder(QStringLiteral(PAVRIN_BIN));
        form.CompRunClick();
        QCOMPARE(desktop.saveDialogs, 1);
        QVERIFY(boxes.shown.isEmpty());
        QCOMPARE(form.LastRunStatus(), -1);

        // Saved, but the new project fails the check (pile length 0 ...): not run unless asked.
        const QString project = folder.filePath(QStringLiteral("new.pv3d"));
        desktop.saveNames = {project};
        form.CompRunClick();
        QVERIFY(QFile::exists(project));
        QVERIFY(!desktop.findingsShown.isEmpty());
        QVERIFY(desktop.findingsShown.join(QLatin1Char('\n')).contains(QStringLiteral("Pile length")));
        QCOMPARE(form.LastRunStatus(), -1);
        QVERIFY(boxes.shown.isEmpty());

        // No report to edit yet, never saved or saved but not run: said so, no editor started on a
        // file of that name anywhere.
        form.SetTextEditorPath(QStringLiteral("/usr/bin/editor"));
        Action(form, "SpeedOutput")->trigger();
        const QString report = QDir::toNativeSeparators(folder.filePath(QStringLiteral("new.pv3o")));
        QCOMPARE(boxes.Texts(), QStringList{QString::fromLatin1(run_text::kNoReport).arg(report)});
        QVERIFY(desktop.started.isEmpty());
        boxes.Clear();
        Action(form, "FileNew")->trigger();
        Action(form, "SpeedOutput")->trigger();
        QCOMPARE(boxes.Texts(), QStringList{QString::fromLatin1(run_text::kNoReportUnsaved)});
        QVERIFY(desktop.started.isEmpty());
        boxes.Clear();

        // Run anyway a project beyond the engine's capacity: the engine's stop is told.
        form.Commands().OpenFileName(
            CopyExample(folder, QStringLiteral("driven-pile-clay-sand.pv3d")).toStdString(), true);
        form.CompRunClick();
        QVERIFY(form.ResultsLoaded());
        ProgramData->Increments = 1000;
        desktop.runAnyway = true;
        boxes.Clear();
        form.CompRunClick();
        QCOMPARE(form.LastRunStatus(), 3);
        // Only the completion message with the engine's stop: the empty plot file is no second
        // message, and no graph is offered.
        QCOMPARE(boxes.shown.size(), 1);
        QVERIFY(boxes.shown[0].text.startsWith(QString::fromLatin1(run_text::kCompleted)));
        QVERIFY(boxes.shown[0].text.contains(QStringLiteral("(status 3)")));
        QVERIFY(!form.ResultsLoaded());
        form.UpdateMenus();
        QVERIFY(!Action(form, "mLoad")->isEnabled() && !Action(form, "SpeedLoad")->isEnabled());

        // No engine library in the program's folder.
        ProgramData->Increments = 50;
        boxes.Clear();
        form.SetProgramFolder(emptyProgramFolder.path());
        form.CompRunClick();
        QCOMPARE(boxes.Texts(), QStringList{QString::fromLatin1(run_text::kInitFailed)});
        QVERIFY(!form.EngineLoaded());
        QVERIFY(!QFile::exists(emptyProgramFolder.filePath(QStringLiteral("names.dat"))));
    }

    // Help, update check, the run folder of an installed program, and files dropped on the window.
    void helpDropAndRunFolder() {
        FakeMessageBoxes boxes;
        ScopedMessageBoxes scoped(boxes);
        FakeDesktop desktop;
        ScopedDesktop scopedDesktop(desktop);
        QTemporaryDir programFolder, fallback, projects;
        TMainForm form;
        form.FormShow({});
        form.SetProgramFolder(programFolder.path());
        form.OpenManual(QString::fromLatin1(kUsersManual));
        QCOMPARE(boxes.shown.size(), 1);
        QVERIFY(boxes.LastText().contains(QString::fromLatin1(kUsersManual)));
        QFile(programFolder.filePath(QString::fromLatin1(kTechnicalManual))).open(QIODevice::WriteOnly);
        form.OpenManual(QString::fromLatin1(kTechnicalManual));
        QCOMPARE(desktop.opened.size(), 1);
        QCOMPARE(desktop.opened[0].toLocalFile(),
                 programFolder.filePath(QString::fromLatin1(kTechnicalManual)));
        QCOMPARE(TMainForm::UpdateCheckAddress(QDate(2026, 12, 8)),
                 QString::fromLatin1(kUpdateAddress) + QStringLiteral("PAVRIN;2014.3.1;08/01/14;12/08/26"));
        QCOMPARE(TAboutBox::ReleaseDate(), QDate(2014, 8, 1));

        // No writable program folder: the run-file list goes to the per-user run folder.
        const QString runFolder = fallback.filePath(QStringLiteral("run"));
        QCOMPARE(ChooseRunFolder(programFolder.filePath(QStringLiteral("missing")), runFolder), runFolder);
        QCOMPARE(ChooseRunFolder(programFolder.path(), runFolder), programFolder.path());
        // An installed copy's folder is never written into, even when it could be (a run as root).
        const QString installed = programFolder.filePath(QStringLiteral("usr/lib/pavrin"));
        QVERIFY(QDir().mkpath(installed));
        QCOMPARE(ChooseRunFolder(installed, runFolder), runFolder);
        QVERIFY(QDir(installed).isEmpty());

        // A dropped folder is no project: a message, a usable project, no crash; a dropped project opens.
        boxes.Clear();
        auto drop = [&form](const QString& path) { QVERIFY(form.FilesDropped({QUrl::fromLocalFile(path)})); };
        drop(projects.path());
        QTRY_COMPARE(boxes.shown.size(), 1);
        QVERIFY(ProgramData != nullptr);
        const QString project = CopyExample(projects, QStringLiteral("user-curves-downdrag.pv3d"));
        drop(project);
        QTRY_COMPARE(QString::fromStdString(ProgramData->FileName), project);
        QVERIFY(!ProgramData->CurvesGenerated);
        form.UpdateMenus();
        QVERIFY(Action(form, "SoilParameters1")->isEnabled());
        QCOMPARE(QString::fromStdString(form.RecentFiles().Entry(1)), project);
    }

    // A shortcut reaches its command the way the menu does: the entry being typed in the active
    // child window (a dialog's field, a table editor's cell) is written to the project first. Ctrl+S
    // saves it; Ctrl+N and Ctrl+O ask whether to save it.
    void everyShortcutCommitsTheActiveChild() {
        FakeMessageBoxes boxes;
        ScopedMessageBoxes scoped(boxes);
        FakeDesktop desktop;
        ScopedDesktop scopedDesktop(desktop);
        QTemporaryDir folder;
        struct Entry {
            const char* kind;
            std::function<void(TMainForm&)> type; // opens the window and types without leaving it
            QByteArray saved;                     // what the saved file then holds
            const char* savedTo = ".pv3d";        // the file of the project that holds it
        };
        const Entry entries[] = {
            {"title dialog",
             [](TMainForm& form) {
                 form.DataTitleClick();
                 form.TitleDialog()->TitleMemo()->setFocus();
                 form.TitleDialog()->TitleMemo()->selectAll();
                 QTest::keyClicks(form.TitleDialog()->TitleMemo(), QStringLiteral("Pier 7"));
             },
             "Pier 7\r\n"},
            {"pile properties",
             [](TMainForm& form) {
                 form.MaterialClick();
                 form.MaterialDialog()->DataPL()->setFocus();
                 form.MaterialDialog()->DataPL()->selectAll();
                 QTest::keyClicks(form.MaterialDialog()->DataPL(), QStringLiteral("1234.5"));
             },
             " 1234.5 "},
            {"table editor",
             [](TMainForm& form) {
                 Action(form, "TipMovement1")->trigger();
                 pavrin::controls::TTableForm* editor =
                     pavrin::controls::EditorForm(form.Tables().TblTipMove());
                 QVERIFY(editor != nullptr);
                 editor->Grid()->setFocus();
                 editor->Grid()->OpenEditor();
                 QLineEdit* cell = editor->Grid()->CellEditor();
                 QVERIFY(cell != nullptr);
                 cell->selectAll();
                 QTest::keyClicks(cell, QStringLiteral("0.987654"));
             },
             "\r\n0.987654\r\n"},
            {"measured load test",
             [](TMainForm& form) {
                 Action(form, "MeasuredLoadTest")->trigger();
                 pavrin::controls::TTableForm* editor =
                     pavrin::controls::EditorForm(form.Tables().TblMeasured2());
                 QVERIFY(editor != nullptr);
                 editor->Grid()->setFocus();
                 editor->Grid()->OpenEditor();
                 QLineEdit* cell = editor->Grid()->CellEditor();
                 QVERIFY(cell != nullptr);
                 cell->selectAll();
                 QTest::keyClicks(cell, QStringLiteral("125000"));
             },
             "Load (lbs)  Settlement (in)\r\n125000 0\r\n",
             ".pv3m"},
        };
        const std::pair<Qt::Key, bool> shortcuts[] = {
            {Qt::Key_S, true}, {Qt::Key_N, false}, {Qt::Key_O, false}};
        for (const Entry& entry : entries)
            for (const auto& [key, saves] : shortcuts) {
                const QString what = QStringLiteral("%1, Ctrl+%2")
                                         .arg(QLatin1String(entry.kind))
                                         .arg(QChar(static_cast<char16_t>(key)));
                const QString project = CopyExample(folder, QStringLiteral("driven-pile-clay-sand.pv3d"));
                const QString savedTo = project.chopped(5) + QLatin1String(entry.savedTo);
                QFile::remove(project.chopped(5) + QStringLiteral(".pv3m"));
                TMainForm form;
                form.FormShow({project});
                form.show();
                QVERIFY(QTest::qWaitForWindowActive(&form));
                entry.type(form);
                QVERIFY2(!form.Tables().IsModified(), qPrintable(what)); // typed, not yet written back
                boxes.Clear();
                boxes.answers = {MessageBoxes::Answer::Cancel};
                QTest::keyClick(&form, key, Qt::ControlModifier);
                if (saves) {
                    QVERIFY2(boxes.shown.isEmpty(), qPrintable(what));
                    QVERIFY2(FileBytes(savedTo).contains(entry.saved), qPrintable(what));
                    QVERIFY2(!form.Tables().IsModified(), qPrintable(what));
                } else {
                    QCOMPARE(boxes.Texts(), QStringList{QString::fromLatin1(kSaveChangesQuestion)});
                    QVERIFY2(!FileBytes(savedTo).contains(entry.saved), qPrintable(what));
                    QCOMPARE(QString::fromStdString(ProgramData->FileName), project);
                }
                form.Tables().SetModified(false);
                for (TGridTable* table : form.Tables().AllTables())
                    table->SetChanged(false);
            }
    }

    // A project whose run would write over itself, or whose name the run-file list cannot carry, is
    // not run and nothing is written; the message says why and offers another name.
    void projectNamesThatCannotBeRun() {
        FakeMessageBoxes boxes;
        ScopedMessageBoxes scoped(boxes);
        FakeDesktop desktop;
        ScopedDesktop scopedDesktop(desktop);
        QTemporaryDir folder, programFolder;
        for (const char* file : {"libPAVRIN2014_DLL.so"})
            QVERIFY(QFile::copy(QStringLiteral(PAVRIN_BIN "/") + QLatin1String(file),
                                programFolder.filePath(QLatin1String(file))));
        CopyExample(folder, QStringLiteral("driven-pile-clay-sand.pv3d"), QStringLiteral("p.pv3d"));
        QFile user(folder.filePath(QStringLiteral("p")));
        QVERIFY(user.open(QIODevice::WriteOnly) && user.write("the user's own file\n") > 0);
        user.close();
        for (const char* name : {"p.pv3p", "p.pv3o", "p\nq.pv3d", "p.pv3d "}) {
            const QString project =
                CopyExample(folder, QStringLiteral("user-curves-downdrag.pv3d"), QLatin1String(name));
            const QStringList filesBefore = FilesIn(folder.path());
            QMap<QString, QByteArray> bytes;
            for (const QString& file : filesBefore)
                bytes[file] = FileBytes(folder.filePath(file));
            TMainForm form;
            form.SetProgramFolder(programFolder.path());
            form.FormShow({project});
            QCOMPARE(QString::fromStdString(ProgramData->FileName), project);
            for (const MessageBoxes::Answer answer : {MessageBoxes::Answer::No, MessageBoxes::Answer::Yes}) {
                boxes.Clear();
                boxes.answers = {answer};
                desktop.saveDialogs = 0;
                form.CompRunClick();
                QVERIFY2(boxes.shown.size() == 1 && boxes.shown[0].question, name);
                QVERIFY2(boxes.LastText().endsWith(QString::fromLatin1(kSaveUnderAnotherName)), name);
                QVERIFY2(boxes.LastText().contains(QStringLiteral("cannot be run")) ||
                             boxes.LastText().contains(QStringLiteral("would write over the project")),
                         qPrintable(boxes.LastText()));
                QCOMPARE(desktop.saveDialogs, answer == MessageBoxes::Answer::Yes ? 1 : 0);
                QCOMPARE(form.LastRunStatus(), -1);
                QCOMPARE(FilesIn(folder.path()), filesBefore);
                for (const QString& file : filesBefore)
                    QVERIFY2(FileBytes(folder.filePath(file)) == bytes[file], qPrintable(file));
                QCOMPARE(FilesIn(programFolder.path()), QStringList{QStringLiteral("libPAVRIN2014_DLL.so")});
            }
            QFile::remove(project);
        }
    }

    // A title the program cannot show exactly (an older project's Windows code page) is shown
    // decoded and left as it is unless the user changes it; a loaded title is never cut to the
    // length that typing is held to.
    void titlesAreWrittenBackOnlyWhenChanged() {
        FakeMessageBoxes boxes;
        ScopedMessageBoxes scoped(boxes);
        TMainForm form;
        form.FormShow({});
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        const std::string longTitle(103, 'L');
        const std::pair<std::string, QString> titles[] = {
            {"Pile \xD8 600 mm \x96 \x80", QStringLiteral("Pile \u00D8 600 mm \u2013 \u20AC")},
            {"Pile \xC3\x98 600 mm", QStringLiteral("Pile \u00D8 600 mm")},
            {longTitle, QString::fromStdString(longTitle)},
        };
        for (const auto& [bytes, shown] : titles) {
            ProgramData->Title = bytes;
            form.Tables().SetModified(false);
            form.DataTitleClick();
            QLineEdit* memo = form.TitleDialog()->TitleMemo();
            form.TitleDialog()->FormActivate();
            QCOMPARE(memo->text(), shown);
            QVERIFY(form.CommitActiveChild());
            QCOMPARE(ProgramData->Title, bytes);
            QVERIFY(!form.Tables().IsModified());
        }
        // Typing: at most 80 characters, and a longer loaded title only gets shorter.
        QLineEdit* memo = form.TitleDialog()->TitleMemo();
        memo->setFocus();
        memo->end(false);
        QTest::keyClick(memo, Qt::Key_X);
        QCOMPARE(memo->text().size(), 103);
        QTest::keyClick(memo, Qt::Key_Backspace);
        QTest::keyClick(memo, Qt::Key_X);
        QCOMPARE(memo->text().size(), 102);
        memo->selectAll();
        QTest::keyClicks(memo, QString(90, QChar(0xD8)));
        QCOMPARE(memo->text(), QString(80, QChar(0xD8)));
        QVERIFY(form.CommitActiveChild());
        QCOMPARE(ProgramData->Title, QString(80, QChar(0xD8)).toStdString());
        QVERIFY(form.Tables().IsModified());
    }

    // The child windows by keyboard: Ctrl+Tab and Ctrl+Shift+Tab move between them, Ctrl+F4 closes
    // the active one and Esc a data dialog, each writing the entries back first; a refused entry
    // keeps its window open and active.
    void childWindowsByKeyboard() {
        FakeMessageBoxes boxes;
        ScopedMessageBoxes scoped(boxes);
        TMainForm form;
        form.FormShow({});
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QMdiArea* area = form.MdiArea();
        auto active = [area] { return area->activeSubWindow(); };
        auto key = [&](Qt::Key k, Qt::KeyboardModifiers modifiers) {
            QWidget* target = QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : &form;
            QTest::keyClick(target, k, modifiers);
        };

        // Ctrl+F4 with no child window does nothing.
        key(Qt::Key_F4, Qt::ControlModifier);
        QVERIFY(boxes.shown.isEmpty());

        form.DataTitleClick();
        QMdiSubWindow* title = form.TitleDialog()->SubWindow();
        Action(form, "TipMovement1")->trigger();
        QMdiSubWindow* tips = active();
        QVERIFY(tips != title && qobject_cast<pavrin::controls::TTableForm*>(tips->widget()) != nullptr);
        form.MaterialClick();
        QMdiSubWindow* material = form.MaterialDialog()->SubWindow();
        QCOMPARE(area->subWindowList().size(), 3);

        // Round the three and back; a dialog left this way is written back.
        form.MaterialDialog()->DataPL()->setFocus();
        form.MaterialDialog()->DataPL()->selectAll();
        QTest::keyClicks(form.MaterialDialog()->DataPL(), QStringLiteral("1234"));
        QSet<QMdiSubWindow*> visited{active()};
        for (int i = 0; i < 2; ++i) {
            key(Qt::Key_Tab, Qt::ControlModifier);
            visited << active();
        }
        QCOMPARE(visited.size(), 3);
        QCOMPARE(ProgramData->PileLength, 1234.0L);
        key(Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(active(), material);
        key(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(active() != material);
        key(Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(active(), material);

        // A refused entry: neither moving on nor closing leaves it.
        TDataEdit* increments = form.MaterialDialog()->DataNI();
        increments->setFocus();
        for (const auto& [k, modifiers] :
             {std::pair{Qt::Key_Tab, Qt::ControlModifier}, std::pair{Qt::Key_F4, Qt::ControlModifier},
              std::pair{Qt::Key_Escape, Qt::NoModifier}}) {
            increments->setText(QStringLiteral("5")); // the refusal puts the minimum in
            boxes.Clear();
            key(k, modifiers);
            QVERIFY2(!boxes.shown.isEmpty(), qPrintable(QKeySequence(k | modifiers).toString()));
            QTRY_COMPARE(active(), material);
            QVERIFY(form.MaterialDialog() != nullptr);
            QCOMPARE(ProgramData->Increments, 50);
        }
        // Corrected, Ctrl+F4 closes it with the entry written back.
        increments->setText(QStringLiteral("60"));
        boxes.Clear();
        key(Qt::Key_F4, Qt::ControlModifier);
        QVERIFY(boxes.shown.isEmpty());
        QTRY_VERIFY(form.MaterialDialog() == nullptr);
        QCOMPARE(ProgramData->Increments, 60);

        // Esc closes a data dialog as its close box does: what it shows is kept.
        area->setActiveSubWindow(title);
        form.TitleDialog()->TitleMemo()->setFocus();
        form.TitleDialog()->TitleMemo()->setText(QStringLiteral("Pier 9"));
        key(Qt::Key_Escape, Qt::NoModifier);
        QTRY_VERIFY(form.TitleDialog() == nullptr);
        QCOMPARE(ProgramData->Title, std::string("Pier 9"));

        // A table editor: Esc reverts the cell being typed (the editor stays), Ctrl+F4 closes it
        // with the cell written.
        QCOMPARE(active(), tips);
        auto* editor = qobject_cast<pavrin::controls::TTableForm*>(tips->widget());
        editor->Grid()->setFocus();
        editor->Grid()->OpenEditor();
        QLineEdit* cell = editor->Grid()->CellEditor();
        QVERIFY(cell != nullptr);
        const QString before = cell->text();
        cell->selectAll();
        QTest::keyClicks(cell, QStringLiteral("0.75"));
        key(Qt::Key_Escape, Qt::NoModifier);
        QCOMPARE(cell->text(), before);
        QCOMPARE(area->subWindowList().size(), 1);
        cell->selectAll();
        QTest::keyClicks(cell, QStringLiteral("0.25"));
        key(Qt::Key_F4, Qt::ControlModifier);
        QTRY_COMPARE(area->subWindowList().size(), 0);
        QCOMPARE(form.Tables().TblTipMove().Float(0, 0), 0.25L);
        QVERIFY(boxes.shown.isEmpty());
    }

    // The start-up takes the separator from the desktop's locale: "," or ".", never anything else.
    void theDesktopsDecimalSeparator() {
        const std::pair<QLocale, char> locales[] = {
            {QLocale(QLocale::German, QLocale::Germany), ','},
            {QLocale(QLocale::French, QLocale::France), ','},
            {QLocale(QLocale::English, QLocale::UnitedStates), '.'},
            {QLocale(QLocale::English, QLocale::UnitedKingdom), '.'},
            {QLocale::c(), '.'},
            {QLocale(QLocale::Arabic, QLocale::Egypt), '.'}, // its own separator, which no entry carries
        };
        for (const auto& [locale, separator] : locales)
            QVERIFY2(DesktopDecimalSeparator(locale) == separator, qPrintable(locale.name()));
    }

    // On a desktop that writes "1,5" the user types and reads "," everywhere, and every file keeps
    // ".": an entry, a table cell, pasted rows, the run, the graph's labels, the saved project.
    void aCommaDesktopEndToEnd() {
        FakeMessageBoxes boxes;
        ScopedMessageBoxes scoped(boxes);
        FakeDesktop desktop;
        ScopedDesktop scopedDesktop(desktop);
        // As the program starts on such a desktop: the application object has taken the desktop's
        // conventions for the C library too (where the locale is installed), then the start-up.
        const std::string cLocale = std::setlocale(LC_ALL, nullptr);
        const bool germanInstalled = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
        ApplyDesktopNumberConventions(QLocale(QLocale::German, QLocale::Germany));
        struct Restore {
            std::string locale;
            ~Restore() {
                pavrin::controls::SetDecimalSeparator('.');
                std::setlocale(LC_ALL, locale.c_str());
            }
        } restore{cLocale};
        QCOMPARE(pavrin::controls::DecimalSeparator(), ',');
        QCOMPARE(QString::fromLatin1(std::setlocale(LC_NUMERIC, nullptr)), QStringLiteral("C"));
        if (!germanInstalled)
            qInfo("de_DE.UTF-8 is not installed: the C library's part is not exercised");

        QTemporaryDir folder;
        const QString project = CopyExample(folder, QStringLiteral("driven-pile-clay-sand.pv3d"));
        TMainForm form;
        form.SetProgramFolder(QStringLiteral(PAVRIN_BIN));
        form.FormShow({project});
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));

        // The run: the engine reads and writes ".", the graphs come back, their labels show ",".
        form.CompRunClick();
        QCOMPARE(boxes.Texts(), QStringList{QString::fromLatin1(run_text::kCompleted)});
        QVERIFY(form.ResultsLoaded());
        const QByteArray report = FileBytes(folder.filePath(QStringLiteral("driven-pile-clay-sand.pv3o")));
        QVERIFY(report.contains("0.") &&
                !QString::fromLatin1(report).contains(QRegularExpression("\\d,\\d")));
        // The graph's picture, as the window, the printer and a saved picture draw it.
        const pavrin::graphics::TGraphPlot& graph = form.Graphs().pltAxial;
        const std::optional<pavrin::graphics::TPlotRange> range = pavrin::graphics::ComputeRanges(graph);
        QVERIFY(range.has_value());
        const QString picture = folder.filePath(QStringLiteral("axial.svg"));
        QCOMPARE(
            pavrin::graphics::SavePicture(
                graph, *range,
                pavrin::graphics::WindowLayout(graph, 800, 600, 96, 96, pavrin::graphics::kWindowFontHeight),
                pavrin::graphics::TPictureFormat::Svg, picture, 800, 600, 96),
            pavrin::graphics::TSaveResult::Saved);
        // The tick labels: the text between the tags that reads as a number.
        QStringList labels;
        const QRegularExpression text(QStringLiteral(">\\s*(-?[0-9][0-9.,E-]*)\\s*<"));
        for (auto match = text.globalMatch(QString::fromUtf8(FileBytes(picture))); match.hasNext();)
            labels << match.next().captured(1);
        QVERIFY2(!labels.filter(QStringLiteral(",")).isEmpty(), qPrintable(labels.join(QLatin1Char(' '))));
        QVERIFY2(labels.filter(QStringLiteral(".")).isEmpty(), qPrintable(labels.join(QLatin1Char(' '))));

        // A typed expression in the desktop's notation.
        form.MaterialClick();
        TDataEdit* length = form.MaterialDialog()->DataPL();
        length->setFocus();
        length->selectAll();
        QTest::keyClicks(length, QStringLiteral("1,5*12"));
        QVERIFY(form.CommitActiveChild());
        QCOMPARE(ProgramData->PileLength, 18.0L);
        TDataEdit* tolerance = form.MaterialDialog()->DataTol();
        tolerance->setFocus();
        tolerance->selectAll();
        QTest::keyClicks(tolerance, QStringLiteral("0,0025"));
        QVERIFY(form.CommitActiveChild());
        QCOMPARE(tolerance->text(), QStringLiteral("0,0025"));
        QVERIFY(boxes.Texts().size() == 1);

        // Rows pasted into the stiffness table, then a cell typed over.
        QGuiApplication::clipboard()->setText(QStringLiteral("Depth\tAE\r\n0\t1,25E9\r\n0,5\t2,5E9\r\n"));
        form.MaterialDialog()->AEButton()->click();
        auto* stiffness = qobject_cast<pavrin::controls::TTableChartForm*>(
            pavrin::controls::EditorForm(form.Tables().TblAE2()));
        QVERIFY(stiffness != nullptr);
        stiffness->PasteButton()->click();
        const TGridTable& ae = form.Tables().TblAE2();
        QCOMPARE(ae.RowCount(), 2);
        QCOMPARE(ae.Float(0, 1), 0.5L);
        QCOMPARE(ae.Float(1, 0), 1.25E9L);
        QCOMPARE(stiffness->Grid()->item(1, 0)->text(), QStringLiteral("0,5"));
        QVERIFY(stiffness->MoveTo(1, 0));
        QLineEdit* cell = stiffness->Grid()->CellEditor();
        QVERIFY(cell != nullptr);
        cell->selectAll();
        QTest::keyClicks(cell, QStringLiteral("0,75"));
        QVERIFY(form.CommitActiveChild());
        QCOMPARE(ae.Float(0, 1), 0.75L);
        // The chart's labels too, whatever the C library's convention was at start.
        const QStringList depths = stiffness->BottomAxis()->categoriesLabels();
        QVERIFY2(depths.contains(QStringLiteral("0,5")), qPrintable(depths.join(QLatin1Char(' '))));
        QVERIFY2(boxes.Texts().size() == 1, qPrintable(boxes.LastText()));

        // The saved project holds ".", and reads back the same.
        QTest::keyClick(&form, Qt::Key_S, Qt::ControlModifier);
        const QString saved = QString::fromLatin1(FileBytes(project));
        for (const char* number : {"\r\n0.0025 18 ", "\r\n1.25E9 0\r\n2.5E9 0.75\r\n"})
            QVERIFY2(saved.contains(QLatin1String(number)), number);
        QVERIFY2(!saved.contains(QRegularExpression("\\d,\\d")), qPrintable(saved));
        form.MdiArea()->closeAllSubWindows();
        form.Commands().OpenFileName(project.toStdString(), true);
        QCOMPARE(ProgramData->PileLength, 18.0L);
        QCOMPARE(ProgramData->Tolerance, 0.0025L);
        QCOMPARE(form.Tables().TblAE2().Float(0, 1), 0.75L);
        QCOMPARE(boxes.Texts().size(), 1);
    }

    // The data dialogs write back on leaving, mark changes, refuse bad entries and relabel.
    void dataDialogs() {
        FakeMessageBoxes boxes;
        ScopedMessageBoxes scoped(boxes);
        TMainForm form;
        form.FormShow({});
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));

        form.DataTitleClick();
        TdlgTitle* title = form.TitleDialog();
        QVERIFY(title != nullptr);
        QCOMPARE(title->TitleMemo()->text(), QStringLiteral("New Pile"));
        title->TitleMemo()->setText(QStringLiteral("New Pile"));
        QVERIFY(form.CommitActiveChild());
        QVERIFY(!form.Tables().IsModified());
        title->TitleMemo()->setText(QStringLiteral("Pier 7"));
        // Opening a menu of the main window writes the active dialog back.
        QVERIFY(QMetaObject::invokeMethod(form.menuBar()->actions()[1]->menu(), "aboutToShow"));
        QCOMPARE(ProgramData->Title, std::string("Pier 7"));
        QVERIFY(form.Tables().IsModified());
        title->DataEdit1()->setText(QStringLiteral("A. Engineer"));
        form.MaterialClick(); // leaving the title dialog writes it back
        QCOMPARE(ProgramData->DesignerName, std::string("A. Engineer"));

        TfrmMaterial* material = form.MaterialDialog();
        QVERIFY(material != nullptr);
        for (const char* bad : {"5", "50.4"}) {
            boxes.Clear();
            material->DataNI()->setFocus();
            material->DataNI()->setText(QString::fromLatin1(bad));
            QVERIFY2(!form.CommitActiveChild(), bad);
            QCOMPARE(boxes.shown.size(), 1);
            QCOMPARE(ProgramData->Increments, 50);
        }
        material->DataNI()->setText(QStringLiteral("2*60"));
        material->DataPL()->setText(QStringLiteral("1200"));
        QVERIFY(form.CommitActiveChild());
        QCOMPARE(ProgramData->Increments, 120);
        QCOMPARE(ProgramData->PileLength, 1200.0L);
        QCOMPARE(material->DataTol()->EditLabel()->text(), QStringLiteral("Tolerance (in)"));

        form.SetUnitsClick(2);
        QCOMPARE(material->DataTol()->EditLabel()->text(), QStringLiteral("Tolerance (m)"));
        QCOMPARE(material->DataPL()->Number(), 30.48L);
        // Closing the dialog writes back and frees it.
        material->DataPL()->setText(QStringLiteral("25"));
        material->SubWindow()->close();
        QVERIFY(form.MaterialDialog() == nullptr);
        QCOMPARE(ProgramData->PileLength, 25.0L);
        // Asked again at once, it comes back as a new window showing the stored values.
        form.MaterialClick();
        QVERIFY(form.MaterialDialog() != nullptr && form.MaterialDialog()->isVisible());
        QCOMPARE(form.MaterialDialog()->DataPL()->text(), QStringLiteral("25"));
    }
};

int main(int argc, char** argv) {
    // A private settings store, never the user's.
    QTemporaryDir settingsFolder;
    qputenv("XDG_CONFIG_HOME", settingsFolder.path().toLocal8Bit());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsFolder.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsFolder.path());
    QApplication application(argc, argv);
    MainFormTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "MainFormTest.moc"
