// pavrin-cli summary: the down-drag figures of every solution of a project's analysis.
#pragma once

#include "ResultTables.h"

#include <ostream>
#include <span>
#include <string>

namespace pavrin::cli {

// The figures as a table for people (`csv` false) or as CSV: per tip movement and per head
// load solved, the head load, head settlement, largest axial load, its depth (the neutral
// plane) and the drag load, or a note saying why there is none. Shared with the desktop program.
using results::formatDowndrag;

// pavrin-cli summary PROJECT [--csv]. Returns the exit code; -1 for a bad command line.
int summaryCommand(std::span<const std::string> arguments, std::ostream& out, std::ostream& err);

} // namespace pavrin::cli
