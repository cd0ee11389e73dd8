// pavrin-cli's plot command, taken from the plot module beside the executable when it is given
// (see PlotCommandModule.cpp). The module stays loaded until the program ends: Qt is not unloaded.
#include "PlotCommand.h"

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

using PlotEntry = int (*)(const std::string*, std::size_t, std::ostream*, std::ostream*);

} // namespace

int plotCommand(std::span<const std::string> arguments, std::ostream& out, std::ostream& err) {
    std::string error;
    void* module = nullptr;
    try {
        module = platform::loadLibrary(platform::executableDirectory() / kPlotModuleFileName, error);
    } catch (const std::exception& e) {
        error = e.what();
    }
    void* symbol = module ? platform::findSymbol(module, "pavrin_cli_plot_command") : nullptr;
    if (!symbol) {
        err << "pavrin-cli: the plot command is unavailable: "
            << (module ? "its module lacks the entry point" : error) << "\n";
        return 1;
    }
    return reinterpret_cast<PlotEntry>(symbol)(arguments.data(), arguments.size(), &out, &err);
}

} // namespace pavrin::cli
