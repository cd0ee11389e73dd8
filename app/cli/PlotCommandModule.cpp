// The drawing commands (plot and report) as a module of their own. They draw with Qt, which no
// other command needs: kept apart, Qt's libraries are loaded when a graph or a report is drawn, and
// every other command of pavrin-cli, the analysis run first of all, starts without them.
#include "PlotCommand.h"
#include "ReportCommand.h"

#include <cstddef>
#include <exception>
#include <ostream>
#include <span>
#include <string>

namespace {

using Command = int (*)(std::span<const std::string>, std::ostream&, std::ostream&);

int guarded(Command command, const std::string* arguments, std::size_t count, std::ostream* out,
            std::ostream* err) {
    try {
        return command(std::span<const std::string>(arguments, count), *out, *err);
    } catch (const std::exception& e) {
        *err << "pavrin-cli: " << e.what() << "\n";
        return 1;
    }
}

} // namespace

extern "C" __attribute__((visibility("default"))) int pavrin_cli_plot_command(const std::string* arguments,
                                                                              std::size_t count,
                                                                              std::ostream* out,
                                                                              std::ostream* err) {
    return guarded(pavrin::cli::plotCommand, arguments, count, out, err);
}

extern "C" __attribute__((visibility("default"))) int pavrin_cli_report_command(const std::string* arguments,
                                                                                std::size_t count,
                                                                                std::ostream* out,
                                                                                std::ostream* err) {
    return guarded(pavrin::cli::reportCommand, arguments, count, out, err);
}
