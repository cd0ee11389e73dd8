// pavrin-cli's drawing commands (plot, report), taken from the module beside the executable when
// they are given (see PlotCommandModule.cpp). The module stays loaded until the program ends: Qt is
// not unloaded.
#include "PlotCommand.h"
#include "ReportCommand.h"

#include "Platform.h"

#include <cstddef>
#include <exception>
#include <ostream>
#include <string>

namespace pavrin::cli {

namespace {

#ifdef _WIN32
constexpr const char* kPlotModuleFileName = "pavrin-cli-plot.dll";
#else
constexpr const char* kPlotModuleFileName = "pavrin-cli-plot.so";
#endif

using ModuleEntry = int (*)(const std::string*, std::size_t, std::ostream*, std::ostream*);

int callModule(const char* entry, const char* command, std::span<const std::string> arguments,
               std::ostream& out, std::ostream& err) {
    std::string error;
    void* module = nullptr;
    try {
        module = platform::loadLibrary(platform::executableDirectory() / kPlotModuleFileName, error);
    } catch (const std::exception& e) {
        error = e.what();
    }
    void* symbol = module ? platform::findSymbol(module, entry) : nullptr;
    if (!symbol) {
        err << "pavrin-cli: the " << command
            << " command is unavailable: " << (module ? "its module lacks the entry point" : error) << "\n";
        return 1;
    }
    return reinterpret_cast<ModuleEntry>(symbol)(arguments.data(), arguments.size(), &out, &err);
}

} // namespace

int plotCommand(std::span<const std::string> arguments, std::ostream& out, std::ostream& err) {
    return callModule("pavrin_cli_plot_command", "plot", arguments, out, err);
}

int reportCommand(std::span<const std::string> arguments, std::ostream& out, std::ostream& err) {
    return callModule("pavrin_cli_report_command", "report", arguments, out, err);
}

} // namespace pavrin::cli
