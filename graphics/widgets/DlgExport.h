// The export dialog ("Export to Excel"): a check list of the result graphs
// that writes the checked ones to a spreadsheet workbook (.xlsx) and opens it
// in the desktop's spreadsheet program.
#pragma once

#include "ReplaceableService.h"

#include <QDialog>
#include <QString>

#include <array>

class QListWidget;
class QPushButton;

namespace pavrin::graphics {

class TResultGraphs;
class TGraphPlot;

// The desktop facilities of the export: where to save, and opening the
// workbook. Behind an interface so that tests answer them without a person.
class QtExportDesktop;

class ExportDesktop : public controls::ReplaceableService<ExportDesktop, QtExportDesktop> {
public:
    virtual ~ExportDesktop() = default;
    // A file name chosen in a save dialog that asks before overwriting;
    // empty when cancelled.
    virtual QString ChooseSaveFile(QWidget* parent, const QString& title, const QString& startName) = 0;
    // Opens the file in the desktop's program for it; false when that failed.
    virtual bool OpenDocument(const QString& fileName) = 0;
};

// The real facilities: QFileDialog and QDesktopServices.
class QtExportDesktop final : public ExportDesktop {
public:
    QString ChooseSaveFile(QWidget* parent, const QString& title, const QString& startName) override;
    bool OpenDocument(const QString& fileName) override;
};

// The workbook's default name: the project file's name with ".xlsx" for its extension.
QString DefaultWorkbookName(const QString& projectFileName);

class TDlgExport : public QDialog {
    Q_OBJECT
public:
    // `enabled` tells, in list order (load distribution, axial load vs
    // settlement, t-z curves, Q-w curve), whether the main window's command of
    // that graph is enabled; only those entries can be checked.
    TDlgExport(TResultGraphs& graphs, QString projectFileName,
               std::array<bool, 4> enabled = {true, true, true, true}, QWidget* parent = nullptr);

    // Fills the list: every enabled entry checked.
    void FormActivate();
    TGraphPlot* GetPlotPt(int entry) const; // entry 1..4
    int GetNPlots() const;                  // checked entries
    void CheckGenerateBtn();

    void Button1Click(); // "Select All"
    void Button2Click(); // "Unselect All"
    void Button3Click(); // "Generate Excel File"
    void Button4Click(); // "Close Window"

    // The last workbook written by this dialog; empty before the first.
    const QString& LastWorkbook() const { return lastWorkbook_; }

    QListWidget* CheckListBoxPlots = nullptr;
    QPushButton* btnSelectAll = nullptr;
    QPushButton* btnUnselectAll = nullptr;
    QPushButton* btnGenerate = nullptr;
    QPushButton* btnClose = nullptr;

private:
    void setAllChecked(bool checked);

    TResultGraphs& graphs_;
    QString projectFileName_;
    std::array<bool, 4> enabled_;
    QString lastWorkbook_;
};

} // namespace pavrin::graphics
