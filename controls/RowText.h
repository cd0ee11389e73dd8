// Loading table rows from lines of text: a text file the user names, or the
// clipboard's text. Lines whose count of numbers matches the table's visible
// columns fill the table's rows from the top; headings, comments and other
// lines are skipped. The editor's buttons only supply the lines.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pavrin::controls {

class TGridTable;

// Cuts a text into lines at CR LF, CR or LF. A last line without a line
// break is a line too; a text that ends with a line break adds no empty line.
std::vector<std::string> SplitTextLines(std::string_view text);

// The lines of a text file (line breaks as above); an empty file gives none.
// Throws EFileOpenError when the file cannot be opened or read.
std::vector<std::string> ReadTextFileLines(const std::string& fileName);

// The numbers of one line, at most 15: fields separated by blanks, tabs or
// one comma (with "," as the decimal separator, by blanks and tabs only), read
// with the user's decimal separator. The first field that is not a number ends
// the line.
std::vector<long double> ParseLineNumbers(std::string_view line);

struct RowLoadResult {
    int rowsFilled = 0;   // rows written from the top of the table
    int linesSkipped = 0; // lines whose count of numbers did not match
};

// Writes the i-th matching line into row i through each visible column's set
// text (so the column's checks apply), adding row groups as needed and
// stopping at MaxRows. When at least one line matched, rows below the last
// filled one are removed, but the table keeps MinRows rows (added rows get
// their defaults) and the table is marked changed. A value that a column
// rejects raises that column's error; the rows filled before it stay.
RowLoadResult LoadRowsFromLines(TGridTable& table, const std::vector<std::string>& lines);

} // namespace pavrin::controls
