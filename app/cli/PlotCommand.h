// The plot command of pavrin-cli: one result graph of a project rendered to a picture file (PNG, SVG,
// PDF or BMP by the file's extension) with the graph window's drawing, without a display.
#pragma once

#include <ostream>
#include <span>
#include <string>

namespace pavrin::cli {

// arguments: PROJECT --graph load|axial|tz|qw --out FILE [--width IN] [--height IN] [--dpi N].
// Returns the exit code: 0 written, 1 project, plot file or picture unusable, ExitProjectMissing,
// ExitUsage for a bad option (with its message); -1 for a command line of the wrong shape.
int plotCommand(std::span<const std::string> arguments, std::ostream& out, std::ostream& err);

} // namespace pavrin::cli
