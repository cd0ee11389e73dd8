// The saved project as the in-memory analysis windows (design sweep, calibration) start from it:
// read whole and passed by the pre-run check, as pavrin-cli sweep and fit require.
#pragma once

#include "ProjectAnalysis.h"

#include <optional>
#include <string>

class QWidget;

namespace pavrin::app::gui {

// Opens the project saved at `path`; nothing, after a warning that says why, when it cannot be read
// or the pre-run check refuses it (its first ten findings listed).
std::optional<cli::OpenedProject> OpenCheckedProject(QWidget* parent, const std::string& path);

} // namespace pavrin::app::gui
