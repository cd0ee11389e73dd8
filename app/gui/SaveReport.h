// File > "Save Report as PDF...": the calculation report of the saved and run project, written by
// the same function as `pavrin-cli report`, so that both give the same file.
#pragma once

#include <QString>

class QWidget;

namespace pavrin::app {
class TProgramData;
}

namespace pavrin::app::gui {

// Asks for the PDF's name (preset `<project>.pdf`), writes the report and says where it went or why
// it could not be written. `resultsProblem`, when not empty, is why the shown results cannot be
// reported (no run, or a project changed since its run): it is shown instead. `engineLibrary` is the
// library whose SHA-256 the report names. Returns true when a report was written.
bool SaveReportAsPdf(QWidget* parent, const TProgramData& project, const QString& resultsProblem,
                     const QString& engineLibrary);

} // namespace pavrin::app::gui
