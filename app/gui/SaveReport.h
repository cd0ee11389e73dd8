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
// it could not be written. A project with unsaved changes is refused first; a project without
// results, or saved after its last run, is refused by the report itself, in the words pavrin-cli
// uses. `engineLibrary` is the library whose SHA-256 the report names. True when a report was written.
bool SaveReportAsPdf(QWidget* parent, const TProgramData& project, const QString& engineLibrary);

} // namespace pavrin::app::gui
