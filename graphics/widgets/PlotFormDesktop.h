// The desktop facilities of the graph window: its modal dialogs, the print and page setup dialogs and
// the save-file dialog. Behind an interface so that tests answer them without a person; the window
// calls PlotFormDesktop::Current().
#pragma once

#include "ReplaceableService.h"

#include <QString>
#include <QStringList>

class QDialog;
class QPrinter;
class QWidget;

namespace pavrin::graphics {

class QtPlotFormDesktop;

class PlotFormDesktop : public controls::ReplaceableService<PlotFormDesktop, QtPlotFormDesktop> {
public:
    virtual ~PlotFormDesktop() = default;

    // Runs one of the window's own dialogs (title, legend names, active curves, save attributes)
    // modally and returns its result (QDialog::Accepted or Rejected).
    virtual int ExecDialog(QDialog& dialog) = 0;
    // Whether printing is offered at all.
    virtual bool PrinterInstalled() = 0;
    // The print dialog on `printer`; true when the user confirmed. The printer then names the target.
    virtual bool RunPrintDialog(QWidget* parent, QPrinter& printer) = 0;
    // The page setup dialog on `printer` (its page layout carries the margins); true when confirmed.
    virtual bool RunPageSetup(QWidget* parent, QPrinter& printer) = 0;
    // A file name chosen in a save dialog that asks before overwriting; empty when cancelled. `filters`
    // are name filters such as "Bitmap (*.bmp)"; a name typed without extension gets the selected
    // filter's extension.
    virtual QString ChooseSaveFile(QWidget* parent, const QString& title, const QStringList& filters,
                                   const QString& startName) = 0;
};

// The real dialogs: QDialog::exec, QPrintDialog, QPageSetupDialog and QFileDialog.
class QtPlotFormDesktop final : public PlotFormDesktop {
public:
    int ExecDialog(QDialog& dialog) override;
    bool PrinterInstalled() override;
    bool RunPrintDialog(QWidget* parent, QPrinter& printer) override;
    bool RunPageSetup(QWidget* parent, QPrinter& printer) override;
    QString ChooseSaveFile(QWidget* parent, const QString& title, const QStringList& filters,
                           const QString& startName) override;
};

} // namespace pavrin::graphics
