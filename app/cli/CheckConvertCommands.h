// The project commands of pavrin-cli: the pre-run check, and the unit
// conversion the Units menu makes, on a project opened as the program opens it.
#pragma once

#include <ostream>
#include <string>

namespace pavrin::cli {

// Prints the check's findings; 0 when the project is clean, 1 otherwise (a
// project that cannot be read is not clean).
int checkCommand(const std::string& project, std::ostream& out, std::ostream& err);

// Opens IN, switches it to `units` ("english" or "si") and saves it as OUT.
// 0 on success, 1 when IN cannot be read whole or OUT cannot be written, 64 for bad units.
int convertCommand(const std::string& units, const std::string& in, const std::string& out,
                   std::ostream& cout, std::ostream& err);

} // namespace pavrin::cli
