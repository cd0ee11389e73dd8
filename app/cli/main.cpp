// pavrin-cli: the headless runner. It drives the analysis engine through the same exported entry
// point and run-file list as the front end, for scripts, tests and machines without a display.
#include "CheckConvertCommands.h"
#include "ExitCodes.h"
#include "FitCommand.h"
#include "RunCommand.h"
#include "SpringsCommand.h"
#include "SummaryCommand.h"
#include "SweepCommand.h"
#include "XlsxCommand.h"
#ifdef PAVRIN_CLI_PLOT
#include "PlotCommand.h"
#include "ReportCommand.h"
#endif

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <new>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace pavrin::cli;

struct Command {
    std::string_view name;
    std::string_view arguments; // as shown in the usage
    std::string_view purpose;
    std::size_t argumentCount; // 0: the handler checks the count itself
    int (*handler)(std::span<const std::string> arguments);
};

int runHandler(std::span<const std::string> arguments) {
    return runCommand(arguments[0], std::cout, std::cerr);
}

int checkHandler(std::span<const std::string> arguments) {
    return checkCommand(arguments[0], std::cout, std::cerr);
}

int convertHandler(std::span<const std::string> arguments) {
    if (arguments[0] != "--units")
        return -1;
    return convertCommand(arguments[1], arguments[2], arguments[3], std::cout, std::cerr);
}

int summaryHandler(std::span<const std::string> arguments) {
    return summaryCommand(arguments, std::cout, std::cerr);
}

int springsHandler(std::span<const std::string> arguments) {
    return springsCommand(arguments, std::cout, std::cerr);
}

int sweepHandler(std::span<const std::string> arguments) {
    return sweepCommand(arguments, std::cout, std::cerr);
}

int fitHandler(std::span<const std::string> arguments) {
    return fitCommand(arguments, std::cout, std::cerr);
}

int xlsxHandler(std::span<const std::string> arguments) {
    return xlsxCommand(arguments, std::cout, std::cerr);
}

#ifdef PAVRIN_CLI_PLOT
int plotHandler(std::span<const std::string> arguments) {
    return plotCommand(arguments, std::cout, std::cerr);
}

int reportHandler(std::span<const std::string> arguments) {
    return reportCommand(arguments, std::cout, std::cerr);
}
#endif

constexpr Command kCommands[] = {
    {"run", "PROJECT.pv3d",
     "Run the analysis of PROJECT with the engine library beside this program.\n"
     "      Writes the report (.pv3o), plot file (.pv3p) and notes file (.pv3r) next to\n"
     "      PROJECT, then prints the run status, their paths and the load-settlement summary.\n"
     "      Exit code: the engine's run status (0 completed, 1 not requested, 2 file error,\n"
     "      3 input error, 4-8 stopped at the end of the soil profile, 9 a file of the run could\n"
     "      not be written whole); 74 a run file that cannot be written (a folder, a pipe, a\n"
     "      device, a folder that is not writable). An older-format .pvd is run as a copy converted\n"
     "      as File Save would write it, with the report and plot file beside PROJECT.",
     1, runHandler},
    {"check", "PROJECT.pv3d",
     "Open PROJECT as the program does and list everything that would take it beyond the\n"
     "      analysis engine's capacities or make the analysis meaningless (the check made\n"
     "      before every run); what that check passes is then read by the engine's own code as\n"
     "      run hands it over, and whatever the engine stops on is listed too. Exit code: 0 no\n"
     "      findings, 1 findings or a project that cannot be read.",
     1, checkHandler},
    {"convert", "--units english|si IN OUT",
     "Open IN as the program does, switch it to the unit system as the Units menu does\n"
     "      (every length, force, pressure and unit weight rescaled) and save it as OUT as\n"
     "      File Save does. Exit code: 0 converted, 1 IN unreadable or OUT not written.",
     4, convertHandler},
    {"summary", "PROJECT.pv3d [--csv]",
     "Analyse PROJECT in memory (no files written) and print the down-drag figures of\n"
     "      every tip movement and head load solved: head load, head settlement, largest axial\n"
     "      load, its depth (the neutral plane) and the drag load, or \"no down-drag\".\n"
     "      --csv prints them as a CSV table. Exit code: 0 done, 65 the pre-run check refuses\n"
     "      the project, 66 it cannot be read, 3-8 the analysis stopped (its run status).",
     0, summaryHandler},
    {"springs", "PROJECT.pv3d --out FILE.csv [--at increments|curves]",
     "Analyse PROJECT in memory and write the t-z curves (each at its own depth, or at the\n"
     "      middle of every increment as the solver reads them) and the Q-w curve it used,\n"
     "      after generation and factors, to FILE as CSV. Exit code: as summary, 74 FILE not written.",
     0, springsHandler},
    {"sweep",
     "PROJECT.pv3d --vary length|diameter|tip-area|tz-factor|qw-factor=FROM:TO:STEPS\n"
     "      [--settlement S] [--jobs N] --out FILE.csv",
     "Analyse STEPS + 1 variants of PROJECT from FROM to TO on N threads (default: every\n"
     "      core) and write one CSV row per variant: the value, the largest head load, the head\n"
     "      load at head settlement S and the settlement under each head load, or why it could\n"
     "      not run. Ctrl-C stops with the finished rows written (exit code 130). Exit code: as\n"
     "      springs.",
     0, sweepHandler},
    {"fit",
     "PROJECT.pv3d --vary tz-factor[,qw-factor] [--measured FILE.pv3m] [--out FITTED.pv3d]\n"
     "      [--csv FILE.csv]",
     "Calibrate PROJECT to its measured load test (PROJECT.pv3m, or FILE): find the uniform\n"
     "      t-z multiplier (and with qw-factor the Q-w multiplier), on top of the project's own\n"
     "      factors, that minimises the RMS difference between measured and predicted head\n"
     "      settlement at the measured loads, each trial an analysis in memory. Prints the\n"
     "      factors, the RMS before and after, the analyses made and the loads beyond the\n"
     "      predicted curve. --out writes the calibrated project (factors switched on with the\n"
     "      fitted values), --csv the per-point table. Ctrl-C stops with nothing written (exit\n"
     "      code 130). Exit code: as springs; 65 also for an unusable measured test, 66 for none.",
     0, fitHandler},
    {"xlsx", "PROJECT.pv3d OUT.xlsx [--graphs load,axial,tz,qw]",
     "Write the result graphs of PROJECT (from its plot file .pv3p, so run it first) to\n"
     "      the spreadsheet workbook OUT as the export dialog does: sheet Legend, then a data\n"
     "      sheet Page_k and a chart sheet Plot_k per graph. --graphs chooses among the load\n"
     "      distribution, axial load vs settlement, t-z curves and Q-w curve (default: all).\n"
     "      Exit code: 0 written, 1 project or plot file unreadable or OUT not written.",
     0, xlsxHandler},
#ifdef PAVRIN_CLI_PLOT
    {"plot", "PROJECT.pv3d --graph load|axial|tz|qw --out FILE [--width IN --height IN --dpi N]",
     "Render one result graph of PROJECT (from its plot file .pv3p, so run it first) as the\n"
     "      graph window draws it, legend included, to FILE: PNG, SVG, PDF or BMP by its\n"
     "      extension. Size in inches (default 6 x 4) at N pixels per inch (default 72).\n"
     "      Needs no display. Exit code: 0 written, 1 project, plot file or FILE unusable.",
     0, plotHandler},
    {"report", "PROJECT.pv3d --out FILE.pdf [--paper a4|letter]",
     "Write the calculation report of PROJECT (run it first) to FILE as PDF, as the desktop\n"
     "      program's File > Save Report as PDF does: title block with the run's date and the\n"
     "      engine library's SHA-256, the inputs, the soil-pile profile, the four result graphs,\n"
     "      the result tables and the engine's messages. Paper A4 (default) or US letter. Needs\n"
     "      no display. Exit code: 0 written, 1 project without results or FILE not written.",
     0, reportHandler},
#endif
};

void printUsage(std::ostream& out) {
    out << "usage: pavrin-cli COMMAND ARGUMENTS...\n"
           "       pavrin-cli --help\n\ncommands:\n";
    for (const auto& command : kCommands)
        out << "  pavrin-cli " << command.name << " " << command.arguments << "\n      " << command.purpose
            << "\n";
    out << "\nother exit codes: " << ExitProjectMissing << " project file not found, " << ExitUsage
        << " bad usage,\n  " << ExitEngineUnavailable << " engine library missing or unusable, "
        << ExitRunFolder << " temporary run folder could not be made,\n  " << ExitOutputFile
        << " an output (or the standard output) could not be written, " << ExitNoMemory
        << " not enough memory.\n";
}

int usageError(const std::string& message) {
    std::cerr << "pavrin-cli: " << message << "\n\n";
    printUsage(std::cerr);
    return ExitUsage;
}

bool isHelp(std::string_view argument) {
    return argument == "--help" || argument == "-h";
}

// Everything a command printed must reach its reader: a standard output that cannot be written (a
// full disk, a closed pipe) turns a success into a write error.
int finish(int status) {
    std::cout.flush();
    errno = 0;
    const bool failed = std::fflush(stdout) != 0 || std::ferror(stdout) != 0 || !std::cout;
    if (!failed)
        return status;
    const int error = errno;
    std::cerr << "pavrin-cli: the standard output could not be written"
              << (error != 0 ? std::string(": ") + std::strerror(error) : std::string()) << "\n";
    return status == 0 ? ExitOutputFile : status;
}

int runCommandLine(const std::vector<std::string>& arguments) {
    if (arguments.empty())
        return usageError("no command given");
    if (isHelp(arguments[0])) {
        printUsage(std::cout);
        return 0;
    }
    for (const auto& command : kCommands) {
        if (arguments[0] != command.name)
            continue;
        const std::span<const std::string> rest(arguments.begin() + 1, arguments.end());
        if (!rest.empty() && isHelp(rest[0])) {
            printUsage(std::cout);
            return 0;
        }
        if (command.argumentCount != 0 && rest.size() != command.argumentCount)
            return usageError(std::string(command.name) + " expects " + std::string(command.arguments));
        const int status = command.handler(rest);
        if (status < 0)
            return usageError(std::string(command.name) + " expects " + std::string(command.arguments));
        return status;
    }
    return usageError("unknown command: " + arguments[0]);
}

} // namespace

int main(int argc, char** argv) {
    int status = 0;
    try {
        const std::vector<std::string> arguments(argv + 1, argv + argc);
        status = runCommandLine(arguments);
    } catch (const std::bad_alloc&) {
        std::cerr << "pavrin-cli: not enough memory for this command; nothing more was done\n";
        status = ExitNoMemory;
    } catch (const std::exception& e) {
        std::cerr << "pavrin-cli: the command failed: " << e.what() << "\n";
        status = ExitInternal;
    }
    return finish(status);
}
