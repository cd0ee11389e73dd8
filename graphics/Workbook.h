// Export of result graphs to a spreadsheet workbook (.xlsx): an index sheet
// "Legend" with links to one data sheet Page_k and one chart sheet Plot_k per
// graph. Standard C++ over libxlsxwriter and minizip; no Qt.
#pragma once

#include <array>
#include <stdexcept>
#include <string>
#include <vector>

namespace pavrin::graphics {

class TGraphPlot;
class TResultGraphs;

// A workbook that could not be written; the message is meant for the user.
class EWorkbookError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Column letters of the spreadsheet column numbered n from 1: A..Z, then
// AA..ZZ up to 702; an empty text beyond that or below 1.
std::string GetExcelCol(int n);

// The most lines one graph may have: two columns per line, and the column
// letters end at ZZ (702).
inline constexpr int MaxWorkbookLines = 351;

// The exportable graphs, in the order of the export list: load distribution,
// axial load vs settlement, t-z curves, Q-w curve.
std::array<TGraphPlot*, 4> ExportableGraphs(TResultGraphs& graphs);

// Writes `graphs`, in order, to the workbook `fileName`: the sheets Legend,
// Page_1, Plot_1, Page_2, Plot_2, ... The file is written beside the target
// under a temporary name and renamed over it only when complete, so a failure
// leaves an earlier file of that name as it was. Throws EWorkbookError.
void WriteGraphWorkbook(const std::string& fileName, const std::vector<const TGraphPlot*>& graphs);

} // namespace pavrin::graphics
