#include "RunStatus.h"

namespace pavrin::app {

std::string RunStatusLine(std::int32_t status) {
    switch (status) {
    case 0:
        return {};
    case 2:
        return "The analysis stopped (status 2): a file of the run could not be opened or read; the report, "
               "if written, names it.";
    case 3:
        return "The analysis stopped (status 3): the input file holds a value the engine cannot read; the "
               "end of the output report names the record and the value.";
    case 4:
        return "The analysis stopped (status 4): a depth lies below the unit-weight profile; see the end of "
               "the output report.";
    case 5:
        return "The analysis stopped (status 5): a depth lies below the soil profile while looking up the "
               "cohesion; see the end of the output report.";
    case 6:
        return "The analysis stopped (status 6): a depth lies below the soil profile while looking up the "
               "ultimate unit side friction; see the end of the output report.";
    case 7:
        return "The analysis stopped (status 7): a depth lies below the soil profile while looking up the "
               "ultimate unit tip resistance; see the end of the output report.";
    case 8:
        return "The analysis stopped (status 8): a depth lies below the soil profile while looking up the "
               "friction angle; see the end of the output report.";
    case 9:
        return "Writing failed (status 9): a file of the run could not be written whole (is the disk full?). "
               "The end of the output report names the plot data or notes file; if it does not, the report "
               "itself is cut short. The results of this run are incomplete.";
    default:
        return "The analysis engine returned the unknown status " + std::to_string(status) +
               "; see the output report.";
    }
}

} // namespace pavrin::app
