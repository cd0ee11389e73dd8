#include "Summary.h"

#include <algorithm>

namespace pavrin::cli {

namespace {

bool isBlank(std::string_view line) {
    return line.find_first_not_of(' ') == std::string_view::npos;
}

bool endsTable(std::string_view line) {
    return isBlank(line) || line == "1";
}

std::string_view withoutTrailingBlanks(std::string_view line) {
    const auto last = line.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string_view{} : line.substr(0, last + 1);
}

bool isHeading(std::string_view line) {
    return withoutTrailingBlanks(line) == kSummaryHeading;
}

// Reads the table whose heading is lines[i]; leaves i on the first line after the table.
SummaryTable readTable(const std::vector<std::string>& lines, std::size_t& i) {
    SummaryTable table;
    table.heading = lines[i++];
    if (i < lines.size())
        table.units = lines[i++];
    while (i < lines.size() && !endsTable(lines[i]))
        table.rows.push_back(lines[i++]);
    return table;
}

void appendTable(std::string& out, std::string_view caption, const SummaryTable& table) {
    out.append(caption).append("\n");
    out.append(table.heading).append("\n");
    out.append(table.units).append("\n");
    for (const auto& row : table.rows)
        out.append(row).append("\n");
}

} // namespace

std::vector<std::string> splitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        auto line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.emplace_back(line);
        start = end + 1;
    }
    return lines;
}

ReportSummary extractSummary(std::string_view report) {
    const auto lines = splitLines(report);
    ReportSummary summary;
    std::size_t i = 0;
    while (i < lines.size()) {
        if (!isHeading(lines[i])) {
            ++i;
            continue;
        }
        auto table = readTable(lines, i);
        if (!summary.tipMovements)
            summary.tipMovements = std::move(table);
        else if (!summary.headLoads)
            summary.headLoads = std::move(table);
    }
    return summary;
}

std::vector<std::string> extractClosingMessage(std::string_view report) {
    auto lines = splitLines(report);
    while (!lines.empty() && isBlank(lines.back()))
        lines.pop_back();

    std::size_t first = lines.size();
    const auto marked = std::find_if(lines.rbegin(), lines.rend(), [](const std::string& line) {
        return line.find("****") != std::string::npos;
    });
    if (marked != lines.rend()) {
        first = static_cast<std::size_t>(lines.rend() - marked) - 1;
    } else {
        int nonEmpty = 0;
        while (first > 0 && nonEmpty < 6) {
            --first;
            if (!isBlank(lines[first]))
                ++nonEmpty;
        }
    }
    return {lines.begin() + static_cast<std::ptrdiff_t>(first), lines.end()};
}

std::string formatSummary(const ReportSummary& summary) {
    std::string out;
    if (summary.tipMovements)
        appendTable(out, "Load-settlement summary (assumed tip movements):", *summary.tipMovements);
    if (summary.headLoads) {
        if (!out.empty())
            out += "\n";
        appendTable(out, "Settlements under the given head loads:", *summary.headLoads);
    }
    if (out.empty())
        out = "The report holds no load-settlement summary.\n";
    return out;
}

} // namespace pavrin::cli
