#include "ReportCommand.h"

#include "CalculationReport.h"
#include "CommandFiles.h"
#include "ExitCodes.h"
#include "GuiApplication.h"
#include "Platform.h"
#include "ProjectFileNames.h"

namespace pavrin::cli {

int reportCommand(std::span<const std::string> arguments, std::ostream& out, std::ostream& err) {
    if (arguments.empty() || arguments.size() % 2 == 0)
        return -1;
    const std::string& project = arguments[0];
    std::string output;
    report::ReportOptions options;
    for (std::size_t i = 1; i + 1 < arguments.size(); i += 2) {
        const std::string& name = arguments[i];
        const std::string& value = arguments[i + 1];
        if (name == "--out") {
            output = value;
        } else if (name == "--paper") {
            if (value != "a4" && value != "letter") {
                err << "pavrin-cli: --paper takes a4 or letter, not \"" << value << "\"\n";
                return ExitUsage;
            }
            options.paper = value == "letter" ? report::Paper::Letter : report::Paper::A4;
        } else {
            return -1;
        }
    }
    if (output.empty())
        return -1;
    // A report under another file's kind of name (another project, a report) is surely a slip.
    if (app::LowerFileExt(output) != ".pdf") {
        err << "pavrin-cli: the report is a PDF file: name it FILE.pdf, not \"" << output << "\"\n";
        return ExitUsage;
    }
    if (const auto problem = outputProblem(output, project)) {
        err << "pavrin-cli: " << *problem << "\n";
        return 1;
    }
    guiApplication();
    options.engineLibrary =
        (platform::executableDirectory() / platform::engineLibraryFileName()).string();
    const report::ReportOutcome outcome = report::WriteCalculationReport(project, output, options);
    if (outcome.status != 0) {
        err << "pavrin-cli: " << outcome.message << "\n";
        return outcome.status;
    }
    if (!outcome.warning.empty())
        err << "pavrin-cli: " << outcome.warning << "\n";
    out << "Wrote the calculation report of " << project << " to " << output << " (" << outcome.pages
        << " pages)\n";
    return 0;
}

} // namespace pavrin::cli
