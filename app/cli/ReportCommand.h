// The report command of pavrin-cli: the calculation report of a project that has been run, as one
// PDF, the same file the desktop program's "Save Report as PDF..." writes.
#pragma once

#include <ostream>
#include <span>
#include <string>

namespace pavrin::cli {

// arguments: PROJECT --out FILE.pdf [--paper a4|letter]. Returns the exit code: 0 written, 1 no
// results or FILE not written, ExitProjectMissing, ExitUsage for a bad option (with its message);
// -1 for a command line of the wrong shape.
int reportCommand(std::span<const std::string> arguments, std::ostream& out, std::ostream& err);

} // namespace pavrin::cli
