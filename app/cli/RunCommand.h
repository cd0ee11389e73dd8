// `pavrin-cli run PROJECT.pv3d`: one analysis through the engine library's entry point, as the
// front end runs it, then the run status, the file paths and the report's summaries on stdout.
#pragma once

#include <iosfwd>
#include <string>

namespace pavrin::cli {

// Returns the exit code: the engine's run status, or an ExitCode when the run could not start.
int runCommand(const std::string& projectArgument, std::ostream& out, std::ostream& err);

} // namespace pavrin::cli
