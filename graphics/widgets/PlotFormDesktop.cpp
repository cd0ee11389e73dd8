#include "PlotFormDesktop.h"

#include <QDialog>
#include <QFileDialog>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>

namespace pavrin::graphics {

namespace {

// "Bitmap (*.bmp)" -> "bmp"
QString filterSuffix(const QString& filter) {
    static const QRegularExpression pattern(QStringLiteral("\\*\\.(\\w+)"));
    const auto match = pattern.match(filter);
    return match.hasMatch() ? match.captured(1) : QString();
}
} // namespace

int QtPlotFormDesktop::ExecDialog(QDialog& dialog) {
    return dialog.exec();
}

// The print dialog always offers printing to a PDF file, so printing is available even on a desktop
// without a printer of its own.
bool QtPlotFormDesktop::PrinterInstalled() {
    return true;
}

bool QtPlotFormDesktop::RunPrintDialog(QWidget* parent, QPrinter& printer) {
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

bool QtPlotFormDesktop::RunPageSetup(QWidget* parent, QPrinter& printer) {
    QPageSetupDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

QString QtPlotFormDesktop::ChooseSaveFile(QWidget* parent, const QString& title, const QStringList& filters,
                                          const QString& startName) {
    QFileDialog dialog(parent, title, startName);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(filters);
    if (!filters.isEmpty())
        dialog.setDefaultSuffix(filterSuffix(filters.front()));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog](const QString& filter) { dialog.setDefaultSuffix(filterSuffix(filter)); });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
}

} // namespace pavrin::graphics
