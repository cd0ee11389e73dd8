// The run status of the engine in words: the desktop program's status line after a run and the
// calculation report's title block give the same text.
#pragma once

#include <cstdint>
#include <string>

namespace pavrin::app {

// One line telling what stopped a run with this engine status; empty for a completed run.
std::string RunStatusLine(std::int32_t status);

} // namespace pavrin::app
