#include "RowText.h"

#include "DecimalSeparator.h"
#include "Evaluator.h"
#include "Table.h"
#include "WordReader.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>

namespace pavrin::controls {

namespace {

constexpr std::size_t kMaxNumbersPerLine = 15;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A whole field as a decimal number: sign, digits, the user's decimal
// separator, exponent. Nothing else (no "inf", no hexadecimal).
bool ReadNumber(std::string_view field, char separator, long double& value) {
    std::string text;
    std::size_t i = 0;
    if (i < field.size() && (field[i] == '+' || field[i] == '-'))
        text += field[i++] == '-' ? "-" : "";
    bool digits = false;
    for (; i < field.size() && IsDigit(field[i]); ++i, digits = true)
        text += field[i];
    if (i < field.size() && field[i] == separator) {
        text += '.';
        for (++i; i < field.size() && IsDigit(field[i]); ++i, digits = true)
            text += field[i];
    }
    if (!digits)
        return false;
    if (i < field.size() && (field[i] == 'e' || field[i] == 'E')) {
        text += 'e';
        ++i;
        if (i < field.size() && (field[i] == '+' || field[i] == '-'))
            text += field[i++];
        bool exponentDigits = false;
        for (; i < field.size() && IsDigit(field[i]); ++i, exponentDigits = true)
            text += field[i];
        if (!exponentDigits)
            return false;
    }
    if (i != field.size())
        return false;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() && std::isfinite(value);
}

} // namespace

std::vector<std::string> SplitTextLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.emplace_back(text.substr(start));
    return lines;
}

std::vector<std::string> ReadTextFileLines(const std::string& fileName) {
    std::error_code error;
    std::ifstream in;
    if (!std::filesystem::is_directory(fileName, error))
        in.open(fileName, std::ios::binary);
    if (!in.is_open())
        throw EFileOpenError("Cannot open file \"" + fileName + "\".");
    std::string content;
    char buffer[65536];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0)
        content.append(buffer, static_cast<std::size_t>(in.gcount()));
    if (in.bad())
        throw EFileOpenError("Cannot read file \"" + fileName + "\".");
    return SplitTextLines(content);
}

// With "," as the decimal separator a comma belongs to the number, so only
// blanks and tabs separate the fields.
std::vector<long double> ParseLineNumbers(std::string_view line) {
    const char separator = DecimalSeparator();
    const bool commaSeparates = separator != ',';
    auto endsField = [&](char c) { return IsBlank(c) || c == '\r' || (commaSeparates && c == ','); };

    std::vector<long double> numbers;
    std::size_t pos = 0;
    while (numbers.size() < kMaxNumbersPerLine) {
        while (pos < line.size() && IsBlank(line[pos]))
            ++pos;
        if (pos >= line.size())
            break;
        const std::size_t start = pos;
        while (pos < line.size() && !endsField(line[pos]))
            ++pos;
        long double value = 0;
        if (!ReadNumber(line.substr(start, pos - start), separator, value))
            break;
        numbers.push_back(value);
        while (pos < line.size() && IsBlank(line[pos]))
            ++pos;
        if (pos < line.size() && commaSeparates && line[pos] == ',')
            ++pos;
    }
    return numbers;
}

RowLoadResult LoadRowsFromLines(TGridTable& table, const std::vector<std::string>& lines) {
    RowLoadResult result;
    const int columns = table.VisibleColumnCount();
    int filled = 0;
    for (const std::string& line : lines) {
        if (table.MaxRows() > 0 && filled >= table.MaxRows())
            break;
        const std::vector<long double> numbers = ParseLineNumbers(line);
        if (columns == 0 || static_cast<int>(numbers.size()) != columns) {
            ++result.linesSkipped;
            continue;
        }
        table.SetChanged(true);
        if (filled >= table.RowCount())
            table.AppendGroup();
        for (int c = 0; c < columns; ++c)
            table.VisibleColumn(c).SetText(filled, FormatIntermediate(numbers[static_cast<std::size_t>(c)]));
        result.rowsFilled = ++filled;
    }
    if (filled == 0)
        return result;

    const int group = table.RowGroup();
    const int keep = (filled + group - 1) / group * group;
    while (table.RowCount() > keep)
        table.DeleteGroup(table.RowCount() - 1);
    // Rows kept only for the minimum start afresh rather than with stale values.
    if (table.RowCount() < table.MinRows())
        table.SetRowCount(table.MinRows());
    return result;
}

} // namespace pavrin::controls
