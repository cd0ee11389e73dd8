// The xlsx command of pavrin-cli: the result graphs of a project that has been
// run, written as a spreadsheet workbook as the export dialog writes it.
#pragma once

#include <ostream>
#include <span>
#include <string>

namespace pavrin::cli {

// Arguments: PROJECT OUT.xlsx [--graphs NAMES], NAMES a comma-separated choice
// of load, axial, tz and qw (all four when left out). The graphs keep the order
// of the export list whatever the order of NAMES. Returns 0 when the workbook
// was written, 1 when the project or its plot file cannot be read or the
// workbook not written, 2 when the project is missing, -1 for bad usage.
int xlsxCommand(std::span<const std::string> arguments, std::ostream& out, std::ostream& err);

} // namespace pavrin::cli
