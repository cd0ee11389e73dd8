#include "SaveReport.h"

#include "CalculationReport.h"
#include "MessageBoxes.h"
#include "OutputFile.h"
#include "ProgramData.h"

#include <QApplication>
#include <QDir>
#include <QLocale>

namespace pavrin::app::gui {

using controls::MessageBoxes;

namespace {

// Letter where the desktop measures in US units, A4 elsewhere (pavrin-cli's default).
report::Paper DesktopPaper() {
    return QLocale::system().measurementSystem() == QLocale::ImperialUSSystem ? report::Paper::Letter
                                                                               : report::Paper::A4;
}

} // namespace

bool SaveReportAsPdf(QWidget* parent, const TProgramData& project, const QString& engineLibrary) {
    MessageBoxes& boxes = MessageBoxes::Current();
    if (project.Tables().IsModified()) {
        boxes.ShowMessage(parent,
                          QStringLiteral("The project has changes that are not saved: save it and run the "
                                         "analysis, then save the report."),
                          MessageBoxes::Icon::Information);
        return false;
    }
    const std::optional<QString> path = ChooseOutputFile(parent, QStringLiteral("Save Report as PDF"),
                                                         project.FileName, QStringLiteral(".pdf"),
                                                         QStringLiteral("pdf"));
    if (!path)
        return false;
    report::ReportOptions options;
    options.paper = DesktopPaper();
    options.engineLibrary = engineLibrary.toStdString();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const report::ReportOutcome outcome =
        report::WriteCalculationReport(project.FileName, path->toStdString(), options);
    QApplication::restoreOverrideCursor();
    if (outcome.status != 0) {
        boxes.ShowMessage(parent, QString::fromStdString(outcome.message), MessageBoxes::Icon::Error);
        return false;
    }
    QString written = QStringLiteral("The calculation report was written to %1 (%2 pages).")
                          .arg(QDir::toNativeSeparators(*path))
                          .arg(outcome.pages);
    if (!outcome.warning.empty())
        written += QLatin1Char('\r') + QString::fromStdString(outcome.warning);
    boxes.ShowMessage(parent, written,
                      outcome.warning.empty() ? MessageBoxes::Icon::Information : MessageBoxes::Icon::Warning);
    return true;
}

} // namespace pavrin::app::gui
