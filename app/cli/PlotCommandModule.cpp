// The plot command as a module of its own. It draws with Qt, which no other command needs: kept
// apart, Qt's libraries are loaded when a graph is drawn, and every other command of pavrin-cli,
// the analysis run first of all, starts without them.
#include "PlotCommand.h"

#include <cstddef>
#include <exception>
#include <ostream>
#include <span>
#include <string>

extern "C" __attribute__((visibility("default"))) int pavrin_cli_plot_command(const std::string* arguments,
                                                                              std::size_t count,
                                                                              std::ostream* out,
                                                                              std::ostream* err) {
    try {
        return pavrin::cli::plotCommand(std::span<const std::string>(arguments, count), *out, *err);
    } catch (const std::exception& e) {
        *err << "pavrin-cli: " << e.what() << "\n";
        return 1;
    }
}
