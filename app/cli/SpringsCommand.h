// pavrin-cli springs: the t-z and Q-w curves an analysis used, after generation and factors.
#pragma once

#include "ResultTables.h"

#include <ostream>
#include <span>
#include <string>

namespace pavrin::cli {

// One CSV row per point: the t-z curves (`atIncrements` false: each curve at its own depth,
// numbered as in the report; true: the curve the solver reads at the middle of each increment,
// numbered from the head down), then the Q-w curve at the tip. Values as the engine holds them.
// Shared with the desktop program.
using results::springsCsv;

// pavrin-cli springs PROJECT --out FILE.csv [--at increments|curves]. Returns the exit code;
// -1 for a bad command line.
int springsCommand(std::span<const std::string> arguments, std::ostream& out, std::ostream& err);

} // namespace pavrin::cli
